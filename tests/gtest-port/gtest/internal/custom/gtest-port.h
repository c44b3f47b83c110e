// tests/gtest-port/gtest/internal/custom/gtest-port.h
//
// GoogleTest's own hook for a platform's changes, taken for the compilers that build a
// program for the oldest Windows: they have no std::mutex or std::condition_variable,
// which GoogleTest uses for one thing only, the start signal of its helper threads. Here
// that signal is a Win32 event; the rest of GoogleTest's Windows port is Win32 already.
#pragma once

#include <windows.h>

#include <memory>

#define GTEST_HAS_NOTIFICATION_ 1

namespace testing::internal {

class Notification {
public:
    void Notify() { SetEvent(m_event.get()); }
    void WaitForNotification() { WaitForSingleObject(m_event.get(), INFINITE); }

private:
    std::unique_ptr<void, BOOL(WINAPI*)(HANDLE)> m_event{CreateEventA(nullptr, TRUE, FALSE, nullptr), &CloseHandle};
};

}  // namespace testing::internal
