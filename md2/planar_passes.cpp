#include "md2/planar_passes.h"

void BeginMirrorMask(IDirect3DDevice9* device) {
    device->SetRenderState(D3DRS_STENCILENABLE, TRUE);
    device->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_ALWAYS);
    device->SetRenderState(D3DRS_STENCILREF, 1);
    device->SetRenderState(D3DRS_STENCILMASK, 0xFFFFFFFF);
    device->SetRenderState(D3DRS_STENCILWRITEMASK, 0xFFFFFFFF);
    device->SetRenderState(D3DRS_STENCILZFAIL, D3DSTENCILOP_KEEP);
    device->SetRenderState(D3DRS_STENCILFAIL, D3DSTENCILOP_KEEP);
    device->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_REPLACE);
    device->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    // Blending stays off here, so these factors wait for a pass that turns it on.
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
}

void BeginReflection(IDirect3DDevice9* device, const D3DXPLANE* plane, const D3DXMATRIX* world) {
    device->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
    device->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_EQUAL);
    device->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_KEEP);
    D3DXMATRIX reflection, reflectedWorld;
    D3DXMatrixReflect(&reflection, plane);
    D3DXMatrixMultiply(&reflectedWorld, world, &reflection);
    device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
    device->SetTransform(D3DTS_WORLD, &reflectedWorld);
    // The reflection turns every triangle's winding round.
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CW);
}

void EndReflection(IDirect3DDevice9* device) {
    device->SetRenderState(D3DRS_STENCILENABLE, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
}

void BeginShadow(IDirect3DDevice9* device, const D3DXVECTOR4* light, const D3DXPLANE* plane, const D3DXMATRIX* world) {
    device->SetRenderState(D3DRS_STENCILENABLE, TRUE);
    device->SetRenderState(D3DRS_STENCILFUNC, D3DCMP_EQUAL);
    device->SetRenderState(D3DRS_STENCILREF, 0);
    device->SetRenderState(D3DRS_STENCILMASK, 0xFFFFFFFF);
    device->SetRenderState(D3DRS_STENCILWRITEMASK, 0xFFFFFFFF);
    device->SetRenderState(D3DRS_STENCILZFAIL, D3DSTENCILOP_KEEP);
    device->SetRenderState(D3DRS_STENCILFAIL, D3DSTENCILOP_KEEP);
    // A shadowed pixel leaves 0 behind, so a second shadow triangle over it fails the test.
    device->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_INCR);
    D3DXMATRIX shadow, shadowWorld;
    D3DXMatrixShadow(&shadow, light, plane);
    D3DXMatrixMultiply(&shadowWorld, world, &shadow);
    device->SetTransform(D3DTS_WORLD, &shadowWorld);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
}

void EndShadow(IDirect3DDevice9* device) {
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetRenderState(D3DRS_STENCILENABLE, FALSE);
}
