#pragma once
#include <cstdint>

struct EntityProperty;
struct LevelEntity;

// Conversions of property values as the level format defines them.

// Standard decimal conversion: leading blanks skipped, reading stops at the
// first character that is not part of the number; no number gives 0.
std::int32_t DecimalValue(const char* text);
// "%d" parse; leaves out unchanged when the value holds no number.
void ScanInt(const char* text, std::int32_t& out);
// Exact, case-sensitive key and class comparisons.
bool KeyIs(const EntityProperty& property, const char* key);
bool ClassIs(const LevelEntity& entity, const char* className);
