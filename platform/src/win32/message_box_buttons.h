// What a message box's type asks for, the same for every backend (message_box_buttons.cpp), and
// the backend's part: showing the box.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace kvrwin32 {

struct MessageBoxButton {
  int id;
  const char* label;
};

// The buttons of uType, in order.
std::vector<MessageBoxButton> MessageBoxButtons(UINT type);

// The answer when nobody is there to give one: IDOK for MB_OK, else the button that refuses
// (IDCANCEL, IDNO, IDABORT), so an unattended program never agrees to something by default.
int UnattendedAnswer(UINT type);

// "error: " or "warning: " for the icons that say so, before a box's text on standard error.
const char* MessageKind(UINT type);

// Shows the box (text and caption in UTF-8) and returns the button pressed.
int ShowMessageBox(const std::string& text, const std::string& caption, UINT type);

}  // namespace kvrwin32
