// What the command line asks for: the record ParseCommandLine fills and the commands read.
#pragma once
#include <cstdint>
#include <string>

struct CommandLine {
  enum class Action {
    kRun, kHelp, kVersion, kUsageError, kCheck, kRender, kSheet, kFrames, kThumbnail, kTurntable, kExport,
    kExportAll, kImport
  };
  Action action = Action::kRun;
  std::string folder;  // the data set's folder, empty for the working directory
  std::string problem;  // for kUsageError: what was wrong, one line
  // --check
  bool json = false;
  // --render NAME and --sheet: the picture written
  std::string modelName;
  std::string output;       // -o FILE.png, as typed
  std::string outputPath;   // the same as the file calls take it, exactly (ExactPath)
  int32_t width = 512, height = 512;  // --size WxH
  float yaw = 35.0f, pitch = 25.0f;   // --yaw, --pitch, in degrees: a three-quarter view
  bool yawGiven = false, pitchGiven = false;
  uint8_t background[3] = {0, 0, 0};  // --background R,G,B
  uint32_t time = 0;                  // --time MS: the animation clock
  // --frames N [--show NAME]: the viewer draws N frames as fast as it can and reports their times
  int32_t frames = 0;
  std::string show;         // the model shown, empty for the start model
  // --sheet
  std::string category;     // --category NAME, empty for every model
  int32_t cell = 192;       // --cell PX
  int32_t columns = 0;      // --columns N, 0: fitting about 16:9
  // --thumbnail FILE: one model file alone, with the data set found above it
  std::string modelFile;
  // --turntable NAME: the model turning once round, in turnFrames pictures over turnMilliseconds
  int32_t turnFrames = 36;           // --frames N
  uint32_t turnMilliseconds = 3600;  // --seconds S: a picture each 100 ms beat by default
  // --export NAME (modelName) and --export-all: -o FILE.glb/.gltf or -o DIR, --category, --time
  double scale = 0.0;       // --scale S, metres per viewer unit; 0: the default
  // --import FILE -o NAME.pie [--page NAME] [--into FOLDER --category NAME]
  std::string importFile;
  std::string page;         // the page's name, empty: the model's
  std::string into;         // the data set the model joins, empty: none
};
