// Test helpers over the real registry: save a key with everything below it,
// put it back exactly (or remove it when it did not exist), and read values.
#pragma once

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

struct SavedValue {
    std::wstring name;
    DWORD type;
    std::vector<BYTE> data;
};

struct SavedKey {
    bool exists = false;
    std::wstring name;
    std::vector<SavedValue> values;
    std::vector<SavedKey> subkeys;
};

inline std::wstring Wide(const char* text) {
    std::wstring out;
    for (; *text; ++text) out += static_cast<wchar_t>(static_cast<unsigned char>(*text));
    return out;
}

inline SavedKey SaveKeyTree(HKEY parent, const std::wstring& path) {
    SavedKey saved;
    saved.name = path;
    HKEY key;
    if (RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return saved;
    saved.exists = true;
    for (DWORD i = 0;; ++i) {
        wchar_t name[16384];
        DWORD nameLength = 16384, type = 0, size = 0;
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
            break;
        SavedValue value{name, type, std::vector<BYTE>(size)};
        nameLength = 16384;
        RegEnumValueW(key, i, name, &nameLength, nullptr, &type, value.data.data(), &size);
        value.data.resize(size);
        saved.values.push_back(value);
    }
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256;
        if (RegEnumKeyExW(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        saved.subkeys.push_back(SaveKeyTree(key, name));
    }
    RegCloseKey(key);
    return saved;
}

inline void RemoveKeyTree(HKEY parent, const std::wstring& path) {
    RegDeleteTreeW(parent, path.c_str());
    RegDeleteKeyW(parent, path.c_str());
}

inline void RecreateKeyTree(HKEY parent, const SavedKey& saved) {
    HKEY key;
    if (RegCreateKeyExW(parent, saved.name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return;
    for (const SavedValue& value : saved.values)
        RegSetValueExW(key, value.name.c_str(), 0, value.type, value.data.data(),
                       static_cast<DWORD>(value.data.size()));
    for (const SavedKey& subkey : saved.subkeys) RecreateKeyTree(key, subkey);
    RegCloseKey(key);
}

// Puts the key back as it was saved: removed when it did not exist.
inline void RestoreKeyTree(HKEY parent, const SavedKey& saved) {
    RemoveKeyTree(parent, saved.name);
    if (saved.exists) RecreateKeyTree(parent, saved);
}

inline bool KeyExists(HKEY root, const char* path) {
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

inline bool MakeKey(HKEY root, const char* path) {
    HKEY key;
    if (RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// Stores raw bytes under any type, NUL or no NUL.
inline bool PutValue(HKEY root, const char* path, const char* name, DWORD type, const void* data,
                     DWORD size) {
    HKEY key;
    if (RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        &key, nullptr) != ERROR_SUCCESS)
        return false;
    const LONG result = RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

// A value as read back: its type and every stored byte (a REG_SZ written
// with its NUL reads back with it).
struct ReadBack {
    bool found = false;
    DWORD type = REG_NONE;
    std::string data;
};

inline ReadBack GetValue(HKEY root, const char* path, const char* name) {
    ReadBack out;
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return out;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &out.type, nullptr, &size) == ERROR_SUCCESS) {
        out.data.resize(size);
        out.found = RegQueryValueExA(key, name, nullptr, &out.type,
                                     reinterpret_cast<BYTE*>(&out.data[0]), &size) == ERROR_SUCCESS;
        out.data.resize(size);
    }
    RegCloseKey(key);
    return out;
}

// The read-back of a REG_SZ written with its terminating NUL.
inline ReadBack Sz(const std::string& text) {
    ReadBack out;
    out.found = true;
    out.type = REG_SZ;
    out.data = text + '\0';
    return out;
}

inline ReadBack Dword(DWORD number) {
    ReadBack out;
    out.found = true;
    out.type = REG_DWORD;
    out.data.assign(reinterpret_cast<const char*>(&number), sizeof number);
    return out;
}

inline bool operator==(const ReadBack& a, const ReadBack& b) {
    return a.found == b.found && a.type == b.type && a.data == b.data;
}

inline std::ostream& operator<<(std::ostream& os, const ReadBack& v) {
    if (!v.found) return os << "<missing>";
    return os << "type " << v.type << " \"" << std::string(v.data.c_str()) << "\" (" << v.data.size()
              << " bytes)";
}
