#include "report/json_value.h"

#include <cstdlib>

namespace bench_report {
namespace {

// Deep enough for any benchmark output; keeps a hostile file off the stack.
constexpr int kMaxDepth = 64;

class Parser {
public:
    explicit Parser(const std::string& text) : text_(text) {}

    bool Document(JsonValue& out, std::string& error) {
        const bool ok = Value(out, 0) && (SkipSpace(), pos_ == text_.size());
        if (!ok) error = "not JSON at byte " + std::to_string(pos_);
        return ok;
    }

private:
    void SkipSpace() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\n' || text_[pos_] == '\r' ||
                                       text_[pos_] == '\t'))
            ++pos_;
    }

    bool Take(char c) {
        SkipSpace();
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    bool Word(const char* word) {
        const std::string w(word);
        if (text_.compare(pos_, w.size(), w) != 0) return false;
        pos_ += w.size();
        return true;
    }

    bool Value(JsonValue& out, int depth) {
        if (depth > kMaxDepth) return false;
        SkipSpace();
        if (pos_ >= text_.size()) return false;
        const char c = text_[pos_];
        if (c == '{') return Object(out, depth);
        if (c == '[') return Array(out, depth);
        if (c == '"') {
            out.kind = JsonValue::Kind::String;
            return String(out.text);
        }
        if (Word("true") || Word("false")) {
            out.kind = JsonValue::Kind::Bool;
            out.boolean = c == 't';
            return true;
        }
        if (Word("null")) return true;
        return Number(out);
    }

    bool Number(JsonValue& out) {
        const char* start = text_.c_str() + pos_;
        char* end = nullptr;
        out.number = std::strtod(start, &end);
        if (end == start) return false;
        out.kind = JsonValue::Kind::Number;
        pos_ += static_cast<std::size_t>(end - start);
        return true;
    }

    // Escapes are kept simple: \uXXXX outside ASCII becomes '?'.
    bool String(std::string& out) {
        ++pos_;  // the opening quote
        while (pos_ < text_.size()) {
            const char c = text_[pos_++];
            if (c == '"') return true;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (pos_ >= text_.size()) return false;
            const char e = text_[pos_++];
            switch (e) {
            case 'n': out += '\n'; break;
            case 't': out += '\t'; break;
            case 'r': out += '\r'; break;
            case 'b': out += '\b'; break;
            case 'f': out += '\f'; break;
            case 'u': {
                if (pos_ + 4 > text_.size()) return false;
                const long code = std::strtol(text_.substr(pos_, 4).c_str(), nullptr, 16);
                out += code < 0x80 ? static_cast<char>(code) : '?';
                pos_ += 4;
                break;
            }
            default: out += e; break;  // \" \\ \/
            }
        }
        return false;
    }

    bool Array(JsonValue& out, int depth) {
        out.kind = JsonValue::Kind::Array;
        ++pos_;
        if (Take(']')) return true;
        do {
            out.items.emplace_back();
            if (!Value(out.items.back(), depth + 1)) return false;
        } while (Take(','));
        return Take(']');
    }

    bool Object(JsonValue& out, int depth) {
        out.kind = JsonValue::Kind::Object;
        ++pos_;
        if (Take('}')) return true;
        do {
            std::string name;
            SkipSpace();
            if (pos_ >= text_.size() || text_[pos_] != '"' || !String(name) || !Take(':')) return false;
            out.members.emplace_back(std::move(name), JsonValue{});
            if (!Value(out.members.back().second, depth + 1)) return false;
        } while (Take(','));
        return Take('}');
    }

    const std::string& text_;
    std::size_t pos_ = 0;
};

}  // namespace

const JsonValue* JsonValue::Find(const std::string& name) const {
    for (const auto& [key, value] : members)
        if (key == name) return &value;
    return nullptr;
}

bool ParseJson(const std::string& document, JsonValue& out, std::string& error) {
    out = JsonValue{};
    return Parser(document).Document(out, error);
}

}  // namespace bench_report
