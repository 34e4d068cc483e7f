#pragma once
// A lock on a module's object count (AfxOleLockApp) held for as long as one
// object lives. A class factory attaches it to each object it makes, so a
// control module reports that it cannot be unloaded, and a server program
// stays up, while any object it made is alive.

#include "platform/base/handles.h"

class CModuleLock {
 public:
  CModuleLock() = default;
  ~CModuleLock();
  CModuleLock(const CModuleLock&) = delete;
  CModuleLock& operator=(const CModuleLock&) = delete;

  // Locks `hModule` until this lock goes; a second Attach moves the lock.
  void Attach(HINSTANCE hModule);
  HINSTANCE GetModule() const { return m_hModule; }

 private:
  HINSTANCE m_hModule = nullptr;
};
