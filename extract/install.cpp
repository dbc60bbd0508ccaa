#include "extract/install.h"

#include <cstring>

#include "core/app.h"
#include "core/product_files.h"
#include "core/pump.h"
#include "core/text.h"
#include "core/resource.h"
#include "extract/packed_stream.h"
#include "pages/installing.h"
#include "resources/ids.h"

uint32_t g_grandTotal;

namespace {

const char kCannotCreateText[] =
    "Unable to create destination file!\r\nInstallation will now be aborted.";
const char kCannotWriteText[] =
    "Unable to write destination file!\r\nInstallation will now be aborted.";

enum EntryResult { kWritten, kNotCreated, kNotWritten };

const char* TargetFolder(const FileEntry& entry) {
    return (entry.flags & kInWindowsFolder) ? g_windowsFolder : g_installFolder;
}

bool IsPlainFile(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Cleans an existing install folder only when an earlier installation of the
// product lives there; a folder of the user's own keeps everything.
void PrepareInstallFolder(const ProductConfig& product) {
    if (GetFileAttributesA(g_installFolder) == INVALID_FILE_ATTRIBUTES) {
        CreateFolderPath(g_installFolder);
    } else if (HoldsEarlierInstallation(g_installFolder, product)) {
        CleanFolder(g_installFolder);
    }
}

// The release time is local time; files carry UTC.
bool ReleaseFileTime(const ReleaseTime& release, FILETIME* utc) {
    SYSTEMTIME local;
    local.wYear = release.year;
    local.wMonth = release.month;
    local.wDayOfWeek = release.dayOfWeek;
    local.wDay = release.day;
    local.wHour = release.hour;
    local.wMinute = release.minute;
    local.wSecond = release.second;
    local.wMilliseconds = release.milliseconds;
    FILETIME localTime;
    return SystemTimeToFileTime(&local, &localTime) && LocalFileTimeToFileTime(&localTime, utc);
}

// The entry's packed stream in the module's resources, or nullptr when it is
// missing or shorter than the table says.
const uint8_t* FindPackedStream(const FileEntry& entry) {
    DWORD size;
    const uint8_t* stream = LoadRcdata(entry.resourceName, &size);
    return size >= entry.packedSize ? stream : nullptr;
}

EntryResult WriteEntry(HWND page, const char* target, const FileEntry& entry,
                       const FILETIME* stamp) {
    const uint8_t* stream = FindPackedStream(entry);
    if (!stream) return kNotCreated;
    HANDLE file = CreateFileA(target, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return kNotCreated;
    const bool complete =
        DecodePackedStream(page, file, stream, entry.packedSize, entry.unpackedSize);
    if (complete && stamp) SetFileTime(file, stamp, stamp, stamp);
    CloseHandle(file);
    // A partial file must not pass for an installed one.
    if (!complete) DeleteFileA(target);
    return complete ? kWritten : kNotWritten;
}

int Abort(HWND page, const char* text) {
    MessageBoxA(page, text, kMessageCaption, MB_OK | MB_ICONERROR);
    return -1;
}

void CleanEntry(const char* folder, const WIN32_FIND_DATAA& found) {
    const bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (isFolder && found.cFileName[0] == '.') return;  // "." and ".." among them
    // A junction or symbolic link may lead anywhere: it is neither entered nor
    // touched.
    if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return;
    // A path that does not fit would come back empty, which names the drive root.
    char path[kPathBufferSize];
    if (!JoinPath(path, sizeof path, folder, found.cFileName, 0)) return;
    if (isFolder) {
        CleanFolder(path);
    } else if (IsDeletable(found.cFileName)) {
        SetFileAttributesA(path, FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path);
    }
}

}  // namespace

int InstallFiles(HWND page) { return InstallFileTable(page, g_product); }

int InstallFileTable(HWND page, const ProductConfig& product) {
    PrepareInstallFolder(product);
    FILETIME stamp;
    const bool stamped = ReleaseFileTime(product.releaseTime, &stamp);

    const int count = FileCount(product);
    g_grandTotal = 0;
    for (int i = 0; i < count; ++i) g_grandTotal += product.files[i].unpackedSize;
    SetNumberText(page, IDC_TOTAL_SIZE, g_grandTotal);
    SetNumberText(page, IDC_TOTAL_FILES, static_cast<uint32_t>(count));

    for (int i = 0; i < count; ++i) {
        const FileEntry& entry = product.files[i];
        char target[kPathBufferSize];
        const char* folder = TargetFolder(entry);
        // An empty slot is a folder that could not be determined: joined, it
        // would name the drive root, so the file cannot be created and the page
        // shows only its name.
        const bool known = folder[0] != '\0';
        const bool fits = known && JoinPath(target, sizeof target, folder, entry.fileName, 0);
        if (!known) FillSlot(target, sizeof target, entry.fileName);
        SetDlgItemTextA(page, IDC_TARGET_PATH, target);
        SetNumberText(page, IDC_CURRENT_FILE, static_cast<uint32_t>(i + 1));
        PumpMessagesFor(page, 500);
        if (!fits) return Abort(page, kCannotCreateText);
        if (!ShouldWriteEntry(target, entry)) {
            AdvanceProgress(page, entry.unpackedSize);
            continue;
        }
        switch (WriteEntry(page, target, entry, stamped ? &stamp : nullptr)) {
            case kWritten: break;
            case kNotCreated: return Abort(page, kCannotCreateText);
            case kNotWritten: return Abort(page, kCannotWriteText);
        }
    }
    return 1;
}

bool ShouldWriteFile(const char* target, int index) {
    if (index < 0 || index >= FileCount(g_product)) return false;
    return ShouldWriteEntry(target, g_product.files[index]);
}

bool ShouldWriteEntry(const char* target, const FileEntry& entry) {
    if (entry.flags & kAlwaysOverwrite) return true;
    HANDLE file = CreateFileA(target, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) return true;  // absent or unreadable: write it
    CloseHandle(file);
    return false;
}

bool HoldsEarlierInstallation(const char* folder, const ProductConfig& product) {
    const int count = FileCount(product);
    for (int i = 0; i < count; ++i) {
        const FileEntry& entry = product.files[i];
        if (entry.flags & kInWindowsFolder) continue;
        char path[kPathBufferSize];
        if (JoinPath(path, sizeof path, folder, entry.fileName, 0) && IsPlainFile(path))
            return true;
    }
    return false;
}

bool CleanFolder(const char* folder) {
    char pattern[kPathBufferSize];
    if (!JoinPath(pattern, sizeof pattern, folder, "*.*", 0)) return false;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA(pattern, &found);
    if (find == INVALID_HANDLE_VALUE) return false;
    do {
        CleanEntry(folder, found);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    return true;
}

bool IsDeletable(const char* name) { return !IsDataFile(name); }
