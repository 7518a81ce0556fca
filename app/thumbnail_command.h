// kvrview --thumbnail FILE -o OUT.png [--size PX]: one model file drawn alone for a file manager.
#pragma once
struct CommandLine;

// Draws command.modelFile into command.output, a square of command.width pixels. With a data set
// above the file, its animations and the model's texture page come from there; without one, or
// when the page cannot be read, the model is drawn in shaded grey. Nothing is written but the
// picture, no display is used, and the exit code is 0 when written, 1 otherwise.
int RunThumbnail(const CommandLine& command);
