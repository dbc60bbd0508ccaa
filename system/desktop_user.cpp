#include "system/desktop_user.h"

#include <windows.h>

namespace {

// A TOKEN_USER with room for the longest SID.
union TokenUserBuffer {
    TOKEN_USER user;
    BYTE bytes[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
};

bool ReadTokenUser(HANDLE process, TokenUserBuffer* out) {
    HANDLE token;
    if (!OpenProcessToken(process, TOKEN_QUERY, &token)) return false;
    DWORD size;
    const bool read = GetTokenInformation(token, TokenUser, out, sizeof *out, &size) != 0;
    CloseHandle(token);
    return read;
}

}  // namespace

DesktopUser FindDesktopUser() {
    // The taskbar belongs to the shell's process too; Wine's shell has one,
    // though it names no shell window.
    HWND shell = GetShellWindow();
    if (!shell) shell = FindWindowA("Shell_TrayWnd", nullptr);
    if (!shell) return kNoDesktopUser;
    DWORD id = 0;
    GetWindowThreadProcessId(shell, &id);
    // The limited right is granted across users and integrity levels; Windows
    // XP does not know it and takes the full one.
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    if (!process) process = OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, id);
    if (!process) return kDesktopUserUnknown;
    TokenUserBuffer desktop, own;
    DesktopUser user = kDesktopUserUnknown;
    if (ReadTokenUser(process, &desktop) && ReadTokenUser(GetCurrentProcess(), &own))
        user = EqualSid(desktop.user.User.Sid, own.user.User.Sid) ? kDesktopUserIsRunUser
                                                                  : kDesktopUserIsOther;
    CloseHandle(process);
    return user;
}
