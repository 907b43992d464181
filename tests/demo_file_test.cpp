// Demo files: what a recorder writes comes back from a player call for call,
// compactly, and damaged or hostile files are refused with their reason.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "demo/demo_devices.h"
#include "demo/demo_file.h"
#include "fake_clock.h"
#include "input/key_codes.h"
#include "input/scripted_input.h"

namespace {

using platform::WindowEvent;

std::vector<std::uint8_t> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

WindowEvent Event(WindowEvent::Type type, platform::WindowKey key = platform::WindowKey::Escape,
                  int width = 0, int height = 0) {
    WindowEvent e;
    e.type = type;
    e.key = key;
    e.width = width;
    e.height = height;
    return e;
}

// A game's worth of calls in miniature, made on `clock` and `devices`;
// every answer goes into the transcript. `events` stands for the window:
// the recorder writes the events, the player hands them back.
template <typename Events>
std::vector<std::int64_t> Drive(Clock& clock, InputDevices& devices, Events&& events,
                                FakeClock* live, ScriptedInput* script) {
    std::vector<std::int64_t> t;
    std::uint8_t keys[kKeyTableSize] = {};
    MouseState mouse;
    PadState pad;
    auto read = [&] {
        t.push_back(devices.ReadKeyboard(keys));
        for (std::uint8_t k : keys) t.push_back(k);
        t.push_back(devices.ReadMouse(mouse));
        t.insert(t.end(), {mouse.lX, mouse.lY, mouse.lZ, mouse.rgbButtons[0], mouse.rgbButtons[3]});
        t.push_back(devices.ReadPad(pad));
        t.push_back(pad.connected);
        t.insert(t.end(), std::begin(pad.axes), std::end(pad.axes));
        t.push_back(pad.buttons);
    };
    // Start-up.
    t.insert(t.end(), {devices.CreateKeyboard(), devices.CreateMouse(true), devices.AcquireKeyboard(),
                       devices.AcquireMouse()});
    t.push_back(clock.TickCount());
    t.push_back(clock.Counter());
    events(WindowEvent{}, false, t);
    // Frame 1: a window key, keys and buttons down, the mouse moved, and a
    // spin-wait's worth of equal readings.
    events(Event(WindowEvent::Type::KeyDown, platform::WindowKey::F9), true, t);
    if (script) {
        script->Hold(key::W);
        script->Hold(key::Space);
        script->MoveMouse(7, -3);
        script->TurnWheel(-1);
        script->PressButton(0, true);
        script->pad.connected = true;
        script->pad.axes[pad_axis::LeftY] = -32768;
        script->pad.axes[pad_axis::RightTrigger] = 32767;
        script->pad.buttons = 1u << pad_button::A | 1u << pad_button::DpadRight;
    }
    read();
    for (int i = 0; i < 3000; ++i) {
        t.push_back(clock.TickCount());
        if (live && i % 1000 == 999) live->AdvanceMs(1);
    }
    t.push_back(clock.Counter());
    events(WindowEvent{}, false, t);
    // Frame 2: the focus lost (reads fail), the millisecond clock wrapping
    // round and the counter leaping.
    if (script) {
        script->SetFocused(false);
        script->Release(key::W);
    }
    if (live) live->nowMicros = (0x100000000ull - 2) * 1000;
    read();
    t.push_back(devices.AcquireKeyboard());
    t.push_back(clock.TickCount());
    if (live) live->AdvanceMs(5);
    t.push_back(clock.TickCount());
    t.push_back(clock.Counter());
    events(WindowEvent{}, false, t);
    // Frame 3: focus back, buttons up; then a resize and the quit.
    if (script) {
        script->SetFocused(true);
        script->PressButton(0, false);
    }
    read();
    events(WindowEvent{}, false, t);
    events(Event(WindowEvent::Type::Resized, {}, 640, 360), true, t);
    events(Event(WindowEvent::Type::Quit), true, t);
    return t;
}

constexpr std::uint64_t kEndState = 0x0123456789abcdefull;

void Note(std::vector<std::int64_t>& t, const WindowEvent& e) {
    t.insert(t.end(), {static_cast<int>(e.type), static_cast<int>(e.key), e.width, e.height});
}

class DemoFileTest : public ::testing::Test {
protected:
    // Records Drive into `path` and returns its transcript.
    std::vector<std::int64_t> Record() {
        DemoRecorder recorder(live, script);
        std::string error;
        EXPECT_TRUE(recorder.Start(path, header, error)) << error;
        int frames = -1;  // the first frame end closes the start-up
        auto events = [&](const WindowEvent& e, bool isEvent, std::vector<std::int64_t>& t) {
            if (!isEvent) {
                recorder.EndFrame();
                ++frames;
                return;
            }
            recorder.RecordWindowEvent(e);
            Note(t, e);
        };
        std::vector<std::int64_t> t = Drive(recorder, recorder, events, &live, &script);
        EXPECT_TRUE(recorder.Finish(static_cast<std::uint32_t>(frames), kEndState));
        return t;
    }
    // Plays the demo against Drive; returns its transcript.
    std::vector<std::int64_t> Play(DemoPlayer& player) {
        auto events = [&](const WindowEvent&, bool isEvent, std::vector<std::int64_t>& t) {
            if (!isEvent) return player.EndFrame();
            WindowEvent got;
            EXPECT_TRUE(player.NextWindowEvent(got));
            Note(t, got);
        };
        return Drive(player, player, events, nullptr, nullptr);
    }
    std::optional<Demo> Decode(const std::vector<std::uint8_t>& bytes, std::string& error) {
        return DecodeDemo(bytes, error);
    }

    // One file a test: the suite's tests run side by side.
    std::string path = ::testing::TempDir() + std::string("demo_file_") +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".dem";
    FakeClock live;
    ScriptedInput script;
    DemoHeader header = [] {
        DemoHeader h;
        h.contentHash = 42;
        h.seed = 7;
        h.clockFrequency = 1000000000;
        h.width = 640;
        h.height = 480;
        h.options = "mouse_sensitivity = 1\n";
        h.controls = "jump = Pad Y\n";
        h.levelFile = "levels/level2.spt";
        h.levelIndex = 3;
        return h;
    }();
};

TEST_F(DemoFileTest, APlayerAnswersEveryCallAsTheRecordingWas) {
    const std::vector<std::int64_t> recorded = Record();
    std::string error;
    const std::optional<Demo> demo = ReadDemoFile(path, error);
    ASSERT_TRUE(demo.has_value()) << error;
    EXPECT_EQ(demo->header.levelFile, header.levelFile);
    EXPECT_EQ(demo->header.options, header.options);
    EXPECT_EQ(demo->header.controls, header.controls);
    EXPECT_EQ(demo->header.seed, 7u);
    EXPECT_TRUE(demo->ended);
    EXPECT_EQ(demo->frames, 3u);
    EXPECT_EQ(demo->stateHash, kEndState);

    DemoPlayer player(*demo);
    EXPECT_EQ(Play(player), recorded);
    EXPECT_EQ(player.Problem(), "");
    EXPECT_TRUE(player.AtEnd());
    EXPECT_EQ(player.FramesPlayed(), 3u);
}

TEST_F(DemoFileTest, UnchangedInputCostsTwoBytesAFrameAndASpinWaitAFew) {
    DemoStreamWriter writer;
    std::uint8_t keys[kKeyTableSize] = {};
    const MouseState still;
    writer.Keyboard(true, keys, keys);
    writer.Mouse(true, still, still);
    writer.FrameEnd();
    EXPECT_EQ(writer.TakeBytes().size(), 3u);
    for (int i = 0; i < 100000; ++i) writer.Tick(5000);
    writer.Tick(5001);
    EXPECT_LE(writer.TakeBytes().size(), 8u);
}

TEST_F(DemoFileTest, AnotherCallThanTheRecordedOnePutsThePlaybackOutOfStep) {
    Record();
    std::string error;
    const std::optional<Demo> demo = ReadDemoFile(path, error);
    ASSERT_TRUE(demo.has_value()) << error;
    DemoPlayer player(*demo);
    EXPECT_TRUE(player.CreateKeyboard());
    MouseState mouse;
    EXPECT_FALSE(player.ReadMouse(mouse)) << "the recording created the mouse here";
    EXPECT_TRUE(player.OutOfStep());
    EXPECT_EQ(player.Problem(),
              "out of step in frame 1: the game took a mouse read where the demo has a device call");
    // The clock still runs, so a wait on it ends; reads fail.
    const std::uint32_t first = player.TickCount();
    EXPECT_GT(player.TickCount(), first);
    std::uint8_t keys[kKeyTableSize] = {};
    EXPECT_FALSE(player.ReadKeyboard(keys));
    EXPECT_TRUE(player.AtEnd());
}

TEST_F(DemoFileTest, DamagedAndTruncatedDemosAreRefusedWithTheirReason) {
    Record();
    const std::vector<std::uint8_t> good = FileBytes(path);
    std::string error;
    ASSERT_TRUE(Decode(good, error).has_value()) << error;

    EXPECT_FALSE(Decode({}, error).has_value());
    EXPECT_EQ(error, "it is not a demo file");
    const std::string text = "a level file, not a demo";
    EXPECT_FALSE(Decode({text.begin(), text.end()}, error).has_value());
    EXPECT_EQ(error, "it is not a demo file");

    // Every cut: refused as truncated, or (cut between chunks) the whole
    // frames before it, without the end.
    for (std::size_t size = kDemoMagicSize; size < good.size(); ++size) {
        const std::vector<std::uint8_t> cut(good.begin(), good.begin() + size);
        const std::optional<Demo> demo = Decode(cut, error);
        if (demo) {
            EXPECT_FALSE(demo->ended) << size;
            EXPECT_LE(demo->frames, 3u);
        } else {
            EXPECT_TRUE(error.find("truncated") != std::string::npos ||
                        error.find("no start of a game") != std::string::npos)
                << size << ": " << error;
        }
    }
    // Every flipped byte past the version: refused by a checksum or a check.
    for (std::size_t at = kDemoMagicSize + 4; at < good.size(); ++at) {
        std::vector<std::uint8_t> bad = good;
        bad[at] ^= 0x5a;
        EXPECT_FALSE(Decode(bad, error).has_value()) << at;
        EXPECT_NE(error, "") << at;
    }
    std::vector<std::uint8_t> chunkDamaged = good;
    chunkDamaged.back() ^= 1;
    EXPECT_FALSE(Decode(chunkDamaged, error).has_value());
    EXPECT_NE(error.find("fails its checksum"), std::string::npos) << error;
}

TEST_F(DemoFileTest, HostileRecordsWithGoodChecksumsAreRefused) {
    const std::vector<std::uint8_t> head = EncodeDemoHeader(header);
    const std::vector<std::pair<std::vector<std::uint8_t>, std::string>> cases = {
        {{0xff}, "an unknown record 0xff"},
        {{0x00, 0x02, 0xff, 0xff, 0xff, 0xff, 0x0f}, "a run of clock readings is too long"},
        {{0x20, 0x80, 0x02}, "a keyboard read lists too many keys"},
        {{0x10, 0x80, 0x80}, "a counter reading is cut short"},
        {{0x62, 0x0c}, "a window key is not one"},
        {{0x83, 0x01, 0x80, 0xf1, 0x04}, "a pad axis is out of range"},
        {{0x83, 0x80}, "a pad read is damaged"},
        {{0x83, 0x40, 0x80, 0x80, 0x04}, "a pad read is damaged"},
        {{0x70, 0x71, 0x05, 0, 0, 0, 0, 0, 0, 0, 0}, "its end counts 5 frames where it holds 0"},
        {{0x70, 0x71, 0x00, 0, 0, 0, 0, 0, 0, 0, 0, 0x70}, "records follow its end"},
    };
    for (const auto& [records, reason] : cases) {
        std::vector<std::uint8_t> bytes = head;
        const std::vector<std::uint8_t> chunk = EncodeDemoChunk(records);
        bytes.insert(bytes.end(), chunk.begin(), chunk.end());
        std::string error;
        EXPECT_FALSE(Decode(bytes, error).has_value()) << reason;
        EXPECT_NE(error.find(reason), std::string::npos) << error;
    }
    DemoHeader stopped = header;
    stopped.clockFrequency = 0;
    std::string error;
    EXPECT_FALSE(Decode(EncodeDemoHeader(stopped), error).has_value());
    EXPECT_NE(error.find("its clock runs at 0 counts per second"), std::string::npos) << error;
}

}  // namespace
