// A loaded model as a glTF 2.0 asset: its levels, page and keyframe animation as the viewer shows
// them, read from the catalogue's stores (never from the device's buffers).
#pragma once
#include <cstdint>
#include <memory>
#include <string>

// Metres per viewer unit when none is asked for: a PIE unit (a tenth of a viewer unit) becomes a
// centimetre, so a sample tank is about two metres long.
constexpr double kDefaultExchangeScale = 0.1;

// The model's node says so in its extras when its page's file holds uncompressed texels, so that
// an import of the export gives the page back as it was rather than compressed.
constexpr char kUncompressedPageKey[] = "kvrviewPage";
constexpr char kUncompressedPageValue[] = "uncompressed";

struct GltfExportOptions {
  double scale = kDefaultExchangeScale;  // metres per viewer unit
  bool binary = true;                    // .glb; false: .gltf with its buffer inside
};

// The model (a number of the catalogue, set to the moment its texture strips should show) as the
// bytes of a .glb or .gltf file. False, with `why` set, when it cannot be written.
bool ExportModelGltf(int32_t model, const GltfExportOptions& options, std::string& bytes, std::string& why);

// The same in two steps: the model gathered into an asset, which reads the catalogue and so
// belongs to the thread that loads it; then the asset as the file's bytes, which touches nothing
// else and may run on any thread.
struct GltfAsset;
std::shared_ptr<GltfAsset> GatherModelGltf(int32_t model, const GltfExportOptions& options, std::string& why);
bool WriteGltfBytes(GltfAsset& gathered, std::string& bytes, std::string& why);
