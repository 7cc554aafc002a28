// Hold benchmark: how many hold-timer ticks and how much time pass between the press on a target
// and the accepted point, for a touch held perfectly still. Runs the real calibration screen
// in-process, against the driver double, with real mouse input.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "calibration/CalibrationScreen.h"
#include "driver_link/settings_store.h"
#include "resources/resource.h"

namespace {

HWND g_screen = nullptr;
int g_ticks = 0;

LRESULT CALLBACK CountTimerTicks(int code, WPARAM wParam, LPARAM lParam) {
  const auto* msg = reinterpret_cast<const MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == WM_TIMER &&
      msg->hwnd == g_screen) {
    ++g_ticks;
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

int VisibleTargets() {
  int visible = 0;
  for (HWND child = ::GetWindow(g_screen, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (::IsWindowVisible(child)) ++visible;
  }
  return visible;
}

void Pump() {
  MSG msg;
  while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (!fw::WalkPreTranslateTree(&msg)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageW(&msg);
    }
  }
}

void Press(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  ::SendInput(1, &input, sizeof(input));
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) /
         static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  g_strSettingsKey = "System\\CurrentControlSet\\Services\\VantoraUSB";

  CCalibrationScreen screen;
  if (!screen.Create(IDD_CALIBRATION_SCREEN, nullptr)) {
    std::fprintf(stderr, "hold_bench: the calibration screen could not be created\n");
    return 1;
  }
  g_screen = screen.m_hWnd;
  HHOOK hook =
      ::SetWindowsHookExW(WH_GETMESSAGE, &CountTimerTicks, nullptr, ::GetCurrentThreadId());

  std::vector<int> ticks;
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    screen.ShowWindow(SW_MAXIMIZE);
    screen.StartCalibration(calibration::CalibrationKind::kTwoPoint);
    ::SetCursorPos(20, 20);  // the first two-point target
    Pump();
    g_ticks = 0;
    LARGE_INTEGER pressed;
    LARGE_INTEGER accepted;
    ::QueryPerformanceCounter(&pressed);
    Press(MOUSEEVENTF_LEFTDOWN);
    const DWORD deadline = ::GetTickCount() + 5000;
    while (VisibleTargets() < 2 && ::GetTickCount() < deadline) {
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
      Pump();
    }
    ::QueryPerformanceCounter(&accepted);
    Press(MOUSEEVENTF_LEFTUP);
    Pump();
    if (VisibleTargets() < 2) {
      std::fprintf(stderr, "hold_bench: run %d: the point was not accepted\n", run + 1);
      return 1;
    }
    ticks.push_back(g_ticks);
    times.push_back(Milliseconds(pressed, accepted));
    std::printf("run %2d: %d ticks, %.1f ms\n", run + 1, g_ticks, times.back());
  }
  ::UnhookWindowsHookEx(hook);

  std::sort(times.begin(), times.end());
  std::printf("still touch, press to accepted point, %d runs\n", runs);
  std::printf("  timer ticks     %d to %d\n", *std::min_element(ticks.begin(), ticks.end()),
              *std::max_element(ticks.begin(), ticks.end()));
  std::printf("  time (median)   %.1f ms\n", times[times.size() / 2]);
  return 0;
}
