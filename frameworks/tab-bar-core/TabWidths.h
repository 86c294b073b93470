#pragma once

#include <functional>
#include <optional>
#include <vector>

// Width generation of a tab bar: how wide each tab is (a horizontal bar) or where it starts (a vertical one), and
// how many tabs fit. Both families run the same steps; what differs between them is the policy.
namespace tbcore {

struct WidthPolicy {
    // Space for the overflow button (its width + 4, + 4 more without an add button) is taken off before the last
    // tabs move to the overflow menu.
    bool reservesOverflowButton { true };
    // A vertical bar also drops a tab when fewer than this many points remain below it (0: stops at the height).
    double verticalMinimumRemainder { 0 };
    // Fixed widths: once an equal share falls below the minimum the tabs laid out so far keep their widths and the
    // rest overflow (no second share over fewer tabs, no shrinking).
    bool fixedWidthOverflowStops { false };
    // Sized to fit: points counted between neighbouring tabs when their total is compared with the room.
    double gapBetweenFittedTabs { 1 };
};

struct WidthInputs {
    bool vertical { false };
    // One entry per tab, in order: the width it would like (title and parts); only read with sizeToFit, or for the
    // first two tabs of a bar where at most one fits.
    std::vector<double> desiredWidths;
    // When set, asked for a tab's desired width instead of desiredWidths (which then only gives the count), and
    // only when the widths need it: measuring a title is the costly part of a layout.
    std::function<double(std::size_t)> measure;
    double availableWidth { 0 };
    // Vertical bars.
    double availableHeight { 0 };
    double buttonHeight { 0 };
    double topMargin { 0 };
    long minWidth { 100 };
    long maxWidth { 280 };
    long optimumWidth { 130 };
    bool sizeToFit { false };
    bool useOverflowMenu { true };
    double overflowButtonWidth { 14 };
    bool showAddButton { false };
};

struct WidthResult {
    // Widths (horizontal) or y origins (vertical) of the tabs shown; tabs beyond its end go to the overflow menu.
    std::vector<double> widths;
    // Set when even the minimum widths do not fit: the available width, the total reached and the tab's width.
    struct Failure {
        double available;
        double total;
        double width;
    };
    std::optional<Failure> failure;
};

WidthResult generateWidths(const WidthInputs& in, const WidthPolicy& policy = {});

// Shrinks the entries one point at a time, from the last to the first, never below the minimum, until their whole-
// number total is within the available width or nothing can shrink; answers by how much the total went down.
long shrinkWidths(std::vector<double>& widths, long minimum, double available);

}
