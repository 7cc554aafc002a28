#include "driver_service.h"

#include <windows.h>

#include <string>

#include "driver_double_client.h"
#include "wait.h"

namespace support {
namespace {

constexpr char kServiceName[] = "VTusb";

// Runs sc.exe with its output discarded and waits for it to end; returns its exit code.
testing::AssertionResult RunServiceControl(const std::string& verb) {
  std::string commandLine = "sc.exe " + verb + " " + kServiceName;
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  HANDLE nul =
      ::CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    &inherit, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = nul;
  startup.hStdOutput = nul;
  startup.hStdError = nul;
  PROCESS_INFORMATION process{};
  const BOOL created = ::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
  const DWORD createError = ::GetLastError();
  if (nul != INVALID_HANDLE_VALUE) ::CloseHandle(nul);
  if (!created) {
    return testing::AssertionFailure()
           << "\"" << commandLine << "\" could not be started, error " << createError;
  }
  ::CloseHandle(process.hThread);
  const DWORD waited = ::WaitForSingleObject(process.hProcess, kWaitMs);
  DWORD exitCode = 0;
  ::GetExitCodeProcess(process.hProcess, &exitCode);
  if (waited != WAIT_OBJECT_0) ::TerminateProcess(process.hProcess, 1);
  ::CloseHandle(process.hProcess);
  if (waited != WAIT_OBJECT_0) {
    return testing::AssertionFailure()
           << "\"" << commandLine << "\" did not end within " << kWaitMs << " ms";
  }
  return testing::AssertionSuccess() << "exit code " << exitCode;
}

}  // namespace

bool DriverRunning() { return OpenHandleCount() >= 0; }

testing::AssertionResult StopDriver() {
  // sc.exe answers 1 when the driver was not running; what counts is that it is gone after.
  testing::AssertionResult ran = RunServiceControl("stop");
  if (!ran) return ran;
  if (!WaitUntil([] { return !DriverRunning(); })) {
    return testing::AssertionFailure() << "the driver still answers " << kWaitMs
                                       << " ms after \"sc.exe stop " << kServiceName << "\"";
  }
  return testing::AssertionSuccess();
}

testing::AssertionResult StartDriver() {
  testing::AssertionResult ran = RunServiceControl("start");
  if (!ran) return ran;
  if (!WaitUntil([] { return DriverRunning(); })) {
    return testing::AssertionFailure()
           << "the driver does not answer " << kWaitMs << " ms after \"sc.exe start "
           << kServiceName << "\" (" << ran.message() << ")";
  }
  return testing::AssertionSuccess();
}

DriverAbsent::DriverAbsent() : stopped_(StopDriver()) {}

DriverAbsent::~DriverAbsent() {
  const testing::AssertionResult started = StartDriver();
  if (!started) ADD_FAILURE() << "the driver could not be started again: " << started.message();
}

}  // namespace support
