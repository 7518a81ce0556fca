// kvrview --thumbnail: the model file read as LoadModel reads one, with only the animations of the
// data set around it, drawn as --render draws a model, into a PNG. File managers run it for every
// model file they show, so it reads no more of the data set than the one model needs.
#include "app/thumbnail_command.h"

#include <d3d9.h>
#include <windows.h>

#include <cctype>
#include <cstdio>
#include <vector>

#include "app/command_options.h"
#include "app/headless.h"
#include "app/picture_drawing.h"
#include "base/data_file.h"
#include "base/data_path.h"
#include "data/animation_clock.h"
#include "data/animations.h"
#include "data/load_sequence.h"
#include "data/model_loader.h"
#include "model/model_catalogue.h"
#include "model/texture_pages.h"

namespace {

bool IsFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The first count parts as a path from the root; a drive ("C:") stands first without a separator.
std::string Joined(const std::vector<std::string>& parts, size_t count) {
  std::string path;
  for (size_t i = 0; i < count; ++i) {
    const bool drive = i == 0 && parts[0].size() == 2 && parts[0][1] == ':';
    path += (drive ? "" : "/") + parts[i];
  }
  return path.empty() || path.back() == ':' ? path + "/" : path;
}

bool EndsWithPie(const std::string& name) {
  static const char kPie[] = ".pie";
  if (name.size() < 4) return false;
  for (size_t i = 0; i < 4; ++i)
    if (std::tolower(static_cast<unsigned char>(name[name.size() - 4 + i])) != kPie[i]) return false;
  return true;
}

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

ThumbnailPlace FindThumbnailPlace(const std::string& path, bool (*exists)(const std::string& path)) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find_first_of("/\\", start);
    if (end == std::string::npos) end = path.size();
    const std::string part = path.substr(start, end - start);
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    start = end + 1;
  }
  ThumbnailPlace place;
  place.file = Joined(parts, parts.size());
  const size_t folders = parts.empty() ? 0 : parts.size() - 1;
  place.folder = Joined(parts, folders);
  for (size_t depth = folders + 1; depth-- > 0;) {
    const std::string folder = Joined(parts, depth);
    if (exists(folder + (folder.back() == '/' ? "" : "/") + "duskfen/KVRStartUp.gam")) {
      place.root = folder;
      break;
    }
  }
  return place;
}

int RunThumbnail(const CommandLine& command) {
  LeaveTheDisplay();
  const ThumbnailPlace place = FindThumbnailPlace(command.modelFile, IsFile);
  std::vector<char> contents;
  if (!ReadDataFile(place.file.c_str(), contents)) {
    std::fprintf(stderr, "kvrview: cannot read %s\n", Printable(command.modelFile).c_str());
    return 1;
  }
  HeadlessSession session(command.width, command.height);
  if (!session.started()) return 1;
  D3DSURFACE_DESC desc = {};
  if (!BackBufferIs(command.width, command.height, desc)) return 1;

  // Pages and animations are found from the data set's folder, as the viewer finds them; a lone
  // file's page is looked for beside it and not drawn.
  const bool inDataSet = !place.root.empty();
  if (!SetCurrentDirectoryA((inDataSet ? place.root : place.folder).c_str())) {
    std::fprintf(stderr, "kvrview: cannot enter the folder of %s\n", Printable(command.modelFile).c_str());
    return 1;
  }
  if (inDataSet) LoadAnimationsOnly();
  // The model's name, for its animation, is the file's without ".pie".
  std::string name = place.file.substr(place.file.find_last_of('/') + 1);
  if (!EndsWithPie(name)) name += ".pie";
  LoadModelFromBytes(place.file.c_str(), name.c_str(), contents.data(), contents.data() + contents.size(),
                     CategoryStructures);
  if (ModelCatalogue.size() != 1) {
    std::fprintf(stderr, "kvrview: %s is no model kvrview can draw\n", Printable(command.modelFile).c_str());
    return 1;
  }
  SetModelToTime(0, 0);
  const D3DVIEWPORT9 whole = {0, 0, desc.Width, desc.Height, 0.0f, 1.0f};
  DrawModelPicture(0, whole, command.yaw, command.pitch, Background(command),
                   inDataSet && HasPageTexture(0) ? Surfaces::kTextured : Surfaces::kShaded);
  if (!SaveBackBuffer(command.output)) return CouldNotWrite(command.output);
  return 0;
}
