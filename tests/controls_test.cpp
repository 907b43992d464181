// The controls file: action names, control names and what a bad line does.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "input/controls.h"
#include "input/key_codes.h"

namespace {

Bindings Read(const std::string& text, std::string& problems) {
    std::istringstream in(text);
    std::ostringstream out;
    const Bindings bindings = ReadControls(in, out);
    problems = out.str();
    return bindings;
}

TEST(ControlsFile, ALineBindsItsActionToExactlyItsControls) {
    std::string problems;
    const Bindings b = Read("# my keys\n"
                            "forward = Up, pad y   # the arrow and the pad's Y\n"
                            "FIRE = mouse right\n",
                            problems);
    EXPECT_EQ(problems, "");
    const std::vector<Control> forward = {{Control::Device::Key, key::Up}, {Control::Device::Pad, pad_button::Y}};
    EXPECT_EQ(b[Action::Forward], forward) << "W no longer walks";
    EXPECT_EQ(b[Action::Fire], (std::vector<Control>{{Control::Device::Mouse, mouse_button::Right}}));
    EXPECT_EQ(b[Action::Back], DefaultBindings()[Action::Back]) << "what the file leaves alone keeps its default";
}

TEST(ControlsFile, BadLinesAreReportedWithTheirNumberAndTheActionKeepsItsDefault) {
    std::string problems;
    const Bindings b = Read("walk = W\n"
                            "forward = Up, Hyperdrive\n"
                            "jump =\n"
                            "crouch\n"
                            "= C\n",
                            problems);
    for (Action a : {Action::Forward, Action::Jump, Action::Crouch})
        EXPECT_EQ(b[a], DefaultBindings()[a]) << ActionName(a);
    for (const char* expected : {"controls.ini line 1: no action 'walk'",
                                 "line 2: forward: no key or button 'Hyperdrive', ignored",
                                 "line 3: jump: no key or button", "line 4: 'crouch' is not action = controls",
                                 "line 5:"})
        EXPECT_NE(problems.find(expected), std::string::npos) << expected << "\n" << problems;
}

TEST(ControlsFile, TheWrittenLinesReadBackAndEveryNameIsDistinct) {
    Bindings changed = DefaultBindings();
    changed.of[static_cast<int>(Action::Jump)] = {{Control::Device::Key, key::LeftShift},
                                                  {Control::Device::Pad, pad_button::LeftStickDown}};
    std::string problems;
    const Bindings back = Read(ControlLines(changed), problems);
    EXPECT_EQ(problems, "");
    for (int a = 0; a < kActionCount; ++a) EXPECT_EQ(back.of[a], changed.of[a]) << a;
    // Every control that can be named is found under its own name.
    for (auto device : {Control::Device::Key, Control::Device::Mouse, Control::Device::Pad})
        for (int code = 0; code < 256; ++code) {
            const Control control{device, static_cast<std::uint8_t>(code)};
            const std::string name = ControlName(control);
            if (name.empty()) continue;
            Control parsed;
            ASSERT_TRUE(ParseControl(name, parsed)) << name;
            EXPECT_EQ(parsed, control) << name;
        }
}

}  // namespace
