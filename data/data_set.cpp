// The data set's one reset: every table that loading fills, emptied and released in one place.
#include "data/data_set.h"

#include "data/animations.h"
#include "data/live_reload.h"
#include "data/model_loader.h"
#include "data/model_sources.h"
#include "model/animation_table.h"
#include "model/level_buffers.h"
#include "model/level_walk.h"
#include "model/model_catalogue.h"
#include "model/model_geometry.h"
#include "model/texture_pages.h"

void ReleaseDataSet() {
  StopWatchingDataSet();
  // The scratch slots first (each forgets its table entry), then whatever the tables still hold.
  ReleaseLastLevelBuffer();
  ReleaseLastPageTexture();
  ReleaseAllLevelBuffers();
  ReleaseAllPageTextures();
  ClearLevelBufferTable();
  ClearTexturePageTable();
  ClearModelCatalogue();
  ClearModelSources();
  ReleaseGeometryScratch();
  ClearAnimationTable();
  std::vector<std::string>().swap(AnimationSourcePaths);
  ResetAnimationBeat();
  SetTeamColorsFlag(true);
  TeamNumber = 0;
}
