#include "input/controls.h"

#include <cctype>
#include <fstream>
#include <istream>
#include <ostream>
#include <sstream>

#include "base/trimmed.h"
#include "input/key_codes.h"

namespace {

struct NamedCode {
    const char* name;
    std::uint8_t code;
};

// Every key of the game's table under SDL's name for it.
const NamedCode kKeyNames[] = {
    {"Escape", key::Escape}, {"1", key::Num1}, {"2", key::Num2}, {"3", key::Num3}, {"4", key::Num4},
    {"5", key::Num5}, {"6", key::Num6}, {"7", key::Num7}, {"8", key::Num8}, {"9", key::Num9},
    {"0", key::Num0}, {"-", key::Minus}, {"=", key::Equals}, {"Q", key::Q}, {"W", key::W},
    {"E", key::E}, {"R", key::R}, {"T", key::T}, {"Y", key::Y}, {"U", key::U}, {"I", key::I},
    {"O", key::O}, {"P", key::P}, {"Return", key::Return}, {"Left Ctrl", key::LeftControl},
    {"A", key::A}, {"S", key::S}, {"D", key::D}, {"F", key::F}, {"G", key::G}, {"H", key::H},
    {"J", key::J}, {"K", key::K}, {"L", key::L}, {"Left Shift", key::LeftShift}, {"Z", key::Z},
    {"X", key::X}, {"C", key::C}, {"V", key::V}, {"B", key::B}, {"N", key::N}, {"M", key::M},
    {"Right Shift", key::RightShift}, {"Space", key::Space}, {"F1", key::F1}, {"F2", key::F2},
    {"F3", key::F3}, {"F4", key::F4}, {"F5", key::F5}, {"F6", key::F6}, {"F7", key::F7},
    {"F8", key::F8}, {"F9", key::F9}, {"F10", key::F10}, {"F11", key::F11}, {"F12", key::F12},
    {"Right Ctrl", key::RightControl}, {"Up", key::Up}, {"Left", key::Left}, {"Right", key::Right},
    {"Down", key::Down},
};

const NamedCode kMouseNames[] = {
    {"Mouse Left", mouse_button::Left},
    {"Mouse Right", mouse_button::Right},
    {"Mouse Middle", mouse_button::Middle},
    {"Mouse X1", mouse_button::Extra},
};

const NamedCode kPadNames[] = {
    {"Pad A", pad_button::A},
    {"Pad B", pad_button::B},
    {"Pad X", pad_button::X},
    {"Pad Y", pad_button::Y},
    {"Pad Back", pad_button::Back},
    {"Pad Guide", pad_button::Guide},
    {"Pad Start", pad_button::Start},
    {"Pad Left Stick", pad_button::LeftStick},
    {"Pad Right Stick", pad_button::RightStick},
    {"Pad Left Shoulder", pad_button::LeftShoulder},
    {"Pad Right Shoulder", pad_button::RightShoulder},
    {"Pad Up", pad_button::DpadUp},
    {"Pad Down", pad_button::DpadDown},
    {"Pad Left", pad_button::DpadLeft},
    {"Pad Right", pad_button::DpadRight},
    {"Pad Left Trigger", pad_button::LeftTrigger},
    {"Pad Right Trigger", pad_button::RightTrigger},
    {"Pad Left Stick Up", pad_button::LeftStickUp},
    {"Pad Left Stick Down", pad_button::LeftStickDown},
    {"Pad Left Stick Left", pad_button::LeftStickLeft},
    {"Pad Left Stick Right", pad_button::LeftStickRight},
};

struct ActionRow {
    Action action;
    const char* name;
    std::vector<Control> defaults;
};

Control Key(std::uint8_t code) { return {Control::Device::Key, code}; }
Control MouseButton(int button) { return {Control::Device::Mouse, static_cast<std::uint8_t>(button)}; }
Control Pad(std::uint8_t button) { return {Control::Device::Pad, button}; }

const std::vector<ActionRow>& ActionRows() {
    static const std::vector<ActionRow> rows = {
        {Action::Forward, "forward", {Key(key::W), Pad(pad_button::LeftStickUp)}},
        {Action::Back, "back", {Key(key::S), Pad(pad_button::LeftStickDown)}},
        {Action::Left, "left", {Key(key::A), Pad(pad_button::LeftStickLeft)}},
        {Action::Right, "right", {Key(key::D), Pad(pad_button::LeftStickRight)}},
        {Action::Jump, "jump", {Key(key::Space), Pad(pad_button::A)}},
        {Action::Crouch, "crouch", {Key(key::LeftControl), Pad(pad_button::B)}},
        {Action::Run, "run", {Key(key::LeftShift), Pad(pad_button::LeftStick)}},
        {Action::Fire, "fire", {MouseButton(mouse_button::Left), Key(key::E), Pad(pad_button::RightTrigger)}},
        {Action::Zoom, "zoom", {MouseButton(mouse_button::Right), Pad(pad_button::LeftTrigger)}},
        {Action::FirstPerson, "first_person", {Key(key::Z)}},
        {Action::ChaseView, "chase_view", {Key(key::X)}},
        {Action::SwitchView, "switch_view", {Pad(pad_button::X)}},
        {Action::Weapon1, "weapon_1", {Key(key::Num1), Pad(pad_button::DpadUp)}},
        {Action::Weapon2, "weapon_2", {Key(key::Num2), Pad(pad_button::DpadRight)}},
        {Action::Weapon3, "weapon_3", {Key(key::Num3), Pad(pad_button::DpadDown)}},
        {Action::Weapon4, "weapon_4", {Key(key::Num4), Pad(pad_button::DpadLeft)}},
        {Action::Weapon5, "weapon_5", {Key(key::Num5)}},
        {Action::Weapon6, "weapon_6", {Key(key::Num6)}},
        {Action::NextWeapon, "next_weapon", {Pad(pad_button::RightShoulder)}},
        {Action::PreviousWeapon, "previous_weapon", {Pad(pad_button::LeftShoulder)}},
        {Action::ZoomReset, "zoom_reset", {Key(key::R), Pad(pad_button::Y)}},
    };
    return rows;
}

bool SameName(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && b[i] == '\0';
}

template <std::size_t N>
bool FindName(const NamedCode (&table)[N], const std::string& name, std::uint8_t& code) {
    for (const NamedCode& entry : table)
        if (SameName(name, entry.name)) {
            code = entry.code;
            return true;
        }
    return false;
}

template <std::size_t N>
const char* NameOf(const NamedCode (&table)[N], std::uint8_t code) {
    for (const NamedCode& entry : table)
        if (entry.code == code) return entry.name;
    return nullptr;
}

// Applies one line; false with the reason for a line ignored.
bool ApplyLine(Bindings& bindings, const std::string& raw, std::string& error) {
    const std::string line = Trimmed(raw.substr(0, raw.find('#')));
    if (line.empty()) return true;
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos || equals == 0) {
        error = "'" + line + "' is not action = controls";
        return false;
    }
    const std::string name = Trimmed(line.substr(0, equals));
    const ActionRow* row = nullptr;
    for (const ActionRow& r : ActionRows())
        if (SameName(name, r.name)) row = &r;
    if (!row) {
        error = "no action '" + name + "'";
        return false;
    }
    std::vector<Control> controls;
    std::istringstream list(line.substr(equals + 1));
    for (std::string item; std::getline(list, item, ',');) {
        const std::string controlName = Trimmed(item);
        Control control;
        if (!ParseControl(controlName, control)) {
            error = name;
            error += ": no key or button '" + controlName + "'";
            return false;
        }
        controls.push_back(control);
    }
    if (controls.empty()) {
        error = name + ": no key or button";
        return false;
    }
    bindings.of[static_cast<int>(row->action)] = controls;
    return true;
}

}  // namespace

Bindings DefaultBindings() {
    Bindings bindings;
    for (const ActionRow& row : ActionRows()) bindings.of[static_cast<int>(row.action)] = row.defaults;
    return bindings;
}

const char* ActionName(Action action) {
    for (const ActionRow& row : ActionRows())
        if (row.action == action) return row.name;
    return "";
}

bool ParseControl(const std::string& name, Control& control) {
    std::uint8_t code = 0;
    if (FindName(kKeyNames, name, code)) control = Key(code);
    else if (FindName(kMouseNames, name, code)) control = MouseButton(code);
    else if (FindName(kPadNames, name, code)) control = Pad(code);
    else return false;
    return true;
}

std::string ControlName(const Control& control) {
    const char* name = nullptr;
    switch (control.device) {
        case Control::Device::Key: name = NameOf(kKeyNames, control.code); break;
        case Control::Device::Mouse: name = NameOf(kMouseNames, control.code); break;
        case Control::Device::Pad: name = NameOf(kPadNames, control.code); break;
    }
    return name ? name : "";
}

Bindings ReadControls(std::istream& in, std::ostream& problems) {
    Bindings bindings = DefaultBindings();
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        std::string error;
        if (!ApplyLine(bindings, line, error))
            problems << kControlsFile << " line " << number << ": " << error << ", ignored\n";
    }
    return bindings;
}

Bindings ReadControlsFile(const std::string& path, std::ostream& problems) {
    std::ifstream in(path);
    if (!in.is_open()) return DefaultBindings();
    return ReadControls(in, problems);
}

std::string ControlLines(const Bindings& bindings) {
    std::string text;
    for (const ActionRow& row : ActionRows()) {
        text += std::string(row.name) + " =";
        const char* separator = " ";
        for (const Control& control : bindings[row.action]) {
            text += separator + ControlName(control);
            separator = ", ";
        }
        text += "\n";
    }
    return text;
}
