#include "hud/sound_captions.h"

#include <fstream>
#include <istream>

#include "base/trimmed.h"

int SoundCaptions::Read(std::istream& in) {
    int skipped = 0;
    std::string line;
    while (std::getline(in, line)) {
        const std::string trimmed = Trimmed(line);
        if (trimmed.empty() || trimmed[0] == '#') continue;
        const std::size_t bar = trimmed.find('|');
        const std::string key = bar == std::string::npos ? std::string() : Trimmed(trimmed.substr(0, bar));
        const std::string text = bar == std::string::npos ? std::string() : Trimmed(trimmed.substr(bar + 1));
        if (key.empty() || text.empty()) {
            ++skipped;
            continue;
        }
        // Only what the font can print, and no longer than a line of the screen.
        std::string printable;
        for (unsigned char c : text)
            if (c >= ' ' && c < 127 && printable.size() < kLongestText) printable += static_cast<char>(c);
        texts[key] = printable;
    }
    return skipped;
}

bool SoundCaptions::ReadFile(const std::string& path) {
    std::ifstream in(path);
    if (!in.is_open()) return false;
    Read(in);
    return true;
}

void SoundCaptions::Show(const std::string& key, std::uint32_t now) {
    const auto found = texts.find(key);
    if (found == texts.end()) return;
    for (auto it = shown.begin(); it != shown.end(); ++it) {
        if (it->text != found->second) continue;
        shown.erase(it);
        break;
    }
    shown.push_back({found->second, now});
    while (shown.size() > kMostLines) shown.pop_front();
}

std::vector<std::string> SoundCaptions::Lines(std::uint32_t now) const {
    std::vector<std::string> lines;
    for (const Shown& s : shown)
        if (now - s.since < kShownMs) lines.push_back(s.text);
    return lines;
}

std::string EnemyCaptionKey(const char* event, int kind) {
    static const char* const kKinds[] = {"shrike", "strider", "lumarid", "boss", "kultha"};
    const bool known = kind >= 0 && kind < static_cast<int>(sizeof kKinds / sizeof kKinds[0]);
    return std::string(event) + ' ' + (known ? kKinds[kind] : "enemy");
}
