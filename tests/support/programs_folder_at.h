// The current user's Programs folder, pointed for one scope at another
// folder through the User Shell Folders key, and put back afterwards.
#pragma once

#include <windows.h>

#include <string>

class ProgramsFolderAt {
public:
    explicit ProgramsFolderAt(const std::wstring& folder) {
        RegOpenKeyExA(HKEY_CURRENT_USER, kShellFolders, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &key_);
        saved_ = RegQueryValueExW(key_, L"Programs", nullptr, &type_, reinterpret_cast<BYTE*>(data_),
                                  &size_) == ERROR_SUCCESS;
        set_ = RegSetValueExW(key_, L"Programs", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                              static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    ~ProgramsFolderAt() {
        if (saved_) RegSetValueExW(key_, L"Programs", 0, type_, reinterpret_cast<BYTE*>(data_), size_);
        else RegDeleteValueW(key_, L"Programs");
        RegCloseKey(key_);
    }
    ProgramsFolderAt(const ProgramsFolderAt&) = delete;
    ProgramsFolderAt& operator=(const ProgramsFolderAt&) = delete;

    bool set() const { return set_; }

private:
    static constexpr const char* kShellFolders =
        "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
    HKEY key_ = nullptr;
    DWORD type_ = 0, size_ = sizeof data_;
    wchar_t data_[1024] = L"";
    bool saved_ = false;
    bool set_ = false;
};
