#pragma once
#include <cstdint>

// Keys are named by the classic PC keyboard scan codes (set 1, with the 0xC8
// block for the grey cursor keys); the key table is indexed by these.
namespace key {
constexpr std::uint8_t Escape = 0x01;
constexpr std::uint8_t Num1 = 0x02;
constexpr std::uint8_t Num2 = 0x03;
constexpr std::uint8_t Num3 = 0x04;
constexpr std::uint8_t Num4 = 0x05;
constexpr std::uint8_t Num5 = 0x06;
constexpr std::uint8_t Num6 = 0x07;
constexpr std::uint8_t Num7 = 0x08;
constexpr std::uint8_t Num8 = 0x09;
constexpr std::uint8_t Num9 = 0x0A;
constexpr std::uint8_t Num0 = 0x0B;
constexpr std::uint8_t Minus = 0x0C;
constexpr std::uint8_t Equals = 0x0D;
constexpr std::uint8_t Q = 0x10;
constexpr std::uint8_t W = 0x11;
constexpr std::uint8_t E = 0x12;
constexpr std::uint8_t R = 0x13;
constexpr std::uint8_t T = 0x14;
constexpr std::uint8_t Y = 0x15;
constexpr std::uint8_t U = 0x16;
constexpr std::uint8_t I = 0x17;
constexpr std::uint8_t O = 0x18;
constexpr std::uint8_t P = 0x19;
constexpr std::uint8_t Return = 0x1C;
constexpr std::uint8_t LeftControl = 0x1D;
constexpr std::uint8_t A = 0x1E;
constexpr std::uint8_t S = 0x1F;
constexpr std::uint8_t D = 0x20;
constexpr std::uint8_t F = 0x21;
constexpr std::uint8_t G = 0x22;
constexpr std::uint8_t H = 0x23;
constexpr std::uint8_t J = 0x24;
constexpr std::uint8_t K = 0x25;
constexpr std::uint8_t L = 0x26;
constexpr std::uint8_t LeftShift = 0x2A;
constexpr std::uint8_t Z = 0x2C;
constexpr std::uint8_t X = 0x2D;
constexpr std::uint8_t C = 0x2E;
constexpr std::uint8_t V = 0x2F;
constexpr std::uint8_t B = 0x30;
constexpr std::uint8_t N = 0x31;
constexpr std::uint8_t M = 0x32;
constexpr std::uint8_t RightShift = 0x36;
constexpr std::uint8_t Space = 0x39;
constexpr std::uint8_t F1 = 0x3B;
constexpr std::uint8_t F2 = 0x3C;
constexpr std::uint8_t F3 = 0x3D;
constexpr std::uint8_t F4 = 0x3E;
constexpr std::uint8_t F5 = 0x3F;
constexpr std::uint8_t F6 = 0x40;
constexpr std::uint8_t F7 = 0x41;
constexpr std::uint8_t F8 = 0x42;
constexpr std::uint8_t F9 = 0x43;
constexpr std::uint8_t F10 = 0x44;
constexpr std::uint8_t F11 = 0x57;
constexpr std::uint8_t F12 = 0x58;
constexpr std::uint8_t RightControl = 0x9D;
constexpr std::uint8_t Up = 0xC8;
constexpr std::uint8_t Left = 0xCB;
constexpr std::uint8_t Right = 0xCD;
constexpr std::uint8_t Down = 0xD0;
}  // namespace key

// Mouse buttons as the game numbers them.
namespace mouse_button {
constexpr int Left = 0;
constexpr int Right = 1;
constexpr int Middle = 2;
constexpr int Extra = 3;
}  // namespace mouse_button
