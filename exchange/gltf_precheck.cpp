// The glTF precheck: the JSON parsed by nlohmann's reader (without exceptions), every accessor
// and buffer view measured against what it points into, all sizes in 64 bits.
#include "exchange/gltf_precheck.h"

#include <nlohmann/json.hpp>

#include <cstring>
#include <vector>

#include "base/ceilings.h"

namespace {

using Json = nlohmann::json;

uint32_t Little32(const uint8_t* p) { return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24; }

// A non-negative integer member, or `fallback` when it is absent; false when it is there but not one.
bool Whole(const Json& object, const char* key, uint64_t fallback, uint64_t& out) {
  const auto found = object.find(key);
  if (found == object.end()) {
    out = fallback;
    return true;
  }
  if (!found->is_number_unsigned() && !(found->is_number_integer() && found->get<int64_t>() >= 0)) return false;
  out = found->get<uint64_t>();
  return true;
}

uint64_t ComponentBytes(uint64_t type) {
  switch (type) {
    case 5120: case 5121: return 1;
    case 5122: case 5123: return 2;
    case 5125: case 5126: return 4;
    default: return 0;
  }
}

uint64_t ElementCount(const std::string& type) {
  if (type == "SCALAR") return 1;
  if (type == "VEC2") return 2;
  if (type == "VEC3") return 3;
  if (type == "VEC4" || type == "MAT2") return 4;
  if (type == "MAT3") return 9;
  if (type == "MAT4") return 16;
  return 0;
}

bool Check(const Json& document, std::string& why) {
  if (!document.is_object()) return why = "its JSON is not an object", false;
  const Json none = Json::array();
  const Json& buffers = document.contains("buffers") ? document["buffers"] : none;
  const Json& views = document.contains("bufferViews") ? document["bufferViews"] : none;
  const Json& accessors = document.contains("accessors") ? document["accessors"] : none;
  if (!buffers.is_array() || !views.is_array() || !accessors.is_array())
    return why = "its buffers, buffer views or accessors are not lists", false;
  std::vector<uint64_t> bufferBytes, viewBytes;
  for (const Json& buffer : buffers) {
    uint64_t length = 0;
    if (!buffer.is_object() || !Whole(buffer, "byteLength", 0, length) || length > kMaxImportFileBytes)
      return why = "buffer " + std::to_string(bufferBytes.size()) + " is larger than " +
                   std::to_string(kMaxImportFileBytes >> 20) + " MiB or has no length", false;
    bufferBytes.push_back(length);
  }
  for (const Json& view : views) {
    const std::string name = "buffer view " + std::to_string(viewBytes.size());
    uint64_t buffer = 0, offset = 0, length = 0, stride = 0;
    if (!view.is_object() || !Whole(view, "buffer", UINT64_MAX, buffer) || !Whole(view, "byteOffset", 0, offset) ||
        !Whole(view, "byteLength", UINT64_MAX, length) || !Whole(view, "byteStride", 0, stride) ||
        buffer >= bufferBytes.size() || length > bufferBytes[buffer] || offset > bufferBytes[buffer] - length ||
        stride > 252)
      return why = name + " does not lie inside its buffer", false;
    viewBytes.push_back(length);
    viewBytes.push_back(stride);
  }
  for (size_t a = 0; a < accessors.size(); ++a) {
    const Json& accessor = accessors[a];
    const std::string name = "accessor " + std::to_string(a);
    uint64_t view = 0, offset = 0, count = 0, component = 0;
    if (!accessor.is_object() || !Whole(accessor, "count", UINT64_MAX, count) ||
        !Whole(accessor, "componentType", 0, component) || !Whole(accessor, "byteOffset", 0, offset) ||
        !accessor.contains("type") || !accessor["type"].is_string())
      return why = name + " lacks its count, component type or type", false;
    const uint64_t elementBytes = ComponentBytes(component) * ElementCount(accessor["type"].get<std::string>());
    if (elementBytes == 0) return why = name + " has an unknown type or component type", false;
    if (count > kMaxGltfAccessorCount)
      return why = name + " holds " + std::to_string(count) + " elements, more than the " +
                   std::to_string(kMaxGltfAccessorCount) + " read", false;
    if (accessor.contains("sparse")) return why = name + " is sparse, which is not read", false;
    if (!accessor.contains("bufferView")) continue;  // all zeros: nothing is read
    if (!Whole(accessor, "bufferView", UINT64_MAX, view) || view >= viewBytes.size() / 2)
      return why = name + " names no buffer view", false;
    const uint64_t length = viewBytes[2 * view], stride = viewBytes[2 * view + 1];
    const uint64_t step = stride ? stride : elementBytes;
    const uint64_t needed = count == 0 ? 0 : (count - 1) * step + elementBytes;
    if (offset > length || needed > length - offset)
      return why = name + " reaches past its buffer view", false;
  }
  return true;
}

}  // namespace

bool GltfStructureFits(const uint8_t* data, size_t size, std::string& why) {
  const uint8_t* begin = data;
  const uint8_t* end = data + size;
  if (size >= 4 && std::memcmp(data, "glTF", 4) == 0) {
    if (size < 20) return why = "its binary header is cut short", false;
    const uint64_t total = Little32(data + 8), jsonLength = Little32(data + 12);
    if (Little32(data + 4) != 2 || total > size || Little32(data + 16) != 0x4E4F534A || jsonLength > size - 20)
      return why = "its binary header does not match its length", false;
    begin = data + 20;
    end = begin + jsonLength;
  } else {
    while (begin < end && (*begin == ' ' || *begin == '\t' || *begin == '\r' || *begin == '\n')) ++begin;
    if (begin == end || *begin != '{') return true;  // no glTF: another format's reader decides
  }
  const Json document = Json::parse(begin, end, nullptr, false);
  if (document.is_discarded()) return why = "its JSON does not parse", false;
  return Check(document, why);
}
