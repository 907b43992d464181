#include "world/entity_values.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "world/world.h"

std::int32_t DecimalValue(const char* text) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (end == text) return 0;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<std::int32_t>(value);
}

void ScanInt(const char* text, std::int32_t& out) {
    int value = 0;
    if (std::sscanf(text, "%d", &value) == 1) out = value;
}

bool KeyIs(const EntityProperty& property, const char* key) {
    return std::strcmp(property.key, key) == 0;
}

bool ClassIs(const LevelEntity& entity, const char* className) {
    return std::strcmp(entity.className, className) == 0;
}
