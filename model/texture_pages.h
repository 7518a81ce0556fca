// Texture pages: DDS images under "duskfen\texpages\", loaded once each and numbered in load order.
#pragma once
#include <d3d9.h>

#include <cstdint>
#include <string>
#include <vector>

struct TexturePage {
  std::string PageName;                  // as asked for, e.g. page-3.dds
  IDirect3DTexture9* texture = nullptr;  // none when its creation failed
};
extern std::vector<TexturePage> TexturePageTable;
extern IDirect3DTexture9* NewTexture;

int32_t LoadTexturePage(const char* pageName);
void SelectTexturePage(uint32_t page);
void ReleaseLastPageTexture();
// Releases every page texture once and empties NewTexture without a second release.
void ReleaseAllPageTextures();
// Releases every page texture and empties the table.
void ClearTexturePageTable();
