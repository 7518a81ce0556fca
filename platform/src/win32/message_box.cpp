// Message boxes.
// Implemented: MessageBoxA/W. With a desktop to show it on (a display named by DISPLAY or
//   WAYLAND_DISPLAY and a video driver other than SDL's offscreen and dummy ones), SDL shows the
//   box with the buttons of uType and waits for an answer, as Windows does. Without one, the
//   caption and text go to standard error at once and the answer is that of nobody pressing
//   anything: IDOK for MB_OK, else the button that refuses (IDCANCEL, IDNO, IDABORT), so an
//   unattended program never agrees to something by default and never waits.
// Not implemented: icons (MB_ICON* only prefix the text on standard error), modality flags
//   (every box is modal to the program), MB_HELP, owner windows.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "win32/wide_text.h"
#include "win32/window_internal.h"

namespace {

struct Button {
  int id;
  const char* label;
};

std::vector<Button> ButtonsOf(UINT type) {
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

// The answer when nobody is there to give one.
int UnattendedAnswer(UINT type) {
  switch (type & MB_TYPEMASK) {
    case MB_OK: return IDOK;
    case MB_YESNO: return IDNO;
    case MB_ABORTRETRYIGNORE: return IDABORT;
    default: return IDCANCEL;
  }
}

const char* Kind(UINT type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONHAND: return "error: ";
    case MB_ICONEXCLAMATION: return "warning: ";
    default: return "";
  }
}

bool DesktopToShowOn() {
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if (!(x11 && x11[0]) && !(wayland && wayland[0])) return false;
  const char* asked = std::getenv("SDL_VIDEODRIVER");
  if (asked && (std::strcmp(asked, "offscreen") == 0 || std::strcmp(asked, "dummy") == 0)) return false;
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return true;  // SDL's own message box needs no video set-up
  const char* driver = SDL_GetCurrentVideoDriver();
  return driver && std::strcmp(driver, "offscreen") != 0 && std::strcmp(driver, "dummy") != 0;
}

int ShowMessage(const std::string& text, const std::string& caption, UINT type) {
  if (DesktopToShowOn()) {
    std::vector<Button> buttons = ButtonsOf(type);
    std::vector<SDL_MessageBoxButtonData> data;
    const size_t defaultIndex = ((type & MB_DEFMASK) >> 8) < buttons.size() ? ((type & MB_DEFMASK) >> 8) : 0;
    for (size_t i = 0; i < buttons.size(); ++i) {
      SDL_MessageBoxButtonData b = {};
      b.buttonid = buttons[i].id;
      b.text = buttons[i].label;
      if (i == defaultIndex) b.flags |= SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
      if (buttons[i].id == UnattendedAnswer(type)) b.flags |= SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
      data.push_back(b);
    }
    SDL_MessageBoxData box = {};
    box.flags = (type & MB_ICONMASK) == MB_ICONHAND ? SDL_MESSAGEBOX_ERROR
                : (type & MB_ICONMASK) == MB_ICONEXCLAMATION ? SDL_MESSAGEBOX_WARNING
                                                              : SDL_MESSAGEBOX_INFORMATION;
    box.title = caption.c_str();
    box.message = text.c_str();
    box.numbuttons = static_cast<int>(data.size());
    box.buttons = data.data();
    int pressed = 0;
    if (SDL_ShowMessageBox(&box, &pressed) == 0) return pressed < 0 ? UnattendedAnswer(type) : pressed;
    // No box could be shown after all: say it on standard error as below.
  }
  std::fprintf(stderr, "%s: %s%s\n", caption.c_str(), Kind(type), text.c_str());
  std::fflush(stderr);
  return UnattendedAnswer(type);
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
