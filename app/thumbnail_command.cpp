// kvrview --thumbnail: the model file read as LoadModel reads one, with only the animations of the
// data set around it, drawn as --render draws a model, into a PNG. File managers run it for every
// model file they show, so it reads no more of the data set than the one model needs.
#include "app/thumbnail_command.h"

#include <d3d9.h>
#include <windows.h>

#include <cstdio>
#include <vector>

#include "app/command_options.h"
#include "app/data_set_above.h"
#include "app/headless.h"
#include "app/picture_drawing.h"
#include "base/printable_text.h"
#include "base/data_file.h"
#include "base/data_path.h"
#include "data/animation_clock.h"
#include "data/animations.h"
#include "data/load_sequence.h"
#include "data/model_loader.h"
#include "model/model_catalogue.h"
#include "model/texture_pages.h"

namespace {

// Loads the animations the start-up manifest of the working folder names, and nothing else of it.
void LoadAnimationsOnly() {
  std::vector<char> contents;
  if (!ReadDataFile(kStartUpManifest, contents)) return;
  const StartUpManifest manifest = ParseStartUpManifest(contents.data(), contents.data() + contents.size());
  for (const StartUpPair& pair : manifest.pairs) {
    if (pair.label == "Animations:" && DataPathAllowed(pair.directory)) {
      LoadAnimations(pair.directory.c_str());
      return;
    }
  }
}

bool HasPageTexture(int32_t model) {
  const int32_t page = TexturePageOf(model);
  return page >= 0 && static_cast<size_t>(page) < TexturePageTable.size() && TexturePageTable[page].texture;
}

// The display the file manager runs on is left alone: the picture is drawn without one.
void LeaveTheDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER"}) SetEnvironmentVariableA(name, nullptr);
}

}  // namespace

int RunThumbnail(const CommandLine& command) {
  LeaveTheDisplay();
  const DataSetAbove place = FindDataSetAbove(command.modelFile, IsFileOnDisk);
  // The session first: from here on nothing is logged, whatever the file or its data set holds.
  HeadlessSession session(command.width, command.height);
  if (!session.started()) return 1;
  D3DSURFACE_DESC desc = {};
  if (!BackBufferIs(command.width, command.height, desc)) return 1;

  // Pages and animations are found from the data set's folder, as the viewer finds them; a lone
  // file's page is looked for beside it and not drawn. The model file is read as the data set's
  // own files are, by its path inside that folder.
  const bool inDataSet = !place.root.empty();
  const std::string& folder = inDataSet ? place.root : place.folder;
  if (!SetCurrentDirectoryA(folder.c_str())) {
    std::fprintf(stderr, "kvrview: cannot enter the folder of %s\n", PrintableText(command.modelFile).c_str());
    return 1;
  }
  const std::string inside = place.file.compare(0, folder.size(), folder) == 0 && place.file.size() > folder.size()
                                 ? place.file.substr(folder.size() + (place.file[folder.size()] == '/' ? 1 : 0))
                                 : place.file;
  std::vector<char> contents;
  if (!ReadDataFile(inside.c_str(), contents)) {
    std::fprintf(stderr, "kvrview: cannot read %s\n", PrintableText(command.modelFile).c_str());
    return 1;
  }
  if (inDataSet) LoadAnimationsOnly();
  // The model's name, for its animation, is the file's without ".pie".
  std::string name = place.file.substr(place.file.find_last_of('/') + 1);
  if (!EndsWithPie(name)) name += ".pie";
  LoadModelFromBytes(place.file.c_str(), name.c_str(), contents.data(), contents.data() + contents.size(),
                     CategoryStructures);
  if (ModelCatalogue.size() != 1) {
    std::fprintf(stderr, "kvrview: %s is no model kvrview can draw\n", PrintableText(command.modelFile).c_str());
    return 1;
  }
  SetModelToTime(0, 0);
  const D3DVIEWPORT9 whole = {0, 0, desc.Width, desc.Height, 0.0f, 1.0f};
  DrawModelPicture(0, whole, command.yaw, command.pitch, Background(command),
                   inDataSet && HasPageTexture(0) ? Surfaces::kTextured : Surfaces::kShaded);
  if (!SaveBackBuffer(command.outputPath)) return CouldNotWrite(command.output);
  return 0;
}
