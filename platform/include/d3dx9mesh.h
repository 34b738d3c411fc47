// The D3DX 9 mesh subset that the demo programs call: ID3DXMesh with its vertex, index and
// attribute buffers, ID3DXBuffer, X-file loading, the sphere and the helpers around them.
#pragma once

#include <d3d9.h>

#include "d3dx9math.h"

// Mesh creation options: where the vertex (VB) and index (IB) buffers live, and 32-bit indices.
#define D3DXMESH_32BIT 0x001
#define D3DXMESH_DONOTCLIP 0x002
#define D3DXMESH_POINTS 0x004
#define D3DXMESH_RTPATCHES 0x008
#define D3DXMESH_VB_SYSTEMMEM 0x010
#define D3DXMESH_VB_MANAGED 0x020
#define D3DXMESH_VB_WRITEONLY 0x040
#define D3DXMESH_VB_DYNAMIC 0x080
#define D3DXMESH_IB_SYSTEMMEM 0x100
#define D3DXMESH_IB_MANAGED 0x200
#define D3DXMESH_IB_WRITEONLY 0x400
#define D3DXMESH_IB_DYNAMIC 0x800
#define D3DXMESH_VB_SHARE 0x1000
#define D3DXMESH_USEHWONLY 0x2000
#define D3DXMESH_NPATCHES 0x4000
#define D3DXMESH_VB_SOFTWAREPROCESSING 0x8000
#define D3DXMESH_IB_SOFTWAREPROCESSING 0x10000
#define D3DXMESH_SYSTEMMEM 0x110
#define D3DXMESH_MANAGED 0x220
#define D3DXMESH_WRITEONLY 0x440
#define D3DXMESH_DYNAMIC 0x880
#define D3DXMESH_SOFTWAREPROCESSING 0x18000

typedef struct _D3DXMATERIAL {
    D3DMATERIAL9 MatD3D;
    LPSTR pTextureFilename;  // the file name as the mesh file gives it, or NULL
} D3DXMATERIAL, *LPD3DXMATERIAL;

// One subset: a run of faces (and the vertices they use) that share an attribute id.
typedef struct _D3DXATTRIBUTERANGE {
    DWORD AttribId;
    DWORD FaceStart;
    DWORD FaceCount;
    DWORD VertexStart;
    DWORD VertexCount;
} D3DXATTRIBUTERANGE, *LPD3DXATTRIBUTERANGE;

// A block of bytes handed out by D3DX (materials, adjacency).
struct ID3DXBuffer : public IUnknown {
    STDMETHOD_(LPVOID, GetBufferPointer)() PURE;
    STDMETHOD_(DWORD, GetBufferSize)() PURE;
};
typedef ID3DXBuffer* LPD3DXBUFFER;

struct ID3DXBaseMesh : public IUnknown {
    // Draws the faces whose attribute id is attribId with the device's current states.
    STDMETHOD(DrawSubset)(DWORD attribId) PURE;
    STDMETHOD_(DWORD, GetNumFaces)() PURE;
    STDMETHOD_(DWORD, GetNumVertices)() PURE;
    STDMETHOD_(DWORD, GetFVF)() PURE;
    STDMETHOD_(DWORD, GetNumBytesPerVertex)() PURE;
    STDMETHOD_(DWORD, GetOptions)() PURE;
    STDMETHOD(GetDevice)(LPDIRECT3DDEVICE9* device) PURE;
    STDMETHOD(GetVertexBuffer)(LPDIRECT3DVERTEXBUFFER9* vertexBuffer) PURE;
    STDMETHOD(GetIndexBuffer)(LPDIRECT3DINDEXBUFFER9* indexBuffer) PURE;
    STDMETHOD(LockVertexBuffer)(DWORD flags, LPVOID* data) PURE;
    STDMETHOD(UnlockVertexBuffer)() PURE;
    STDMETHOD(LockIndexBuffer)(DWORD flags, LPVOID* data) PURE;
    STDMETHOD(UnlockIndexBuffer)() PURE;
    // With a null table, writes the number of subsets to *size.
    STDMETHOD(GetAttributeTable)(D3DXATTRIBUTERANGE* table, DWORD* size) PURE;
};

struct ID3DXMesh : public ID3DXBaseMesh {
    STDMETHOD(LockAttributeBuffer)(DWORD flags, DWORD** data) PURE;
    STDMETHOD(UnlockAttributeBuffer)() PURE;
    STDMETHOD(SetAttributeTable)(const D3DXATTRIBUTERANGE* table, DWORD size) PURE;
};
typedef ID3DXMesh* LPD3DXMESH;

// An empty mesh of numFaces triangles over numVertices vertices of the given FVF; the index
// buffer is 16-bit unless options has D3DXMESH_32BIT.
HRESULT WINAPI D3DXCreateMeshFVF(DWORD numFaces, DWORD numVertices, DWORD options, DWORD fvf,
                                 LPDIRECT3DDEVICE9 device, LPD3DXMESH* mesh);

// Loads every mesh of an X file (text, binary or compressed) into one mesh: frame transforms
// applied, polygons split into fans, vertices split where a position takes several normals,
// faces sorted by material. Materials come as an array of D3DXMATERIAL in *materials.
HRESULT WINAPI D3DXLoadMeshFromXW(LPCWSTR fileName, DWORD options, LPDIRECT3DDEVICE9 device,
                                  LPD3DXBUFFER* adjacency, LPD3DXBUFFER* materials,
                                  LPD3DXBUFFER* effectInstances, DWORD* materialCount, LPD3DXMESH* mesh);

// A sphere about the origin with its axis along z: D3DFVF_XYZ | D3DFVF_NORMAL, one subset.
HRESULT WINAPI D3DXCreateSphere(LPDIRECT3DDEVICE9 device, FLOAT radius, UINT slices, UINT stacks,
                                LPD3DXMESH* mesh, LPD3DXBUFFER* adjacency);

// The smallest box holding count positions, the first at firstPosition and the others stride
// bytes apart.
HRESULT WINAPI D3DXComputeBoundingBox(const D3DXVECTOR3* firstPosition, DWORD count, DWORD stride,
                                      D3DXVECTOR3* minimum, D3DXVECTOR3* maximum);

UINT WINAPI D3DXGetFVFVertexSize(DWORD fvf);
