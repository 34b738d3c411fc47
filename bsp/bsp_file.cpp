// The .bsp file: the tree's nodes in pre-order, each a marker byte (0: empty subtree) and, for
// a node, its triangle as nine little-endian floats; no header, no count, no padding.
#include "bsp/bsp_tree.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

constexpr uint8_t kEmptyMarker = 0;
constexpr uint8_t kNodeMarker = 1;
constexpr size_t kTriangleBytes = 9 * sizeof(float);
static_assert(sizeof(BspTriangle) == kTriangleBytes, "a triangle is stored as its nine floats");

// The most nodes a tree file may hold: mouse.bsp has 12,627 and a tree of sixteen villages
// 84,732; a million is far past any mesh the programs draw, and keeps a file under 40 MB.
constexpr size_t kMaxFileNodes = 1u << 20;
// Each node is its marker and triangle; each empty subtree (one more than the nodes) a marker.
constexpr long long kMaxFileBytes = static_cast<long long>(kMaxFileNodes) * (1 + kTriangleBytes) + kMaxFileNodes + 1;

using File = std::unique_ptr<FILE, int (*)(FILE*)>;

long long FileLength(FILE* file) {
    if (std::fseek(file, 0, SEEK_END) != 0) return -1;
    const long length = std::ftell(file);
    if (length < 0 || std::fseek(file, 0, SEEK_SET) != 0) return -1;
    return length;
}

// The file holds IEEE-754 little-endian floats; so do the machines the programs run on.
BspTriangle TriangleFromBytes(const uint8_t (&bytes)[kTriangleBytes]) {
    BspTriangle triangle;
    std::memcpy(&triangle, bytes, kTriangleBytes);
    return triangle;
}

}  // namespace

// The slots still to fill are kept on a stack (back subtree below front subtree), so a file
// describing a chain of any length is read without deep recursion.
bool BspTree::Load(const wchar_t* path) {
    File file(_wfopen(path, L"rb"), &std::fclose);
    if (!file) {
        std::fprintf(stderr, "bsp: cannot open %ls\n", path);
        return false;
    }
    const long long length = FileLength(file.get());
    if (length < 0 || length > kMaxFileBytes) {
        std::fprintf(stderr, "bsp: %ls is not read: it is larger than a tree of %zu nodes\n", path, kMaxFileNodes);
        return false;
    }
    std::vector<BspNode**> slots = {&root};
    while (!slots.empty()) {
        BspNode** slot = slots.back();
        slots.pop_back();
        *slot = nullptr;
        int marker = std::fgetc(file.get());
        if (marker == EOF || marker == kEmptyMarker) continue;
        uint8_t bytes[kTriangleBytes];
        // A node cut short has no triangle to stand for: its subtree stays empty.
        if (std::fread(bytes, 1, kTriangleBytes, file.get()) != kTriangleBytes) continue;
        BspNode* node = NewNode(TriangleFromBytes(bytes));
        *slot = node;
        slots.push_back(&node->back);
        slots.push_back(&node->front);
    }
    ComputeBounds();
    return true;
}

bool BspTree::Save(const wchar_t* path) const {
    File file(_wfopen(path, L"wb"), &std::fclose);
    if (!file) return false;
    std::vector<const BspNode*> pendingNodes = {root};
    bool written = true;
    while (!pendingNodes.empty() && written) {
        const BspNode* node = pendingNodes.back();
        pendingNodes.pop_back();
        if (node == nullptr) {
            written = std::fputc(kEmptyMarker, file.get()) != EOF;
            continue;
        }
        written = std::fputc(kNodeMarker, file.get()) != EOF &&
                  std::fwrite(&node->triangle, 1, kTriangleBytes, file.get()) == kTriangleBytes;
        pendingNodes.push_back(node->back);
        pendingNodes.push_back(node->front);
    }
    return std::fclose(file.release()) == 0 && written;
}
