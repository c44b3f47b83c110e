// tests/gtest-port/gtest/internal/custom/gtest-port.h
//
// GoogleTest's own hook for a platform's changes, taken for the compilers that build a
// program for the oldest Windows: they have no std::mutex or std::condition_variable,
// which GoogleTest uses for one thing only, the start signal of its helper threads. Here
// that signal is a Win32 event; the rest of GoogleTest's Windows port is Win32 already.
#pragma once

#include <windows.h>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing {
namespace internal {

class Notification {
public:
    Notification() : m_event(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~Notification() { CloseHandle(m_event); }
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { SetEvent(m_event); }
    void WaitForNotification() { WaitForSingleObject(m_event, INFINITE); }

private:
    HANDLE m_event;
};

}  // namespace internal
}  // namespace testing
