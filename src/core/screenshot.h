#pragma once
#include <string>

// Saves what the window shows (the back buffer of the current GL context,
// width x height pixels) as a 24-bit BMP. False when it cannot be written.
bool SaveScreenshot(const std::string& path, int width, int height);
// The next free name "screenshotNNN.bmp" in the working directory.
std::string NextScreenshotName();
