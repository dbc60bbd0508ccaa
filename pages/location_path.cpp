#include "pages/location_path.h"

#include <cstring>

#include "core/path_level.h"
#include "core/text.h"

namespace {

const char* const kProblemFormats[] = {
    nullptr,
    "%sPath may not be empty!",
    "%sMissing : or \\ in drive.",
    "%sPath may not be a root drive...",
    "%sA folder name may not be empty or made of dots.",
    "%sA folder name may not contain < > \" | ? * : / or control characters.",
    "%sA folder name may not end in a space or a dot.",
    "%sA folder name may not be a device name such as CON or NUL.",
    "%sPath is too long for the program's files.",
};

// The read-me command the completion starts: the quoted document goes into
// 256 bytes, "Notepad.exe " and the document into 260 (system/completion.cpp).
enum { kReadMeDocumentSize = 256, kReadMeCommandSize = 260 };

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

const char* LocationProblemFormat(LocationProblem problem) { return kProblemFormats[problem]; }

bool ContainsIgnoringCase(const char* text, const char* word) {
    const size_t length = strlen(word);
    if (length == 0) return false;
    for (; *text; ++text) {
        size_t i = 0;
        while (i < length && text[i] && FoldAscii(text[i]) == FoldAscii(word[i])) ++i;
        if (i == length) return true;
    }
    return false;
}

bool FolderFitsInstallation(const char* folder, const ProductConfig& product) {
    char path[kPathBufferSize];
    for (int i = 0; i < product.fileCount; ++i) {
        const FileEntry& entry = product.files[i];
        if ((entry.flags & kInInstallFolder) &&
            !JoinPath(path, sizeof path, folder, entry.fileName, 0))
            return false;
    }
    char document[kReadMeDocumentSize];
    char command[kReadMeCommandSize];
    return JoinPath(document, sizeof document, folder, product.files[kReadMeEntry].fileName, 1) &&
           FormatText(command, sizeof command, "Notepad.exe %s", document);
}

LocationProblem CompleteLocation(const char* typed, const ProductConfig& product, char* folder) {
    if (typed[0] == '\0') return kLocationEmpty;
    if (typed[1] != ':' || typed[2] != '\\') return kLocationNoDrive;
    if (typed[3] == '\0') return kLocationRootDrive;
    // Completed in a buffer that holds any typed text, so that the folder
    // names are checked before its length.
    char completed[kPathBufferSize + kProductNameSize];
    if (ContainsIgnoringCase(typed, product.productName)) {
        if (strlen(typed) >= sizeof completed) return kLocationTooLong;
        strcpy(completed, typed);
    } else if (!JoinPath(completed, sizeof completed, typed, product.productName, 0)) {
        return kLocationTooLong;
    }
    switch (CheckPathLevels(completed + 3)) {
    case kPathLevelEmpty:
        return kLocationDotName;
    case kPathLevelCharacter:
        return kLocationBadCharacter;
    case kPathLevelTrailing:
        return kLocationTrailing;
    case kPathLevelDevice:
        return kLocationDeviceName;
    case kPathLevelFine:
        break;
    }
    if (strlen(completed) >= kSlotSize || !FolderFitsInstallation(completed, product))
        return kLocationTooLong;
    strcpy(folder, completed);
    return kLocationAccepted;
}

int WalkAncestors(const char* path, AncestorSink sink, void* context) {
    if (*path == '\0') return 0;
    char folder[kPathBufferSize];
    const size_t last = sizeof folder - 1;
    size_t used = 0;
    const char* r = path;
    // The first folder is the drive root and keeps its backslash.
    while (*r && *r != '\\' && used < last) folder[used++] = *r++;
    if (*r == '\\' && used < last) folder[used++] = *r++;
    folder[used] = '\0';
    int level = 1;
    sink(folder, level, context);
    while (*r && used < last) {
        // The separator before the next name; a trailing one names no folder.
        if (*r == '\\') {
            folder[used++] = *r++;
            if (*r == '\0') break;
        }
        while (*r && *r != '\\' && used < last) folder[used++] = *r++;
        folder[used] = '\0';
        sink(folder, ++level, context);
    }
    return level;
}
