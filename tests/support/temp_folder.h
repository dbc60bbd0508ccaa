// Scratch folders and small file helpers for the Win32 tests.
#pragma once

#include <windows.h>

#include <set>
#include <string>

// A fresh empty folder under the temporary folder (or under a given parent),
// removed with everything in it when the object goes away. Junctions and
// symbolic links inside are removed as links, never entered.
class TempFolder {
public:
    explicit TempFolder(const char* tag, const char* parent = nullptr);
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    // path() joined with a relative path such as "a\\b.txt".
    std::string operator/(const std::string& relative) const { return path_ + "\\" + relative; }

private:
    std::string path_;
};

// Deletes a folder tree without following links; read-only files too.
void RemoveTree(const std::string& folder);
void RemoveTree(const std::wstring& folder);

// Whole-file helpers; ReadWholeFile returns false when the file cannot be read.
bool ReadWholeFile(const std::string& path, std::string* contents);
bool WriteWholeFile(const std::string& path, const std::string& contents);
bool FileExists(const std::string& path);
bool FolderExists(const std::string& path);

struct FileTimes {
    FILETIME creation, lastAccess, lastWrite;
};
bool GetFileTimes(const std::string& path, FileTimes* times);
bool SetFileTimes(const std::string& path, const FILETIME& time);

// A Unix path as Wine reaches it through drive Z: ("/tmp/x" -> "Z:\tmp\x").
std::string WinePathOf(const std::string& unixPath);

// The names in a folder, "." and ".." left out, spelled in the code page:
// what a run made there, in any script.
std::set<std::string> NamesIn(const std::wstring& folder);
