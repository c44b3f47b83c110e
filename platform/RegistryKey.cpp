// platform/RegistryKey.cpp
#include "RegistryKey.h"

#include <cstring>
#include <vector>

CRegistryKey& CRegistryKey::operator=(CRegistryKey&& other) noexcept
{
    if (this != &other) {
        Close();
        m_hKey = other.m_hKey;
        other.m_hKey = nullptr;
    }
    return *this;
}

LONG CRegistryKey::Create(HKEY parent, LPCSTR path, REGSAM access)
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    const LONG status = RegCreateKeyExA(parent, path, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                        access, nullptr, &key, &disposition);
    if (status == ERROR_SUCCESS) {
        Close();
        m_hKey = key;
    }
    return status;
}

LONG CRegistryKey::Open(HKEY parent, LPCSTR path, REGSAM access)
{
    HKEY key = nullptr;
    const LONG status = RegOpenKeyExA(parent, path, 0, access, &key);
    if (status == ERROR_SUCCESS) {
        Close();
        m_hKey = key;
    }
    return status;
}

void CRegistryKey::Close()
{
    if (m_hKey) {
        RegCloseKey(m_hKey);
        m_hKey = nullptr;
    }
}

LONG CRegistryKey::QueryString(LPCSTR name, CString& text) const
{
    // Size first, then read; the value may grow in between, so retry on more data.
    std::vector<char> buffer;
    for (;;) {
        DWORD size = 0;
        LONG status = RegQueryValueExA(m_hKey, name, nullptr, nullptr, nullptr, &size);
        if (status != ERROR_SUCCESS)
            return status;
        buffer.assign(size + 1, '\0');
        status = RegQueryValueExA(m_hKey, name, nullptr, nullptr,
                                  reinterpret_cast<BYTE*>(buffer.data()), &size);
        if (status == ERROR_MORE_DATA)
            continue;
        if (status != ERROR_SUCCESS)
            return status;
        text = CString(buffer.data(), static_cast<int>(strnlen(buffer.data(), size)));
        return ERROR_SUCCESS;
    }
}

LONG CRegistryKey::SetString(LPCSTR name, LPCSTR text) const
{
    return RegSetValueExA(m_hKey, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                          static_cast<DWORD>(std::strlen(text) + 1));
}

LONG CRegistryKey::DeleteValue(LPCSTR name) const
{
    return RegDeleteValueA(m_hKey, name);
}
