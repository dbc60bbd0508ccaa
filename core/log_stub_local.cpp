#include "core/log.h"
bool OpenLog(const char*, const char*) { return false; }
void LogHeader(const char*, const char*) {}
void LogLine(const char*, const char*, const char*) {}
void LogWideLine(const char*, const WCHAR*) {}
void LogError(const char*, const char*, DWORD) {}
int CloseLog(int code) { return code; }
