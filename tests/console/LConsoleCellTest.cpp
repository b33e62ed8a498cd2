#include "LConsoleCell.h"

#include <gtest/gtest.h>

namespace {

// Cells counted across row ends, before the buffer's first row too (a row that
// scrolled out), and without a width along the row alone.
TEST(LConsoleOffset, CountsAcrossRowEnds) {
    const struct {
        LConsolePosition from;
        int32_t cells;
        int32_t width;
        LConsolePosition to;
    } cases[] = {
        {{3, 1}, 5, 10, {8, 1}},    {{3, 1}, 7, 10, {0, 2}},   {{3, 1}, 27, 10, {0, 4}},
        {{3, 1}, -4, 10, {9, 0}},   {{3, 1}, -13, 10, {0, 0}}, {{0, 0}, -1, 10, {9, -1}},
        {{0, 0}, -11, 10, {9, -2}}, {{9, 0}, 1, 10, {0, 1}},   {{4, 2}, -6, 0, {-2, 2}},
    };
    for (const auto& c : cases) {
        const LConsolePosition to = LConsoleOffset(c.from, c.cells, c.width);
        EXPECT_EQ(to.x, c.to.x) << c.from.x << "," << c.from.y << " " << c.cells;
        EXPECT_EQ(to.y, c.to.y) << c.from.x << "," << c.from.y << " " << c.cells;
    }
}

}  // namespace
