// startup_bench: how long a program takes from CreateProcess to an idle, visible main window.
//   startup_bench [--runs N] TESSARO_EXE BASELINE_EXE
// Starts the two programs alternately, N times each (default 15), after one warm-up start of
// each that is not counted. A run is timed from just before CreateProcess until both
// WaitForInputIdle has returned and a visible top-level window of the new process exists; then
// the program gets WM_CLOSE on that window (TerminateProcess when it does not end in time) and
// the next one starts only after it has fully exited. Tessaro is a single-instance program: its
// mutex must be gone too before the next start. Prints every run, the medians, their ratio and
// the sizes of both files.
// Exit code 0 on success, 1 when a program could not be started, timed or closed, 2 on a usage
// error.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char kTessaroMutex[] = "Vantora_Tessaro";
const double kStartTimeoutMs = 30000.0;
const DWORD kCloseTimeoutMs = 10000;
const double kMutexTimeoutMs = 5000.0;

class Stopwatch {
 public:
  Stopwatch() {
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    m_ticksPerMs = static_cast<double>(frequency.QuadPart) / 1000.0;
    Restart();
  }
  void Restart() { ::QueryPerformanceCounter(&m_start); }
  double ElapsedMs() const {
    LARGE_INTEGER now;
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart - m_start.QuadPart) / m_ticksPerMs;
  }

 private:
  double m_ticksPerMs = 1.0;
  LARGE_INTEGER m_start{};
};

struct Program {
  std::string path;       // Windows path of the executable
  std::string directory;  // its folder, the working directory of every start
  std::string name;       // file name, for the output
  const char* mutex;      // single-instance mutex, or nullptr
  unsigned long size = 0;
  std::vector<double> times;
};

Program Describe(const char* argument, const char* mutex) {
  Program program;
  program.path = argument;
  std::replace(program.path.begin(), program.path.end(), '/', '\\');
  const std::string::size_type slash = program.path.find_last_of('\\');
  program.directory = slash == std::string::npos ? "." : program.path.substr(0, slash);
  program.name = slash == std::string::npos ? program.path : program.path.substr(slash + 1);
  program.mutex = mutex;
  WIN32_FILE_ATTRIBUTE_DATA attributes{};
  if (::GetFileAttributesExA(program.path.c_str(), GetFileExInfoStandard, &attributes)) {
    program.size = attributes.nFileSizeLow;
  }
  return program;
}

struct WindowSearch {
  DWORD processId;
  HWND found;
};

// The main window: the first visible top-level window of the process.
BOOL CALLBACK FindMainWindow(HWND hWnd, LPARAM lParam) {
  auto* search = reinterpret_cast<WindowSearch*>(lParam);
  DWORD processId = 0;
  ::GetWindowThreadProcessId(hWnd, &processId);
  if (processId == search->processId && ::IsWindowVisible(hWnd)) {
    search->found = hWnd;
    return FALSE;
  }
  return TRUE;
}

HWND MainWindowOf(DWORD processId) {
  WindowSearch search{processId, nullptr};
  ::EnumWindows(&FindMainWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool MutexExists(const char* name) {
  HANDLE mutex = ::OpenMutexA(SYNCHRONIZE, FALSE, name);
  if (mutex == nullptr) return false;
  ::CloseHandle(mutex);
  return true;
}

// "class "caption"" of a window, for messages.
std::string WindowText(HWND hWnd) {
  char className[64] = {};
  char caption[128] = {};
  ::GetClassNameA(hWnd, className, sizeof(className));
  ::GetWindowTextA(hWnd, caption, sizeof(caption));
  return std::string(className) + " \"" + caption + "\"";
}

bool HasExited(HANDLE process) { return ::WaitForSingleObject(process, 0) == WAIT_OBJECT_0; }

// Ends the program: WM_CLOSE to its main window, TerminateProcess when that does not do it in
// time. Waits until the process and its single-instance mutex are gone. Returns false when the
// program had to be terminated or did not go away at all.
bool Close(const Program& program, const PROCESS_INFORMATION& process, HWND mainWindow,
           std::string& error) {
  bool closed = false;
  if (mainWindow != nullptr && ::PostMessageW(mainWindow, WM_CLOSE, 0, 0)) {
    closed = ::WaitForSingleObject(process.hProcess, kCloseTimeoutMs) == WAIT_OBJECT_0;
  }
  if (!closed) {
    error = mainWindow != nullptr
                ? "did not exit after WM_CLOSE to " + WindowText(mainWindow) + "; terminated"
                : "terminated";
    ::TerminateProcess(process.hProcess, 1);
    if (::WaitForSingleObject(process.hProcess, kCloseTimeoutMs) != WAIT_OBJECT_0) {
      error = "could not be terminated";
      return false;
    }
  }
  if (program.mutex != nullptr) {
    const Stopwatch waiting;
    while (MutexExists(program.mutex)) {
      if (waiting.ElapsedMs() > kMutexTimeoutMs) {
        error = "exited, but its mutex is still there";
        return false;
      }
      ::Sleep(1);
    }
  }
  return closed;
}

// One start: returns the time to the idle main window in milliseconds, or a negative value and
// the reason in `error`.
double TimeOneStart(const Program& program, std::string& error) {
  std::string commandLine = "\"" + program.path + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};

  Stopwatch clock;
  if (!::CreateProcessA(program.path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, program.directory.c_str(), &startup, &process)) {
    error = "CreateProcess failed (error " + std::to_string(::GetLastError()) + ")";
    return -1.0;
  }
  ::CloseHandle(process.hThread);

  double elapsed = -1.0;
  HWND mainWindow = nullptr;
  const DWORD idle = ::WaitForInputIdle(process.hProcess, static_cast<DWORD>(kStartTimeoutMs));
  if (idle == WAIT_TIMEOUT) {
    error = "did not become idle in time";
  } else if (idle != 0) {
    error = "WaitForInputIdle failed (error " + std::to_string(::GetLastError()) + ")";
  } else {
    for (;;) {
      mainWindow = MainWindowOf(process.dwProcessId);
      if (mainWindow != nullptr) {
        elapsed = clock.ElapsedMs();
        break;
      }
      if (HasExited(process.hProcess)) {
        error = "exited without showing a window";
        break;
      }
      if (clock.ElapsedMs() > kStartTimeoutMs) {
        error = "showed no window in time";
        break;
      }
      ::Sleep(1);
    }
  }

  std::string closeError;
  if (!HasExited(process.hProcess) && !Close(program, process, mainWindow, closeError) &&
      elapsed >= 0.0) {
    error = closeError;
    elapsed = -1.0;
  }
  ::CloseHandle(process.hProcess);
  return elapsed;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

int Usage() {
  std::fprintf(stderr, "usage: startup_bench [--runs N] TESSARO_EXE BASELINE_EXE\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 15;
  std::vector<const char*> paths;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument == "--runs" && i + 1 < argc) {
      runs = std::atoi(argv[++i]);
      if (runs < 1) return Usage();
    } else {
      paths.push_back(argv[i]);
    }
  }
  if (paths.size() != 2) return Usage();

  std::vector<Program> programs;
  programs.push_back(Describe(paths[0], kTessaroMutex));
  programs.push_back(Describe(paths[1], nullptr));
  for (const Program& program : programs) {
    if (::GetFileAttributesA(program.path.c_str()) == INVALID_FILE_ATTRIBUTES) {
      std::fprintf(stderr, "startup_bench: %s not found\n", program.path.c_str());
      return 1;
    }
  }
  if (MutexExists(kTessaroMutex)) {
    std::fprintf(stderr, "startup_bench: a Tessaro instance is already running\n");
    return 1;
  }

  int width = 0;
  for (const Program& program : programs) {
    width = std::max(width, static_cast<int>(program.name.size()));
  }
  width += 2;

  std::printf("%d starts of each, alternating, after one warm-up start of each (ms)\n", runs);
  std::printf("  run ");
  for (const Program& program : programs) std::printf("%*s", width, program.name.c_str());
  std::printf("\n");
  for (int run = 0; run <= runs; ++run) {
    if (run == 0) {
      std::printf("  warm");
    } else {
      std::printf("  %4d", run);
    }
    for (Program& program : programs) {
      std::string error;
      const double ms = TimeOneStart(program, error);
      if (ms < 0.0) {
        std::printf("\nstartup_bench: %s: %s\n", program.name.c_str(), error.c_str());
        return 1;
      }
      if (run > 0) program.times.push_back(ms);
      std::printf("%*.1f", width, ms);
      std::fflush(stdout);
    }
    std::printf("\n");
    std::fflush(stdout);
  }

  std::printf("\nstart-up to idle main window, median of %d runs\n", runs);
  for (const Program& program : programs) {
    const auto [low, high] = std::minmax_element(program.times.begin(), program.times.end());
    std::printf("  %-*s %8.1f ms   (range %.1f to %.1f ms; %lu bytes)\n", width,
                program.name.c_str(), Median(program.times), *low, *high, program.size);
  }
  std::printf("  %-*s %8.2f\n", width, "ratio",
              Median(programs[0].times) / Median(programs[1].times));
  return 0;
}
