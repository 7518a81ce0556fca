// The scene: the data set loaded behind the loading screen, then the first view set up.
#pragma once

// The viewer's vertical field of view, in radians: pi / 8, 22.5 degrees.
constexpr float kFieldOfView = 0.3926991f;

// The start-up steps (screen font, first loading line, a fresh log, cursor, camera, axes), then
// the start-up manifest and every category it names, with a loading line for each.
void LoadDataSet();
// F5: the whole data set read again behind the loading screen, manifests included. The camera,
// the panels, the sliders and the category stay; so does the shown model where the category
// still lists a model of its name, otherwise the category's first model is shown.
void ReloadDataSet();
// LoadDataSet, then the colour bars, the first selection, the material and the transforms.
void SetupScene();
