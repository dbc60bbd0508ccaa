// The install step: prepares the install folder and turns the file table into
// files on disk, reporting through a sink: the installing page, where a
// person watches, or an unattended run, which answers by itself.
#pragma once

#include <windows.h>
#include <cstdint>

#include "core/config.h"

// Sum of the unpacked sizes of the file table, set before the first file is
// written; the progress meter clamps its running count to it.
extern uint32_t g_grandTotal;

// Files that earlier versions installed, relative to the install folder.
struct RetiredFiles {
    const char* const* names;
    int count;
};

// Why the step asks before it changes anything.
enum InstallQuestion { kAskHeldFile, kAskNoSpace };

// What the step reports, in this order: the totals, then each entry as it
// comes to it and the bytes written or kept; a question or an error may end
// it anywhere.
struct InstallSink {
    void (*showTotals)(uint32_t bytes, int files);
    // The entry's number from 1 and its target (or its bare name, when the
    // target is not known).
    void (*showFile)(int number, const char* target);
    void (*advance)(uint32_t bytes);
    // text (a 1024-byte buffer) holds the warning; true to check again.
    bool (*askRetry)(InstallQuestion question, char* text);
    // The step ends on an error; text is the error box's.
    void (*fail)(const char* text);
};

// Installs the shipped file table. Returns 1 on success, -1 when the sink
// declined to retry at a file in use or a full drive, or a file could not be
// created or written (after sink.fail). Every change is part of the run's
// transaction (extract/transaction.h): the caller commits it when the run
// completes and rolls it back otherwise.
int InstallFiles(const InstallSink& sink);

// The same for any file table: the install step reads nothing else of product.
int InstallFileTable(const InstallSink& sink, const ProductConfig& product, const RetiredFiles& retired);

// True when folder holds a file of an earlier installation of product: one of
// the table's install-folder files.
bool HoldsEarlierInstallation(const char* folder, const ProductConfig& product);

// Calls visit for every level of a folder path below its drive root ("C:"),
// from the outermost. A path that does not fit the 256-byte work buffer
// visits nothing.
void ForEachFolderLevel(const char* path, void (*visit)(const char* level));

// Fills the Windows folder's slot; a folder that cannot be read or does not
// fit leaves it empty, which the install step refuses as a target folder.
void FindWindowsFolder();

// Creates every missing level of a folder path below its drive root.
void CreateFolderPath(const char* path);
