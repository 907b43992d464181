#include "hud/hud.h"

#include <GL/gl.h>

#include <climits>
#include <cmath>
#include <cstdio>

#include "actors/enemy.h"
#include "actors/player.h"
#include "actors/weapons.h"
#include "base/debug_log.h"
#include "base/settings.h"
#include "math/saturating.h"

namespace {

constexpr const char* kRadarPath = "gfx/radar/radar.bmp";
constexpr const char* kRadarScreenPath = "gfx/radar/radar(screen).bmp";
constexpr const char* kHealthPath = "gfx/Hud/health.bmp";
constexpr const char* kCrosshairPath = "gfx/Hud/crosshair.bmp";
constexpr const char* kFontPath = "gfx/Hud/Zone4.bmp";
constexpr const char* kAmmoPaths[kAmmoImages] = {"gfx/Hud/9mmAmmo.bmp", "gfx/Hud/MachineGunAmmo.bmp",
                                                 "gfx/Hud/ASRAmmo.bmp", "gfx/Hud/EnergyCube.bmp",
                                                 "gfx/Hud/FlameSleeveAmmo.bmp"};
// Weapon 5 has no icon of its own. It is drawn with the antimatter launcher
// model, whose ammunition is the energy cube, so it shows that icon.
constexpr int kWeapon5AmmoImage = 3;
constexpr int kWeapon5 = 5;

// Layout divisors of the width W and height H of the HUD's 4:3 frame.
constexpr float kPanelWidthDivisor = 10.0f;   // health panel and radar: W/10
constexpr float kPanelHeightDivisor = 8.0f;   // everything in the band: H/8
constexpr float kAmmoWidthDivisor = 11.0f;    // ammunition icon: W/11
constexpr float kHealthOffsetMargin = 100.0f; // health x = W/(W-100), y = H/(H-100)
constexpr int kRadarTopDivisor = 6;           // radar y = height div 6

// Health panel: its frame reaches a tenth of the panel beyond every side.
constexpr float kFrameGrowth = 0.1f;
constexpr int kFlashStart = 255;
constexpr int kFlashFadePerDraw = 40;
constexpr GLubyte kPanelGrey = 200;
constexpr GLubyte kRadarGrey = 100;
// Radar glow: full red from 4 units, one step less every 4 units, none past 1020.
constexpr int kGlowNearest = 4;
constexpr int kGlowFarthest = 1020;
constexpr int kGlowUnitsPerStep = 4;
constexpr int kGlowFull = 256;

// Weapon number: colour, placement and scale relative to the window size.
constexpr GLubyte kNumberColour[3] = {30, 55, 30};
constexpr float kNumberRightInset = 150.0f;
constexpr float kNumberYDivisor = 30.0f;
constexpr float kNumberScaleXDivisor = 300.0f;
constexpr float kNumberScaleYDivisor = 200.0f;

// Health and rounds read-outs: the play clock's scale, upright in the band;
// health in the panel's red, rounds in the clock's amber, and an empty
// weapon's rounds in red, blinking brighter for a while after a dry shot.
constexpr float kReadoutScaleXDivisor = 400.0f;
constexpr float kReadoutScaleYDivisor = 300.0f;
constexpr double kReadoutGlyphAdvance = 14.0;
constexpr double kReadoutGlyphHeight = 16.0;
constexpr float kReadoutGapShare = 0.25f;  // of the health panel's width, beyond its frame
constexpr float kRoundsGapGlyphs = 0.5f;   // between the rounds and the weapon number
constexpr GLubyte kHealthNumberColour[3] = {215, 60, 45};
constexpr GLubyte kRoundsColour[3] = {190, 150, 70};
constexpr GLubyte kEmptyColour[3] = {150, 30, 25};
constexpr GLubyte kEmptyBlinkColour[3] = {255, 90, 60};
constexpr int kEmptyBlinkSteps = 4;  // on for four steps, off for four

// Crosshair quad in the scope's view.
constexpr float kCrosshairLow = -7.0f;
constexpr float kCrosshairHigh = 8.0f;
constexpr float kCrosshairDepth = -100.0f;

// A float turned into an int by truncation; values an int cannot hold
// (including the infinity of a division by zero) give 0.
int TruncateToInt(float value) {
    if (!std::isfinite(value) || value >= static_cast<float>(INT_MAX) || value <= static_cast<float>(INT_MIN))
        return 0;
    return static_cast<int>(value);
}

void LoadHudImage(Texture& image, const char* path) {
    if (!LoadTexture(image, path) || !UploadTexture(image)) {
        DebugLog() << "**ERROR** HUD image " << path << " could not be loaded\n";
    }
}

void BindImage(const Texture& image) { glBindTexture(GL_TEXTURE_2D, image.texture.Name()); }

// One textured quad over the rectangle at depth z; the image's top row at
// the top of the rectangle.
void DrawImageQuad(float x, float y, float width, float height, float z) {
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(x, y, z);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(x, y + height, z);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(x + width, y + height, z);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(x + width, y, z);
    glEnd();
}

void DrawRectQuad(const HudRect& r, float z) {
    DrawImageQuad(static_cast<float>(r.x), static_cast<float>(r.y), static_cast<float>(r.width),
                  static_cast<float>(r.height), z);
}

void EnableAlphaBlending() {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void RestoreTextureSwitch() {
    if (!settings.texturesOn) glDisable(GL_TEXTURE_2D);
}

// Whole units, absolute value; distances an int cannot hold count as the
// largest int (far beyond the radar's reach).
int WholeUnits(float distance) { return TruncatedDistance(std::fabs(distance)); }

}  // namespace

int RadarGlow(int distance) {
    if (distance < kGlowNearest || distance > kGlowFarthest) return 0;
    return kGlowFull - distance / kGlowUnitsPerStep;
}

Hud::Hud() = default;

Hud::~Hud() {
    if (fontListBase != 0) glDeleteLists(fontListBase, kFontGlyphs);
}

void Hud::Init(Weapons* weaponInventory, const ClockReading& now) {
    weapons = weaponInventory;
    playTimer.Start(now);
    LoadHudImage(radarImage, kRadarPath);
    LoadHudImage(radarScreenImage, kRadarScreenPath);
    LoadHudImage(healthImage, kHealthPath);
    LoadHudImage(crosshairImage, kCrosshairPath);
    LoadHudImage(fontImage, kFontPath);
    for (int i = 0; i < kAmmoImages; ++i) LoadHudImage(ammoImages[i], kAmmoPaths[i]);
    BuildFont();
    ringAngle = 0.0f;
    ringIndex = 1;
    ringProgress = 0.0f;
    UpdateRingAngle();
}

void Hud::SetScreenSize(int width, int height) {
    frame = HudFrameFor(width, height);
    LayoutHealth();
    LayoutRadar();
}

// The radar in the middle of the band, the health panel at its left corner.
void Hud::LayoutRadar() {
    const float w = static_cast<float>(frame.width), h = static_cast<float>(frame.height);
    radarRect.width = TruncateToInt(w / kPanelWidthDivisor);
    radarRect.height = TruncateToInt(h / kPanelHeightDivisor);
    const int halfWidth = radarRect.width / 2;
    radarRect.x = TruncateToInt(static_cast<float>(frame.screenWidth) / 2.0f - static_cast<float>(halfWidth));
    radarRect.y = radarRect.height / kRadarTopDivisor + frame.BottomShift();
}

void Hud::LayoutHealth() {
    const float w = static_cast<float>(frame.width), h = static_cast<float>(frame.height);
    healthRect.width = TruncateToInt(w / kPanelWidthDivisor);
    healthRect.height = TruncateToInt(h / kPanelHeightDivisor);
    healthRect.x = TruncateToInt(w / (w - kHealthOffsetMargin));
    healthRect.y = TruncateToInt(h / (h - kHealthOffsetMargin)) + frame.BottomShift();
}

void Hud::DrawBottom(const Player& player) {
    StepHealthFlash(player);
    DrawShownBottom(player);
}

void Hud::StepHealthFlash(const Player& player) {
    healthShown = TruncateToInt(player.health);
    if (healthShown != lastHealthShown) {
        lastHealthShown = healthShown;
        healthFlash = kFlashStart;
    }
    shownHealthFlash = healthFlash;
    healthFlash = healthFlash > kFlashFadePerDraw ? healthFlash - kFlashFadePerDraw : 0;
    shownEmptyFlash = emptyFlashSteps;
    if (emptyFlashSteps > 0) --emptyFlashSteps;
}

void Hud::DrawShownBottom(const Player& player) {
    glEnable(GL_TEXTURE_2D);
    DrawHealthPanel();
    DrawRadar();
    DrawAmmoIcon(player.weapon);
    // Blending stays on for the number so the glyph backgrounds stay clear.
    glColor3ub(kNumberColour[0], kNumberColour[1], kNumberColour[2]);
    const float w = static_cast<float>(frame.width), h = static_cast<float>(frame.height);
    Print(static_cast<int>(static_cast<float>(frame.screenWidth) - kNumberRightInset),
          static_cast<int>(h / kNumberYDivisor) + frame.BottomShift(), w / kNumberScaleXDivisor,
          h / kNumberScaleYDivisor, 0, "%i", player.weapon);
    if (showNumbers) DrawNumbers(player);
    glDisable(GL_BLEND);
    RestoreTextureSwitch();
}

void Hud::DrawNumbers(const Player& player) {
    const float w = static_cast<float>(frame.width), h = static_cast<float>(frame.height);
    const float scaleX = w / kReadoutScaleXDivisor, scaleY = h / kReadoutScaleYDivisor;
    const int bandHeight = frame.height / 8;
    const int y = (bandHeight - static_cast<int>(kReadoutGlyphHeight * scaleY)) / 2 + frame.BottomShift();
    const float panelWidth = static_cast<float>(healthRect.width);
    const int healthX = static_cast<int>(static_cast<float>(healthRect.x) + (1.0f + kFrameGrowth) * panelWidth +
                                         kReadoutGapShare * panelWidth);
    glColor3ub(kHealthNumberColour[0], kHealthNumberColour[1], kHealthNumberColour[2]);
    Print(healthX, y, scaleX, scaleY, 0, "%i", TruncateToInt(player.health));

    if (!weapons || player.weapon < 0 || player.weapon >= kPlayerWeapons) return;
    const int rounds = weapons->ammo[player.weapon];
    char text[16];
    const int length = std::snprintf(text, sizeof text, "%i", rounds);
    // Right-aligned just left of the weapon number.
    const double advance = kReadoutGlyphAdvance * scaleX;
    const double numberX = static_cast<double>(frame.screenWidth) - kNumberRightInset;
    const int roundsX = static_cast<int>(numberX - (length + kRoundsGapGlyphs) * advance);
    const bool blinkOn =
        shownEmptyFlash > 0 && ((kEmptyFlashSteps - shownEmptyFlash) / kEmptyBlinkSteps) % 2 == 0;
    const GLubyte* colour = blinkOn ? kEmptyBlinkColour : rounds <= 0 ? kEmptyColour : kRoundsColour;
    glColor3ub(colour[0], colour[1], colour[2]);
    Print(roundsX, y, scaleX, scaleY, 0, "%s", text);
}

void Hud::DrawHealthPanel() const {
    EnableAlphaBlending();
    BindImage(healthImage);
    const float w = static_cast<float>(healthRect.width);
    const float h = static_cast<float>(healthRect.height);
    glColor3ub(static_cast<GLubyte>(shownHealthFlash), 0, 0);
    DrawImageQuad(healthRect.x - kFrameGrowth * w, healthRect.y - kFrameGrowth * h, (1.0f + 2.0f * kFrameGrowth) * w,
                  (1.0f + 2.0f * kFrameGrowth) * h, 0.0f);
    glColor3ub(static_cast<GLubyte>(kFlashStart - shownHealthFlash), 0, 0);
    DrawRectQuad(healthRect, 1.0f);
    glDisable(GL_BLEND);
    glColor3ub(kPanelGrey, kPanelGrey, kPanelGrey);
}

void Hud::DrawRadar() const {
    glColor3ub(kRadarGrey, kRadarGrey, kRadarGrey);
    BindImage(radarImage);
    DrawRectQuad(radarRect, 0.0f);
    glColor3ub(static_cast<GLubyte>(RadarGlow(NearestEnemyDistance())), 0, 0);
    BindImage(radarScreenImage);
    EnableAlphaBlending();
    DrawRectQuad(radarRect, 1.0f);
    glDisable(GL_BLEND);
}

void Hud::DrawAmmoIcon(int slot) {
    // At the band's right corner.
    ammoIconRect.width = TruncateToInt(static_cast<float>(frame.width) / kAmmoWidthDivisor);
    ammoIconRect.height = TruncateToInt(static_cast<float>(frame.height) / kPanelHeightDivisor);
    ammoIconRect.x = TruncateToInt(static_cast<float>(frame.screenWidth) - static_cast<float>(ammoIconRect.width));
    ammoIconRect.y = frame.BottomShift();
    const int image = slot == kWeapon5 ? kWeapon5AmmoImage : slot;
    glColor3ub(255, 255, 255);
    EnableAlphaBlending();
    if (image < 0 || image >= kAmmoImages) return;  // not a hero weapon: no icon
    BindImage(ammoImages[image]);
    DrawRectQuad(ammoIconRect, 1.0f);
}

void Hud::DrawCrosshair() {
    glEnable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glPushMatrix();
    glLoadIdentity();
    EnableAlphaBlending();
    glColor3ub(255, 255, 255);
    BindImage(crosshairImage);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(kCrosshairLow, kCrosshairLow, kCrosshairDepth);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(kCrosshairHigh, kCrosshairLow, kCrosshairDepth);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(kCrosshairHigh, kCrosshairHigh, kCrosshairDepth);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(kCrosshairLow, kCrosshairHigh, kCrosshairDepth);
    glEnd();
    glPopMatrix();
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
    RestoreTextureSwitch();
}

int Hud::NearestEnemyDistance() const {
    if (!enemies) return -1;
    int nearest = -1;
    for (const Enemy& enemy : *enemies) {
        if (!enemy.alive) continue;
        const int d = WholeUnits(radarOrigin.Distance(enemy.position));
        if (nearest < 0 || d < nearest) nearest = d;
    }
    return nearest;
}
