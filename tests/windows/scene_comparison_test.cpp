// The parts of the Wine checks that need no Wine: resampling, region maps and their
// agreement, the programs' region rules, and reading texts from Wine's trace.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>

#include "tests/windows/scene_comparison.h"
#include "tests/windows/wine_programs.h"
#include "tests/windows/wine_session.h"

using namespace wine_check;

namespace {

constexpr uint32_t kBlack = 0x000000;
constexpr uint32_t kWhite = 0xFFFFFF;

Image Filled(int width, int height, uint32_t pixel) { return {width, height, std::vector<uint32_t>(size_t(width) * height, pixel)}; }

void Set(Image* image, int x, int y, uint32_t pixel) { image->pixels[size_t(y) * image->width + x] = pixel; }

const WineCheck& CheckOf(const std::string& program) {
    const auto& checks = WineChecks();
    return *std::find_if(checks.begin(), checks.end(), [&](const WineCheck& c) { return c.program == program; });
}

// Upper half black sky, lower half the given ground colour.
Image Horizon(int width, int height, uint32_t ground) {
    Image image = Filled(width, height, kBlack);
    for (int y = height / 2; y < height; ++y)
        for (int x = 0; x < width; ++x) Set(&image, x, y, ground);
    return image;
}

Region LandRule(uint32_t pixel) { return pixel == kBlack ? Region::Background : Region::Ground; }

// A picture in which nothing moves.
Picture Still(const Image& image) { return PictureOf(image, image, LandRule, 0); }

TEST(WineChecks, CoverEveryProgramOfTheWindowsBuildOnce) {
    std::vector<std::string> built, checked;
    std::stringstream list(DEMO_WINDOWS_PROGRAMS);
    for (std::string name; std::getline(list, name, ',');) built.push_back(name);
    for (const WineCheck& check : WineChecks()) checked.push_back(check.program);
    std::sort(built.begin(), built.end());
    std::sort(checked.begin(), checked.end());
    EXPECT_EQ(checked, built) << "cmake/windows_programs.cmake and the table of the Wine checks differ";
}

TEST(ScaledTo, TakesTheNearestSourcePixel) {
    Image source = Filled(4, 2, 0);
    for (int x = 0; x < 4; ++x) Set(&source, x, 1, 0x10 * (x + 1));
    const Image half = ScaledTo(source, 2, 1);
    // Pixel centres 0.5 and 1.5 of the target are 1.0 and 3.0 of the source: columns 1 and 3
    // of row 1 (centre 0.5 of one row is 1.0 of two).
    EXPECT_EQ(half.pixels, (std::vector<uint32_t>{0x20, 0x40}));
    const Image doubled = ScaledTo(half, 4, 2);
    EXPECT_EQ(doubled.pixels, (std::vector<uint32_t>{0x20, 0x20, 0x40, 0x40, 0x20, 0x20, 0x40, 0x40}));
}

TEST(CompareScenes, CountsAgreementOverThePixelsBothMapsKeep) {
    const Image ours = Horizon(10, 10, 0x204060);
    Image theirs = Horizon(10, 10, 0x224262);
    // Wine's horizon one row higher: 10 of the 100 pixels disagree.
    for (int x = 0; x < 10; ++x) Set(&theirs, x, 4, 0x224262);
    SceneComparison comparison = CompareScenes(Still(ours), Still(theirs), LandRule, {});
    EXPECT_EQ(comparison.compared, 100);
    EXPECT_DOUBLE_EQ(comparison.agreement, 0.9);
    // Means over the 50 pixels both call ground: 0x20,0x40,0x60 against 0x22,0x42,0x62.
    EXPECT_EQ(comparison.ours[int(Region::Ground)].pixels, 50);
    EXPECT_DOUBLE_EQ(comparison.ours[int(Region::Ground)].green, 64.0);
    EXPECT_DOUBLE_EQ(comparison.theirs[int(Region::Ground)].blue, 98.0);
    EXPECT_DOUBLE_EQ(LargestMeanDifference(comparison, Region::Ground), 2.0);
    EXPECT_DOUBLE_EQ(LargestMeanDifference(comparison, Region::Background), 0.0);

    // Leaving the disagreeing row out leaves 90 pixels that all agree.
    comparison = CompareScenes(Still(ours), Still(theirs), LandRule, {{0, 4, 10, 5}});
    EXPECT_EQ(comparison.compared, 90);
    EXPECT_DOUBLE_EQ(comparison.agreement, 1.0);
}

TEST(CompareScenes, FramesOfDifferentSizesCompareNothing) {
    const SceneComparison comparison =
        CompareScenes(Still(Filled(4, 4, kBlack)), Still(Filled(4, 5, kBlack)), LandRule, {});
    EXPECT_EQ(comparison.compared, 0);
    EXPECT_EQ(comparison.agreement, 0.0);
}

TEST(PictureOf, WhatMovedIsLeftOutWithItsMargin) {
    Image first = Horizon(20, 20, 0xE0E0E0), later = first;
    Set(&first, 5, 3, kWhite);    // a snowflake that falls
    Set(&later, 5, 6, kWhite);
    Set(&later, 15, 15, 0xC0C0C0);  // a change within the ground
    const Picture picture = PictureOf(first, later, LandRule, 1);
    auto moving = [&](int x, int y) { return bool(picture.moving[size_t(y) * 20 + x]); };
    EXPECT_TRUE(moving(5, 3));
    EXPECT_TRUE(moving(5, 6));
    EXPECT_TRUE(moving(4, 2)) << "the margin";
    EXPECT_TRUE(moving(6, 7));
    EXPECT_FALSE(moving(5, 8));
    EXPECT_FALSE(moving(7, 3));
    EXPECT_FALSE(moving(15, 15));
    EXPECT_EQ(std::count(picture.moving.begin(), picture.moving.end(), true), 18);

    // The flake in Wine's sky is not ground: the pictures agree wherever both keep a pixel.
    const SceneComparison comparison = CompareScenes(Still(Horizon(20, 20, 0xE0E0E0)), picture, LandRule, {});
    EXPECT_EQ(comparison.compared, 400 - 18);
    EXPECT_DOUBLE_EQ(comparison.agreement, 1.0);
}

TEST(RegionRules, LinesWineCannotDrawAreIgnored) {
    const Classifier drizzle = CheckOf("drizzle").classify;
    EXPECT_EQ(drizzle(0x666666), Region::Ignored) << "a raindrop";
    EXPECT_EQ(drizzle(0x2A6A8A), Region::Ground) << "the water";
    EXPECT_EQ(drizzle(0x000000), Region::Background);
    const Classifier tether = CheckOf("tether").classify;
    EXPECT_EQ(tether(0x0000FF), Region::Ignored) << "the rope";
    EXPECT_EQ(tether(0x4C4C4C), Region::Ignored) << "its shadow";
    EXPECT_EQ(tether(0x7F7F7F), Region::Background);
    EXPECT_EQ(tether(kWhite), Region::Ground);
}

TEST(BrightPixelsIn, CountsOnlyInsideTheBoxAndTheImage) {
    Image image = Filled(4, 4, kBlack);
    Set(&image, 0, 0, kWhite);
    Set(&image, 3, 3, kWhite);
    Set(&image, 1, 1, 0xFFFF00);  // not bright in blue
    EXPECT_EQ(BrightPixelsIn(image, {0, 0, 3, 3}, 160), 1);
    EXPECT_EQ(BrightPixelsIn(image, {-5, -5, 10, 10}, 160), 2);
}

TEST(DrawnTextsInTrace, ReadsTheTextAndCornerOfEachDrawTextCall) {
    const std::string log =
        "0024:trace:d3dx:D3DXMatrixMultiply pout 000000000021F4E0, pm1 0000000000000001, pm2 0000000000000002\n"
        "0024:trace:d3dx:ID3DXFontImpl_DrawTextW iface 00000000003B09D0, sprite 0000000000000000, string L\"2716 "
        "triangles\", in_count -1, rect (70,10)-(170,28), format 0, color 0xffffffff.\n"
        "0024:trace:d3dx:ID3DXFontImpl_DrawTextW iface 00000000003B09D0, sprite 0000000000000000, string "
        "L\"-1.5,2\", in_count 6, rect (-3,0)-(397,18), format 0, color 0xffffffff.\n";
    const std::vector<DrawnText> texts = DrawnTextsInTrace(log);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0].text, "2716 triangles");
    EXPECT_EQ(texts[0].left, 70);
    EXPECT_EQ(texts[0].top, 10);
    EXPECT_EQ(texts[1].text, "-1.5,2");
    EXPECT_EQ(texts[1].left, -3);
}

TEST(Png, SavedPixelsReadBackUnchanged) {
    Image image = Filled(3, 2, 0x123456);
    Set(&image, 2, 1, 0xFEDCBA);
    const std::string path =
        (std::filesystem::temp_directory_path() / ("wine_check_" + std::to_string(getpid()) + ".png")).string();
    ASSERT_TRUE(SavePng(path, image));
    Image read;
    std::string error;
    ASSERT_TRUE(LoadPng(path, &read, &error)) << error;
    std::filesystem::remove(path);
    EXPECT_EQ(read.width, 3);
    EXPECT_EQ(read.pixels, image.pixels);
    EXPECT_FALSE(LoadPng(path, &read, &error));
    EXPECT_NE(error.find(path), std::string::npos);
}

}  // namespace
