// What a folder tree holds, as a person comparing two states would see it:
// every file's size, contents, attributes and times, every folder by name.
#pragma once

#include <map>
#include <string>

// Relative path -> a line describing the file ("folder" for a folder). Two
// snapshots are equal when the tree is byte for byte the same.
typedef std::map<std::string, std::string> TreeSnapshot;

TreeSnapshot SnapshotTree(const std::string& folder);

// The line of one file, "" when there is none.
std::string DescribeFile(const std::string& path);
