// The .x reader on bytes in memory: what it makes of text and binary files, and the hostile files
// it must refuse with a reason rather than crash, hang or allocate what the file only claims.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "d3dx9/x_file_reader.h"

namespace {

using kvrxfile::File;

bool Parse(const std::string& bytes, File& out, std::string& error) {
  const uint8_t* p = reinterpret_cast<const uint8_t*>(bytes.data());
  return kvrxfile::ParseXFile(p, p + bytes.size(), out, error);
}

// Binary tokens, as the format writes them: a 16-bit type, then what the type carries.
struct Binary {
  std::string bytes = "xof 0303bin 0032";
  Binary& Token(uint16_t t) {
    bytes.append(reinterpret_cast<const char*>(&t), 2);
    return *this;
  }
  Binary& U32(uint32_t v) {
    bytes.append(reinterpret_cast<const char*>(&v), 4);
    return *this;
  }
  Binary& Name(const std::string& s) {
    Token(1).U32(uint32_t(s.size()));
    bytes += s;
    return *this;
  }
  Binary& Ints(std::initializer_list<uint32_t> v) {
    Token(6).U32(uint32_t(v.size()));
    for (uint32_t i : v) U32(i);
    return *this;
  }
  Binary& Floats(std::initializer_list<float> v) {
    Token(7).U32(uint32_t(v.size()));
    for (float f : v) bytes.append(reinterpret_cast<const char*>(&f), 4);
    return *this;
  }
  Binary& Open() { return Token(10); }
  Binary& Close() { return Token(11); }
};

const char kQuad[] =
    "xof 0303txt 0032\n"
    "Mesh quad { 4; -1.0;-1.0;0.0;, 1.0;-1.0;0.0;, 1.0;1.0;0.0;, -1.0;1.0;0.0;;\n"
    " 1; 4;0,1,2,3;;\n"
    " MeshTextureCoords { 4; 0.0;1.0;, 1.0;1.0;, 1.0;0.0;, 0.0;0.0;; }\n"
    "}\n";

TEST(XFileReader, TextAndBinaryQuadsGiveTheSameTwoTriangles) {
  Binary bin;
  bin.Name("Mesh").Open().Ints({4}).Floats({-1, -1, 0, 1, -1, 0, 1, 1, 0, -1, 1, 0}).Ints({1, 4, 0, 1, 2, 3});
  bin.Name("MeshTextureCoords").Open().Ints({4}).Floats({0, 1, 1, 1, 1, 0, 0, 0}).Close().Close();
  for (const std::string& bytes : {std::string(kQuad), bin.bytes}) {
    File file;
    std::string error;
    ASSERT_TRUE(Parse(bytes, file, error)) << error;
    ASSERT_EQ(file.meshes.size(), 1u);
    const kvrxfile::Mesh& m = file.meshes[0];
    EXPECT_EQ(m.triangles, (std::vector<uint32_t>{0, 1, 2, 0, 2, 3}));
    EXPECT_EQ(m.positions[3], 1.0f);
    EXPECT_EQ(m.uvs, (std::vector<float>{0, 1, 1, 1, 1, 0, 0, 0}));
    EXPECT_TRUE(m.materials.empty());
  }
}

TEST(XFileReader, FramesPlaceMeshesInnerMatrixFirstAndNormalsOnlyTurn) {
  const std::string text =
      "xof 0303txt 0032\n"
      "template Frame { <3D82AB46-62DA-11cf-AB39-0020AF71E433> [...] }\n"
      "Frame Root { FrameTransformMatrix { 2,0,0,0, 0,1,0,0, 0,0,1,0, 0,0,3,1;; }\n"
      " Frame Child { FrameTransformMatrix { 0,1,0,0, -1,0,0,0, 0,0,1,0, 1,0,0,1;; }\n"
      "  Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;;\n"
      "   MeshNormals { 1; 1;0;0;; 1; 3;0,0,0;; } } } }\n";
  File file;
  std::string error;
  ASSERT_TRUE(Parse(text, file, error)) << error;
  ASSERT_EQ(file.meshes.size(), 1u);
  // (1,0,0): turned to (0,1,0) and moved by the child to (1,1,0), then doubled in x and raised by the root.
  const std::vector<float>& p = file.meshes[0].positions;
  EXPECT_EQ(std::vector<float>(p.begin() + 3, p.begin() + 6), (std::vector<float>{2, 1, 3}));
  EXPECT_EQ(file.meshes[0].normals, (std::vector<float>{0, 1, 0}));
}

TEST(XFileReader, MaterialsComeInlineOrByNameWithTheirTextures) {
  const std::string text =
      "xof 0303txt 0032\n"
      "Material Red { 1.0;0.0;0.0;1.0;; 12.0; 0.5;0.5;0.5;; 0.1;0.0;0.0;; }\n"
      "Mesh { 4; 0;0;0;, 1;0;0;, 1;1;0;, 0;1;0;; 2; 3;0,1,2;, 3;0,2,3;;\n"
      " MeshMaterialList { 2; 2; 1, 0;; {Red}\n"
      "  Material { 0;0;1;0.5;; 5; 1;1;1;; 0;0;0;; TextureFilename { \"tiles.bmp\"; } } } }\n";
  File file;
  std::string error;
  ASSERT_TRUE(Parse(text, file, error)) << error;
  const kvrxfile::Mesh& m = file.meshes[0];
  ASSERT_EQ(m.materials.size(), 2u);
  EXPECT_EQ(m.materials[0].material.Diffuse.r, 1.0f);
  EXPECT_EQ(m.materials[0].material.Power, 12.0f);
  EXPECT_EQ(m.materials[0].texture, "");
  EXPECT_EQ(m.materials[1].material.Diffuse.a, 0.5f);
  EXPECT_EQ(m.materials[1].texture, "tiles.bmp");
  EXPECT_EQ(m.attributes, (std::vector<uint32_t>{1, 0}));
}

TEST(XFileReader, RefusesHostileFilesWithAReason) {
  const std::string head = "xof 0303txt 0032\n";
  std::string deep = head;
  for (int i = 0; i < 40; ++i) deep += "Frame {";
  std::string longName = head + "Mesh " + std::string(5000, 'a') + " { }";
  Binary hugeList;
  hugeList.Name("Mesh").Open().Token(7).U32(0x40000000);
  Binary hugeName;
  hugeName.Token(1).U32(0xFFFFFFF0);
  Binary badToken;
  badToken.Token(999);
  Binary cutString;
  cutString.Name("Mesh").Open().Token(2).U32(100);
  const struct {
    const char* name;
    std::string bytes;
    const char* reason;
  } kCases[] = {
      {"empty", "", "not a .x file"},
      {"no header", "Mesh { }", "not a .x file"},
      {"compressed", "xof 0303tzip0032 \x01\x02", "compressed"},
      {"unknown format", "xof 0303xml 0032", "unknown .x format"},
      {"no mesh", head + "Header { 1; 0; 1; }", "no mesh"},
      {"vertex count past the file", head + "Mesh { 1000000; 0;0;0;; }", "larger than the file"},
      {"vertex count past the limit", head + "Mesh { 99999999; }", "past its limit"},
      {"negative count", head + "Mesh { -3; }", "past its limit"},
      {"fractional count", head + "Mesh { 2.5; }", "past its limit"},
      {"index past the vertices", head + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,3;; }", "index past"},
      {"face of two corners", head + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 2;0,1;; }", "fewer than three"},
      {"too many corners", head + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 5000;0,1,2;; }", "past its limit"},
      {"cut short", head + "Mesh { 3; 0;0;0;, 1;0;0;", "number is missing"},
      {"unclosed object", head + "Header { 1; 0; 1;", "closing brace"},
      {"unclosed string", head + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; Material { \"abc", "closing quote"},
      {"unclosed GUID", head + "template T { <1234", "closing >"},
      {"not a number", head + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0e+e;; }", "cannot be read"},
      {"stray character", head + "Mesh { 3; @ 0;0;0;, 1;0;0;, 0;1;0;; }", "starts no token"},
      {"objects nested too deeply", deep, "nested too deeply"},
      {"name past its limit", longName, "longer than its limit"},
      {"normals for other faces",
       head + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; MeshNormals { 1; 0;0;1;; 2; 3;0,0,0;, 3;0,0,0;; } }",
       "other faces"},
      {"coordinates for other vertices",
       head + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; MeshTextureCoords { 2; 0;0;, 1;1;; } }",
       "another number of vertices"},
      {"material index past the list",
       head + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; MeshMaterialList { 1; 1; 4;; } }", "index past"},
      {"material list short of its materials",
       head + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; MeshMaterialList { 2; 1; 1;; } }",
       "another number of materials"},
      {"material named nowhere",
       head + "Mesh { 3; 0;0;0;, 1;0;0;, 0;1;0;; 1; 3;0,1,2;; MeshMaterialList { 1; 1; 0;; {Nowhere} } }",
       "not defined before"},
      {"binary list longer than the file", hugeList.bytes, "longer than the file"},
      {"binary name longer than the file", hugeName.bytes, "past its limit"},
      {"unknown binary token", badToken.bytes, "unknown binary token"},
      {"binary string cut short", cutString.bytes, "past its limit"},
  };
  for (const auto& c : kCases) {
    File file;
    std::string error;
    EXPECT_FALSE(Parse(c.bytes, file, error)) << c.name;
    EXPECT_NE(error.find(c.reason), std::string::npos) << c.name << ": " << error;
    EXPECT_TRUE(file.meshes.empty()) << c.name;
  }
}

}  // namespace
