#include "hud/caption.h"

#include "base/debug_log.h"
#include "hud/hud.h"

namespace {

constexpr std::size_t kMaxCaptionLines = 3;
constexpr float kGlyphsAcross = 64.0f;
constexpr float kReferenceHeight = 768.0f;
constexpr char kSeparator[] = "\\n";

// Heights of the lines above the bottom edge, as fractions of the window
// height, for one, two and three lines.
constexpr float kLineHeights[kMaxCaptionLines][kMaxCaptionLines] = {
    {1.0f / 20.0f}, {1.0f / 30.0f, 1.0f / 15.0f}, {1.0f / 80.0f, 1.0f / 17.5f, 1.0f / 10.0f}};

std::vector<std::string> SplitLines(std::string text, int& separators) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    std::vector<std::string> lines;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(kSeparator, from)) != std::string::npos; from = at + 2) {
        lines.push_back(text.substr(from, at - from));
        ++separators;
    }
    lines.push_back(text.substr(from));
    return lines;
}

}  // namespace

CaptionLayout LayOutCaption(const char* text, bool cutscenePlaying, const HudFrame& frame) {
    const float width = static_cast<float>(frame.width), height = static_cast<float>(frame.height);
    CaptionLayout layout;
    if (!text) return layout;
    const std::string value = text;
    if (cutscenePlaying && (value == "NONE\n" || value == "NONE \n")) return layout;
    std::vector<std::string> lines = SplitLines(value, layout.separators);
    if (lines.size() > kMaxCaptionLines) {
        layout.tooManyLines = true;
        return layout;
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        CaptionLine line;
        line.text = lines[i].substr(0, kCaptionLineLength);
        const int halfLength = static_cast<int>(line.text.size() / 2);
        line.x = static_cast<int>(width / 2.0f - static_cast<float>(halfLength) * (width / kGlyphsAcross)) +
                 frame.CentreShift();
        line.y = static_cast<int>(height * kLineHeights[lines.size() - 1][i]) + frame.BottomShift();
        layout.lines.push_back(line);
    }
    return layout;
}

void Hud::DrawCaption(const char* text, bool cutscenePlaying) {
    const CaptionLayout layout = LayOutCaption(text, cutscenePlaying, frame);
    if (layout.tooManyLines)
        DebugLog() << "**ERROR** to many lines in the scene. (" << layout.separators << ")\n";
    const float scale = static_cast<float>(frame.height) / kReferenceHeight;
    // The text is printed as it is, never read as a format.
    for (const CaptionLine& line : layout.lines) Print(line.x, line.y, scale, scale, 0, "%s", line.text.c_str());
}
