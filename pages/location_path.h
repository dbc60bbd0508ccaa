// The text side of the location page: what a typed install folder must look
// like, how it is completed by the product name, and the chain of folders from
// the drive root down to a folder. Plain C strings, no Win32.
#pragma once

#include <cstddef>

#include "core/config.h"
#include "core/path_level.h"

// Why a typed folder is refused. A folder name that breaks the path level
// rule gives that rule's fault as it is.
enum LocationProblem {
    kLocationAccepted = kPathLevelFine,
    kLocationDotName = kPathLevelEmpty,        // an empty folder name, or dots such as ".."
    kLocationBadCharacter = kPathLevelCharacter,  // < > " | ? * : / or a control character
    kLocationTrailing = kPathLevelTrailing,    // a folder name ends in a space or a dot
    kLocationDeviceName = kPathLevelDevice,    // a folder name such as CON, nul.txt or LPT1
    kLocationBroken = kPathLevelBroken,        // ends in half a character
    kLocationEmpty,       // nothing typed
    kLocationNoDrive,     // not "X:\" at the start
    kLocationRootDrive,   // only "X:\"
    kLocationTooLong,     // the completed folder or the paths made from it do not fit
};

// The warning's format, whose "%s" takes "Path Invalid!\r\n\r\n";
// nullptr for kLocationAccepted.
const char* LocationProblemFormat(LocationProblem problem);

// The location page's warning for a refused folder ("Path Invalid!" and
// why), in kLocationWarningSize bytes.
enum { kLocationWarningSize = 128 };
void FormatLocationWarning(char* out, LocationProblem problem);

// Checks a typed folder and completes it: a folder that names the product
// (in any letter case) is taken as typed, any other gets the product name
// appended. Every folder name of the completed folder must obey the path
// level rule. On kLocationAccepted, folder (kSlotSize bytes) holds the result;
// otherwise it is left alone.
LocationProblem CompleteLocation(const char* typed, const ProductConfig& product, char* folder);

// True when word occurs in text at a character's start. Only single-byte
// ASCII letters are folded ("pro" finds "Pro", "é" does not find "É"); every
// other byte is compared exactly. An empty word occurs nowhere.
bool ContainsIgnoringCase(const char* text, const char* word);

// True when the install step's files and the read-me command built from
// folder all fit their buffers.
bool FolderFitsInstallation(const char* folder, const ProductConfig& product);

// Calls sink with each folder from the drive root down to path itself
// ("C:\", "C:\A", "C:\A\B" for "C:\A\B"; a trailing backslash adds none) and
// a level counting from 1. Returns the number of folders.
typedef void (*AncestorSink)(const char* folder, int level, void* context);
int WalkAncestors(const char* path, AncestorSink sink, void* context);
