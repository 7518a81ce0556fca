// The system's icons and cursors.
// Implemented: LoadIconA/W and LoadCursorA/W with no module and one of the IDI_ or IDC_ values:
//   each gives a handle that stands for that icon or cursor (a window class may name it; the
//   window's pointer stays SDL's default one).
// Not implemented: a program's own icon and cursor resources (NULL), drawing icons, SetCursor.
#include <windows.h>

#include <cstdint>

namespace {

// Handles are the resource number in a range of their own, so they are never null and never
// collide with windows or GDI objects.
constexpr uintptr_t kIconBase = 0x7F000000;
constexpr uintptr_t kCursorBase = 0x7F100000;

bool IsSystemIcon(uintptr_t id) { return id >= 32512 && id <= 32518; }

bool IsSystemCursor(uintptr_t id) {
  return (id >= 32512 && id <= 32516) || (id >= 32640 && id <= 32651);
}

uintptr_t ResourceNumber(const void* name) {
  const auto value = reinterpret_cast<uintptr_t>(name);
  return IS_INTRESOURCE(value) ? value : 0;
}

}  // namespace

extern "C" {

HICON WINAPI LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName) {
  const uintptr_t id = ResourceNumber(lpIconName);
  if (hInstance || !IsSystemIcon(id)) return nullptr;
  return reinterpret_cast<HICON>(kIconBase + id);
}

HICON WINAPI LoadIconW(HINSTANCE hInstance, LPCWSTR lpIconName) {
  return LoadIconA(hInstance, reinterpret_cast<LPCSTR>(lpIconName));
}

HCURSOR WINAPI LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName) {
  const uintptr_t id = ResourceNumber(lpCursorName);
  if (hInstance || !IsSystemCursor(id)) return nullptr;
  return reinterpret_cast<HCURSOR>(kCursorBase + id);
}

HCURSOR WINAPI LoadCursorW(HINSTANCE hInstance, LPCWSTR lpCursorName) {
  return LoadCursorA(hInstance, reinterpret_cast<LPCSTR>(lpCursorName));
}

}  // extern "C"
