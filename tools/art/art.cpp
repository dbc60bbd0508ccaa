#include "tools/art/art.h"

#include "tools/art/palette.h"
#include "tools/art/pictures.h"

namespace art {
namespace {

void AddBitmap(Artwork& out, int id, const Image& img, const std::vector<Rgb>& table, int bits) {
    std::string name = "bitmap" + std::to_string(id);
    out.resources.push_back({name + ".bmp", EncodeBmp(img, table, bits)});
    out.previews.push_back({name + ".png", EncodePng(img, table)});
}

// The preview shows both sizes side by side on a transparent ground.
void AddIcon(Artwork& out, int id, Image (*draw)(int)) {
    std::vector<Rgb> table = StandardPalette();
    Image large = draw(32), small = draw(16);
    std::string name = "icon" + std::to_string(id);
    out.resources.push_back({name + ".ico", EncodeIco({large, small}, table)});
    Image sheet(32 + 8 + 16, 32, kTransparent);
    Blit(sheet, large, 0, 0);
    Blit(sheet, small, 40, 8);
    out.previews.push_back({name + ".png", EncodePng(sheet, table)});
}

}  // namespace

Artwork DrawArtwork() {
    Artwork out;
    AddBitmap(out, 200, DrawComputer(), StandardPalette(), 4);
    AddBitmap(out, 201, DrawStartMenu(), StandardPalette(), 4);
    AddBitmap(out, 202, DrawBanner(), BannerPalette(), 8);
    AddBitmap(out, 203, DrawBannerFill(), BannerPalette(), 8);
    AddBitmap(out, 204, DrawSeparator(), SeparatorPalette(), 8);
    AddIcon(out, 100, DrawProgramIcon);
    AddIcon(out, 101, DrawShortcutIcon);
    return out;
}

}  // namespace art
