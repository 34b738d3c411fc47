// Reading the scene from its two profile files and writing it back.
#include "scene/scene.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// Each object's section is [3DSn] and each tree's [Treen], n counting from 0.
constexpr const wchar_t* kObjectSectionPrefix = L"3DS";
constexpr const wchar_t* kObjectSectionFormat = L"3DS%d";
constexpr const wchar_t* kTreeSectionPrefix = L"Tree";
constexpr const wchar_t* kTreeSectionFormat = L"Tree%d";

// Paths and names in the one-line reports, as UTF-8.
std::string Narrow(const std::wstring& text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return std::string();
    std::string narrow(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &narrow[0], size, nullptr, nullptr);
    narrow.resize(static_cast<size_t>(size - 1));
    return narrow;
}

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

// Every section name of the file, in file order.
std::vector<std::wstring> SectionNames(const wchar_t* file) {
    std::wstring list(4096, L'\0');
    DWORD length = 0;
    while (true) {
        length = GetPrivateProfileStringW(nullptr, nullptr, L"", &list[0], static_cast<DWORD>(list.size()), file);
        if (length + 2 < list.size()) break;  // a list that did not fit comes back cut, size - 2 long
        list.assign(list.size() * 2, L'\0');
    }
    std::vector<std::wstring> names;
    for (size_t begin = 0; begin < length;) {
        const size_t end = list.find(L'\0', begin);
        names.push_back(list.substr(begin, end - begin));
        begin = end + 1;
    }
    return names;
}

// Section names compare as Windows compares them, without regard to ASCII case.
bool SameIgnoringCase(const std::wstring& a, const wchar_t* b) {
    auto fold = [](wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; };
    for (size_t i = 0; i < a.size(); ++i) {
        if (b[i] == L'\0' || fold(a[i]) != fold(b[i])) return false;
    }
    return b[a.size()] == L'\0';
}

// One past the highest n of the sections "prefix" + n the file holds (as Numbered writes n:
// decimal, no leading zero), at most kMaxSceneEntries; 0 when there is none.
int SectionsHeld(const wchar_t* prefix, const wchar_t* file) {
    const size_t prefixLength = std::wcslen(prefix);
    int held = 0;
    for (const std::wstring& name : SectionNames(file)) {
        if (name.size() <= prefixLength || !SameIgnoringCase(name.substr(0, prefixLength), prefix)) continue;
        const std::wstring digits = name.substr(prefixLength);
        if (digits.find_first_not_of(L"0123456789") != std::wstring::npos || (digits[0] == L'0' && digits.size() > 1)) {
            continue;
        }
        if (digits.size() > std::to_wstring(kMaxSceneEntries).size()) continue;
        held = std::max(held, std::min(kMaxSceneEntries, std::stoi(digits) + 1));
    }
    return held;
}

// Numbers as the C library reads them: blanks skipped, stopping at the first character that
// cannot belong to the number (so "0.1f" is 0.1); nothing readable is 0. A count is at most
// kMaxSceneEntries, and no more than the numbered sections the file holds (sections missing
// below the last one are read with their defaults), so a mistyped count neither asks for
// billions of entries nor shows a box for each one the file does not have.
int ReadCount(const wchar_t* countSection, const wchar_t* entryPrefix, const wchar_t* file) {
    const long count = std::wcstol(ReadValue(countSection, L"num", L"0", file).c_str(), nullptr, 10);
    const int capped = static_cast<int>(std::clamp<long>(count, 0, kMaxSceneEntries));
    if (capped == 0) return 0;
    const int held = SectionsHeld(entryPrefix, file);
    if (held < capped) {
        std::fprintf(stderr, "scene: %s counts %ld entries in [%s] but its last [%s...] section is number %d; reading %d\n",
                     Narrow(file).c_str(), count, Narrow(countSection).c_str(), Narrow(entryPrefix).c_str(), held - 1,
                     held);
        return held;
    }
    return capped;
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

bool IsReadOnly(const std::wstring& file) {
    const DWORD attributes = GetFileAttributesW(file.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

// The temporary file a save writes beside the real one, and the copy of the old file kept
// until both files are replaced.
std::wstring SavingName(const std::wstring& file) { return file + L".saving"; }
std::wstring UndoName(const std::wstring& file) { return file + L".undo"; }

// A file a save leaves behind (killed halfway, or copied from a read-only file) is made
// writable first, as Windows deletes no read-only file. False when it is still there.
bool Clear(const std::wstring& file) {
    if (!Exists(file)) return true;
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileW(file.c_str()) != FALSE;
}

// The file a path finally names, every link followed, so that a save replaces the file a
// link points at and the link stays; a path that names no file yet is kept as it is.
std::wstring FinalPath(const std::wstring& file) {
    HANDLE handle = CreateFileW(file.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return file;
    std::wstring path(MAX_PATH, L'\0');
    DWORD length = GetFinalPathNameByHandleW(handle, &path[0], static_cast<DWORD>(path.size()), FILE_NAME_NORMALIZED);
    if (length >= path.size()) {
        path.assign(length, L'\0');
        length = GetFinalPathNameByHandleW(handle, &path[0], static_cast<DWORD>(path.size()), FILE_NAME_NORMALIZED);
    }
    CloseHandle(handle);
    if (length == 0 || length >= path.size()) return file;
    path.resize(length);
    return path;
}

// A copy of the file, writable whatever the original's attributes were (CopyFileW copies them).
bool WritableCopy(const std::wstring& from, const std::wstring& to) {
    return CopyFileW(from.c_str(), to.c_str(), FALSE) && SetFileAttributesW(to.c_str(), FILE_ATTRIBUTE_NORMAL);
}

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
    const int count = ReadCount(L"3DSNumber", kObjectSectionPrefix, file);
    const int first = static_cast<int>(objects.size());
    for (int i = first; i < first + count; ++i) {
        const std::wstring section = Numbered(kObjectSectionFormat, i);
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
    const int count = ReadCount(L"TreeNumber", kTreeSectionPrefix, file);
    trees.assign(static_cast<size_t>(count), TreeInstance{});
    treeMesh.Release();
    if (count > 0) treeMesh.Load(device, kTreeMeshPath, 1.0f);
    for (int i = 0; i < count; ++i) {
        const std::wstring section = Numbered(kTreeSectionFormat, i);
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
        const std::wstring section = Numbered(kObjectSectionFormat, static_cast<int>(i));
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
        const std::wstring section = Numbered(kTreeSectionFormat, static_cast<int>(i));
        out.Write(section, L"posx", Decimal(trees[i].position.x));
        out.Write(section, L"posy", Decimal(trees[i].position.y));
        out.Write(section, L"posz", Decimal(trees[i].position.z));
    }
    return out.written();
}

// Both files are written to temporary copies first (keeping every other line and section);
// only when both are complete do they replace the originals, and when the second cannot
// replace its original the first is put back, so the files change together or not at all.
bool Scene::Save() {
    const std::wstring files[2] = {FinalPath(objectFile), FinalPath(treeFile)};
    bool saved = !IsReadOnly(files[0]) && !IsReadOnly(files[1]);
    for (const std::wstring& file : files) {
        saved = saved && Clear(SavingName(file)) && Clear(UndoName(file));
        saved = saved && (!Exists(file) || WritableCopy(file, SavingName(file)));
    }
    saved = saved && WriteObjects(SavingName(files[0])) && WriteTrees(SavingName(files[1]));
    const bool firstExisted = Exists(files[0]);
    saved = saved && (!firstExisted || WritableCopy(files[0], UndoName(files[0])));
    saved = saved && MoveFileExW(SavingName(files[0]).c_str(), files[0].c_str(), MOVEFILE_REPLACE_EXISTING);
    if (saved && !MoveFileExW(SavingName(files[1]).c_str(), files[1].c_str(), MOVEFILE_REPLACE_EXISTING)) {
        saved = false;
        const bool undone = firstExisted ? MoveFileExW(UndoName(files[0]).c_str(), files[0].c_str(), MOVEFILE_REPLACE_EXISTING)
                                         : DeleteFileW(files[0].c_str());
        if (!undone) {
            std::fprintf(stderr, "scene: %s was saved but %s was not, and the old %s could not be put back\n",
                         Narrow(files[0]).c_str(), Narrow(files[1]).c_str(), Narrow(files[0]).c_str());
        }
    }
    for (const std::wstring& file : files) {
        Clear(SavingName(file));
        Clear(UndoName(file));
    }
    MessageBoxW(nullptr, saved ? L"保存成功" : L"保存失败", L"", MB_OK);
    return saved;
}

void Scene::MoveTree(int tree, const D3DXVECTOR3& place) {
    trees[tree].position = place;
    if (tree == 0) treeMesh.Move(place);
}

void Scene::PlantTree(const D3DXVECTOR3& place) {
    // A scene file reads back at most kMaxSceneEntries trees, so no more are planted.
    if (trees.size() >= static_cast<size_t>(kMaxSceneEntries)) {
        if (!plantLimitReported) {
            std::fprintf(stderr, "scene: %d trees stand, the most a scene file holds; no more are planted\n",
                         kMaxSceneEntries);
        }
        plantLimitReported = true;
        return;
    }
    trees.push_back(TreeInstance{});
    trees.back().position = place;
    // A scene that started without trees has no tree mesh yet; the first tree brings it.
    if (treeMesh.mesh == nullptr && trees.size() == 1 && treeMesh.Load(device, kTreeMeshPath, 1.0f)) {
        treeMesh.Move(place);
    }
}
