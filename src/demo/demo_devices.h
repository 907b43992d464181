#pragma once
// The game's input devices and clock, recorded or played back. Both stand
// where the game expects its devices and its clock, so a recording and its
// playback run the very same frame code.
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "demo/demo_file.h"
#include "input/input.h"
#include "base/clock.h"

// Passes every call on to the real devices and clock and writes what they
// answered. The game reads it as both its devices and its clock.
class DemoRecorder final : public Clock, public InputDevices {
public:
    DemoRecorder(Clock& clock, InputDevices& devices) : clock(clock), devices(devices) {}

    // Creates the file and writes the header; false with the reason.
    bool Start(const std::string& path, const DemoHeader& header, std::string& error);
    // The window event a pass of the main loop handles.
    void RecordWindowEvent(const platform::WindowEvent& event);
    // Closes the start-up or a frame. About once a second of the clock the
    // records so far reach the file.
    void EndFrame();
    // The end record and the last records written and the file closed;
    // false when anything could not be written.
    bool Finish(std::uint32_t frames, std::uint64_t stateHash);
    // Bytes written to the file so far.
    std::uint64_t BytesWritten() const { return written; }

    std::uint32_t TickCount() override;
    std::int64_t Counter() override;
    std::int64_t Frequency() override { return clock.Frequency(); }
    void Sleep(std::uint32_t ms) override { clock.Sleep(ms); }
    void Relax() override { clock.Relax(); }

    bool CreateKeyboard() override;
    bool CreateMouse(bool exclusive) override;
    bool AcquireKeyboard() override;
    void UnacquireKeyboard() override { devices.UnacquireKeyboard(); }
    bool AcquireMouse() override;
    void UnacquireMouse() override { devices.UnacquireMouse(); }
    bool ReadKeyboard(std::uint8_t (&keys)[kKeyTableSize]) override;
    bool ReadMouse(MouseState& state) override;
    // Pictures only: not recorded.
    bool PeekMouseMotion(int& dx, int& dy) override { return devices.PeekMouseMotion(dx, dy); }
    bool ReadPad(PadState& pad) override;
    // What the game sends to the pad is no reading: not recorded.
    void RumblePad(float low, float high, std::uint32_t ms) override { devices.RumblePad(low, high, ms); }

private:
    bool Call(DeviceCall call, bool ok);
    void WriteChunk();

    struct FileCloser {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    Clock& clock;
    InputDevices& devices;
    DemoStreamWriter writer;
    std::unique_ptr<std::FILE, FileCloser> file;
    std::uint32_t lastWrite = 0;
    std::uint64_t written = 0;
    bool writeFailed = false;
    PadState lastPad;
};

// Answers the game's calls from a demo. A call that is not the one the
// recording took next puts the playback out of step: from then on the
// clock runs on by itself and the devices cannot be read, so the frame
// finishes and the caller can stop.
class DemoPlayer final : public Clock, public InputDevices {
public:
    // The game paces its frames on a clock of its own: this one's sleeps and
    // pauses take no time.
    explicit DemoPlayer(const Demo& demo);

    // The window event the recording handled at the start of this pass.
    bool NextWindowEvent(platform::WindowEvent& event);
    // Checks the frame (or the start-up) took every recorded reading.
    void EndFrame();
    // The recording ends here: its end record or the last whole frame.
    bool AtEnd();
    bool OutOfStep() const { return !problem.empty(); }
    // What put the playback out of step, with the frame.
    const std::string& Problem() const { return problem; }
    // Frames played (frame ends passed after the start-up).
    std::uint32_t FramesPlayed() const { return frameEnds > 0 ? frameEnds - 1 : 0; }

    std::uint32_t TickCount() override;
    std::int64_t Counter() override;
    std::int64_t Frequency() override { return demo.header.clockFrequency; }
    void Sleep(std::uint32_t) override {}
    void Relax() override {}

    bool CreateKeyboard() override { return Call(DeviceCall::CreateKeyboard); }
    bool CreateMouse(bool exclusive) override;
    bool AcquireKeyboard() override { return Call(DeviceCall::AcquireKeyboard); }
    void UnacquireKeyboard() override {}
    bool AcquireMouse() override { return Call(DeviceCall::AcquireMouse); }
    void UnacquireMouse() override {}
    bool ReadKeyboard(std::uint8_t (&keys)[kKeyTableSize]) override;
    bool ReadMouse(MouseState& state) override;
    bool ReadPad(PadState& state) override;

private:
    // The next record if it is of `kind` (taken), else out of step.
    bool Take(DemoRecord::Kind kind, const char* what);
    bool Peek();
    bool Call(DeviceCall call);
    void LoseStep(const std::string& what);

    const Demo& demo;
    DemoStreamReader reader;
    DemoRecord next;
    bool havePeeked = false;
    std::uint64_t ticksLeft = 0;
    std::uint32_t tick = 0;
    std::int64_t counter = 0;
    std::uint32_t frameEnds = 0;
    std::string problem;
    PadState pad;  // as the recorded reads left it
};
