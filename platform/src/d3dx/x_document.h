// An X file read into its data objects: each with its template, its name, the numbers and
// strings of its members as one flat list, and its child objects and references. Objects lie
// in one array in the order their heads appear in the file, children by index, so that no
// nesting the file chooses is ever walked by recursion.
#pragma once

#include "d3dx/x_tokens.h"

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform::d3dx {

// The templates the mesh reader looks at, known by their GUIDs.
enum class XKind : uint8_t {
    Other,
    Mesh,
    Frame,
    FrameTransformMatrix,
    MeshNormals,
    MeshTextureCoords,
    MeshVertexColors,
    MeshMaterialList,
    Material,
    TextureFilename,
};

struct XTemplate {
    std::string name;
    GUID guid{};
    XKind kind = XKind::Other;
};

enum class XValueKind : uint8_t { Integer, Float, String };


constexpr uint32_t kNone = UINT32_MAX;

struct XObject {
    uint32_t type = kNone;  // in XDocument::templates; kNone for a template nobody declared
    std::string_view name;  // empty when the object has none
    uint32_t guid = kNone;  // in XDocument::guids: the object's own GUID, if it has one
    uint32_t firstValue = 0;
    uint32_t valueCount = 0;
    uint32_t firstChild = 0;  // in XDocument::children
    uint32_t childCount = 0;
    // A reference ({Name}, {<GUID>} or {Name <GUID>}) names another object with `name` and
    // `guid` and has no values or children of its own.
    bool reference = false;
};

class XDocument {
public:
    // Reads the whole body; false (with the reason) for anything that is not a well-formed
    // sequence of template declarations and data objects.
    bool Parse(const XBody& body, std::string* error);

    // The object a child entry stands for: itself, or the object a reference names.
    // kNone (with the reason) for a reference that names nothing.
    uint32_t Resolve(uint32_t object, std::string* error) const;
    XKind KindOf(uint32_t object) const;
    std::string Describe(uint32_t object) const;  // "Mesh Box" or "Mesh", for messages

    std::vector<XTemplate> templates;
    std::vector<XObject> objects;
    std::vector<uint32_t> topLevel;
    std::vector<uint32_t> children;
    // The member values of every object: their kinds, and their bits (an Integer, a Float's
    // bits, or a String's index in `strings`), five bytes a value.
    std::vector<XValueKind> valueKinds;
    std::vector<uint32_t> valueBits;
    std::vector<std::string_view> strings;
    std::vector<GUID> guids;

private:
    struct Parser;

    // Found on first use: the first object of each name and of each GUID.
    mutable std::optional<std::unordered_map<std::string_view, uint32_t>> byName_;
    mutable std::optional<std::unordered_map<std::string, uint32_t>> byGuid_;
};

}  // namespace platform::d3dx
