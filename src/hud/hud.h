#pragma once
#include <optional>
#include <GL/gl.h>

#include <array>
#include <cstdint>
#include <vector>

#include "base/clock.h"
#include "graphics/textures.h"
#include "hud/font.h"
#include "hud/hud_frame.h"
#include "math/vec3.h"

struct Enemy;
struct ModelSet;
struct Player;
struct Weapons;

// A rectangle of the bottom band in pixels, y growing downwards.
struct HudRect {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

constexpr int kAmmoImages = 5;
// The owned list of the weapon ring: one entry per hero weapon plus an end
// marker, unused entries -1.
constexpr int kRingListSize = 7;
using OwnedWeaponList = std::array<int, kRingListSize>;

// The head-up display: health panel, radar, ammunition icon and weapon
// number in the bottom band, crosshair and weapon ring in the scene, the play
// clock in the top band, and the bitmap font all of them print with.
// Needs the game's GL context for everything but construction, layout and
// weapon selection.
class Hud {
public:
    Hud();
    ~Hud();
    Hud(const Hud&) = delete;
    Hud& operator=(const Hud&) = delete;

    // Loads the images, builds the font and puts the ring on its first weapon.
    // `now` starts the play clock.
    void Init(Weapons* weaponInventory, const ClockReading& now);

    // The screen's size in pixels; lays the bottom band out for it.
    void SetScreenSize(int width, int height);
    void LayoutRadar();
    void LayoutHealth();

    // Turns the ring to an owned slot; an unowned slot changes nothing.
    void SelectWeapon(int slot);
    void UpdateRingAngle();

    // The bottom band for the hero's health and current weapon: the flash
    // steps on (StepHealthFlash), then the band as it shows (DrawShownBottom).
    void DrawBottom(const Player& player);
    // A change of the hero's health starts the damage flash; the flash a
    // picture shows is kept and faded by one step, and so is the blink of
    // the rounds read-out after an empty weapon was fired.
    void StepHealthFlash(const Player& player);
    // Firing with no rounds left: the rounds read-out blinks for a while.
    void FlashEmptyWeapon() { emptyFlashSteps = kEmptyFlashSteps; }
    void DrawShownBottom(const Player& player);
    // Turns and draws the ring, then makes the ring's weapon the hero's.
    void DrawWeaponRing(const ModelSet& models, Player& player);
    // The ring's turn of one step, the hero's weapon set from it; the
    // picture's ring is kept for DrawShownWeaponRing.
    void StepWeaponRing(Player& player);
    void DrawShownWeaponRing(const ModelSet& models) const;
    void DrawCrosshair();
    // A cutscene's caption, or "LOADING!", in the bottom band (caption.cpp).
    void DrawCaption(const char* text, bool cutscenePlaying);

    // Distance from radarOrigin to the nearest living enemy in whole units,
    // -1 when there is none.
    int NearestEnemyDistance() const;

    // Font (font.cpp).
    void BuildFont();
    void Print(int x, int y, float scaleX, float scaleY, int set, const char* format, ...)
        __attribute__((format(printf, 7, 8)));
    // The play clock's reading a picture shows, taken once a step.
    void StepPlayClock(const ClockReading& now);
    void DrawShownPlayClock();

    // The owned slots 0..5 in slot order, the rest -1.
    OwnedWeaponList OwnedWeapons() const;

    float ringDirection = 100.0f;  // +1/-1 while turning, 0 still
    float ringProgress = 100.0f;   // degrees turned in the current step
    Weapons* weapons = nullptr;
    GLuint fontListBase = 0;  // 0 until BuildFont
    HudRect radarRect{0, 0, 10, 10};
    HudRect ammoIconRect;
    HudRect healthRect;
    std::int32_t lastHealthShown = 100;
    HudFrame frame;
    float ringAngle = 0.0f;
    Stopwatch playTimer;
    Texture radarImage;
    Texture radarScreenImage;
    Texture healthImage;
    Texture crosshairImage;
    Texture fontImage;
    Texture ammoImages[kAmmoImages];
    Vec3 radarOrigin;
    const std::vector<Enemy>* enemies = nullptr;
    std::int32_t healthShown = 100;
    std::int32_t ringIndex = 1;  // 1-based position of the current weapon
    std::int32_t wheelDelta = 0;
    std::int32_t ringActive = 0;

    // The hero's health and the current weapon's rounds as numbers beside
    // the health panel and the ammunition icon (the hud_numbers option).
    bool showNumbers = true;
    static constexpr int kEmptyFlashSteps = 20;
    int emptyFlashSteps = 0;    // steps the empty-weapon blink has left
    int shownEmptyFlash = 0;    // the blink the last step's picture shows

    int healthFlash = 0;        // red of the damage flash, 255 down to 0
    int shownHealthFlash = 0;   // the flash the last step's picture shows
    // The ring's angle in the last step's picture; none while it is hidden.
    std::optional<float> shownRingAngle;
    double shownPlaySeconds = 0.0;
    int ringIdleFrames = 0;     // frames since the last wheel motion
    int ownedWeaponCount = 0;
    int ringSpeed = 1;          // degrees the ring turns per frame

private:
    int CountOwnedWeapons();
    void ClampRingIndex();
    void DrawHealthPanel() const;
    void DrawRadar() const;
    void DrawAmmoIcon(int slot);
    void DrawNumbers(const Player& player);
    void TurnRing();
    void DrawRing(const ModelSet& models, float angle) const;
};

// Red of the radar glow for a nearest-enemy distance: 256 - d/4 from 4 to
// 1020 units, none nearer or farther (or with no enemy, d = -1).
int RadarGlow(int distance);
