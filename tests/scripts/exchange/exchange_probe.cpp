// The exchange test's probe, reading what kvrview wrote with other code than kvrview's own:
//   exchange_probe facts FILE          assimp's reading of a glTF: "triangles T keys K", K the
//                                      most keys of any channel (0 without an animation)
//   exchange_probe bounds FILE         the box of every vertex placed by its nodes: "x0 y0 z0 x1 y1 z1"
//   exchange_probe compare A.png B.png the share of pixels (percent) within 8 of each other in
//                                      every channel, and the pictures' sizes must agree
//   exchange_probe pixel FILE.png X Y  "R G B" of one pixel
#include <assimp/Importer.hpp>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <stb_image.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

int Facts(const char* file) {
  Assimp::Importer importer;
  const aiScene* scene = importer.ReadFile(file, 0);
  if (!scene) {
    std::fprintf(stderr, "exchange_probe: %s: %s\n", file, importer.GetErrorString());
    return 1;
  }
  unsigned long long triangles = 0;
  for (unsigned m = 0; m < scene->mNumMeshes; ++m)
    for (unsigned f = 0; f < scene->mMeshes[m]->mNumFaces; ++f)
      triangles += scene->mMeshes[m]->mFaces[f].mNumIndices == 3;
  unsigned keys = 0;
  for (unsigned a = 0; a < scene->mNumAnimations; ++a)
    for (unsigned c = 0; c < scene->mAnimations[a]->mNumChannels; ++c) {
      const aiNodeAnim* channel = scene->mAnimations[a]->mChannels[c];
      keys = std::max({keys, channel->mNumPositionKeys, channel->mNumRotationKeys, channel->mNumScalingKeys});
    }
  std::printf("triangles %llu keys %u\n", triangles, keys);
  return 0;
}

int Bounds(const char* file) {
  Assimp::Importer importer;
  const aiScene* scene = importer.ReadFile(file, aiProcess_PreTransformVertices);
  if (!scene || scene->mNumMeshes == 0) return 1;
  aiVector3D low(1e30f, 1e30f, 1e30f), high(-1e30f, -1e30f, -1e30f);
  for (unsigned m = 0; m < scene->mNumMeshes; ++m)
    for (unsigned v = 0; v < scene->mMeshes[m]->mNumVertices; ++v) {
      const aiVector3D& p = scene->mMeshes[m]->mVertices[v];
      low = aiVector3D(std::min(low.x, p.x), std::min(low.y, p.y), std::min(low.z, p.z));
      high = aiVector3D(std::max(high.x, p.x), std::max(high.y, p.y), std::max(high.z, p.z));
    }
  std::printf("%.4f %.4f %.4f %.4f %.4f %.4f\n", low.x, low.y, low.z, high.x, high.y, high.z);
  return 0;
}

unsigned char* Load(const char* file, int& w, int& h) {
  int channels = 0;
  unsigned char* p = stbi_load(file, &w, &h, &channels, 3);
  if (!p) std::fprintf(stderr, "exchange_probe: cannot read %s\n", file);
  return p;
}

int Compare(const char* a, const char* b) {
  int wa = 0, ha = 0, wb = 0, hb = 0;
  unsigned char* pa = Load(a, wa, ha);
  unsigned char* pb = Load(b, wb, hb);
  if (!pa || !pb || wa != wb || ha != hb) return 1;
  long long close = 0;
  const long long n = static_cast<long long>(wa) * ha;
  for (long long i = 0; i < n; ++i) {
    bool near = true;
    for (int c = 0; c < 3; ++c) near = near && std::abs(pa[3 * i + c] - pb[3 * i + c]) <= 8;
    close += near;
  }
  std::printf("%.2f\n", 100.0 * close / n);
  stbi_image_free(pa);
  stbi_image_free(pb);
  return 0;
}

int Pixel(const char* file, int x, int y) {
  int w = 0, h = 0;
  unsigned char* p = Load(file, w, h);
  if (!p || x < 0 || y < 0 || x >= w || y >= h) return 1;
  const unsigned char* q = p + 3 * (static_cast<long long>(y) * w + x);
  std::printf("%d %d %d\n", q[0], q[1], q[2]);
  stbi_image_free(p);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && !std::strcmp(argv[1], "facts")) return Facts(argv[2]);
  if (argc == 3 && !std::strcmp(argv[1], "bounds")) return Bounds(argv[2]);
  if (argc == 4 && !std::strcmp(argv[1], "compare")) return Compare(argv[2], argv[3]);
  if (argc == 5 && !std::strcmp(argv[1], "pixel")) return Pixel(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
  std::fputs("usage: exchange_probe facts FILE | bounds FILE | compare A.png B.png | pixel FILE.png X Y\n", stderr);
  return 2;
}
