// The program as the benchmarks drive it: one headless 1024 x 768 device for the whole run, and
// the data set currently loaded by the program's own scene set-up.
#pragma once
#include <d3d9.h>

#include <string>

namespace bench {

enum class DataSet {
  None,    // nothing loaded, the device only
  Sample,  // the bundled data set (a scratch copy, since the viewer writes its log where it runs)
  Large,   // the generated 10,000-model set
  Empty,   // a folder with the cursor only: the program with no data set
  Huge,    // the generated 100,000-model set (500 pages, 5,000 animations): the scale run only
};

// The device, created on first use; null (with a line on stderr) when there is none.
IDirect3DDevice9* Device();

// Makes `set` the loaded data set unless it already is: releases what the program holds, then
// loads from the set's folder as the viewer does at start and draws the first frame.
// False (with a line on stderr) when the device or the data set is missing.
bool UseDataSet(DataSet set);

// Loads `set` again from scratch, whatever is loaded: what the load benchmark times.
bool ReloadDataSet(DataSet set);

// Releases every device resource and table entry the program holds.
void Unload();

// Unloads, then releases the device and its window: called before the process ends, while the
// platform layer is still whole.
void Shutdown();

// The folder of a data set, generated or copied when it is missing.
std::string DataSetDir(DataSet set);
// The kvrview built beside the benchmarks, empty when there is none.
std::string ViewerBesideBenchmarks();

// The viewer's state when drawing the frame benchmark's scene: the model with most triangles
// turning, the model panel with 20 rows, the axes. False when no model is loaded.
bool ShowLargestModelWithPanel();

// The scale run's benchmarks (kvrbench --scale): the 100,000-model load.
void RegisterScaleBenchmarks();

}  // namespace bench
