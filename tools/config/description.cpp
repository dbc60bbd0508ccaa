#include "tools/config/description.h"

#include "core/config.h"
#include "core/path_level.h"
#include "core/text.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>

namespace {

struct Value {
    int line = 0;
    std::string text;
};
typedef std::map<std::string, Value> Section;

const char* const kProductKeys[] = {"name",      "version",      "tagline",       "company",
                                    "help_link", "release_time", "shortcut_count",
                                    "retired"};
const char* const kEntryKeys[] = {"file", "flags", "resource", "shortcut"};
// Optional keys of [product]: the uninstaller choice and the registrations.
const char* const kRegistrationKeys[] = {"uninstaller", "company_key",    "version_key", "class_id",
                                         "server_file", "menu_text", "find_extension"};
const size_t kRegistrationKeyCount = sizeof kRegistrationKeys / sizeof kRegistrationKeys[0];
// Lengths the registrations are held to (a registry key name has at most
// 255 characters), NUL included.
const size_t kKeyPathSize = 256;
const size_t kMenuTextSize = 64;

// Collects messages with the description's name and a line number.
struct Reporter {
    const std::string& source;
    std::vector<std::string>* errors;
    size_t start;

    void Error(int line, const std::string& text) const {
        std::string at = source;
        if (line > 0) at += ":" + std::to_string(line);
        errors->push_back(at + ": " + text);
    }
    bool Clean() const { return errors->size() == start; }
};

std::string Trim(const std::string& s) {
    size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return "";
    size_t e = s.find_last_not_of(" \t");
    return s.substr(b, e - b + 1);
}

std::string KeyList(const char* const* keys, size_t count) {
    std::string list;
    for (size_t i = 0; i < count; ++i) list += (i ? ", " : "") + std::string(keys[i]);
    return list;
}

bool Known(const char* const* keys, size_t count, const std::string& key) {
    for (size_t i = 0; i < count; ++i)
        if (key == keys[i]) return true;
    return false;
}

// Splits the text into the [product] section and the [entry] sections, in
// order. Reports syntax errors, unknown sections and keys, and repeated keys.
void SplitSections(const std::string& text, const Reporter& report, Section* product,
                   int* productLine, std::vector<std::pair<int, Section>>* entries) {
    enum { kNone, kProduct, kEntry } where = kNone;
    size_t pos = 0;
    for (int line = 1; pos < text.size(); ++line) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string raw = text.substr(pos, end - pos);
        pos = end + 1;
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        std::string s = Trim(raw);
        if (s.empty() || s[0] == ';' || s[0] == '#') continue;
        if (s[0] == '[') {
            if (s == "[product]") {
                if (*productLine) report.Error(line, "section [product] appears twice (first at line " +
                                                         std::to_string(*productLine) + ")");
                else *productLine = line;
                where = kProduct;
            } else if (s == "[entry]") {
                entries->push_back(std::make_pair(line, Section()));
                where = kEntry;
            } else {
                report.Error(line, "unknown section " + s + " (known: [product], [entry])");
                where = kNone;
            }
            continue;
        }
        size_t eq = s.find('=');
        if (eq == std::string::npos) {
            report.Error(line, "expected \"key = value\", got \"" + s + "\"");
            continue;
        }
        std::string key = Trim(s.substr(0, eq));
        Value value;
        value.line = line;
        value.text = Trim(s.substr(eq + 1));
        Section* section = nullptr;
        if (where == kProduct) {
            const size_t known = sizeof kProductKeys / sizeof *kProductKeys;
            if (!Known(kProductKeys, known, key) && !Known(kRegistrationKeys, kRegistrationKeyCount, key)) {
                report.Error(line, "unknown key \"" + key + "\" in [product] (known: " +
                                       KeyList(kProductKeys, known) + ", " +
                                       KeyList(kRegistrationKeys, kRegistrationKeyCount) + ")");
                continue;
            }
            section = product;
        } else if (where == kEntry) {
            if (!Known(kEntryKeys, 4, key)) {
                report.Error(line, "unknown key \"" + key + "\" in [entry] (known: " +
                                       KeyList(kEntryKeys, 4) + ")");
                continue;
            }
            section = &entries->back().second;
        } else {
            report.Error(line, "key \"" + key + "\" outside a [product] or [entry] section");
            continue;
        }
        if (section->count(key)) {
            report.Error(line, key + ": given twice (first at line " +
                                   std::to_string((*section)[key].line) + ")");
            continue;
        }
        (*section)[key] = value;
    }
}

// Parses a whole decimal or 0x-hexadecimal number, optionally negative.
bool ParseNumber(const std::string& text, long long* out) {
    std::string s = Trim(text);
    if (s.empty()) return false;
    bool negative = s[0] == '-';
    std::string digits = negative ? s.substr(1) : s;
    int base = 10;
    if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
        base = 16;
        digits = digits.substr(2);
    }
    if (digits.empty()) return false;
    for (char c : digits) {
        bool ok = base == 16 ? isxdigit(static_cast<unsigned char>(c)) != 0 : (c >= '0' && c <= '9');
        if (!ok) return false;
    }
    errno = 0;
    unsigned long long v = strtoull(digits.c_str(), nullptr, base);
    if (errno == ERANGE || v > 0x7FFFFFFFFFFFull) return false;
    *out = negative ? -static_cast<long long>(v) : static_cast<long long>(v);
    return true;
}

bool IsPrintableAscii(const std::string& s) {
    for (unsigned char c : s)
        if (c < 0x20 || c > 0x7E) return false;
    return true;
}

enum TextKind { kPlainText, kFileName };

// A name that becomes a file or a folder: one level of a path, held to the
// rule the program holds the folders it is given to, so that what the build
// takes Windows can create and find again under that name.
bool CheckName(const Reporter& report, int line, const std::string& field, const std::string& value) {
    const std::string quoted = field + ": \"" + value + "\" ";
    if (value.find('\\') != std::string::npos) {
        report.Error(line, quoted + "contains '\\'; a name has no folder part");
        return false;
    }
    const char* begin = value.c_str();
    const char* end = begin + value.size();
    switch (CheckPathLevel(begin, end)) {
    case kPathLevelFine:
        return true;
    case kPathLevelEmpty:
        report.Error(line, quoted + "is only dots and spaces, which name no file or folder of their own");
        return false;
    case kPathLevelCharacter:
        for (const char* p = begin; p < end; ++p)
            if (CheckPathLevel(p, p + 1) == kPathLevelCharacter) {
                report.Error(line, quoted + "contains '" + std::string(1, *p) +
                                       "', which Windows does not allow in a file or folder name");
                return false;
            }
        report.Error(line, quoted + "contains a character that Windows does not allow in a file or folder name");
        return false;
    case kPathLevelTrailing:
        report.Error(line, quoted + "ends with " + (value.back() == '.' ? "a dot" : "a space") +
                               ", which Windows drops from a file or folder name");
        return false;
    case kPathLevelBroken:
        report.Error(line, quoted + "ends in an incomplete character");
        return false;
    case kPathLevelDevice: {
        std::string device = value.substr(0, value.find('.'));
        device = device.substr(0, device.find_last_not_of(' ') + 1);
        report.Error(line, quoted + "names the device " + device +
                               ": Windows opens the device instead of a file or folder of that name");
        return false;
    }
    }
    return false;
}

// A text field of a char[size] record field: present, printable ASCII, short
// enough to leave room for the NUL, and for names that become files or
// folders free of the characters Windows refuses there.
bool CheckText(const Reporter& report, int line, const std::string& field,
               const std::string& value, size_t size, TextKind kind) {
    if (value.empty()) {
        report.Error(line, field + ": empty; it needs 1 to " + std::to_string(size - 1) + " characters");
        return false;
    }
    if (!IsPrintableAscii(value)) {
        report.Error(line, field + ": only printable ASCII characters are allowed");
        return false;
    }
    if (value.size() > size - 1) {
        report.Error(line, field + ": \"" + value + "\" has " + std::to_string(value.size()) +
                               " characters, the field holds at most " + std::to_string(size - 1) +
                               " (char[" + std::to_string(size) + "] with its NUL)");
        return false;
    }
    if (kind == kFileName) return CheckName(report, line, field, value);
    return true;
}

const Value* Require(const Reporter& report, int sectionLine, const Section& section,
                     const std::string& key, const std::string& where) {
    auto it = section.find(key);
    if (it != section.end()) return &it->second;
    report.Error(sectionLine, where + key + ": missing");
    return nullptr;
}

std::string Upper(const std::string& s) {
    std::string u = s;
    for (char& c : u) c = FoldAscii(c);
    return u;
}

int DaysInMonth(int year, int month) {
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

// 0 = Sunday, as SYSTEMTIME counts the days of the week.
int DayOfWeek(int year, int month, int day) {
    static const int offset[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3) --year;
    return (year + year / 4 - year / 100 + year / 400 + offset[month - 1] + day) % 7;
}

void ReadReleaseTime(const Reporter& report, const Value& v, uint16_t out[8]) {
    static const char* const names[8] = {"year",   "month",  "day of week", "day",
                                         "hour",   "minute", "second",      "milliseconds"};
    static const int low[8] = {1601, 1, 0, 1, 0, 0, 0, 0};
    static const int high[8] = {30827, 12, 6, 31, 23, 59, 59, 999};
    std::vector<std::string> parts;
    size_t pos = 0;
    for (;;) {
        size_t comma = v.text.find(',', pos);
        parts.push_back(v.text.substr(pos, comma - pos));
        if (comma == std::string::npos) break;
        pos = comma + 1;
    }
    if (parts.size() != 8) {
        report.Error(v.line, "release_time: expected 8 numbers (year, month, day of week, day, hour, "
                             "minute, second, milliseconds), got " + std::to_string(parts.size()));
        return;
    }
    bool ok = true;
    for (int i = 0; i < 8; ++i) {
        long long n;
        if (!ParseNumber(parts[i], &n)) {
            report.Error(v.line, std::string("release_time: ") + names[i] + ": \"" + Trim(parts[i]) +
                                     "\" is not a number");
            ok = false;
        } else if (n < low[i] || n > high[i]) {
            report.Error(v.line, std::string("release_time: ") + names[i] + " " + std::to_string(n) +
                                     " is outside " + std::to_string(low[i]) + ".." +
                                     std::to_string(high[i]));
            ok = false;
        } else {
            out[i] = static_cast<uint16_t>(n);
        }
    }
    if (!ok) return;
    if (out[3] > DaysInMonth(out[0], out[1])) {
        report.Error(v.line, "release_time: day " + std::to_string(out[3]) + " is past the end of month " +
                                 std::to_string(out[1]) + " (" +
                                 std::to_string(DaysInMonth(out[0], out[1])) + " days)");
        return;
    }
    int weekday = DayOfWeek(out[0], out[1], out[3]);
    if (out[2] != weekday) {
        report.Error(v.line, "release_time: day of week " + std::to_string(out[2]) +
                                 " does not match the date, which falls on day " +
                                 std::to_string(weekday) + " (0 = Sunday)");
    }
}

// The backdrop formats "name vversion" and "name - tagline" into fixed
// buffers; a description whose texts would not fit them is refused.
void CheckBackdropTexts(const Reporter& report, const Section& s, const ProductDescription& d) {
    if (d.name.empty()) return;
    struct Text {
        const char* key;
        const std::string* value;
        const char* format;
        size_t length;
        size_t size;
    } texts[] = {
        {"version", &d.version, "title \"name vversion\"", d.name.size() + 2 + d.version.size(),
         kTitleTextSize},
        {"tagline", &d.tagline, "tagline \"name - tagline\"", d.name.size() + 3 + d.tagline.size(),
         kTaglineTextSize},
    };
    for (const Text& t : texts) {
        auto v = s.find(t.key);
        if (v == s.end() || t.value->empty() || t.length < t.size) continue;
        report.Error(v->second.line, std::string(t.key) + ": the backdrop's " + t.format + " has " +
                                  std::to_string(t.length) + " characters, its buffer holds at most " +
                                  std::to_string(t.size - 1) + " (char[" + std::to_string(t.size) +
                                  "] with its NUL)");
    }
}

// The files earlier versions installed: paths relative to the install
// folder, separated by '|' (which no name may hold), each level held to the
// name rule, so that none can leave the folder.
void ReadRetired(const Reporter& report, const Value& v, std::vector<std::string>* out) {
    size_t start = 0;
    for (;;) {
        const size_t bar = v.text.find('|', start);
        const std::string path = Trim(v.text.substr(start, bar == std::string::npos ? bar : bar - start));
        bool fine = !path.empty() || (report.Error(v.line, "retired: an empty path"), false);
        if (fine && path.size() > kRetiredPathMax) {
            report.Error(v.line, "retired: \"" + path + "\" has " + std::to_string(path.size()) +
                                     " characters, at most " + std::to_string(kRetiredPathMax) + " are taken");
            fine = false;
        }
        for (size_t level = 0; fine;) {
            const size_t slash = path.find('\\', level);
            const std::string name = path.substr(level, slash == std::string::npos ? slash : slash - level);
            fine = CheckText(report, v.line, "retired", name, kRetiredPathMax + 1, kFileName);
            if (slash == std::string::npos) break;
            level = slash + 1;
        }
        if (fine) out->push_back(path);
        if (bar == std::string::npos) return;
        start = bar + 1;
    }
}

void ReadProduct(const Reporter& report, int line, const Section& s, ProductDescription* out) {
    struct Text {
        const char* key;
        std::string* target;
        size_t size;
        TextKind kind;
    } texts[] = {
        {"name", &out->name, kProductNameSize, kFileName},
        {"version", &out->version, kVersionSize, kPlainText},
        {"tagline", &out->tagline, kTaglineSize, kPlainText},
        {"company", &out->company, kCompanyNameSize, kPlainText},
        {"help_link", &out->helpLink, kHelpLinkSize, kPlainText},
    };
    for (const Text& t : texts) {
        const Value* v = Require(report, line, s, t.key, "[product] ");
        if (v && CheckText(report, v->line, t.key, v->text, t.size, t.kind)) *t.target = v->text;
    }
    CheckBackdropTexts(report, s, *out);
    if (const Value* v = Require(report, line, s, "release_time", "[product] "))
        ReadReleaseTime(report, *v, out->releaseTime);
    if (s.count("retired")) ReadRetired(report, s.at("retired"), &out->retired);
    out->shortcutCount = -1;
    if (const Value* v = Require(report, line, s, "shortcut_count", "[product] ")) {
        long long n;
        if (!ParseNumber(v->text, &n))
            report.Error(v->line, "shortcut_count: \"" + v->text + "\" is not a number");
        else if (n < 0)
            report.Error(v->line, "shortcut_count: " + std::to_string(n) +
                                      " is negative; it must lie between 0 and the file count");
        else if (n > kMaxFiles)
            report.Error(v->line, "shortcut_count: " + std::to_string(n) +
                                      " is above the file count (the file table holds at most " +
                                      std::to_string(kMaxFiles) + " entries)");
        else
            out->shortcutCount = static_cast<int>(n);
    }
}

void ReadFlags(const Reporter& report, const Value& v, const std::string& where, uint32_t* out) {
    long long n;
    if (!ParseNumber(v.text, &n) || n < 0 || n > 0xFFFFFFFFll) {
        report.Error(v.line, where + "flags: \"" + v.text + "\" is not an unsigned 32-bit number");
        return;
    }
    uint32_t flags = static_cast<uint32_t>(n);
    const uint32_t known = kInInstallFolder | kInWindowsFolder | kAlwaysOverwrite;
    char hex[16];
    snprintf(hex, sizeof hex, "0x%02X", flags);
    if (flags & ~known) {
        char unknown[16];
        snprintf(unknown, sizeof unknown, "0x%X", flags & ~known);
        report.Error(v.line, where + "flags: " + hex + " has unknown bits " + unknown +
                                 " (known: 0x01 install folder, 0x02 Windows folder, 0x10 always overwrite)");
        return;
    }
    uint32_t folder = flags & (kInInstallFolder | kInWindowsFolder);
    if (folder == 0 || folder == (kInInstallFolder | kInWindowsFolder)) {
        report.Error(v.line, where + "flags: " + hex + (folder ? " sets both" : " sets neither") +
                                 " of the folder flags 0x01 (install folder) and 0x02 (Windows folder); "
                                 "exactly one must be set");
        return;
    }
    *out = flags;
}

void ReadEntry(const Reporter& report, int line, const Section& s, size_t index, int shortcutCount,
               DescribedEntry* out) {
    std::string where = "entry " + std::to_string(index) + ": ";
    out->line = line;
    out->fileLine = s.count("file") ? s.at("file").line : 0;
    out->resourceLine = s.count("resource") ? s.at("resource").line : 0;
    out->flags = 0;
    if (const Value* v = Require(report, line, s, "file", where))
        if (CheckText(report, v->line, where + "file", v->text, kFileNameSize, kFileName))
            out->file = v->text;
    if (const Value* v = Require(report, line, s, "flags", where)) ReadFlags(report, *v, where, &out->flags);
    if (const Value* v = Require(report, line, s, "resource", where)) {
        bool name = !v->text.empty() && v->text[0] >= 'A' && v->text[0] <= 'Z' &&
                    v->text.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_") == std::string::npos;
        if (!name && !v->text.empty())
            report.Error(v->line, where + "resource: \"" + v->text +
                                      "\" is not a resource name (upper-case letters, digits and '_', "
                                      "starting with a letter)");
        else if (CheckText(report, v->line, where + "resource", v->text, kResourceNameSize, kPlainText))
            out->resource = v->text;
    }
    auto it = s.find("shortcut");
    bool wanted = static_cast<int>(index) < shortcutCount;
    if (shortcutCount < 0) {
        // The count itself is wrong; check only that the name fits.
        out->shortcut = it == s.end() ? "-" : it->second.text;
        if (it != s.end())
            CheckText(report, it->second.line, where + "shortcut", it->second.text, kShortcutNameSize,
                      kPlainText);
    } else if (!wanted) {
        if (it != s.end() && it->second.text != "-")
            report.Error(it->second.line, where + "shortcut: \"" + it->second.text + "\" given, but entry " +
                                              std::to_string(index) + " lies past the shortcut count " +
                                              std::to_string(shortcutCount) + "; write \"-\" or leave it out");
        out->shortcut = "-";
    } else if (it == s.end() || it->second.text == "-") {
        report.Error(it == s.end() ? line : it->second.line,
                     where + "shortcut: missing; the first " + std::to_string(shortcutCount) +
                         " entries (the shortcut count) need a shortcut name");
    } else if (CheckText(report, it->second.line, where + "shortcut", it->second.text,
                         kShortcutNameSize, kFileName)) {
        out->shortcut = it->second.text;
    }
}

// Checks the table as a whole: size, names that must be unique or are taken
// by the program's own resources, and the folders that entries with a fixed
// role need.
void CheckTable(const Reporter& report, const std::vector<ReservedName>& reserved,
                ProductDescription* out) {
    size_t count = out->entries.size();
    if (count > kMaxFiles) {
        report.Error(out->entries[kMaxFiles].line,
                     "entries: " + std::to_string(count) + " [entry] sections, the file table holds at most " +
                         std::to_string(kMaxFiles));
        return;
    }
    if (count < kReadMeEntry + 1) {
        report.Error(0, "entries: " + std::to_string(count) + " [entry] sections, at least " +
                            std::to_string(kReadMeEntry + 1) + " are needed (entry " +
                            std::to_string(kUninstallerEntry) + " is the uninstaller, entry " +
                            std::to_string(kReadMeEntry) + " the read-me)");
    }
    std::map<std::string, size_t> files, resources;
    for (size_t i = 0; i < count; ++i) {
        const DescribedEntry& e = out->entries[i];
        std::string where = "entry " + std::to_string(i) + ": ";
        if (!e.file.empty() && !files.emplace(Upper(e.file), i).second)
            report.Error(e.line, where + "file: \"" + e.file + "\" is also entry " +
                                     std::to_string(files[Upper(e.file)]) + "'s file");
        if (!e.resource.empty() && !resources.emplace(e.resource, i).second)
            report.Error(e.line, where + "resource: \"" + e.resource + "\" is also entry " +
                                     std::to_string(resources[e.resource]) + "'s resource");
        for (const ReservedName& r : reserved)
            if (!e.resource.empty() && Upper(e.resource) == Upper(r.name))
                report.Error(e.resourceLine, where + "resource: \"" + e.resource +
                                                 "\" is reserved: " + r.why);
    }
    for (const std::string& path : out->retired)
        if (files.count(Upper(path)) && (out->entries[files[Upper(path)]].flags & kInInstallFolder))
            report.Error(0, "retired: \"" + path + "\" is entry " + std::to_string(files[Upper(path)]) +
                                "'s file, which this version installs");
    if (count > kUninstallerEntry && out->entries[kUninstallerEntry].flags &&
        !(out->entries[kUninstallerEntry].flags & kInWindowsFolder))
        report.Error(out->entries[kUninstallerEntry].line,
                     "entry 0: flags: the uninstaller entry must go to the Windows folder (0x02); "
                     "the uninstall command names it there");
    if (count > kReadMeEntry && out->entries[kReadMeEntry].flags &&
        !(out->entries[kReadMeEntry].flags & kInInstallFolder))
        report.Error(out->entries[kReadMeEntry].line,
                     "entry 6: flags: the read-me entry must go to the install folder (0x01); "
                     "the closing step opens it there");
}

bool IsGuid(const std::string& s) {
    static const char kShape[] = "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
    if (s.size() != sizeof kShape - 1) return false;
    for (size_t i = 0; i < s.size(); ++i) {
        const bool digit = kShape[i] == 'X';
        if (digit ? !isxdigit(static_cast<unsigned char>(s[i])) : s[i] != kShape[i]) return false;
    }
    return true;
}

// A registry key path of one or more names: printable ASCII, no empty level,
// none but '\\' between them when levels is true.
bool CheckKeyPath(const Reporter& report, int line, const std::string& field, const std::string& value,
                  bool levels) {
    const std::string quoted = field + ": \"" + value + "\" ";
    if (value.empty() || !IsPrintableAscii(value)) {
        report.Error(line, quoted + "is not a registry key name (printable ASCII, not empty)");
        return false;
    }
    if (!levels && value.find('\\') != std::string::npos) {
        report.Error(line, quoted + "contains '\\'; it names one key, not a path");
        return false;
    }
    if (value.front() == '\\' || value.back() == '\\' || value.find("\\\\") != std::string::npos) {
        report.Error(line, quoted + "has an empty level");
        return false;
    }
    return true;
}

// The optional keys: whether entry 0 is the project's uninstaller, the
// company and version keys (by default from the company and product names),
// and the COM class with its DLL and the find extension (by default none).
void ReadRegistration(const Reporter& report, const Section& s, ProductDescription* out) {
    DescribedRegistration& r = out->registration;
    auto text = [&s](const char* key) -> const Value* {
        auto it = s.find(key);
        return it == s.end() ? nullptr : &it->second;
    };
    if (const Value* v = text("uninstaller")) {
        if (v->text == "yes" || v->text == "no") r.builtUninstaller = v->text == "yes";
        else report.Error(v->line, "uninstaller: \"" + v->text + "\" is neither yes nor no");
    }
    r.companyKey = "Software\\" + out->company;
    if (const Value* v = text("company_key"))
        if (CheckKeyPath(report, v->line, "company_key", v->text, true)) r.companyKey = v->text;
    std::string segment = out->name;
    if (const Value* v = text("version_key"))
        if (CheckKeyPath(report, v->line, "version_key", v->text, false)) segment = v->text;
    r.versionKey = r.companyKey + "\\Programs\\" + segment + "\\Current Version";
    const int keyLine = text("version_key") ? text("version_key")->line
                                            : text("company_key") ? text("company_key")->line : 0;
    if (r.versionKey.size() >= kKeyPathSize)
        report.Error(keyLine, "version_key: the version key \"" + r.versionKey + "\" has " +
                                  std::to_string(r.versionKey.size()) + " characters, at most " +
                                  std::to_string(kKeyPathSize - 1) + " fit");
    const Value* classId = text("class_id");
    if (classId && !IsGuid(classId->text))
        report.Error(classId->line, "class_id: \"" + classId->text +
                                        "\" is not a class id {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}");
    else if (classId)
        r.classId = classId->text;
    const Value* server = text("server_file");
    if (classId && !server) report.Error(classId->line, "class_id: given without server_file, its DLL");
    if (server && !classId) report.Error(server->line, "server_file: given without class_id");
    if (server) {
        for (size_t i = 0; i < out->entries.size(); ++i)
            if (Upper(out->entries[i].file) == Upper(server->text) &&
                (out->entries[i].flags & kInWindowsFolder))
                r.serverEntry = static_cast<int>(i);
        if (r.serverEntry < 0)
            report.Error(server->line, "server_file: \"" + server->text +
                                           "\" is not the file of an entry in the Windows folder (0x02)");
    }
    const Value* menu = text("menu_text");
    const Value* extension = text("find_extension");
    if ((menu || extension) && !classId)
        report.Error((menu ? menu : extension)->line,
                     std::string(menu ? "menu_text" : "find_extension") + ": given without class_id");
    if (!menu != !extension)
        report.Error((menu ? menu : extension)->line, "menu_text and find_extension go together");
    if (menu && CheckText(report, menu->line, "menu_text", menu->text, kMenuTextSize, kPlainText))
        r.menuText = menu->text;
    if (extension && CheckKeyPath(report, extension->line, "find_extension", extension->text, false)) {
        if (extension->text.size() >= kKeyPathSize)
            report.Error(extension->line, "find_extension: at most " +
                                              std::to_string(kKeyPathSize - 1) + " characters");
        else
            r.findExtension = extension->text;
    }
}

}  // namespace

bool ReadDescription(const std::string& text, const std::string& source,
                     const std::vector<ReservedName>& reserved, ProductDescription* out,
                     std::vector<std::string>* errors) {
    Reporter report{source, errors, errors->size()};
    *out = ProductDescription();
    out->source = source;
    Section product;
    int productLine = 0;
    std::vector<std::pair<int, Section>> entries;
    SplitSections(text, report, &product, &productLine, &entries);
    if (!productLine) report.Error(0, "section [product] is missing");
    else ReadProduct(report, productLine, product, out);
    // A count above the entries is reported first and then taken as unknown:
    // the entries it would ask shortcut names of are not to blame.
    if (out->shortcutCount > static_cast<int>(entries.size()) && entries.size() <= kMaxFiles) {
        report.Error(product["shortcut_count"].line,
                     "shortcut_count: " + std::to_string(out->shortcutCount) + " is above the file count " +
                         std::to_string(entries.size()) + " (the [entry] sections below)");
        out->shortcutCount = -1;
    }
    for (size_t i = 0; i < entries.size() && i < kMaxFiles; ++i) {
        out->entries.emplace_back();
        ReadEntry(report, entries[i].first, entries[i].second, i, out->shortcutCount, &out->entries.back());
    }
    if (entries.size() > kMaxFiles) {
        // Keep the header lines so that the table check can point at the first extra entry.
        for (size_t i = kMaxFiles; i < entries.size(); ++i) {
            out->entries.emplace_back();
            out->entries.back().line = entries[i].first;
            out->entries.back().fileLine = out->entries.back().resourceLine = 0;
            out->entries.back().flags = 0;
        }
    }
    CheckTable(report, reserved, out);
    if (productLine) ReadRegistration(report, product, out);
    return report.Clean();
}
