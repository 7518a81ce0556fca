// From decoded DDS levels to the levels of the texture D3DX creates: its size, format and mip
// chain, with the colour key applied. Kept apart from the device so it can be tested on its own.
#pragma once
#include <d3dx9tex.h>

#include "dds_reader.h"

namespace kvrdds {

// The arguments of D3DXCreateTextureFromFileExA that shape the texture.
struct TextureRequest {
  UINT width = D3DX_DEFAULT;
  UINT height = D3DX_DEFAULT;
  UINT mipLevels = D3DX_DEFAULT;
  D3DFORMAT format = D3DFMT_UNKNOWN;
  DWORD filter = D3DX_DEFAULT;
  DWORD mipFilter = D3DX_DEFAULT;
  D3DCOLOR colorKey = 0;
  // The device's largest texture sides; 0 means no limit beyond kMaxDimension.
  UINT maxWidth = 0;
  UINT maxHeight = 0;
};

struct TextureLevels {
  D3DFORMAT format = D3DFMT_UNKNOWN;   // A8R8G8B8, X8R8G8B8 or A4R4G4B4
  std::vector<ArgbImage> levels;       // level 0 first, each in ARGB before packing
};

// Works out the texture for a decoded file and fills its levels. fileLevels is consumed.
// Fails with D3DERR_INVALIDCALL for filter values D3DX does not have.
HRESULT BuildTextureLevels(const DdsHeaderInfo& file, std::vector<ArgbImage> fileLevels,
                           const TextureRequest& request, TextureLevels& out);

}  // namespace kvrdds
