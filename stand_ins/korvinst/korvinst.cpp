// Stand-in for the driver-installation library Korvinst: the least that setup needs of it,
// done with the system's own service, device and file functions. Every call is appended to the
// file named by the environment variable KORVINST_LOG, when it is set, so that tests see which
// calls setup made and in which order.
#define KORVINST_BUILDING
#include "korvinst.h"

#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "common/hardware_id.h"
#include "common/present_devices.h"
#include "driver_link/settings_store.h"

namespace {

constexpr char kServiceName[] = "VTusb";
constexpr char kPackageName[] = "Vantora USB";
constexpr char kDriverFile[] = "vtusb.sys";
constexpr char kEnumKey[] = "System\\CurrentControlSet\\Services\\VTusb\\ENUM";
constexpr int kFailure = 2;
constexpr int kMaxOemInf = 10000;
constexpr DWORD kIdCapacity = 1024;

bool ReadFileBytes(const std::string& path, std::string* bytes) {
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  bytes->clear();
  char chunk[4096];
  DWORD read = 0;
  bool ok = true;
  while ((ok = ::ReadFile(file, chunk, sizeof(chunk), &read, nullptr) != FALSE) && read > 0) {
    bytes->append(chunk, read);
  }
  ::CloseHandle(file);
  return ok;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes, bool append = false) {
  HANDLE file =
      ::CreateFileA(path.c_str(), append ? FILE_APPEND_DATA : GENERIC_WRITE, FILE_SHARE_READ,
                    nullptr, append ? OPEN_ALWAYS : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok =
      ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
      written == bytes.size();
  ::CloseHandle(file);
  return ok;
}

void Log(const std::string& line) {
  char path[MAX_PATH] = {};
  const DWORD length = ::GetEnvironmentVariableA("KORVINST_LOG", path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return;
  WriteFileBytes(path, line + "\n", true);
}

int Logged(const std::string& call, int result) {
  Log(call + " -> " + std::to_string(result));
  return result;
}

std::string WindowsFolder() {
  char folder[MAX_PATH] = {};
  const UINT length = ::GetWindowsDirectoryA(folder, MAX_PATH);
  return length > 0 && length < MAX_PATH ? folder : "";
}

// The name of an "oem*.inf" copy in `folder` whose content is `inf`, or "" when none is.
std::string SameInfCopy(const std::string& folder, const std::string& inf) {
  WIN32_FIND_DATAA found{};
  HANDLE search = ::FindFirstFileA((folder + "oem*.inf").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return "";
  std::string same;
  do {
    std::string existing;
    if (ReadFileBytes(folder + found.cFileName, &existing) && existing == inf) {
      same = found.cFileName;
    }
  } while (same.empty() && ::FindNextFileA(search, &found));
  ::FindClose(search);
  return same;
}

// The system's copy of an INF: an "oem*.inf" of the same content when there is one, otherwise
// "oem<N>.inf" with the first number that has no file at all (a file that cannot be read is
// still taken); with a precompiled ".pnf" file beside it.
bool CopyInfIntoSystem(const std::string& inf) {
  const std::string folder = WindowsFolder() + "\\inf\\";
  const std::string pnf = "PNF stand-in\r\n" + inf;
  const std::string same = SameInfCopy(folder, inf);
  if (!same.empty()) return WriteFileBytes(folder + same.substr(0, same.rfind('.')) + ".pnf", pnf);
  for (int n = 0; n < kMaxOemInf; ++n) {
    const std::string name = folder + "oem" + std::to_string(n);
    if (::GetFileAttributesA((name + ".inf").c_str()) != INVALID_FILE_ATTRIBUTES) continue;
    return WriteFileBytes(name + ".inf", inf) && WriteFileBytes(name + ".pnf", pnf);
  }
  return false;
}

// Where the driver's file lies, and where its service starts it from.
std::string SystemDriverFile() { return WindowsFolder() + "\\system32\\drivers\\" + kDriverFile; }

// The driver file goes next to the other drivers. A running driver keeps its image open: the
// file in place is then the one that runs, and it must be the package's.
bool CopyDriverIntoSystem(const std::string& packageFolder) {
  const std::string source = packageFolder + kDriverFile;
  const std::string target = SystemDriverFile();
  std::string wanted;
  if (!ReadFileBytes(source, &wanted)) return false;
  if (::CopyFileA(source.c_str(), target.c_str(), FALSE)) return true;
  std::string present;
  return ReadFileBytes(target, &present) && present == wanted;
}

bool CreateAndStartService() {
  SC_HANDLE manager = ::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  if (manager == nullptr) return false;
  const std::string binary = SystemDriverFile();
  SC_HANDLE service =
      ::CreateServiceA(manager, kServiceName, kServiceName, SERVICE_ALL_ACCESS,
                       SERVICE_KERNEL_DRIVER, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                       binary.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr);
  if (service == nullptr && ::GetLastError() == ERROR_SERVICE_EXISTS) {
    service = ::OpenServiceA(manager, kServiceName, SERVICE_ALL_ACCESS);
  }
  bool running = false;
  if (service != nullptr) {
    running =
        ::StartServiceA(service, 0, nullptr) || ::GetLastError() == ERROR_SERVICE_ALREADY_RUNNING;
    ::CloseServiceHandle(service);
  }
  ::CloseServiceHandle(manager);
  return running;
}

bool StartsWithNoCase(const char* text, const char* prefix) {
  for (; *prefix != '\0'; ++text, ++prefix) {
    if (std::tolower(static_cast<unsigned char>(*text)) !=
        std::tolower(static_cast<unsigned char>(*prefix))) {
      return false;
    }
  }
  return true;
}

// Calls `visit(set, device, ids, reported, capacity)` for every present device with hardware ids
// that fit one read of kIdCapacity bytes; a device whose read fails is passed over.
template <class Visit>
void ForEachPresentDevice(Visit visit) {
  constexpr hwid::IdScan scan = {kIdCapacity, hwid::ReRead::kNever, hwid::OnFailure::kSkipDevice};
  hwid::ScanPresentDeviceIds(scan, [&](HDEVINFO set, SP_DEVINFO_DATA& device, const char* ids,
                                       std::size_t capacity, std::size_t reported) {
    visit(set, device, ids, reported, capacity);
    return false;
  });
}

DWORD PresentControllerCount() {
  DWORD count = 0;
  ForEachPresentDevice(
      [&](HDEVINFO, SP_DEVINFO_DATA&, const char* ids, std::size_t reported, std::size_t capacity) {
        if (hwid::HasControllerId(ids, capacity, reported)) ++count;
      });
  return count;
}

// The number of devices the driver serves, where the service keeps it.
void WriteDeviceCount(DWORD count) {
  HKEY key = nullptr;
  if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kEnumKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return;
  }
  ::RegSetValueExA(key, "Count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&count),
                   sizeof(count));
  ::RegCloseKey(key);
}

int RemoveDevices(const char* id) {
  int removed = 0;
  ForEachPresentDevice([&](HDEVINFO set, SP_DEVINFO_DATA& device, const char* ids,
                           std::size_t reported, std::size_t) {
    for (const char* entry = ids; *entry != '\0' && entry < ids + reported;
         entry += std::strlen(entry) + 1) {
      if (!StartsWithNoCase(entry, id)) continue;
      if (::SetupDiRemoveDevice(set, &device)) ++removed;
      return;
    }
  });
  HKEY key = nullptr;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kEnumKey, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
    ::RegCloseKey(key);
    WriteDeviceCount(PresentControllerCount());
  }
  return removed;
}

bool StopAndDeleteService() {
  SC_HANDLE manager = ::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  if (manager == nullptr) return false;
  SC_HANDLE service = ::OpenServiceA(manager, kServiceName, SERVICE_ALL_ACCESS);
  bool deleted = false;
  if (service != nullptr) {
    SERVICE_STATUS status{};
    if (::ControlService(service, SERVICE_CONTROL_STOP, &status)) {
      for (int i = 0; i < 100 && ::QueryServiceStatus(service, &status) &&
                      status.dwCurrentState != SERVICE_STOPPED;
           ++i) {
        ::Sleep(50);
      }
    }
    deleted = ::DeleteService(service) != FALSE;
    ::CloseServiceHandle(service);
  }
  ::CloseServiceHandle(manager);
  return deleted;
}

}  // namespace

KORVINST_API int __cdecl Install(const char* infPath) {
  const std::string path = infPath != nullptr ? infPath : "";
  const std::string call = "Install " + path;
  std::string inf;
  if (!ReadFileBytes(path, &inf)) return Logged(call, kFailure);
  const std::string folder = path.substr(0, path.find_last_of("\\/") + 1);
  if (!CopyInfIntoSystem(inf) || !CopyDriverIntoSystem(folder) || !CreateAndStartService()) {
    return Logged(call, kFailure);
  }
  WriteDeviceCount(PresentControllerCount());
  return Logged(call, 0);
}

KORVINST_API int __cdecl Remove(int mode, const char* id) {
  const std::string name = id != nullptr ? id : "";
  const std::string call = "Remove " + std::to_string(mode) + " " + name;
  if (mode == 1 && !name.empty()) return Logged(call, RemoveDevices(name.c_str()));
  if (mode == 2 && name == kPackageName) return Logged(call, StopAndDeleteService() ? 0 : 1);
  return Logged(call, -1);
}

KORVINST_API int __cdecl RegGetPath(char* buffer, int kind) {
  if (buffer == nullptr || kind < kFolderCommonDesktop || kind > kFolderCommonStartup) return 0;
  return GetShellFolderPath(buffer, static_cast<FolderKind>(kind)) ? 1 : 0;
}
