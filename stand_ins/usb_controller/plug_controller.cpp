// plug_controller: makes a Tessaro touch controller appear in, or vanish from, the device list
// that SetupDiGetClassDevs(DIGCF_PRESENT | DIGCF_ALLCLASSES) enumerates.
//   plug_controller plug [REV...] plug a controller of revision REV (4 hex digits, default 0120),
//                               or one controller per REV, in that order; the controllers
//                               plugged before are replaced
//   plug_controller unplug      remove it (nothing to do when none is plugged)
//   plug_controller status      print "plugged" or "unplugged"
//   plug_controller list        print each present controller: instance id, then its hardware ids
// Exit code 0 on success, 1 when a SetupDi call fails, 2 on a usage error.
#include <windows.h>
#include <setupapi.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// GUID_DEVCLASS_USB
const GUID kUsbClass = {0x36fc9e60, 0xc465, 0x11cf, {0x80, 0x56, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
// Controller n is the device instance ROOT\TESSARO_TOUCH\000n.
constexpr int kMaxControllers = 4;
std::string InstanceId(int n) { return "ROOT\\TESSARO_TOUCH\\000" + std::to_string(n); }
const char kDescription[] = "Tessaro USB touch controller (simulated)";
const char kHardwareIdPrefix[] = "USB\\Vid_0d7a&Pid_3000&Rev_";

int Fail(const char* what) {
  std::fprintf(stderr, "plug_controller: %s failed (error %lu)\n", what, GetLastError());
  return 1;
}

bool StartsWithNoCase(const char* text, const char* prefix) {
  for (; *prefix; ++text, ++prefix)
    if (std::tolower(static_cast<unsigned char>(*text)) !=
        std::tolower(static_cast<unsigned char>(*prefix)))
      return false;
  return true;
}

std::vector<std::string> HardwareIds(HDEVINFO set, SP_DEVINFO_DATA& device) {
  char buffer[1024] = {};
  std::vector<std::string> ids;
  if (!SetupDiGetDeviceRegistryPropertyA(set, &device, SPDRP_HARDWAREID, nullptr,
                                         reinterpret_cast<BYTE*>(buffer), sizeof buffer - 2,
                                         nullptr))
    return ids;
  for (const char* id = buffer; *id; id += std::strlen(id) + 1) ids.emplace_back(id);
  return ids;
}

// Present devices of any class with a controller hardware id: instance id -> hardware ids.
bool PresentControllers(std::vector<std::pair<std::string, std::vector<std::string>>>& found) {
  HDEVINFO set = SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES);
  if (set == INVALID_HANDLE_VALUE) return false;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &device); ++i) {
    std::vector<std::string> ids = HardwareIds(set, device);
    for (const std::string& id : ids) {
      if (!StartsWithNoCase(id.c_str(), kHardwareIdPrefix)) continue;
      char instance[256] = {};
      SetupDiGetDeviceInstanceIdA(set, &device, instance, sizeof instance, nullptr);
      found.emplace_back(instance, ids);
      break;
    }
  }
  SetupDiDestroyDeviceInfoList(set);
  return true;
}

// Removes the controllers this program plugs; true also when there were none.
bool Unplug() {
  HDEVINFO set = SetupDiCreateDeviceInfoList(nullptr, nullptr);
  if (set == INVALID_HANDLE_VALUE) return false;
  bool ok = true;
  for (int n = 0; n < kMaxControllers; ++n) {
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    if (SetupDiOpenDeviceInfoA(set, InstanceId(n).c_str(), nullptr, 0, &device))
      ok = SetupDiRemoveDevice(set, &device) != FALSE && ok;
    else
      ok = GetLastError() == ERROR_NO_SUCH_DEVINST && ok;
  }
  SetupDiDestroyDeviceInfoList(set);
  return ok;
}

bool Plug(int n, const std::string& revision) {
  // Two hardware ids, the most specific first, as a USB hub reports them; double NUL ends them.
  const std::string base = "USB\\Vid_0d7a&Pid_3000";
  std::string ids = base + "&Rev_" + revision;
  ids += '\0';
  ids += base;
  ids += '\0';
  ids += '\0';

  HDEVINFO set = SetupDiCreateDeviceInfoList(&kUsbClass, nullptr);
  if (set == INVALID_HANDLE_VALUE) return false;
  SP_DEVINFO_DATA device{};
  device.cbSize = sizeof device;
  bool ok = SetupDiCreateDeviceInfoA(set, InstanceId(n).c_str(), &kUsbClass, kDescription, nullptr, 0,
                                     &device) &&
            SetupDiSetDeviceRegistryPropertyA(set, &device, SPDRP_HARDWAREID,
                                              reinterpret_cast<const BYTE*>(ids.data()),
                                              static_cast<DWORD>(ids.size())) &&
            SetupDiRegisterDeviceInfo(set, &device, 0, nullptr, nullptr, nullptr);
  SetupDiDestroyDeviceInfoList(set);
  return ok;
}

bool IsRevision(const char* text) {
  if (std::strlen(text) != 4) return false;
  for (; *text; ++text)
    if (!std::isxdigit(static_cast<unsigned char>(*text))) return false;
  return true;
}

int Usage() {
  std::fprintf(stderr, "usage: plug_controller plug [REV...] | unplug | status | list\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const std::string command = argv[1];

  if (command == "plug") {
    if (argc > 2 + kMaxControllers) return Usage();
    for (int i = 2; i < argc; ++i)
      if (!IsRevision(argv[i])) return Usage();
    if (!Unplug()) return Fail("removing the controllers plugged before");
    if (argc == 2) return Plug(0, "0120") ? 0 : Fail("plugging the controller");
    for (int i = 2; i < argc; ++i)
      if (!Plug(i - 2, argv[i])) return Fail("plugging a controller");
    return 0;
  }
  if (command == "unplug") {
    if (argc != 2) return Usage();
    return Unplug() ? 0 : Fail("unplugging the controller");
  }
  if (command == "status" || command == "list") {
    if (argc != 2) return Usage();
    std::vector<std::pair<std::string, std::vector<std::string>>> found;
    if (!PresentControllers(found)) return Fail("SetupDiGetClassDevs");
    if (command == "status") {
      std::printf("%s\n", found.empty() ? "unplugged" : "plugged");
      return 0;
    }
    for (const auto& [instance, ids] : found) {
      std::printf("%s\n", instance.c_str());
      for (const std::string& id : ids) std::printf("  %s\n", id.c_str());
    }
    return 0;
  }
  return Usage();
}
