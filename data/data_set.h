// The data set as a whole: the one place that empties every table loading fills.
#pragma once

// Stops watching the data set's files, releases every page texture and level buffer, empties the catalogue, the stores, the page,
// level-buffer and animation tables and gives their memory back; the team-colour switch, the
// team number and the animation beat start again. Shutdown, the tests and the fuzz targets use
// it; afterwards the program is as it was before its first load.
void ReleaseDataSet();
