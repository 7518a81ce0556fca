// kvrview --turntable NAME -o FILE.gif|FILE.webp|FILE.png: the model turning once round.
#pragma once
#include <cstdint>

struct CommandLine;

// The moment of each of frames pictures of a loop of length milliseconds: evenly spread from 0,
// rounded down to a whole millisecond.
uint32_t TurntableMoment(int32_t frame, int32_t frames, uint32_t length);

// Draws command.turnFrames pictures of the model command.modelName as --render draws it, the
// eye gone round it by a whole turn from --yaw and the animations at each picture's moment, and
// writes them as the extension of command.output asks: an animated GIF or WebP, or one PNG with
// the pictures left to right in rows. Exit code: 0 when written, 1 for a name the catalogue does
// not hold or a file that could not be written, 2 when the folder holds no start-up manifest.
int RunTurntable(const CommandLine& command);
