#include "demo/demo_devices.h"

#include <cstring>

namespace {
// How often the records reach the file, in milliseconds of the clock: a
// game that stops abruptly loses less than a second.
constexpr std::uint32_t kWriteEveryMs = 900;
// While out of step the clock moves this much per reading, so a wait on it
// still ends.
constexpr std::uint32_t kLostStepMs = 1;

const char* KindName(DemoRecord::Kind kind) {
    switch (kind) {
        case DemoRecord::Kind::Ticks: return "a clock reading";
        case DemoRecord::Kind::Counter: return "a counter reading";
        case DemoRecord::Kind::Keyboard: return "a keyboard read";
        case DemoRecord::Kind::Mouse: return "a mouse read";
        case DemoRecord::Kind::Pad: return "a pad read";
        case DemoRecord::Kind::Device: return "a device call";
        case DemoRecord::Kind::WindowEvent: return "a window event";
        case DemoRecord::Kind::FrameEnd: return "the end of the frame";
        case DemoRecord::Kind::End: return "the end of the demo";
    }
    return "a record";
}

DeviceCall MouseCall(bool exclusive) {
    return exclusive ? DeviceCall::CreateExclusiveMouse : DeviceCall::CreateSharedMouse;
}
}  // namespace

// ---- recording ----

bool DemoRecorder::Start(const std::string& path, const DemoHeader& header, std::string& error) {
    file.reset(std::fopen(path.c_str(), "wb"));
    if (!file) {
        error = "cannot create the demo " + path;
        return false;
    }
    const std::vector<std::uint8_t> bytes = EncodeDemoHeader(header);
    if (std::fwrite(bytes.data(), 1, bytes.size(), file.get()) != bytes.size() ||
        std::fflush(file.get()) != 0) {
        error = "cannot write the demo " + path;
        return false;
    }
    written = bytes.size();
    lastWrite = clock.TickCount();
    return true;
}

void DemoRecorder::WriteChunk() {
    const std::vector<std::uint8_t> chunk = EncodeDemoChunk(writer.TakeBytes());
    if (!file || writeFailed) return;
    if (std::fwrite(chunk.data(), 1, chunk.size(), file.get()) != chunk.size() ||
        std::fflush(file.get()) != 0) {
        writeFailed = true;
        return;
    }
    written += chunk.size();
}

void DemoRecorder::RecordWindowEvent(const platform::WindowEvent& event) { writer.WindowEvent(event); }

void DemoRecorder::EndFrame() {
    writer.FrameEnd();
    // Read past the recording: the game does not see this reading.
    const std::uint32_t now = clock.TickCount();
    if (now - lastWrite < kWriteEveryMs) return;
    lastWrite = now;
    WriteChunk();
}

bool DemoRecorder::Finish(std::uint32_t frames, std::uint64_t stateHash) {
    writer.End(frames, stateHash);
    WriteChunk();
    const bool closed = file && std::fclose(file.release()) == 0;
    return closed && !writeFailed;
}

std::uint32_t DemoRecorder::TickCount() {
    const std::uint32_t value = clock.TickCount();
    writer.Tick(value);
    return value;
}

std::int64_t DemoRecorder::Counter() {
    const std::int64_t value = clock.Counter();
    writer.Counter(value);
    return value;
}

bool DemoRecorder::Call(DeviceCall call, bool ok) {
    writer.Device(call, ok);
    return ok;
}

bool DemoRecorder::CreateKeyboard() { return Call(DeviceCall::CreateKeyboard, devices.CreateKeyboard()); }
bool DemoRecorder::CreateMouse(bool exclusive) {
    return Call(MouseCall(exclusive), devices.CreateMouse(exclusive));
}
bool DemoRecorder::AcquireKeyboard() { return Call(DeviceCall::AcquireKeyboard, devices.AcquireKeyboard()); }
bool DemoRecorder::AcquireMouse() { return Call(DeviceCall::AcquireMouse, devices.AcquireMouse()); }

bool DemoRecorder::ReadKeyboard(std::uint8_t (&keys)[kKeyTableSize]) {
    std::uint8_t before[kKeyTableSize];
    std::memcpy(before, keys, sizeof before);
    const bool ok = devices.ReadKeyboard(keys);
    writer.Keyboard(ok, before, keys);
    return ok;
}

bool DemoRecorder::ReadMouse(MouseState& state) {
    const MouseState before = state;
    const bool ok = devices.ReadMouse(state);
    writer.Mouse(ok, before, state);
    return ok;
}

// ---- playback ----

DemoPlayer::DemoPlayer(const Demo& demo) : demo(demo), reader(demo.stream) {}

void DemoPlayer::LoseStep(const std::string& what) {
    if (!problem.empty()) return;
    ticksLeft = 0;
    problem = "out of step in frame " + std::to_string(FramesPlayed() + 1) + ": " + what;
}

bool DemoPlayer::Peek() {
    if (havePeeked) return true;
    std::string error;
    havePeeked = reader.Next(next, error);
    if (!error.empty()) LoseStep(error);
    return havePeeked;
}

bool DemoPlayer::Take(DemoRecord::Kind kind, const char* what) {
    if (OutOfStep()) return false;
    if (ticksLeft > 0) {
        LoseStep(std::string("the game took ") + what + " where the demo has more clock readings");
        return false;
    }
    if (!Peek()) {
        LoseStep(std::string("the game took ") + what + " after the demo's last record");
        return false;
    }
    if (next.kind != kind) {
        LoseStep(std::string("the game took ") + what + " where the demo has " + KindName(next.kind));
        return false;
    }
    havePeeked = false;
    return true;
}

bool DemoPlayer::NextWindowEvent(platform::WindowEvent& event) {
    if (OutOfStep() || ticksLeft > 0 || !Peek() || next.kind != DemoRecord::Kind::WindowEvent)
        return false;
    havePeeked = false;
    event = next.event;
    return true;
}

void DemoPlayer::EndFrame() {
    if (Take(DemoRecord::Kind::FrameEnd, "the end of the frame")) ++frameEnds;
}

bool DemoPlayer::AtEnd() {
    if (OutOfStep()) return true;
    if (ticksLeft > 0) return false;
    return !Peek() || next.kind == DemoRecord::Kind::End;
}

std::uint32_t DemoPlayer::TickCount() {
    if (ticksLeft == 0 && Take(DemoRecord::Kind::Ticks, "a clock reading")) {
        tick = next.tick;
        ticksLeft = next.count;
    }
    if (ticksLeft == 0) return tick += kLostStepMs;
    --ticksLeft;
    return tick;
}

std::int64_t DemoPlayer::Counter() {
    if (Take(DemoRecord::Kind::Counter, "a counter reading")) counter = next.counter;
    else counter += demo.header.clockFrequency / 1000;
    return counter;
}

bool DemoPlayer::Call(DeviceCall call) {
    if (!Take(DemoRecord::Kind::Device, "a device call")) return false;
    if (next.call != call) {
        LoseStep("the game made another device call than the demo's");
        return false;
    }
    return next.ok;
}

bool DemoPlayer::CreateMouse(bool exclusive) { return Call(MouseCall(exclusive)); }

bool DemoPlayer::ReadKeyboard(std::uint8_t (&keys)[kKeyTableSize]) {
    if (!Take(DemoRecord::Kind::Keyboard, "a keyboard read")) return false;
    for (int i = 0; i < next.keyChanges; ++i) keys[next.changedCodes[i]] = next.changedValues[i];
    return next.ok;
}

bool DemoPlayer::ReadMouse(MouseState& state) {
    if (!Take(DemoRecord::Kind::Mouse, "a mouse read")) return false;
    if (next.mouseChanged & mouse_field::X) state.lX = next.mouse.lX;
    if (next.mouseChanged & mouse_field::Y) state.lY = next.mouse.lY;
    if (next.mouseChanged & mouse_field::Wheel) state.lZ = next.mouse.lZ;
    if (next.mouseChanged & mouse_field::Buttons)
        std::memcpy(state.rgbButtons, next.mouse.rgbButtons, sizeof state.rgbButtons);
    return next.ok;
}

bool DemoRecorder::ReadPad(PadState& pad) {
    const bool ok = devices.ReadPad(pad);
    writer.Pad(ok, lastPad, pad);
    lastPad = pad;
    return ok;
}

bool DemoPlayer::ReadPad(PadState& state) {
    if (!Take(DemoRecord::Kind::Pad, "a pad read")) {
        state = PadState{};
        return false;
    }
    pad.connected = next.pad.connected;
    for (int axis = 0; axis < kPadAxes; ++axis)
        if (next.padChanged & (1u << axis)) pad.axes[axis] = next.pad.axes[axis];
    if (next.padChanged & pad_field::Buttons) pad.buttons = next.pad.buttons;
    state = pad;
    return next.ok;
}
