// The installation as one transaction. From its first change until the
// registry entries are written, every change the run makes to the disk is
// first recorded in a journal in the Windows folder: an earlier file is moved
// aside in its own folder rather than deleted, a new file or link is noted
// before it is made, a folder before it is created. A run that does not
// finish is undone from the journal, by itself when it ends, or by the next
// run when it was killed; one that finishes deletes the earlier copies.
#pragma once

#include <windows.h>

// Starts the journal for a run whose Windows folder slot is filled. False
// when it cannot be created; nothing has changed then.
bool BeginTransaction();

// Records and creates each missing level of folder below its drive root.
void CreateFolderInTransaction(const char* folder);

// Records a folder that the caller is about to create.
bool NoteFolder(const WCHAR* folder);

// Records path and moves it aside, to path with kAsideSuffix. False when the
// path is too long or it could not be moved; nothing has changed then.
// Outside a transaction (a page's own tests) these record and move nothing
// and return true.
bool MoveAside(const char* path);
bool MoveAside(const WCHAR* path);

// Records path as made by this run; a new file is written to
// TemporaryName(path) and then put in place with PlaceNewFile.
bool NoteNewFile(const char* path);
bool NoteNewFile(const WCHAR* path);
bool PlaceNewFile(const char* path);

// The name a new file is written under until it is whole; false when it does
// not fit a path buffer.
bool TemporaryName(char* out, const char* path);

// Deletes the earlier copies (a held one at the next restart) and the
// journal. From then on the installation stays.
void CommitTransaction();

// Undoes an unfinished run: new files, links and folders removed, earlier
// files put back. Nothing when no transaction is open.
void RollBackTransaction();

// At start-up: undoes (or, when it was committing, finishes) what a killed
// run left in its journal. windowsFolder is where the journal lies.
void RecoverTransaction(const char* windowsFolder);

// The same for this system's Windows folder: what a killed run left half
// done is put back (or, when it was committing, finished) before this run
// shows or changes anything.
void RecoverKilledRun();

// True when an earlier copy could be deleted only at the next restart.
bool RestartCompletesInstallation();

// Suffixes of the earlier copy and of a new file being written.
extern const char kAsideSuffix[];
extern const char kNewSuffix[];
