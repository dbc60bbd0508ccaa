// The switches of a command line, read by both programs: "/NAME" or "-NAME",
// any case, optionally "=value". Plain C strings, no Win32.
#pragma once

#include "core/config.h"

// The arguments after the program's own name: as Windows writes the command
// line, the name is quoted when it holds a space and is followed by blanks.
const char* CommandTail(const char* line);

// One blank-separated token. Double quotes anywhere in it keep blanks inside
// and are dropped, so /DIR="C:\My Apps" and "/DIR=C:\My Apps" read alike.
struct Switch {
    char name[16];                // upper case, without its '/' or '-'; "" when not a switch
    char value[kPathBufferSize];  // after '='; "" when there is none
    bool hasValue;
    bool fits;  // the name and the value fitted their buffers
};

// Reads the token at the start of tail (blanks before it are skipped) into
// out; returns what follows it, or nullptr when no token is left.
const char* NextSwitch(const char* tail, Switch* out);

enum RunMode { kRunWizard, kRunSilent, kRunVerySilent };

struct SetupSwitches {
    RunMode mode;
    bool help;     // /? or /HELP
    bool noIcons;  // /NOICONS
    bool log;      // /LOG, with logFile "" for the default name
    bool hasDir, hasGroup;
    char logFile[kPathBufferSize];
    char dir[kPathBufferSize];
    char group[kPathBufferSize];
    char refused[kPathBufferSize];  // the first token that is no switch of setup.exe's, or ""
};

// Reads setup.exe's switches; a token that is not one of them, takes a value
// it should not or lacks one it needs, or does not fit, is kept in refused.
// The unattended modes refuse such a command line; the wizard ignores it.
void ReadSetupSwitches(const char* tail, SetupSwitches* out);
