#include "tools/config/generate.h"

#include "tools/config/checksums.h"

#include <algorithm>
#include <cctype>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>

namespace fs = std::filesystem;

namespace {

// Size of a regular file, or false with a reason.
bool FileSize(const fs::path& path, uint32_t* size, std::string* why) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) {
        *why = "not found";
        return false;
    }
    uintmax_t n = fs::file_size(path, ec);
    if (ec) {
        *why = ec.message();
        return false;
    }
    if (n > 0xFFFFFFFFu) {
        *why = std::to_string(n) + " bytes, more than an unsigned 32-bit size holds";
        return false;
    }
    *size = static_cast<uint32_t>(n);
    return true;
}

// A C string literal; '?' is escaped so that no trigraph can form.
std::string Literal(const char* text) {
    std::string out = "\"";
    for (const char* p = text; *p; ++p) {
        if (*p == '"' || *p == '\\' || *p == '?') out += '\\';
        out += *p;
    }
    return out + "\"";
}

void CopyText(char* field, size_t size, const std::string& text) {
    memset(field, 0, size);
    memcpy(field, text.c_str(), text.size() < size ? text.size() : size - 1);
}

bool ReadFile(const std::string& path, std::string* text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    *text = s.str();
    return true;
}

// CRC-32 of a file's bytes, or false when it cannot be read.
bool FileCrc(const fs::path& path, uint32_t* crc) {
    std::string bytes;
    if (!ReadFile(path.string(), &bytes)) return false;
    *crc = Crc32(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return true;
}

// A resource script string: '"' doubled, '\\' escaped.
std::string ScriptString(const std::string& text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        if (c == '\\') out += '\\';
        out += c;
    }
    return out + "\"";
}

// Writes through a temporary file and a rename, so that a reader never sees
// half a file.
bool WriteFile(const fs::path& path, const std::string& text, std::vector<std::string>* errors) {
    fs::path temp = path;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out << text;
        if (!out.flush()) {
            errors->push_back(path.string() + ": cannot write");
            return false;
        }
    }
    std::error_code ec;
    fs::rename(temp, path, ec);
    if (ec) {
        errors->push_back(path.string() + ": cannot write: " + ec.message());
        return false;
    }
    return true;
}

// The words of a line up to a "//" comment, split at blanks and commas.
std::vector<std::string> Words(const std::string& line) {
    std::vector<std::string> words;
    std::string word;
    for (size_t i = 0; i <= line.size(); ++i) {
        const char c = i < line.size() ? line[i] : ' ';
        if (c == '/' && i + 1 < line.size() && line[i + 1] == '/') break;
        if (c == ' ' || c == '\t' || c == ',' || c == '\r') {
            if (!word.empty()) words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty()) words.push_back(word);
    return words;
}

bool IsIdentifier(const std::string& word) {
    if (word.empty() || isdigit(static_cast<unsigned char>(word[0]))) return false;
    for (char c : word)
        if (!isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
    return true;
}

// Upper-case letters, digits and '_': the only names an entry's resource can
// have, so the only macros that can meet one.
bool IsUpperName(const std::string& word) {
    if (!IsIdentifier(word)) return false;
    for (char c : word)
        if (islower(static_cast<unsigned char>(c))) return false;
    return true;
}

// Where a preprocessor listing says a macro came from, as a message names it:
// a file of the project by its path from the project's folder, a system
// header as <name>, the compiler's own as the preprocessor.
std::string MacroSource(const std::string& file, const std::string& root) {
    if (file.empty() || file[0] == '<') return "the resource compiler's preprocessor";
    if (file.compare(0, root.size() + 1, root + "/") == 0) return file.substr(root.size() + 1);
    return "<" + fs::path(file).filename().string() + ">";
}

// The macros that a preprocessor listing of the resource script (gcc -E -dD,
// as windres runs it, with payload.rc stubbed) holds where the script
// includes payload.rc, by name, each with the file that defined it. Only
// object-like macros: a function-like one stays a name when no '(' follows.
bool ReadMacroListing(const std::string& listing, const std::string& root,
                      std::map<std::string, std::string>* macros, std::vector<std::string>* errors) {
    std::string text;
    if (!ReadFile(listing, &text)) {
        errors->push_back(listing + ": cannot read the resource script's macro listing");
        return false;
    }
    std::istringstream lines(text);
    std::string line, file;
    while (std::getline(lines, line)) {
        if (line.compare(0, 2, "# ") == 0) {  // # LINE "FILE" FLAGS
            const size_t open = line.find('"'), close = line.rfind('"');
            if (open == std::string::npos || close <= open) continue;
            file = line.substr(open + 1, close - open - 1);
            if (fs::path(file).filename() == "payload.rc") return true;
            continue;
        }
        const bool define = line.compare(0, 8, "#define ") == 0, undef = line.compare(0, 7, "#undef ") == 0;
        if (!define && !undef) continue;
        const size_t from = define ? 8 : 7;
        const size_t to = line.find_first_of(" (", from);
        const std::string name = line.substr(from, to == std::string::npos ? std::string::npos : to - from);
        if (undef || (to != std::string::npos && line[to] == '('))
            macros->erase(name);
        else if (IsUpperName(name))
            macros->emplace(name, MacroSource(file, root));
    }
    errors->push_back(listing + ": the resource script never includes payload.rc");
    return false;
}

}  // namespace

bool ReadReservedResourceNames(const std::string& script, const std::vector<std::string>& macroListings,
                               std::vector<ReservedName>* names, std::vector<std::string>* errors) {
    static const char* const kTypes[] = {"RCDATA", "BITMAP", "ICON", "CURSOR", "DIALOG", "DIALOGEX",
                                         "MENU", "MENUEX", "FONT", "HTML", "MESSAGETABLE", "VERSIONINFO"};
    std::string text;
    if (!ReadFile(script, &text)) {
        errors->push_back(script + ": cannot read the resource script");
        return false;
    }
    names->clear();
    const std::string root = fs::absolute(script).lexically_normal().parent_path().parent_path().string();
    std::map<std::string, std::string> macros;
    for (const std::string& listing : macroListings)
        if (!ReadMacroListing(listing, root, &macros, errors)) return false;
    for (const auto& macro : macros)
        names->push_back(ReservedName{macro.first, macro.second +
                                                       " defines it, and the resource compiler would put its "
                                                       "value in place of the name"});
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const std::vector<std::string> w = Words(line);
        if (w.size() < 2 || !IsIdentifier(w[0]) || macros.count(w[0])) continue;
        if (std::find(std::begin(kTypes), std::end(kTypes), w[1]) == std::end(kTypes)) continue;
        names->push_back(ReservedName{w[0], fs::path(script).filename().string() +
                                                " has a resource of that name (" + w[1] + ")"});
    }
    names->push_back(ReservedName{PORTAVO_CHECKSUM_RESOURCE,
                                  "the build stores the payload's checksum table under that name"});
    // The resource compiler's own words, which it would not take for a name.
    static const char* const kKeywords[] = {
        "ACCELERATORS", "ALT", "ASCII", "AUTO3STATE", "AUTOCHECKBOX", "AUTORADIOBUTTON", "BEDIT", "BEGIN",
        "BITMAP", "BLOCK", "BUTTON", "CAPTION", "CHARACTERISTICS", "CHECKBOX", "CHECKED", "CLASS",
        "COMBOBOX", "CONTROL", "CTEXT", "CURSOR", "DEFPUSHBUTTON", "DIALOG", "DIALOGEX", "DISCARDABLE",
        "DLGINCLUDE", "DLGINIT", "EDITTEXT", "END", "EXSTYLE", "FILEFLAGS", "FILEFLAGSMASK", "FILEOS",
        "FILESUBTYPE", "FILETYPE", "FILEVERSION", "FIXED", "FONT", "FONTDIR", "GRAYED", "GROUPBOX", "HEDIT",
        "HELP", "HTML", "ICON", "IEDIT", "IMPURE", "INACTIVE", "LANGUAGE", "LISTBOX", "LOADONCALL", "LTEXT",
        "MANIFEST", "MENU", "MENUBARBREAK", "MENUBREAK", "MENUEX", "MENUITEM", "MESSAGETABLE", "MOVEABLE",
        "NOINVERT", "NOT", "PLUGPLAY", "POPUP", "PRELOAD", "PRODUCTVERSION", "PURE", "PUSHBOX", "PUSHBUTTON",
        "RADIOBUTTON", "RCDATA", "RTEXT", "SCROLLBAR", "SEPARATOR", "SHIFT", "STATE3", "STRINGTABLE",
        "STYLE", "TOOLBAR", "USERBUTTON", "VALUE", "VERSION", "VERSIONINFO", "VIRTKEY", "VXD"};
    for (const char* word : kKeywords)
        names->push_back(ReservedName{word, "it is a word of the resource script's language"});
    return true;
}

bool MeasurePayload(const ProductDescription& description, const std::vector<std::string>& payloadDirs,
                    const std::string& packedDir, std::vector<PayloadFile>* files,
                    std::vector<std::string>* errors) {
    size_t start = errors->size();
    files->clear();
    std::string folders;
    for (const std::string& dir : payloadDirs) folders += (folders.empty() ? "" : ", ") + dir;
    for (size_t i = 0; i < description.entries.size(); ++i) {
        const DescribedEntry& e = description.entries[i];
        std::string where = description.source + ":" + std::to_string(e.fileLine ? e.fileLine : e.line) +
                            ": entry " + std::to_string(i) + ": file \"" + e.file + "\": ";
        PayloadFile file;
        file.unpackedSize = file.packedSize = file.crc = 0;
        std::string why;
        for (const std::string& dir : payloadDirs) {
            fs::path candidate = fs::path(dir) / e.file;
            uint32_t size;
            if (!FileSize(candidate, &size, &why)) continue;
            if (!file.source.empty()) {
                errors->push_back(where + "found twice, in " + file.source + " and " + candidate.string());
                continue;
            }
            file.source = candidate.string();
            file.unpackedSize = size;
        }
        if (file.source.empty()) {
            errors->push_back(where + "payload file missing; looked in " +
                              (folders.empty() ? std::string("no folder") : folders));
            files->push_back(file);
            continue;
        }
        if (!FileCrc(file.source, &file.crc)) errors->push_back(where + "cannot read " + file.source);
        fs::path packed = fs::absolute(fs::path(packedDir) / e.file);
        file.packed = packed.lexically_normal().string();
        if (file.packed.find('"') != std::string::npos)
            errors->push_back(where + "packed path " + file.packed + " contains '\"'");
        else if (!FileSize(packed, &file.packedSize, &why))
            errors->push_back(where + "packed stream " + file.packed + ": " + why);
        files->push_back(file);
    }
    return errors->size() == start;
}

void FillRecord(const ProductDescription& description, const std::vector<PayloadFile>& files,
                ProductConfig* record) {
    memset(record, 0, sizeof *record);
    CopyText(record->productName, sizeof record->productName, description.name);
    CopyText(record->version, sizeof record->version, description.version);
    CopyText(record->tagline, sizeof record->tagline, description.tagline);
    CopyText(record->companyName, sizeof record->companyName, description.company);
    CopyText(record->helpLink, sizeof record->helpLink, description.helpLink);
    const uint16_t* t = description.releaseTime;
    record->releaseTime = ReleaseTime{t[0], t[1], t[2], t[3], t[4], t[5], t[6], t[7]};
    size_t count = std::min<size_t>(description.entries.size(), kMaxFiles);
    for (size_t i = 0; i < count; ++i) {
        const DescribedEntry& e = description.entries[i];
        FileEntry& f = record->files[i];
        CopyText(f.fileName, sizeof f.fileName, e.file);
        f.flags = e.flags;
        CopyText(f.resourceName, sizeof f.resourceName, e.resource);
        CopyText(f.shortcutName, sizeof f.shortcutName, e.shortcut);
        if (i < files.size()) {
            f.unpackedSize = files[i].unpackedSize;
            f.packedSize = files[i].packedSize;
        }
    }
    record->fileCount = static_cast<int16_t>(count);
    record->shortcutCount = static_cast<int16_t>(description.shortcutCount);
}

std::string ProductConfigSource(const ProductConfig& r) {
    std::ostringstream s;
    const ReleaseTime& t = r.releaseTime;
    s << "// Generated by portavo-config from the product description and the payload files.\n"
         "// Do not edit: change the description and rebuild.\n"
         "#include \"core/config.h\"\n\n"
         "#include <cstddef>\n\n"
      << "// The layout that portavo-inspect reads back from setup.exe: the same on\n"
         "// every target this is compiled for as on the host that generated it.\n"
         "static_assert(sizeof(FileEntry) == "
      << sizeof(FileEntry) << " && sizeof(ProductConfig) == " << sizeof(ProductConfig)
      << " &&\n              offsetof(ProductConfig, releaseTime) == " << offsetof(ProductConfig, releaseTime)
      << " && offsetof(ProductConfig, files) == " << offsetof(ProductConfig, files)
      << " &&\n              offsetof(ProductConfig, fileCount) == " << offsetof(ProductConfig, fileCount)
      << ", \"product record layout\");\n\n"
         "const ProductConfig g_product = {\n"
      << "    " << Literal(r.productName) << ",  // product name\n"
      << "    " << Literal(r.version) << ",  // version\n"
      << "    " << Literal(r.tagline) << ",  // tagline\n"
      << "    " << Literal(r.companyName) << ",  // company name\n"
      << "    " << Literal(r.helpLink) << ",  // help link\n"
      << "    {" << t.year << ", " << t.month << ", " << t.dayOfWeek << ", " << t.day << ", " << t.hour
      << ", " << t.minute << ", " << t.second << ", " << t.milliseconds << "},  // release time\n"
      << "    {\n"
         "        // file name, flags, resource name, shortcut name, unpacked size, packed size\n";
    for (int i = 0; i < r.fileCount; ++i) {
        const FileEntry& f = r.files[i];
        char flags[16];
        snprintf(flags, sizeof flags, "0x%02X", f.flags);
        s << "        {" << Literal(f.fileName) << ", " << flags << ", " << Literal(f.resourceName) << ", "
          << Literal(f.shortcutName) << ", " << f.unpackedSize << "u, " << f.packedSize << "u},\n";
    }
    s << "    },\n"
      << "    " << r.fileCount << ",  // file count\n"
      << "    " << r.shortcutCount << ",  // shortcut count\n"
      << "};\n";
    return s.str();
}

std::string RetiredFilesSource(const std::vector<std::string>& retired) {
    std::ostringstream s;
    s << "\n// Files earlier versions installed, relative to the install folder.\n"
         "const char* const g_retiredFiles[] = {";
    for (const std::string& path : retired) s << Literal(path.c_str()) << ", ";
    s << "nullptr};\n"
      << "const int g_retiredFileCount = " << retired.size() << ";\n";
    return s.str();
}

std::string PayloadScript(const ProductConfig& record, const std::vector<PayloadFile>& files,
                          const std::string& checksumTable) {
    std::string s = "// Generated by portavo-config: the packed payload, one resource per file table entry,\n"
                    "// and the table of their checksums, against which setup.exe checks itself.\n";
    for (int i = 0; i < record.fileCount && static_cast<size_t>(i) < files.size(); ++i)
        s += std::string(record.files[i].resourceName) + " RCDATA \"" + files[i].packed + "\"\n";
    s += PORTAVO_CHECKSUM_RESOURCE " RCDATA \"" + checksumTable + "\"\n";
    return s;
}

std::vector<uint8_t> PayloadChecksums(const ProductConfig& record, const std::vector<PayloadFile>& files) {
    std::vector<FileChecksum> entries;
    for (int i = 0; i < record.fileCount && static_cast<size_t>(i) < files.size(); ++i)
        entries.push_back(FileChecksum{record.files[i].resourceName, files[i].crc});
    return ChecksumTable(entries);
}

void VersionNumbers(const char* version, uint16_t numbers[4]) {
    const char* p = version;
    for (int i = 0; i < 4; ++i) {
        uint32_t n = 0;
        while (*p >= '0' && *p <= '9') {
            n = n * 10 + static_cast<uint32_t>(*p++ - '0');
            if (n > 0xFFFF) n = 0xFFFF;
        }
        numbers[i] = static_cast<uint16_t>(n);
        while (*p && *p != '.') ++p;
        if (*p == '.') ++p;
    }
}

int64_t ReleaseEpoch(const uint16_t t[8]) {
    // Days since 1970-01-01 of a proleptic Gregorian date, counted in
    // 400-year eras that start on March 1.
    const int64_t y = t[0] - (t[1] <= 2 ? 1 : 0);
    const int64_t m = t[1] <= 2 ? t[1] + 9 : t[1] - 3;
    const int64_t era = y / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * m + 2) / 5 + t[3] - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const int64_t days = era * 146097 + doe - 719468;
    return days * 86400 + t[4] * 3600 + t[5] * 60 + t[6];
}

// Whether the build makes entry 0 from the project's uninstaller.
static std::string UninstallerSettings(const ProductDescription& description) {
    return std::string("set(PORTAVO_BUILT_UNINSTALLER ") +
           (description.registration.builtUninstaller ? "ON" : "OFF") + ")\n";
}

bool BuildSettingsScript(const ProductDescription& description, std::string* script,
                         std::vector<std::string>* errors) {
    size_t start = errors->size();
    std::string s =
        "# Generated by portavo-config from the product description: what the build\n"
        "# trees need of it at configure time.\n"
        "set(PORTAVO_PAYLOAD_FILES)\n";
    for (size_t i = 0; i < description.entries.size(); ++i) {
        const std::string& name = description.entries[i].file;
        if (name.find(';') != std::string::npos) {
            errors->push_back("entry " + std::to_string(i) + ": file \"" + name +
                              "\": ';' cannot be carried in the build's file list");
            continue;
        }
        // Quoted CMake argument: '\\' and '"' never occur in a file name.
        std::string quoted;
        for (char c : name) {
            if (c == '$' || c == '@') quoted += '\\';
            quoted += c;
        }
        s += "list(APPEND PORTAVO_PAYLOAD_FILES \"" + quoted + "\")\n";
    }
    s += "set(PORTAVO_RELEASE_EPOCH " + std::to_string(ReleaseEpoch(description.releaseTime)) + ")\n";
    s += UninstallerSettings(description);
    *script = s;
    return errors->size() == start;
}

bool GenerateBuildSettings(const std::string& path, const std::string& resourceScript,
                           const std::vector<std::string>& macroListings, const std::string& out,
                           std::vector<std::string>* errors) {
    std::string text;
    if (!ReadFile(path, &text)) {
        errors->push_back(path + ": cannot read the product description");
        return false;
    }
    std::vector<ReservedName> reserved;
    if (!ReadReservedResourceNames(resourceScript, macroListings, &reserved, errors)) return false;
    ProductDescription description;
    std::string script;
    if (!ReadDescription(text, path, reserved, &description, errors) ||
        !BuildSettingsScript(description, &script, errors))
        return false;
    std::string old;
    if (ReadFile(out, &old) && old == script) return true;
    std::error_code ec;
    fs::create_directories(fs::path(out).parent_path(), ec);
    return WriteFile(out, script, errors);
}

std::string ManifestText(const ProductConfig& record) { return ProgramManifestText(record, "Setup"); }

std::string ProgramManifestText(const ProductConfig& record, const char* role) {
    uint16_t n[4];
    VersionNumbers(record.version, n);
    std::string name;
    for (const char* text : {record.companyName, record.productName}) {
        for (const char* p = text; *p; ++p)
            if (isalnum(static_cast<unsigned char>(*p))) name += *p;
        name += '.';
    }
    name += role;
    const std::string version =
        std::to_string(n[0]) + "." + std::to_string(n[1]) + "." + std::to_string(n[2]) + "." + std::to_string(n[3]);
    return "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
           "<!-- Generated by portavo-config: the application manifest of the " + std::string(role) +
           " program. -->\n"
           "<assembly xmlns=\"urn:schemas-microsoft-com:asm.v1\" manifestVersion=\"1.0\">\n"
           "  <assemblyIdentity type=\"win32\" name=\"" + name + "\" version=\"" + version +
           "\" processorArchitecture=\"x86\"/>\n"
           "  <trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v3\">\n"
           "    <security>\n"
           "      <requestedPrivileges>\n"
           "        <requestedExecutionLevel level=\"requireAdministrator\" uiAccess=\"false\"/>\n"
           "      </requestedPrivileges>\n"
           "    </security>\n"
           "  </trustInfo>\n"
           "  <compatibility xmlns=\"urn:schemas-microsoft-com:compatibility.v1\">\n"
           "    <application>\n"
           "      <!-- Windows Vista -->\n"
           "      <supportedOS Id=\"{e2011457-1546-43c5-a5fe-008deee3d3f0}\"/>\n"
           "      <!-- Windows 7 -->\n"
           "      <supportedOS Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\"/>\n"
           "      <!-- Windows 8 -->\n"
           "      <supportedOS Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\"/>\n"
           "      <!-- Windows 8.1 -->\n"
           "      <supportedOS Id=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\"/>\n"
           "      <!-- Windows 10 and 11 -->\n"
           "      <supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>\n"
           "    </application>\n"
           "  </compatibility>\n"
           "</assembly>\n";
}

std::string VersionScript(const ProductConfig& record) {
    return ProgramVersionScript(record, std::string(record.productName) + " Setup", "setup");
}

std::string ProgramVersionScript(const ProductConfig& record, const std::string& description,
                                 const std::string& program) {
    uint16_t n[4];
    VersionNumbers(record.version, n);
    char numbers[64];
    snprintf(numbers, sizeof numbers, "%u,%u,%u,%u", n[0], n[1], n[2], n[3]);
    const std::string product = record.productName;
    const std::pair<const char*, std::string> values[] = {
        {"CompanyName", record.companyName},
        {"FileDescription", description},
        {"FileVersion", record.version},
        {"InternalName", program},
        {"OriginalFilename", program + ".exe"},
        {"ProductName", product},
        {"ProductVersion", record.version},
    };
    std::string s =
        "// Generated by portavo-config: the version resource of " + program + ".exe, shown on\n"
        "// the Details page of its properties.\n"
        "1 VERSIONINFO\n"
        "FILEVERSION " + std::string(numbers) + "\n"
        "PRODUCTVERSION " + numbers + "\n"
        "FILEFLAGSMASK 0x3F\n"
        "FILEFLAGS 0\n"
        "FILEOS VOS__WINDOWS32\n"
        "FILETYPE VFT_APP\n"
        "FILESUBTYPE 0\n"
        "BEGIN\n"
        "  BLOCK \"StringFileInfo\"\n"
        "  BEGIN\n"
        "    BLOCK \"040904E4\"\n"
        "    BEGIN\n";
    for (const auto& v : values)
        s += std::string("      VALUE \"") + v.first + "\", " + ScriptString(v.second) + "\n";
    s += "    END\n"
         "  END\n"
         "  BLOCK \"VarFileInfo\"\n"
         "  BEGIN\n"
         "    VALUE \"Translation\", 0x409, 1252\n"
         "  END\n"
         "END\n";
    return s;
}

bool GenerateProductSources(const GenerateRequest& request, ProductConfig* record,
                            std::vector<std::string>* errors) {
    size_t start = errors->size();
    std::string text;
    if (!ReadFile(request.description, &text)) {
        errors->push_back(request.description + ": cannot read the product description");
        return false;
    }
    std::vector<ReservedName> reserved;
    if (!ReadReservedResourceNames(request.resourceScript, request.macroListings, &reserved, errors))
        return false;
    ProductDescription description;
    if (!ReadDescription(text, request.description, reserved, &description, errors)) return false;
    std::vector<PayloadFile> files;
    if (!MeasurePayload(description, request.payloadDirs, request.packedDir, &files, errors)) return false;
    FillRecord(description, files, record);
    std::error_code ec;
    fs::create_directories(request.genDir, ec);
    fs::path gen(request.genDir);
    const fs::path checksums = fs::absolute(gen / "checksums.bin").lexically_normal();
    if (checksums.string().find('"') != std::string::npos) {
        errors->push_back(checksums.string() + ": the path contains '\"'");
        return false;
    }
    const std::vector<uint8_t> table = PayloadChecksums(*record, files);
    const std::string source = ProductConfigSource(*record) + RetiredFilesSource(description.retired) +
                               RegistrationSource(description);
    return WriteFile(gen / "product_config.cpp", source, errors) &&
           WriteFile(checksums, std::string(table.begin(), table.end()), errors) &&
           WriteFile(gen / "version.rc", VersionScript(*record), errors) &&
           WriteFile(gen / "setup.manifest", ManifestText(*record), errors) &&
           WriteFile(gen / "payload.rc", PayloadScript(*record, files, checksums.string()), errors) &&
           errors->size() == start;
}

std::string RegistrationSource(const ProductDescription& d) {
    const DescribedRegistration& r = d.registration;
    const bool server = !r.classId.empty();
    const bool find = server && !r.findExtension.empty();
    const std::string file = server ? d.entries[r.serverEntry].file : "";
    const std::pair<std::string, const char*> fields[] = {
        {r.companyKey, "company key"},
        {r.versionKey, "version key"},
        {r.classId, "class id"},
        {server ? r.classId + "\\" + "InProcServer32" : "", "its server key"},
        {file, "its DLL"},
        {find ? r.findExtension : "", "find extension key"},
        {find ? r.findExtension + "\\0" : "", "its menu key"},
        {find ? r.menuText : "", "menu text"},
        {find ? r.findExtension + "\\0\\DefaultIcon" : "", "its icon key"},
        {find ? file + ",0" : "", "icon"},
    };
    // Its pointers go to the data section: setup.exe's read-only data is the
    // fuller of the two, and the pointers need relocations in either.
    std::string s =
        "\n__attribute__((section(\".data$registration\")))\n"
        "extern const ProductRegistration g_registration = {\n";
    for (const auto& f : fields) s += "    " + Literal(f.first.c_str()) + ",  // " + f.second + "\n";
    return s + "};\n";
}

bool GenerateProductNames(const GenerateRequest& request, std::vector<std::string>* errors) {
    std::string text;
    if (!ReadFile(request.description, &text)) {
        errors->push_back(request.description + ": cannot read the product description");
        return false;
    }
    std::vector<ReservedName> reserved;
    if (!ReadReservedResourceNames(request.resourceScript, request.macroListings, &reserved, errors)) return false;
    ProductDescription description;
    if (!ReadDescription(text, request.description, reserved, &description, errors)) return false;
    ProductConfig record;
    FillRecord(description, std::vector<PayloadFile>(), &record);
    std::error_code ec;
    fs::create_directories(request.genDir, ec);
    const fs::path gen(request.genDir);
    const std::string source = ProductConfigSource(record) + RetiredFilesSource(description.retired) +
                               RegistrationSource(description);
    return WriteFile(gen / "product_config.cpp", source, errors) &&
           WriteFile(gen / "version.rc",
                     ProgramVersionScript(record, std::string(record.productName) + " Uninstaller", "uninstall"),
                     errors) &&
           WriteFile(gen / "uninstall.manifest", ProgramManifestText(record, "Uninstall"), errors);
}
