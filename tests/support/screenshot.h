// Pictures of the screen for a person to look at after a run; no test compares them.
#pragma once

#include <string>

namespace support {

// <build>/screenshots/<name>.bmp; the folder is created when it is missing. A cleanup step of
// the test run turns the pictures into PNG files when ImageMagick is there.
std::string ScreenshotPath(const std::string& name);

// Writes the whole virtual desktop (every monitor) as a 24-bit bottom-up BMP. True when the file
// was written.
bool SaveScreenshot(const std::string& path);

}  // namespace support
