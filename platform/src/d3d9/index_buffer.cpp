// Direct3D 9 index buffers: 16- or 32-bit indices kept on the CPU and uploaded to a GL element
// buffer when drawn and changed, as vertex buffers are.
// Implemented: every pool but the scratch pool, any usage but render target and depth stencil,
//   Lock of a range or of the whole buffer (0, 0), GetDesc. Beside the bytes, each block of indices
//   keeps its largest index, so that a draw checks the vertices its indices reach
//   without reading them: a draw never reads outside a vertex buffer, whatever the indices say.
#include <algorithm>
#include <cstring>

#include "d3d9/d3d9_internal.h"
#include "d3d9/gl_renderer.h"

namespace kvrd3d {

IndexBuffer::IndexBuffer(Device* device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool)
    : DeviceChild(device, pool), BufferBytes(length), usage_(usage), format_(format), pool_(pool) {
  const size_t blocks = (indexCount() + kBlockIndices - 1) / kBlockIndices;
  blockHigh_.assign(blocks, 0);  // a new buffer's indices are all zero
}

IndexBuffer::~IndexBuffer() {
  if (glBuffer && device()->renderer()) device()->renderer()->DeleteBuffer(glBuffer);
}

HRESULT IndexBuffer::QueryInterface(REFIID riid, void** ppv) {
  return QueryFor(this, riid, ppv, {&kIidResource9, &kIidIndexBuffer9});
}

HRESULT IndexBuffer::GetDevice(IDirect3DDevice9** ppDevice) {
  if (!ppDevice) return D3DERR_INVALIDCALL;
  *ppDevice = device();
  device()->AddRef();
  return D3D_OK;
}

HRESULT IndexBuffer::Lock(UINT offset, UINT size, void** data, DWORD flags) {
  if (!data) return D3DERR_INVALIDCALL;
  *data = nullptr;
  const HRESULT hr = LockBytes(offset, size, data, flags);
  if (SUCCEEDED(hr)) ++device()->counters().indexBufferLocks;
  return hr;
}

HRESULT IndexBuffer::GetDesc(D3DINDEXBUFFER_DESC* desc) {
  if (!desc) return D3DERR_INVALIDCALL;
  desc->Format = format_;
  desc->Type = D3DRTYPE_INDEXBUFFER;
  desc->Usage = usage_;
  desc->Pool = pool_;
  desc->Size = static_cast<UINT>(bytes_.size());
  return D3D_OK;
}

void IndexBuffer::OnWrite(size_t begin, size_t end) {
  // In blocks; the program may write anything there until the next draw looks.
  const size_t blockBytes = kBlockIndices * indexSize();
  const size_t first = begin / blockBytes, last = (end + blockBytes - 1) / blockBytes;
  if (first >= last) return;
  if (staleBegin_ == staleEnd_) {
    staleBegin_ = first;
    staleEnd_ = last;
  } else {
    staleBegin_ = std::min(staleBegin_, first);
    staleEnd_ = std::max(staleEnd_, last);
  }
}

uint32_t IndexBuffer::At(uint64_t i) const {
  if (format_ == D3DFMT_INDEX32) {
    uint32_t v;
    std::memcpy(&v, bytes_.data() + i * 4, 4);
    return v;
  }
  uint16_t v;
  std::memcpy(&v, bytes_.data() + i * 2, 2);
  return v;
}

uint32_t IndexBuffer::Highest(uint64_t first, uint64_t count) {
  const uint64_t total = indexCount();
  for (size_t b = staleBegin_; b < staleEnd_ && b < blockHigh_.size(); ++b) {
    uint32_t high = 0;
    const uint64_t end = std::min<uint64_t>(total, (b + 1) * kBlockIndices);
    for (uint64_t i = b * kBlockIndices; i < end; ++i) high = std::max(high, At(i));
    blockHigh_[b] = high;
  }
  staleBegin_ = staleEnd_ = 0;
  uint32_t high = 0;
  const uint64_t end = first + count;
  // The ragged ends index by index, whole blocks by what they keep.
  for (uint64_t i = first; i < end;) {
    if (i % kBlockIndices == 0 && i + kBlockIndices <= end) {
      high = std::max(high, blockHigh_[i / kBlockIndices]);
      i += kBlockIndices;
    } else {
      high = std::max(high, At(i++));
    }
  }
  return high;
}

}  // namespace kvrd3d
