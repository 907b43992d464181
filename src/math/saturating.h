#pragma once
// Float-to-int conversions that cannot overflow. static_cast<int> of a value
// an int cannot hold (NaN and the infinities included) is undefined; these
// give a defined answer for every input, and the cast's own answer for every
// value it is defined for.
#include <climits>
#include <cmath>

// The int range as doubles: every value strictly between them truncates to
// an int. Both are exact in a double.
constexpr double kIntTruncationLow = static_cast<double>(INT_MIN) - 1.0;
constexpr double kIntTruncationHigh = static_cast<double>(INT_MAX) + 1.0;

// value truncated toward zero. Beyond the int range (the infinities too) it
// saturates at INT_MIN or INT_MAX; NaN lies on neither side and gives
// ifNaN.
inline int SaturatingTrunc(double value, int ifNaN) {
    if (std::isnan(value)) return ifNaN;
    if (value <= kIntTruncationLow) return INT_MIN;
    if (value >= kIntTruncationHigh) return INT_MAX;
    return static_cast<int>(value);
}

// A distance in whole units, truncated toward zero: the game compares these
// with its reaches. A distance no int can hold, or NaN (measured from a
// point that has no real position), is INT_MAX: out of every reach.
inline int TruncatedDistance(double distance) { return SaturatingTrunc(distance, INT_MAX); }
