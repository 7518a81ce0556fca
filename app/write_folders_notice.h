// Said once when the data set's folder cannot be written: where the log and F12's pictures go
// instead, on standard error at start and on screen for the first seconds.
#pragma once
#include <cstdint>

struct WriteFolders;

// Sends the log and the pictures where the folders say, and says so when it is not the data set's
// folder.
void UseWriteFolders(const WriteFolders& folders);
// The lines on screen, for ten seconds from the first frame that draws them.
void DrawWriteFoldersNotice(uint32_t now);
