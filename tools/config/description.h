// The product description: an INI-style text naming the product and its file
// table, from which the build generates the compiled-in product record and the
// payload resource script. Reading it checks everything that the record's
// fields can hold; sizes are not part of it (they are measured from the files).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct DescribedEntry {
    int line;          // line of the entry's [entry] header, for messages
    int fileLine;      // line of its file key, 0 when there is none
    int resourceLine;  // line of its resource key, 0 when there is none
    std::string file;
    uint32_t flags;
    std::string resource;
    std::string shortcut;  // "-" for entries past the shortcut count
};

// The optional registration keys of [product] and the uninstaller choice.
struct DescribedRegistration {
    bool builtUninstaller = false;  // entry 0 is the project's own uninstaller
    std::string companyKey;         // "Software\<company>" unless given
    std::string versionKey;         // companyKey\Programs\<segment>\Current Version
    std::string classId;            // empty: no class, no find extension
    int serverEntry = -1;
    std::string menuText;
    std::string findExtension;
};

struct ProductDescription {
    std::string source;  // the description's name in messages
    std::string name;
    std::string version;
    std::string tagline;
    std::string company;
    std::string helpLink;
    uint16_t releaseTime[8];  // year, month, day of week, day, hour, minute, second, ms
    int shortcutCount;
    std::vector<DescribedEntry> entries;
    // Files earlier versions installed, relative to the install folder.
    std::vector<std::string> retired;
    DescribedRegistration registration;
};

// The longest retired path taken: joined to any install folder the location
// page accepts, it still fits a path buffer.
enum { kRetiredPathMax = 63 };

// A resource name that the program's own resources take, and why: an entry
// whose resource had it would clash with that resource.
struct ReservedName {
    std::string name;
    std::string why;
};

// Parses and checks a description. source names it in messages, which read
// "source:line: field: problem" and name the limit that was broken. File,
// shortcut and product names are held to the program's rule for a level of a
// path (core/path_level.h); no entry's resource may be one of reserved.
// Returns true when no error was found; errors are appended, never cleared.
bool ReadDescription(const std::string& text, const std::string& source,
                     const std::vector<ReservedName>& reserved, ProductDescription* out,
                     std::vector<std::string>* errors);
