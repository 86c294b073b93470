#pragma once

#include <cstddef>
#include <optional>
#include <vector>

// The proportional adjustment of a split view as a function of plain values: the panes' sizes along the split axis,
// their rounding remainders and limits in, their new sizes, places and remainders out. KJSplitView gathers the
// input from its visible panes and applies the result; everything in between is here, so it can be checked with
// tables of numbers.
namespace KJSplitLayout {

// A visible pane as the adjustment finds it.
struct Pane {
    // Its size along the axis (0: collapsed) and the rounding remainder of the last adjustment.
    double size { 0 };
    double fraction { 0 };
    double minimum { 1 };
    double maximum { 1000000 };
    bool canCollapse { false };
    // It runs the collapse or expand animation: it keeps its size.
    bool animating { false };
};

struct Input {
    std::vector<Pane> panes;
    // The split view's bounds along the axis, and the divider between two panes.
    double length { 0 };
    double dividerThickness { 0 };
    // A scroll view's document grows and shrinks to hold its panes as they are.
    bool inScrollView { false };
    // After a drag, a collapse or an expand the sizes as laid out are the new proportions, remainders dropped.
    bool clearFractions { false };
    // The pane whose size a divider drag or a new dimension set, kept at that dimension while others can give way.
    std::optional<std::size_t> excepted;
    double exceptedDimension { 0 };
};

// Where a pane goes: its start and size along the axis (0 and below: collapsed) and its new remainder.
struct Placement {
    double start { 0 };
    double size { 0 };
    double fraction { 0 };
};

struct Result {
    std::vector<Placement> panes;
    // The start of the divider after each pane but the last.
    std::vector<double> dividerStarts;
    // The split view's length along the axis (changed only in a scroll view) and the room the panes share.
    double length { 0 };
    double space { 0 };
    // What whole points leave over goes to one pane after the others are placed: it grows by `rest` (which may be
    // negative) and takes `restFraction` as its remainder; the panes and dividers after it move by `rest`.
    std::optional<std::size_t> restTaker;
    double rest { 0 };
    double restFraction { 0 };
};

// The panes are scaled by one ratio to fill the space, held to their limits and rounded to whole points with the
// remainders carried; panes that cannot fit collapse and collapsed panes open when there is room to fill.
Result solve(const Input& input);

}
