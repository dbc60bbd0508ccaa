#include "extract/install.h"

#include <cstring>

#include "core/code_page.h"
#include "core/log.h"
#include "core/product_files.h"
#include "core/text.h"
#include "core/resource.h"
#include "extract/in_use.h"
#include "extract/install_plan.h"
#include "extract/packed_stream.h"
#include "extract/transaction.h"

uint32_t g_grandTotal;

namespace {

const char kCannotCreateText[] =
    "Unable to create destination file!\r\nInstallation will now be aborted.";
const char kCannotWriteText[] =
    "Unable to write destination file!\r\nInstallation will now be aborted.";
// The two questions before anything changes share their last line.
const char kInUseFormat[] = "A file that must be replaced is in use:\r\n\r\n%s\r\n\r\n%sClose it";
const char kHoldersFormat[] = "It is used by: %s\r\n\r\n";
const char kNoSpaceFormat[] =
    "Not enough free disk space on drive %s!\r\n\r\nNeeded: %s bytes\r\nFree: %s bytes\r\n\r\n"
    "Free some space";
const char kRetryLine[] = " and click Retry, or click Cancel to stop the installation.";

enum EntryResult { kWritten, kNotCreated, kNotWritten };

// Space is taken in whole clusters; 4 KB is the common size and rounds each
// file up far enough for any smaller one.
const uint32_t kClusterBytes = 4096;

// What the step will do with one entry's target, decided before any change.
struct Target {
    char path[kPathBufferSize];
    bool known;  // the path fits and its folder slot is filled
    PlanAction action;
};

struct Plan {
    Target entries[kMaxFiles];
    bool earlierInstallation;
};

bool IsPlainFile(const char* path) {
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void MakePlan(const ProductConfig& product, Plan* plan) {
    plan->earlierInstallation = HoldsEarlierInstallation(g_installFolder, product);
    for (int i = 0; i < FileCount(product); ++i) {
        const FileEntry& entry = product.files[i];
        Target& t = plan->entries[i];
        t.known = EntryTarget(t.path, sizeof t.path, entry, g_installFolder, g_windowsFolder);
        t.action = PlanEntry(entry, t.known && IsPlainFile(t.path), plan->earlierInstallation);
    }
}

// A retired file's path in the install folder and what to do with it.
PlanAction PlanRetired(const char* name, bool earlierInstallation, char* path) {
    if (!JoinPath(path, kPathBufferSize, g_installFolder, name, 0)) return kPlanKeep;
    return PlanRetiredFile(name, IsPlainFile(path), earlierInstallation);
}

// The first target to change that another program holds, or nullptr. A
// library in the Windows folder that a program has loaded (Explorer keeps
// the search extension) need only be moved aside.
const char* HeldTarget(const ProductConfig& product, const Plan& plan, const RetiredFiles& retired,
                       char* retiredPath) {
    for (int i = 0; i < FileCount(product); ++i) {
        const Target& t = plan.entries[i];
        if (ChangesTarget(t.action) &&
            IsHeld(t.path, (product.files[i].flags & kInWindowsFolder) != 0))
            return t.path;
    }
    for (int i = 0; i < retired.count; ++i)
        if (PlanRetired(retired.names[i], plan.earlierInstallation, retiredPath) == kPlanRemove &&
            IsHeld(retiredPath, false))
            return retiredPath;
    return nullptr;
}

bool AskAboutHeldFile(const InstallSink& sink, const char* path) {
    char holders[256];
    ProgramsHolding(path, holders, sizeof holders);
    char named[320] = "";
    if (holders[0]) FormatText(named, sizeof named, kHoldersFormat, holders);
    char text[1024];
    FormatText(text, sizeof text - sizeof kRetryLine, kInUseFormat, path, named);
    lstrcatA(text, kRetryLine);
    return sink.askRetry(kAskHeldFile, text);
}

// The folder itself or, for one still to be created, its nearest existing
// parent: free space is asked of a folder that exists, which also finds a
// drive mounted inside another.
void ExistingFolder(char* folder) {
    while (GetFileAttributesA(folder) == INVALID_FILE_ATTRIBUTES) {
        char* cut = nullptr;
        for (char* p = folder; *p; p = NextChar(p))
            if (*p == '\\') cut = p;
        if (!cut || cut <= folder + 2) {
            folder[3] = '\0';  // the drive root
            return;
        }
        *cut = '\0';
    }
}

struct Volume {
    char folder[kPathBufferSize];
    ULARGE_INTEGER free, total;
    uint64_t needed;
};

uint64_t WholeClusters(uint32_t bytes) {
    return (uint64_t(bytes) + kClusterBytes - 1) / kClusterBytes * kClusterBytes;
}

// Checks that each target folder's drive has room for every file written
// there while the earlier copies are still kept; two folders on one volume
// add up. True, with the warning in text (1024 bytes), for the first that
// has not.
bool LacksSpace(const ProductConfig& product, const Plan& plan, char* text) {
    Volume volumes[2] = {};
    const char* folders[2] = {g_installFolder, g_windowsFolder};
    for (int v = 0; v < 2; ++v) {
        Volume& volume = volumes[v];
        if (!FillSlot(volume.folder, sizeof volume.folder, folders[v]) || !volume.folder[0]) continue;
        ExistingFolder(volume.folder);
        if (!GetDiskFreeSpaceExA(volume.folder, &volume.free, &volume.total, nullptr)) continue;
        volume.needed = kClusterBytes;  // the journal
        for (int i = 0; i < FileCount(product); ++i) {
            const bool here = (EntryFolder(product.files[i], folders[0], folders[1]) == folders[v]);
            const PlanAction action = plan.entries[i].action;
            if (here && (action == kPlanWrite || action == kPlanReplace))
                volume.needed += WholeClusters(product.files[i].unpackedSize);
        }
    }
    Volume& first = volumes[0];
    Volume& second = volumes[1];
    if (first.total.QuadPart && FoldAscii(first.folder[0]) == FoldAscii(second.folder[0]) &&
        first.total.QuadPart == second.total.QuadPart && first.free.QuadPart == second.free.QuadPart) {
        first.needed += second.needed;
        second.needed = 0;
    }
    for (const Volume& volume : volumes) {
        if (!volume.total.QuadPart || volume.needed <= volume.free.QuadPart) continue;
        char drive[3] = {volume.folder[0], ':', '\0'};
        char needed[kThousandsTextSize], free[kThousandsTextSize];
        FormatThousands(volume.needed > 0xFFFFFFFFu ? 0xFFFFFFFFu : uint32_t(volume.needed), needed);
        FormatThousands(volume.free.QuadPart > 0xFFFFFFFFu ? 0xFFFFFFFFu
                                                           : uint32_t(volume.free.QuadPart),
                        free);
        wsprintfA(text, kNoSpaceFormat, drive, needed, free);
        lstrcatA(text, kRetryLine);
        return true;
    }
    return false;
}

// Asks until every target to change is free and every drive has room;
// false when the user cancelled.
bool CheckBeforeChanging(const InstallSink& sink, const ProductConfig& product, const Plan& plan,
                         const RetiredFiles& retired) {
    for (;;) {
        char retiredPath[kPathBufferSize];
        char text[1024];
        if (const char* held = HeldTarget(product, plan, retired, retiredPath)) {
            if (!AskAboutHeldFile(sink, held)) return false;
        } else if (LacksSpace(product, plan, text)) {
            if (!sink.askRetry(kAskNoSpace, text)) return false;
        } else {
            return true;
        }
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

// Writes the entry under its temporary name and puts it in place when it is
// whole, so that no partial file ever carries the product's name.
EntryResult WriteEntry(const InstallSink& sink, const char* target, const FileEntry& entry,
                       const FILETIME* stamp) {
    const uint8_t* stream = FindPackedStream(entry);
    char temporary[kPathBufferSize];
    if (!stream || !TemporaryName(temporary, target) || !NoteNewFile(target)) return kNotCreated;
    HANDLE file = CreateFileA(temporary, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        LogError("Cannot create", temporary, GetLastError());
        return kNotCreated;
    }
    const bool complete =
        DecodePackedStream(sink.advance, file, stream, entry.packedSize, entry.unpackedSize);
    if (complete && stamp) SetFileTime(file, stamp, stamp, stamp);
    CloseHandle(file);
    if (!complete) {
        LogError("Cannot write", temporary, GetLastError());
        DeleteFileA(temporary);
        return kNotWritten;
    }
    return PlaceNewFile(target) ? kWritten : kNotCreated;
}

int Abort(const InstallSink& sink, const char* text) {
    sink.fail(text);
    return -1;
}

// The clean-up of an earlier installation: the files earlier versions
// installed and this one does not are moved aside with the rest.
bool SetAsideRetiredFiles(const Plan& plan, const RetiredFiles& retired) {
    for (int i = 0; i < retired.count; ++i) {
        char path[kPathBufferSize];
        if (PlanRetired(retired.names[i], plan.earlierInstallation, path) != kPlanRemove) continue;
        if (!MoveAside(path)) return false;
        LogLine("File removed: %s", path);
    }
    return true;
}

}  // namespace

int InstallFiles(const InstallSink& sink) {
    const RetiredFiles retired = {g_retiredFiles, g_retiredFileCount};
    return InstallFileTable(sink, g_product, retired);
}

int InstallFileTable(const InstallSink& sink, const ProductConfig& product, const RetiredFiles& retired) {
    FILETIME stamp;
    const bool stamped = ReleaseFileTime(product.releaseTime, &stamp);

    const int count = FileCount(product);
    g_grandTotal = 0;
    for (int i = 0; i < count; ++i) g_grandTotal += product.files[i].unpackedSize;
    sink.showTotals(g_grandTotal, count);

    LogLine("Install folder: %s", g_installFolder);
    LogLine("Windows folder: %s", g_windowsFolder);
    Plan plan;
    MakePlan(product, &plan);
    // A target that is not known (an empty folder slot, a path that does not
    // fit) ends the step before anything changes; the sink shows its name.
    for (int i = 0; i < count; ++i) {
        if (plan.entries[i].known) continue;
        sink.showFile(i + 1, product.files[i].fileName);
        return Abort(sink, kCannotCreateText);
    }
    if (!CheckBeforeChanging(sink, product, plan, retired)) return -1;
    // From here on every change is journalled, and undone unless the run
    // completes.
    if (!BeginTransaction()) return Abort(sink, kCannotCreateText);
    CreateFolderInTransaction(g_installFolder);
    if (!SetAsideRetiredFiles(plan, retired)) return Abort(sink, kCannotCreateText);

    for (int i = 0; i < count; ++i) {
        const FileEntry& entry = product.files[i];
        const Target& target = plan.entries[i];
        sink.showFile(i + 1, target.path);
        if (target.action == kPlanKeep) {
            LogLine("File kept: %s", target.path);
            sink.advance(entry.unpackedSize);
            continue;
        }
        if (target.action == kPlanReplace && !MoveAside(target.path))
            return Abort(sink, kCannotCreateText);
        switch (WriteEntry(sink, target.path, entry, stamped ? &stamp : nullptr)) {
            case kWritten: break;
            case kNotCreated: return Abort(sink, kCannotCreateText);
            case kNotWritten: return Abort(sink, kCannotWriteText);
        }
        LogLine(target.action == kPlanReplace ? "File replaced: %s" : "File written: %s", target.path);
    }
    return 1;
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
