// The TexturePageTable: each page loaded once through D3DX, bound for drawing, released at the end.
#include "model/texture_pages.h"

#include <d3dx9.h>

#include "base/device.h"
#include "base/error_log.h"

std::vector<TexturePage> TexturePageTable;
IDirect3DTexture9* NewTexture = nullptr;

namespace {

const char kPageDirectory[] = "duskfen\\texpages\\";

// Pure green, opaque (ARGB): texels of exactly this colour become transparent black.
const D3DCOLOR kPageColourKey = 0xFF00FF00;
const DWORD kPageFilter = D3DX_FILTER_TRIANGLE | D3DX_FILTER_MIRROR;

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameNameIgnoringCase(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size(); ++i) {
    if (b[i] == '\0' || LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return b[i] == '\0';
}

}  // namespace

int32_t LoadTexturePage(const char* pageName) {
  if (!pageName) pageName = "";
  for (size_t i = 0; i < TexturePageTable.size(); ++i) {
    if (SameNameIgnoringCase(TexturePageTable[i].PageName, pageName)) return static_cast<int32_t>(i);
  }

  TexturePage page;
  page.PageName = pageName;
  // Names and the path are whole strings: a long page name is loaded as written, never cut.
  std::string path = std::string(kPageDirectory) + pageName;

  // The result goes through a local so that a failed creation cannot leave NewTexture pointing at
  // something the table does not own; NewTexture always names the last page texture created.
  IDirect3DTexture9* created = nullptr;
  HRESULT hr = E_FAIL;
  if (g_pd3dDevice) {
    hr = D3DXCreateTextureFromFileExA(g_pd3dDevice, path.c_str(), D3DX_DEFAULT, D3DX_DEFAULT,
                                      D3DX_DEFAULT, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                      kPageFilter, kPageFilter, kPageColourKey, nullptr, nullptr,
                                      &created);
  }
  if (SUCCEEDED(hr) && created) {
    NewTexture = created;
    page.texture = created;
  } else {
    // The entry stays, without texture, so a later request for the same name neither retries
    // the file nor logs it again, and the numbers of later pages are unaffected.
    ErrorLog::Write(path.c_str());
    ErrorLog::Write("Failed to create texture NewTexture");
  }
  TexturePageTable.push_back(page);
  return static_cast<int32_t>(TexturePageTable.size() - 1);
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
}

void ClearTexturePageTable() {
  ReleaseAllPageTextures();
  std::vector<TexturePage>().swap(TexturePageTable);
}
