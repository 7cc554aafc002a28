// Bounded waiting: every wait in the tests ends, with a failure, after a fixed time.
#pragma once

#include <windows.h>

namespace support {

// Long enough for a slow Wine start, short enough that a hung program fails the test quickly.
constexpr DWORD kWaitMs = 10000;

// Checks `done` every 20 ms until it holds or `timeoutMs` has passed. True when it held.
template <class Done>
bool WaitUntil(Done done, DWORD timeoutMs = kWaitMs) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    if (done()) return true;
    if (::GetTickCount() - start >= timeoutMs) return done();
    ::Sleep(20);
  }
}

}  // namespace support
