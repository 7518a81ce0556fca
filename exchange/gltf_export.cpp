// The glTF writer: a model's levels walked from the stores as the geometry build walks them, its
// page's top level as a PNG, its keyframe animation as node channels, written by tinygltf.
//
// Axes: Direct3D's are left-handed, glTF's right-handed, both with y up; z is negated. A face
// seen from the mirrored side keeps its turn on the screen, and the viewer's front faces turn
// clockwise where glTF's turn counter-clockwise: each triangle's last two corners change places,
// so the faces still look outward.
#include "exchange/gltf_export.h"

#include <d3dx9.h>
#include <tiny_gltf.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <ostream>
#include <streambuf>
#include <unordered_map>
#include <vector>

#include "base/printable_text.h"
#include "data/animations.h"
#include "exchange/png_bytes.h"
#include "model/animation_table.h"
#include "model/level_walk.h"
#include "model/model_catalogue.h"
#include "model/model_drawing.h"
#include "model/texture_pages.h"

namespace {

using levelwalk::CornerTexel;
using levelwalk::PolygonView;
using levelwalk::WalkLevel;

constexpr int kArrayBuffer = TINYGLTF_TARGET_ARRAY_BUFFER;
constexpr int kIndexBuffer = TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER;
// Texel coordinates in the files are over a 256-wide page, whatever the DDS's size.
constexpr double kTexelsPerPage = 256.0;

// One level's triangles as an indexed list: a vertex for each different (point, texel) corner.
struct LevelMesh {
  std::vector<float> positions;  // x, y, z in metres, right-handed
  std::vector<float> texcoords;  // u, v
  std::vector<uint32_t> indices;
  std::vector<float> connectors;  // x, y, z of each connector, in metres
};

// The vertices of a level met so far, by (point, u, v): an open-addressed table kept between
// levels and models, so that the walk allocates nothing once it has grown. A slot belongs to the
// current level when it carries the level's stamp, so clearing costs nothing however big it grew.
class CornerTable {
 public:
  void Clear() {
    used_ = 0;
    if (++stamp_ == 0) {  // the stamps went round: no old slot may look current
      std::fill(slots_.begin(), slots_.end(), Slot());
      stamp_ = 1;
    }
  }
  // The vertex of the corner; when it is new, `fresh` is set and `vertex` becomes its number.
  uint32_t Find(int32_t point, int32_t u, int32_t v, uint32_t vertex, bool& fresh) {
    if ((used_ + 1) * 2 > slots_.size()) Grow();
    Slot* slot = Place(point, u, v);
    fresh = slot->stamp != stamp_;
    if (fresh) {
      *slot = Slot{point, u, v, vertex, stamp_};
      ++used_;
    }
    return slot->vertex;
  }

 private:
  struct Slot {
    int32_t point = 0, u = 0, v = 0;
    uint32_t vertex = 0;
    uint32_t stamp = 0;  // 0: never used
  };
  Slot* Place(int32_t point, int32_t u, int32_t v) {
    uint64_t hash = uint64_t(uint32_t(point)) * 0x9E3779B97F4A7C15ull ^
                    (uint64_t(uint32_t(u)) << 32 | uint32_t(v)) * 0xC2B2AE3D27D4EB4Full;
    hash ^= hash >> 29;
    const size_t mask = slots_.size() - 1;
    for (size_t at = hash & mask;; at = (at + 1) & mask) {
      Slot& slot = slots_[at];
      if (slot.stamp != stamp_ || (slot.point == point && slot.u == u && slot.v == v)) return &slot;
    }
  }
  void Grow() {
    std::vector<Slot> old(slots_.size() < 64 ? 128 : slots_.size() * 2);
    old.swap(slots_);
    for (const Slot& slot : old)
      if (slot.stamp == stamp_) *Place(slot.point, slot.u, slot.v) = slot;
  }
  std::vector<Slot> slots_;
  size_t used_ = 0;
  uint32_t stamp_ = 1;
};

// A transform: translation and rotation (x, y, z, w) in glTF's axes.
struct Pose {
  double translation[3] = {0, 0, 0};
  double rotation[4] = {0, 0, 0, 1};
};

// The viewer's matrix (row vectors, left-handed, viewer units) as a glTF pose in metres.
Pose PoseOf(const D3DXMATRIX& m, double scale) {
  static const double mirror[3] = {1, 1, -1};
  double r[3][3];  // column-vector rotation in glTF's axes
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) r[i][j] = mirror[i] * mirror[j] * m.m[j][i];
  Pose pose;
  for (int i = 0; i < 3; ++i) pose.translation[i] = mirror[i] * m.m[3][i] * scale;
  double* q = pose.rotation;
  const double trace = r[0][0] + r[1][1] + r[2][2];
  if (trace > 0) {
    const double s = std::sqrt(trace + 1.0) * 2;
    q[3] = s / 4;
    q[0] = (r[2][1] - r[1][2]) / s;
    q[1] = (r[0][2] - r[2][0]) / s;
    q[2] = (r[1][0] - r[0][1]) / s;
  } else if (r[0][0] > r[1][1] && r[0][0] > r[2][2]) {
    const double s = std::sqrt(1.0 + r[0][0] - r[1][1] - r[2][2]) * 2;
    q[3] = (r[2][1] - r[1][2]) / s;
    q[0] = s / 4;
    q[1] = (r[0][1] + r[1][0]) / s;
    q[2] = (r[0][2] + r[2][0]) / s;
  } else if (r[1][1] > r[2][2]) {
    const double s = std::sqrt(1.0 + r[1][1] - r[0][0] - r[2][2]) * 2;
    q[3] = (r[0][2] - r[2][0]) / s;
    q[0] = (r[0][1] + r[1][0]) / s;
    q[1] = s / 4;
    q[2] = (r[1][2] + r[2][1]) / s;
  } else {
    const double s = std::sqrt(1.0 + r[2][2] - r[0][0] - r[1][1]) * 2;
    q[3] = (r[1][0] - r[0][1]) / s;
    q[0] = (r[0][2] + r[2][0]) / s;
    q[1] = (r[1][2] + r[2][1]) / s;
    q[2] = s / 4;
  }
  const double length = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
  for (int i = 0; i < 4; ++i) q[i] = length > 0 ? q[i] / length : (i == 3 ? 1 : 0);
  return pose;
}

// The model's levels, walked from the stores exactly as the first geometry build walks them: a
// level whose blocks do not lie whole in the stores ends the walk, and it and the rest stay empty.
std::vector<LevelMesh> GatherLevels(const PieModel& record, double scale) {
  std::vector<LevelMesh> levels(static_cast<size_t>(record.levelCount > 0 ? record.levelCount : 0));
  const double unit = scale / 10.0;  // the files' positions are tenths of a viewer unit
  size_t pointBlock = static_cast<size_t>(record.pointStart > 0 ? record.pointStart : 0);
  size_t polygonBlock = static_cast<size_t>(record.polygonStart > 0 ? record.polygonStart : 0);
  static CornerTable corners;
  for (LevelMesh& level : levels) {
    corners.Clear();
    const int32_t* points = pointBlock < PointStore.size() ? PointStore.data() + pointBlock + 1 : nullptr;
    const auto vertexOf = [&](const PolygonView& p, int64_t c) {
      const int32_t point = p.pointNumbers[c];
      const int32_t u = CornerTexel(p, c, 0), v = CornerTexel(p, c, 1);
      bool fresh = false;
      const uint32_t at = corners.Find(point, u, v, static_cast<uint32_t>(level.positions.size() / 3), fresh);
      if (!fresh) return at;
      const int32_t* xyz = points + 3 * int64_t{point};
      level.positions.insert(level.positions.end(),
                             {float(xyz[0] * unit), float(xyz[1] * unit), float(-xyz[2] * unit)});
      level.texcoords.insert(level.texcoords.end(), {float(u / kTexelsPerPage), float(v / kTexelsPerPage)});
      return at;
    };
    size_t pointLength = 0, polygonLength = 0;
    const bool whole = WalkLevel(record, pointBlock, polygonBlock, pointLength, polygonLength, nullptr,
                                 [&](const PolygonView& p) {
                                   if (!p.drawn) return;
                                   const uint32_t first = vertexOf(p, 0);
                                   const bool twoSided = IsTwoSidedKind(p.kind);
                                   for (int64_t k = 2; k < p.cornerCount; ++k) {
                                     const uint32_t b = vertexOf(p, k - 1), c = vertexOf(p, k);
                                     level.indices.insert(level.indices.end(), {first, c, b});
                                     // Its mirror, facing the other way, as the viewer draws it.
                                     if (twoSided) level.indices.insert(level.indices.end(), {first, b, c});
                                   }
                                 });
    if (!whole) {
      level = LevelMesh();
      break;
    }
    pointBlock += pointLength;
    polygonBlock += polygonLength;
  }
  // Connectors: one block a level, when every level had one.
  if (record.connectorStart >= 0) {
    size_t at = static_cast<size_t>(record.connectorStart);
    for (LevelMesh& level : levels) {
      if (at >= ConnectorStore.size()) break;
      const int64_t count = ConnectorStore[at];
      if (count < 0 || static_cast<uint64_t>(count) * 3 > ConnectorStore.size() - at - 1) break;
      for (int64_t c = 0; c < count; ++c) {
        const int32_t* xyz = ConnectorStore.data() + at + 1 + 3 * c;
        level.connectors.insert(level.connectors.end(),
                                {float(xyz[0] * unit), float(xyz[1] * unit), float(-xyz[2] * unit)});
      }
      at += static_cast<size_t>(1 + 3 * count);
    }
  }
  return levels;
}

// Builds the asset's one buffer, its views and accessors.
class Asset {
 public:
  Asset() { gltf.buffers.emplace_back(); }
  tinygltf::Model gltf;

  int View(const void* bytes, size_t length, int target) {
    std::vector<unsigned char>& data = gltf.buffers[0].data;
    data.resize((data.size() + 3) / 4 * 4, 0);
    tinygltf::BufferView view;
    view.buffer = 0;
    view.byteOffset = data.size();
    view.byteLength = length;
    view.target = target;
    const unsigned char* from = static_cast<const unsigned char*>(bytes);
    data.insert(data.end(), from, from + length);
    gltf.bufferViews.push_back(view);
    return static_cast<int>(gltf.bufferViews.size() - 1);
  }

  // Floats, `width` to an element, with their bounds when asked (positions and times need them).
  int Floats(const std::vector<float>& values, int width, int target, bool bounds) {
    tinygltf::Accessor accessor;
    accessor.bufferView = View(values.data(), values.size() * sizeof(float), target);
    accessor.componentType = TINYGLTF_COMPONENT_TYPE_FLOAT;
    accessor.count = values.size() / static_cast<size_t>(width);
    static const int kTypes[] = {0, TINYGLTF_TYPE_SCALAR, TINYGLTF_TYPE_VEC2, TINYGLTF_TYPE_VEC3, TINYGLTF_TYPE_VEC4};
    accessor.type = kTypes[width];
    if (bounds) {
      accessor.minValues.assign(static_cast<size_t>(width), 0);
      accessor.maxValues.assign(static_cast<size_t>(width), 0);
      for (size_t i = 0; i < values.size(); ++i) {
        const size_t a = i % static_cast<size_t>(width);
        if (i < static_cast<size_t>(width) || values[i] < accessor.minValues[a]) accessor.minValues[a] = values[i];
        if (i < static_cast<size_t>(width) || values[i] > accessor.maxValues[a]) accessor.maxValues[a] = values[i];
      }
    }
    gltf.accessors.push_back(accessor);
    return static_cast<int>(gltf.accessors.size() - 1);
  }

  // Indices as 16 bits when they fit below the primitive restart value 65535, else as 32.
  int Indices(const std::vector<uint32_t>& indices, size_t vertexCount) {
    tinygltf::Accessor accessor;
    accessor.count = indices.size();
    accessor.type = TINYGLTF_TYPE_SCALAR;
    if (vertexCount < 65535) {
      std::vector<uint16_t> shorter(indices.begin(), indices.end());
      accessor.bufferView = View(shorter.data(), shorter.size() * 2, kIndexBuffer);
      accessor.componentType = TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT;
    } else {
      accessor.bufferView = View(indices.data(), indices.size() * 4, kIndexBuffer);
      accessor.componentType = TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT;
    }
    gltf.accessors.push_back(accessor);
    return static_cast<int>(gltf.accessors.size() - 1);
  }
};

// The page's top level as RGBA texels (pure green already transparent black, as loaded); false
// for a model without a page that loaded.
bool PageTexels(int32_t page, std::vector<uint8_t>& rgba, uint32_t& width, uint32_t& height) {
  if (page < 0 || static_cast<size_t>(page) >= TexturePageTable.size()) return false;
  IDirect3DTexture9* texture = TexturePageTable[page].texture;
  D3DSURFACE_DESC desc = {};
  if (!texture || FAILED(texture->GetLevelDesc(0, &desc))) return false;
  if (desc.Format != D3DFMT_A8R8G8B8 && desc.Format != D3DFMT_X8R8G8B8) return false;
  D3DLOCKED_RECT locked = {};
  if (FAILED(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY)) || !locked.pBits) return false;
  width = desc.Width;
  height = desc.Height;
  rgba.resize(uint64_t{width} * height * 4);
  const bool opaque = desc.Format == D3DFMT_X8R8G8B8;
  for (uint32_t y = 0; y < height; ++y) {
    const uint8_t* row = static_cast<const uint8_t*>(locked.pBits) + int64_t{y} * locked.Pitch;
    uint8_t* out = rgba.data() + uint64_t{y} * width * 4;
    for (uint32_t x = 0; x < width; ++x, row += 4, out += 4) {
      out[0] = row[2];
      out[1] = row[1];
      out[2] = row[0];
      out[3] = opaque ? 255 : row[3];
    }
  }
  texture->UnlockRect(0);
  return true;
}

// A page as the exports carry it: its top level as PNG bytes (empty for a page that did not
// load), and whether its file holds its texels uncompressed, which the importer keeps so.
struct EncodedPage {
  std::string png;
  bool uncompressed = false;
};

// The page encoded once for every model that uses it while the catalogue stays as it is
// (--export-all writes many models of few pages); null for a page that did not load.
const EncodedPage* PageOf(int32_t page) {
  static std::unordered_map<int32_t, EncodedPage> encoded;
  static uint32_t generation = 0;
  if (generation != ModelCatalogueGeneration || encoded.size() > TexturePageTable.size()) {
    encoded.clear();
    generation = ModelCatalogueGeneration;
  }
  const auto found = encoded.find(page);
  if (found != encoded.end()) return found->second.png.empty() ? nullptr : &found->second;
  std::vector<uint8_t> rgba;
  uint32_t width = 0, height = 0;
  EncodedPage& out = encoded[page];
  if (!PageTexels(page, rgba, width, height) || !EncodePng(rgba, width, height, out.png)) {
    out.png.clear();
    return nullptr;
  }
  D3DXIMAGE_INFO info = {};
  out.uncompressed = SUCCEEDED(D3DXGetImageInfoFromFileA(TexturePagePath(page).c_str(), &info)) &&
                     info.Format != D3DFMT_DXT1 && info.Format != D3DFMT_DXT3 && info.Format != D3DFMT_DXT5;
  return &out;
}

// The material: the page as an embedded PNG, unlit, cut out where the page is transparent; a
// plain white one for a model without a page.
void AddMaterial(Asset& asset, int32_t page, bool& textured) {
  tinygltf::Model& gltf = asset.gltf;
  tinygltf::Material material;
  material.pbrMetallicRoughness.metallicFactor = 0.0;
  material.pbrMetallicRoughness.roughnessFactor = 1.0;
  material.extensions["KHR_materials_unlit"] = tinygltf::Value(tinygltf::Value::Object());
  gltf.extensionsUsed.push_back("KHR_materials_unlit");
  const EncodedPage* encoded = PageOf(page);
  textured = encoded != nullptr;
  if (textured) {
    const std::string* png = &encoded->png;
    // Said on the model's node, where importers keep it (extras become assimp's metadata).
    if (encoded->uncompressed) {
      tinygltf::Value::Object extras;
      extras[kUncompressedPageKey] = tinygltf::Value(std::string(kUncompressedPageValue));
      gltf.nodes[0].extras = tinygltf::Value(extras);
    }
    tinygltf::Image image;
    image.name = TexturePageTable[page].PageName;
    image.mimeType = "image/png";
    gltf.buffers[0].data.reserve(png->size() + 65536);  // the page and a small model's levels
    image.bufferView = asset.View(png->data(), png->size(), 0);
    gltf.images.push_back(image);
    tinygltf::Sampler sampler;
    sampler.magFilter = TINYGLTF_TEXTURE_FILTER_LINEAR;
    sampler.minFilter = TINYGLTF_TEXTURE_FILTER_LINEAR_MIPMAP_LINEAR;
    gltf.samplers.push_back(sampler);
    tinygltf::Texture texture;
    texture.source = 0;
    texture.sampler = 0;
    gltf.textures.push_back(texture);
    material.name = TexturePageTable[page].PageName;
    material.pbrMetallicRoughness.baseColorTexture.index = 0;
    material.alphaMode = "MASK";
  } else {
    material.name = "untextured";
  }
  gltf.materials.push_back(material);
}

// The keyframe animation: a transform animation moves and turns the levels, a frames animation
// shows one level a frame (scale 1, the others 0), both stepping at the animation's rate. The
// nodes' own transforms are the moment the counter stands at now.
void AddAnimation(Asset& asset, int32_t animation, const std::vector<int>& levelNodes, double scale) {
  if (animation < 0 || static_cast<size_t>(animation) >= Animations.size() ||
      static_cast<size_t>(animation) >= AnimationCounters.size())
    return;
  tinygltf::Model& gltf = asset.gltf;
  const Animation& record = Animations[animation];
  const bool frames = IsFramesAnimation(animation);
  const int32_t now = AnimationCounters[animation];
  const int32_t keys = record.frameCount;
  // A rate of 0 never steps (the model stays at its first frame); a negative one steps each beat.
  const double seconds = record.frameRate > 0   ? 1.0 / record.frameRate
                         : record.frameRate < 0 ? kAnimationBeatMilliseconds / 1000.0
                                                : 0.0;
  const size_t levels = levelNodes.size();
  for (size_t level = 0; level < levels; ++level) {
    tinygltf::Node& node = gltf.nodes[static_cast<size_t>(levelNodes[level])];
    if (frames) {
      const double shown = int64_t(level) == now ? 1.0 : 0.0;
      node.scale = {shown, shown, shown};
    } else {
      AnimationFrame frame;
      if (GetAnimationFrame(animation, static_cast<int32_t>(level), frame)) {
        const Pose pose = PoseOf(KeyframeMatrix(frame), scale);
        node.translation.assign(pose.translation, pose.translation + 3);
        node.rotation.assign(pose.rotation, pose.rotation + 4);
      }
    }
  }
  if (seconds <= 0.0 || keys < 1) return;

  tinygltf::Animation out;
  out.name = record.name;
  std::vector<float> times;
  for (int32_t k = 0; k < keys; ++k) times.push_back(static_cast<float>(k * seconds));
  const int input = asset.Floats(times, 1, 0, true);
  const auto channel = [&](int node, const char* path, const std::vector<float>& values, int width) {
    tinygltf::AnimationSampler sampler;
    sampler.input = input;
    sampler.output = asset.Floats(values, width, 0, false);
    sampler.interpolation = "STEP";
    out.samplers.push_back(sampler);
    tinygltf::AnimationChannel c;
    c.sampler = static_cast<int>(out.samplers.size() - 1);
    c.target_node = node;
    c.target_path = path;
    out.channels.push_back(c);
  };
  for (size_t level = 0; level < levels; ++level) {
    if (frames) {
      // Levels past the frame count are never shown and keep their scale of 0.
      if (int64_t(level) >= keys) continue;
      std::vector<float> scales;
      for (int32_t k = 0; k < keys; ++k) {
        const float s = int64_t(level) == k ? 1.0f : 0.0f;
        scales.insert(scales.end(), {s, s, s});
      }
      channel(levelNodes[level], "scale", scales, 3);
      continue;
    }
    if (record.objectCount >= 0 && int64_t(level) >= record.objectCount) continue;
    std::vector<float> moves, turns;
    for (int32_t k = 0; k < keys; ++k) {
      AnimationCounters[animation] = k;
      AnimationFrame frame;
      // A frame the file does not hold leaves the level where the model puts it, as drawn.
      D3DXMATRIX m;
      D3DXMatrixIdentity(&m);
      if (GetAnimationFrame(animation, static_cast<int32_t>(level), frame)) m = KeyframeMatrix(frame);
      const Pose pose = PoseOf(m, scale);
      for (double t : pose.translation) moves.push_back(static_cast<float>(t));
      for (double q : pose.rotation) turns.push_back(static_cast<float>(q));
    }
    AnimationCounters[animation] = now;
    channel(levelNodes[level], "translation", moves, 3);
    channel(levelNodes[level], "rotation", turns, 4);
  }
  if (!out.channels.empty()) gltf.animations.push_back(out);
}

// An output stream straight into a string made big enough beforehand: the file is not copied as
// a string stream grows, nor again when one hands its bytes over.
class StringSink : public std::streambuf {
 public:
  explicit StringSink(std::string& out) : out_(out) {}

 protected:
  std::streamsize xsputn(const char* bytes, std::streamsize count) override {
    out_.append(bytes, static_cast<size_t>(count));
    return count;
  }
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof())) out_.push_back(traits_type::to_char_type(c));
    return traits_type::not_eof(c);
  }

 private:
  std::string& out_;
};

// A name of the data set as the file's JSON must hold it: UTF-8. Data sets are written in any
// 8-bit code page, and the JSON writer gives up on a byte that starts no UTF-8 character, so
// such a byte is written as the four characters \xNN; every character is kept.
std::string Utf8Name(const std::string& name) {
  std::string out;
  for (size_t i = 0; i < name.size();) {
    const size_t length = Utf8CharacterLength(name, i);
    if (length == 0) {
      static const char kHex[] = "0123456789ABCDEF";
      const uint8_t c = static_cast<uint8_t>(name[i++]);
      out += {'\\', 'x', kHex[c >> 4], kHex[c & 0xF]};
    } else {
      out.append(name, i, length);
      i += length;
    }
  }
  return out;
}

void MakeNamesUtf8(tinygltf::Model& gltf) {
  const auto fix = [](auto& objects) {
    for (auto& object : objects) object.name = Utf8Name(object.name);
  };
  fix(gltf.nodes);
  fix(gltf.meshes);
  fix(gltf.images);
  fix(gltf.materials);
  fix(gltf.animations);
  fix(gltf.scenes);
}

}  // namespace

struct GltfAsset {
  Asset asset;
  bool binary = true;
};

std::shared_ptr<GltfAsset> GatherModelGltf(int32_t model, const GltfExportOptions& options, std::string& why) {
  if (model < 0 || static_cast<size_t>(model) >= ModelCatalogue.size()) {
    why = "no such model";
    return nullptr;
  }
  const PieModel& record = ModelCatalogue[model];
  auto gathered = std::make_shared<GltfAsset>();
  gathered->binary = options.binary;
  Asset& asset = gathered->asset;
  tinygltf::Model& gltf = asset.gltf;
  gltf.asset.version = "2.0";
  gltf.asset.generator = "kvrview";
  tinygltf::Node root;
  root.name = record.name;
  gltf.nodes.push_back(root);
  bool textured = false;
  AddMaterial(asset, record.texturePage, textured);
  const std::vector<LevelMesh> levels = GatherLevels(record, options.scale);
  std::vector<int> levelNodes;
  int connector = 0;
  for (size_t level = 0; level < levels.size(); ++level) {
    const LevelMesh& mesh = levels[level];
    tinygltf::Node node;
    node.name = "level" + std::to_string(level + 1);
    if (!mesh.indices.empty()) {
      tinygltf::Primitive primitive;
      primitive.mode = TINYGLTF_MODE_TRIANGLES;
      primitive.material = 0;
      primitive.attributes["POSITION"] = asset.Floats(mesh.positions, 3, kArrayBuffer, true);
      if (textured) primitive.attributes["TEXCOORD_0"] = asset.Floats(mesh.texcoords, 2, kArrayBuffer, false);
      primitive.indices = asset.Indices(mesh.indices, mesh.positions.size() / 3);
      tinygltf::Mesh out;
      out.name = record.name + "-" + node.name;
      out.primitives.push_back(primitive);
      gltf.meshes.push_back(out);
      node.mesh = static_cast<int>(gltf.meshes.size() - 1);
    }
    const int at = static_cast<int>(gltf.nodes.size());
    gltf.nodes.push_back(node);
    gltf.nodes[0].children.push_back(at);
    levelNodes.push_back(at);
    for (size_t c = 0; c + 2 < mesh.connectors.size(); c += 3) {
      tinygltf::Node empty;
      empty.name = "connector" + std::to_string(++connector);
      empty.translation = {mesh.connectors[c], mesh.connectors[c + 1], mesh.connectors[c + 2]};
      gltf.nodes.push_back(empty);
      gltf.nodes[static_cast<size_t>(at)].children.push_back(static_cast<int>(gltf.nodes.size() - 1));
    }
  }
  // A material no primitive uses would be an unused object.
  if (gltf.meshes.empty()) {
    gltf.materials.clear();
    gltf.images.clear();
    gltf.textures.clear();
    gltf.samplers.clear();
    gltf.extensionsUsed.clear();
    gltf.bufferViews.clear();
    gltf.buffers[0].data.clear();
    gltf.nodes[0].extras = tinygltf::Value();
  }
  AddAnimation(asset, record.animation, levelNodes, options.scale);
  if (gltf.buffers[0].data.empty()) gltf.buffers.clear();
  tinygltf::Scene scene;
  scene.name = record.name;
  scene.nodes.push_back(0);
  gltf.scenes.push_back(scene);
  gltf.defaultScene = 0;
  MakeNamesUtf8(gltf);
  return gathered;
}

bool WriteGltfBytes(GltfAsset& gathered, std::string& bytes, std::string& why) {
  bytes.clear();
  tinygltf::Model& gltf = gathered.asset.gltf;
  const bool binary = gathered.binary;
  // The buffer goes in whole (base64 in a .gltf), after a few kilobytes of JSON.
  const size_t buffer = gltf.buffers.empty() ? 0 : gltf.buffers[0].data.size();
  bytes.reserve((binary ? buffer : buffer / 3 * 4) + 16384);
  StringSink sink(bytes);
  std::ostream stream(&sink);
  tinygltf::TinyGLTF writer;
  if (!writer.WriteGltfSceneToStream(&gltf, stream, !binary, binary)) {
    bytes.clear();
    why = "the glTF writer failed";
    return false;
  }
  return true;
}

bool ExportModelGltf(int32_t model, const GltfExportOptions& options, std::string& bytes, std::string& why) {
  bytes.clear();
  const std::shared_ptr<GltfAsset> gathered = GatherModelGltf(model, options, why);
  return gathered && WriteGltfBytes(*gathered, bytes, why);
}
