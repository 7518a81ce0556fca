// F12: the frame as it stands on screen saved as kvrview-0001.png, -0002, ... in the data set's
// folder (or the one SetScreenshotFolders chose), and a short note on screen that says so (the
// note is not in the picture).
#pragma once
#include <cstdint>
#include <string>

struct WriteFolders;

// Where the pictures are saved from now on (the data set's folder until this is called): with no
// pictures folder for a data set's folder that cannot be written, F12 saves nothing and says so.
void SetScreenshotFolders(const WriteFolders& folders);
// Asks for the frame being drawn to be saved.
void RequestScreenshot();
// Called by the frame once everything of it is drawn: saves it when one was asked for. Ends the
// scene around the saving and begins it again.
void TakeRequestedScreenshot(uint32_t now);
// The note of the last save, for two seconds after it.
void DrawScreenshotNote(uint32_t now);
// The name the next screenshot takes: the lowest free number; empty when all 9999 are taken.
std::string NextScreenshotName();
