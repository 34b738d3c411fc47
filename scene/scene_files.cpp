// Reading the scene from its two profile files and writing it back.
#include "scene/scene.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>

namespace {

// Profile values are read whole, however long: the buffer grows until the value fits.
std::wstring ReadValue(const wchar_t* section, const wchar_t* key, const wchar_t* fallback, const wchar_t* file) {
    std::wstring value(256, L'\0');
    while (true) {
        const DWORD length = GetPrivateProfileStringW(section, key, fallback, &value[0],
                                                      static_cast<DWORD>(value.size()), file);
        if (length + 1 < value.size()) {
            value.resize(length);
            return value;
        }
        value.assign(value.size() * 2, L'\0');
    }
}

// Numbers as the C library reads them: blanks skipped, stopping at the first character that
// cannot belong to the number (so "0.1f" is 0.1); nothing readable is 0. A count is at most
// kMaxSceneEntries, so a mistyped one cannot ask for billions of entries.
int ReadCount(const wchar_t* section, const wchar_t* file) {
    const long count = std::wcstol(ReadValue(section, L"num", L"0", file).c_str(), nullptr, 10);
    return static_cast<int>(std::clamp<long>(count, 0, kMaxSceneEntries));
}

float ReadNumber(const wchar_t* section, const wchar_t* key, const wchar_t* fallback, const wchar_t* file) {
    return static_cast<float>(std::wcstod(ReadValue(section, key, fallback, file).c_str(), nullptr));
}

std::wstring Numbered(const wchar_t* format, int number) {
    wchar_t text[32];
    std::swprintf(text, sizeof(text) / sizeof(text[0]), format, number);
    return text;
}

std::wstring Decimal(float value) {
    wchar_t text[64];
    std::swprintf(text, sizeof(text) / sizeof(text[0]), L"%f", static_cast<double>(value));
    return text;
}

// Writes key = value pairs into one file; remembers whether every write succeeded.
class ProfileWriter {
public:
    explicit ProfileWriter(const std::wstring& file) : file_(file) {}
    void Write(const std::wstring& section, const wchar_t* key, const std::wstring& value) {
        written_ = written_ && WritePrivateProfileStringW(section.c_str(), key, value.c_str(), file_.c_str());
    }
    bool written() const { return written_; }

private:
    const std::wstring& file_;
    bool written_ = true;
};

bool Exists(const std::wstring& file) { return GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The temporary file a save writes beside the real one.
std::wstring SavingName(const std::wstring& file) { return file + L".saving"; }

}  // namespace

Scene::~Scene() { Release(); }

void Scene::Init(IDirect3DDevice9* targetDevice, float turn) {
    Release();
    device = targetDevice;
    objectTurn = turn;
    selectedObject = selectedTree = -1;
}

void Scene::LoadObjects(const wchar_t* file) {
    objectFile = file;
    const int count = ReadCount(L"3DSNumber", file);
    const int first = static_cast<int>(objects.size());
    for (int i = first; i < first + count; ++i) {
        const std::wstring section = Numbered(L"3DS%d", i);
        auto object = std::make_unique<SceneObject>();
        object->path = ReadValue(section.c_str(), L"path", L"", file);
        object->name = ReadValue(section.c_str(), L"name", L"", file);
        object->size = ReadNumber(section.c_str(), L"size", L"0.1f", file);
        object->position = D3DXVECTOR3(ReadNumber(section.c_str(), L"posx", L"0.0f", file),
                                       ReadNumber(section.c_str(), L"posy", L"0.0f", file),
                                       ReadNumber(section.c_str(), L"posz", L"0.0f", file));
        object->model.Load(device, object->path.c_str(), object->name.c_str());
        object->model.Rescale(object->size);
        object->model.RotateX(objectTurn);
        object->model.Move(object->position);
        objects.push_back(std::move(object));
    }
}

void Scene::LoadTrees(const wchar_t* file, float treeScale) {
    treeFile = file;
    const int count = ReadCount(L"TreeNumber", file);
    trees.assign(static_cast<size_t>(count), TreeInstance{});
    treeMesh.Release();
    if (count > 0) treeMesh.Load(device, kTreeMeshPath, 1.0f);
    for (int i = 0; i < count; ++i) {
        const std::wstring section = Numbered(L"Tree%d", i);
        trees[i].scale = treeScale;
        MoveTree(i, D3DXVECTOR3(ReadNumber(section.c_str(), L"posx", L"0.0f", file),
                                ReadNumber(section.c_str(), L"posy", L"0.0f", file),
                                ReadNumber(section.c_str(), L"posz", L"0.0f", file)));
    }
}

bool Scene::WriteObjects(const std::wstring& file) const {
    ProfileWriter out(file);
    out.Write(L"3DSNumber", L"num", Numbered(L"%d", static_cast<int>(objects.size())));
    for (size_t i = 0; i < objects.size(); ++i) {
        const SceneObject& object = *objects[i];
        const std::wstring section = Numbered(L"3DS%d", static_cast<int>(i));
        out.Write(section, L"path", object.path);
        out.Write(section, L"name", object.name);
        out.Write(section, L"size", Decimal(object.size));
        out.Write(section, L"posx", Decimal(object.position.x));
        out.Write(section, L"posy", Decimal(object.position.y));
        out.Write(section, L"posz", Decimal(object.position.z));
    }
    return out.written();
}

bool Scene::WriteTrees(const std::wstring& file) const {
    ProfileWriter out(file);
    out.Write(L"TreeNumber", L"num", Numbered(L"%d", static_cast<int>(trees.size())));
    for (size_t i = 0; i < trees.size(); ++i) {
        const std::wstring section = Numbered(L"Tree%d", static_cast<int>(i));
        out.Write(section, L"posx", Decimal(trees[i].position.x));
        out.Write(section, L"posy", Decimal(trees[i].position.y));
        out.Write(section, L"posz", Decimal(trees[i].position.z));
    }
    return out.written();
}

// Both files are written to temporary copies first (keeping every other line and section);
// only when both are complete do they replace the originals, so a failure leaves the old
// files as they were.
bool Scene::Save() {
    const std::wstring files[2] = {objectFile, treeFile};
    bool saved = true;
    for (const std::wstring& file : files) {
        const std::wstring saving = SavingName(file);
        DeleteFileW(saving.c_str());
        if (Exists(file) && !CopyFileW(file.c_str(), saving.c_str(), FALSE)) saved = false;
    }
    saved = saved && WriteObjects(SavingName(objectFile)) && WriteTrees(SavingName(treeFile));
    for (const std::wstring& file : files) {
        saved = saved && MoveFileExW(SavingName(file).c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING);
    }
    for (const std::wstring& file : files) DeleteFileW(SavingName(file).c_str());
    MessageBoxW(nullptr, saved ? L"保存成功" : L"保存失败", L"", MB_OK);
    return saved;
}

void Scene::MoveTree(int tree, const D3DXVECTOR3& place) {
    trees[tree].position = place;
    if (tree == 0) treeMesh.Move(place);
}

void Scene::PlantTree(const D3DXVECTOR3& place) {
    trees.push_back(TreeInstance{});
    trees.back().position = place;
    // A scene that started without trees has no tree mesh yet; the first tree brings it.
    if (treeMesh.mesh == nullptr && trees.size() == 1 && treeMesh.Load(device, kTreeMeshPath, 1.0f)) {
        treeMesh.Move(place);
    }
}
