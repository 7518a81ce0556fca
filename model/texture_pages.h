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

// The page's number, loading it on the first request for its name (any spelling of the same page
// counts as one). A page that cannot be loaded, whose path leaves the data set or that would pass
// a ceiling keeps its entry without a texture.
int32_t LoadTexturePage(const std::string& pageName);
// The path a page is read from, relative to the data set's folder; empty outside the table.
std::string TexturePagePath(int32_t page);
// Reads the page's file again and swaps the new texture in. On failure (logged as a first load
// is) the page keeps the texture it had, and false is returned.
bool ReloadTexturePage(int32_t page);
void SelectTexturePage(uint32_t page);
void ReleaseLastPageTexture();
// Releases every page texture once and empties NewTexture without a second release.
void ReleaseAllPageTextures();
// Releases every page texture and empties the table.
void ClearTexturePageTable();
// Decoded bytes of the page textures held, over all their levels.
uint64_t TexturePageBytes();
// A texture read and bounded as a page is (the same checks, counted under the same ceiling) but
// kept outside the table, through every reload of the data set: the cursor. Null when it cannot
// be loaded; the caller says why.
IDirect3DTexture9* LoadLoosePage(const std::string& path);
void ReleaseLoosePage(IDirect3DTexture9*& texture);
