#include "frameworks/tab-bar-core/EdgeResize.h"

#include <gtest/gtest.h>

namespace {

using tbcore::EdgeResize;

TEST(EdgeResize, OnlyAMoveTowardThePointerWithinTheLimitsResizes)
{
    // A 150-point bar between 100 and 280.
    struct Case {
        const char* what;
        double pointerX, delta;
        EdgeResize::Limits limits;
        double expected; // negative: unchanged
    };
    const Case cases[] = {
        { "pulled outward past the edge", 190, 40, EdgeResize::Limits::Inclusive, 190 },
        { "moving back while still outside", 300, -20, EdgeResize::Limits::Inclusive, -1 },
        { "pushed inward inside the bar", 120, -30, EdgeResize::Limits::Inclusive, 120 },
        { "moving outward while inside", 120, 10, EdgeResize::Limits::Inclusive, -1 },
        { "exactly at the edge", 150, 10, EdgeResize::Limits::Inclusive, -1 },
        { "reaching the maximum, inclusive", 280, 130, EdgeResize::Limits::Inclusive, 280 },
        { "reaching the maximum, exclusive", 280, 130, EdgeResize::Limits::Exclusive, -1 },
        { "reaching the minimum, inclusive", 100, -50, EdgeResize::Limits::Inclusive, 100 },
        { "reaching the minimum, exclusive", 100, -50, EdgeResize::Limits::Exclusive, -1 },
        { "below the minimum", 60, -90, EdgeResize::Limits::Inclusive, -1 },
    };
    for (const auto& c : cases)
        EXPECT_EQ(EdgeResize::resizedWidth(c.pointerX, 150, c.delta, 100, 280, c.limits), c.expected) << c.what;
}

}
