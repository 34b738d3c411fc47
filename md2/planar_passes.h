// The render-state passes of a planar mirror and a planar shadow, both guarded by the stencil
// buffer (which must hold 0 everywhere when the frame starts):
//   BeginMirrorMask   draw the mirror's surface: the stencil takes 1 where it is visible
//   BeginReflection   draw the object reflected in the plane, only where the stencil is 1
//   EndReflection
//   BeginShadow       draw the object flattened onto a plane as seen from the light, only
//                     where the stencil is 0, and mark each pixel so it darkens only once
//   EndShadow
// Each pass sets its states in a fixed order; nothing is saved or restored.
#pragma once

#include <windows.h>

#include <d3d9.h>
#include <d3dx9.h>

void BeginMirrorMask(IDirect3DDevice9* device);
// The world matrix becomes world × the reflection in plane; the depth buffer is cleared so
// the reflected object is not hidden by what lies in front of the mirror's plane.
void BeginReflection(IDirect3DDevice9* device, const D3DXPLANE* plane, const D3DXMATRIX* world);
void EndReflection(IDirect3DDevice9* device);
// The world matrix becomes world × the shadow projection onto plane along light (w = 0: a
// direction towards the light). Depth testing is off and blending on for the shadow.
void BeginShadow(IDirect3DDevice9* device, const D3DXVECTOR4* light, const D3DXPLANE* plane, const D3DXMATRIX* world);
void EndShadow(IDirect3DDevice9* device);
