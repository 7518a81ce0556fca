// The glTF writer and the importer where their libraries are not built (the Windows and browser
// builds): each says so instead.
#include "exchange/gltf_export.h"
#include "exchange/model_import.h"

namespace {
const char kAbsent[] = "this build of kvrview has no glTF export or import (the Linux build has)";
}  // namespace

bool ExportModelGltf(int32_t, const GltfExportOptions&, std::string& bytes, std::string& why) {
  bytes.clear();
  why = kAbsent;
  return false;
}

struct GltfAsset {};

std::shared_ptr<GltfAsset> GatherModelGltf(int32_t, const GltfExportOptions&, std::string& why) {
  why = kAbsent;
  return nullptr;
}

bool WriteGltfBytes(GltfAsset&, std::string& bytes, std::string& why) {
  bytes.clear();
  why = kAbsent;
  return false;
}

ImportOutcome ImportModel(const ImportRequest& request) {
  ImportOutcome outcome;
  outcome.code = 1;
  outcome.message = request.source + ": " + kAbsent + "; nothing written";
  return outcome;
}

bool ImportFromMemory(const void*, size_t, const char*, const std::string&, double, ImportedModel& out,
                      std::string& why) {
  out = ImportedModel();
  why = kAbsent;
  return false;
}
