// Message boxes on SDL2 (MessageBoxA/W themselves: message_box_buttons.cpp).
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

#include "win32/message_box_buttons.h"
#include "win32/window_internal.h"

namespace {

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

}  // namespace

namespace kvrwin32 {

int ShowMessageBox(const std::string& text, const std::string& caption, UINT type) {
  if (DesktopToShowOn()) {
    std::vector<MessageBoxButton> buttons = MessageBoxButtons(type);
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
  std::fprintf(stderr, "%s: %s%s\n", caption.c_str(), MessageKind(type), text.c_str());
  std::fflush(stderr);
  return UnattendedAnswer(type);
}

}  // namespace kvrwin32
