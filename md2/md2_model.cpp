#include "md2/md2_model.h"

#include <io.h>

#include <string>

namespace {

const wchar_t* const ModelFilePattern = L"*.md2";
const wchar_t* const SkinExtension = L".bmp";
const wchar_t* const LoadFailedCaption = L"读取失败";

// body.md2 takes its skin from body.bmp: the last four characters give way to ".bmp".
std::wstring SkinNameFor(const std::wstring& md2Name) {
    const size_t keep = md2Name.size() >= 4 ? md2Name.size() - 4 : 0;
    return md2Name.substr(0, keep) + SkinExtension;
}

}  // namespace

Md2Model::Md2Model(IDirect3DDevice9* device) : device(device) {}

// The paths are built at whatever length they need, so deep folders load too.
void Md2Model::LoadFolder(const wchar_t* folder, float scale) {
    if (folder == nullptr) return;
    const std::wstring base = folder;
    const std::wstring pattern = base + ModelFilePattern;
    struct _wfinddata_t found;
    const intptr_t search = _wfindfirst(pattern.c_str(), &found);
    if (search == -1) return;
    do {
        const std::wstring name = found.name;
        AddMesh((base + name).c_str(), (base + SkinNameFor(name)).c_str(), scale);
    } while (_wfindnext(search, &found) == 0);
    _findclose(search);
}

void Md2Model::AddMesh(const wchar_t* md2Path, const wchar_t* skinPath, float scale) {
    auto mesh = std::make_unique<Md2Mesh>(device);
    if (!mesh->Load(md2Path, skinPath, scale))
        MessageBoxW(nullptr, md2Path ? md2Path : L"", LoadFailedCaption, MB_OK);
    if (mesh->HasGeometry()) {
        if (firstMesh || mesh->frameCount < frameCount) frameCount = mesh->frameCount;
        firstMesh = false;
    }
    meshes.push_back(std::move(mesh));
}

void Md2Model::Draw(int a, int b, float w, bool textured) {
    for (const std::unique_ptr<Md2Mesh>& mesh : meshes) {
        if (mesh->HasGeometry()) mesh->Draw(a, b, w, textured);
    }
}
