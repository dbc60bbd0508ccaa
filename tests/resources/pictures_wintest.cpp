// The bitmaps, icons and license text as compiled into the resources.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/app.h"

namespace {

struct Blob {
    const BYTE* data = nullptr;
    DWORD size = 0;
};

Blob Resource(LPCSTR name, LPCSTR type) {
    Blob b;
    HRSRC res = FindResourceA(g_instance, name, type);
    if (!res) return b;
    b.data = (const BYTE*)LockResource(LoadResource(g_instance, res));
    b.size = SizeofResource(g_instance, res);
    return b;
}

const BITMAPINFOHEADER* Header(const Blob& b) { return (const BITMAPINFOHEADER*)b.data; }
const RGBQUAD* Table(const Blob& b) { return (const RGBQUAD*)(b.data + 40); }

// Colour-table index of the pixel at (x, y), y counted from the top.
int PixelIndex(const Blob& b, int colours, int x, int y) {
    const BITMAPINFOHEADER* h = Header(b);
    int stride = ((h->biWidth * h->biBitCount + 31) / 32) * 4;
    const BYTE* row = b.data + 40 + 4 * colours + (size_t)(h->biHeight - 1 - y) * stride;
    if (h->biBitCount == 8) return row[x];
    return x % 2 ? row[x / 2] & 15 : row[x / 2] >> 4;
}

COLORREF Colour(const RGBQUAD& q) { return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue); }

class Pictures : public ::testing::Test {
protected:
    void SetUp() override { g_instance = GetModuleHandleA(nullptr); }
};

struct BitmapShape {
    int id, width, height, bits, clrUsed, colours;
};

TEST_F(Pictures, BitmapsHaveTheirSizesDepthsAndColourTables) {
    const BitmapShape shapes[] = {
        {200, 120, 168, 4, 0, 16}, {201, 120, 168, 4, 0, 16}, {202, 334, 58, 8, 0, 256},
        {203, 20, 58, 8, 0, 256},  {204, 10, 2, 8, 5, 5},
    };
    for (const BitmapShape& s : shapes) {
        SCOPED_TRACE("bitmap " + std::to_string(s.id));
        Blob b = Resource(MAKEINTRESOURCEA(s.id), RT_BITMAP);
        ASSERT_NE(b.data, nullptr);
        const BITMAPINFOHEADER* h = Header(b);
        EXPECT_EQ(h->biSize, 40u);
        EXPECT_EQ(h->biWidth, s.width);
        EXPECT_EQ(h->biHeight, s.height) << "bottom-up rows have a positive height";
        EXPECT_EQ(h->biPlanes, 1);
        EXPECT_EQ(h->biBitCount, s.bits);
        EXPECT_EQ(h->biCompression, (DWORD)BI_RGB);
        EXPECT_EQ(h->biClrUsed, (DWORD)s.clrUsed);
        int stride = ((s.width * s.bits + 31) / 32) * 4;
        EXPECT_EQ(b.size, 40u + 4u * s.colours + (DWORD)(stride * s.height)) << "no more, no less";
    }
}

TEST_F(Pictures, ArtworkUsesTheStandardColoursOnTealFromTheTopLeftCorner) {
    const COLORREF standard[16] = {
        RGB(0, 0, 0),       RGB(128, 0, 0),   RGB(0, 128, 0),   RGB(128, 128, 0),
        RGB(0, 0, 128),     RGB(128, 0, 128), RGB(0, 128, 128), RGB(192, 192, 192),
        RGB(128, 128, 128), RGB(255, 0, 0),   RGB(0, 255, 0),   RGB(255, 255, 0),
        RGB(0, 0, 255),     RGB(255, 0, 255), RGB(0, 255, 255), RGB(255, 255, 255),
    };
    for (int id : {200, 201}) {
        SCOPED_TRACE("bitmap " + std::to_string(id));
        Blob b = Resource(MAKEINTRESOURCEA(id), RT_BITMAP);
        ASSERT_NE(b.data, nullptr);
        for (int i = 0; i < 16; ++i) EXPECT_EQ(Colour(Table(b)[i]), standard[i]) << "entry " << i;
        // The backdrop floods the teal from pixel (1, 1); the dialogs fill
        // around the centred picture with the colour of (0, 0).
        EXPECT_EQ(Colour(Table(b)[PixelIndex(b, 16, 0, 0)]), RGB(0, 128, 128));
        EXPECT_EQ(Colour(Table(b)[PixelIndex(b, 16, 1, 1)]), RGB(0, 128, 128));
    }
}

TEST_F(Pictures, BannerAndItsFillShareOneTableAndMeetWithoutASeam) {
    Blob banner = Resource(MAKEINTRESOURCEA(202), RT_BITMAP);
    Blob fill = Resource(MAKEINTRESOURCEA(203), RT_BITMAP);
    ASSERT_NE(banner.data, nullptr);
    ASSERT_NE(fill.data, nullptr);
    EXPECT_EQ(memcmp(Table(banner), Table(fill), 1024), 0);
    // The fill is stretched sideways up to the banner's left edge: each of its
    // rows is one colour, the colour of the banner's left edge in that row.
    for (int y = 0; y < 58; ++y) {
        int edge = PixelIndex(banner, 256, 0, y);
        for (int x = 0; x < 20; ++x) ASSERT_EQ(PixelIndex(fill, 256, x, y), edge) << x << "," << y;
    }
    // Stripes: dark blue throughout, lighter at the top than at the bottom.
    auto blue = [&](int y) { return Table(banner)[PixelIndex(banner, 256, 0, y)].rgbBlue; };
    for (int y = 0; y < 58; ++y) {
        const RGBQUAD& q = Table(banner)[PixelIndex(banner, 256, 0, y)];
        EXPECT_TRUE(q.rgbBlue > q.rgbRed && q.rgbBlue > q.rgbGreen && q.rgbBlue < 160) << "row " << y;
    }
    EXPECT_GT(blue(0), blue(57));
}

TEST_F(Pictures, SeparatorIsBrightBlueOverNearBlack) {
    Blob b = Resource(MAKEINTRESOURCEA(204), RT_BITMAP);
    ASSERT_NE(b.data, nullptr);
    for (int x = 0; x < 10; ++x) {
        EXPECT_EQ(Colour(Table(b)[PixelIndex(b, 5, x, 0)]), RGB(26, 83, 255)) << "top row, x " << x;
        EXPECT_EQ(Colour(Table(b)[PixelIndex(b, 5, x, 1)]), RGB(0, 6, 25)) << "bottom row, x " << x;
    }
}

#pragma pack(push, 2)
struct GroupEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST_F(Pictures, IconsHoldA32AndA16PixelImageIn16Colours) {
    for (int id : {100, 101}) {
        SCOPED_TRACE("icon " + std::to_string(id));
        Blob group = Resource(MAKEINTRESOURCEA(id), RT_GROUP_ICON);
        ASSERT_NE(group.data, nullptr);
        WORD count = ((const WORD*)group.data)[2];
        ASSERT_EQ(count, 2);
        ASSERT_EQ(group.size, 6u + count * sizeof(GroupEntry));
        bool seen32 = false, seen16 = false;
        for (int i = 0; i < count; ++i) {
            GroupEntry e;
            memcpy(&e, group.data + 6 + i * sizeof(GroupEntry), sizeof(e));
            EXPECT_EQ(e.width, e.height);
            EXPECT_EQ(e.colours, 16);
            EXPECT_EQ(e.bitCount, 4);
            Blob image = Resource(MAKEINTRESOURCEA(e.id), RT_ICON);
            ASSERT_NE(image.data, nullptr);
            EXPECT_EQ(image.size, e.bytes);
            const BITMAPINFOHEADER* h = Header(image);
            EXPECT_EQ(h->biWidth, e.width);
            EXPECT_EQ(h->biHeight, 2 * e.width) << "colour rows and mask rows";
            EXPECT_EQ(h->biBitCount, 4);
            seen32 |= e.width == 32;
            seen16 |= e.width == 16;
        }
        EXPECT_TRUE(seen32 && seen16);
        // What the window classes and pages load.
        HICON small = (HICON)LoadImageA(g_instance, MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR);
        ASSERT_NE(small, nullptr);
        ICONINFO info;
        ASSERT_TRUE(GetIconInfo(small, &info));
        BITMAP mask;
        GetObjectA(info.hbmMask, sizeof(mask), &mask);
        EXPECT_EQ(mask.bmWidth, 16);
        if (info.hbmColor) DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(small);
    }
}

TEST_F(Pictures, LicenseIsPlainTextWithCrLfAndNoTerminator) {
    Blob b = Resource("LICENSE", RT_RCDATA);
    ASSERT_NE(b.data, nullptr);
    EXPECT_GE(b.size, 2048u);
    EXPECT_LE(b.size, 16384u);
    std::string text((const char*)b.data, b.size);
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = (unsigned char)text[i];
        ASSERT_TRUE(c >= 0x20 || c == '\r' || c == '\n' || c == '\t') << "control byte " << (int)c << " at " << i;
        if (c == '\r') ASSERT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << "lone CR at " << i;
        if (c == '\n') ASSERT_TRUE(i > 0 && text[i - 1] == '\r') << "lone LF at " << i;
    }
    EXPECT_NE(text.find("Trovado Pro"), std::string::npos);
    EXPECT_NE(text.find("Velmora Utilities"), std::string::npos);
    EXPECT_NE(text.find("LICENSE AGREEMENT"), std::string::npos);
}

}  // namespace
