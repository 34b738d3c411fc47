// The ripple recurrence and the normals, on bare height arrays.
#include "rain/water_grid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <utility>

namespace {

struct Field {
    WaterHeights current;
    WaterHeights previous;
    Field() {
        std::memset(current, 0, sizeof current);
        std::memset(previous, 0, sizeof previous);
    }
    // Steps and exchanges the arrays, as the surface does once per step.
    void StepAndSwap() {
        RippleStep(current, previous);
        std::swap(current, previous);
    }
    // After StepAndSwap the newest heights are in `previous`.
    const WaterHeights& Newest() const { return previous; }
};

void PlaceSplash(WaterHeights& h, int row, int column) {
    h[row][column] = 1.2f;
    h[row - 1][column] = h[row + 1][column] = h[row][column - 1] = h[row][column + 1] = 0.9f;
    h[row - 1][column - 1] = h[row - 1][column + 1] = h[row + 1][column - 1] = h[row + 1][column + 1] = 0.7f;
}

float LargestMagnitude(const WaterHeights& h) {
    float largest = 0;
    for (const auto& row : h)
        for (float value : row) largest = std::fmax(largest, std::fabs(value));
    return largest;
}

}  // namespace

TEST(WaterRipple, FlatSurfaceStaysExactlyFlat) {
    auto field = std::make_unique<Field>();
    for (int step = 0; step < 200; ++step) field->StepAndSwap();
    EXPECT_EQ(LargestMagnitude(field->current), 0.0f);
    EXPECT_EQ(LargestMagnitude(field->previous), 0.0f);
}

TEST(WaterRipple, EachStepDampsByFourPercent) {
    auto field = std::make_unique<Field>();
    // Nothing around it in the older field: the height flips sign and loses 4 percent.
    field->current[40][40] = 1.0f;
    RippleStep(field->current, field->previous);
    EXPECT_FLOAT_EQ(field->current[40][40], -0.96f);
    // A cell whose four older neighbours are each 0.5 and which itself held 0.25.
    auto second = std::make_unique<Field>();
    second->previous[9][10] = second->previous[11][10] = 0.5f;
    second->previous[10][9] = second->previous[10][11] = 0.5f;
    second->current[10][10] = 0.25f;
    RippleStep(second->current, second->previous);
    EXPECT_FLOAT_EQ(second->current[10][10], (1.0f - 0.25f) * 0.96f);
}

TEST(WaterRipple, SplashSpreadsAsARingAndDiesAway) {
    auto field = std::make_unique<Field>();
    PlaceSplash(field->current, 40, 40);
    std::swap(field->current, field->previous);  // the splash becomes the older field
    field->StepAndSwap();
    const WaterHeights& first = field->Newest();
    EXPECT_FLOAT_EQ(first[40][40], 4 * 0.9f * 0.5f * 0.96f);
    EXPECT_FLOAT_EQ(first[39][40], (0.7f + 0.7f + 1.2f) * 0.5f * 0.96f);
    EXPECT_FLOAT_EQ(first[38][40], 0.9f * 0.5f * 0.96f);
    EXPECT_EQ(first[37][40], 0.0f);  // the front moves one cell per step

    for (int step = 2; step <= 20; ++step) field->StepAndSwap();
    const WaterHeights& later = field->Newest();
    // The ring is round in the grid's sense: the four directions match.
    EXPECT_FLOAT_EQ(later[40][30], later[40][50]);
    EXPECT_FLOAT_EQ(later[30][40], later[50][40]);
    EXPECT_FLOAT_EQ(later[30][40], later[40][30]);
    // Nothing beyond the front (21 cells from the centre after 20 steps).
    EXPECT_EQ(later[40][18], 0.0f);
    EXPECT_NE(later[40][20], 0.0f);
    // The disturbance has moved out: the ring at 8 to 20 cells holds more than the middle.
    float middle = 0, ring = 0;
    for (int r = 0; r < WaterGridSize; ++r) {
        for (int c = 0; c < WaterGridSize; ++c) {
            const int distance = std::abs(r - 40) + std::abs(c - 40);
            if (distance <= 3) middle = std::fmax(middle, std::fabs(later[r][c]));
            if (distance >= 8 && distance <= 20) ring = std::fmax(ring, std::fabs(later[r][c]));
        }
    }
    EXPECT_GT(ring, middle);

    for (int step = 21; step <= 400; ++step) field->StepAndSwap();
    EXPECT_LT(LargestMagnitude(field->Newest()), 1e-4f);
}

TEST(WaterRipple, BorderRowsAndColumnsNeverChange) {
    auto field = std::make_unique<Field>();
    for (int r = 0; r < WaterGridSize; ++r) {
        for (int c = 0; c < WaterGridSize; ++c) {
            field->current[r][c] = float((r * 7 + c * 13) % 11) * 0.1f;
            field->previous[r][c] = float((r * 5 + c * 3) % 7) * 0.1f;
        }
    }
    auto before = std::make_unique<Field>(*field);
    for (int step = 0; step < 5; ++step) field->StepAndSwap();
    for (int i = 0; i < WaterGridSize; ++i) {
        for (const auto& [r, c] : {std::pair{0, i}, std::pair{79, i}, std::pair{i, 0}, std::pair{i, 79}}) {
            // Five steps: each array has been written an odd or even number of times, but the
            // borders of both are their starting values, possibly exchanged.
            EXPECT_EQ(field->current[r][c], before->previous[r][c]) << r << "," << c;
            EXPECT_EQ(field->previous[r][c], before->current[r][c]) << r << "," << c;
        }
    }
    EXPECT_NE(field->previous[40][40], before->current[40][40]);
}
