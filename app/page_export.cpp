// The page's "Download as glTF": the model on screen as a .glb in memory, which the page copies
// out and hands to the browser's download. Only the browser build has it. The page calls in
// between frames, while the program waits for the browser, so nothing here waits itself, and
// nothing is exported while a data set is being read.
#include <cstdint>
#include <limits>
#include <string>

#include "app/viewer_state.h"
#include "base/load_bounds.h"
#include "exchange/gltf_export.h"
#include "model/model_catalogue.h"

namespace {

std::string exported;  // the last export's bytes, until the page lets them go
std::string said;      // the exported model's name, or why nothing was exported

int32_t Refuse(const std::string& why) {
  std::string().swap(exported);
  said = why;
  return -1;
}

}  // namespace

// The model shown as a .glb: its length in bytes, or -1. Either way kvr_page_export_text says
// the model's name or why there is no file.
extern "C" int32_t kvr_page_export_glb() {
  if (KeepLoading) return Refuse("the data set is still being read");
  const int32_t model = viewerState.displayedModel;
  if (model < 0 || static_cast<size_t>(model) >= ModelCatalogue.size()) return Refuse("no model is shown");
  std::string why;
  if (!ExportModelGltf(model, GltfExportOptions(), exported, why)) return Refuse(why);
  if (exported.size() > static_cast<size_t>(std::numeric_limits<int32_t>::max()))
    return Refuse("the file would be too large for the page");
  said = ModelCatalogue[static_cast<size_t>(model)].name;
  return static_cast<int32_t>(exported.size());
}

extern "C" const char* kvr_page_export_bytes() { return exported.data(); }

extern "C" const char* kvr_page_export_text() { return said.c_str(); }

// The page has copied the bytes: their memory goes back to the heap.
extern "C" void kvr_page_export_release() { std::string().swap(exported); }
