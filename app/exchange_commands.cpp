// kvrview --export and --export-all: the data set loaded as --check loads it (a hidden device,
// the log diverted), each model set to the moment asked for and handed to the glTF writer; only
// the -o files are written. --import hands its file to the importer.
#include "app/exchange_commands.h"

#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/command_options.h"
#include "app/command_messages.h"
#include "app/headless.h"
#include "data/animation_clock.h"
#include "data/load_sequence.h"
#include "exchange/file_queue.h"
#include "exchange/output_files.h"
#include "exchange/gltf_export.h"
#include "exchange/model_import.h"
#include "base/printable_text.h"
#include "model/model_catalogue.h"

namespace {

void NoStage(const char*) {}

// Starts the hidden device and loads the data set: 0 when ready, else the exit code.
int LoadForExport() {
  if (!StartHeadless(64, 64)) return 1;
  if (ReadStartUpManifest(NoStage)) return 0;
  std::fprintf(stderr, "kvrview: no start-up manifest %s in this folder\n", kStartUpManifest);
  StopHeadless();
  return 2;
}

GltfExportOptions OptionsOf(const CommandLine& command, bool binary) {
  GltfExportOptions options;
  if (command.scale > 0) options.scale = command.scale;
  options.binary = binary;
  return options;
}

bool IsGltfText(const std::string& path) {
  return path.size() > 5 && (path.compare(path.size() - 5, 5, ".gltf") == 0 ||
                             path.compare(path.size() - 5, 5, ".GLTF") == 0);
}

// Gathers one model and hands the rest of its file to the queue (its bytes are made and written
// on the queue's thread), or the line saying why it could not be.
void ExportOne(int32_t model, const CommandLine& command, const std::string& path, bool binary, FileQueue& queue) {
  SetModelToTime(model, command.time);
  std::string why;
  if (std::shared_ptr<GltfAsset> gathered = GatherModelGltf(model, OptionsOf(command, binary), why)) {
    queue.Write(path, [gathered](std::string& bytes, std::string& why) { return WriteGltfBytes(*gathered, bytes, why); });
  } else {
    queue.Say("could not write " + PrintableText(path) + ": " + why);
  }
}

// A model name as a file name: separators and control bytes become '_'.
std::string FileNameOf(const std::string& name) {
  std::string out;
  for (const char c : name) {
    const unsigned char u = static_cast<unsigned char>(c);
    out += (c == '/' || c == '\\' || c == ':' || u < 0x20 || u == 0x7F) ? '_' : c;
  }
  if (out.empty() || out == "." || out == "..") out = "_" + out;
  return out;
}

}  // namespace

int RunExport(const CommandLine& command) {
  const int code = LoadForExport();
  if (code) return code;
  const int32_t model = FindModelByName(command.modelName.c_str());
  int result = 0;
  if (model < 0) {
    std::fprintf(stderr, "kvrview: no model %s in this data set\n", PrintableText(command.modelName).c_str());
    result = 1;
  } else {
    FileQueue queue;
    ExportOne(model, command, command.output, !IsGltfText(command.output), queue);
    size_t failed = 0;
    if (queue.Finish(failed) != 1) result = 1;
  }
  StopHeadless();
  return result;
}

int RunExportAll(const CommandLine& command) {
  ModelCategory category = -1;
  if (!command.category.empty()) {
    category = ModelCategoryByName(command.category);
    if (category < 0) {
      SayNoSuchCategory(command.category);
      return 2;
    }
  }
  std::string why;
  if (!MakeFolder(command.output, why)) {
    std::fprintf(stderr, "kvrview: could not make the folder %s: %s\n", PrintableText(command.output).c_str(),
                 why.c_str());
    return 1;
  }
  const int code = LoadForExport();
  if (code) return code;
  // The files go to the disk on a second thread while the next models are made.
  FileQueue queue;
  size_t tried = 0;
  for (size_t m = 0; m < ModelCatalogue.size(); ++m) {
    if (category >= 0 && ModelCatalogue[m].category != category) continue;
    const std::string path = command.output + "/" + FileNameOf(ModelCatalogue[m].name) + ".glb";
    ExportOne(static_cast<int32_t>(m), command, path, true, queue);
    ++tried;
  }
  size_t failed = 0;
  const size_t written = queue.Finish(failed);
  const int result = written == tried ? 0 : 1;
  StopHeadless();
  std::printf("%zu models written to %s\n", written, PrintableText(command.output).c_str());
  return result;
}

int RunImport(const CommandLine& command) {
  ImportRequest request;
  request.source = command.importFile;
  request.output = command.output;
  request.page = command.page;
  request.into = command.into;
  request.category = command.category;
  if (command.scale > 0) request.scale = command.scale;
  const ImportOutcome outcome = ImportModel(request);
  if (!outcome.message.empty()) std::fprintf(stderr, "kvrview: %s\n", PrintableText(outcome.message).c_str());
  if (outcome.code == 0) std::printf("%s\n", outcome.summary.c_str());
  return outcome.code;
}
