#include "tools/payload/placeholder.h"

#include "tools/payload/generators.h"

#include <cerrno>
#include <cstdlib>
#include <set>

bool ParsePlaceholderList(const std::string& text, const std::string& source,
                          std::vector<Placeholder>* out, std::vector<std::string>* errors) {
    size_t start = errors->size();
    std::set<std::string> names;
    size_t pos = 0;
    for (int line = 1; pos < text.size(); ++line) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string s = text.substr(pos, end - pos);
        pos = end + 1;
        std::string at = source + ":" + std::to_string(line) + ": ";
        if (!s.empty() && s.back() == '\r') s.pop_back();
        size_t b = s.find_first_not_of(" \t");
        if (b == std::string::npos || s[b] == '#') continue;
        // kind, size, then the name up to the end of the line (it may hold spaces).
        size_t kindEnd = s.find_first_of(" \t", b);
        size_t sizeAt = kindEnd == std::string::npos ? kindEnd : s.find_first_not_of(" \t", kindEnd);
        size_t sizeEnd = sizeAt == std::string::npos ? sizeAt : s.find_first_of(" \t", sizeAt);
        size_t nameAt = sizeEnd == std::string::npos ? sizeEnd : s.find_first_not_of(" \t", sizeEnd);
        if (nameAt == std::string::npos) {
            errors->push_back(at + "expected \"kind size file name\"");
            continue;
        }
        Placeholder p;
        std::string kind = s.substr(b, kindEnd - b);
        if (kind == "exe") p.kind = kProgramImage;
        else if (kind == "dll") p.kind = kLibraryImage;
        else if (kind == "hlp") p.kind = kHelpFile;
        else {
            errors->push_back(at + "unknown kind \"" + kind + "\" (known: exe, dll, hlp)");
            continue;
        }
        std::string size = s.substr(sizeAt, sizeEnd - sizeAt);
        char* stop = nullptr;
        errno = 0;
        unsigned long long n = strtoull(size.c_str(), &stop, 10);
        if (size[0] < '0' || size[0] > '9' || *stop || errno == ERANGE || n > 0xFFFFFFFFull) {
            errors->push_back(at + "size \"" + size + "\" is not a number of bytes below 4 GB");
            continue;
        }
        p.size = static_cast<uint32_t>(n);
        size_t nameEnd = s.find_last_not_of(" \t");
        p.name = s.substr(nameAt, nameEnd - nameAt + 1);
        if (p.name.find_first_of("\\/:*?\"<>|") != std::string::npos) {
            errors->push_back(at + "\"" + p.name + "\" is not a plain file name");
            continue;
        }
        if (!names.insert(p.name).second) {
            errors->push_back(at + "\"" + p.name + "\" is listed twice");
            continue;
        }
        out->push_back(p);
    }
    return errors->size() == start;
}

std::vector<uint8_t> MakePlaceholder(const Placeholder& p) {
    switch (p.kind) {
    case kProgramImage: return MakeProgramImage(p.name, p.size, false);
    case kLibraryImage: return MakeProgramImage(p.name, p.size, true);
    case kHelpFile: break;
    }
    return MakeHelpFile(p.name, p.size);
}
