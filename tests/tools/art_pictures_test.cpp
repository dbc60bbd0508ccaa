// What portavo-art draws: the same bytes on every run, and pictures the
// program can use as they are.
#include <gtest/gtest.h>

#include <vector>

#include "tools/art/art.h"
#include "tools/art/font.h"
#include "tools/art/palette.h"
#include "tools/art/pictures.h"

namespace {

class ArtPictures : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(art::OpenFonts(PORTAVO_FONT_DIR, &error)) << error;
    }
    void TearDown() override { art::CloseFonts(); }
};

TEST_F(ArtPictures, EveryRunDrawsTheSameBytes) {
    art::Artwork first = art::DrawArtwork();
    art::Artwork second = art::DrawArtwork();
    ASSERT_EQ(first.resources.size(), 7u);
    ASSERT_EQ(first.previews.size(), 7u);
    for (size_t i = 0; i < first.resources.size(); ++i) {
        EXPECT_FALSE(first.resources[i].bytes.empty()) << first.resources[i].name;
        EXPECT_EQ(first.resources[i].bytes, second.resources[i].bytes) << first.resources[i].name;
        EXPECT_EQ(first.previews[i].bytes, second.previews[i].bytes) << first.previews[i].name;
    }
}

// The backdrop floods the teal reachable from (1, 1) with its panel colour;
// teal that cannot be reached would stay as a stray patch.
TEST_F(ArtPictures, StartMenuBackgroundIsOneConnectedArea) {
    art::Image img = art::DrawStartMenu();
    ASSERT_EQ(img.At(1, 1), art::kTeal);
    std::vector<bool> seen(img.pixels.size(), false);
    std::vector<std::pair<int, int>> todo = {{1, 1}};
    seen[img.width + 1] = true;
    while (!todo.empty()) {
        auto [x, y] = todo.back();
        todo.pop_back();
        const int dx[] = {1, -1, 0, 0}, dy[] = {0, 0, 1, -1};
        for (int k = 0; k < 4; ++k) {
            int nx = x + dx[k], ny = y + dy[k];
            if (!img.Inside(nx, ny) || seen[ny * img.width + nx] || img.At(nx, ny) != art::kTeal) continue;
            seen[ny * img.width + nx] = true;
            todo.push_back({nx, ny});
        }
    }
    int stray = 0;
    for (size_t i = 0; i < img.pixels.size(); ++i)
        if (img.pixels[i] == art::kTeal && !seen[i]) ++stray;
    EXPECT_EQ(stray, 0);
}

TEST_F(ArtPictures, LogoStaysClearOfTheBannersLeftEdge) {
    // The banner's left part is bare stripes, so that the stretched fill
    // continues it without a seam.
    art::Image banner = art::DrawBanner();
    art::Image fill = art::DrawBannerFill();
    for (int y = 0; y < banner.height; ++y)
        for (int x = 0; x < 60; ++x) ASSERT_EQ(banner.At(x, y), fill.At(0, y)) << x << "," << y;
    int logo = 0;
    for (int y = 0; y < banner.height; ++y)
        for (int x = 0; x < banner.width; ++x) logo += banner.At(x, y) % 16 == 15;  // full logo colour
    EXPECT_GT(logo, 500) << "logo and slogan drawn";
}

TEST(ArtFonts, MissingFontIsReportedByName) {
    std::string error;
    EXPECT_FALSE(art::OpenFonts("/nonexistent-font-folder", &error));
    EXPECT_NE(error.find("DejaVuSans.ttf"), std::string::npos) << error;
    EXPECT_NE(error.find("fonts-dejavu-core"), std::string::npos) << error;
}

}  // namespace
