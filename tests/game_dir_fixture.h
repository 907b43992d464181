#pragma once
// Tests over the generated data folder: they work inside it with windowed
// default settings, a real GL window and a debug log of their own (CTest
// runs the tests of one suite side by side).
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "base/debug_log.h"
#include "base/settings.h"
#include "core/shell.h"

class GameDirTest : public ::testing::Test {
protected:
    // Enters the data folder and opens the window at the given size.
    void OpenWindow(int width = 800, int height = 600) {
        previous = std::filesystem::current_path();
        std::filesystem::current_path(TALVEMAR_GAME_DIR);
        settings = Settings::Defaults();
        settings.fullScreen = 0;
        settings.width = width;
        settings.height = height;
        std::string error;
        window = OpenGameWindow(error);
        ASSERT_NE(window, nullptr) << error;
        OpenDebugLog(log);
    }
    // Closes the window and the log and leaves the data folder; safe twice.
    void CloseWindow() {
        window.reset();
        CloseDebugLog();
        if (!previous.empty()) std::filesystem::current_path(previous);
        previous.clear();
    }
    void TearDown() override { CloseWindow(); }

    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string log = ::testing::TempDir() + info->test_suite_name() + "_" + info->name() + ".txt";
    std::filesystem::path previous;
    std::unique_ptr<platform::GameWindow> window;
};
