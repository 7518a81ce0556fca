// Writes a model as another tool would, for the import test: a 2 m square standing upright and
// facing +z (glTF's front, towards a viewer on +z), textured with a 64 x 64 page of four
// quarters: red top left, blue top right, yellow bottom left, white bottom right, with a
// transparent hole in the middle. Usage: make_gltf_model FILE.glb
#include <tiny_gltf.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

int View(tinygltf::Model& m, const void* bytes, size_t length, int target) {
  std::vector<unsigned char>& data = m.buffers[0].data;
  tinygltf::BufferView view;
  view.buffer = 0;
  view.byteOffset = data.size();
  view.byteLength = length;
  view.target = target;
  data.insert(data.end(), static_cast<const unsigned char*>(bytes), static_cast<const unsigned char*>(bytes) + length);
  m.bufferViews.push_back(view);
  return static_cast<int>(m.bufferViews.size() - 1);
}

int Accessor(tinygltf::Model& m, int view, int component, int type, size_t count) {
  tinygltf::Accessor a;
  a.bufferView = view;
  a.componentType = component;
  a.type = type;
  a.count = count;
  m.accessors.push_back(a);
  return static_cast<int>(m.accessors.size() - 1);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: make_gltf_model FILE.glb\n", stderr);
    return 2;
  }
  tinygltf::Model m;
  m.asset.version = "2.0";
  m.asset.generator = "make_gltf_model";
  m.buffers.emplace_back();
  // Counter-clockwise seen from +z; texture coordinates from the top left.
  const float positions[] = {-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, 1, 0};
  const float uvs[] = {0, 1, 1, 1, 1, 0, 0, 0};
  const uint16_t indices[] = {0, 1, 2, 0, 2, 3};
  const int p = Accessor(m, View(m, positions, sizeof(positions), TINYGLTF_TARGET_ARRAY_BUFFER),
                         TINYGLTF_COMPONENT_TYPE_FLOAT, TINYGLTF_TYPE_VEC3, 4);
  m.accessors[p].minValues = {-1, -1, 0};
  m.accessors[p].maxValues = {1, 1, 0};
  const int t = Accessor(m, View(m, uvs, sizeof(uvs), TINYGLTF_TARGET_ARRAY_BUFFER), TINYGLTF_COMPONENT_TYPE_FLOAT,
                         TINYGLTF_TYPE_VEC2, 4);
  const int i = Accessor(m, View(m, indices, sizeof(indices), TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER),
                         TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT, TINYGLTF_TYPE_SCALAR, 6);

  tinygltf::Image image;
  image.width = image.height = 64;
  image.component = 4;
  image.bits = 8;
  image.pixel_type = TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE;
  image.mimeType = "image/png";
  image.image.resize(64 * 64 * 4);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      static const unsigned char kQuarters[4][4] = {
          {230, 30, 30, 255}, {30, 30, 230, 255}, {230, 230, 30, 255}, {250, 250, 250, 255}};
      const bool hole = x >= 28 && x < 36 && y >= 28 && y < 36;
      const unsigned char* c = kQuarters[(y >= 32 ? 2 : 0) + (x >= 32 ? 1 : 0)];
      unsigned char* out = &image.image[(y * 64 + x) * 4];
      std::memcpy(out, c, 4);
      if (hole) std::memset(out, 0, 4);
    }
  m.images.push_back(image);
  m.textures.emplace_back();
  m.textures[0].source = 0;
  tinygltf::Material material;
  material.name = "quarters";
  material.pbrMetallicRoughness.baseColorTexture.index = 0;
  material.alphaMode = "MASK";
  m.materials.push_back(material);

  tinygltf::Primitive primitive;
  primitive.attributes["POSITION"] = p;
  primitive.attributes["TEXCOORD_0"] = t;
  primitive.indices = i;
  primitive.material = 0;
  primitive.mode = TINYGLTF_MODE_TRIANGLES;
  m.meshes.emplace_back();
  m.meshes[0].primitives.push_back(primitive);
  tinygltf::Node node;
  node.name = "square";
  node.mesh = 0;
  m.nodes.push_back(node);
  m.scenes.emplace_back();
  m.scenes[0].nodes.push_back(0);
  m.defaultScene = 0;
  tinygltf::TinyGLTF writer;
  if (!writer.WriteGltfSceneToFile(&m, argv[1], true, true, false, true)) {
    std::fprintf(stderr, "make_gltf_model: could not write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
