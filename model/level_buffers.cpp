// The LevelBufferTable: writing a level's triangles into its buffer, finding and releasing buffers.
#include "model/level_buffers.h"

#include <algorithm>
#include <limits>

#include "base/device.h"
#include "base/error_log.h"

IDirect3DVertexBuffer9* m_pPieVB = nullptr;
std::vector<LevelBuffer> LevelBufferTable;

namespace {

// Bytes of every level buffer held.
uint64_t vertexBytes = 0;

// Positions in the files are in tenths of the units the scene is drawn in.
const float kPositionScale = 10.0f;

}  // namespace

void CreateLevelBuffer(const TriangleList& triangles, int32_t model, int32_t level) {
  LevelBuffer entry;
  entry.model = model;
  entry.level = level;
  // The previous buffer belongs to its table entry; the slot only names the newest one.
  m_pPieVB = nullptr;

  // A level without triangles has nothing to draw; Direct3D refuses a buffer of length 0, so none
  // is asked for.
  if (!triangles.empty()) {
    const uint64_t length = triangles.size() * kLevelTriangleBytes;
    HRESULT hr = E_FAIL;
    if (g_pd3dDevice && length <= std::numeric_limits<UINT>::max()) {
      hr = g_pd3dDevice->CreateVertexBuffer(static_cast<UINT>(length), 0, kPieVertexFVF,
                                            D3DPOOL_SYSTEMMEM, &m_pPieVB, nullptr);
    }
    if (FAILED(hr) || !m_pPieVB) {
      m_pPieVB = nullptr;
      ErrorLog::Write("Failed to create vertex buffer m_pPieVB");
    } else {
      void* data = nullptr;
      hr = m_pPieVB->Lock(0, 0, &data, 0);
      if (SUCCEEDED(hr) && !data) {
        m_pPieVB->Unlock();
        hr = E_FAIL;
      }
      if (FAILED(hr)) {
        // Never written, never drawn: the entry stays without a buffer.
        ErrorLog::Write("Failed to lock vertex buffer m_pPieVB");
        m_pPieVB->Release();
        m_pPieVB = nullptr;
      } else {
        PieVertex* vertex = static_cast<PieVertex*>(data);
        for (const Triangle& t : triangles) {
          for (int c = 0; c < 3; ++c, ++vertex) {
            vertex->x = t.position[c][0] / kPositionScale;
            vertex->y = t.position[c][1] / kPositionScale;
            vertex->z = t.position[c][2] / kPositionScale;
            vertex->u = static_cast<float>(t.texel[c][0]) / kPageSize;
            vertex->v = static_cast<float>(t.texel[c][1]) / kPageSize;
          }
        }
        m_pPieVB->Unlock();
        vertexBytes += length;
        entry.buffer = m_pPieVB;
        entry.triangleCount = static_cast<int32_t>(triangles.size());
      }
    }
  }
  LevelBufferTable.push_back(entry);
}

int32_t FirstLevelBufferOf(int32_t model) {
  // Entries are appended model by model in load order, so owners never decrease along the table.
  auto it = std::lower_bound(LevelBufferTable.begin(), LevelBufferTable.end(), model,
                             [](const LevelBuffer& e, int32_t m) { return e.model < m; });
  if (it == LevelBufferTable.end() || it->model != model) return -1;
  return static_cast<int32_t>(it - LevelBufferTable.begin());
}

void ReleaseLastLevelBuffer() {
  if (!m_pPieVB) return;
  // The table entry shares this buffer; forget it there too so a later release of the whole
  // table does not release it a second time.
  for (LevelBuffer& entry : LevelBufferTable) {
    if (entry.buffer == m_pPieVB) {
      entry.buffer = nullptr;
      entry.triangleCount = 0;
    }
  }
  D3DVERTEXBUFFER_DESC desc = {};
  if (SUCCEEDED(m_pPieVB->GetDesc(&desc))) vertexBytes = desc.Size < vertexBytes ? vertexBytes - desc.Size : 0;
  m_pPieVB->Release();
  m_pPieVB = nullptr;
}

void ReleaseAllLevelBuffers() {
  for (LevelBuffer& entry : LevelBufferTable) {
    if (entry.buffer) {
      entry.buffer->Release();
      entry.buffer = nullptr;
      entry.triangleCount = 0;
    }
  }
  // m_pPieVB only ever aliases a table entry, released just above.
  m_pPieVB = nullptr;
  vertexBytes = 0;
}

void ClearLevelBufferTable() {
  ReleaseAllLevelBuffers();
  std::vector<LevelBuffer>().swap(LevelBufferTable);
}

uint64_t LevelBufferBytes() { return vertexBytes; }
