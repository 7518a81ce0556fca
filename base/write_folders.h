// Where the viewer writes: its log and F12's pictures go into the data set's folder, unless that
// folder is the system's (the installed sample, say, whoever runs the viewer) or cannot be
// written (a read-only mount, another user's folder). Then the log goes into the user's state
// folder, in kvrview\<the data set folder's name>, and the pictures into the user's pictures
// folder, and nothing at all is written into the data set's folder.
#pragma once
#include <string>

struct WriteFolders {
  // True: both into the working folder (the data set's), by their names alone, as always.
  bool dataSetFolder = true;
  // Otherwise the folders they go into; empty when none could be had (then no log is written, and
  // F12 reports that it cannot save).
  std::string log;
  std::string pictures;
};

// Decides for the data set's folder, which is the working folder by now. Trying whether it takes
// a file writes (and removes) one small file in it, and only in a folder that is not the system's.
WriteFolders ChooseWriteFolders();

// A file name in a folder, joined with the separator the folder is written with; the name alone
// for an empty folder.
std::string InFolder(const std::string& folder, const char* name);
