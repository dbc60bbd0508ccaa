#include "uninstall/self_removal.h"

#include <windows.h>

#include "core/config.h"
#include "core/text.h"

const char kRemoveAfterOption[] = "/REMOVEAFTER";

namespace {

const char* FileNameOf(const char* path) {
    const char* name = path;
    for (const char* p = path; *p; p = CharNextA(p))
        if (*p == '\\') name = p + 1;
    return name;
}

void QueueForRestart(const char* path) { MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT); }

}  // namespace

bool RemoveSelfAfterExit(const char* self) {
    char folder[MAX_PATH];
    char copy[MAX_PATH];
    const DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder || !GetTempFileNameA(folder, "unp", 0, copy)) {
        QueueForRestart(self);
        return false;
    }
    char pid[16];
    char line[3 * MAX_PATH];
    wsprintfA(pid, "%lu", GetCurrentProcessId());
    wsprintfA(line, "\"%s\" %s %s %s", copy, kRemoveAfterOption, pid, self);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    // The copy runs in the temporary folder, so that it holds no folder of
    // the product as its current one.
    if (!CopyFileA(self, copy, FALSE) ||
        !CreateProcessA(copy, line, nullptr, nullptr, FALSE, 0, nullptr, folder, &startup, &process)) {
        DeleteFileA(copy);
        QueueForRestart(self);
        return false;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return true;
}

int FinishSelfRemoval(const char* arguments) {
    DWORD pid = 0;
    const char* p = arguments;
    while (*p >= '0' && *p <= '9') pid = pid * 10 + static_cast<DWORD>(*p++ - '0');
    while (*p == ' ') ++p;
    // Only the product's own uninstaller, whoever asks.
    if (lstrcmpiA(FileNameOf(p), g_product.files[kUninstallerEntry].fileName) == 0) {
        if (HANDLE original = OpenProcess(SYNCHRONIZE, FALSE, pid)) {
            WaitForSingleObject(original, 30000);
            CloseHandle(original);
        }
        bool gone = false;
        for (int attempt = 0; attempt < 50 && !gone; ++attempt) {
            gone = DeleteFileA(p) || GetLastError() == ERROR_FILE_NOT_FOUND;
            if (!gone) Sleep(100);
        }
        if (!gone) QueueForRestart(p);
    }
    char self[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, self, sizeof self);
    if (length != 0 && length < sizeof self) QueueForRestart(self);
    return 0;
}
