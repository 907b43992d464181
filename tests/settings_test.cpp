#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "base/settings.h"

namespace {

Settings Parse(const std::string& text) {
    std::istringstream in(text);
    return Settings::FromStream(in);
}

// The file sets only the video mode: the run switches keep their start values.
void ExpectRunSwitchesAtStart(const Settings& s) {
    EXPECT_EQ(s.farPlane, 10000);
    EXPECT_EQ(s.drawWithOctree, 1);
    EXPECT_EQ(s.inOptionsMenu, 0);
    EXPECT_EQ(s.goreLevel, 1.0f);
}

TEST(Settings, MissingFileGivesDefaultsAndARealFileIsRead) {
    const Settings s = Settings::FromFile("no/such/dir/talvemar.ini");
    EXPECT_EQ(s.width, 800);
    EXPECT_EQ(s.height, 600);
    EXPECT_EQ(s.colourBits, 32);
    EXPECT_EQ(s.smoothing, 1);
    EXPECT_EQ(s.depthBits, 16);
    EXPECT_EQ(s.fullScreen, 1);
    ExpectRunSwitchesAtStart(s);

    const std::string path = ::testing::TempDir() + "talvemar_settings_test.ini";
    std::ofstream(path) << "3\n0\n1\n0\n0\n";
    const Settings file = Settings::FromFile(path);
    EXPECT_EQ(file.width, 1024);
    EXPECT_EQ(file.height, 768);
    EXPECT_EQ(file.colourBits, 16);
    EXPECT_EQ(file.fullScreen, 0);
    std::remove(path.c_str());
}

TEST(Settings, ReadsFiveNumbersOnOneLineOrFive) {
    for (const char* text : {"1 0 0 1 0", "1\n0\n0\n1\n0\n", "  1\t0\r\n0 \n\n1 0"}) {
        const Settings s = Parse(text);
        EXPECT_EQ(s.width, 640) << text;
        EXPECT_EQ(s.height, 480) << text;
        EXPECT_EQ(s.colourBits, 16) << text;
        EXPECT_EQ(s.smoothing, 0) << text;
        EXPECT_EQ(s.depthBits, 32) << text;
        EXPECT_EQ(s.fullScreen, 0) << text;
        ExpectRunSwitchesAtStart(s);
    }
}

TEST(Settings, UnknownResolutionsFallBackAndAnyNonzeroFlagIsOn) {
    for (int index : {4, -1, 99999}) {
        const Settings s = Parse(std::to_string(index) + " 1 1 0 0");
        EXPECT_EQ(s.width, 800) << index;
        EXPECT_EQ(s.height, 600) << index;
    }
    const Settings s = Parse("0 7 -2 5 9");
    EXPECT_EQ(s.width, 320);
    EXPECT_EQ(s.height, 240);
    EXPECT_EQ(s.colourBits, 32);
    EXPECT_EQ(s.smoothing, 1);
    EXPECT_EQ(s.depthBits, 32);
    EXPECT_EQ(s.fullScreen, 1);
}

TEST(Settings, ShortOrDamagedFileKeepsDefaultsForTheRest) {
    const Settings twoValues = Parse("0 0");
    EXPECT_EQ(twoValues.width, 320);
    EXPECT_EQ(twoValues.colourBits, 16);
    EXPECT_EQ(twoValues.smoothing, 1);
    EXPECT_EQ(twoValues.fullScreen, 1);

    const Settings garbage = Parse("1 0 abc 1 0");
    EXPECT_EQ(garbage.width, 640);
    EXPECT_EQ(garbage.colourBits, 16);
    EXPECT_EQ(garbage.smoothing, 1);  // reading stops at the first bad value
    EXPECT_EQ(garbage.depthBits, 16);

    const Settings empty = Parse("");
    EXPECT_EQ(empty.width, 800);
    EXPECT_EQ(empty.fullScreen, 1);
}

}  // namespace
