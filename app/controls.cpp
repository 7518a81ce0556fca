// The table of controls and F1's list of them.
#include "app/controls.h"

#include "overlay/bitmap_font.h"

const Control kControls[] = {
    {"Escape", "quit"},
    {"F1", "show or hide the list of keys and mouse actions"},
    {"T", "show or hide the category panel; click a category to list its models"},
    {"M", "show or hide the model panel; click a name to show that model"},
    {"numpad + / numpad -", "scroll the model panel"},
    {"PageDown / PageUp", "show the next / previous model of the category"},
    {"F5", "read the whole data set again, keeping the view and the selection"},
    {"F12", "save the screen as kvrview-0001.png, kvrview-0002.png, ... in the data set's folder"},
    {"R", "start or stop the model turning"},
    {"right button held", "turn the model ten times slower"},
    {"left drag", "turn the model by hand (away from the panels and sliders)"},
    {"A", "show or hide the axes (x red, y green, z blue)"},
    {"I", "show or hide the facts of the shown model and its file"},
    {"Up / Down", "move the eye towards / away from the model"},
    {"pointer at top / bottom", "the same, with the pointer on the screen's edge"},
    {"mouse wheel", "move the eye a tenth nearer / further at each notch"},
    {"Home / End", "raise / lower the eye"},
    {"left button on a slider", "set the red, green or blue part of the background"},
};
const size_t kControlCount = sizeof(kControls) / sizeof(kControls[0]);

namespace {
// Right of the panels (which end at x 150) and below the model name and the manifest note.
constexpr int32_t kHelpInputX = 170;
constexpr int32_t kHelpActionX = 390;
constexpr int32_t kHelpTop = 60;
constexpr int32_t kHelpRowHeight = 18;
}  // namespace

void DrawHelp() {
  DrawTextYellow(kHelpInputX, kHelpTop, "Keys and mouse (F1 hides this list)");
  for (size_t i = 0; i < kControlCount; ++i) {
    const int32_t y = kHelpTop + kHelpRowHeight * static_cast<int32_t>(i + 1);
    DrawTextYellow(kHelpInputX, y, kControls[i].input);
    DrawTextRgb(kHelpActionX, y, kControls[i].action, 255, 255, 255);
  }
}

int32_t HelpListBottom() {
  return kHelpTop + kHelpRowHeight * static_cast<int32_t>(kControlCount + 1);
}
