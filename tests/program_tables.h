// Puts the program back as it is at start: each test program runs many tests in one process when
// started by hand, and loads must not see an earlier test's data. The data set empties itself
// through the program's own reset; the viewer's records go back to their first values.
#pragma once
#include "app/camera.h"
#include "app/viewer_state.h"
#include "data/data_set.h"
#include "overlay/loading_screen.h"

inline void ResetProgramTables() {
  ReleaseDataSet();
  ResetLoadingScreen();
  viewerState = ViewerState{};
  camera = Camera{};
}
