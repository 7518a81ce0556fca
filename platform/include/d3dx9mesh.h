// D3DX 9 mesh subset: ID3DXBuffer, ID3DXMesh held in the mesh's own memory (16- or 32-bit
// indices, one attribute per face), D3DXCreateMeshFVF and the .x file reader
// D3DXLoadMeshFromXA/W/InMemory. GetVertexBuffer, GetIndexBuffer and GetDeclaration are left out.
#pragma once
#include "d3d9.h"
#include "d3dx9math.h"

#define D3DXERR_CANNOTMODIFYINDEXBUFFER MAKE_HRESULT(1, 0x876, 2900)
#define D3DXERR_INVALIDMESH MAKE_HRESULT(1, 0x876, 2901)
#define D3DXERR_CANNOTATTRSORT MAKE_HRESULT(1, 0x876, 2902)
#define D3DXERR_SKINNINGNOTSUPPORTED MAKE_HRESULT(1, 0x876, 2903)
#define D3DXERR_TOOMANYINFLUENCES MAKE_HRESULT(1, 0x876, 2904)
#define D3DXERR_LOADEDMESHASNODATA MAKE_HRESULT(1, 0x876, 2906)
#define D3DXERR_DUPLICATENAMEDFRAGMENT MAKE_HRESULT(1, 0x876, 2907)
#define D3DXERR_CANNOTREMOVELASTITEM MAKE_HRESULT(1, 0x876, 2908)

enum _D3DXMESH {
  D3DXMESH_32BIT = 0x001,
  D3DXMESH_DONOTCLIP = 0x002,
  D3DXMESH_POINTS = 0x004,
  D3DXMESH_RTPATCHES = 0x008,
  D3DXMESH_NPATCHES = 0x4000,
  D3DXMESH_VB_SYSTEMMEM = 0x010,
  D3DXMESH_VB_MANAGED = 0x020,
  D3DXMESH_VB_WRITEONLY = 0x040,
  D3DXMESH_VB_DYNAMIC = 0x080,
  D3DXMESH_VB_SOFTWAREPROCESSING = 0x8000,
  D3DXMESH_IB_SYSTEMMEM = 0x100,
  D3DXMESH_IB_MANAGED = 0x200,
  D3DXMESH_IB_WRITEONLY = 0x400,
  D3DXMESH_IB_DYNAMIC = 0x800,
  D3DXMESH_IB_SOFTWAREPROCESSING = 0x10000,
  D3DXMESH_VB_SHARE = 0x1000,
  D3DXMESH_USEHWONLY = 0x2000,
  D3DXMESH_SYSTEMMEM = 0x110,
  D3DXMESH_MANAGED = 0x220,
  D3DXMESH_WRITEONLY = 0x440,
  D3DXMESH_DYNAMIC = 0x880,
  D3DXMESH_SOFTWAREPROCESSING = 0x18000
};

enum _D3DXMESHOPT {
  D3DXMESHOPT_DEVICEINDEPENDENT = 0x00400000,
  D3DXMESHOPT_COMPACT = 0x01000000,
  D3DXMESHOPT_ATTRSORT = 0x02000000,
  D3DXMESHOPT_VERTEXCACHE = 0x04000000,
  D3DXMESHOPT_STRIPREORDER = 0x08000000,
  D3DXMESHOPT_IGNOREVERTS = 0x10000000,
  D3DXMESHOPT_DONOTSPLIT = 0x20000000
};

typedef struct _D3DXATTRIBUTERANGE {
  DWORD AttribId;
  DWORD FaceStart;
  DWORD FaceCount;
  DWORD VertexStart;
  DWORD VertexCount;
} D3DXATTRIBUTERANGE, *LPD3DXATTRIBUTERANGE;

typedef struct _D3DXMATERIAL {
  D3DMATERIAL9 MatD3D;
  char* pTextureFilename;
} D3DXMATERIAL, *LPD3DXMATERIAL;

#ifdef __cplusplus

struct ID3DXBuffer;
struct ID3DXMesh;
typedef ID3DXBuffer* LPD3DXBUFFER;
typedef ID3DXMesh* LPD3DXMESH;

struct ID3DXBuffer : public IUnknown {
  virtual void* STDMETHODCALLTYPE GetBufferPointer() = 0;
  virtual DWORD STDMETHODCALLTYPE GetBufferSize() = 0;
};

struct ID3DXBaseMesh : public IUnknown {
  // Draws the faces whose attribute is attrib_id with the device's current state and the mesh's FVF.
  virtual HRESULT STDMETHODCALLTYPE DrawSubset(DWORD attrib_id) = 0;
  virtual DWORD STDMETHODCALLTYPE GetNumFaces() = 0;
  virtual DWORD STDMETHODCALLTYPE GetNumVertices() = 0;
  virtual DWORD STDMETHODCALLTYPE GetFVF() = 0;
  virtual DWORD STDMETHODCALLTYPE GetNumBytesPerVertex() = 0;
  virtual DWORD STDMETHODCALLTYPE GetOptions() = 0;
  virtual HRESULT STDMETHODCALLTYPE GetDevice(IDirect3DDevice9** device) = 0;
  virtual HRESULT STDMETHODCALLTYPE CloneMeshFVF(DWORD options, DWORD fvf, IDirect3DDevice9* device,
                                                 ID3DXMesh** clone_mesh) = 0;
  virtual HRESULT STDMETHODCALLTYPE LockVertexBuffer(DWORD flags, void** data) = 0;
  virtual HRESULT STDMETHODCALLTYPE UnlockVertexBuffer() = 0;
  virtual HRESULT STDMETHODCALLTYPE LockIndexBuffer(DWORD flags, void** data) = 0;
  virtual HRESULT STDMETHODCALLTYPE UnlockIndexBuffer() = 0;
  virtual HRESULT STDMETHODCALLTYPE GetAttributeTable(D3DXATTRIBUTERANGE* attrib_table,
                                                      DWORD* attrib_table_size) = 0;
};

struct ID3DXMesh : public ID3DXBaseMesh {
  virtual HRESULT STDMETHODCALLTYPE LockAttributeBuffer(DWORD flags, DWORD** data) = 0;
  virtual HRESULT STDMETHODCALLTYPE UnlockAttributeBuffer() = 0;
  // D3DXMESHOPT_ATTRSORT (alone or with the other flags, which change nothing more): faces sorted
  // by attribute, keeping their order within one, and the attribute table made.
  virtual HRESULT STDMETHODCALLTYPE OptimizeInplace(DWORD flags, const DWORD* adjacency_in,
                                                    DWORD* adjacency_out, DWORD* face_remap,
                                                    ID3DXBuffer** vertex_remap) = 0;
  virtual HRESULT STDMETHODCALLTYPE SetAttributeTable(const D3DXATTRIBUTERANGE* attrib_table,
                                                      DWORD attrib_table_size) = 0;
};

extern "C" {
HRESULT WINAPI D3DXCreateBuffer(DWORD size, ID3DXBuffer** buffer);
HRESULT WINAPI D3DXCreateMeshFVF(DWORD face_count, DWORD vertex_count, DWORD flags, DWORD fvf,
                                 IDirect3DDevice9* device, ID3DXMesh** mesh);
UINT WINAPI D3DXGetFVFVertexSize(DWORD fvf);
HRESULT WINAPI D3DXLoadMeshFromXA(const char* filename, DWORD flags, IDirect3DDevice9* device,
                                  ID3DXBuffer** adjacency, ID3DXBuffer** materials,
                                  ID3DXBuffer** effect_instances, DWORD* material_count, ID3DXMesh** mesh);
HRESULT WINAPI D3DXLoadMeshFromXW(const WCHAR* filename, DWORD flags, IDirect3DDevice9* device,
                                  ID3DXBuffer** adjacency, ID3DXBuffer** materials,
                                  ID3DXBuffer** effect_instances, DWORD* material_count, ID3DXMesh** mesh);
HRESULT WINAPI D3DXLoadMeshFromXInMemory(const void* data, DWORD data_size, DWORD flags,
                                         IDirect3DDevice9* device, ID3DXBuffer** adjacency,
                                         ID3DXBuffer** materials, ID3DXBuffer** effect_instances,
                                         DWORD* material_count, ID3DXMesh** mesh);
}

#ifdef UNICODE
#define D3DXLoadMeshFromX D3DXLoadMeshFromXW
#else
#define D3DXLoadMeshFromX D3DXLoadMeshFromXA
#endif

#endif  // __cplusplus
