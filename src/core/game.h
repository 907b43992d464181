#pragma once
#include <cstdint>
#include <functional>
#include <optional>

#include "actors/actor_models.h"
#include "actors/decals.h"
#include "actors/enemy.h"
#include "actors/items.h"
#include "actors/movement.h"
#include "actors/particles.h"
#include "actors/player.h"
#include "actors/projectiles.h"
#include "actors/weapons.h"
#include "audio/sound_system.h"
#include "base/clock.h"
#include "audio/sound_table.h"
#include "graphics/md2_model.h"
#include "hud/hud.h"
#include "hud/sound_captions.h"
#include "core/frame_rules.h"
#include "core/picture.h"
#include "cutscene/cutscene.h"
#include "graphics/band_upscaler.h"
#include "input/input.h"
#include "world/world.h"

// Model slots of the game that are used by name.
namespace model_slot {
constexpr int Hero = 1;
constexpr int WeaponPickups = 4;
constexpr int FirstGem = 7;
constexpr int Corpse = 14;
}  // namespace model_slot

// Which level is loaded: 0 is the options menu, then the level sequence.
extern std::int32_t levelIndex;
// Vertical field of view of the scene band in degrees (60; the zoom narrows it).
extern float fieldOfView;

// The top-level object: owns the level, the hero and the input, and runs one
// frame per pass of the main loop.
class Game {
public:
    // Once, after the window exists. `devices` may be null (no input),
    // `audio` null (a silent game; it must outlive the game otherwise).
    // Ends the process with exit code 1 when the options menu level cannot
    // be loaded.
    void Init(InputDevices* devices, AudioDevice* audio = nullptr);
    // Loads the options menu level and what the frames draw.
    void LoadAssets();
    // Loads a level file into the world with the AI nodes of level `index`
    // of the sequence, reads its scenes during the load and brings its
    // enemies to life. The loader's result: 0 on success.
    int LoadLevel(const char* path, int index);
    // One simulation step and its pictures, at least 30 ms long on the
    // pacing clock; the step reads the game's clock once, at its start.
    void RunFrame();
    // Sets levelChangePending within 150 units of the level's exit.
    void CheckLevelExit();
    // Moves to the next level of the sequence; end of a frame only.
    void ChangeLevel();
    // Loads a level file as the current level (levelIndex picks its AI
    // nodes) and starts the hero at its start; exits with code 1 when the
    // file cannot be loaded.
    void EnterLevel(const char* path);
    // The music and ambience the level sequence has going in level `index`,
    // for a game started there rather than come to it.
    void StartSequenceMusic(int index);
    // What the classic draw did to the game, then one picture; returns the
    // cutscene status (-1: a cutscene just ended).
    int RenderFrame();
    // The step's share of a picture, in the order the classic draw took it:
    // the play clock read, the camera squared, the lights pulsed and the
    // view kept for ray casts, the fountains' and force field's sparks,
    // the hero's and the near enemies' animation, the weapon ring, the
    // cutscene step, the health flash. What the picture shows is kept.
    int StepPicture();
    // The picture of the last StepPicture: reads the game, changes nothing
    // of it, so drawing twice or not at all leaves the game as it was.
    void DrawPicture();
    // What a smooth picture shows `fraction` (0 to 1) of the way from the
    // step before to the last one; in the first-person view it looks where
    // the mouse motion not yet taken by a step will turn it.
    Picture SmoothPicture(float fraction);
    void DrawSmoothPicture(float fraction);
    // Pictures drawn per step in classic mode (1; tests draw none or
    // several).
    int picturesPerStep = 1;
    // Smooth: after each step, pictures between the last two steps until the
    // next is due (the smooth option); classic: one picture in the step.
    bool smooth = false;
    // Smooth pictures a second at most (0: as many as the display takes).
    int maxFps = 0;
    // When set, how long each picture took to draw and show, in seconds of
    // the pacing clock.
    std::vector<double>* pictureSeconds = nullptr;
    // The clock the frames are paced on: the game's own when null. A demo
    // paces on the system's clock while the game reads the recording.
    Clock* pacingClock = nullptr;
    // False: each frame starts as soon as the last one ends (timedemo).
    bool paced = true;
    Clock& PacingClock() { return pacingClock ? *pacingClock : ActiveClock(); }
    // The game's clock as this step (or the level change under way) read it.
    const ClockReading& StepTime() const { return stepTime; }

    // The hero's per-frame control: keys, mouse, movement with collision,
    // gravity, cameras, weapon choice and firing, developer keys.
    void UpdatePlayerControl();
    // Once when the hero's health has run out: death animation, blood and
    // a chase camera at a random spot.
    void PlayerDeath();
    // The hero alive again at the level's start or, in deathmatch, at a
    // random deathmatch start in the first-person view.
    void Respawn(bool deathmatch);
    // Back to the chase camera behind the hero.
    void RestoreChaseCamera();
    // One random line of a voice group.
    void PlayRemark(RemarkGroup group);
    // What the screen says while the hero lies dead: that he died, and the
    // controls (as bound) that bring him back.
    std::vector<std::string> DeathLines() const;
    // The effect of taking an item; the move that took it clears its
    // present flag.
    void ApplyPickup(Item& item);
    // Moves from start by displacement with the given collision packet
    // current; see MoveWithCollision.
    Vec3 Move(CollisionPacket& packet, const Vec3& start, const Vec3& displacement, int moverKind);

    // 0 shrike, 1 hero with his guns, 2 lumarid, 3 strider, 4 weapon
    // pick-ups, 5 kultha, 6 end boss, 7..13 blue, green, orange, purple,
    // red, white, yellow gems, 14 corpse (named in model_slot).
    static constexpr int kModelSlots = 15;
    ModelSet models[kModelSlots];
    World world;
    // Draws the level's pickups (world.items).
    ItemManager itemManager;
    Input input;
    Player player;
    Weapons weapons;
    Hud hud;
    SoundSystem soundSystem;
    // The loaded level's scenes.
    Cutscene cutscene;
    SoundTable sounds;
    // A looping voice per enemy of the level, element i for enemy i.
    std::vector<Sound3D> enemyVoices;
    // The level's Sound_Node sounds, looping where the level put them.
    std::vector<Sound3D> soundNodeSounds;
    // The chase camera follows the oldest point of the trail.
    PositionTrail trail;
    ChaseOffset chase;
    // Applied to the hero (or the first-person camera) and to the enemies
    // near him once per frame.
    Vec3 gravity{0.0f, -30.0f, 0.0f};
    // The last gravity step left the height unchanged.
    bool onGround = false;
    // 1 when a jump starts, one more per frame in the air, 0 on the ground.
    float jumpTimer = 0.0f;
    // Clocks and marks of the touching rules, and what they set off.
    TouchState touch;
    TouchEvents touchEvents;
    // Clocks of the lines shots make the hero say, and what shots set off.
    ShotClocks shotClocks;
    ShotEffects shotEffects;
    ParticleSystem particles;
    // The newest wall marks: bullet holes, blood and scorch marks.
    Decals decals;
    // Seconds of the frame clock since the first frame.
    double elapsedSeconds = 0.0;
    // The particle kind the particle developer key emits (0..14).
    int particleTestKind = 0;
    // Multiplies the mouse turn (the mouse_sensitivity option).
    float mouseSensitivity = 1.0f;
    // Mouse and pad up look down (the invert_look option).
    bool invertLook = false;
    // Multiplies the pad's turn (pad_sensitivity).
    float padSensitivity = 1.0f;
    // The pad shakes when a round leaves and when the hero is hurt (pad_rumble).
    bool padRumble = true;
    // Save the next finished picture as screenshotNNN.bmp (F9).
    bool screenshotRequested = false;
    // Shows the finished picture; the shell points it at the window.
    std::function<void()> presentFrame;
    // Reads the drawable's size in pixels before each picture; without it
    // pictures are drawn at the configured size (settings.width, height).
    std::function<void(int& width, int& height)> measureScreen;
    // The scene band is drawn at this share of its size and scaled up (the
    // render_scale option, 0.25 to 1); the HUD's bands stay sharp.
    float renderScale = 1.0f;
    // Crystals glow while their tones play, and show the hint's song (the
    // crystal_glow option).
    bool crystalGlow = true;
    // The hero's remarks and the sounds that matter as lines in the bottom
    // band (the sound_captions option).
    bool soundCaptions = false;
    SoundCaptions captions;

    IdleWatch idle;
    DelayedLevelChange delayedChange;

    // The firing clocks, for those who compare whole game states.
    const EnemyClocks& EnemyFireClocks() const { return enemyClocks; }
    std::uint32_t LastFireTime() const { return lastFireTime; }

private:
    void LoadModels();
    // The enemies' voices made anew for the level's enemies and started.
    void GiveEnemiesVoices();
    void StopEnemyVoices();
    // The level's sound nodes loaded, placed and started looping.
    void StartSoundNodes();
    void StopSoundNodes();
    // The listener at the camera, the voices at their enemies, one commit.
    void PlaceSounds();
    // The music and ambience of the level sequence, around loading level
    // `index`.
    void SwitchMusicBeforeLoading(int index);
    void SwitchMusicAfterLoading(int index);
    // What the level being left still has going: the end boss's pending
    // change, shots, particles, crystal tones, a jump, the touching and
    // firing clocks, the puzzle. Weapons, rounds and menu levels stay.
    void ForgetOldLevel();
    // The hero at the start of a freshly loaded level.
    void StartLevel();
    // The hero alive at the level's start (where the loader put the camera),
    // logged, with the camera moved behind him.
    void StartPlayerAtCamera();
    // The view of this frame from the camera and where the hero stands now.
    ViewTransform SceneView();
    // The hero (or the first-person gun) as the picture shows him; returns
    // the point enemies are shown around, none while a cutscene shows no
    // hero.
    std::optional<Vec3> AdvanceHero();
    void AdvanceEnemiesNear(const Vec3& referencePoint);
    // Every fountain's spray, and the force field's curtain near the
    // reference point until the puzzle lowers it.
    void EmitFountains();
    void EmitForceFieldSparks(const Vec3& referencePoint);
    void WireEffects();
    void DrawCrystals(const Picture& p) const;
    // What the step did that a caption tells: enemies hurt or killed, the
    // force field falling, the end boss coming near.
    void WatchForCaptions();
    // The lines at the foot of the scene band: the captions on screen (with
    // sound_captions) and, while the hero lies dead, how he comes back.
    std::vector<std::string> SceneLines() const;
    void DrawSceneLines(const std::vector<std::string>& lines, int sceneHeight);
    struct CaptionWatch {
        bool started = false;  // the marks hold this level's last step
        std::vector<float> health;
        std::vector<std::uint8_t> alive;
        std::uint8_t fieldDown = 0;
        bool bossNear = false;
    };
    CaptionWatch captionWatch;
    // The four menu levels of the zones the hero stands near (top band).
    void DrawMenuReadouts();
    // The point from which enemies are woken: the camera in first person,
    // otherwise the hero.
    Vec3 ReferencePoint();
    void ApplyMenuTriggers();
    void UpdateEnemies(const Vec3& referencePoint);

    // Steps of the per-frame control, in their order.
    void MoveAttached(std::uint8_t code, float speed, bool crouched, const Vec3& jump);
    void MoveDetached(std::uint8_t code, float speed, const Vec3& jump);
    void FollowWithChaseCamera();
    void ApplyGravity();
    void ApplyGravityToEnemiesNear(const Vec3& referencePoint);
    void ReadWeaponKeys();
    void ReadDeveloperKeys();
    void EnterFirstPerson();
    void FireWhenReady(std::uint32_t now);
    void Zoom();
    void TurnWithMouse();
    void RumbleWhenHurt();
    // The hero's health as the last rumble check saw it.
    float healthFelt = 0.0f;
    // Degrees the view turns per count of mouse motion.
    float MouseTurnPerCount() const;
    void FollowNearestLight();
    void WriteBookmark(std::uint32_t now);
    // The chase camera moved (with collision, on the spare packet) to its
    // place behind the trail's oldest point.
    void PlaceChaseCamera();
    // The camera brought in along the line from the hero's shoulders to
    // its target when a wall stands between him and it.
    void KeepCameraInSightOfHero(const Vec3& target);
    // Whether a wall crosses the segment; `contact` is where the cast ends.
    bool WallBetween(const Vec3& from, const Vec3& to, Vec3& contact);
    // The camera reset just above the hero with the trail started again.
    void CameraAboveHero();
    // A random chase spot, as after death or with the V key.
    void RandomChaseOffset();
    MoveContext Moves();
    ShotScene Shots();
    // The sound an item kind plays when taken; null for none.
    Sound* PickupSound(int kind);

    // What the last step's picture shows, and the one of the step before.
    Picture picture;
    Picture previousPicture;
    // Counts the camera's jumps: resets, switches, respawns, new levels.
    std::uint32_t viewCuts = 0;
    // The picture: its pixels, then shown.
    void DrawPictureOf(const Picture& p, float particleFraction);
    // The scene band's content, drawn with the projection of `aspect`;
    // the weapon ring and the scope overlay only with `overlays`.
    void DrawScene(const Picture& p, double aspect, float particleFraction, bool overlays);
    // The weapon ring and, in first person, the scope overlay.
    void DrawSceneOverlays(const Picture& p, double aspect);
    // The size the picture being drawn has, in pixels.
    void UpdateScreenSize();
    int screenWidth = 0;
    int screenHeight = 0;
    BandUpscaler sceneUpscaler;
    // Smooth mode keeps its steps on a timeline of the pacing clock, 30 ms
    // apart, so a picture that runs past a step's time (a swap waiting for
    // the display) delays that step and no other. Returns when the step
    // now starting was due; a game fallen a whole step behind starts the
    // timeline again from now.
    std::int64_t ScheduleSmoothStep(Clock& pacing);
    std::int64_t nextStepDue = 0;  // 0: no timeline yet
    // Smooth pictures (at least one) until the next step is due.
    void ShowSmoothPictures(Clock& pacing, std::int64_t stepStart);
    // The first-person view turned by the mouse motion no step has taken.
    ViewTransform ViewWithPendingTurn(const Vec3& eye, int dx, int dy);

    // The step's reading of the game's clock, handed to all it does.
    ClockReading stepTime;
    std::uint32_t Now() const { return stepTime.ms; }
    void ReadStepTime();
    // Seconds of the game's clock since Init, and at the first step.
    Stopwatch frameClock;
    bool clockStarted = false;
    double clockStart = 0.0;
    // Control clocks start at the first control frame.
    bool controlClocksStarted = false;
    std::uint32_t lastFireTime = 0;
    std::uint32_t bookmarkTime = 0;
    int bookmarkCounter = 1;
    // The enemies' shared fire clocks, started afresh in every level.
    EnemyClocks enemyClocks;
};

// File name of the level that levelIndex selects.
const char* LevelFileFor(int index);
