// Win32 window classes, for every windowing backend.
// Implemented: RegisterClassExA/W and RegisterClassA/W (by name or atom, names compared without
//   regard to the case of ASCII letters), UnregisterClassA/W (a class with live windows stays),
//   GetModuleHandleA/W (the program's own module only). W functions keep names as UTF-8.
// Not implemented: class extra bytes, class icons and cursors being shown, other modules.
#include "win32/window_classes.h"

#include <vector>

#include "win32/wide_text.h"
#include "win32/win32_state.h"

namespace {

// The executable's module handle: the usual image base of a Windows program.
constexpr uintptr_t kModuleHandle = 0x400000;
constexpr ATOM kFirstAtom = 0xC000;

std::vector<kvrwin32::WindowClass> g_classes;
ATOM g_nextAtom = kFirstAtom;

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

ATOM RegisterWindowClass(const std::string& name, WNDPROC proc, UINT style, HINSTANCE instance, bool unicode) {
  if (!proc || name.empty()) return 0;
  if (kvrwin32::FindWindowClass(name.c_str())) return 0;  // already registered
  if (g_nextAtom == 0) return 0;                         // every atom used
  kvrwin32::WindowClass c;
  c.name = name;
  c.atom = g_nextAtom++;
  c.proc = proc;
  c.style = style;
  c.instance = instance;
  c.unicode = unicode;
  g_classes.push_back(c);
  return c.atom;
}

}  // namespace

namespace kvrwin32 {

bool SameClassName(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return i == a.size() && b[i] == '\0';
}

const WindowClass* FindWindowClass(LPCSTR name) {
  if (!name) return nullptr;
  for (const WindowClass& c : g_classes) {
    if (IsAtomName(name) ? c.atom == static_cast<ATOM>(reinterpret_cast<uintptr_t>(name))
                         : SameClassName(c.name, name))
      return &c;
  }
  return nullptr;
}

void ForgetWindowClasses() {
  g_classes.clear();
  g_nextAtom = kFirstAtom;
}

}  // namespace kvrwin32

extern "C" {

HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName) {
  // Only the program's own module is known; it has no file name to ask for.
  return lpModuleName ? nullptr : reinterpret_cast<HMODULE>(kModuleHandle);
}

HMODULE WINAPI GetModuleHandleW(LPCWSTR lpModuleName) {
  return lpModuleName ? nullptr : reinterpret_cast<HMODULE>(kModuleHandle);
}

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* lpwcx) {
  if (!lpwcx || lpwcx->cbSize != sizeof(WNDCLASSEXA) || kvrwin32::IsAtomName(lpwcx->lpszClassName)) return 0;
  return RegisterWindowClass(lpwcx->lpszClassName, lpwcx->lpfnWndProc, lpwcx->style, lpwcx->hInstance, false);
}

ATOM WINAPI RegisterClassExW(const WNDCLASSEXW* lpwcx) {
  if (!lpwcx || lpwcx->cbSize != sizeof(WNDCLASSEXW) || kvrwin32::IsAtomName(lpwcx->lpszClassName)) return 0;
  return RegisterWindowClass(KvrUtf8FromWide(lpwcx->lpszClassName), lpwcx->lpfnWndProc, lpwcx->style,
                             lpwcx->hInstance, true);
}

ATOM WINAPI RegisterClassA(const WNDCLASSA* lpWndClass) {
  if (!lpWndClass || kvrwin32::IsAtomName(lpWndClass->lpszClassName)) return 0;
  return RegisterWindowClass(lpWndClass->lpszClassName, lpWndClass->lpfnWndProc, lpWndClass->style,
                             lpWndClass->hInstance, false);
}

ATOM WINAPI RegisterClassW(const WNDCLASSW* lpWndClass) {
  if (!lpWndClass || kvrwin32::IsAtomName(lpWndClass->lpszClassName)) return 0;
  return RegisterWindowClass(KvrUtf8FromWide(lpWndClass->lpszClassName), lpWndClass->lpfnWndProc,
                             lpWndClass->style, lpWndClass->hInstance, true);
}

BOOL WINAPI UnregisterClassA(LPCSTR lpClassName, HINSTANCE hInstance) {
  const kvrwin32::WindowClass* c = kvrwin32::FindWindowClass(lpClassName);
  // Like Windows, a class that still has windows stays registered; those windows keep working.
  if (!c || kvrwin32::ClassHasLiveWindows(c->name)) return FALSE;
  g_classes.erase(g_classes.begin() + (c - g_classes.data()));
  return TRUE;
}

BOOL WINAPI UnregisterClassW(LPCWSTR lpClassName, HINSTANCE hInstance) {
  if (kvrwin32::IsAtomName(lpClassName)) return UnregisterClassA(reinterpret_cast<LPCSTR>(lpClassName), hInstance);
  return UnregisterClassA(KvrUtf8FromWide(lpClassName).c_str(), hInstance);
}

}  // extern "C"
