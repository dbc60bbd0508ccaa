// Header bitmaps: copies of the resources, their palette, and drawing them
// into a memory device context whose pixels are read back.
#include "backdrop/dib.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/app.h"

namespace {

struct Resource {
    const BYTE* data = nullptr;
    DWORD size = 0;
};

Resource BitmapResource(int id) {
    Resource r;
    HRSRC res = FindResourceA(g_instance, MAKEINTRESOURCEA(id), RT_BITMAP);
    if (!res) return r;
    r.data = (const BYTE*)LockResource(LoadResource(g_instance, res));
    r.size = SizeofResource(g_instance, res);
    return r;
}

// The colour the bitmap holds at (x, y), y from the top.
COLORREF BitmapPixel(const BITMAPINFOHEADER* h, int x, int y) {
    const RGBQUAD* table = (const RGBQUAD*)((const BYTE*)h + 40);
    int stride = ((h->biWidth * h->biBitCount + 31) / 32) * 4;
    const BYTE* row = (const BYTE*)DibBits(h) + (size_t)(h->biHeight - 1 - y) * stride;
    const RGBQUAD& q = table[row[x]];  // 8-bit
    return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

bool IsUnlocked(HGLOBAL block) { return (GlobalFlags(block) & GMEM_LOCKCOUNT) == 0; }

class Dib : public ::testing::Test {
protected:
    void SetUp() override {
        g_instance = GetModuleHandleA(nullptr);
        FreeBackdropBitmaps();
    }
    void TearDown() override { FreeBackdropBitmaps(); }
};

TEST_F(Dib, CopiesAreWholeUnlockedMovableBlocks) {
    struct Case {
        int id;
        uint16_t colours;
        size_t bitsOffset;
    };
    for (Case c : {Case{202, 256, 1064}, Case{204, 5, 60}, Case{203, 256, 1064}}) {
        SCOPED_TRACE("bitmap " + std::to_string(c.id));
        HGLOBAL block = CopyDibResource(c.id);
        ASSERT_NE(block, nullptr);
        EXPECT_TRUE(IsUnlocked(block));
        Resource res = BitmapResource(c.id);
        EXPECT_EQ(GlobalSize(block), (SIZE_T)res.size);
        const BITMAPINFOHEADER* h = (const BITMAPINFOHEADER*)GlobalLock(block);
        ASSERT_NE(h, nullptr);
        EXPECT_NE((void*)h, (void*)block) << "a movable block's handle is not its address";
        EXPECT_EQ(memcmp(h, res.data, res.size), 0);
        EXPECT_EQ(DibColorCount(h), c.colours);
        EXPECT_EQ((size_t)((const BYTE*)DibBits(h) - (const BYTE*)h), c.bitsOffset);
        GlobalUnlock(block);
        GlobalFree(block);
    }
    EXPECT_EQ(CopyDibResource(299), nullptr);
}

TEST_F(Dib, ColourCountFollowsClrUsedThenTheDepth) {
    BITMAPINFOHEADER h = {};
    h.biSize = 40;
    struct Case {
        WORD bits;
        DWORD clrUsed;
        uint16_t expected;
    };
    const Case cases[] = {
        {1, 0, 2},   {4, 0, 16},  {8, 0, 256}, {16, 0, 0}, {24, 0, 0}, {32, 0, 0},
        {8, 5, 5},   {4, 3, 3},   {24, 7, 7},  {1, 1, 1},
    };
    for (const Case& c : cases) {
        h.biBitCount = c.bits;
        h.biClrUsed = c.clrUsed;
        EXPECT_EQ(DibColorCount(&h), c.expected) << c.bits << " bits, biClrUsed " << c.clrUsed;
        EXPECT_EQ((const BYTE*)DibBits(&h) - (const BYTE*)&h, 40 + 4 * c.expected);
    }
}

// A 24-bit packed bitmap, 2 x 2, in a movable block.
HGLOBAL TrueColourBlock() {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 40 + 16);
    BITMAPINFOHEADER* h = (BITMAPINFOHEADER*)GlobalLock(block);
    h->biSize = 40;
    h->biWidth = 2;
    h->biHeight = 2;
    h->biPlanes = 1;
    h->biBitCount = 24;
    GlobalUnlock(block);
    return block;
}

std::vector<PALETTEENTRY> Entries(HPALETTE palette) {
    WORD count = 0;
    GetObjectA(palette, sizeof(count), &count);
    std::vector<PALETTEENTRY> entries(count);
    if (count) GetPaletteEntries(palette, 0, count, entries.data());
    return entries;
}

void ExpectPaletteOfTable(HPALETTE palette, int id) {
    Resource res = BitmapResource(id);
    ASSERT_NE(res.data, nullptr);
    uint16_t count = DibColorCount((const BITMAPINFOHEADER*)res.data);
    std::vector<PALETTEENTRY> entries = Entries(palette);
    ASSERT_EQ(entries.size(), count);
    const RGBQUAD* table = (const RGBQUAD*)(res.data + 40);
    for (uint16_t i = 0; i < count; ++i) {
        EXPECT_EQ(entries[i].peRed, table[i].rgbRed) << i;
        EXPECT_EQ(entries[i].peGreen, table[i].rgbGreen) << i;
        EXPECT_EQ(entries[i].peBlue, table[i].rgbBlue) << i;
        EXPECT_EQ(entries[i].peFlags, 0) << i;
    }
}

TEST_F(Dib, PaletteComesFromTheColourTable) {
    HGLOBAL block = CopyDibResource(202);
    HPALETTE palette = CreateDibPalette(block);
    ASSERT_NE(palette, nullptr);
    ExpectPaletteOfTable(palette, 202);
    EXPECT_EQ(Entries(palette).size(), 256u);
    EXPECT_TRUE(IsUnlocked(block));
    DeleteObject(palette);
    GlobalFree(block);

    HGLOBAL trueColour = TrueColourBlock();
    EXPECT_EQ(CreateDibPalette(trueColour), nullptr) << "no colour table, no palette";
    EXPECT_TRUE(IsUnlocked(trueColour));
    GlobalFree(trueColour);
    EXPECT_EQ(CreateDibPalette(nullptr), nullptr);
}

TEST_F(Dib, BackdropPaletteIsMadeOnceFromTheFirstBitmapThatYieldsOne) {
    g_bannerBitmap = LoadDibResource(202);
    ASSERT_NE(g_backdropPalette, nullptr);
    HPALETTE first = g_backdropPalette;
    g_bannerFillBitmap = LoadDibResource(203);
    g_separatorBitmap = LoadDibResource(204);
    EXPECT_NE(g_bannerFillBitmap, nullptr);
    EXPECT_NE(g_separatorBitmap, nullptr);
    EXPECT_EQ(g_backdropPalette, first) << "an existing palette is never replaced";
    ExpectPaletteOfTable(g_backdropPalette, 202);

    FreeBackdropBitmaps();
    EXPECT_EQ(g_bannerBitmap, nullptr);
    EXPECT_EQ(g_bannerFillBitmap, nullptr);
    EXPECT_EQ(g_separatorBitmap, nullptr);
    EXPECT_EQ(g_backdropPalette, nullptr);
    EXPECT_EQ(GetObjectType(first), 0u) << "the palette is deleted";
}

TEST_F(Dib, WithoutTheBannerThePaletteComesFromItsFill) {
    // As if bitmap 202 were missing: the fill is the first to be loaded.
    EXPECT_EQ(LoadDibResource(299), nullptr);
    EXPECT_EQ(g_backdropPalette, nullptr) << "a missing bitmap yields no palette";
    g_bannerFillBitmap = LoadDibResource(203);
    ASSERT_NE(g_backdropPalette, nullptr);
    HPALETTE fromFill = g_backdropPalette;
    g_separatorBitmap = LoadDibResource(204);
    EXPECT_EQ(g_backdropPalette, fromFill);
    ExpectPaletteOfTable(g_backdropPalette, 203);
    EXPECT_EQ(Entries(g_backdropPalette).size(), 256u);
}

// A 400 x 100 top-down 32-bit DIB section selected into a memory context,
// filled with a marker colour.
class Canvas {
public:
    static constexpr int kWidth = 400, kHeight = 100;
    static constexpr COLORREF kMarker = RGB(250, 0, 250);

    Canvas() {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = -kHeight;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc_ = CreateCompatibleDC(nullptr);
        section_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, (void**)&pixels_, nullptr, 0);
        previous_ = SelectObject(dc_, section_);
        for (int i = 0; i < kWidth * kHeight; ++i) pixels_[i] = 0x00FA00FA;
    }
    ~Canvas() {
        SelectObject(dc_, previous_);
        DeleteObject(section_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    COLORREF At(int x, int y) const {
        GdiFlush();
        DWORD p = pixels_[y * kWidth + x];  // 0x00RRGGBB
        return RGB((p >> 16) & 255, (p >> 8) & 255, p & 255);
    }
    bool Untouched() const {
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (At(x, y) != kMarker) return false;
        return true;
    }

private:
    HDC dc_;
    HBITMAP section_;
    HGDIOBJ previous_;
    DWORD* pixels_ = nullptr;
};

TEST_F(Dib, DrawDibReproducesTheBannerAtItsOwnSize) {
    g_bannerBitmap = LoadDibResource(202);
    ASSERT_NE(g_bannerBitmap, nullptr);
    Canvas canvas;
    HGDIOBJ paletteBefore = GetCurrentObject(canvas.dc(), OBJ_PAL);
    EXPECT_EQ(DrawDib(canvas.dc(), 30, 20, g_bannerBitmap, g_backdropPalette), 1);
    EXPECT_EQ(GetCurrentObject(canvas.dc(), OBJ_PAL), paletteBefore) << "previous palette put back";
    EXPECT_TRUE(IsUnlocked(g_bannerBitmap));

    const BITMAPINFOHEADER* h = (const BITMAPINFOHEADER*)GlobalLock(g_bannerBitmap);
    int mismatches = 0;
    for (int y = 0; y < 58; ++y)
        for (int x = 0; x < 334; ++x)
            if (canvas.At(30 + x, 20 + y) != BitmapPixel(h, x, y)) ++mismatches;
    GlobalUnlock(g_bannerBitmap);
    EXPECT_EQ(mismatches, 0);
    // Nothing outside the bitmap's rectangle changes.
    for (int x = 0; x < Canvas::kWidth; ++x) {
        EXPECT_EQ(canvas.At(x, 19), Canvas::kMarker);
        EXPECT_EQ(canvas.At(x, 78), Canvas::kMarker);
    }
    for (int y = 20; y < 78; ++y) {
        EXPECT_EQ(canvas.At(29, y), Canvas::kMarker);
        EXPECT_EQ(canvas.At(364, y), Canvas::kMarker);
    }
}

TEST_F(Dib, StretchDibKeepsTheSeparatorsTwoRowColours) {
    g_bannerBitmap = LoadDibResource(202);
    g_separatorBitmap = LoadDibResource(204);
    ASSERT_NE(g_separatorBitmap, nullptr);
    Canvas canvas;
    HGDIOBJ paletteBefore = GetCurrentObject(canvas.dc(), OBJ_PAL);
    // As under the header: two rows high, far wider than the bitmap.
    EXPECT_EQ(StretchDib(canvas.dc(), 10, 40, 380, 2, g_separatorBitmap, g_backdropPalette), 1);
    // Stretched four times in height as well: the bright row stays on top.
    EXPECT_EQ(StretchDib(canvas.dc(), 10, 60, 380, 8, g_separatorBitmap, g_backdropPalette), 1);
    EXPECT_EQ(GetCurrentObject(canvas.dc(), OBJ_PAL), paletteBefore);
    for (int x = 10; x < 390; ++x) {
        EXPECT_EQ(canvas.At(x, 40), RGB(26, 83, 255)) << x;
        EXPECT_EQ(canvas.At(x, 41), RGB(0, 6, 25)) << x;
        for (int y = 60; y < 64; ++y) EXPECT_EQ(canvas.At(x, y), RGB(26, 83, 255)) << x << "," << y;
        for (int y = 64; y < 68; ++y) EXPECT_EQ(canvas.At(x, y), RGB(0, 6, 25)) << x << "," << y;
        EXPECT_EQ(canvas.At(x, 39), Canvas::kMarker);
        EXPECT_EQ(canvas.At(x, 42), Canvas::kMarker);
    }
    EXPECT_EQ(canvas.At(9, 40), Canvas::kMarker);
    EXPECT_EQ(canvas.At(390, 40), Canvas::kMarker);
}

TEST_F(Dib, StretchDibWidensTheBannerFillRowByRow) {
    g_bannerFillBitmap = LoadDibResource(203);
    ASSERT_NE(g_bannerFillBitmap, nullptr);
    Canvas canvas;
    EXPECT_EQ(StretchDib(canvas.dc(), 0, 0, 300, 58, g_bannerFillBitmap, nullptr), 1);
    const BITMAPINFOHEADER* h = (const BITMAPINFOHEADER*)GlobalLock(g_bannerFillBitmap);
    for (int y = 0; y < 58; ++y)
        for (int x = 0; x < 300; x += 13) ASSERT_EQ(canvas.At(x, y), BitmapPixel(h, 0, y)) << x << "," << y;
    GlobalUnlock(g_bannerFillBitmap);
}

TEST_F(Dib, ABlockOfNoneDrawsNothingAndLeavesTheContextAsItWas) {
    g_bannerBitmap = LoadDibResource(202);
    ASSERT_NE(g_backdropPalette, nullptr);
    Canvas canvas;
    HGDIOBJ paletteBefore = GetCurrentObject(canvas.dc(), OBJ_PAL);
    EXPECT_EQ(DrawDib(canvas.dc(), 0, 0, nullptr, g_backdropPalette), 0);
    EXPECT_EQ(StretchDib(canvas.dc(), 0, 0, 400, 100, nullptr, g_backdropPalette), 0);
    EXPECT_EQ(GetCurrentObject(canvas.dc(), OBJ_PAL), paletteBefore);
    EXPECT_TRUE(canvas.Untouched());
}

}  // namespace
