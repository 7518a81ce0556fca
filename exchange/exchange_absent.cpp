// The glTF writer where its library is not built (the Windows build): it says so instead.
#include "exchange/gltf_export.h"

namespace {
const char kAbsent[] = "this build of kvrview has no glTF export (the Linux build and the browser page have)";
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
