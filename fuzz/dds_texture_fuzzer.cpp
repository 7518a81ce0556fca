// A DDS file through D3DXCreateTextureFromFileExA on a headless device: once as the texture pages
// ask for it (power-of-two size, full mip chain, green colour key) and once at the file's own
// size, levels and format. A texture that is made must hold the levels it reports.
#include <d3dx9.h>

#include "fuzz_support.h"

namespace {

IDirect3DDevice9* device = nullptr;

void CheckTexture(IDirect3DTexture9* texture) {
  const DWORD levels = texture->GetLevelCount();
  if (levels == 0) fuzzsupport::Broken("a texture without levels");
  for (DWORD i = 0; i < levels; ++i) {
    D3DSURFACE_DESC desc = {};
    if (FAILED(texture->GetLevelDesc(i, &desc)) || desc.Width == 0 || desc.Height == 0)
      fuzzsupport::Broken("a texture level without a size");
  }
}

void Load(UINT size, UINT mipLevels, D3DFORMAT format, DWORD filter, DWORD mipFilter, D3DCOLOR key) {
  IDirect3DTexture9* texture = nullptr;
  D3DXIMAGE_INFO info = {};
  const HRESULT hr = D3DXCreateTextureFromFileExA(device, "fuzz\\INPUT.DDS", size, size, mipLevels, 0,
                                                  format, D3DPOOL_MANAGED, filter, mipFilter, key,
                                                  &info, nullptr, &texture);
  if (SUCCEEDED(hr) != (texture != nullptr)) fuzzsupport::Broken("result and texture disagree");
  if (!texture) return;
  CheckTexture(texture);
  texture->Release();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  fuzzsupport::MakeScratchDir(argc, argv);
  fuzzsupport::ScratchScope scratch;
  device = fuzzsupport::CreateHeadlessDevice();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzsupport::ScratchScope scratch;
  fuzzsupport::WriteFile("fuzz/input.dds", data, size);
  const DWORD pageFilter = D3DX_FILTER_TRIANGLE | D3DX_FILTER_MIRROR;
  Load(D3DX_DEFAULT, D3DX_DEFAULT, D3DFMT_UNKNOWN, pageFilter, pageFilter, 0xFF00FF00);
  Load(D3DX_DEFAULT_NONPOW2, D3DX_FROM_FILE, D3DFMT_UNKNOWN, D3DX_FILTER_NONE, D3DX_FILTER_BOX, 0);
  return 0;
}
