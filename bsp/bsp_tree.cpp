#include "bsp/bsp_tree.h"

#include <windows.h>

#include <algorithm>
#if defined(__SSE__) || defined(_M_X64)
#include <xmmintrin.h>
#endif
#include <limits>
#include <utility>

namespace {

// Where the edge from `from` to `to` crosses the plane; shown and worked out by the ends'
// distances from the plane when the ray test cannot find it.
D3DXVECTOR3 CutEdge(const BspTriangle& plane, const D3DXVECTOR3& from, const D3DXVECTOR3& to) {
    D3DXVECTOR3 along = to - from;
    D3DXVec3Normalize(&along, &along);
    D3DXVECTOR3 cut;
    if (RayPlane(from, along, plane, &cut)) return cut;
    MessageBoxA(nullptr, "Error.Ray Can't hit Plane", "", MB_OK);
    const BspPlane surface = PlaneOf(plane);
    const float fromDistance = D3DXVec3Dot(&surface.normal, &from) - surface.offset;
    const float toDistance = D3DXVec3Dot(&surface.normal, &to) - surface.offset;
    const float span = fromDistance - toDistance;
    const float share = span != 0.0f ? std::clamp(fromDistance / span, 0.0f, 1.0f) : 0.5f;
    return from + share * (to - from);
}

// One triangle classified against plane after plane, as an insertion does on its way down:
// its three corners are laid out once so that all three distances come from one set of
// vector operations. Each distance is ClassifyPoint's, computed in the same order, to the bit.
class CornerDistances {
public:
    explicit CornerDistances(const BspTriangle& t)
#if defined(__SSE__) || defined(_M_X64)
        : x_(_mm_setr_ps(t.p1.x, t.p2.x, t.p3.x, 0.0f)),
          y_(_mm_setr_ps(t.p1.y, t.p2.y, t.p3.y, 0.0f)),
          z_(_mm_setr_ps(t.p1.z, t.p2.z, t.p3.z, 0.0f))
#endif
    {
        triangle_ = &t;
    }

    TriangleSide Against(const BspPlane& plane) const {
#if defined(__SSE__) || defined(_M_X64)
        constexpr int kThreeCorners = 0x7;
        const __m128 dot = _mm_add_ps(_mm_add_ps(_mm_mul_ps(_mm_set1_ps(plane.normal.x), x_),
                                                 _mm_mul_ps(_mm_set1_ps(plane.normal.y), y_)),
                                      _mm_mul_ps(_mm_set1_ps(plane.normal.z), z_));
        const __m128 behind = _mm_sub_ps(_mm_set1_ps(plane.offset), dot);
        const int anyBehind = _mm_movemask_ps(_mm_cmpgt_ps(behind, _mm_set1_ps(kPlaneEpsilon))) & kThreeCorners;
        const int anyInFront = _mm_movemask_ps(_mm_cmplt_ps(behind, _mm_set1_ps(-kPlaneEpsilon))) & kThreeCorners;
        if (!anyBehind) return TriangleSide::Front;
        return anyInFront ? TriangleSide::Spanning : TriangleSide::Back;
#else
        return ClassifyTriangle(plane, *triangle_);
#endif
    }

private:
#if defined(__SSE__) || defined(_M_X64)
    __m128 x_, y_, z_;
#endif
    const BspTriangle* triangle_;
};

}  // namespace

BspNode* BspTree::NewNode(const BspTriangle& triangle) {
    BspNode& node = nodes_.emplace_back();
    node.triangle = triangle;
    node.plane = PlaneOf(triangle);
    node.bounds = BoxOf(triangle);
    return &node;
}

void BspTree::ComputeBounds() {
    std::vector<BspNode*> preorder;
    std::vector<BspNode*> pendingNodes;
    if (root != nullptr) pendingNodes.push_back(root);
    while (!pendingNodes.empty()) {
        BspNode* node = pendingNodes.back();
        pendingNodes.pop_back();
        preorder.push_back(node);
        if (node->back != nullptr) pendingNodes.push_back(node->back);
        if (node->front != nullptr) pendingNodes.push_back(node->front);
    }
    for (auto node = preorder.rbegin(); node != preorder.rend(); ++node) {
        (*node)->bounds = BoxOf((*node)->triangle);
        if ((*node)->front != nullptr) Grow(&(*node)->bounds, (*node)->front->bounds);
        if ((*node)->back != nullptr) Grow(&(*node)->bounds, (*node)->back->bounds);
    }
}

void BspTree::Insert(BspNode** slot, const BspTriangle& triangle) { Descend(slot, triangle, true); }

void BspTree::Descend(BspNode** slot, const BspTriangle& triangle, bool growBounds) {
    BspNode* node = *slot;
    const CornerDistances corners(triangle);
    path_.clear();
    while (true) {
        if (growBounds) path_.push_back(node);
        const TriangleSide side = corners.Against(node->plane);
        if (side == TriangleSide::Spanning) {
            Split(node->triangle, triangle);
            return;
        }
        BspNode*& child = side == TriangleSide::Front ? node->front : node->back;
        if (child == nullptr) {
            child = NewNode(triangle);
            for (BspNode* above : path_) Grow(&above->bounds, child->bounds);
            return;
        }
        node = child;
    }
}

void BspTree::Split(const BspTriangle& plane, const BspTriangle& triangle) {
    const BspPlane surface = PlaneOf(plane);
    const D3DXVECTOR3 a[3] = {triangle.p1, triangle.p2, triangle.p3};
    const PlaneSide c[3] = {ClassifyPoint(surface, a[0]), ClassifyPoint(surface, a[1]), ClassifyPoint(surface, a[2])};
    auto opposite = [](PlaneSide first, PlaneSide second) {
        return (first == PlaneSide::Front && second == PlaneSide::Back) ||
               (first == PlaneSide::Back && second == PlaneSide::Front);
    };
    int i = 0;
    while (i < 3 && !opposite(c[i], c[(i + 1) % 3])) ++i;
    if (i == 3) return;  // nothing straddles the plane: not a spanning triangle
    const int j = (i + 1) % 3;
    const int k = (i + 2) % 3;
    const D3DXVECTOR3 first = CutEdge(plane, a[i], a[j]);
    if (c[k] == PlaneSide::OnPlane) {
        pending.push_back({a[i], first, a[k]});
        pending.push_back({first, a[j], a[k]});
    } else if (c[k] == c[i]) {
        const D3DXVECTOR3 second = CutEdge(plane, a[k], a[j]);
        pending.push_back({a[i], first, second});
        pending.push_back({first, a[j], second});
        pending.push_back({a[i], second, a[k]});
    } else {
        const D3DXVECTOR3 second = CutEdge(plane, a[i], a[k]);
        pending.push_back({a[i], first, second});
        pending.push_back({first, a[j], second});
        pending.push_back({second, a[j], a[k]});
    }
}

bool BspTree::Build(const std::vector<BspTriangle>& triangles, size_t nodeLimit) {
    if (triangles.empty()) return true;
    // The boxes are worked out once the tree stands, not along every insertion's path.
    struct BoundsWhenDone {
        BspTree* tree;
        ~BoundsWhenDone() { tree->ComputeBounds(); }
    } bounds{this};
    root = NewNode(triangles.front());
    for (size_t i = 1; i < triangles.size(); ++i) {
        Descend(&root, triangles[i], false);
        // Every piece starts again at the root, so it is classified against every plane on
        // its way down and cut again wherever it straddles one.
        while (!pending.empty()) {
            if (nodes_.size() > nodeLimit) {
                pending.clear();
                return false;
            }
            const BspTriangle piece = pending.back();
            pending.pop_back();
            Descend(&root, piece, false);
        }
        if (nodes_.size() > nodeLimit) return false;
    }
    return true;
}

void BspTree::Clear() {
    root = nullptr;
    pending.clear();
    nodes_.clear();
    path_.clear();
}

// The walk keeps its own stack, so a tree of any depth is safe to search. Each entry is a
// subtree still to visit or a triangle to test once its near side has missed.
bool BspTree::RayCast(const Ray& ray, RayHit* hit) const {
    struct Step {
        const BspNode* node;
        bool testOwnTriangle;
    };
    std::vector<Step> steps;
    if (root != nullptr) steps.push_back({root, false});
    while (!steps.empty()) {
        const Step step = steps.back();
        steps.pop_back();
        if (step.testOwnTriangle) {
            const BspTriangle& t = step.node->triangle;
            double weights[3];
            const double distance = RayTriangle(ray, t.p1, t.p2, t.p3, weights);
            if (distance == std::numeric_limits<double>::infinity()) continue;
            hit->distance = distance;
            hit->p1 = t.p1;
            hit->p2 = t.p2;
            hit->p3 = t.p3;
            hit->point = D3DXVECTOR3(static_cast<float>(weights[0] * t.p1.x + weights[1] * t.p2.x + weights[2] * t.p3.x),
                                     static_cast<float>(weights[0] * t.p1.y + weights[1] * t.p2.y + weights[2] * t.p3.y),
                                     static_cast<float>(weights[0] * t.p1.z + weights[1] * t.p2.z + weights[2] * t.p3.z));
            return true;
        }
        const BspNode* node = step.node;
        while (node != nullptr) {
            // Nothing in a subtree whose box the ray misses can be hit.
            if (!RayMeetsBox(ray, node->bounds)) break;
            const PlaneSide side = ClassifyPoint(node->plane, ray.origin);
            const bool along = FacesAlong(node->triangle, ray.direction);
            const bool inFront = side != PlaneSide::Back;
            // Moving away from the plane: only the side the ray is on can be hit.
            if (inFront && along) {
                node = node->front;
                continue;
            }
            if (!inFront && !along) {
                node = node->back;
                continue;
            }
            // The ray may cross the plane: near side first, then this triangle, then far.
            steps.push_back({inFront ? node->back : node->front, false});
            steps.push_back({node, true});
            node = inFront ? node->front : node->back;
        }
    }
    hit->distance = std::numeric_limits<double>::infinity();
    return false;
}

BspShape BspTree::Shape() const {
    BspShape shape;
    std::vector<std::pair<const BspNode*, size_t>> pendingNodes;
    if (root != nullptr) pendingNodes.emplace_back(root, 1);
    while (!pendingNodes.empty()) {
        auto [node, depth] = pendingNodes.back();
        pendingNodes.pop_back();
        ++shape.nodes;
        shape.depth = std::max(shape.depth, depth);
        if (node->back != nullptr) pendingNodes.emplace_back(node->back, depth + 1);
        if (node->front != nullptr) pendingNodes.emplace_back(node->front, depth + 1);
    }
    return shape;
}

std::vector<BspTriangle> BspTree::Triangles() const {
    std::vector<BspTriangle> triangles;
    std::vector<const BspNode*> pendingNodes;
    if (root != nullptr) pendingNodes.push_back(root);
    while (!pendingNodes.empty()) {
        const BspNode* node = pendingNodes.back();
        pendingNodes.pop_back();
        triangles.push_back(node->triangle);
        if (node->back != nullptr) pendingNodes.push_back(node->back);
        if (node->front != nullptr) pendingNodes.push_back(node->front);
    }
    return triangles;
}
