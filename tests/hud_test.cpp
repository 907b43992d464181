// The head-up display drawn headless and read back from the framebuffer.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "actors/enemy.h"
#include "actors/player.h"
#include "actors/weapons.h"
#include "base/debug_log.h"
#include "base/settings.h"
#include "core/shell.h"
#include "graphics/md2_model.h"
#include "hud/hud.h"
#include "hud/sound_captions.h"
#include "game_dir_fixture.h"
#include "level_fixture.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kBand = kHeight / 8;
using Rgb = std::array<int, 3>;

// Pixel (x, y) counted from the top of an area `areaHeight` pixels high at the window's bottom.
Rgb PixelFromTop(int x, int y, int areaHeight) {
    unsigned char p[4] = {};
    glReadPixels(x, areaHeight - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    return {p[0], p[1], p[2]};
}

// Sum of one channel (or all three) over a rectangle of the bottom band.
int BandSum(const HudRect& r, int channel = -1) {
    int sum = 0;
    for (int y = r.y; y < std::min(r.y + r.height, kBand); ++y)
        for (int x = r.x; x < std::min(r.x + r.width, kWidth); ++x) {
            const Rgb p = PixelFromTop(x, y, kBand);
            sum += channel < 0 ? p[0] + p[1] + p[2] : p[channel];
        }
    return sum;
}

// A cleared viewport of the given height at the window's bottom, pixel units, y down.
void UseFlatArea(int height) {
    glDisable(GL_SCISSOR_TEST);
    glViewport(0, 0, kWidth, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(0.0, kWidth, height, 0.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

int LitPixels() {
    std::vector<unsigned char> pixels(kWidth * kHeight * 4);
    glReadPixels(0, 0, kWidth, kHeight, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    int lit = 0;
    for (std::size_t i = 0; i < pixels.size(); i += 4) lit += (pixels[i] | pixels[i + 1] | pixels[i + 2]) != 0;
    return lit;
}

// A font texture whose every cell is one colour: red = glyph number.
void FillCodedFont(Texture& font) {
    font.format = kTextureFromBmp;
    font.width = font.height = 256;
    font.bytesPerPixel = 4;
    font.pixels.assign(256 * 256 * 4, 255);
    for (int row = 0; row < 256; ++row)
        for (int column = 0; column < 256; ++column)  // the first stored row is glyph row 15
            font.pixels[(row * 256 + column) * 4] = static_cast<unsigned char>((15 - row / 16) * 16 + column / 16);
    ASSERT_TRUE(UploadTexture(font));
}

class HudTest : public GameDirTest {
protected:
    void SetUp() override {
        OpenWindow(kWidth, kHeight);
        InitWeapons(weapons);
        hud = std::make_unique<Hud>();
        hud->SetScreenSize(kWidth, kHeight);
    }
    void TearDown() override {
        hud.reset();
        pickups.reset();
        CloseWindow();
    }
    void DrawBand() {
        UseFlatArea(kBand);
        hud->DrawBottom(player);
    }
    // One scene frame of the ring with this frame's wheel motion; the lit pixels.
    int RingFrame(int wheel = 0) {
        ResizeScene(kWidth, kHeight);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        hud->wheelDelta = wheel;
        hud->DrawWeaponRing(*pickups, player);
        return LitPixels();
    }
    // The pick-up guns of weapons 0, 1 and 2.
    void LoadPickupGuns() {
        const char* names[] = {"ac_handgun", "ac_machinegun", "ac_asr"};
        for (int i = 0; i < 3; ++i)
            pickups->guns[i] = LoadMd2(("models/marine/" + std::string(names[i]) + ".md2").c_str(),
                                       "models/marine/weapon.pcx");
    }

    Weapons weapons;
    Player player;
    // Made after the window and gone before it: they own GL names.
    std::unique_ptr<Hud> hud;
    std::unique_ptr<ModelSet> pickups = std::make_unique<ModelSet>();
};

}  // namespace

TEST(HudText, PlayClockAndGlyphNumbers) {
    EXPECT_EQ(PlayClockText(5.99), "00:00:05") << "only whole seconds count";
    EXPECT_EQ(PlayClockText(3600.0), "01:00:00");
    EXPECT_EQ(PlayClockText(123 * 3600.0 + 7), "12:00:07") << "beyond 99 hours: the first two digits";
    EXPECT_EQ(PlayClockText(-3.0), "00:00:00");
    EXPECT_EQ(FontGlyphFor('A', 4), 161) << "sets above 1 are the second set";
    EXPECT_EQ(FontGlyphFor('A', -2), 33) << "negative sets are the first set";
    EXPECT_EQ(FontGlyphFor(1, 0), -1) << "control codes have no glyph in set 0";
    EXPECT_EQ(FontGlyphFor(0xE1, 1), -1) << "codes above 159 have no glyph in set 1";
}

TEST(HudFrames, TheLargest4By3FrameTheScreenHolds) {
    for (auto [w, h] : {std::pair{320, 240}, {640, 480}, {800, 600}, {1024, 768}, {1600, 1200}}) {
        const HudFrame frame = HudFrameFor(w, h);
        EXPECT_EQ(frame.width, w) << "at 4:3 the frame is the screen";
        EXPECT_EQ(frame.height, h);
        EXPECT_EQ(frame.CentreShift(), 0);
        EXPECT_EQ(frame.BottomShift(), 0);
    }
    const HudFrame wide = HudFrameFor(1920, 1080);
    EXPECT_EQ(wide.width, 1440);
    EXPECT_EQ(wide.height, 1080);
    EXPECT_EQ(wide.CentreShift(), 240);
    const HudFrame narrow = HudFrameFor(1280, 1024);
    EXPECT_EQ(narrow.width, 1280);
    EXPECT_EQ(narrow.height, 960);
    EXPECT_EQ(narrow.BottomShift(), 128 - 120);
    const HudFrame odd = HudFrameFor(1366, 768);
    EXPECT_EQ(odd.width, 1024);
    EXPECT_EQ(odd.CentreShift(), 171);
    EXPECT_EQ(HudFrameFor(-5, 0).width, 0) << "no negative sizes";
}

TEST_F(HudTest, PrintDrawsTheGlyphsOfTheSetFourteenUnitsApart) {
    FillCodedFont(hud->fontImage);
    hud->BuildFont();
    ASSERT_NE(hud->fontListBase, 0u);
    glDisable(GL_DEPTH_TEST);
    auto glyphAt = [](int x, int y) { return PixelFromTop(x, y, kHeight)[0]; };
    // At scale 2 the first glyph covers x 100..132; the second starts 28 later.
    UseFlatArea(kHeight);
    hud->Print(100, 100, 2.0f, 2.0f, 0, "%c%c", 'A', 'B');
    for (int x : {102, 116, 125})
        for (int y : {102, 116, 130}) EXPECT_EQ(glyphAt(x, y), 33) << x << ", " << y;
    EXPECT_EQ(glyphAt(131, 116), 34) << "the second glyph starts 14 units on";
    EXPECT_EQ(glyphAt(116, 140), 0) << "glyphs are 16 units high";

    UseFlatArea(kHeight);
    hud->Print(100, 100, 2.0f, 2.0f, 7, "A");
    EXPECT_EQ(glyphAt(116, 116), 161) << "set 7 is treated as set 1";
    UseFlatArea(kHeight);
    hud->Print(100, 100, 2.0f, 2.0f, 0, nullptr);
    EXPECT_EQ(glyphAt(116, 116), 0) << "a null format prints nothing";

    // Characters without a glyph never reach lists beside the font.
    const GLuint pastFont = hud->fontListBase + 96 + 0xE1;
    const GLuint belowFont = hud->fontListBase - 32 + 1;
    for (GLuint list : {pastFont, belowFont}) {
        glNewList(list, GL_COMPILE);
        glTranslated(200.0, 0.0, 0.0);
        glEndList();
    }
    UseFlatArea(kHeight);
    hud->Print(100, 100, 2.0f, 2.0f, 1, "\xE1" "A");
    EXPECT_EQ(glyphAt(116, 116), 161);
    UseFlatArea(kHeight);
    hud->Print(100, 100, 2.0f, 2.0f, 0, "\x01" "A");
    EXPECT_EQ(glyphAt(116, 116), 33);
}

// Without images the panels are flat colour, so the flash and glow are read directly.
TEST_F(HudTest, HealthFlashAndRadarGlow) {
    const int frameX = 85, panelX = 40, radarX = 400;  // frame: between the panel and its edge
    DrawBand();
    EXPECT_EQ(PixelFromTop(frameX, 40, kBand)[0], 0) << "no flash without a change";
    player.health = 90.0f;
    for (int flash : {255, 215, 175, 135, 95, 55, 15, 0, 0}) {
        DrawBand();
        EXPECT_EQ(PixelFromTop(frameX, 40, kBand)[0], flash);
        EXPECT_EQ(PixelFromTop(panelX, 40, kBand)[0], 255 - flash);
    }
    player.health = 95.5f;
    DrawBand();
    EXPECT_EQ(PixelFromTop(frameX, 40, kBand)[0], 255) << "a gain flashes too";

    EXPECT_EQ(RadarGlow(3) + RadarGlow(1021), 0);
    EXPECT_EQ(RadarGlow(4), 255);
    EXPECT_EQ(RadarGlow(1020), 1);
    EXPECT_EQ(hud->NearestEnemyDistance(), -1) << "no enemy table";
    std::vector<Enemy> table(3);
    table[0].position = {0, 0, 2000};
    table[1].position = {0, 300.9f, 0};
    table[2].position = {400, 0, 0};
    table[0].alive = table[2].alive = 1;
    hud->enemies = &table;
    EXPECT_EQ(hud->NearestEnemyDistance(), 400) << "the dead enemy at 300 does not count";
    DrawBand();
    EXPECT_EQ(PixelFromTop(radarX, 40, kBand), (Rgb{156, 0, 0}));
    table[2].alive = 0;
    EXPECT_EQ(hud->NearestEnemyDistance(), 2000);
    DrawBand();
    EXPECT_EQ(PixelFromTop(radarX, 40, kBand), (Rgb{0, 0, 0}));
    table[0].alive = 0;
    EXPECT_EQ(hud->NearestEnemyDistance(), -1);

    hud->SetScreenSize(100, 75);
    EXPECT_EQ(hud->healthRect.x, 0) << "a 100-pixel window divides by zero: no offset";
}

TEST_F(HudTest, BottomBandShowsTheGeneratedImages) {
    hud->Init(&weapons, ClockReading{});
    EXPECT_EQ(ReadText(log).find("**ERROR**"), std::string::npos) << ReadText(log);
    const HudRect number{650, 20, 45, 45};
    const HudRect icon{740, 0, 60, 75};  // clear of the weapon number
    player.weapon = 1;
    DrawBand();
    for (const HudRect& r : {hud->healthRect, hud->radarRect, icon, number}) EXPECT_GT(BandSum(r), 0) << r.x;
    const int quietRadarRed = BandSum(hud->radarRect, 0);
    std::vector<Enemy> table(1);
    table[0].alive = 1;
    table[0].position = {0, 0, 100};
    hud->enemies = &table;
    DrawBand();
    EXPECT_GT(BandSum(hud->radarRect, 0), quietRadarRed) << "a near enemy reddens the radar";

    // Weapon 5 shows the energy cube; slots that are not weapons show no icon.
    auto iconOf = [&](int slot) {
        player.weapon = slot;
        DrawBand();
        return BandSum(icon);
    };
    const int energyCube = iconOf(3);
    EXPECT_GT(energyCube, 0);
    EXPECT_EQ(iconOf(5), energyCube);
    EXPECT_EQ(iconOf(-1), 0);
    EXPECT_EQ(iconOf(9), 0);
}

TEST_F(HudTest, MissingImagesAreLoggedAndTheHudStillStarts) {
    const std::filesystem::path empty = ::testing::TempDir() + "hud_no_images";
    std::filesystem::create_directories(empty);
    std::filesystem::current_path(empty);
    hud->Init(&weapons, ClockReading{});
    const std::string text = ReadText(log);
    EXPECT_NE(text.find("gfx/radar/radar(screen).bmp"), std::string::npos) << text;
    EXPECT_NE(text.find("gfx/Hud/FlameSleeveAmmo.bmp"), std::string::npos) << text;
    int lines = 0;
    for (char c : text) lines += c == '\n';
    EXPECT_EQ(lines, 10) << "one line for each of the ten images";
    EXPECT_NE(hud->fontListBase, 0u);
    EXPECT_EQ(hud->ringIndex, 1);
    EXPECT_FLOAT_EQ(hud->ringAngle, 180.0f) << "two weapons owned: the first at 180";
}

TEST_F(HudTest, EachWheelStepTurnsTwoWeaponsHalfWayRound) {
    LoadPickupGuns();
    hud->Init(&weapons, ClockReading{});
    EXPECT_EQ(RingFrame(), 0) << "the ring is hidden until the wheel moves";
    EXPECT_EQ(player.weapon, 0);
    // Wheel up: 5 degrees a frame (1 + 4) down from 180, through 0 shown as 360.
    EXPECT_GT(RingFrame(1), 0);
    int frames = 1;
    for (; hud->ringDirection != 0.0f && frames < 100; ++frames) {
        EXPECT_EQ(player.weapon, 0) << "the weapon changes when the step is complete";
        RingFrame();
    }
    EXPECT_EQ(frames, 37) << "36 turning frames and the completing one";
    EXPECT_EQ(hud->ringIndex, 2);
    EXPECT_FLOAT_EQ(hud->ringAngle, 360.0f);
    EXPECT_EQ(player.weapon, 1) << "the second weapon of the ring is selected";
    // Again, 6 degrees a frame now; the other way is ignored until the step ends.
    RingFrame(1);
    EXPECT_FLOAT_EQ(hud->ringAngle, 354.0f);
    RingFrame(-1);
    EXPECT_EQ(hud->ringDirection, 1.0f);
    while (hud->ringDirection != 0.0f && ++frames < 200) RingFrame();
    EXPECT_EQ(hud->ringIndex, 1);
    EXPECT_FLOAT_EQ(hud->ringAngle, 180.0f);
    EXPECT_EQ(player.weapon, 0);
    // Wheel down turns the angle up and also reaches the second weapon.
    RingFrame(-1);
    EXPECT_GT(hud->ringAngle, 180.0f);
    while (hud->ringDirection != 0.0f && ++frames < 300) RingFrame();
    EXPECT_EQ(player.weapon, 1);
}

TEST_F(HudTest, NumberKeysSelectOnlyOwnedWeapons) {
    hud->Init(&weapons, ClockReading{});
    hud->SelectWeapon(4);
    hud->SelectWeapon(-1);
    EXPECT_EQ(hud->ringIndex, 1) << "unowned slots change nothing";
    hud->SelectWeapon(1);
    hud->UpdateRingAngle();
    EXPECT_FLOAT_EQ(hud->ringAngle, 360.0f);
    RingFrame();
    EXPECT_EQ(player.weapon, 1);
    weapons.owned[5] = 1;  // counted and selectable, though not drawn
    hud->SelectWeapon(5);
    EXPECT_EQ(hud->ringIndex, 3);
    RingFrame();
    EXPECT_EQ(player.weapon, 5);
    weapons.owned[5] = 0;
    RingFrame();
    EXPECT_EQ(player.weapon, 1) << "a position past a smaller inventory falls back to its last weapon";

    for (auto& owned : weapons.owned) owned = 0;
    player.weapon = 3;
    hud->SelectWeapon(0);
    hud->UpdateRingAngle();
    EXPECT_EQ(RingFrame(1), 0) << "with nothing owned the ring does nothing";
    EXPECT_EQ(player.weapon, 3);
    EXPECT_EQ(hud->ringIndex, 2);
    EXPECT_FLOAT_EQ(hud->ringAngle, 360.0f);
}

TEST_F(HudTest, AnIdleRingHidesMidTurnAndKeepsItsAngle) {
    LoadPickupGuns();
    for (auto& owned : weapons.owned) owned = 0;
    weapons.owned[2] = 1;  // one weapon: a whole turn per step, longer than the idle limit
    hud->Init(&weapons, ClockReading{});
    for (int frame = 0; frame <= 50; ++frame) EXPECT_GT(RingFrame(frame == 0), 0) << "frame " << frame;
    const float angle = hud->ringAngle;
    EXPECT_FLOAT_EQ(angle, 360.0f - 51 * 5.0f);
    EXPECT_EQ(RingFrame(), 0) << "51 frames after the wheel the ring is gone";
    EXPECT_EQ(RingFrame(), 0);
    EXPECT_FLOAT_EQ(hud->ringAngle, angle);
    EXPECT_EQ(player.weapon, 2);
}

namespace {

// The lit pixels of the bottom band between columns `from` and `to`, cut
// to their bounding box: rows of RGB, top row first; empty when none.
std::vector<std::vector<Rgb>> LitBox(int from, int to) {
    std::vector<unsigned char> rgb(static_cast<std::size_t>(kWidth) * kBand * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, kWidth, kBand, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    auto at = [&](int x, int y) {  // y from the top
        const unsigned char* p = &rgb[(static_cast<std::size_t>(kBand - 1 - y) * kWidth + x) * 3];
        return Rgb{p[0], p[1], p[2]};
    };
    int left = to, right = from - 1, top = kBand, bottom = -1;
    for (int y = 0; y < kBand; ++y)
        for (int x = from; x < to; ++x)
            if (at(x, y) != Rgb{0, 0, 0}) {
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
    std::vector<std::vector<Rgb>> box;
    for (int y = top; y <= bottom; ++y) {
        box.emplace_back();
        for (int x = left; x <= right; ++x) box.back().push_back(at(x, y));
    }
    return box;
}

}  // namespace

// Which pixels of a box are lit.
std::vector<std::vector<bool>> Shape(const std::vector<std::vector<Rgb>>& box) {
    std::vector<std::vector<bool>> shape;
    for (const auto& row : box) {
        shape.emplace_back();
        for (const Rgb& p : row) shape.back().push_back(p != Rgb{0, 0, 0});
    }
    return shape;
}

// Two shapes alike but for a few edge pixels, which the glyphs' filtering
// lights or not by the text's colour.
bool Alike(const std::vector<std::vector<bool>>& a, const std::vector<std::vector<bool>>& b) {
    if (a.empty() || b.empty() || a.size() != b.size() || a[0].size() != b[0].size()) return false;
    std::size_t differ = 0;
    for (std::size_t y = 0; y < a.size(); ++y)
        for (std::size_t x = 0; x < a[0].size(); ++x) differ += a[y][x] != b[y][x];
    return differ * 25 < a.size() * a[0].size();
}

int BrightestRed(const std::vector<std::vector<Rgb>>& box) {
    int red = 0;
    for (const auto& row : box)
        for (const Rgb& p : row) red = std::max(red, p[0]);
    return red;
}

TEST_F(HudTest, ReadOutsShowTheHeroesHealthAndTheWeaponsRoundsAndAnEmptyShotBlinks) {
    hud->Init(&weapons, ClockReading{});
    // The read-outs stand between the health panel's frame and the radar,
    // and between the radar and the weapon number.
    const int healthFrom = 100, healthTo = hud->radarRect.x;
    const int roundsFrom = hud->radarRect.x + hud->radarRect.width, roundsTo = kWidth - 150;
    // The shape the font prints for a number at the read-outs' size.
    auto printedShape = [&](int value) {
        UseFlatArea(kBand);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glColor3ub(255, 255, 255);
        hud->Print(10, 10, kWidth / 400.0f, kHeight / 300.0f, 0, "%i", value);
        glDisable(GL_BLEND);
        return Shape(LitBox(0, kWidth));
    };

    for (const auto& [health, rounds] : {std::pair{73, 12}, std::pair{100, 7}}) {
        player.health = static_cast<float>(health) + 0.6f;  // whole points are shown
        player.weapon = 1;
        weapons.ammo[1] = rounds;
        DrawBand();
        const auto shownHealth = Shape(LitBox(healthFrom, healthTo));
        const auto shownRounds = Shape(LitBox(roundsFrom, roundsTo));
        EXPECT_TRUE(Alike(shownHealth, printedShape(health))) << health;
        EXPECT_TRUE(Alike(shownRounds, printedShape(rounds))) << rounds;
        EXPECT_FALSE(Alike(shownHealth, printedShape(health + 5))) << "a near number is told apart";
    }

    // A dry shot: the empty weapon's 0 blinks bright four draws on, four
    // off, for twenty draws, then stays dim red.
    weapons.ammo[1] = 0;
    hud->FlashEmptyWeapon();
    std::vector<int> reds;
    for (int draw = 0; draw < 24; ++draw) {
        DrawBand();
        reds.push_back(BrightestRed(LitBox(roundsFrom, roundsTo)));
    }
    EXPECT_GT(reds[0], reds[4]);
    EXPECT_EQ(reds[0], reds[8]);
    EXPECT_EQ(reds[4], reds[23]);
    EXPECT_GT(reds[23], 0) << "an empty weapon still shows its 0";

    hud->showNumbers = false;
    DrawBand();
    EXPECT_TRUE(LitBox(healthFrom, healthTo).empty());
    EXPECT_TRUE(LitBox(roundsFrom, roundsTo).empty());
}

TEST(SoundCaptions, ReadShowAndForget) {
    SoundCaptions captions;
    std::istringstream file(
        "# a comment\n\nsounds/a.wav|Hello there.\nno bar here\n|no key\nkey only|\n"
        "dies shrike|[A shrike dies]\n  padded key  |  padded text \t\nodd|tab\there\x01!\n");
    EXPECT_EQ(captions.Read(file), 3) << "the lines without a key or a text";
    EXPECT_TRUE(captions.Has("padded key"));
    captions.Show("sounds/a.wav", 1000);
    captions.Show("not captioned", 1000);
    captions.Show(EnemyCaptionKey("dies", 0), 2000);
    EXPECT_EQ(captions.Lines(2500), (std::vector<std::string>{"Hello there.", "[A shrike dies]"}));
    EXPECT_EQ(captions.Lines(1000 + SoundCaptions::kShownMs), (std::vector<std::string>{"[A shrike dies]"}));
    captions.Show("sounds/a.wav", 4500);  // said again: one line, newest last
    captions.Show("padded key", 4500);
    captions.Show("odd", 4500);
    EXPECT_EQ(captions.Lines(4600), (std::vector<std::string>{"Hello there.", "padded text", "tabhere!"}))
        << "three lines at most; only what the font prints";
    EXPECT_EQ(EnemyCaptionKey("hurt", 3), "hurt boss");
    EXPECT_EQ(EnemyCaptionKey("hurt", 9), "hurt enemy");
}
