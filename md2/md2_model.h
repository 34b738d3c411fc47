// A character made of every MD2 file in one folder, animated together: a body and the weapon
// it holds are two meshes of one model. The frames all meshes have are the model's frames.
#pragma once

#include <windows.h>

#include <d3d9.h>

#include <memory>
#include <vector>

#include "md2/md2_mesh.h"

class Md2Model {
public:
    explicit Md2Model(IDirect3DDevice9* device);

    // Adds one mesh for every "*.md2" file of the folder (a path ending with a backslash),
    // each with the skin of the same base name and ".bmp". A folder that is missing or holds
    // no md2 file leaves the model as it is, without a message.
    void LoadFolder(const wchar_t* folder, float scale);
    // Loads and appends one mesh; a failure is shown with the md2 path and the caption
    // "读取失败". A mesh without geometry stays in the list but is never drawn and never
    // lowers frameCount.
    void AddMesh(const wchar_t* md2Path, const wchar_t* skinPath, float scale);
    // Draws every mesh that has geometry, in list order (Md2Mesh::Draw).
    void Draw(int a, int b, float w, bool textured);

    IDirect3DDevice9* device;
    std::vector<std::unique_ptr<Md2Mesh>> meshes;
    int frameCount = 0;    // the fewest frames of any mesh with geometry; 0 while there is none
    bool firstMesh = true;  // true until a mesh with geometry has been added
};
