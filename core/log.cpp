#include "core/log.h"

#include <cstdarg>

#include "core/text.h"

namespace {

// A line holds at most this many characters; a longer one (a very long
// command line) is cut.
enum { kLineSize = 1024 };

HANDLE g_log;  // nullptr while no log is open
char g_opened[20];  // "2026-12-08 14.05.09", the local time the log was opened

// One line of UTF-16 text, as UTF-8 with CRLF, in one write straight to the
// file, so that a run that is killed leaves its log whole as far as it got.
// Three bytes a character hold any of them.
void WriteWideLine(const WCHAR* text, int length) {
    char utf8[kLineSize * 3 + 2];
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, utf8, kLineSize * 3, nullptr, nullptr);
    utf8[size] = '\r';
    utf8[size + 1] = '\n';
    DWORD written;
    WriteFile(g_log, utf8, static_cast<DWORD>(size + 2), &written, nullptr);
}

// Code-page text in UTF-16 in out (kLineSize characters, room left for ": "
// after it); the number of characters. Text that does not fit gives none.
int Widen(const char* text, WCHAR* out) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, out, kLineSize - 2);
    return length > 0 ? length - 1 : 0;
}

void WriteLine(const char* text) {
    WCHAR wide[kLineSize];
    WriteWideLine(wide, Widen(text, wide));
}

// A line from a wsprintfA format, whose result is at most 1,024 bytes.
void Print(const char* format, ...) {
    char line[kLineSize];
    va_list arguments;
    va_start(arguments, format);
    wvsprintfA(line, format, arguments);
    va_end(arguments);
    WriteLine(line);
}

// "Program: setup.exe version 4.2.0.0": the file version of this program's
// own version resource.
void LogProgram() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path) path[0] = '\0';
    const char* name = path;
    for (const char* p = path; *p; p = CharNextA(p))
        if (*p == '\\') name = p + 1;
    // VS_VERSIONINFO: three WORDs and the key "VS_VERSION_INFO" in UTF-16,
    // then the fixed part on a 32-bit boundary.
    enum { kFixedOffset = 40 };
    // The build makes the resource, so its signature is check enough.
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(1), RT_VERSION);
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const BYTE* data = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    const auto* fixed = data ? reinterpret_cast<const VS_FIXEDFILEINFO*>(data + kFixedOffset) : nullptr;
    DWORD high = 0, low = 0;
    if (fixed && fixed->dwSignature == VS_FFI_SIGNATURE) {
        high = fixed->dwFileVersionMS;
        low = fixed->dwFileVersionLS;
    }
    Print("Program: %s version %u.%u.%u.%u", name, HIWORD(high), LOWORD(high), HIWORD(low), LOWORD(low));
}

// GetVersionEx reports an older Windows to a program whose manifest does not
// name the newer one; RtlGetVersion tells the truth.
void LogWindows() {
    typedef LONG(WINAPI * GetVersionProc)(OSVERSIONINFOW*);
    const auto get = reinterpret_cast<GetVersionProc>(
        reinterpret_cast<void (*)()>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "RtlGetVersion")));
    OSVERSIONINFOW info = {};
    info.dwOSVersionInfoSize = sizeof info;
    if (get) get(&info);
    Print("Windows: %lu.%lu build %lu", info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber);
}

void LogElevation() {
    const char* answer = "unknown";
    HANDLE token;
    if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        TOKEN_ELEVATION elevation;
        DWORD size;
        if (GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size))
            answer = elevation.TokenIsElevated ? "yes" : "no";
        CloseHandle(token);
    }
    Print("Elevated: %s", answer);
}

}  // namespace

bool OpenLog(const char* path, const char* stem) {
    SYSTEMTIME t;
    GetLocalTime(&t);
    wsprintfA(g_opened, "%04u-%02u-%02u %02u.%02u.%02u", t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute,
              t.wSecond);
    // The folder and the stem (a short name) stay within wsprintfA's 1,024 bytes.
    char named[1024];
    if (!path[0]) {
        const DWORD length = GetTempPathA(MAX_PATH, named);
        if (length == 0 || length >= MAX_PATH) return false;
        wsprintfA(named + length, "%s %s.log", stem, g_opened);
        path = named;
    }
    HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    g_log = file;
    return true;
}

void LogHeader(const char* title, const char* commandLine) {
    if (!g_log) return;
    WriteLine(title);
    LogProgram();
    LogLine("Command line: %s", commandLine);
    LogWindows();
    LogElevation();
    // The time with colons, as people write it.
    g_opened[13] = g_opened[16] = ':';
    Print("Started: %s", g_opened);
}

void LogLine(const char* format, const char* first, const char* second) {
    if (!g_log) return;
    char line[kLineSize - 2];
    FormatText(line, sizeof line, format, first, second);
    WriteLine(line);
}

void LogWideLine(const char* label, const WCHAR* path) {
    if (!g_log) return;
    WCHAR wide[kLineSize];
    const int used = Widen(label, wide);
    wide[used] = L':';
    wide[used + 1] = L' ';
    int at = used + 2;
    for (; at < kLineSize && *path; ++at) wide[at] = *path++;
    WriteWideLine(wide, at);
}

void LogError(const char* what, const char* name, DWORD error) {
    if (!g_log) return;
    // wsprintfA writes at most 1,024 bytes: the parts stay well within it.
    char text[256];
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                                  text, sizeof text, nullptr);
    while (length > 0 && static_cast<unsigned char>(text[length - 1]) <= ' ') --length;
    text[length] = '\0';
    Print("Error: %s %.260s: Windows error %lu: %s", what, name, error, text);
}

int CloseLog(int code) {
    if (!g_log) return code;
    Print("Exit code: %d", code);
    CloseHandle(g_log);
    g_log = nullptr;
    return code;
}
