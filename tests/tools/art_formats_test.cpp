// Bitmap, icon and PNG encoding of portavo-art.
#include <gtest/gtest.h>
#include <png.h>

#include <cstring>

#include "tools/art/formats.h"

namespace {

using art::Bytes;
using art::Image;
using art::Rgb;

uint32_t U32(const Bytes& b, size_t at) {
    return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | (uint32_t)b[at + 3] << 24;
}
uint16_t U16(const Bytes& b, size_t at) { return (uint16_t)(b[at] | b[at + 1] << 8); }

std::vector<Rgb> Grey(int n) {
    std::vector<Rgb> t;
    for (int i = 0; i < n; ++i) t.push_back({(uint8_t)i, (uint8_t)(i * 2), (uint8_t)(i * 3)});
    return t;
}

TEST(ArtFormats, FourBitBitmapIsBottomUpWithPaddedRows) {
    Image img(3, 2, 0);
    img.Set(0, 0, 1);  // top row: 1 2 3
    img.Set(1, 0, 2);
    img.Set(2, 0, 3);
    img.Set(0, 1, 14);  // bottom row: 14 0 15
    img.Set(2, 1, 15);
    Bytes b = art::EncodeBmp(img, Grey(16), 4);
    ASSERT_EQ(b.size(), 14u + 40 + 64 + 2 * 4);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(U32(b, 2), b.size());
    EXPECT_EQ(U32(b, 10), 14u + 40 + 64);
    EXPECT_EQ(U32(b, 14), 40u);
    EXPECT_EQ((int32_t)U32(b, 18), 3);
    EXPECT_EQ((int32_t)U32(b, 22), 2) << "positive height: bottom-up";
    EXPECT_EQ(U16(b, 26), 1);
    EXPECT_EQ(U16(b, 28), 4);
    EXPECT_EQ(U32(b, 30), 0u);
    EXPECT_EQ(U32(b, 34), 8u);
    EXPECT_EQ(U32(b, 46), 0u) << "a full table counts as 0";
    // Table entries are blue, green, red, 0.
    EXPECT_EQ(b[54 + 4 * 5 + 0], 15);
    EXPECT_EQ(b[54 + 4 * 5 + 1], 10);
    EXPECT_EQ(b[54 + 4 * 5 + 2], 5);
    EXPECT_EQ(b[54 + 4 * 5 + 3], 0);
    const uint8_t rows[] = {0xE0, 0xF0, 0, 0, 0x12, 0x30, 0, 0};  // bottom row first, left pixel high
    EXPECT_EQ(memcmp(&b[118], rows, sizeof(rows)), 0);
}

TEST(ArtFormats, EightBitBitmapCountsAShortTable) {
    Image img(10, 2, 0);
    for (int x = 0; x < 10; ++x) img.Set(x, 0, 4);
    Bytes b = art::EncodeBmp(img, Grey(5), 8);
    EXPECT_EQ(U32(b, 46), 5u);
    EXPECT_EQ(U32(b, 10), 14u + 40 + 20);
    ASSERT_EQ(b.size(), 14u + 40 + 20 + 2 * 12);
    EXPECT_EQ(b[74], 0) << "bottom row stored first";
    EXPECT_EQ(b[74 + 12], 4);
    EXPECT_EQ(b[74 + 12 + 10], 0) << "padding";
    EXPECT_EQ(U32(art::EncodeBmp(img, Grey(256), 8), 46), 0u);
}

TEST(ArtFormats, IconHasADirectoryAndMaskedSixteenColourImages) {
    Image large(32, 32, 7), small(16, 16, 9);
    large.Set(0, 0, art::kTransparent);  // top-left corner transparent
    Bytes b = art::EncodeIco({large, small}, Grey(16));
    EXPECT_EQ(U16(b, 0), 0);
    EXPECT_EQ(U16(b, 2), 1);
    ASSERT_EQ(U16(b, 4), 2);
    const uint32_t sizes[2] = {40 + 64 + 32 * 16 + 32 * 4, 40 + 64 + 16 * 8 + 16 * 4};
    uint32_t offset = 6 + 2 * 16;
    for (int i = 0; i < 2; ++i) {
        size_t e = 6 + 16 * i;
        int side = i == 0 ? 32 : 16;
        EXPECT_EQ(b[e], side);
        EXPECT_EQ(b[e + 1], side);
        EXPECT_EQ(b[e + 2], 16);
        EXPECT_EQ(U16(b, e + 4), 1);
        EXPECT_EQ(U16(b, e + 6), 4);
        EXPECT_EQ(U32(b, e + 8), sizes[i]);
        EXPECT_EQ(U32(b, e + 12), offset);
        EXPECT_EQ((int32_t)U32(b, offset + 8), 2 * side) << "colour and mask rows";
        offset += sizes[i];
    }
    EXPECT_EQ(b.size(), offset);
    // Large image: the top row is the last colour row; its first pixel is 0
    // there and set in the mask (whose last row is the top row).
    size_t colour = 6 + 32 + 40 + 64;
    size_t topColourRow = colour + 31 * 16;
    EXPECT_EQ(b[topColourRow], 0x07);
    EXPECT_EQ(b[topColourRow + 1], 0x77);
    size_t topMaskRow = colour + 32 * 16 + 31 * 4;
    EXPECT_EQ(b[topMaskRow], 0x80);
    EXPECT_EQ(b[topMaskRow - 4], 0x00);
}

TEST(ArtFormats, PngPreviewKeepsColoursAndTransparency) {
    Image img(4, 3, 2);
    img.Set(3, 2, art::kTransparent);
    Bytes b = art::EncodePng(img, Grey(4));
    png_image image;
    memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_memory(&image, b.data(), b.size()));
    EXPECT_EQ(image.width, 4u);
    EXPECT_EQ(image.height, 3u);
    image.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> px(PNG_IMAGE_SIZE(image));
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, px.data(), 0, nullptr));
    const uint8_t first[] = {2, 4, 6, 255};
    EXPECT_EQ(memcmp(px.data(), first, 4), 0);
    EXPECT_EQ(px[(2 * 4 + 3) * 4 + 3], 0) << "transparent pixel";
}

}  // namespace
