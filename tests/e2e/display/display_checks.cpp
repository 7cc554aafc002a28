#include "display_checks.h"

#include <setupapi.h>

#include <cstring>
#include <utility>

#include "driver_double_client.h"
#include "screenshot.h"
#include "ui.h"
#include "wait.h"

namespace display_test {

testing::AssertionResult PlugControllers(const std::vector<std::string>& revisions) {
  std::string command = std::string("\"") + PLUG_CONTROLLER_EXE + "\"";
  command += revisions.empty() ? " unplug" : " plug";
  for (const std::string& revision : revisions) command += " " + revision;
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
    return testing::AssertionFailure() << "cannot start " << command;
  }
  const bool ended = ::WaitForSingleObject(process.hProcess, support::kWaitMs) == WAIT_OBJECT_0;
  DWORD code = 1;
  ::GetExitCodeProcess(process.hProcess, &code);
  if (!ended) ::TerminateProcess(process.hProcess, 1);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  if (ended && code == 0) return testing::AssertionSuccess();
  return testing::AssertionFailure() << command << " failed (exit code " << code << ")";
}

std::optional<std::string> FirstEnumeratedRevision() {
  constexpr char kPrefix[] = "USB\\Vid_0d7a&Pid_3000&Rev_";
  HDEVINFO devices =
      ::SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES);
  if (devices == INVALID_HANDLE_VALUE) return std::nullopt;
  std::optional<std::string> revision;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof(device);
  for (DWORD i = 0; !revision && ::SetupDiEnumDeviceInfo(devices, i, &device); ++i) {
    char ids[1024] = {};
    if (::SetupDiGetDeviceRegistryPropertyA(devices, &device, SPDRP_HARDWAREID, nullptr,
                                            reinterpret_cast<BYTE*>(ids), sizeof(ids) - 2,
                                            nullptr) &&
        _strnicmp(ids, kPrefix, std::strlen(kPrefix)) == 0) {
      revision = std::string(ids + std::strlen(kPrefix));
    }
  }
  ::SetupDiDestroyDeviceInfoList(devices);
  return revision;
}

std::string ControlText(HWND page, int id) { return support::WindowText(::GetDlgItem(page, id)); }

bool HasVisibleStyle(HWND page, int id) {
  return (::GetWindowLongA(::GetDlgItem(page, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

namespace {

// The pixels of a screen rectangle as the X server shows them.
std::vector<std::uint32_t> ScreenPixels(const RECT& rect) {
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
  ::SelectObject(memory, old);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  ::GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  return pixels;
}

}  // namespace

void SaveScreenshotOf(HWND window, const std::string& name) {
  support::WaitUntil([&] { return ::IsWindowVisible(window) != FALSE; });
  ::RedrawWindow(::GetAncestor(window, GA_ROOT), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  // Wine hands a window's painting to the X server a little later: the picture is taken once
  // the window's pixels on screen have stopped changing.
  RECT rect{};
  ::GetWindowRect(::GetAncestor(window, GA_ROOT), &rect);
  std::vector<std::uint32_t> last = ScreenPixels(rect);
  int unchanged = 0;
  support::WaitUntil([&] {
    std::vector<std::uint32_t> now = ScreenPixels(rect);
    unchanged = now == last ? unchanged + 1 : 0;
    last = std::move(now);
    return unchanged >= 5;
  });
  support::SaveScreenshot(support::ScreenshotPath(name));
}

}  // namespace display_test
