// One running instance per program: a named mutex that a later instance finds. Made by a static
// object defined before the application object, so that the check is made before anything else
// of the program runs.
#pragma once

#include <windows.h>

namespace fw {

class CSingleInstance {
 public:
  explicit CSingleInstance(const char* mutexName);
  CSingleInstance(const CSingleInstance&) = delete;
  CSingleInstance& operator=(const CSingleInstance&) = delete;
  ~CSingleInstance();

  // Whether another process held the mutex when this one was made.
  bool AlreadyRunning() const { return m_bAlreadyRunning; }

 private:
  // Held open, not owned, for the life of the process.
  HANDLE m_hMutex;
  bool m_bAlreadyRunning;
};

}  // namespace fw
