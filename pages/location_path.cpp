#include "pages/location_path.h"

#include <cstring>

#include "core/code_page.h"
#include "core/path_level.h"
#include "core/text.h"

namespace {

// In the order of LocationProblem.
const char* const kProblemFormats[] = {
    nullptr,
    "%sA folder name may not be empty or made of dots.",
    "%sA folder name may not contain < > \" | ? * : / or control characters.",
    "%sA folder name may not end in a space or a dot.",
    "%sA folder name may not be a device name such as CON or NUL.",
    "%sA folder name may not end in an incomplete character.",
    "%sPath may not be empty!",
    "%sMissing : or \\ in drive.",
    "%sPath may not be a root drive...",
    "%sPath is too long for the program's files.",
};
static_assert(sizeof kProblemFormats / sizeof *kProblemFormats == kLocationTooLong + 1,
              "one format for each problem");

// The read-me command the completion starts: the quoted document goes into
// 256 bytes, "Notepad.exe " and the document into 260 (system/completion.cpp).
enum { kReadMeDocumentSize = 256, kReadMeCommandSize = 260 };

}  // namespace

const char* LocationProblemFormat(LocationProblem problem) { return kProblemFormats[problem]; }

bool ContainsIgnoringCase(const char* text, const char* word) {
    if (*word == '\0') return false;
    const char* end = text + strlen(text);
    for (; *text; text = NextChar(text))
        if (MatchIgnoringCase(text, end, word)) return true;
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
    // A lone lead byte at the end would take the backslash of the completion
    // for its second byte, so the typed names are checked before it.
    PathLevelFault fault = CheckPathLevels(typed + 3);
    if (fault != kPathLevelFine) return static_cast<LocationProblem>(fault);
    // Completed in a buffer that holds any typed text, so that the folder
    // names are checked before its length.
    char completed[kPathBufferSize + kProductNameSize];
    if (ContainsIgnoringCase(typed, product.productName)) {
        if (strlen(typed) >= sizeof completed) return kLocationTooLong;
        strcpy(completed, typed);
    } else if (!JoinPath(completed, sizeof completed, typed, product.productName, 0)) {
        return kLocationTooLong;
    }
    fault = CheckPathLevels(completed + 3);
    if (fault != kPathLevelFine) return static_cast<LocationProblem>(fault);
    if (strlen(completed) >= kSlotSize || !FolderFitsInstallation(completed, product))
        return kLocationTooLong;
    strcpy(folder, completed);
    return kLocationAccepted;
}

int WalkAncestors(const char* path, AncestorSink sink, void* context) {
    if (*path == '\0') return 0;
    char folder[kPathBufferSize];
    size_t used = 0;
    const char* r = path;
    // Copies the characters up to the next backslash, whole characters only.
    const auto copyName = [&]() {
        for (const char* next; *r && *r != '\\'; r = next) {
            next = NextChar(r);
            if (used + (next - r) >= sizeof folder) return false;
            while (r < next) folder[used++] = *r++;
        }
        return true;
    };
    // The first folder is the drive root and keeps its backslash.
    bool room = copyName();
    if (room && *r == '\\' && used + 1 < sizeof folder) folder[used++] = *r++;
    folder[used] = '\0';
    int level = 1;
    sink(folder, level, context);
    while (room && *r && used + 1 < sizeof folder) {
        // The separator before the next name; a trailing one names no folder.
        if (*r == '\\') {
            folder[used++] = *r++;
            if (*r == '\0') break;
        }
        room = copyName();
        folder[used] = '\0';
        sink(folder, ++level, context);
    }
    return level;
}

void FormatLocationWarning(char* out, LocationProblem problem) {
    FormatText(out, kLocationWarningSize, LocationProblemFormat(problem), "Path Invalid!\r\n\r\n");
}
