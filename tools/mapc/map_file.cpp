#include "map_file.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

// Splits map text into words, quoted strings and the punctuation { } ( ) [ ].
class Tokenizer {
public:
    Tokenizer(const std::string& text, const std::string& file) : text(text), file(file) {}

    bool AtEnd() {
        SkipSpaceAndComments();
        return pos >= text.size();
    }
    int Line() const { return line; }
    [[noreturn]] void Fail(const std::string& what) const { throw MapError(file, line, what); }

    // The next token; quoted strings come back without their quotes.
    std::string Next(bool* quoted = nullptr) {
        SkipSpaceAndComments();
        if (pos >= text.size()) Fail("unexpected end of file");
        if (quoted) *quoted = false;
        const char c = text[pos];
        if (c == '"') {
            if (quoted) *quoted = true;
            const std::size_t start = ++pos;
            while (pos < text.size() && text[pos] != '"') {
                if (text[pos] == '\n') Fail("a quoted string runs past the end of its line");
                ++pos;
            }
            if (pos >= text.size()) Fail("unterminated quoted string");
            return text.substr(start, pos++ - start);
        }
        if (IsPunctuation(c)) {
            ++pos;
            return std::string(1, c);
        }
        const std::size_t start = pos;
        while (pos < text.size() && !std::isspace(static_cast<unsigned char>(text[pos])) &&
               !IsPunctuation(text[pos]) && text[pos] != '"')
            ++pos;
        return text.substr(start, pos - start);
    }
    // A texture name: everything up to the next blank, whatever characters
    // it holds ("{fence", "*water", "+0button"); or a quoted string.
    std::string Word() {
        SkipSpaceAndComments();
        if (pos >= text.size()) Fail("unexpected end of file");
        if (text[pos] == '"') return Next();
        const std::size_t start = pos;
        while (pos < text.size() && !std::isspace(static_cast<unsigned char>(text[pos]))) ++pos;
        return text.substr(start, pos - start);
    }
    std::string Peek() {
        const std::size_t savedPos = pos;
        const int savedLine = line;
        std::string token = Next();
        pos = savedPos;
        line = savedLine;
        return token;
    }
    void Expect(const std::string& token) {
        const std::string got = Next();
        if (got != token) Fail("expected '" + token + "' but found '" + got + "'");
    }
    double Number() {
        const std::string token = Next();
        char* end = nullptr;
        const double value = std::strtod(token.c_str(), &end);
        if (token.empty() || *end != '\0') Fail("expected a number but found '" + token + "'");
        return value;
    }

private:
    static bool IsPunctuation(char c) {
        return c == '{' || c == '}' || c == '(' || c == ')' || c == '[' || c == ']';
    }
    void SkipSpaceAndComments() {
        while (pos < text.size()) {
            const char c = text[pos];
            if (c == '\n') {
                ++line;
                ++pos;
            } else if (std::isspace(static_cast<unsigned char>(c))) {
                ++pos;
            } else if (c == '/' && pos + 1 < text.size() && text[pos + 1] == '/') {
                while (pos < text.size() && text[pos] != '\n') ++pos;
            } else {
                break;
            }
        }
    }

    const std::string& text;
    const std::string& file;
    std::size_t pos = 0;
    int line = 1;
};

MapVec ReadPoint(Tokenizer& t) {
    t.Expect("(");
    MapVec p;
    p.x = t.Number();
    p.y = t.Number();
    p.z = t.Number();
    t.Expect(")");
    return p;
}

void ReadValveAxis(Tokenizer& t, MapVec& axis, double& offset) {
    t.Expect("[");
    axis.x = t.Number();
    axis.y = t.Number();
    axis.z = t.Number();
    offset = t.Number();
    t.Expect("]");
}

// A bit field written as a number; out of range or fractional reads as none.
long FlagWord(double value) {
    constexpr double kLargest = 4294967295.0;
    if (!(value >= 0.0 && value <= kLargest) || value != std::floor(value)) return 0;
    return static_cast<long>(value);
}

MapFace ReadFace(Tokenizer& t) {
    MapFace face;
    t.AtEnd();  // past blanks and comments: the line is the face's own
    face.line = t.Line();
    for (MapVec& p : face.points) p = ReadPoint(t);
    if (t.Peek() == "(" || t.Peek() == "}") t.Fail("a face has no texture name");
    face.texture = t.Word();
    if (t.Peek() == "[") {
        face.valveAxes = true;
        ReadValveAxis(t, face.uAxis, face.uOffset);
        ReadValveAxis(t, face.vAxis, face.vOffset);
    } else {
        face.uOffset = t.Number();
        face.vOffset = t.Number();
    }
    face.rotation = t.Number();
    face.uScale = t.Number();
    face.vScale = t.Number();
    // Some editors add contents, surface flags and a value after the scales.
    std::vector<double> extra;
    while (t.Peek() != "(" && t.Peek() != "}") extra.push_back(t.Number());
    if (extra.size() >= 2) {
        face.hasFlags = true;
        face.contents = FlagWord(extra[0]);
        face.surfaceFlags = FlagWord(extra[1]);
    }
    return face;
}

MapBrush ReadBrush(Tokenizer& t) {
    MapBrush brush;
    t.AtEnd();
    brush.line = t.Line();
    t.Expect("{");
    while (t.Peek() != "}") {
        if (t.Peek() != "(") t.Fail("expected a face line starting with '(' inside a brush");
        brush.faces.push_back(ReadFace(t));
    }
    t.Expect("}");
    return brush;
}

MapEntity ReadEntity(Tokenizer& t) {
    MapEntity entity;
    t.AtEnd();
    entity.line = t.Line();
    t.Expect("{");
    for (;;) {
        if (t.AtEnd()) t.Fail("unbalanced braces: an entity is not closed");
        const std::string next = t.Peek();
        if (next == "}") break;
        if (next == "{") {
            entity.brushes.push_back(ReadBrush(t));
            continue;
        }
        bool quoted = false;
        MapProperty property;
        property.key = t.Next(&quoted);
        property.line = t.Line();
        if (!quoted) t.Fail("expected a quoted key, '{' or '}' but found '" + property.key + "'");
        property.value = t.Next(&quoted);
        if (!quoted) t.Fail("the key \"" + property.key + "\" has no quoted value");
        entity.properties.push_back(std::move(property));
    }
    t.Expect("}");
    return entity;
}

}  // namespace

std::string MapEntity::Value(const std::string& key) const {
    for (const MapProperty& p : properties)
        if (p.key == key) return p.value;
    return {};
}

MapFile ParseMap(const std::string& text, const std::string& fileName) {
    MapFile map;
    map.name = fileName;
    Tokenizer t(text, fileName);
    while (!t.AtEnd()) {
        if (t.Peek() != "{") t.Fail("expected '{' to start an entity, found '" + t.Peek() + "'");
        map.entities.push_back(ReadEntity(t));
    }
    return map;
}

MapFile ReadMapFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw MapError(path, 0, "cannot open the file");
    std::stringstream ss;
    ss << in.rdbuf();
    return ParseMap(ss.str(), path);
}
