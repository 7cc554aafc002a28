// double_ctl: drives the driver double from shell scripts.
//   double_ctl log                  one line per recorded request: 0x220208 in=01 ok
//                                   (input bytes in hex; "in= ok" for no input)
//   double_ctl state                overflowed, open handles, create/cleanup/close counts
//   double_ctl clear                forget the record
//   double_ctl fail [CODE...]       these codes fail from now on (none without arguments)
//   double_ctl version MAJOR MINOR  what IOCTL_GET_VERSION answers
// Exit code 0 on success, 1 when the double cannot be reached, 2 on a usage error.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "driver_double_client.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: double_ctl log | state | clear | fail [CODE...] | version MAJOR MINOR\n");
  return 2;
}

bool ParseNumber(const char* text, unsigned long max, unsigned long& value) {
  char* end = nullptr;
  value = std::strtoul(text, &end, 0);
  return *text && !*end && value <= max;
}

int Unreachable() {
  std::fprintf(stderr, "double_ctl: the driver double cannot be reached\n");
  return 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  const char* command = argv[1];

  if (!std::strcmp(command, "log") || !std::strcmp(command, "state")) {
    if (argc != 2) return Usage();
    std::vector<DriverRequest> log;
    DriverLogState state;
    if (!ReadDriverLog(log, &state)) return Unreachable();
    if (command[0] == 's') {
      std::printf("entries=%u overflowed=%d open=%u creates=%u cleanups=%u closes=%u\n",
                  static_cast<unsigned>(log.size()), state.overflowed ? 1 : 0, state.openHandles,
                  state.creates, state.cleanups, state.closes);
      return 0;
    }
    for (const DriverRequest& request : log) {
      std::printf("0x%06x in=", request.code);
      for (std::size_t i = 0; i < request.input.size(); ++i)
        std::printf(i ? " %02x" : "%02x", request.input[i]);
      if (request.inputLength > request.input.size())
        std::printf(" ...(%u bytes)", request.inputLength);
      std::printf(" %s\n", request.succeeded ? "ok" : "fail");
    }
    return 0;
  }
  if (!std::strcmp(command, "clear")) {
    if (argc != 2) return Usage();
    return ClearDriverLog() ? 0 : Unreachable();
  }
  if (!std::strcmp(command, "fail")) {
    std::vector<std::uint32_t> codes;
    for (int i = 2; i < argc; ++i) {
      unsigned long code = 0;
      if (!ParseNumber(argv[i], 0xffffffffUL, code)) return Usage();
      codes.push_back(static_cast<std::uint32_t>(code));
    }
    if (codes.size() > 16) return Usage();
    return SetFailingCodes(codes) ? 0 : Unreachable();
  }
  if (!std::strcmp(command, "version")) {
    unsigned long major = 0, minor = 0;
    if (argc != 4 || !ParseNumber(argv[2], 255, major) || !ParseNumber(argv[3], 255, minor))
      return Usage();
    return SetDriverVersion(static_cast<std::uint8_t>(major), static_cast<std::uint8_t>(minor))
               ? 0
               : Unreachable();
  }
  return Usage();
}
