#include "extract/transaction.h"

#include <windows.h>

#include <cstring>

#include "core/config.h"
#include "core/text.h"
#include "extract/install.h"

const char kAsideSuffix[] = ".pv-old";
const char kNewSuffix[] = ".pv-new";

namespace {

// A record is one line: its letter, a blank and a path in UTF-8, so that a
// path in any script (a Programs folder the code page cannot spell) is kept
// whole. A line cut short by a kill has no line break and is ignored.
enum : char {
    kRecordAside = 'A',   // the earlier file lies at path + kAsideSuffix
    kRecordNew = 'N',     // path (and its temporary name) is this run's
    kRecordFolder = 'D',  // this run created the folder
    kRecordCommit = 'C',  // the run finished: the earlier copies may go
};

enum { kUtf8PathSize = 3 * kPathBufferSize };

// A journal larger than this was not written by the program.
const DWORD kJournalLimit = 1 << 20;

HANDLE g_journal = INVALID_HANDLE_VALUE;
char g_journalPath[kPathBufferSize];
bool g_restart;

bool FormJournalPath(char* out, const char* windowsFolder) {
    char name[kProductNameSize + 12];
    return windowsFolder[0] != '\0' &&
           FormatText(name, sizeof name, "%s Setup.jnl", g_product.productName) &&
           JoinPath(out, kPathBufferSize, windowsFolder, name, 0);
}

bool Widen(WCHAR* out, const char* path, UINT codePage) {
    return MultiByteToWideChar(codePage, 0, path, -1, out, kPathBufferSize) != 0;
}

// path with suffix (ASCII) appended; false when it does not fit.
bool WithSuffix(WCHAR* out, const WCHAR* path, const char* suffix) {
    int n = 0;
    while (path[n] != L'\0' && n < kPathBufferSize) {
        out[n] = path[n];
        ++n;
    }
    for (const char* s = suffix; *s && n < kPathBufferSize; ++s) out[n++] = static_cast<WCHAR>(*s);
    if (n >= kPathBufferSize) return false;
    out[n] = L'\0';
    return true;
}

bool Exists(const WCHAR* path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

bool Append(char kind, const WCHAR* path) {
    char line[kUtf8PathSize + 3];
    const int length = path[0] ? WideCharToMultiByte(CP_UTF8, 0, path, -1, line + 2, kUtf8PathSize,
                                                     nullptr, nullptr) - 1
                               : 0;
    if (length < 0) return false;
    line[0] = kind;
    line[1] = ' ';
    line[length + 2] = '\n';
    const DWORD size = static_cast<DWORD>(length + 3);
    DWORD written = 0;
    return WriteFile(g_journal, line, size, &written, nullptr) && written == size;
}

void DeleteAnyFile(const WCHAR* path) {
    SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(path);
}

// Puts one record's change back. False for an earlier copy that is still
// aside, which a later run must try again.
bool UndoRecord(char kind, const WCHAR* path) {
    WCHAR other[kPathBufferSize];
    switch (kind) {
    case kRecordNew:
        if (WithSuffix(other, path, kNewSuffix)) DeleteAnyFile(other);
        DeleteAnyFile(path);
        return true;
    case kRecordAside:
        if (!WithSuffix(other, path, kAsideSuffix) || !Exists(other)) return true;
        // The earlier file was moved away before anything was put at path,
        // so whatever lies there now is this run's.
        DeleteAnyFile(path);
        return MoveFileW(other, path) != FALSE;
    case kRecordFolder:
        RemoveDirectoryW(path);  // only when empty
        return true;
    default:
        return true;
    }
}

// Deletes an earlier copy; one that is held goes at the next restart.
void DeleteAside(const WCHAR* path) {
    WCHAR aside[kPathBufferSize];
    if (!WithSuffix(aside, path, kAsideSuffix) || !Exists(aside)) return;
    SetFileAttributesW(aside, FILE_ATTRIBUTE_NORMAL);
    if (DeleteFileW(aside)) return;
    if (MoveFileExW(aside, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT)) g_restart = true;
}

// The journal's complete lines, each ended by a NUL instead of its line
// break; the length of that text, or 0.
DWORD ReadJournal(const char* path, char** text) {
    *text = nullptr;
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    DWORD size = GetFileSize(file, nullptr);
    if (size == INVALID_FILE_SIZE || size > kJournalLimit) size = 0;
    char* buffer = size ? static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, size)) : nullptr;
    DWORD read = 0;
    if (buffer && !ReadFile(file, buffer, size, &read, nullptr)) read = 0;
    CloseHandle(file);
    while (read > 0 && buffer[read - 1] != '\n') --read;  // a line cut short
    for (DWORD i = 0; i < read; ++i)
        if (buffer[i] == '\n') buffer[i] = '\0';
    if (read == 0 && buffer) {
        HeapFree(GetProcessHeap(), 0, buffer);
        buffer = nullptr;
    }
    *text = buffer;
    return read;
}

// A record's kind and its path in wideOut; false for a line that is none.
bool ReadRecord(const char* line, WCHAR* path) {
    return line[0] != '\0' && line[1] == ' ' && (line[2] == '\0' || Widen(path, line + 2, CP_UTF8));
}

bool Committing(const char* text, DWORD length) {
    for (const char* line = text; line < text + length; line += strlen(line) + 1)
        if (line[0] == kRecordCommit && line[1] == ' ') return true;
    return false;
}

// Finishes a commit, or undoes the records from the last to the first. The
// journal is then deleted, or rewritten with the earlier copies that could
// not be put back (a later run tries again; it never deletes them).
void Settle(const char* journalPath) {
    char* text;
    const DWORD length = ReadJournal(journalPath, &text);
    char* rest = text ? static_cast<char*>(HeapAlloc(GetProcessHeap(), 0, length)) : nullptr;
    DWORD kept = 0;
    WCHAR path[kPathBufferSize];
    if (rest && Committing(text, length)) {
        for (const char* line = text; line < text + length; line += strlen(line) + 1)
            if (line[0] == kRecordAside && ReadRecord(line, path)) DeleteAside(path);
    } else if (rest) {
        for (char* end = text + length; end > text;) {
            char* line = end - 1;
            while (line > text && line[-1] != '\0') --line;
            end = line;
            if (ReadRecord(line, path) && !UndoRecord(line[0], path)) {
                const size_t size = strlen(line);
                memcpy(rest + kept, line, size);
                rest[kept + size] = '\n';
                kept += static_cast<DWORD>(size + 1);
            }
        }
    }
    HANDLE journal = INVALID_HANDLE_VALUE;
    if (kept)
        journal = CreateFileA(journalPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (journal != INVALID_HANDLE_VALUE) {
        WriteFile(journal, rest, kept, &written, nullptr);
        CloseHandle(journal);
    } else if (!text || rest) {
        DeleteFileA(journalPath);
    }
    if (rest) HeapFree(GetProcessHeap(), 0, rest);
    if (text) HeapFree(GetProcessHeap(), 0, text);
}

void CloseJournal() {
    CloseHandle(g_journal);
    g_journal = INVALID_HANDLE_VALUE;
}

}  // namespace

bool BeginTransaction() {
    g_restart = false;
    if (!FormJournalPath(g_journalPath, g_windowsFolder)) return false;
    g_journal = CreateFileA(g_journalPath, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
    return g_journal != INVALID_HANDLE_VALUE;
}

bool NoteFolder(const WCHAR* folder) {
    return g_journal == INVALID_HANDLE_VALUE || Append(kRecordFolder, folder);
}

void CreateFolderInTransaction(const char* folder) {
    ForEachFolderLevel(folder, [](const char* level) {
        WCHAR wide[kPathBufferSize];
        if (GetFileAttributesA(level) == INVALID_FILE_ATTRIBUTES && Widen(wide, level, CP_ACP) &&
            NoteFolder(wide))
            CreateDirectoryA(level, nullptr);
    });
}

bool MoveAside(const WCHAR* path) {
    if (g_journal == INVALID_HANDLE_VALUE) return true;
    WCHAR aside[kPathBufferSize];
    return WithSuffix(aside, path, kAsideSuffix) && Append(kRecordAside, path) &&
           MoveFileW(path, aside);
}

bool MoveAside(const char* path) {
    WCHAR wide[kPathBufferSize];
    return Widen(wide, path, CP_ACP) && MoveAside(wide);
}

bool NoteNewFile(const WCHAR* path) {
    return g_journal == INVALID_HANDLE_VALUE || Append(kRecordNew, path);
}

bool NoteNewFile(const char* path) {
    WCHAR wide[kPathBufferSize];
    return Widen(wide, path, CP_ACP) && NoteNewFile(wide);
}

bool PlaceNewFile(const char* path) {
    char temporary[kPathBufferSize];
    return TemporaryName(temporary, path) && MoveFileA(temporary, path);
}

bool TemporaryName(char* out, const char* path) {
    return FormatText(out, kPathBufferSize, "%s%s", path, kNewSuffix);
}

void CommitTransaction() {
    if (g_journal == INVALID_HANDLE_VALUE) return;
    Append(kRecordCommit, L"");
    CloseJournal();
    Settle(g_journalPath);
}

void RollBackTransaction() {
    if (g_journal == INVALID_HANDLE_VALUE) return;
    CloseJournal();
    Settle(g_journalPath);
}

void RecoverTransaction(const char* windowsFolder) {
    char path[kPathBufferSize];
    if (FormJournalPath(path, windowsFolder) && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
        Settle(path);
}

bool RestartCompletesInstallation() { return g_restart; }

void RecoverKilledRun() {
    char windows[MAX_PATH];
    const UINT length = GetWindowsDirectoryA(windows, sizeof windows);
    if (length != 0 && length < sizeof windows) RecoverTransaction(windows);
}
