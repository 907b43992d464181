#pragma once
#include <string>
#include <vector>

#include "hud/hud_frame.h"

// A caption laid out in the bottom band of the HUD's frame, centred on the screen:
// up to three lines, split where the text has a backslash followed by n.
struct CaptionLine {
    std::string text;
    int x = 0;
    int y = 0;
};

struct CaptionLayout {
    std::vector<CaptionLine> lines;  // empty: nothing to draw
    int separators = 0;              // more than two: too many lines
    bool tooManyLines = false;
};

// Longest caption line drawn, in characters.
constexpr std::size_t kCaptionLineLength = 99;

// The lines of `text` (its line end dropped), each centred by its length
// and placed by the number of lines. Null, and "NONE" while a cutscene
// plays, draw nothing.
CaptionLayout LayOutCaption(const char* text, bool cutscenePlaying, const HudFrame& frame);
