// Message boxes as the page's own dialogs (MessageBoxA/W themselves: win32/message_box_buttons.cpp).
// Implemented: MessageBoxA/W. A box with one button (MB_OK) is window.alert; a box with more is
//   window.confirm, whose OK gives the box's first button (IDOK, IDYES, IDABORT, IDRETRY, or
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

#include "win32/message_box_buttons.h"

namespace {

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

}  // namespace

namespace kvrwin32 {

int ShowMessageBox(const std::string& text, const std::string& caption, UINT type) {
  std::fprintf(stderr, "%s: %s%s\n", caption.c_str(), MessageKind(type), text.c_str());
  std::fflush(stderr);
  const bool question = (type & MB_TYPEMASK) != MB_OK;
  const std::string shown = caption.empty() ? text : caption + "\n\n" + text;
  if (kvr_page_dialog(shown.c_str(), question ? 1 : 0)) return MessageBoxButtons(type).front().id;
  return UnattendedAnswer(type);
}

}  // namespace kvrwin32
