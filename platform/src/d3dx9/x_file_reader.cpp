// The .x file reader, text and binary (32- or 64-bit floats). Compressed files are refused.
// Read: Mesh (positions, polygons split into fans of triangles), MeshNormals, MeshTextureCoords,
//   MeshMaterialList with Material and TextureFilename inside it or named at the top and referred
//   to by name, Frame with FrameTransformMatrix (each frame's matrix moves the meshes inside it).
// Skipped: templates and every other object. Numbers where floats are expected may be written as
//   integers.
// Every count is checked against the bytes left before anything is allocated: each value of a
// text file takes at least one byte, each value of a binary list at least four.
#include "d3dx9/x_file_reader.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>

namespace kvrxfile {
namespace {

enum class Kind { End, Name, String, Number, Guid, OpenBrace, CloseBrace, Separator, Other, Error };

struct Token {
  Kind kind = Kind::End;
  std::string text;
  double number = 0;
};

// Tokens of a text or binary file; a binary list of integers or floats comes out one number at a time.
class Tokens {
 public:
  Tokens(const uint8_t* p, const uint8_t* end, bool binary, bool doubles)
      : p_(p), end_(end), binary_(binary), doubles_(doubles) {}

  Token Next() {
    if (peeked_) {
      peeked_ = false;
      return peek_;
    }
    return binary_ ? NextBinary() : NextText();
  }
  const Token& Peek() {
    if (!peeked_) {
      peek_ = Next();
      peeked_ = true;
    }
    return peek_;
  }
  // The fewest bytes `values` more numbers can take.
  bool Holds(uint64_t values) const {
    const uint64_t each = binary_ ? 4 : 1;
    return values <= listLeft_ + uint64_t(end_ - p_) / each;
  }
  std::string error;

 private:
  Token Fail(const char* why) {
    if (error.empty()) error = why;
    p_ = end_;
    Token t;
    t.kind = Kind::Error;
    return t;
  }
  static Token Of(Kind kind) {
    Token t;
    t.kind = kind;
    return t;
  }

  bool Read(void* out, size_t bytes) {
    if (size_t(end_ - p_) < bytes) return false;
    std::memcpy(out, p_, bytes);
    p_ += bytes;
    return true;
  }

  Token NextBinary() {
    if (listLeft_ > 0) {
      --listLeft_;
      Token t;
      t.kind = Kind::Number;
      if (listFloats_ && doubles_) {
        double d = 0;
        Read(&d, 8);
        t.number = d;
      } else if (listFloats_) {
        float f = 0;
        Read(&f, 4);
        t.number = f;
      } else {
        uint32_t u = 0;
        Read(&u, 4);
        t.number = u;
      }
      return t;
    }
    if (p_ == end_) return Of(Kind::End);
    uint16_t type;
    if (!Read(&type, 2)) return Fail("the file ends inside a token");
    uint32_t count = 0;
    switch (type) {
      case 1:  // name
      case 2: {  // string, followed by its separator token
        if (!Read(&count, 4) || count > kMaxText || count > size_t(end_ - p_)) return Fail("a name or string runs past its limit");
        Token t;
        t.kind = type == 1 ? Kind::Name : Kind::String;
        t.text.assign(reinterpret_cast<const char*>(p_), count);
        p_ += count;
        if (type == 2 && !Read(&type, 2)) return Fail("the file ends inside a token");
        return t;
      }
      case 3: {  // integer
        uint32_t u;
        if (!Read(&u, 4)) return Fail("the file ends inside a token");
        Token t;
        t.kind = Kind::Number;
        t.number = u;
        return t;
      }
      case 5:  // GUID
        if (size_t(end_ - p_) < 16) return Fail("the file ends inside a token");
        p_ += 16;
        return Of(Kind::Guid);
      case 6:  // integer list
      case 7: {  // float list
        if (!Read(&count, 4)) return Fail("the file ends inside a token");
        const uint64_t each = (type == 7 && doubles_) ? 8 : 4;
        if (uint64_t(count) * each > uint64_t(end_ - p_)) return Fail("a list is longer than the file");
        listLeft_ = count;
        listFloats_ = type == 7;
        return NextBinary();
      }
      case 10: return Of(Kind::OpenBrace);
      case 11: return Of(Kind::CloseBrace);
      case 19:
      case 20: return Of(Kind::Separator);
      case 31: {  // the template keyword
        Token t;
        t.kind = Kind::Name;
        t.text = "template";
        return t;
      }
      default:
        if ((type >= 12 && type <= 18) || (type >= 40 && type <= 53)) return Of(Kind::Other);
        return Fail("an unknown binary token");
    }
  }

  Token NextText() {
    for (;;) {
      while (p_ < end_ && (*p_ == ' ' || *p_ == '\t' || *p_ == '\r' || *p_ == '\n')) ++p_;
      if (p_ == end_) return Of(Kind::End);
      if (*p_ == '#' || (*p_ == '/' && end_ - p_ > 1 && p_[1] == '/')) {
        while (p_ < end_ && *p_ != '\n') ++p_;
        continue;
      }
      break;
    }
    const char c = char(*p_);
    if (c == '{') return ++p_, Of(Kind::OpenBrace);
    if (c == '}') return ++p_, Of(Kind::CloseBrace);
    if (c == ',' || c == ';') return ++p_, Of(Kind::Separator);
    if (c == '[' || c == ']' || c == '(' || c == ')') return ++p_, Of(Kind::Other);
    if (c == '<') {
      const uint8_t* close = static_cast<const uint8_t*>(std::memchr(p_, '>', size_t(end_ - p_)));
      if (!close || close - p_ > 64) return Fail("a GUID without its closing >");
      p_ = close + 1;
      return Of(Kind::Guid);
    }
    if (c == '"') {
      const uint8_t* close = static_cast<const uint8_t*>(std::memchr(p_ + 1, '"', size_t(end_ - p_ - 1)));
      if (!close || size_t(close - p_ - 1) > kMaxText) return Fail("a string without its closing quote");
      Token t;
      t.kind = Kind::String;
      t.text.assign(reinterpret_cast<const char*>(p_ + 1), size_t(close - p_ - 1));
      p_ = close + 1;
      return t;
    }
    if (c == '.' && end_ - p_ > 1 && p_[1] == '.') {  // the "[...]" of an open template
      while (p_ < end_ && *p_ == '.') ++p_;
      return Of(Kind::Other);
    }
    if ((c >= '0' && c <= '9') || c == '-' || c == '+' || c == '.') {
      char digits[64];
      size_t n = 0;
      while (p_ < end_ && n < sizeof(digits) - 1 &&
             ((*p_ >= '0' && *p_ <= '9') || *p_ == '-' || *p_ == '+' || *p_ == '.' || *p_ == 'e' || *p_ == 'E'))
        digits[n++] = char(*p_++);
      digits[n] = 0;
      char* stop = nullptr;
      Token t;
      t.kind = Kind::Number;
      t.number = std::strtod(digits, &stop);
      if (stop != digits + n || !std::isfinite(t.number)) return Fail("a number that cannot be read");
      return t;
    }
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_') {
      const uint8_t* start = p_;
      while (p_ < end_ && (std::isalnum(*p_) || *p_ == '_' || *p_ == '-' || *p_ == '.')) ++p_;
      if (size_t(p_ - start) > kMaxText) return Fail("a name longer than its limit");
      Token t;
      t.kind = Kind::Name;
      t.text.assign(reinterpret_cast<const char*>(start), size_t(p_ - start));
      return t;
    }
    return Fail("a character that starts no token");
  }

  const uint8_t* p_;
  const uint8_t* end_;
  bool binary_, doubles_;
  uint32_t listLeft_ = 0;
  bool listFloats_ = false;
  bool peeked_ = false;
  Token peek_;
};

using Matrix = float[16];

class Parser {
 public:
  Parser(Tokens& tokens, File& out) : t_(tokens), out_(out) {}

  bool Top() {
    for (;;) {
      Token tok = t_.Next();
      if (tok.kind == Kind::End) return true;
      if (tok.kind == Kind::Separator) continue;
      if (tok.kind != Kind::Name) return Fail("a top-level object without a name");
      if (!Object(tok.text, 0)) return false;
    }
  }

  bool Fail(const char* why) {
    if (error_.empty()) error_ = t_.error.empty() ? why : t_.error;
    return false;
  }
  std::string error_;

 private:
  // The next number, separators before it skipped.
  bool Number(double& v) {
    Token tok = t_.Next();
    while (tok.kind == Kind::Separator) tok = t_.Next();
    if (tok.kind != Kind::Number) return Fail("a number is missing");
    v = tok.number;
    return true;
  }
  bool Float(float& f) {
    double d;
    if (!Number(d)) return false;
    f = float(d);
    return true;
  }
  bool Floats(float* f, size_t n) {
    for (size_t i = 0; i < n; ++i)
      if (!Float(f[i])) return false;
    return true;
  }
  // A count of `each` values per item, no more than `most` items and no more than the bytes left hold.
  bool Count(uint32_t& n, uint64_t most, uint64_t each) {
    double d;
    if (!Number(d)) return false;
    if (d < 0 || d != std::floor(d) || d > most) return Fail("a count past its limit");
    n = uint32_t(d);
    if (!t_.Holds(uint64_t(n) * each)) return Fail("a count larger than the file can hold");
    return true;
  }
  bool Index(uint32_t& i, uint32_t below) {
    double d;
    if (!Number(d)) return false;
    if (d < 0 || d != std::floor(d) || d >= below) return Fail("an index past the end of its list");
    i = uint32_t(d);
    return true;
  }

  // After the name of an object's type: its own name, if any, the opening brace and its GUID, if any.
  bool Open(std::string* name) {
    Token tok = t_.Next();
    if (tok.kind == Kind::Name) {
      if (name) *name = tok.text;
      tok = t_.Next();
    }
    if (tok.kind != Kind::OpenBrace) return Fail("an object without its opening brace");
    if (t_.Peek().kind == Kind::Guid) t_.Next();
    return true;
  }

  // Up to and past the brace that closes the object whose opening brace was read.
  bool Skip() {
    int depth = 1;
    while (depth > 0) {
      const Token tok = t_.Next();
      if (tok.kind == Kind::End || tok.kind == Kind::Error) return Fail("an object without its closing brace");
      if (tok.kind == Kind::OpenBrace) ++depth;
      if (tok.kind == Kind::CloseBrace) --depth;
    }
    return true;
  }

  // What follows an object's fields: nested objects, references, then the closing brace. Objects
  // `child` does not take are skipped; references are handed to `reference` when there is one.
  template <typename Child, typename Reference>
  bool Children(int depth, Child child, Reference reference) {
    for (;;) {
      Token tok = t_.Next();
      if (tok.kind == Kind::CloseBrace) return true;
      if (tok.kind == Kind::Separator) continue;
      if (tok.kind == Kind::OpenBrace) {
        Token name = t_.Next();
        if (name.kind == Kind::Name && !reference(name.text)) return false;
        if (name.kind != Kind::CloseBrace && !Skip()) return false;
        continue;
      }
      if (tok.kind != Kind::Name) return Fail("something other than an object inside an object");
      if (depth + 1 > kMaxDepth) return Fail("objects nested too deeply");
      bool taken = false;
      if (!child(tok.text, taken)) return false;
      if (!taken && !(Open(nullptr) && Skip())) return false;
    }
  }

  bool Object(const std::string& type, int depth) {
    if (type == "template") return Open(nullptr) && Skip();
    if (type == "Frame") return Frame(depth);
    if (type == "Mesh") return MeshObject(depth);
    if (type == "Material") {
      std::string name;
      Material m;
      if (!Open(&name) || !MaterialBody(m, depth)) return false;
      if (!name.empty()) named_[name] = m;
      return true;
    }
    return Open(nullptr) && Skip();
  }

  bool Frame(int depth) {
    if (!Open(nullptr)) return false;
    const size_t firstMesh = out_.meshes.size();
    Matrix m = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    bool ok = Children(depth, [&](const std::string& type, bool& taken) {
      if (type == "FrameTransformMatrix") {
        taken = true;
        return Open(nullptr) && Floats(m, 16) && Children(depth + 1, Ignore, IgnoreName);
      }
      if (type == "Frame" || type == "Mesh" || type == "Material") {
        taken = true;
        return Object(type, depth + 1);
      }
      return true;
    }, IgnoreName);
    if (!ok) return false;
    // The frame's matrix places everything inside it, the frames within it having placed theirs.
    for (size_t i = firstMesh; i < out_.meshes.size(); ++i) Transform(out_.meshes[i], m);
    return true;
  }

  static bool Ignore(const std::string&, bool&) { return true; }
  static bool IgnoreName(const std::string&) { return true; }

  static void Transform(Mesh& mesh, const Matrix& m) {
    for (size_t i = 0; i + 2 < mesh.positions.size(); i += 3) {
      float* p = &mesh.positions[i];
      const float x = p[0], y = p[1], z = p[2];
      for (int c = 0; c < 3; ++c) p[c] = x * m[c] + y * m[4 + c] + z * m[8 + c] + m[12 + c];
    }
    // Normals turn with the frame but do not move with it.
    for (size_t i = 0; i + 2 < mesh.normals.size(); i += 3) {
      float* n = &mesh.normals[i];
      const float x = n[0], y = n[1], z = n[2];
      for (int c = 0; c < 3; ++c) n[c] = x * m[c] + y * m[4 + c] + z * m[8 + c];
    }
  }

  // Corners of the polygons of a Mesh or MeshNormals: each polygon's count, then its indices below `below`.
  bool Polygons(std::vector<uint32_t>& sizes, std::vector<uint32_t>& corners, uint32_t below) {
    uint32_t faces;
    if (!Count(faces, kMaxTriangles, 4)) return false;
    sizes.resize(faces);
    for (uint32_t f = 0; f < faces; ++f) {
      if (!Count(sizes[f], kMaxFaceCorners, 1)) return false;
      if (sizes[f] < 3) return Fail("a face with fewer than three corners");
      for (uint32_t k = 0; k < sizes[f]; ++k) {
        uint32_t i;
        if (!Index(i, below)) return false;
        corners.push_back(i);
      }
      triangles_ += sizes[f] - 2;
      if (triangles_ > kMaxTriangles) return Fail("more triangles than the limit");
    }
    return true;
  }

  // Splits each polygon into a fan of triangles around its first corner.
  static void Fan(const std::vector<uint32_t>& sizes, const std::vector<uint32_t>& corners, std::vector<uint32_t>& out) {
    size_t at = 0;
    for (uint32_t size : sizes) {
      for (uint32_t k = 1; k + 1 < size; ++k) {
        out.push_back(corners[at]);
        out.push_back(corners[at + k]);
        out.push_back(corners[at + k + 1]);
      }
      at += size;
    }
  }

  bool MeshObject(int depth) {
    if (!Open(nullptr)) return false;
    Mesh mesh;
    uint32_t vertices;
    if (!Count(vertices, kMaxVertices, 3)) return false;
    vertexTotal_ += vertices;
    if (vertexTotal_ > kMaxVertices) return Fail("more vertices than the limit");
    mesh.positions.resize(size_t(vertices) * 3);
    if (!Floats(mesh.positions.data(), mesh.positions.size())) return false;
    std::vector<uint32_t> sizes, corners;
    if (!Polygons(sizes, corners, vertices)) return false;
    Fan(sizes, corners, mesh.triangles);
    const size_t triangles = mesh.triangles.size() / 3;
    mesh.attributes.assign(triangles, 0);

    bool ok = Children(depth, [&](const std::string& type, bool& taken) {
      if (type == "MeshNormals") {
        taken = true;
        uint32_t normals;
        if (!Open(nullptr) || !Count(normals, kMaxVertices, 3)) return false;
        mesh.normals.resize(size_t(normals) * 3);
        if (!Floats(mesh.normals.data(), mesh.normals.size())) return false;
        std::vector<uint32_t> normalSizes, normalCorners;
        if (!Polygons(normalSizes, normalCorners, normals)) return false;
        if (normalSizes != sizes) return Fail("normals for other faces than the mesh's");
        mesh.normalIndex.clear();
        Fan(normalSizes, normalCorners, mesh.normalIndex);
        return Children(depth + 1, Ignore, IgnoreName);
      }
      if (type == "MeshTextureCoords") {
        taken = true;
        uint32_t count;
        if (!Open(nullptr) || !Count(count, kMaxVertices, 2)) return false;
        if (count != vertices) return Fail("texture coordinates for another number of vertices");
        mesh.uvs.resize(size_t(count) * 2);
        return Floats(mesh.uvs.data(), mesh.uvs.size()) && Children(depth + 1, Ignore, IgnoreName);
      }
      if (type == "MeshMaterialList") {
        taken = true;
        return MaterialList(mesh, sizes, depth + 1);
      }
      return true;
    }, IgnoreName);
    if (!ok) return false;
    out_.meshes.push_back(std::move(mesh));
    return true;
  }

  bool MaterialList(Mesh& mesh, const std::vector<uint32_t>& sizes, int depth) {
    uint32_t materials, indexes;
    if (!Open(nullptr) || !Count(materials, kMaxMaterials, 0) || !Count(indexes, kMaxTriangles, 1)) return false;
    if (materials == 0 || indexes != sizes.size()) return Fail("a material list that does not match the faces");
    materialTotal_ += materials;
    if (materialTotal_ > kMaxMaterials) return Fail("more materials than the limit");
    size_t triangle = 0;
    for (uint32_t size : sizes) {
      uint32_t material;
      if (!Index(material, materials)) return false;
      for (uint32_t k = 2; k < size; ++k) mesh.attributes[triangle++] = material;
    }
    bool ok = Children(depth, [&](const std::string& type, bool& taken) {
      if (type != "Material") return true;
      taken = true;
      Material m;
      if (!Open(nullptr) || !MaterialBody(m, depth + 1)) return false;
      mesh.materials.push_back(m);
      return true;
    }, [&](const std::string& name) {
      auto it = named_.find(name);
      if (it == named_.end()) return Fail("a material referred to by a name not defined before");
      mesh.materials.push_back(it->second);
      return true;
    });
    if (!ok) return false;
    if (mesh.materials.size() != materials) return Fail("a material list with another number of materials");
    return true;
  }

  bool MaterialBody(Material& m, int depth) {
    std::memset(&m.material, 0, sizeof(m.material));
    D3DMATERIAL9& d = m.material;
    float specular[3], emissive[3];
    if (!Float(d.Diffuse.r) || !Float(d.Diffuse.g) || !Float(d.Diffuse.b) || !Float(d.Diffuse.a) || !Float(d.Power) ||
        !Floats(specular, 3) || !Floats(emissive, 3))
      return false;
    d.Specular = {specular[0], specular[1], specular[2], 1};
    d.Emissive = {emissive[0], emissive[1], emissive[2], 1};
    d.Ambient = {0, 0, 0, 1};
    return Children(depth, [&](const std::string& type, bool& taken) {
      if (type != "TextureFilename") return true;
      taken = true;
      if (!Open(nullptr)) return false;
      Token tok = t_.Next();
      if (tok.kind != Kind::String) return Fail("a texture file name that is not a string");
      m.texture = tok.text;
      return Children(depth + 1, Ignore, IgnoreName);
    }, IgnoreName);
  }

  Tokens& t_;
  File& out_;
  std::map<std::string, Material> named_;
  uint64_t vertexTotal_ = 0, triangles_ = 0, materialTotal_ = 0;
};

}  // namespace

bool ParseXFile(const uint8_t* begin, const uint8_t* end, File& out, std::string& error) {
  out = File();
  if (end - begin < 16 || std::memcmp(begin, "xof ", 4) != 0) {
    error = "not a .x file (no \"xof \" header)";
    return false;
  }
  const std::string format(reinterpret_cast<const char*>(begin + 8), 4), floats(reinterpret_cast<const char*>(begin + 12), 4);
  if (format == "tzip" || format == "bzip") {
    error = "a compressed .x file (only text and binary ones are read)";
    return false;
  }
  if ((format != "txt " && format != "bin ") || (floats != "0032" && floats != "0064")) {
    error = "an unknown .x format \"" + format + floats + "\"";
    return false;
  }
  Tokens tokens(begin + 16, end, format == "bin ", floats == "0064");
  Parser parser(tokens, out);
  if (!parser.Top()) {
    error = parser.error_;
    out = File();
    return false;
  }
  if (out.meshes.empty()) {
    error = "no mesh in the file";
    return false;
  }
  return true;
}

}  // namespace kvrxfile
