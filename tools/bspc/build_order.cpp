#include "tools/bspc/build_order.h"

#include <algorithm>
#include <optional>
#include <cstdint>
#include <cstdlib>
#include <numeric>
#include <random>

namespace {

// How many splitters the greedy order weighs at each node, and what a cut costs against an
// uneven split.
constexpr size_t kSplitterSample = 48;
constexpr int kCutCost = 8;
constexpr uint32_t kShuffleSeeds[] = {1, 2, 3, 4, 5, 6, 7, 8};
// No candidate tree may hold more than this many nodes per input triangle.
constexpr size_t kGrowthLimit = 16;

float Area(const BspTriangle& t) {
    const D3DXVECTOR3 normal = WindingNormal(t);
    return D3DXVec3Length(&normal);
}

std::vector<BspTriangle> Pick(const std::vector<BspTriangle>& triangles, const std::vector<size_t>& order) {
    std::vector<BspTriangle> picked;
    picked.reserve(order.size());
    for (size_t i : order) picked.push_back(triangles[i]);
    return picked;
}

std::vector<size_t> Identity(size_t count) {
    std::vector<size_t> order(count);
    std::iota(order.begin(), order.end(), size_t{0});
    return order;
}

// A triangle of a subtree in the greedy order: a whole one may become that subtree's root;
// a cut one (its piece on this side) may not, but still counts for cuts and balance.
struct Member {
    size_t index;
    bool whole;
};

struct Partition {
    std::vector<Member> front, back;
    size_t cuts = 0;
};

Partition PartitionBy(const std::vector<BspTriangle>& triangles, size_t splitter, const std::vector<Member>& set) {
    const BspPlane plane = PlaneOf(triangles[splitter]);
    Partition part;
    for (const Member& member : set) {
        if (member.whole && member.index == splitter) continue;
        switch (ClassifyTriangle(plane, triangles[member.index])) {
            case TriangleSide::Front: part.front.push_back(member); break;
            case TriangleSide::Back: part.back.push_back(member); break;
            case TriangleSide::Spanning:
                ++part.cuts;
                part.front.push_back({member.index, false});
                part.back.push_back({member.index, false});
                break;
        }
    }
    return part;
}

long Score(const Partition& part) {
    return kCutCost * long(part.cuts) + std::labs(long(part.front.size()) - long(part.back.size()));
}

// Splitters chosen top down, each the best of a sample of its subtree's whole triangles,
// listed parent before children so Build puts each where it was chosen. Triangles that a
// chosen plane cuts come last: their pieces then settle into the finished tree.
std::vector<size_t> GreedyOrder(const std::vector<BspTriangle>& triangles) {
    std::vector<size_t> order;
    std::vector<size_t> cut;
    std::vector<bool> placed(triangles.size(), false);
    std::vector<Member> all;
    for (size_t i = 0; i < triangles.size(); ++i) all.push_back({i, true});
    std::vector<std::vector<Member>> sets = {std::move(all)};
    while (!sets.empty()) {
        std::vector<Member> set = std::move(sets.back());
        sets.pop_back();
        std::vector<size_t> choices;
        for (const Member& member : set) {
            if (member.whole) choices.push_back(member.index);
        }
        if (choices.empty()) continue;
        const size_t step = std::max<size_t>(1, choices.size() / kSplitterSample);
        size_t best = choices.front();
        long bestScore = -1;
        for (size_t k = 0; k < choices.size(); k += step) {
            const long score = Score(PartitionBy(triangles, choices[k], set));
            if (bestScore < 0 || score < bestScore) {
                bestScore = score;
                best = choices[k];
            }
        }
        Partition part = PartitionBy(triangles, best, set);
        order.push_back(best);
        placed[best] = true;
        for (const Member& member : part.front) {
            if (!member.whole && !placed[member.index]) {
                placed[member.index] = true;
                cut.push_back(member.index);
            }
        }
        sets.push_back(std::move(part.back));
        sets.push_back(std::move(part.front));
    }
    order.insert(order.end(), cut.begin(), cut.end());
    return order;
}

// The shape of the tree an order builds, or nothing once it grows past nodeLimit.
std::optional<BspShape> ShapeOf(const std::vector<BspTriangle>& triangles, size_t nodeLimit) {
    BspTree tree;
    if (!tree.Build(triangles, nodeLimit)) return std::nullopt;
    return tree.Shape();
}

bool Better(const BspShape& a, const BspShape& b) {
    return a.nodes != b.nodes ? a.nodes < b.nodes : a.depth < b.depth;
}

}  // namespace

std::vector<BuildOrder> CandidateOrders(const std::vector<BspTriangle>& triangles) {
    std::vector<BuildOrder> candidates;
    candidates.push_back({"greedy splitters", Pick(triangles, GreedyOrder(triangles)), {}});

    std::vector<size_t> largest = Identity(triangles.size());
    std::stable_sort(largest.begin(), largest.end(),
                     [&](size_t a, size_t b) { return Area(triangles[a]) > Area(triangles[b]); });
    candidates.push_back({"largest first", Pick(triangles, largest), {}});

    for (uint32_t seed : kShuffleSeeds) {
        std::vector<size_t> shuffled = Identity(triangles.size());
        std::mt19937 random(seed);
        // A hand-rolled Fisher-Yates keeps the order the same with every standard library.
        for (size_t i = shuffled.size(); i > 1; --i) std::swap(shuffled[i - 1], shuffled[random() % i]);
        candidates.push_back({"shuffle " + std::to_string(seed), Pick(triangles, shuffled), {}});
    }
    candidates.push_back({"face order", triangles, {}});
    return candidates;
}

BuildOrder ChooseBuildOrder(const std::vector<BspTriangle>& triangles) {
    std::vector<BuildOrder> candidates = CandidateOrders(triangles);
    // An order that cuts a curved surface along its own face order can grow without bound;
    // none is followed past the best tree found so far, nor past kGrowthLimit times the input.
    size_t limit = std::max<size_t>(1, triangles.size()) * kGrowthLimit;
    std::optional<size_t> best;
    for (size_t i = 0; i < candidates.size(); ++i) {
        std::optional<BspShape> shape = ShapeOf(candidates[i].triangles, limit);
        if (!shape) continue;
        candidates[i].shape = *shape;
        if (!best || Better(*shape, candidates[*best].shape)) {
            best = i;
            limit = shape->nodes;
        }
    }
    return std::move(candidates[best.value_or(0)]);
}
