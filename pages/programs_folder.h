// The Start menu's Programs folder, where the group page lists its groups and
// the shortcut dialog makes the group folder and the links. It lives in the
// ANSI slot g_programsFolder wherever the code page spells it or its short
// form within the slot. Where neither form fits (a profile named in another
// script, on a volume that keeps no 8.3 names), it is kept in UTF-16 instead
// and the slot stays empty: then only the group and shortcut names are
// converted, and the folder never is.
#pragma once

#include <windows.h>

// Asks the shell for the Programs folder and keeps it in one of the two
// forms. A folder the shell cannot name or find leaves both empty. It is the
// current user's, or every user's where the run's user is not the desktop's
// or there is no desktop user (system/shortcut_scope.h).
void FindProgramsFolder(HWND owner);

// True when FindProgramsFolder took every user's Programs folder, false for
// the current user's: for the log to say which.
extern bool g_allUsersPrograms;

// The Programs folder in UTF-16, from whichever form holds it, then one
// backslash and tail converted from the code page. Returns the characters
// written without the NUL; 0, leaving out empty, when the folder is unknown
// or the path does not fit kPathBufferSize characters.
int ProgramsFolderPath(WCHAR* out, const char* tail);

// Adds the name of each folder in the Programs folder to the combo box list;
// a name the code page cannot spell is left out, since a group is taken by
// its ANSI name. False when the folder is unknown or cannot be searched.
bool ListProgramGroups(HWND list);

// Makes the group folder below the Programs folder, every missing level, so
// that a group "A\B" lands in its own nested folder. False when its path does
// not fit.
bool MakeGroupFolder(const char* group);

// The UTF-16 path of a shortcut's link: the Programs folder, the group and
// the shortcut name followed by ".lnk", with one backslash where a folder
// ends, in kPathBufferSize characters. False when it does not fit.
bool MakeLinkPath(WCHAR* out, const char* group, const char* name);

// True when MakeLinkPath fits for each of the product's shortcuts in group.
bool LinksFitBelowPrograms(const char* group);
