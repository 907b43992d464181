#pragma once
// The fixture of the GL suites: each test opens a game window (windowed,
// default settings) and closes it with the debug log it started. Suites
// that hold GL names release them before calling TearDown.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "base/debug_log.h"
#include "base/settings.h"
#include "core/shell.h"

class GlWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings = Settings::Defaults();
        settings.fullScreen = 0;
        std::string error;
        window = OpenGameWindow(error);
        ASSERT_NE(window, nullptr) << error;
    }
    void TearDown() override {
        window.reset();
        CloseDebugLog();
    }

    std::unique_ptr<platform::GameWindow> window;
};
