// Message boxes as the page's own dialogs.
// Implemented: MessageBoxA/W. A box with one button (MB_OK) is window.alert; a box with more is
//   window.confirm, whose OK gives the box's first button (IDOK, IDYES, IDABORT, IDRETRY,
//   IDCANCEL for MB_CANCELTRYCONTINUE) and whose Cancel gives the one that refuses (IDCANCEL, IDNO,
//   IDABORT), as nobody pressing anything would. The caption heads the dialog's text; the caption
//   and the text also go to standard error (the page's console), as on a desktop without a display.
//   The browser holds the page while the dialog is open, as Windows holds the program; a page
//   that may not show dialogs (a sandboxed frame, a headless browser) gets the refusing answer.
// Not implemented: icons (MB_ICON* only prefix the text on standard error), the middle button of a
//   three-button box (the page's dialogs have two), MB_HELP, owner windows.
#include <emscripten.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "win32/wide_text.h"

namespace {

// The answer when nobody is there to give one.
int RefusingAnswer(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OK: return IDOK;
    case MB_YESNO: return IDNO;
    case MB_ABORTRETRYIGNORE: return IDABORT;
    default: return IDCANCEL;
  }
}

int FirstButton(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_YESNO:
    case MB_YESNOCANCEL: return IDYES;
    case MB_ABORTRETRYIGNORE: return IDABORT;
    case MB_RETRYCANCEL: return IDRETRY;
    case MB_CANCELTRYCONTINUE: return IDCANCEL;
    default: return IDOK;
  }
}

const char* Kind(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONHAND: return "error: ";
    case MB_ICONEXCLAMATION: return "warning: ";
    default: return "";
  }
}

// 1 for OK, 0 for Cancel (or a dialog the browser would not show).
EM_JS(int, kvr_page_dialog, (const char* text, int question), {
  var message = UTF8ToString(text);
  try {
    if (!question) {
      window.alert(message);
      return 1;
    }
    return window.confirm(message) ? 1 : 0;
  } catch (e) {
    return 0;
  }
});

int ShowMessage(const std::string& text, const std::string& caption, UINT type) {
  std::fprintf(stderr, "%s: %s%s\n", caption.c_str(), Kind(type), text.c_str());
  std::fflush(stderr);
  const bool question = (type & MB_TYPEMASK) != MB_OK;
  const std::string shown = caption.empty() ? text : caption + "\n\n" + text;
  if (kvr_page_dialog(shown.c_str(), question ? 1 : 0)) return FirstButton(type);
  return RefusingAnswer(type);
}

}  // namespace

extern "C" {

int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
  // Windows' caption when none is given.
  return ShowMessage(lpText ? lpText : "", lpCaption ? lpCaption : "Error", uType);
}

int WINAPI MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType) {
  return ShowMessage(KvrUtf8FromWide(lpText), lpCaption ? KvrUtf8FromWide(lpCaption) : "Error", uType);
}

}  // extern "C"
