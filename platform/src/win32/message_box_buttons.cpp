// MessageBoxA/W for every backend: the text as UTF-8 and Windows' caption when none is given; the
// backend shows the box (message_box.cpp on SDL2, web/page_message_box.cpp in the page).
#include "win32/message_box_buttons.h"

#include "win32/wide_text.h"

namespace kvrwin32 {

std::vector<MessageBoxButton> MessageBoxButtons(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {{IDOK, "OK"}, {IDCANCEL, "Cancel"}};
    case MB_ABORTRETRYIGNORE: return {{IDABORT, "Abort"}, {IDRETRY, "Retry"}, {IDIGNORE, "Ignore"}};
    case MB_YESNOCANCEL: return {{IDYES, "Yes"}, {IDNO, "No"}, {IDCANCEL, "Cancel"}};
    case MB_YESNO: return {{IDYES, "Yes"}, {IDNO, "No"}};
    case MB_RETRYCANCEL: return {{IDRETRY, "Retry"}, {IDCANCEL, "Cancel"}};
    case MB_CANCELTRYCONTINUE: return {{IDCANCEL, "Cancel"}, {IDTRYAGAIN, "Try Again"}, {IDCONTINUE, "Continue"}};
    default: return {{IDOK, "OK"}};
  }
}

int UnattendedAnswer(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OK: return IDOK;
    case MB_YESNO: return IDNO;
    case MB_ABORTRETRYIGNORE: return IDABORT;
    default: return IDCANCEL;
  }
}

const char* MessageKind(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONHAND: return "error: ";
    case MB_ICONEXCLAMATION: return "warning: ";
    default: return "";
  }
}

}  // namespace kvrwin32

extern "C" {

int WINAPI MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
  // Windows' caption when none is given.
  return kvrwin32::ShowMessageBox(lpText ? lpText : "", lpCaption ? lpCaption : "Error", uType);
}

int WINAPI MessageBoxW(HWND hWnd, LPCWSTR lpText, LPCWSTR lpCaption, UINT uType) {
  return kvrwin32::ShowMessageBox(KvrUtf8FromWide(lpText), lpCaption ? KvrUtf8FromWide(lpCaption) : "Error",
                                  uType);
}

}  // extern "C"
