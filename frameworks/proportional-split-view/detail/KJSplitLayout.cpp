#include "frameworks/proportional-split-view/detail/KJSplitLayout.h"

#include <algorithm>
#include <cmath>

namespace KJSplitLayout {

namespace {

struct Record {
    double size { 0 };
    double fraction { 0 };
    // Held at a limit (or its given size) in this pass: it takes no share of what is left.
    bool constrained { false };
};

// Scales the free panes to fill `space`, fixing those that meet a limit and sharing again among the rest, until no
// pane is newly fixed. Answers the sum of the sizes with remainders.
double scaleToFill(
    std::vector<Record>& cache, const Input& in, std::optional<std::size_t> except, double space, double total)
{
    double remaining = space;
    double sum = 0;
    bool fixedAny = false;
    double free = 0;
    do {
        // Without a size to scale (the dividers took all the room) nothing grows.
        const double ratio = total > 0 ? remaining / total : 0;
        sum = 0;
        free = 0;
        fixedAny = false;
        auto fix = [&](Record& r, double value) {
            r.constrained = true;
            r.fraction = 0;
            r.size = value;
            remaining -= value;
            fixedAny = true;
        };
        for (std::size_t i = 0; i < cache.size(); ++i) {
            auto& r = cache[i];
            if (!(r.size > 0) || r.constrained)
                continue;
            const auto& pane = in.panes[i];
            if (pane.animating) {
                fix(r, r.size);
            } else if (except == i && in.exceptedDimension > 0) {
                fix(r, in.exceptedDimension);
            } else {
                double want = (r.size + r.fraction) * ratio;
                if (want < pane.minimum) {
                    fix(r, pane.minimum);
                } else if (want > pane.maximum) {
                    fix(r, pane.maximum);
                } else {
                    double rest = std::fmod(want, 1.0);
                    want -= rest;
                    // A half rounds down; so does a half blurred by the last bits of the ratio, or a layout read
                    // back from its state string would round differently from the one that wrote it.
                    if (rest > 0.5 + 1e-9) {
                        want += 1;
                        rest -= 1;
                    }
                    r.size = want;
                    r.fraction = rest;
                    free += want;
                }
            }
        }
        // The next sweep shares what is left among the free panes by their sizes with remainders, so that the sizes
        // and remainders add up to the space exactly and adjusting again at the same size changes nothing.
        total = 0;
        for (const auto& r : cache) {
            if (r.size > 0)
                sum += r.size + r.fraction;
            if (r.size > 0 && !r.constrained)
                total += r.size + r.fraction;
        }
    } while (fixedAny && free > 0);
    return sum;
}

}

Result solve(const Input& in)
{
    Result out;
    const std::size_t n = in.panes.size();
    if (n == 0)
        return out;
    std::vector<Record> cache(n);
    for (std::size_t i = 0; i < n; ++i)
        cache[i] = { in.panes[i].size, in.panes[i].fraction, false };

    const double t = in.dividerThickness;
    const double gaps = static_cast<double>(n - 1) * t;
    double whole = in.length;
    double space = whole - gaps;
    // Up to three passes; with an excepted pane, three more first in which it keeps its dimension.
    for (int pass = in.excepted ? -3 : 0; pass <= 2; ++pass) {
        const auto except = pass < 0 ? in.excepted : std::nullopt;
        double total = 0;
        for (auto& r : cache) {
            r.constrained = false;
            if (r.size > 0)
                total += r.size + (in.inScrollView ? 0.0 : r.fraction);
        }
        // One collapsed pane takes the space when none is visible: the one with the smallest minimum.
        std::size_t chosen = 0;
        bool anyVisible = false;
        double bestMinimum = -1;
        for (std::size_t i = 0; i < n; ++i) {
            if (cache[i].size > 0) {
                anyVisible = true;
            } else if (bestMinimum < 0 || in.panes[i].minimum < bestMinimum) {
                bestMinimum = in.panes[i].minimum;
                chosen = i;
            }
        }
        if (!anyVisible) {
            cache[chosen].size = in.panes[chosen].minimum;
            cache[chosen].fraction = 0;
            total += cache[chosen].size;
        }
        if (in.inScrollView) {
            // A document view grows and shrinks to hold its panes as they are.
            whole = total + gaps;
            space = total;
            break;
        }
        if (total < 1.0) {
            cache[chosen].size = space;
            cache[chosen].fraction = 0;
            total = space;
        }
        double sum = scaleToFill(cache, in, except, space, total);

        double overflow = sum - space;
        if (overflow >= 1.0) {
            // Too large: collapse pinned panes that may, in order, until the rest fits.
            for (std::size_t i = 0; i < n; ++i) {
                auto& r = cache[i];
                if (!r.constrained || except == i || in.panes[i].animating || !in.panes[i].canCollapse)
                    continue;
                sum -= r.size;
                if (sum < 1.0)
                    break;
                r.size = 0;
                if (sum - space < 1.0)
                    break;
            }
        } else if (overflow > -1.0) {
            // Fits within a point. (Only here: a pass that had to collapse runs again to share the space.)
            break;
        } else {
            // Too small: open collapsed panes at their minimum until the space is filled.
            for (std::size_t i = 0; i < n; ++i) {
                auto& r = cache[i];
                if (r.size > 0)
                    continue;
                r.size = in.panes[i].minimum;
                r.fraction = 0;
                sum += r.size;
                if (sum - space > -1.0)
                    break;
            }
        }
    }

    // Places, in order, with a divider after every pane but the last.
    out.length = whole;
    out.space = space;
    out.panes.resize(n);
    out.dividerStarts.resize(n - 1);
    double origin = 0;
    std::optional<std::size_t> lastVisible;
    for (std::size_t i = 0; i < n; ++i) {
        const auto& r = cache[i];
        const double size = std::max(0.0, r.size);
        out.panes[i] = { origin, size, r.size > 0 && in.clearFractions ? 0.0 : r.fraction };
        origin += size;
        if (r.size > 0)
            lastVisible = i;
        if (i + 1 < n) {
            out.dividerStarts[i] = origin;
            origin += t;
        }
    }
    if (lastVisible && whole != origin) {
        // The rounding rest goes to the last visible pane that can take it within its limits (the last visible one
        // when none can).
        double rest = whole - origin;
        std::size_t taker = *lastVisible;
        for (std::size_t i = *lastVisible + 1; i-- > 0;) {
            const double size = out.panes[i].size;
            if (size > 0 && size + rest >= in.panes[i].minimum && size + rest <= in.panes[i].maximum) {
                taker = i;
                break;
            }
        }
        const auto& placed = out.panes[taker];
        rest = std::max(0.0, placed.size + rest) - placed.size;
        out.restTaker = taker;
        out.rest = rest;
        // The sizes as laid out, rest included, are the new proportions.
        out.restFraction = in.clearFractions ? 0.0 : placed.fraction - rest;
    }
    return out;
}

}
