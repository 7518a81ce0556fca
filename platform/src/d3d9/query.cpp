// Queries: how many pixels a run of draws passed the depth and stencil tests (occlusion), and
// whether the GPU has carried out everything asked before a point (event).
// Implemented: CreateQuery for D3DQUERYTYPE_OCCLUSION and D3DQUERYTYPE_EVENT (with a null result
//   it only tells whether the type is supported), Issue (BEGIN and END for occlusion, END for
//   event), GetData with or without D3DGETDATA_FLUSH (S_FALSE while the answer is not known yet),
//   GetDataSize, GetType. One occlusion query counts at a time: beginning another ends the one
//   counting. In the browser (WebGL 2 counts no pixels) an occlusion query answers 1 when any
//   pixel passed, else 0, and GetData with D3DGETDATA_FLUSH gives the browser a turn while the
//   answer is not there, since WebGL answers only between turns: a program looping on it ends.
// Not implemented (D3DERR_NOTAVAILABLE): the timing, statistics and cache query types.
#include "d3d9/d3d9_internal.h"
#include "d3d9/gl_api.h"
#include "d3d9/gl_renderer.h"

namespace kvrd3d {

HRESULT Device::CreateQuery(D3DQUERYTYPE Type, IDirect3DQuery9** ppQuery) {
  if (!Query::Supported(Type)) return D3DERR_NOTAVAILABLE;
  if (!ppQuery) return D3D_OK;  // the program only asked whether the type is supported
  *ppQuery = new Query(this, Type);
  return D3D_OK;
}

Query::Query(Device* device, D3DQUERYTYPE type) : DeviceChild(device), type_(type) {}

Query::~Query() {
  GlRenderer* renderer = device()->renderer();
  if (!renderer) return;
  renderer->MakeCurrent();
  if (glQuery_) {
    if (renderer->activeOcclusion == glQuery_) {
      glEndQuery(kGlOcclusionQuery);
      renderer->activeOcclusion = 0;
    }
    glDeleteQueries(1, &glQuery_);
  }
  if (fence_) glDeleteSync(static_cast<GLsync>(fence_));
}

HRESULT Query::QueryInterface(REFIID riid, void** ppv) { return QueryFor(this, riid, ppv, {&kIidQuery9}); }

HRESULT Query::GetDevice(IDirect3DDevice9** ppDevice) {
  if (!ppDevice) return D3DERR_INVALIDCALL;
  *ppDevice = device();
  device()->AddRef();
  return D3D_OK;
}

DWORD Query::GetDataSize() { return type_ == D3DQUERYTYPE_EVENT ? sizeof(BOOL) : sizeof(DWORD); }

HRESULT Query::Issue(DWORD flags) {
  GlRenderer* renderer = device()->renderer();
  renderer->MakeCurrent();
  if (type_ == D3DQUERYTYPE_EVENT) {
    if (flags != D3DISSUE_END) return D3DERR_INVALIDCALL;
    if (fence_) glDeleteSync(static_cast<GLsync>(fence_));
    fence_ = glFenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    haveResult_ = false;
    state_ = State::kIssued;
    return D3D_OK;
  }
  if (flags == D3DISSUE_BEGIN) {
    if (!glQuery_) glGenQueries(1, &glQuery_);
    // GL counts with one query at a time: the one counting now stops here.
    if (renderer->activeOcclusion) glEndQuery(kGlOcclusionQuery);
    glBeginQuery(kGlOcclusionQuery, glQuery_);
    renderer->activeOcclusion = glQuery_;
    haveResult_ = false;
    state_ = State::kBuilding;
    return D3D_OK;
  }
  if (flags != D3DISSUE_END) return D3DERR_INVALIDCALL;
  if (state_ == State::kBuilding && renderer->activeOcclusion == glQuery_) {
    glEndQuery(kGlOcclusionQuery);
    renderer->activeOcclusion = 0;
    haveResult_ = false;
  } else if (state_ != State::kBuilding) {
    // An end with no beginning counted nothing.
    result_ = 0;
    haveResult_ = true;
  }
  // (Ended by another query's beginning: GL's count up to that point is the answer.)
  state_ = State::kIssued;
  return D3D_OK;
}

HRESULT Query::GetData(void* data, DWORD size, DWORD flags) {
  if (state_ != State::kIssued) return D3DERR_INVALIDCALL;
  if ((size && !data) || (size && size < GetDataSize())) return D3DERR_INVALIDCALL;
  if (!haveResult_) {
    GlRenderer* renderer = device()->renderer();
    renderer->MakeCurrent();
    const bool flush = (flags & D3DGETDATA_FLUSH) != 0;
    if (type_ == D3DQUERYTYPE_EVENT) {
      const GLenum status =
          fence_ ? glClientWaitSync(static_cast<GLsync>(fence_), flush ? GL_SYNC_FLUSH_COMMANDS_BIT : 0, 0)
                 : GL_ALREADY_SIGNALED;
      if (status == GL_TIMEOUT_EXPIRED) {
        if (flush) renderer->LetResultsArrive();
        return S_FALSE;
      }
      result_ = TRUE;  // signalled, or the fence failed and nothing can be waited for
    } else {
      GLuint available = 0;
      glGetQueryObjectuiv(glQuery_, GL_QUERY_RESULT_AVAILABLE, &available);
      if (!available) {
        if (flush) {
          glFlush();
          renderer->LetResultsArrive();
        }
        return S_FALSE;
      }
      GLuint samples = 0;
      glGetQueryObjectuiv(glQuery_, GL_QUERY_RESULT, &samples);
      result_ = samples;
    }
    haveResult_ = true;
  }
  if (data && size) *static_cast<DWORD*>(data) = result_;
  return D3D_OK;
}

}  // namespace kvrd3d
