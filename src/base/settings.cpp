#include "base/settings.h"

#include <fstream>
#include <istream>

namespace {

constexpr char kSettingsFile[] = "talvemar.ini";

// The five numbers of the file, in file order, with the values a missing
// file stands for.
struct IniValues {
    int resolutionIndex = 2;
    int colour32 = 1;
    int smoothing = 1;
    int depth32 = 0;
    int fullScreen = 1;
};

IniValues ReadIniValues(std::istream& in) {
    IniValues values;
    int* const fields[] = {&values.resolutionIndex, &values.colour32, &values.smoothing,
                           &values.depth32, &values.fullScreen};
    for (int* field : fields) {
        int value = 0;
        if (!(in >> value)) break;  // the rest keep their defaults
        *field = value;
    }
    return values;
}

void ApplyIniValues(Settings& s, const IniValues& v) {
    ResolutionForIndex(v.resolutionIndex, s.width, s.height);
    s.colourBits = v.colour32 ? 32 : 16;
    s.depthBits = v.depth32 ? 32 : 16;
    s.smoothing = v.smoothing ? 1 : 0;
    s.fullScreen = v.fullScreen ? 1 : 0;
}

}  // namespace

Settings settings;

void ResolutionForIndex(int index, std::int32_t& width, std::int32_t& height) {
    switch (index) {
        case 0: width = 320; height = 240; break;
        case 1: width = 640; height = 480; break;
        case 3: width = 1024; height = 768; break;
        default: width = 800; height = 600; break;
    }
}

Settings::Settings() { *this = FromFile(kSettingsFile); }

Settings Settings::FromFile(const std::string& path) {
    std::ifstream in(path);
    if (!in.is_open()) return Defaults();
    return FromStream(in);
}

Settings Settings::FromStream(std::istream& in) {
    Settings s{NoFile{}};
    ApplyIniValues(s, ReadIniValues(in));
    return s;
}

Settings Settings::Defaults() {
    Settings s{NoFile{}};
    ApplyIniValues(s, IniValues{});
    return s;
}
