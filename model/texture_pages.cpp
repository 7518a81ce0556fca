// The TexturePageTable: each page loaded once through D3DX, bound for drawing, released at the end.
#include "model/texture_pages.h"

#include <d3dx9.h>
#include <windows.h>

#include <unordered_map>

#include "base/ceilings.h"
#include "base/data_file.h"
#include "base/load_bounds.h"
#include "base/data_path.h"
#include "base/device.h"
#include "base/error_log.h"
#include "base/problems.h"

std::vector<TexturePage> TexturePageTable;
IDirect3DTexture9* NewTexture = nullptr;

namespace {

const char kPageDirectory[] = "duskfen\\texpages\\";

// Pure green, opaque (ARGB): texels of exactly this colour become transparent black.
const D3DCOLOR kPageColourKey = 0xFF00FF00;
const DWORD kPageFilter = D3DX_FILTER_TRIANGLE | D3DX_FILTER_MIRROR;

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// One key for every way of writing the same page: letter case, '/' or '\', doubled separators
// and "." components make no difference, so a page is loaded once however its models spell it.
std::string PageKey(const std::string& name) {
  std::string key;
  key.reserve(name.size());
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find_first_of("/\\", start);
    if (end == std::string::npos) end = name.size();
    const std::string part = name.substr(start, end - start);
    if (!part.empty() && part != ".") {
      if (!key.empty()) key += '\\';
      for (char c : part) key += LowerAscii(c);
    }
    start = end + 1;
  }
  return key;
}

// Position in TexturePageTable of each page key.
std::unordered_map<std::string, int32_t> pageIndex;
// Decoded bytes of every page texture held, at four bytes a texel over all levels.
uint64_t textureBytes = 0;
// The same for the pages kept outside the table (the cursor), which outlive the data set's reloads.
uint64_t looseBytes = 0;

uint32_t RoundUpToPowerOfTwo(uint32_t n) {
  uint32_t p = 1;
  while (p < n && p < (1u << 31)) p <<= 1;
  return p;
}

// What a page of this size becomes: rounded up to powers of two, with every mip level.
uint64_t DecodedBytes(uint32_t width, uint32_t height) {
  uint64_t bytes = 0;
  for (uint64_t w = width, h = height;; w = w > 1 ? w / 2 : 1, h = h > 1 ? h / 2 : 1) {
    bytes += w * h * 4;
    if (w == 1 && h == 1) break;
  }
  return bytes;
}

uint64_t TextureBytes(IDirect3DTexture9* texture) {
  uint64_t bytes = 0;
  for (DWORD level = 0; level < texture->GetLevelCount(); ++level) {
    D3DSURFACE_DESC desc = {};
    if (SUCCEEDED(texture->GetLevelDesc(level, &desc))) bytes += uint64_t{desc.Width} * desc.Height * 4;
  }
  return bytes;
}

// False, with a log line naming the ceiling and the file, when the page must not be decoded. A
// file whose header cannot be read is left to the loader, which fails on it as it always did.
bool PageFitsCeilings(const std::string& path, const std::vector<char>& bytes, uint64_t replacing) {
  D3DXIMAGE_INFO info = {};
  if (FAILED(D3DXGetImageInfoFromFileInMemory(bytes.data(), static_cast<UINT>(bytes.size()), &info))) return true;
  const uint32_t width = RoundUpToPowerOfTwo(info.Width), height = RoundUpToPowerOfTwo(info.Height);
  if (width > kMaxPageSide || height > kMaxPageSide) {
    ErrorLog::Write("Texture page larger than 4096 x 4096 texels once rounded, skipped: " + path);
    ReportProblem(path, "the texture page is larger than 4096 x 4096 texels once rounded");
    return false;
  }
  const uint64_t pages = replacing < textureBytes ? textureBytes - replacing : 0;
  const uint64_t held = pages + looseBytes;
  if (!FitsUnderCeiling(held, DecodedBytes(width, height), kMaxTextureBytes)) {
    ErrorLog::Write("Texture pages would pass their ceiling of " + CeilingText(kMaxTextureBytes) + ", skipped: " + path);
    ReportProblem(path, "texture pages would pass their ceiling of " + CeilingText(kMaxTextureBytes));
    return false;
  }
  return true;
}

// Creates the page's texture from its file, or logs why not and gives null. The ceilings count
// `replacing` bytes as already given back: a reload swaps that many out. A file this load has read
// before gives null with alreadyRead set and its identity in file, and no line.
IDirect3DTexture9* CreatePageTexture(const std::string& path, uint64_t replacing, FileIdentity* file = nullptr,
                                     bool* alreadyRead = nullptr, D3DCOLOR colourKey = kPageColourKey,
                                     bool sayWhyNot = true) {
  if (!DataPathAllowed(path)) return nullptr;
  IDirect3DTexture9* created = nullptr;
  HRESULT hr = E_FAIL;
  if (g_pd3dDevice) {
    std::vector<char> bytes;
    switch (ReadDataSetFile(path.c_str(), bytes, file, kMaxPageFileBytes)) {
      case DataFileRead::kRead: break;
      case DataFileRead::kCannotOpen: bytes.clear(); break;
      case DataFileRead::kRefused: return nullptr;
      case DataFileRead::kAlreadyRead:
        if (alreadyRead) *alreadyRead = true;
        return nullptr;
    }
    if (!bytes.empty() && !PageFitsCeilings(path, bytes, replacing)) return nullptr;
    if (!bytes.empty())
      hr = D3DXCreateTextureFromFileInMemoryEx(g_pd3dDevice, bytes.data(), static_cast<UINT>(bytes.size()), D3DX_DEFAULT,
                                               D3DX_DEFAULT, D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                               kPageFilter, kPageFilter, colourKey, nullptr, nullptr, &created);
  }
  if ((FAILED(hr) || !created) && sayWhyNot) {
    ErrorLog::Write(path);
    ErrorLog::Write("Failed to create texture NewTexture");
    ReportProblem(path, GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES
                            ? "the texture page is missing"
                            : "the texture page cannot be loaded");
  }
  return SUCCEEDED(hr) ? created : nullptr;
}

// The page read from each file in this load: another name for the same file is the same page.
std::unordered_map<FileIdentity, int32_t, FileIdentityHash> pageOfFile;
uint32_t pageOfFileLoad = 0;

}  // namespace

int32_t LoadTexturePage(const std::string& pageName) {
  const std::string key = PageKey(pageName);
  const auto known = pageIndex.find(key);
  if (known != pageIndex.end()) return known->second;

  TexturePage page;
  page.PageName = pageName;
  // Names and the path are whole strings: a long page name is loaded as written, never cut.
  const std::string path = std::string(kPageDirectory) + pageName;

  // The result goes through a local so that a failed creation cannot leave NewTexture pointing at
  // something the table does not own; NewTexture always names the last page texture created.
  // The entry stays in every case, without texture when it has none, so a later request for the
  // same name neither retries the file nor logs it again, and the numbers of later pages are
  // unaffected.
  if (pageOfFileLoad != LoadNumber()) {
    pageOfFile.clear();
    pageOfFileLoad = LoadNumber();
  }
  FileIdentity file;
  bool alreadyRead = false;
  IDirect3DTexture9* created = CreatePageTexture(path, 0, &file, &alreadyRead);
  if (alreadyRead) {
    const auto same = pageOfFile.find(file);
    if (same != pageOfFile.end()) {
      pageIndex.emplace(key, same->second);
      return same->second;
    }
    ErrorLog::Write("Already read in this load, not read again: " + path);
    ReportProblem(path, "already read in this load (not read again)");
  }
  if (created) {
    NewTexture = created;
    page.texture = created;
    textureBytes += TextureBytes(created);
  }
  TexturePageTable.push_back(page);
  const int32_t number = static_cast<int32_t>(TexturePageTable.size() - 1);
  pageIndex.emplace(key, number);
  if (created) pageOfFile.emplace(file, number);
  return number;
}

std::string TexturePagePath(int32_t page) {
  if (page < 0 || static_cast<size_t>(page) >= TexturePageTable.size()) return std::string();
  return std::string(kPageDirectory) + TexturePageTable[page].PageName;
}

bool ReloadTexturePage(int32_t page) {
  if (page < 0 || static_cast<size_t>(page) >= TexturePageTable.size()) return false;
  TexturePage& entry = TexturePageTable[page];
  const uint64_t oldBytes = entry.texture ? TextureBytes(entry.texture) : 0;
  IDirect3DTexture9* created = CreatePageTexture(TexturePagePath(page), oldBytes);
  if (!created) return false;
  if (entry.texture) {
    if (NewTexture == entry.texture) NewTexture = created;
    entry.texture->Release();
    textureBytes = oldBytes < textureBytes ? textureBytes - oldBytes : 0;
  }
  entry.texture = created;
  textureBytes += TextureBytes(created);
  return true;
}

void SelectTexturePage(uint32_t page) {
  // A number beyond the table leaves whatever texture is bound in place.
  if (page >= TexturePageTable.size() || !g_pd3dDevice) return;
  g_pd3dDevice->SetTexture(0, TexturePageTable[page].texture);
}

void ReleaseLastPageTexture() {
  if (!NewTexture) return;
  // The table entry shares this texture; forget it there too so that a later release of the
  // whole table does not release it a second time.
  for (TexturePage& page : TexturePageTable) {
    if (page.texture == NewTexture) page.texture = nullptr;
  }
  const uint64_t bytes = TextureBytes(NewTexture);
  textureBytes = bytes < textureBytes ? textureBytes - bytes : 0;
  NewTexture->Release();
  NewTexture = nullptr;
}

void ReleaseAllPageTextures() {
  for (TexturePage& page : TexturePageTable) {
    if (page.texture) {
      page.texture->Release();
      page.texture = nullptr;
    }
  }
  // NewTexture only ever aliases a table entry, released just above.
  NewTexture = nullptr;
  textureBytes = 0;
}

void ClearTexturePageTable() {
  ReleaseAllPageTextures();
  std::vector<TexturePage>().swap(TexturePageTable);
  std::unordered_map<std::string, int32_t>().swap(pageIndex);
  pageOfFile.clear();
  textureBytes = 0;
}

uint64_t TexturePageBytes() { return textureBytes; }

IDirect3DTexture9* LoadLoosePage(const std::string& path) {
  IDirect3DTexture9* created = CreatePageTexture(path, 0, nullptr, nullptr, 0, false);
  if (created) looseBytes += TextureBytes(created);
  return created;
}

void ReleaseLoosePage(IDirect3DTexture9*& texture) {
  if (!texture) return;
  const uint64_t bytes = TextureBytes(texture);
  looseBytes = bytes < looseBytes ? looseBytes - bytes : 0;
  texture->Release();
  texture = nullptr;
}
