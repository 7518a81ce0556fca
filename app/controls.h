// Every key and mouse action of the viewer, in one table: the usage text and the on-screen help
// list are both written from it.
#pragma once
#include <cstddef>
#include <cstdint>

struct Control {
  const char* input;
  const char* action;
};
extern const Control kControls[];
extern const size_t kControlCount;

// F1's list of the controls over the scene, after the panels.
void DrawHelp();
// The first screen row below F1's list.
int32_t HelpListBottom();
