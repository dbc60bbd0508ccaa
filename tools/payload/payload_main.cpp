// portavo-payload: writes the placeholder payload files named in a list into
// a folder; "pad" makes a built program a payload file of its listed size.
#include "tools/payload/placeholder.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

bool ReadAll(const char* path, std::string* bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    *bytes = s.str();
    return true;
}

// PROGRAM padded to SIZE bytes: after the program's own bytes, the bytes of
// FILLER from the same offset on (a placeholder of that size, so the file
// packs as the placeholder did), or zeros without a filler. Windows loads no
// byte past the image's last section.
int Pad(int argc, char** argv) {
    if (argc != 5 && argc != 6) {
        fprintf(stderr, "usage: portavo-payload pad PROGRAM SIZE OUT [FILLER]\n");
        return 2;
    }
    std::string program, filler;
    if (!ReadAll(argv[2], &program)) {
        fprintf(stderr, "portavo-payload: error: %s: cannot read\n", argv[2]);
        return 1;
    }
    const size_t size = strtoul(argv[3], nullptr, 10);
    if (program.size() > size) {
        fprintf(stderr, "portavo-payload: error: %s: %zu bytes, more than the %zu listed for %s\n", argv[2],
                program.size(), size, argv[4]);
        return 1;
    }
    if (argc == 6 && (!ReadAll(argv[5], &filler) || filler.size() != size)) {
        fprintf(stderr, "portavo-payload: error: %s: not a filler of %zu bytes\n", argv[5], size);
        return 1;
    }
    std::string bytes = program;
    bytes += argc == 6 ? filler.substr(program.size()) : std::string(size - program.size(), '\0');
    std::ofstream out(argv[4], std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out.flush()) {
        fprintf(stderr, "portavo-payload: error: %s: cannot write\n", argv[4]);
        return 1;
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && !strcmp(argv[1], "pad")) return Pad(argc, argv);
    if (argc != 3) {
        fprintf(stderr, "usage: portavo-payload LIST OUTDIR\n"
                        "       portavo-payload pad PROGRAM SIZE OUT [FILLER]\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        fprintf(stderr, "portavo-payload: error: %s: cannot read\n", argv[1]);
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::vector<Placeholder> list;
    std::vector<std::string> errors;
    if (!ParsePlaceholderList(text.str(), argv[1], &list, &errors)) {
        for (const std::string& e : errors) fprintf(stderr, "portavo-payload: error: %s\n", e.c_str());
        return 1;
    }
    std::error_code ec;
    std::filesystem::create_directories(argv[2], ec);
    for (const Placeholder& p : list) {
        std::vector<uint8_t> bytes = MakePlaceholder(p);
        std::filesystem::path path = std::filesystem::path(argv[2]) / p.name;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) {
            fprintf(stderr, "portavo-payload: error: %s: cannot write\n", path.string().c_str());
            return 1;
        }
    }
    return 0;
}
