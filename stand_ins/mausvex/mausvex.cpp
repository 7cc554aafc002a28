// Stand-in for Mausvex, the separate mouse-button selection program that the Touch Setting page
// starts. It shows nothing: it records that it was started and how, then ends.
//
// HKEY_CURRENT_USER\Software\Tessaro stand-ins\Mausvex:
//   "Starts"            REG_DWORD   one more on every start
//   "Program"           REG_SZ      this copy's own path (which file was started)
//   "CommandLine"       REG_SZ      the command line it was given
//   "CurrentDirectory"  REG_SZ      its current directory
#include <windows.h>

namespace {

constexpr char kRecordKey[] = "Software\\Tessaro stand-ins\\Mausvex";

void SetText(HKEY key, const char* name, const char* text) {
  ::RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   static_cast<DWORD>(::lstrlenA(text) + 1));
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  HKEY key = nullptr;
  if (::RegCreateKeyExA(HKEY_CURRENT_USER, kRecordKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return 1;
  }
  char program[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, program, MAX_PATH);
  char directory[MAX_PATH] = {};
  ::GetCurrentDirectoryA(MAX_PATH, directory);
  SetText(key, "Program", program);
  SetText(key, "CommandLine", ::GetCommandLineA());
  SetText(key, "CurrentDirectory", directory);
  // Written last, so that a reader who sees the new count also sees the texts of this start.
  DWORD starts = 0;
  DWORD size = sizeof(starts);
  ::RegQueryValueExA(key, "Starts", nullptr, nullptr, reinterpret_cast<BYTE*>(&starts), &size);
  ++starts;
  ::RegSetValueExA(key, "Starts", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&starts),
                   sizeof(starts));
  ::RegCloseKey(key);
  return 0;
}
