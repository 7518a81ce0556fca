// Live reload: the files the data set was read from are watched, and those that change are read
// again in place while the viewer runs.
#pragma once
#include <cstdint>
#include <string>

// Notes how every model file, texture page and animation file of the loaded data set stands on
// disk, and asks to be told of changes in the folders that hold them.
void StartWatchingDataSet();
// Closes the change notifications and forgets the files (before a full reload, at the end).
void StopWatchingDataSet();
// Polls the change notifications without waiting. Once a folder that changed has been quiet for
// a moment, its watched files are looked at again and each one that differs is read again: the
// models that use it are rebuilt in place. now is the millisecond clock. True when something was
// read again (whether or not it parsed).
bool PollDataSetChanges(uint32_t now);
// Why the model shows what it showed before its file, page or animation last changed (the file no
// longer reads); empty when it shows what its files hold.
const std::string& ReloadFaultOf(int32_t model);
