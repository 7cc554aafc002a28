#include "display_checks.h"

#include <setupapi.h>

#include <cstring>
#include <iomanip>

#include "driver_double_client.h"
#include "screenshot.h"
#include "ui.h"
#include "wait.h"

namespace display_test {

void PrintTo(const Sent& sent, std::ostream* out) {
  *out << "0x" << std::hex << sent.code << " [";
  for (std::size_t i = 0; i < sent.input.size(); ++i) {
    *out << (i ? " " : "") << std::setw(2) << std::setfill('0') << int{sent.input[i]};
  }
  *out << "]" << std::dec;
}

Bytes Int32s(std::initializer_list<std::int32_t> values) {
  Bytes bytes;
  for (std::int32_t value : values) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8) {
      bytes.push_back(static_cast<std::uint8_t>(bits >> shift));
    }
  }
  return bytes;
}

support::RegistryValue DwordValue(std::int32_t value) { return {REG_DWORD, Int32s({value})}; }

std::vector<Sent> TakeSent() {
  std::vector<DriverRequest> log;
  EXPECT_TRUE(ReadDriverLog(log));
  EXPECT_TRUE(ClearDriverLog());
  std::vector<Sent> sent;
  for (const DriverRequest& request : log) sent.push_back({request.code, request.input});
  return sent;
}

testing::AssertionResult DriverReceived(const std::vector<Sent>& expected) {
  std::vector<DriverRequest> log;
  support::WaitUntil([&] { return ReadDriverLog(log) && log.size() >= expected.size(); });
  const std::vector<Sent> sent = TakeSent();
  if (sent == expected) return testing::AssertionSuccess();
  return testing::AssertionFailure()
         << "the driver received " << testing::PrintToString(sent)
         << "\n                   expected " << testing::PrintToString(expected);
}

std::optional<support::RegistryValue> Stored(const char* name) {
  return support::ReadValue(HKEY_LOCAL_MACHINE, support::kSettingsKey, name);
}

std::vector<std::string> StoredNames() {
  return support::ValueNames(HKEY_LOCAL_MACHINE, support::kSettingsKey)
      .value_or(std::vector<std::string>{});
}

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

void SaveScreenshotOf(HWND window, const std::string& name) {
  support::WaitUntil([&] { return ::IsWindowVisible(window) != FALSE; });
  // Painting on the program's side is asked for and waited on: the messages are sent.
  ::RedrawWindow(::GetAncestor(window, GA_ROOT), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
  support::SaveScreenshot(support::ScreenshotPath(name));
}

}  // namespace display_test
