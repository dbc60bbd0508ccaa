// portavo-payload: writes the placeholder payload files named in a list into
// a folder.
#include "tools/payload/placeholder.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: portavo-payload LIST OUTDIR\n");
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
