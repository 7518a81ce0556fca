// kvrview --frames N: the viewer, as it runs, timed over N frames drawn as fast as it can.
#pragma once
#include <cstdint>
#include <string>

// Shows the model named show (the start model when empty), draws ten frames to settle, then
// times frames (messages handled as the loop handles them, one idle tick each) and prints
// "frames N median X.XX ms p95 Y.YY ms" on standard output. Returns the exit code: 0, or 1 for a
// name the data set does not hold; a quit message ends it early with the frames drawn so far.
// idleTick is the loop's idle step.
int TimeFrames(int32_t frames, const std::string& show, void (*idleTick)());
// Selects the model of that name in its category's list, as clicking it would; false when the data
// set holds no model of that name.
bool ShowModel(const std::string& name);
