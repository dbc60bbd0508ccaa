// What an upgrade does with each target: the plan's rows, from what lies on
// disk before the install step changes anything.
#include "extract/install_plan.h"

#include <gtest/gtest.h>

#include <cstring>

#include "core/product_files.h"

namespace {

FileEntry Entry(const char* name, uint32_t flags) {
    FileEntry entry = {};
    strcpy(entry.fileName, name);
    entry.flags = flags;
    return entry;
}

TEST(InstallPlan, EachEntryIsKeptWrittenOrReplacedAsItsFlagsAndTheDiskSay) {
    const uint32_t install = kInInstallFolder, windows = kInWindowsFolder, always = kAlwaysOverwrite;
    struct Row {
        const char* name;
        uint32_t flags;
        bool exists, earlierInstallation;
        PlanAction expected;
    } rows[] = {
        {"Read Me.txt", install | always, false, false, kPlanWrite},
        {"Read Me.txt", install | always, true, true, kPlanReplace},
        {"Read Me.txt", install | always, true, false, kPlanReplace},  // the user's folder: 0x10 still writes
        {"Read Me.txt", install, true, true, kPlanReplace},   // the clean-up deletes it, so it is written anew
        {"Read Me.txt", install, true, false, kPlanKeep},     // no earlier installation: not cleaned
        {"Index.KEY", install, true, true, kPlanKeep},        // a data file survives the clean-up
        {"Index.key", install | always, true, true, kPlanReplace},
        {"Index.KEY", install, false, true, kPlanWrite},
        {"TrovadoCtx.dll", windows, true, true, kPlanKeep},   // the Windows folder is never cleaned
        {"TrovadoCtx.dll", windows | always, true, true, kPlanReplace},
        {"TrovadoCtx.dll", windows, false, true, kPlanWrite},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.name << " flags " << row.flags << " exists "
                                          << row.exists << " earlier " << row.earlierInstallation);
        EXPECT_EQ(PlanEntry(Entry(row.name, row.flags), row.exists, row.earlierInstallation),
                  row.expected);
    }
}

TEST(InstallPlan, RetiredFilesGoOnlyFromAnEarlierInstallationAndNeverAsDataFiles) {
    EXPECT_EQ(PlanRetiredFile("Old.hlp", true, true), kPlanRemove);
    EXPECT_EQ(PlanRetiredFile("Help\\Old.hlp", true, true), kPlanRemove);
    EXPECT_EQ(PlanRetiredFile("Old.hlp", false, true), kPlanKeep);
    EXPECT_EQ(PlanRetiredFile("Old.hlp", true, false), kPlanKeep);  // a folder of the user's own
    EXPECT_EQ(PlanRetiredFile("Index\\Main.FND", true, true), kPlanKeep);
    EXPECT_EQ(PlanRetiredFile("Main.FND\\Old.hlp", true, true), kPlanRemove);
}

TEST(ProductFiles, DataFilesAreKnownByTheirExtensionInAnyLetterCase) {
    for (const char* kept : {"Index.KEY", "index.key", "db.Dat", "x.FND", "y.fnd", "z.FiD", ".dat",
                             "archive.old.KEY"})
        EXPECT_TRUE(IsDataFile(kept)) << kept;
    for (const char* gone : {"Trovado Pro.exe", "NoExtension", "Index.KEY.bak", "file.DATA", "x.KE",
                             "KEY", "x.", "Read Me.txt"})
        EXPECT_FALSE(IsDataFile(gone)) << gone;
}

}  // namespace
