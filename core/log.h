// The run's log, written when the command line asks for it (/LOG): UTF-8
// text, one line an event, so that an administrator can see afterwards what
// a run without windows did and why it ended. Every call does nothing while
// no log is open.
#pragma once

#include <windows.h>

// Creates (or replaces) the log at path, in the code page; an empty path
// names a new file in the temporary folder after stem and the local date and
// time: "<stem> 2026-12-08 14.05.09.log". False when it cannot be created.
bool OpenLog(const char* path, const char* stem);

// The first lines: the title ("Trovado Pro 4.02 Setup log"), the program's
// own file version, the command line, the Windows version and build,
// whether the process runs elevated, and the local start time.
void LogHeader(const char* title, const char* commandLine);

// One line from a FormatText format ("%s" only) and its arguments, in the
// code page; written in UTF-8.
void LogLine(const char* format, const char* first = nullptr, const char* second = nullptr);

// One line of label and a path kept in UTF-16: LogWideLine("Link created",
// path) writes "Link created: C:\...".
void LogWideLine(const char* label, const WCHAR* path);

// An error line: "Error: <what> <name>: Windows error <code>: <system text>".
void LogError(const char* what, const char* name, DWORD error);

// Writes "Exit code: <code>" as the last line, closes the log and returns
// code, so that a run can end with "return CloseLog(code);".
int CloseLog(int code);
