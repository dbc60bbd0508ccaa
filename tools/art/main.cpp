// portavo-art OUTDIR PREVIEWDIR
// Draws the bitmaps and icons of setup.exe into OUTDIR (bitmap200.bmp to
// bitmap204.bmp, icon100.ico, icon101.ico) and PNG previews of them into
// PREVIEWDIR. The output is the same, byte for byte, on every run.
#include <cerrno>
#include <cstdio>
#include <string>
#include <sys/stat.h>

#include "tools/art/art.h"
#include "tools/art/font.h"

namespace {

// mkdir -p
bool MakeFolder(const std::string& path) {
    for (size_t i = 1; i <= path.size(); ++i) {
        if (i < path.size() && path[i] != '/') continue;
        std::string part = path.substr(0, i);
        if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return false;
    }
    return true;
}

bool WriteAll(const std::string& folder, const std::vector<art::OutputFile>& files) {
    if (!MakeFolder(folder)) {
        std::fprintf(stderr, "portavo-art: cannot create %s\n", folder.c_str());
        return false;
    }
    for (const art::OutputFile& file : files) {
        std::string error;
        if (file.bytes.empty()) error = "nothing drawn for " + file.name;
        if (!error.empty() || !art::WriteFile(folder + "/" + file.name, file.bytes, &error)) {
            std::fprintf(stderr, "portavo-art: %s\n", error.c_str());
            return false;
        }
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: portavo-art OUTDIR PREVIEWDIR\n");
        return 2;
    }
    std::string error;
    if (!art::OpenFonts(PORTAVO_FONT_DIR, &error)) {
        std::fprintf(stderr, "portavo-art: %s\n", error.c_str());
        return 1;
    }
    art::Artwork artwork = art::DrawArtwork();
    art::CloseFonts();
    bool ok = WriteAll(argv[1], artwork.resources) && WriteAll(argv[2], artwork.previews);
    return ok ? 0 : 1;
}
