// The scene: the data set loaded behind the loading screen, then the first view set up.
#pragma once

// The start-up steps (screen font, first loading line, a fresh log, cursor, camera, axes), then
// the start-up manifest and every category it names, with a loading line for each.
void LoadDataSet();
// LoadDataSet, then the colour bars, the first selection, the material and the transforms.
void SetupScene();
