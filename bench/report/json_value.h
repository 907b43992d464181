#pragma once
// A small reader for the JSON that the benchmark library writes: objects,
// arrays, strings, numbers, true, false and null.
#include <string>
#include <utility>
#include <vector>

namespace bench_report {

struct JsonValue {
    enum class Kind { Null, Bool, Number, String, Array, Object };
    Kind kind = Kind::Null;
    bool boolean = false;
    double number = 0.0;
    std::string text;
    std::vector<JsonValue> items;                            // Array
    std::vector<std::pair<std::string, JsonValue>> members;  // Object, in file order

    // The member of that name, or null when there is none (or this is not
    // an object).
    const JsonValue* Find(const std::string& name) const;
};

// Parses a whole document; false (with `error` set) when it is not JSON.
bool ParseJson(const std::string& document, JsonValue& out, std::string& error);

}  // namespace bench_report
