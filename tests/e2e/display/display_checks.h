// What the display-mapping and Info tests look at besides the driver double's record and the
// settings key (tests/support): the simulated controllers and the controls of a page seen from
// outside.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace display_test {

// The driver's control codes, spelled out here so that a wrong code in the utility shows.
constexpr std::uint32_t kResetCalPts = 0x220054;
constexpr std::uint32_t kGetVersion = 0x22011c;
constexpr std::uint32_t kMapping = 0x220168;
constexpr std::uint32_t kSingleMonitor = 0x220190;
constexpr std::uint32_t kCableConnection = 0x2201b8;

// Runs plug_controller.exe with the revisions given (none: all unplugged) and waits for it.
testing::AssertionResult PlugControllers(const std::vector<std::string>& revisions);
// The revision of the first controller in the system's enumeration order, as its first
// hardware identifier spells it.
std::optional<std::string> FirstEnumeratedRevision();

// A control of a page: its text, and whether it has the visible style (the page itself may
// be hidden).
std::string ControlText(HWND page, int id);
bool HasVisibleStyle(HWND page, int id);

// Waits until the window is visible, has it and its children painted, then saves the screen.
void SaveScreenshotOf(HWND window, const std::string& name);

}  // namespace display_test
