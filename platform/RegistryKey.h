// platform/RegistryKey.h
//
// An open registry key that closes itself. Move-only, so that exactly one owner closes
// it; Create and Open replace the held key only when the new one opened, and the value
// reads leave their output untouched when they fail.
#pragma once

#include "CString.h"

#include <windows.h>

class CRegistryKey {
public:
    CRegistryKey() = default;
    ~CRegistryKey() { Close(); }
    CRegistryKey(CRegistryKey&& other) noexcept : m_hKey(other.m_hKey) { other.m_hKey = nullptr; }
    CRegistryKey& operator=(CRegistryKey&& other) noexcept;
    CRegistryKey(const CRegistryKey&) = delete;
    CRegistryKey& operator=(const CRegistryKey&) = delete;

    // RegCreateKeyEx: opens the key, creating it when missing. Returns the status.
    [[nodiscard]] LONG Create(HKEY parent, LPCSTR path, REGSAM access);
    // RegOpenKeyEx: opens an existing key. Returns the status.
    [[nodiscard]] LONG Open(HKEY parent, LPCSTR path, REGSAM access);
    void Close();

    HKEY Handle() const { return m_hKey; }
    bool IsOpen() const { return m_hKey != nullptr; }

    // Reads a value of any length and type as text: its bytes up to the first zero byte.
    LONG QueryString(LPCSTR name, CString& text) const;
    // Writes REG_SZ data: the text and its terminating zero byte.
    LONG SetString(LPCSTR name, LPCSTR text) const;
    LONG DeleteValue(LPCSTR name) const;

private:
    HKEY m_hKey = nullptr;
};
