#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

// 64-bit FNV-1a: a small, well-spread hash for identifying content and game
// state (not for security). Floats are hashed by their bit patterns, so two
// states hash alike only when they are bit for bit the same.
class FnvHash {
public:
    static constexpr std::uint64_t kOffsetBasis = 14695981039346656037ull;
    static constexpr std::uint64_t kPrime = 1099511628211ull;

    FnvHash& Bytes(const void* data, std::size_t size) {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < size; ++i) value = (value ^ bytes[i]) * kPrime;
        return *this;
    }
    FnvHash& Text(const std::string& text) {
        Int(static_cast<std::uint64_t>(text.size()));
        return Bytes(text.data(), text.size());
    }
    // Any integer, widened so the hash does not depend on the field's type.
    template <typename T>
    FnvHash& Int(T number) {
        const auto wide = static_cast<std::uint64_t>(number);
        return Bytes(&wide, sizeof wide);
    }
    FnvHash& Float(float number) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &number, sizeof bits);
        return Int(bits);
    }
    FnvHash& Double(double number) {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &number, sizeof bits);
        return Int(bits);
    }

    std::uint64_t Value() const { return value; }

private:
    std::uint64_t value = kOffsetBasis;
};
