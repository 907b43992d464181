#pragma once
// RIFF WAVE files built chunk by chunk for the readers.
#include <cstdint>
#include <vector>

namespace wav_bytes {

using Bytes = std::vector<std::uint8_t>;

inline void Append16(Bytes& out, std::uint16_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void Append32(Bytes& out, std::uint32_t v) {
    Append16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    Append16(out, static_cast<std::uint16_t>(v >> 16));
}
inline void AppendTag(Bytes& out, const char* tag) { out.insert(out.end(), tag, tag + 4); }

inline void Set32(Bytes& bytes, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// A chunk: id, size and body, padded to an even length.
inline Bytes Chunk(const char* id, const Bytes& body) {
    Bytes out;
    AppendTag(out, id);
    Append32(out, static_cast<std::uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() % 2 == 1) out.push_back(0);
    return out;
}

// A PCM format body of `size` bytes (16 or more).
inline Bytes FormatBody(std::size_t size, std::uint16_t extraSize = 0, int channels = 1, int rate = 22050,
                        int bits = 16) {
    const int blockAlign = channels * bits / 8;
    Bytes body;
    Append16(body, 1);
    Append16(body, static_cast<std::uint16_t>(channels));
    Append32(body, static_cast<std::uint32_t>(rate));
    Append32(body, static_cast<std::uint32_t>(rate) * static_cast<std::uint32_t>(blockAlign));
    Append16(body, static_cast<std::uint16_t>(blockAlign));
    Append16(body, static_cast<std::uint16_t>(bits));
    if (size >= 18) Append16(body, extraSize);
    body.resize(size, 0);
    return body;
}

inline Bytes Riff(const char* formType, const std::vector<Bytes>& chunks) {
    Bytes body;
    AppendTag(body, formType);
    for (const Bytes& chunk : chunks) body.insert(body.end(), chunk.begin(), chunk.end());
    Bytes out;
    AppendTag(out, "RIFF");
    Append32(out, static_cast<std::uint32_t>(body.size()));
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

}  // namespace wav_bytes
