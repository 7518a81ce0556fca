// The program's window classes, the same for every windowing backend (window_classes.cpp).
#pragma once
#include <windows.h>

#include <string>

namespace kvrwin32 {

struct WindowClass {
  std::string name;  // UTF-8
  ATOM atom = 0;
  WNDPROC proc = nullptr;
  UINT style = 0;
  HINSTANCE instance = nullptr;
  bool unicode = false;  // registered with a W function
};

// Class names may be given as an atom in the low word of the pointer (MAKEINTATOM).
inline bool IsAtomName(const void* name) { return reinterpret_cast<uintptr_t>(name) < 0x10000; }

// Compares without regard to the case of ASCII letters; other letters must match exactly.
bool SameClassName(const std::string& a, const char* b);

// The class registered under a UTF-8 name or an atom; null when there is none.
const WindowClass* FindWindowClass(LPCSTR nameOrAtom);

// Whether a live window of the class is left (the windowing backend knows its windows): such a
// class stays registered, as on Windows.
bool ClassHasLiveWindows(const std::string& className);

}  // namespace kvrwin32
