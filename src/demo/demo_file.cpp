#include "demo/demo_file.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>

#include "base/fnv_hash.h"

namespace {

// Record tags. The low bits of a tag carry flags, so the commonest records
// (an unchanged keyboard, a still mouse, a repeated clock reading) are one
// byte each.
namespace tag {
constexpr std::uint8_t Ticks = 0x00;          // | SameTick | SingleTick
constexpr std::uint8_t SameTick = 0x01;       // no delta follows: the last value again
constexpr std::uint8_t SingleTick = 0x02;     // no count follows: one reading
constexpr std::uint8_t Counter = 0x10;
constexpr std::uint8_t Keyboard = 0x20;       // | KeyboardOk | KeysUnchanged
constexpr std::uint8_t KeyboardOk = 0x01;
constexpr std::uint8_t KeysUnchanged = 0x02;
constexpr std::uint8_t MouseOk = 0x30;        // | the mouse_field bits
constexpr std::uint8_t MouseFailed = 0x40;    // | the mouse_field bits
constexpr std::uint8_t Device = 0x50;         // | call << 1 | success
constexpr std::uint8_t WindowEvent = 0x60;    // | event type
constexpr std::uint8_t FrameEnd = 0x70;
constexpr std::uint8_t Pad = 0x80;            // | PadOk | PadConnected | PadUnchanged
constexpr std::uint8_t PadOk = 0x01;
constexpr std::uint8_t PadConnected = 0x02;
constexpr std::uint8_t PadUnchanged = 0x04;
constexpr std::uint8_t End = 0x71;
constexpr std::uint8_t FlagBits = 0x0f;
constexpr std::uint8_t KindBits = 0xf0;
}  // namespace tag

constexpr int kWindowEventTypes = 5;
constexpr int kWindowKeys = 10;
constexpr std::size_t kChunkPrefix = 8;  // length and checksum

std::uint64_t ZigZag(std::int64_t value) {
    const auto bits = static_cast<std::uint64_t>(value);
    return (bits << 1) ^ (value < 0 ? ~std::uint64_t{0} : 0);
}

std::int64_t UnZigZag(std::uint64_t value) {
    return static_cast<std::int64_t>((value >> 1) ^ (~(value & 1) + 1));
}

std::uint32_t Checksum(const std::uint8_t* data, std::size_t size) {
    const std::uint64_t wide = FnvHash().Bytes(data, size).Value();
    return static_cast<std::uint32_t>(wide ^ (wide >> 32));
}

void PutU32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutU64(std::vector<std::uint8_t>& out, std::uint64_t value) {
    for (int i = 0; i < 8; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutText(std::vector<std::uint8_t>& out, const std::string& text) {
    PutU32(out, static_cast<std::uint32_t>(text.size()));
    out.insert(out.end(), text.begin(), text.end());
}

// Reads little-endian fields from a byte range, remembering the first
// shortfall instead of reading past the end.
class FieldReader {
public:
    FieldReader(const std::uint8_t* data, std::size_t size) : data(data), size(size) {}
    std::uint64_t Unsigned(int bytes) {
        if (!Has(static_cast<std::size_t>(bytes))) return 0;
        std::uint64_t value = 0;
        for (int i = 0; i < bytes; ++i) value |= std::uint64_t{data[at + i]} << (8 * i);
        at += static_cast<std::size_t>(bytes);
        return value;
    }
    std::uint32_t U32() { return static_cast<std::uint32_t>(Unsigned(4)); }
    std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
    std::uint8_t U8() { return static_cast<std::uint8_t>(Unsigned(1)); }
    std::string Text(const char* field) {
        const std::uint32_t length = U32();
        if (length > kMaxDemoText) {
            problem = std::string("its ") + field + " is " + std::to_string(length) + " bytes long";
            return {};
        }
        if (!Has(length)) return {};
        std::string text(reinterpret_cast<const char*>(data + at), length);
        at += length;
        return text;
    }
    bool Good() const { return problem.empty(); }
    std::size_t Consumed() const { return at; }
    std::string problem;

private:
    bool Has(std::size_t bytes) {
        if (!problem.empty()) return false;
        if (size - at >= bytes) return true;
        problem = "it is truncated";
        return false;
    }
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
};

std::vector<std::uint8_t> EncodeHeaderFields(const DemoHeader& h) {
    std::vector<std::uint8_t> out;
    PutU64(out, h.contentHash);
    PutU32(out, h.seed);
    PutU64(out, static_cast<std::uint64_t>(h.clockFrequency));
    for (std::int32_t value : {h.width, h.height, h.colourBits, h.depthBits})
        PutU32(out, static_cast<std::uint32_t>(value));
    out.push_back(h.smoothing);
    out.push_back(h.fullScreen);
    PutU32(out, static_cast<std::uint32_t>(h.drawableWidth));
    PutU32(out, static_cast<std::uint32_t>(h.drawableHeight));
    PutText(out, h.options);
    PutText(out, h.controls);
    PutText(out, h.levelFile);
    PutU32(out, static_cast<std::uint32_t>(h.levelIndex));
    return out;
}

bool DecodeHeaderFields(FieldReader& in, DemoHeader& h, std::string& error) {
    h.contentHash = in.Unsigned(8);
    h.seed = in.U32();
    h.clockFrequency = static_cast<std::int64_t>(in.Unsigned(8));
    h.width = in.I32();
    h.height = in.I32();
    h.colourBits = in.I32();
    h.depthBits = in.I32();
    h.smoothing = in.U8();
    h.fullScreen = in.U8();
    h.drawableWidth = in.I32();
    h.drawableHeight = in.I32();
    h.options = in.Text("option list");
    h.controls = in.Text("control list");
    h.levelFile = in.Text("level path");
    h.levelIndex = in.I32();
    if (!in.Good()) {
        error = "the demo's header is damaged: " + in.problem;
        return false;
    }
    if (h.clockFrequency <= 0) {
        error = "the demo's header is damaged: its clock runs at " +
                std::to_string(h.clockFrequency) + " counts per second";
        return false;
    }
    return true;
}

// Checks that the records form frames ending in one end record, and counts
// the frames. A recording cut off without its end keeps its whole frames.
bool CheckStream(Demo& demo, std::string& error) {
    DemoStreamReader reader(demo.stream);
    DemoRecord record;
    std::uint32_t frameEnds = 0;
    std::size_t afterLastFrame = 0;
    while (reader.Next(record, error)) {
        if (record.kind == DemoRecord::Kind::FrameEnd) {
            ++frameEnds;
            afterLastFrame = reader.Position();
        }
        if (record.kind != DemoRecord::Kind::End) continue;
        if (!reader.AtEnd()) {
            error = "the demo is damaged: records follow its end";
            return false;
        }
        if (frameEnds == 0 || record.frames != frameEnds - 1) {
            error = "the demo is damaged: its end counts " + std::to_string(record.frames) +
                    " frames where it holds " + std::to_string(frameEnds ? frameEnds - 1 : 0);
            return false;
        }
        demo.ended = true;
        demo.stateHash = record.stateHash;
    }
    if (!error.empty()) return false;
    if (frameEnds == 0) {
        error = "the demo holds no start of a game";
        return false;
    }
    demo.frames = frameEnds - 1;
    if (!demo.ended) demo.stream.resize(afterLastFrame);
    return true;
}

}  // namespace

// ---- writing ----

void DemoStreamWriter::Varint(std::uint64_t value) {
    while (value >= 0x80) {
        bytes.push_back(static_cast<std::uint8_t>(value | 0x80));
        value >>= 7;
    }
    bytes.push_back(static_cast<std::uint8_t>(value));
}

void DemoStreamWriter::FlushRun() {
    if (runCount == 0) return;
    std::uint8_t t = tag::Ticks;
    if (runTick == lastTick) t |= tag::SameTick;
    if (runCount == 1) t |= tag::SingleTick;
    bytes.push_back(t);
    if (runTick != lastTick)
        Varint(ZigZag(static_cast<std::int32_t>(runTick - lastTick)));
    if (runCount != 1) Varint(runCount - 2);
    lastTick = runTick;
    runCount = 0;
}

void DemoStreamWriter::Tick(std::uint32_t value) {
    if (runCount > 0 && (value != runTick || runCount == kMaxDemoRun)) FlushRun();
    runTick = value;
    ++runCount;
}

void DemoStreamWriter::Counter(std::int64_t value) {
    FlushRun();
    bytes.push_back(tag::Counter);
    Varint(ZigZag(static_cast<std::int64_t>(static_cast<std::uint64_t>(value) -
                                            static_cast<std::uint64_t>(lastCounter))));
    lastCounter = value;
}

void DemoStreamWriter::Keyboard(bool ok, const std::uint8_t (&before)[kKeyTableSize],
                                const std::uint8_t (&after)[kKeyTableSize]) {
    FlushRun();
    int changes = 0;
    for (int code = 0; code < kKeyTableSize; ++code) changes += before[code] != after[code];
    std::uint8_t t = tag::Keyboard;
    if (ok) t |= tag::KeyboardOk;
    if (changes == 0) t |= tag::KeysUnchanged;
    bytes.push_back(t);
    if (changes == 0) return;
    Varint(static_cast<std::uint64_t>(changes - 1));
    for (int code = 0; code < kKeyTableSize; ++code) {
        if (before[code] == after[code]) continue;
        bytes.push_back(static_cast<std::uint8_t>(code));
        bytes.push_back(after[code]);
    }
}

void DemoStreamWriter::Pad(bool ok, const PadState& before, const PadState& after) {
    FlushRun();
    std::uint8_t changed = 0;
    for (int axis = 0; axis < kPadAxes; ++axis)
        if (before.axes[axis] != after.axes[axis]) changed |= static_cast<std::uint8_t>(1u << axis);
    if (before.buttons != after.buttons) changed |= pad_field::Buttons;
    std::uint8_t t = tag::Pad;
    if (ok) t |= tag::PadOk;
    if (after.connected) t |= tag::PadConnected;
    if (changed == 0) t |= tag::PadUnchanged;
    bytes.push_back(t);
    if (changed == 0) return;
    bytes.push_back(changed);
    for (int axis = 0; axis < kPadAxes; ++axis)
        if (changed & (1u << axis)) Varint(ZigZag(after.axes[axis]));
    if (changed & pad_field::Buttons) Varint(after.buttons);
}

void DemoStreamWriter::Mouse(bool ok, const MouseState& before, const MouseState& after) {
    FlushRun();
    std::uint8_t changed = 0;
    if (after.lX != before.lX) changed |= mouse_field::X;
    if (after.lY != before.lY) changed |= mouse_field::Y;
    if (after.lZ != before.lZ) changed |= mouse_field::Wheel;
    if (std::memcmp(after.rgbButtons, before.rgbButtons, sizeof after.rgbButtons) != 0)
        changed |= mouse_field::Buttons;
    bytes.push_back(static_cast<std::uint8_t>((ok ? tag::MouseOk : tag::MouseFailed) | changed));
    if (changed & mouse_field::X) Varint(ZigZag(after.lX));
    if (changed & mouse_field::Y) Varint(ZigZag(after.lY));
    if (changed & mouse_field::Wheel) Varint(ZigZag(after.lZ));
    if (changed & mouse_field::Buttons)
        bytes.insert(bytes.end(), std::begin(after.rgbButtons), std::end(after.rgbButtons));
}

void DemoStreamWriter::Device(DeviceCall call, bool ok) {
    FlushRun();
    bytes.push_back(static_cast<std::uint8_t>(tag::Device | static_cast<int>(call) << 1 | (ok ? 1 : 0)));
}

void DemoStreamWriter::WindowEvent(const platform::WindowEvent& event) {
    FlushRun();
    bytes.push_back(static_cast<std::uint8_t>(tag::WindowEvent | static_cast<int>(event.type)));
    using Type = platform::WindowEvent::Type;
    if (event.type == Type::Resized) {
        Varint(ZigZag(event.width));
        Varint(ZigZag(event.height));
    } else if (event.type == Type::KeyDown) {
        bytes.push_back(static_cast<std::uint8_t>(event.key));
    }
}

void DemoStreamWriter::FrameEnd() {
    FlushRun();
    bytes.push_back(tag::FrameEnd);
}

void DemoStreamWriter::End(std::uint32_t frames, std::uint64_t stateHash) {
    FlushRun();
    bytes.push_back(tag::End);
    Varint(frames);
    PutU64(bytes, stateHash);
}

std::vector<std::uint8_t> DemoStreamWriter::TakeBytes() {
    std::vector<std::uint8_t> taken;
    taken.swap(bytes);
    return taken;
}

std::vector<std::uint8_t> EncodeDemoHeader(const DemoHeader& header) {
    std::vector<std::uint8_t> out(kDemoMagic, kDemoMagic + kDemoMagicSize);
    PutU32(out, header.version);
    const std::vector<std::uint8_t> fields = EncodeHeaderFields(header);
    PutU32(out, static_cast<std::uint32_t>(fields.size()));
    PutU32(out, Checksum(fields.data(), fields.size()));
    out.insert(out.end(), fields.begin(), fields.end());
    return out;
}

std::vector<std::uint8_t> EncodeDemoChunk(const std::vector<std::uint8_t>& stream) {
    std::vector<std::uint8_t> out;
    PutU32(out, static_cast<std::uint32_t>(stream.size()));
    PutU32(out, Checksum(stream.data(), stream.size()));
    out.insert(out.end(), stream.begin(), stream.end());
    return out;
}

// ---- reading ----

bool DemoStreamReader::Fail(std::string& error, const std::string& what) {
    error = "the demo is damaged: " + what + " at byte " + std::to_string(position) +
            " of its records";
    position = stream.size();
    return false;
}

bool DemoStreamReader::Byte(std::uint8_t& out) {
    if (position >= stream.size()) return false;
    out = stream[position++];
    return true;
}

bool DemoStreamReader::Varint(std::uint64_t& out) {
    out = 0;
    for (int shift = 0; shift < 64; shift += 7) {
        std::uint8_t byte = 0;
        if (!Byte(byte)) return false;
        out |= std::uint64_t{byte & 0x7fu} << shift;
        if ((byte & 0x80) == 0) return true;
    }
    return false;  // longer than any 64-bit number
}

bool DemoStreamReader::Next(DemoRecord& out, std::string& error) {
    error.clear();
    std::uint8_t t = 0;
    if (!Byte(t)) return false;
    const std::uint8_t flags = t & tag::FlagBits;
    std::uint64_t value = 0;
    switch (t & tag::KindBits) {
        case tag::Ticks: {
            if (flags & ~(tag::SameTick | tag::SingleTick)) break;
            out.kind = DemoRecord::Kind::Ticks;
            if (!(flags & tag::SameTick)) {
                if (!Varint(value)) return Fail(error, "a clock reading is cut short");
                lastTick += static_cast<std::uint32_t>(UnZigZag(value));
            }
            out.tick = lastTick;
            out.count = 1;
            if (!(flags & tag::SingleTick)) {
                if (!Varint(value)) return Fail(error, "a run of clock readings is cut short");
                if (value > kMaxDemoRun - 2) return Fail(error, "a run of clock readings is too long");
                out.count = value + 2;
            }
            return true;
        }
        case tag::Counter:
            if (flags != 0) break;
            if (!Varint(value)) return Fail(error, "a counter reading is cut short");
            lastCounter = static_cast<std::int64_t>(static_cast<std::uint64_t>(lastCounter) +
                                                    static_cast<std::uint64_t>(UnZigZag(value)));
            out.kind = DemoRecord::Kind::Counter;
            out.counter = lastCounter;
            return true;
        case tag::Keyboard: {
            if (flags & ~(tag::KeyboardOk | tag::KeysUnchanged)) break;
            out.kind = DemoRecord::Kind::Keyboard;
            out.ok = (flags & tag::KeyboardOk) != 0;
            out.keyChanges = 0;
            if (flags & tag::KeysUnchanged) return true;
            if (!Varint(value) || value >= kKeyTableSize)
                return Fail(error, "a keyboard read lists too many keys");
            out.keyChanges = static_cast<int>(value) + 1;
            for (int i = 0; i < out.keyChanges; ++i) {
                if (!Byte(out.changedCodes[i]) || !Byte(out.changedValues[i]))
                    return Fail(error, "a keyboard read is cut short");
            }
            return true;
        }
        case tag::MouseOk:
        case tag::MouseFailed: {
            out.kind = DemoRecord::Kind::Mouse;
            out.ok = (t & tag::KindBits) == tag::MouseOk;
            out.mouseChanged = flags;
            std::int32_t* const motion[] = {&out.mouse.lX, &out.mouse.lY, &out.mouse.lZ};
            const std::uint8_t bits[] = {mouse_field::X, mouse_field::Y, mouse_field::Wheel};
            for (int axis = 0; axis < 3; ++axis) {
                if (!(flags & bits[axis])) continue;
                if (!Varint(value)) return Fail(error, "a mouse read is cut short");
                *motion[axis] = static_cast<std::int32_t>(UnZigZag(value));
            }
            if (flags & mouse_field::Buttons) {
                for (std::uint8_t& button : out.mouse.rgbButtons)
                    if (!Byte(button)) return Fail(error, "a mouse read is cut short");
            }
            return true;
        }
        case tag::Pad: {
            if (flags & ~(tag::PadOk | tag::PadConnected | tag::PadUnchanged)) break;
            out.kind = DemoRecord::Kind::Pad;
            out.ok = (flags & tag::PadOk) != 0;
            out.pad.connected = (flags & tag::PadConnected) != 0;
            out.padChanged = 0;
            if (flags & tag::PadUnchanged) return true;
            constexpr std::uint8_t kKnownFields = pad_field::Buttons | (pad_field::Buttons - 1);
            if (!Byte(out.padChanged) || out.padChanged == 0 || (out.padChanged & ~kKnownFields))
                return Fail(error, "a pad read is damaged");
            for (int axis = 0; axis < kPadAxes; ++axis) {
                if (!(out.padChanged & (1u << axis))) continue;
                if (!Varint(value)) return Fail(error, "a pad read is cut short");
                const std::int64_t position = UnZigZag(value);
                if (position < INT16_MIN || position > INT16_MAX) return Fail(error, "a pad axis is out of range");
                out.pad.axes[axis] = static_cast<std::int16_t>(position);
            }
            if (out.padChanged & pad_field::Buttons) {
                if (!Varint(value) || value >= (1u << kPadReadButtons)) return Fail(error, "a pad read is damaged");
                out.pad.buttons = static_cast<std::uint16_t>(value);
            }
            return true;
        }
        case tag::Device:
            if ((flags >> 1) >= kDeviceCalls) break;
            out.kind = DemoRecord::Kind::Device;
            out.call = static_cast<DeviceCall>(flags >> 1);
            out.ok = (flags & 1) != 0;
            return true;
        case tag::WindowEvent: {
            if (flags >= kWindowEventTypes) break;
            using Type = platform::WindowEvent::Type;
            out.kind = DemoRecord::Kind::WindowEvent;
            out.event = platform::WindowEvent{};
            out.event.type = static_cast<Type>(flags);
            if (out.event.type == Type::Resized) {
                std::uint64_t height = 0;
                if (!Varint(value) || !Varint(height))
                    return Fail(error, "a window event is cut short");
                out.event.width = static_cast<std::int32_t>(UnZigZag(value));
                out.event.height = static_cast<std::int32_t>(UnZigZag(height));
            } else if (out.event.type == Type::KeyDown) {
                std::uint8_t key = 0;
                if (!Byte(key) || key >= kWindowKeys) return Fail(error, "a window key is not one");
                out.event.key = static_cast<platform::WindowKey>(key);
            }
            return true;
        }
        default:
            if (t == tag::FrameEnd) {
                out.kind = DemoRecord::Kind::FrameEnd;
                return true;
            }
            if (t == tag::End) {
                out.kind = DemoRecord::Kind::End;
                if (!Varint(value) || value > 0xffffffffu) return Fail(error, "the end is cut short");
                out.frames = static_cast<std::uint32_t>(value);
                if (stream.size() - position < 8) return Fail(error, "the end is cut short");
                out.stateHash = 0;
                for (int i = 0; i < 8; ++i) out.stateHash |= std::uint64_t{stream[position++]} << (8 * i);
                return true;
            }
            break;
    }
    --position;
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02x", t);
    return Fail(error, std::string("an unknown record ") + hex);
}

std::optional<Demo> DecodeDemo(const std::vector<std::uint8_t>& bytes, std::string& error) {
    if (bytes.size() < kDemoMagicSize ||
        std::memcmp(bytes.data(), kDemoMagic, kDemoMagicSize) != 0) {
        error = "it is not a demo file";
        return std::nullopt;
    }
    FieldReader prefix(bytes.data() + kDemoMagicSize, bytes.size() - kDemoMagicSize);
    Demo demo;
    demo.header.version = prefix.U32();
    const std::uint32_t fieldsSize = prefix.U32();
    const std::uint32_t fieldsChecksum = prefix.U32();
    const std::size_t fieldsAt = kDemoMagicSize + prefix.Consumed();
    if (!prefix.Good() || bytes.size() - fieldsAt < fieldsSize) {
        error = "the demo's header is truncated";
        return std::nullopt;
    }
    if (Checksum(bytes.data() + fieldsAt, fieldsSize) != fieldsChecksum) {
        error = "the demo's header is damaged: it fails its checksum";
        return std::nullopt;
    }
    FieldReader fields(bytes.data() + fieldsAt, fieldsSize);
    if (!DecodeHeaderFields(fields, demo.header, error)) return std::nullopt;

    std::size_t at = fieldsAt + fieldsSize;
    for (int chunk = 1; at < bytes.size(); ++chunk) {
        FieldReader chunkPrefix(bytes.data() + at, bytes.size() - at);
        const std::uint32_t size = chunkPrefix.U32();
        const std::uint32_t checksum = chunkPrefix.U32();
        if (!chunkPrefix.Good() || bytes.size() - at - kChunkPrefix < size) {
            error = "the demo is truncated in its chunk " + std::to_string(chunk);
            return std::nullopt;
        }
        const std::uint8_t* data = bytes.data() + at + kChunkPrefix;
        if (Checksum(data, size) != checksum) {
            error = "the demo is damaged: its chunk " + std::to_string(chunk) + " fails its checksum";
            return std::nullopt;
        }
        demo.stream.insert(demo.stream.end(), data, data + size);
        at += kChunkPrefix + size;
    }
    if (!CheckStream(demo, error)) return std::nullopt;
    return demo;
}

std::optional<Demo> ReadDemoFile(const std::string& path, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open the demo " + path;
        return std::nullopt;
    }
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || static_cast<std::uint64_t>(size) > kMaxDemoFileSize) {
        error = "the demo " + path + " is larger than any demo the game writes";
        return std::nullopt;
    }
    in.seekg(0);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) {
        error = "cannot read the demo " + path;
        return std::nullopt;
    }
    std::optional<Demo> demo = DecodeDemo(bytes, error);
    if (!demo) error = path + ": " + error;
    return demo;
}
