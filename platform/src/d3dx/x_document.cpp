// Parses an X file body into data objects. The numbers and strings of an object's members
// are kept as one flat list in file order, as binary files store them anyway (one integer
// list may hold several members); the mesh reader takes them member by member. Objects of
// templates it does not use are parsed to find their end and then left alone.
#include "d3dx/x_document.h"

#include <cstdio>
#include <cstring>

namespace platform::d3dx {
namespace {

constexpr size_t kBinaryBytesPerValue = 4;
constexpr size_t kTextBytesPerValue = 6;

// GUIDs are written Data1-Data2-Data3-Data4 here as in the files' template declarations.
constexpr GUID MakeGuid(uint32_t data1, uint16_t data2, uint16_t data3, uint8_t a, uint8_t b, uint8_t c,
                             uint8_t d, uint8_t e, uint8_t f, uint8_t g, uint8_t h) {
    return GUID{data1, data2, data3, {a, b, c, d, e, f, g, h}};
}

struct BuiltInTemplate {
    const char* name;
    GUID guid;
    XKind kind;
};

// The standard templates and the skinning and extension templates of d3dx9mesh.h: D3DX knows
// them without a declaration in the file.
const BuiltInTemplate kBuiltInTemplates[] = {
    {"Header", MakeGuid(0x3D82AB43, 0x62DA, 0x11CF, 0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33), XKind::Other},
    {"Vector", MakeGuid(0x3D82AB5E, 0x62DA, 0x11CF, 0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33), XKind::Other},
    {"Coords2d", MakeGuid(0xF6F23F44, 0x7686, 0x11CF, 0x8F, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xA3), XKind::Other},
    {"Matrix4x4", MakeGuid(0xF6F23F45, 0x7686, 0x11CF, 0x8F, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xA3), XKind::Other},
    {"ColorRGBA", MakeGuid(0x35FF44E0, 0x6C7C, 0x11CF, 0x8F, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xA3), XKind::Other},
    {"ColorRGB", MakeGuid(0xD3E16E81, 0x7835, 0x11CF, 0x8F, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xA3), XKind::Other},
    {"IndexedColor", MakeGuid(0x1630B820, 0x7842, 0x11CF, 0x8F, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xA3), XKind::Other},
    {"Boolean", MakeGuid(0x537DA6A0, 0xCA37, 0x11D0, 0x94, 0x1C, 0x00, 0x80, 0xC8, 0x0C, 0xFA, 0x7B), XKind::Other},
    {"Boolean2d", MakeGuid(0x4885AE63, 0x78E8, 0x11CF, 0x8F, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xA3), XKind::Other},
    {"MaterialWrap", MakeGuid(0x4885AE60, 0x78E8, 0x11CF, 0x8F, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xA3), XKind::Other},
    {"TextureFilename", MakeGuid(0xA42790E1, 0x7810, 0x11CF, 0x8F, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xA3),
     XKind::TextureFilename},
    {"Material", MakeGuid(0x3D82AB4D, 0x62DA, 0x11CF, 0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33), XKind::Material},
    {"MeshFace", MakeGuid(0x3D82AB5F, 0x62DA, 0x11CF, 0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33), XKind::Other},
    {"MeshFaceWraps", MakeGuid(0xED1EC5C0, 0xC0A8, 0x11D0, 0x94, 0x1C, 0x00, 0x80, 0xC8, 0x0C, 0xFA, 0x7B), XKind::Other},
    {"MeshTextureCoords", MakeGuid(0xF6F23F40, 0x7686, 0x11CF, 0x8F, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xA3),
     XKind::MeshTextureCoords},
    {"MeshMaterialList", MakeGuid(0xF6F23F42, 0x7686, 0x11CF, 0x8F, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xA3),
     XKind::MeshMaterialList},
    {"MeshNormals", MakeGuid(0xF6F23F43, 0x7686, 0x11CF, 0x8F, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xA3),
     XKind::MeshNormals},
    {"MeshVertexColors", MakeGuid(0x1630B821, 0x7842, 0x11CF, 0x8F, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xA3),
     XKind::MeshVertexColors},
    {"Mesh", MakeGuid(0x3D82AB44, 0x62DA, 0x11CF, 0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33), XKind::Mesh},
    {"FrameTransformMatrix", MakeGuid(0xF6F23F41, 0x7686, 0x11CF, 0x8F, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xA3),
     XKind::FrameTransformMatrix},
    {"Frame", MakeGuid(0x3D82AB46, 0x62DA, 0x11CF, 0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33), XKind::Frame},
    {"FloatKeys", MakeGuid(0x10DD46A9, 0x775B, 0x11CF, 0x8F, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xA3), XKind::Other},
    {"TimedFloatKeys", MakeGuid(0xF406B180, 0x7B3B, 0x11CF, 0x8F, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xA3),
     XKind::Other},
    {"AnimationKey", MakeGuid(0x10DD46A8, 0x775B, 0x11CF, 0x8F, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xA3), XKind::Other},
    {"AnimationOptions", MakeGuid(0xE2BF56C0, 0x840F, 0x11CF, 0x8F, 0x52, 0x00, 0x40, 0x33, 0x35, 0x94, 0xA3),
     XKind::Other},
    {"Animation", MakeGuid(0x3D82AB4F, 0x62DA, 0x11CF, 0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33), XKind::Other},
    {"AnimationSet", MakeGuid(0x3D82AB50, 0x62DA, 0x11CF, 0xAB, 0x39, 0x00, 0x20, 0xAF, 0x71, 0xE4, 0x33), XKind::Other},
    {"XSkinMeshHeader", MakeGuid(0x3CF169CE, 0xFF7C, 0x44AB, 0x93, 0xC0, 0xF7, 0x8F, 0x62, 0xD1, 0x72, 0xE2),
     XKind::Other},
    {"VertexDuplicationIndices",
     MakeGuid(0xB8D65549, 0xD7C9, 0x4995, 0x89, 0xCF, 0x53, 0xA9, 0xA8, 0xB0, 0x31, 0xE3), XKind::Other},
    {"FaceAdjacency", MakeGuid(0xA64C844A, 0xE282, 0x4756, 0x8B, 0x80, 0x25, 0x0C, 0xDE, 0x04, 0x39, 0x8C), XKind::Other},
    {"SkinWeights", MakeGuid(0x6F0D123B, 0xBAD2, 0x4167, 0xA0, 0xD0, 0x80, 0x22, 0x4F, 0x25, 0xFA, 0xBB), XKind::Other},
    {"AnimTicksPerSecond", MakeGuid(0x9E415A43, 0x7BA6, 0x4A73, 0x87, 0x43, 0xB7, 0x3D, 0x47, 0xE8, 0x84, 0x76),
     XKind::Other},
    {"FVFData", MakeGuid(0xB6E70A0E, 0x8EF9, 0x4E83, 0x94, 0xAD, 0xEC, 0xC8, 0xB0, 0xC0, 0x48, 0x97), XKind::Other},
    {"VertexElement", MakeGuid(0xF752461C, 0x1E23, 0x48F6, 0xB9, 0xF8, 0x83, 0x50, 0x85, 0x0F, 0x33, 0x6F), XKind::Other},
    {"DeclData", MakeGuid(0xBF22E553, 0x292C, 0x4781, 0x9F, 0xEA, 0x62, 0xBD, 0x55, 0x4B, 0xDD, 0x93), XKind::Other},
    {"EffectInstance", MakeGuid(0xE331F7E4, 0x0559, 0x4CC2, 0x8E, 0x99, 0x1C, 0xEC, 0x16, 0x57, 0x92, 0x8F),
     XKind::Other},
};

// Template names match whatever their letters' case.
std::string Folded(std::string_view name) {
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return folded;
}

std::string GuidKey(const GUID& guid) { return std::string(reinterpret_cast<const char*>(&guid), sizeof(GUID)); }

XKind KindOfGuid(const GUID& guid) {
    for (const BuiltInTemplate& known : kBuiltInTemplates) {
        if (known.guid == guid) return known.kind;
    }
    return XKind::Other;
}

}  // namespace

// One pass over the tokens with a stack of the objects still open.
struct XDocument::Parser {
    Parser(XDocument& document, const XBody& body) : document(document), lexer(body) {
        for (const BuiltInTemplate& known : kBuiltInTemplates) Register(known.name, known.guid);
    }

    bool Fail(const std::string& why) {
        error = lexer.Where() + ": " + why;
        return false;
    }
    bool Advance() { return lexer.Next(&token, &lexerError) || (error = lexerError, false); }

    void Register(std::string_view name, const GUID& guid) {
        // The first declaration of a name holds, the built-in ones first.
        if (!typeByName.emplace(Folded(name), static_cast<uint32_t>(document.templates.size())).second) return;
        document.templates.push_back(XTemplate{std::string(name), guid, KindOfGuid(guid)});
    }

    bool Run();
    bool ParseTemplate();
    bool OpenObject();
    bool AddReference();
    bool AddValue();
    bool TakeSeparators();
    void AddChild(uint32_t object);

    struct Open {
        uint32_t object;
        size_t firstPendingChild;
    };

    XDocument& document;
    XLexer lexer;
    XTokenValue token;
    bool tokenTaken = true;  // whether `token` has been dealt with and the next one is due
    std::string error;
    std::string lexerError;
    std::unordered_map<std::string, uint32_t> typeByName;
    std::vector<Open> open;
    std::vector<uint32_t> pendingChildren;  // children of the open objects, innermost last
};

bool XDocument::Parser::Run() {
    while (true) {
        if (tokenTaken && !Advance()) return false;
        tokenTaken = true;
        if (token.kind == XToken::End) break;
        if (open.empty()) {
            if (token.kind == XToken::Template) {
                if (!ParseTemplate()) return false;
            } else if (token.kind == XToken::Name) {
                if (!OpenObject()) return false;
            } else if (token.kind != XToken::Semicolon && token.kind != XToken::Comma) {
                return Fail("a template or a data object expected");
            }
            continue;
        }
        switch (token.kind) {
            case XToken::Integer:
            case XToken::Float:
            case XToken::String:
                if (pendingChildren.size() > open.back().firstPendingChild) {
                    return Fail(document.Describe(open.back().object) + " has values after its child objects");
                }
                if (!AddValue()) return false;
                break;
            case XToken::Guid: {
                XObject& current = document.objects[open.back().object];
                if (current.valueCount > 0 || current.guid != kNone ||
                    pendingChildren.size() > open.back().firstPendingChild) {
                    return Fail("a GUID that does not start " + document.Describe(open.back().object));
                }
                current.guid = static_cast<uint32_t>(document.guids.size());
                document.guids.push_back(token.guid);
                break;
            }
            case XToken::Name:
                if (!OpenObject()) return false;
                break;
            case XToken::OpenBrace:
                if (!AddReference()) return false;
                break;
            case XToken::CloseBrace: {
                const Open done = open.back();
                open.pop_back();
                XObject& closed = document.objects[done.object];
                closed.firstChild = static_cast<uint32_t>(document.children.size());
                closed.childCount = static_cast<uint32_t>(pendingChildren.size() - done.firstPendingChild);
                document.children.insert(document.children.end(), pendingChildren.begin() + done.firstPendingChild,
                                         pendingChildren.end());
                pendingChildren.resize(done.firstPendingChild);
                break;
            }
            case XToken::Semicolon:
            case XToken::Comma:
                break;  // separators where no value needs them are let be
            default:
                return Fail("unexpected token inside " + document.Describe(open.back().object));
        }
    }
    if (!open.empty()) return Fail("the file ends inside " + document.Describe(open.back().object));
    return true;
}

void XDocument::Parser::AddChild(uint32_t object) {
    if (open.empty()) {
        document.topLevel.push_back(object);
    } else {
        pendingChildren.push_back(object);
    }
}

// IDENTIFIER [name] { : the head of a data object, the identifier already read.
bool XDocument::Parser::OpenObject() {
    XObject object;
    const auto type = typeByName.find(Folded(token.text));
    if (type != typeByName.end()) object.type = type->second;
    const std::string_view identifier = token.text;
    if (!Advance()) return false;
    if (token.kind == XToken::Name) {
        object.name = token.text;
        if (!Advance()) return false;
    }
    if (token.kind != XToken::OpenBrace) return Fail("no '{' after " + std::string(identifier));
    object.firstValue = static_cast<uint32_t>(document.valueBits.size());
    const auto index = static_cast<uint32_t>(document.objects.size());
    document.objects.push_back(object);
    AddChild(index);
    open.push_back(Open{index, pendingChildren.size()});
    return true;
}

// { Name }, { <GUID> } or { Name <GUID> }, the '{' already read.
bool XDocument::Parser::AddReference() {
    XObject reference;
    reference.reference = true;
    if (!Advance()) return false;
    if (token.kind == XToken::Name) {
        reference.name = token.text;
        if (!Advance()) return false;
    }
    if (token.kind == XToken::Guid) {
        reference.guid = static_cast<uint32_t>(document.guids.size());
        document.guids.push_back(token.guid);
        if (!Advance()) return false;
    }
    if (token.kind != XToken::CloseBrace || (reference.name.empty() && reference.guid == kNone)) {
        return Fail("a malformed reference inside " + document.Describe(open.back().object));
    }
    const auto index = static_cast<uint32_t>(document.objects.size());
    document.objects.push_back(reference);
    AddChild(index);
    return true;
}

bool XDocument::Parser::AddValue() {
    uint32_t bits = token.integer;
    XValueKind kind = XValueKind::Integer;
    if (token.kind == XToken::Float) {
        kind = XValueKind::Float;
        std::memcpy(&bits, &token.number, sizeof(bits));
    } else if (token.kind == XToken::String) {
        kind = XValueKind::String;
        bits = static_cast<uint32_t>(document.strings.size());
        document.strings.push_back(token.text);
    }
    document.valueKinds.push_back(kind);
    document.valueBits.push_back(bits);
    ++document.objects[open.back().object].valueCount;
    return !lexer.NeedsSeparators() || TakeSeparators();
}

// After a value in text: one ',', or a run of ';' with at most one ',' after it.
bool XDocument::Parser::TakeSeparators() {
    if (!Advance()) return false;
    if (token.kind == XToken::Semicolon) {
        while (token.kind == XToken::Semicolon) {
            if (!Advance()) return false;
        }
        if (token.kind == XToken::Comma && !Advance()) return false;
    } else if (token.kind == XToken::Comma) {
        if (!Advance()) return false;
    } else {
        return Fail("a value without ',' or ';' after it");
    }
    if (token.kind == XToken::Comma || token.kind == XToken::Semicolon) return Fail("a ',' or ';' with no value before it");
    tokenTaken = false;
    return true;
}

// template NAME { <GUID> members [restrictions] }, the keyword already read. Members are
// "TYPE name;", "array TYPE name[dimension]...;" with a number or an earlier member as the
// dimension; restrictions "[...]" (open) or "[Name <GUID>, ...]".
bool XDocument::Parser::ParseTemplate() {
    if (!Advance()) return false;
    if (token.kind != XToken::Name) return Fail("a template without a name");
    const std::string_view name = token.text;
    if (!Advance()) return false;
    if (token.kind != XToken::OpenBrace) return Fail("no '{' after template " + std::string(name));
    if (!Advance()) return false;
    if (token.kind != XToken::Guid) return Fail("template " + std::string(name) + " has no GUID");
    const GUID guid = token.guid;
    auto expect = [&](XToken kind) { return Advance() && (token.kind == kind || Fail("a malformed member of template " + std::string(name))); };
    auto isType = [](XToken kind) { return kind == XToken::PrimitiveType || kind == XToken::Name; };
    while (true) {
        if (!Advance()) return false;
        if (token.kind == XToken::CloseBrace) break;
        if (token.kind == XToken::OpenBracket) {
            while (Advance() && token.kind != XToken::CloseBracket) {
                if (token.kind != XToken::Dot && token.kind != XToken::Name && token.kind != XToken::Guid &&
                    token.kind != XToken::Comma) {
                    return Fail("a malformed restriction in template " + std::string(name));
                }
            }
            if (!error.empty() || !expect(XToken::CloseBrace)) return false;
            break;
        }
        if (token.kind == XToken::Array) {
            if (!Advance()) return false;
            if (!isType(token.kind)) return Fail("a malformed array in template " + std::string(name));
            if (!expect(XToken::Name) || !expect(XToken::OpenBracket)) return false;
            while (token.kind == XToken::OpenBracket) {
                if (!Advance()) return false;
                if (token.kind != XToken::Integer && token.kind != XToken::Name) {
                    return Fail("a malformed array dimension in template " + std::string(name));
                }
                if (!expect(XToken::CloseBracket) || !Advance()) return false;
            }
            if (token.kind != XToken::Semicolon) return Fail("a malformed array in template " + std::string(name));
            continue;
        }
        if (!isType(token.kind)) return Fail("a malformed member of template " + std::string(name));
        if (!expect(XToken::Name) || !expect(XToken::Semicolon)) return false;
    }
    Register(name, guid);
    return true;
}

bool XDocument::Parse(const XBody& body, std::string* error) {
    *this = XDocument();
    // Room for the values a typical file holds, so that the lists rarely grow: a binary
    // number takes four bytes, a number in text about six with its separator.
    const size_t expectedValues = body.bytes.size() / (body.binary ? kBinaryBytesPerValue : kTextBytesPerValue);
    valueKinds.reserve(expectedValues);
    valueBits.reserve(expectedValues);
    Parser parser(*this, body);
    if (parser.Run()) return true;
    *error = parser.error;
    return false;
}

uint32_t XDocument::Resolve(uint32_t object, std::string* error) const {
    const XObject& entry = objects[object];
    if (!entry.reference) return object;
    if (!byName_) {
        byName_.emplace();
        byGuid_.emplace();
        for (uint32_t i = 0; i < objects.size(); ++i) {
            if (objects[i].reference) continue;
            if (!objects[i].name.empty()) byName_->emplace(objects[i].name, i);
            if (objects[i].guid != kNone) byGuid_->emplace(GuidKey(guids[objects[i].guid]), i);
        }
    }
    if (!entry.name.empty()) {
        const auto found = byName_->find(entry.name);
        if (found != byName_->end()) return found->second;
    }
    if (entry.guid != kNone) {
        const auto found = byGuid_->find(GuidKey(guids[entry.guid]));
        if (found != byGuid_->end()) return found->second;
    }
    *error = "the reference {" + std::string(entry.name) + (entry.guid != kNone ? " <GUID>" : "") + "} names no object";
    return kNone;
}

XKind XDocument::KindOf(uint32_t object) const {
    const XObject& entry = objects[object];
    return entry.type == kNone ? XKind::Other : templates[entry.type].kind;
}

std::string XDocument::Describe(uint32_t object) const {
    const XObject& entry = objects[object];
    std::string text = entry.type == kNone ? "an object of an unknown template" : templates[entry.type].name;
    if (!entry.name.empty()) text += " " + std::string(entry.name);
    return text;
}

}  // namespace platform::d3dx
