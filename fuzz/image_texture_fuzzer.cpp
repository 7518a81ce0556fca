// A BMP, PNG, JPEG or TGA file through D3DXGetImageInfoFromFileA and D3DXCreateTextureFromFileExA
// on a headless device, as small programs load their textures: the defaults, then the file's own
// size with a colour key. What D3DXGetImageInfoFromFileA refuses must not make a texture.
#include <d3dx9.h>

#include "fuzz_support.h"

namespace {

IDirect3DDevice9* device = nullptr;

IDirect3DTexture9* Load(UINT size, D3DCOLOR key) {
  IDirect3DTexture9* texture = nullptr;
  const HRESULT hr = D3DXCreateTextureFromFileExA(device, "fuzz\\INPUT.IMG", size, size, D3DX_DEFAULT, 0,
                                                  D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, key,
                                                  nullptr, nullptr, &texture);
  if (SUCCEEDED(hr) != (texture != nullptr)) fuzzsupport::Broken("result and texture disagree");
  if (texture && texture->GetLevelCount() == 0) fuzzsupport::Broken("a texture without levels");
  return texture;
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
  fuzzsupport::WriteFile("fuzz/input.img", data, size);
  D3DXIMAGE_INFO info = {};
  const bool described = SUCCEEDED(D3DXGetImageInfoFromFileA("fuzz\\INPUT.IMG", &info));
  for (IDirect3DTexture9* texture : {Load(D3DX_DEFAULT, 0), Load(D3DX_DEFAULT_NONPOW2, 0xFF00FF00)}) {
    if (!texture) continue;
    if (!described) fuzzsupport::Broken("a texture from a file whose header was refused");
    texture->Release();
  }
  return 0;
}
