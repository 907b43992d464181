#pragma once
// The demo file: a header saying what a recording was made with, then every
// reading the game took of its input devices and clocks, in the order it took
// them, as a stream of small records. The stream is written in checksummed
// chunks of about a second, so a game that stops abruptly loses at most the
// last one.
//
// The stream holds, in order: the readings of the start-up (loading the
// options menu, the first level), a frame end; then per pass of the main
// loop the window event it handled (if any), the readings of its frame and a
// frame end; and last an end record with the number of frames and the hash
// of the game's state when the recording stopped.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "input/input.h"
#include "platform/events.h"

constexpr std::uint32_t kDemoVersion = 3;
constexpr char kDemoMagic[] = "TALVDEMO";
constexpr std::size_t kDemoMagicSize = 8;
// Longest text field of the header (an option list or a level path).
constexpr std::size_t kMaxDemoText = 65536;
// Longest run of equal clock readings one record holds.
constexpr std::uint64_t kMaxDemoRun = 1u << 24;
// Largest demo file the game reads: days of play.
constexpr std::size_t kMaxDemoFileSize = 256u << 20;

struct DemoHeader {
    std::uint32_t version = kDemoVersion;
    // What the game loads from the data folder (and the start level file).
    std::uint64_t contentHash = 0;
    // The seed of the C library's generator.
    std::uint32_t seed = 0;
    // Counts per second of the high-resolution clock.
    std::int64_t clockFrequency = 0;
    // The window from talvemar.ini and the command line.
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t colourBits = 0;
    std::int32_t depthBits = 0;
    std::uint8_t smoothing = 0;
    std::uint8_t fullScreen = 0;
    // The drawable size of the window the game drew in.
    std::int32_t drawableWidth = 0;
    std::int32_t drawableHeight = 0;
    // options.ini with --set over it, as option-file lines.
    std::string options;
    // The bindings of controls.ini, as controls-file lines.
    std::string controls;
    // The --level file (empty: the game started in the options menu) and
    // the AI nodes' index it was entered with.
    std::string levelFile;
    std::int32_t levelIndex = 1;
};

// The input calls whose only reading is their success.
enum class DeviceCall : std::uint8_t {
    CreateKeyboard,
    CreateSharedMouse,
    CreateExclusiveMouse,
    AcquireKeyboard,
    AcquireMouse,
};
constexpr int kDeviceCalls = 5;

// One decoded record of the stream.
struct DemoRecord {
    enum class Kind : std::uint8_t {
        Ticks,         // `count` readings of the millisecond clock, all `tick`
        Counter,       // one reading of the high-resolution counter
        Keyboard,      // a keyboard read: its success and the keys it changed
        Mouse,         // a mouse read: its success and the fields it changed
        Pad,           // a pad read: its success, the pad plugged in or not, what changed
        Device,        // a device call and its success
        WindowEvent,   // the window event a pass of the main loop handled
        FrameEnd,
        End,
    };
    Kind kind = Kind::FrameEnd;
    std::uint32_t tick = 0;
    std::uint64_t count = 0;
    std::int64_t counter = 0;
    bool ok = false;
    // Keyboard: the codes that changed and their new values.
    int keyChanges = 0;
    std::array<std::uint8_t, kKeyTableSize> changedCodes{};
    std::array<std::uint8_t, kKeyTableSize> changedValues{};
    // Mouse: which fields changed (bits 0..3: x, y, wheel, buttons) and to what.
    std::uint8_t mouseChanged = 0;
    MouseState mouse;
    // Pad: which fields changed (bits 0..5 the axes, pad_field::Buttons) and to what.
    std::uint8_t padChanged = 0;
    PadState pad;
    DeviceCall call = DeviceCall::CreateKeyboard;
    platform::WindowEvent event;
    // End: the frames recorded and the state they ended in.
    std::uint32_t frames = 0;
    std::uint64_t stateHash = 0;
};

// Bits of DemoRecord::mouseChanged.
namespace mouse_field {
constexpr std::uint8_t X = 1, Y = 2, Wheel = 4, Buttons = 8;
}
// The buttons' bit of DemoRecord::padChanged, above the axes' bits.
namespace pad_field {
constexpr std::uint8_t Buttons = 1u << kPadAxes;
}

// Encodes records into bytes. Equal millisecond readings in a row become
// one run, so a spin-wait costs a byte or two.
class DemoStreamWriter {
public:
    void Tick(std::uint32_t value);
    void Counter(std::int64_t value);
    void Keyboard(bool ok, const std::uint8_t (&before)[kKeyTableSize],
                  const std::uint8_t (&after)[kKeyTableSize]);
    void Mouse(bool ok, const MouseState& before, const MouseState& after);
    void Pad(bool ok, const PadState& before, const PadState& after);
    void Device(DeviceCall call, bool ok);
    void WindowEvent(const platform::WindowEvent& event);
    void FrameEnd();
    void End(std::uint32_t frames, std::uint64_t stateHash);
    // The bytes written since the last call.
    std::vector<std::uint8_t> TakeBytes();

private:
    void FlushRun();
    void Varint(std::uint64_t value);

    std::vector<std::uint8_t> bytes;
    std::uint32_t lastTick = 0;
    std::int64_t lastCounter = 0;
    std::uint32_t runTick = 0;
    std::uint64_t runCount = 0;
};

// Decodes records from a stream, checking every byte it reads.
class DemoStreamReader {
public:
    explicit DemoStreamReader(const std::vector<std::uint8_t>& stream) : stream(stream) {}
    // The next record; false at the end of the stream or (with the reason
    // in `error`) at a malformed record.
    bool Next(DemoRecord& out, std::string& error);
    bool AtEnd() const { return position >= stream.size(); }
    std::size_t Position() const { return position; }

private:
    bool Byte(std::uint8_t& out);
    bool Varint(std::uint64_t& out);
    bool Fail(std::string& error, const std::string& what);

    const std::vector<std::uint8_t>& stream;
    std::size_t position = 0;
    std::uint32_t lastTick = 0;
    std::int64_t lastCounter = 0;
};

// The header as the file begins: magic, version, then the header's fields.
std::vector<std::uint8_t> EncodeDemoHeader(const DemoHeader& header);
// One chunk of the stream as the file holds it: length, checksum, bytes.
std::vector<std::uint8_t> EncodeDemoChunk(const std::vector<std::uint8_t>& stream);

struct Demo {
    DemoHeader header;
    // Every chunk's records, joined.
    std::vector<std::uint8_t> stream;
    // Frames recorded (passes of the main loop that ran a frame).
    std::uint32_t frames = 0;
    // False when the recording stopped without its end record (the game
    // was killed); `frames` then counts what there is.
    bool ended = false;
    std::uint64_t stateHash = 0;
};

// A whole demo file's bytes checked and decoded. The version is not judged
// here: the caller compares it (and the content) with the game's.
std::optional<Demo> DecodeDemo(const std::vector<std::uint8_t>& bytes, std::string& error);
// The file at `path`, read and decoded; refuses files over kMaxDemoFileSize.
std::optional<Demo> ReadDemoFile(const std::string& path, std::string& error);
