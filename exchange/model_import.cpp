// The importer: assimp reads the file (every file it opens passes a size ceiling first), the
// scene's visible meshes are flattened into one level, quantised to the PIE's integers and
// checked against its limits, the base colour texture becomes the page; only when all of it fits
// is anything written, each file whole or not at all.
//
// Axes and winding: assimp hands over right-handed scenes whose front faces turn
// counter-clockwise (as glTF's); PIE points are (x, y, -z), which keeps each face's turn on the
// screen, and the viewer's front faces turn clockwise: the corners are written in reverse. Positions: round(metres / scale * 10), halves away
// from zero. Texels: round(u * 256), round(v * 256) of the top-left-based coordinates.
#include "exchange/model_import.h"

#include <assimp/DefaultIOSystem.h>
#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <stb_image.h>
#include <sys/stat.h>

#include <array>
#include <cmath>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "base/ceilings.h"
#include "base/data_file.h"
#include "base/data_path.h"
#include "base/disk_path.h"
#include "data/category_manifests.h"
#include "data/load_sequence.h"
#include "exchange/dds_page.h"
#include "exchange/gltf_export.h"
#include "exchange/gltf_precheck.h"
#include "exchange/output_files.h"
#include "model/model_catalogue.h"
#include "model/pie_writer.h"

namespace {

// Nesting deeper than this is no model any tool makes, and would only walk the stack down.
constexpr int kMaxNodeDepth = 256;

struct Refusal {
  std::string why;
};

// The reader's own reason, without the full stop our line goes on after.
std::string ReaderError(const Assimp::Importer& importer) {
  std::string text = importer.GetErrorString();
  while (!text.empty() && (text.back() == '.' || text.back() == ' ' || text.back() == '\n')) text.pop_back();
  return "it cannot be read: " + (text.empty() ? std::string("no reason given") : text);
}

uint64_t FileSize(const char* path, bool& regular) {
  struct stat s;
  regular = stat(path, &s) == 0 && S_ISREG(s.st_mode);
  return regular ? static_cast<uint64_t>(s.st_size) : 0;
}

std::string MiB(uint64_t bytes) { return std::to_string(bytes >> 20) + " MiB"; }

// Assimp's files, each opened only when it is a regular file within the ceiling; the first one
// refused is remembered for the refusal line.
class BoundedIOSystem : public Assimp::DefaultIOSystem {
 public:
  std::string refused;
  Assimp::IOStream* Open(const char* file, const char* mode) override {
    if (!file || !mode || mode[0] != 'r') return nullptr;  // reads only, never a write
    bool regular = false;
    const uint64_t size = FileSize(file, regular);
    if (regular && size > kMaxImportFileBytes) {
      if (refused.empty()) refused = std::string(file) + " is larger than " + MiB(kMaxImportFileBytes);
      return nullptr;
    }
    return regular ? Assimp::DefaultIOSystem::Open(file, mode) : nullptr;
  }
};

constexpr unsigned kReadSteps = aiProcess_Triangulate | aiProcess_SortByPType | aiProcess_FlipUVs |
                                aiProcess_ValidateDataStructure | aiProcess_RemoveRedundantMaterials;

// The page: RGBA texels of power-of-two sides.
struct Page {
  std::vector<uint8_t> rgba;
  uint32_t width = 0, height = 0;
};

uint32_t PowerOfTwoAtLeast(uint32_t n) {
  uint32_t p = 1;
  while (p < n) p <<= 1;
  return p;
}

// Decoded texels stretched to power-of-two sides (nearest texel), so coordinates keep their place.
Page PageOf(const uint8_t* rgba, uint32_t width, uint32_t height) {
  Page page;
  page.width = PowerOfTwoAtLeast(width);
  page.height = PowerOfTwoAtLeast(height);
  page.rgba.resize(uint64_t{page.width} * page.height * 4);
  for (uint32_t y = 0; y < page.height; ++y)
    for (uint32_t x = 0; x < page.width; ++x) {
      const uint64_t sx = uint64_t{x} * width / page.width, sy = uint64_t{y} * height / page.height;
      std::memcpy(&page.rgba[(uint64_t{y} * page.width + x) * 4], rgba + (sy * width + sx) * 4, 4);
    }
  return page;
}

void CheckTextureSize(const std::string& name, uint64_t width, uint64_t height) {
  if (width == 0 || height == 0) throw Refusal{"the texture " + name + " has no texels"};
  if (width > kMaxPageSide || height > kMaxPageSide)
    throw Refusal{"the texture " + name + " is " + std::to_string(width) + " x " + std::to_string(height) +
                  " texels; a page holds " + std::to_string(kMaxPageSide) + " x " + std::to_string(kMaxPageSide) +
                  " at most"};
}

// A compressed image (PNG, JPEG, ...) from memory: its size checked from its header first.
Page DecodeImage(const std::string& name, const uint8_t* data, size_t size) {
  if (size > kMaxImportFileBytes) throw Refusal{"the texture " + name + " is larger than " + MiB(kMaxImportFileBytes)};
  // A PNG's size is in its first chunk: checked here, where the decoder's own checks would only
  // say it cannot read the image.
  static const uint8_t kPngStart[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R'};
  if (size >= 24 && std::memcmp(data, kPngStart, sizeof(kPngStart)) == 0) {
    const auto big = [&](size_t at) {
      return uint64_t{data[at]} << 24 | uint64_t{data[at + 1]} << 16 | uint64_t{data[at + 2]} << 8 | data[at + 3];
    };
    CheckTextureSize(name, big(16), big(20));
  }
  int width = 0, height = 0, channels = 0;
  if (!stbi_info_from_memory(data, static_cast<int>(size), &width, &height, &channels))
    throw Refusal{"the texture " + name + " is no image kvrview can read"};
  CheckTextureSize(name, static_cast<uint64_t>(width), static_cast<uint64_t>(height));
  stbi_uc* texels = stbi_load_from_memory(data, static_cast<int>(size), &width, &height, &channels, 4);
  if (!texels) throw Refusal{"the texture " + name + " cannot be decoded"};
  Page page = PageOf(texels, static_cast<uint32_t>(width), static_cast<uint32_t>(height));
  stbi_image_free(texels);
  return page;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The texture the material names: embedded in the scene, or a file beside the model.
Page LoadTexture(const aiScene* scene, const std::string& name, const std::string& folder) {
  if (const aiTexture* embedded = scene->GetEmbeddedTexture(name.c_str())) {
    const std::string shown = name[0] == '*' ? name.substr(1) + " (embedded)" : name;
    if (embedded->mHeight == 0)
      return DecodeImage(shown, reinterpret_cast<const uint8_t*>(embedded->pcData), embedded->mWidth);
    CheckTextureSize(shown, embedded->mWidth, embedded->mHeight);
    std::vector<uint8_t> rgba(uint64_t{embedded->mWidth} * embedded->mHeight * 4);
    for (size_t i = 0; i < rgba.size() / 4; ++i) {
      const aiTexel& t = embedded->pcData[i];
      rgba[4 * i] = t.r, rgba[4 * i + 1] = t.g, rgba[4 * i + 2] = t.b, rgba[4 * i + 3] = t.a;
    }
    return PageOf(rgba.data(), embedded->mWidth, embedded->mHeight);
  }
  if (folder.empty() && name.empty()) throw Refusal{"a texture without a name"};
  std::string path = name;
  for (char& c : path) c = c == '\\' ? '/' : c;
  if (path.empty() || path[0] != '/') path = folder + path;
  bool regular = false;
  const uint64_t size = FileSize(path.c_str(), regular);
  if (!regular) throw Refusal{"the texture " + path + " cannot be opened"};
  if (size > kMaxImportFileBytes) throw Refusal{"the texture " + path + " is larger than " + MiB(kMaxImportFileBytes)};
  std::ifstream in(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return DecodeImage(path, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

// A page of one texel of the material's colour, for a model without a texture.
Page PlainPage(const aiMaterial* material) {
  aiColor4D colour(1, 1, 1, 1);
  if (material && material->Get(AI_MATKEY_BASE_COLOR, colour) != AI_SUCCESS)
    material->Get(AI_MATKEY_COLOR_DIFFUSE, colour);
  const auto byte = [](float v) { return static_cast<uint8_t>(std::lround(std::fmin(std::fmax(v, 0.0f), 1.0f) * 255)); };
  Page page;
  page.width = page.height = 4;
  for (int i = 0; i < 16; ++i) page.rgba.insert(page.rgba.end(), {byte(colour.r), byte(colour.g), byte(colour.b), 255});
  return page;
}

std::string TextureNameOf(const aiMaterial* material) {
  aiString path;
  if (material && (material->GetTexture(aiTextureType_BASE_COLOR, 0, &path) == AI_SUCCESS ||
                   material->GetTexture(aiTextureType_DIFFUSE, 0, &path) == AI_SUCCESS))
    return path.C_Str();
  return std::string();
}

// The scene flattened: every triangle of every shown node, placed, quantised.
class Flattener {
 public:
  Flattener(const aiScene* scene, double scale) : scene_(scene), unitsPerMetre_(10.0 / scale) {}

  PieDocument document;
  std::set<std::string> textures;  // base colour textures of the meshes taken
  const aiMaterial* firstMaterial = nullptr;

  // Starts the next level: the triangles taken from now on go into it.
  void NextLevel() {
    document.levels.emplace_back();
    points_.clear();
  }

  // Takes the node's meshes and its children's, placed by `parent` and the node's own transform
  // (left out for a level node, whose placement is its keyframe animation's). With `connectors`,
  // an empty node named connector1, connector2, ... (as kvrview exports them) is a connector of
  // the level where it stands.
  void Walk(const aiNode* node, const aiMatrix4x4& parent, int depth, bool ownTransform = true,
            bool connectors = false) {
    if (!node) return;
    if (depth > kMaxNodeDepth) throw Refusal{"its nodes nest deeper than " + std::to_string(kMaxNodeDepth)};
    const aiMatrix4x4 placed = ownTransform ? parent * node->mTransformation : parent;
    if (connectors && node->mNumMeshes == 0 && node->mNumChildren == 0 && IsConnectorName(node->mName.C_Str())) {
      if (++connectorCount_ > kMaxImportPoints)
        throw Refusal{"it has more than " + std::to_string(kMaxImportPoints) + " connectors, the most a PIE model takes here"};
      document.levels.back().connectors.push_back(Quantised(placed * aiVector3D(0, 0, 0)));
      return;
    }
    const aiMatrix3x3 turn(placed);
    const double determinant = turn.Determinant();
    // A node scaled to nothing is hidden.
    if (!std::isfinite(determinant) || std::fabs(determinant) < 1e-12) return;
    for (unsigned i = 0; i < node->mNumMeshes; ++i) {
      if (node->mMeshes[i] >= scene_->mNumMeshes) throw Refusal{"a node names a mesh it does not hold"};
      TakeMesh(scene_->mMeshes[node->mMeshes[i]], placed, determinant < 0);
    }
    for (unsigned i = 0; i < node->mNumChildren; ++i) Walk(node->mChildren[i], placed, depth + 1, true, connectors);
  }

 private:
  int32_t Quantise(double value, const char* what) {
    const double rounded = std::round(value);
    if (!(std::fabs(rounded) <= double(kMaxPieCoordinate)))
      throw Refusal{std::string("a ") + what + " lies outside the PIE's range of " +
                    std::to_string(kMaxPieCoordinate) + " either way"};
    return static_cast<int32_t>(rounded);
  }

  static bool IsConnectorName(const char* name) {
    if (std::strncmp(name, "connector", 9) != 0 || name[9] < '1' || name[9] > '9') return false;
    for (const char* p = name + 9; *p; ++p)
      if (*p < '0' || *p > '9') return false;
    return true;
  }

  // A position in the PIE's units and axes (z negated back into Direct3D's).
  std::array<int32_t, 3> Quantised(const aiVector3D& v) {
    return {Quantise(v.x * unitsPerMetre_, "coordinate"), Quantise(v.y * unitsPerMetre_, "coordinate"),
            Quantise(-v.z * unitsPerMetre_, "coordinate")};
  }

  int32_t PointOf(const aiVector3D& v) {
    const std::array<int32_t, 3> point = Quantised(v);
    const auto found = points_.find(point);
    if (found != points_.end()) return found->second;
    if (++pointCount > kMaxImportPoints)
      throw Refusal{"it has more than " + std::to_string(kMaxImportPoints) + " points, the most a PIE model takes here"};
    std::vector<std::array<int32_t, 3>>& points = document.levels.back().points;
    const int32_t number = static_cast<int32_t>(points.size());
    points.push_back(point);
    points_.emplace(point, number);
    return number;
  }

  void TakeMesh(const aiMesh* mesh, const aiMatrix4x4& placed, bool mirrored) {
    if (!mesh || !(mesh->mPrimitiveTypes & aiPrimitiveType_TRIANGLE)) return;
    if (mesh->mMaterialIndex < scene_->mNumMaterials) {
      const aiMaterial* material = scene_->mMaterials[mesh->mMaterialIndex];
      if (!firstMaterial) firstMaterial = material;
      const std::string texture = TextureNameOf(material);
      if (!texture.empty()) textures.insert(texture);
    }
    const aiVector3D* uv = mesh->HasTextureCoords(0) ? mesh->mTextureCoords[0] : nullptr;
    for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
      const aiFace& face = mesh->mFaces[f];
      if (face.mNumIndices != 3) continue;
      PieTriangle t;
      for (int c = 0; c < 3; ++c) {
        const unsigned index = face.mIndices[mirrored ? c : 2 - c];
        if (index >= mesh->mNumVertices) throw Refusal{"a face names a vertex its mesh does not hold"};
        t.points[c] = PointOf(placed * mesh->mVertices[index]);
        t.texels[2 * c] = uv ? Quantise(uv[index].x * 256.0, "texel coordinate") : 0;
        t.texels[2 * c + 1] = uv ? Quantise(uv[index].y * 256.0, "texel coordinate") : 0;
      }
      // Corners that came together in the quantising leave nothing to draw.
      if (t.points[0] == t.points[1] || t.points[1] == t.points[2] || t.points[0] == t.points[2]) continue;
      if (++triangleCount > kMaxImportPolygons)
        throw Refusal{"it has more than " + std::to_string(kMaxImportPolygons) +
                      " polygons, the most a PIE model takes here"};
      document.levels.back().triangles.push_back(t);
    }
  }

  const aiScene* scene_;
  double unitsPerMetre_;
  std::map<std::array<int32_t, 3>, int32_t> points_;  // the current level's
  uint64_t connectorCount_ = 0;

 public:
  uint64_t pointCount = 0, triangleCount = 0;
};

// The number N of a node named "levelN" (N from 1), else 0.
uint32_t LevelNumberOf(const aiNode* node) {
  const char* name = node->mName.C_Str();
  if (std::strncmp(name, "level", 5) != 0 || name[5] < '1' || name[5] > '9') return 0;
  uint64_t n = 0;
  for (const char* p = name + 5; *p; ++p) {
    if (*p < '0' || *p > '9' || n > 100000) return 0;
    n = n * 10 + static_cast<uint64_t>(*p - '0');
  }
  return static_cast<uint32_t>(n);
}

// The node whose children are the levels level1, level2, ... (as kvrview exports a model), found
// within the top two nodes; null for a scene of any other shape.
const aiNode* LevelParent(const aiNode* root, aiMatrix4x4& placed) {
  const aiNode* candidates[2] = {root, root->mNumChildren == 1 ? root->mChildren[0] : nullptr};
  for (const aiNode* node : candidates) {
    if (!node || node->mNumChildren == 0) continue;
    bool levels = true;
    for (unsigned i = 0; i < node->mNumChildren && levels; ++i)
      levels = LevelNumberOf(node->mChildren[i]) == i + 1;
    if (!levels) continue;
    placed = node == root ? root->mTransformation : root->mTransformation * node->mTransformation;
    return node;
  }
  return nullptr;
}

// Whether the scene came from a kvrview export of a model whose page was uncompressed (its model
// node says so), to be given back uncompressed.
bool PageWasUncompressed(const aiNode* root) {
  const aiNode* candidates[2] = {root, root->mNumChildren == 1 ? root->mChildren[0] : nullptr};
  for (const aiNode* node : candidates) {
    aiString value;
    if (node && node->mMetaData && node->mMetaData->Get(kUncompressedPageKey, value) &&
        std::strcmp(value.C_Str(), kUncompressedPageValue) == 0)
      return true;
  }
  return false;
}

void Convert(const aiScene* scene, const std::string& folder, const std::string& pageName, double scale,
             ImportedModel& out) {
  if (!scene || !scene->mRootNode) throw Refusal{"it holds no scene"};
  Flattener flat(scene, scale);
  flat.document.pageName = pageName;
  // A model kvrview exported keeps its levels, each where its own nodes put it; its keyframe
  // animation stays in its ANIM3D file. Any other scene becomes one level as it stands.
  aiMatrix4x4 placed;
  if (const aiNode* levels = LevelParent(scene->mRootNode, placed)) {
    for (unsigned i = 0; i < levels->mNumChildren; ++i) {
      flat.NextLevel();
      flat.Walk(levels->mChildren[i], placed, 2, false, true);
    }
  } else {
    flat.NextLevel();
    flat.Walk(scene->mRootNode, aiMatrix4x4(), 0);
  }
  if (flat.triangleCount == 0) throw Refusal{"it holds no triangles"};
  if (flat.textures.size() > 1)
    throw Refusal{"its meshes use " + std::to_string(flat.textures.size()) +
                  " textures; a PIE model takes one page (join them into one texture first)"};
  const Page page = flat.textures.empty() ? PlainPage(flat.firstMaterial)
                                          : LoadTexture(scene, *flat.textures.begin(), folder);
  out.pie = WritePie(flat.document);
  out.points = flat.pointCount;
  out.triangles = flat.triangleCount;
  out.dds = MakeDdsPage(page.rgba, page.width, page.height, PageWasUncompressed(scene->mRootNode));
}

bool ValidPageName(const std::string& name) {
  if (name.empty() || name.size() > 64) return false;
  for (const char c : name) {
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_'))
      return false;
  }
  return true;
}

std::string StemOf(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

std::string LowerCase(std::string text) {
  for (char& c : text) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
  return text;
}

bool IsGltfName(const std::string& path) {
  const std::string lower = LowerCase(path);
  return (lower.size() > 4 && lower.compare(lower.size() - 4, 4, ".glb") == 0) ||
         (lower.size() > 5 && lower.compare(lower.size() - 5, 5, ".gltf") == 0);
}

// Where --into puts the model: the category directory's files on disk, and the manifest with the
// model's name added (unchanged when it lists the name already).
struct DataSetEntry {
  std::string piePath, pagePath, manifestPath, manifest;
  bool added = false;  // the manifest did not list the model yet
};

const char* StartUpLabelOf(ModelCategory category) {
  static const char* const kLabels[] = {"Bodies:", "Features:", "Miscelaneous:", "MiscelaneousIMD:",
                                        "Effects:", "Propulsions:", "Structures:", "Weapons:"};
  return category >= 0 && category < 8 ? kLabels[category] : "";
}

// Run in the data set's folder (the caller has changed into it).
DataSetEntry FindEntry(const ImportRequest& request, const std::string& model, const std::string& page) {
  const ModelCategory category = ModelCategoryByName(request.category);
  if (category < 0)
    throw Refusal{"no category " + request.category +
                  " (bodies, features, miscellaneous, research, effects, propulsions, structures, weapons)"};
  std::vector<char> contents;
  if (!ReadDataFile(kStartUpManifest, contents))
    throw Refusal{request.into + " holds no start-up manifest " + kStartUpManifest};
  const StartUpManifest startUp = ParseStartUpManifest(contents.data(), contents.data() + contents.size());
  std::string directory;
  for (const StartUpPair& pair : startUp.pairs)
    if (pair.label == StartUpLabelOf(category)) directory = pair.directory;
  if (directory.empty()) throw Refusal{std::string(kStartUpManifest) + " lists no " + StartUpLabelOf(category)};
  const std::string manifest = directory + CategoryManifestName(category);
  if (!DataPathAllowed(manifest)) throw Refusal{manifest + ": the path climbs out of the data set"};
  DataSetEntry entry;
  entry.manifestPath = PathFoundOnDisk(manifest.c_str());
  if (entry.manifestPath.empty() || !ReadDataFile(manifest.c_str(), contents))
    throw Refusal{"the category manifest " + manifest + " cannot be read"};
  for (char& c : entry.manifestPath) c = c == '\\' ? '/' : c;
  entry.piePath = FolderOf(entry.manifestPath) + model + ".pie";
  // The page where the viewer looks for it: beside the data set's other pages when it has some.
  const std::string pageData = std::string("duskfen\\texpages\\") + page + ".dds";
  entry.pagePath = PathFoundOnDisk(pageData.c_str());
  if (entry.pagePath.empty()) {
    std::string found = PathFoundOnDisk(kStartUpManifest);
    for (char& c : found) c = c == '\\' ? '/' : c;
    entry.pagePath = FolderOf(found) + "texpages/" + page + ".dds";
  }
  for (char& c : entry.pagePath) c = c == '\\' ? '/' : c;
  // The manifest, with the name on a line of its own at the end unless it is listed already.
  entry.manifest.assign(contents.begin(), contents.end());
  TokenReader words(contents);
  std::string word;
  bool listed = false;
  while (words.Next(word)) listed = listed || LowerCase(word) == LowerCase(model);
  entry.added = !listed;
  if (!listed) {
    if (!entry.manifest.empty() && entry.manifest.back() != '\n') entry.manifest += "\r\n";
    entry.manifest += model + "\r\n";
  }
  return entry;
}

bool MakeFolderOf(const std::string& path, std::string& why) {
  const std::string folder = FolderOf(path);
  return folder.empty() || MakeFolder(folder, why);
}

}  // namespace

bool ImportFromMemory(const void* data, size_t size, const char* hint, const std::string& pageName, double scale,
                      ImportedModel& out, std::string& why) {
  out = ImportedModel();
  if (size > kMaxImportFileBytes) {
    why = "it is larger than " + MiB(kMaxImportFileBytes);
    return false;
  }
  if (!GltfStructureFits(static_cast<const uint8_t*>(data), size, why)) return false;
  Assimp::Importer importer;
  importer.SetIOHandler(new BoundedIOSystem);
  try {
    const aiScene* scene = importer.ReadFileFromMemory(data, size, kReadSteps, hint ? hint : "");
    if (!scene) throw Refusal{ReaderError(importer)};
    Convert(scene, std::string(), pageName, scale, out);
    return true;
  } catch (const Refusal& refusal) {
    why = refusal.why;
  } catch (const std::bad_alloc&) {
    why = "it asks for more memory than there is";
  } catch (const std::exception& e) {
    why = std::string("it cannot be read: ") + e.what();
  }
  return false;
}

ImportOutcome ImportModel(const ImportRequest& request) {
  ImportOutcome outcome;
  outcome.code = 1;
  const std::string model = StemOf(request.output);
  const std::string page = request.page.empty() ? model : StemOf(request.page);
  const auto refuse = [&](const std::string& why) {
    outcome.message = request.source + ": " + why + "; nothing written";
    return outcome;
  };
  if (!ValidPageName(model)) return refuse("the model's name " + model + " is not letters, digits, - and _ (64 at most)");
  if (!ValidPageName(page)) return refuse("the page's name " + page + " is not letters, digits, - and _ (64 at most)");
  bool regular = false;
  const uint64_t size = FileSize(request.source.c_str(), regular);
  if (!regular) return refuse("no such file");
  if (size > kMaxImportFileBytes) return refuse("it is larger than " + MiB(kMaxImportFileBytes));

  ImportedModel made;
  if (IsGltfName(request.source)) {
    std::ifstream in(request.source, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string why;
    if (!GltfStructureFits(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), why)) return refuse(why);
  }
  {
    Assimp::Importer importer;
    BoundedIOSystem* files = new BoundedIOSystem;
    importer.SetIOHandler(files);
    try {
      const aiScene* scene = importer.ReadFile(request.source, kReadSteps);
      if (!files->refused.empty()) throw Refusal{files->refused};
      if (!scene) throw Refusal{ReaderError(importer)};
      Convert(scene, FolderOf(request.source), page, request.scale, made);
    } catch (const Refusal& refusal) {
      return refuse(refusal.why);
    } catch (const std::bad_alloc&) {
      return refuse("it asks for more memory than there is");
    } catch (const std::exception& e) {
      return refuse(std::string("it cannot be read: ") + e.what());
    }
  }

  std::string piePath = request.output, pagePath = FolderOf(request.output) + page + ".dds";
  DataSetEntry entry;
  const bool into = !request.into.empty();
  if (into) {
    if (!SetCurrentDirectoryOf(request.into)) {
      outcome.code = 2;
      outcome.message = "no such folder: " + request.into;
      return outcome;
    }
    try {
      entry = FindEntry(request, model, page);
    } catch (const Refusal& refusal) {
      return refuse(refusal.why);
    }
    piePath = entry.piePath;
    pagePath = entry.pagePath;
  }
  const std::string shownFolder = into ? request.into + "/" : std::string();
  // Other models may use a page of another name: only the model's own page is ever replaced.
  bool pageIsFile = false;
  FileSize(pagePath.c_str(), pageIsFile);
  if (page != model && pageIsFile) return refuse("the page " + pagePath + " exists already and may be other models'");
  // The page, then the model, then the manifest: a model is never listed before its files are whole.
  std::string why;
  if (!MakeFolderOf(pagePath, why) || !ReplaceFile(pagePath, made.dds, why)) return refuse(pagePath + ": " + why);
  if (!ReplaceFile(piePath, made.pie, why)) {
    std::remove(pagePath.c_str());
    return refuse(piePath + ": " + why);
  }
  if (into && !ReplaceFile(entry.manifestPath, entry.manifest, why)) return refuse(entry.manifestPath + ": " + why);
  outcome.code = 0;
  outcome.summary = "wrote " + shownFolder + piePath + " (" + std::to_string(made.points) + " points, " +
                    std::to_string(made.triangles) + " polygons) and " + shownFolder + pagePath;
  if (into) outcome.summary += (entry.added ? ", listed it in " : ", already listed in ") + shownFolder + entry.manifestPath;
  return outcome;
}
