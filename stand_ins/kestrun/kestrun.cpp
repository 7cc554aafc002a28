// Stand-in for the starter program Kestrun, which setup installs with a Startup shortcut. It
// only records that it was started: a line with its command line is appended to the file named
// by the environment variable KESTRUN_LOG, when that is set.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  char log[MAX_PATH] = {};
  const DWORD length = ::GetEnvironmentVariableA("KESTRUN_LOG", log, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 0;
  HANDLE file = ::CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  ::WriteFile(file, commandLine, static_cast<DWORD>(::lstrlenA(commandLine)), &written, nullptr);
  ::WriteFile(file, "\r\n", 2, &written, nullptr);
  ::CloseHandle(file);
  return 0;
}
