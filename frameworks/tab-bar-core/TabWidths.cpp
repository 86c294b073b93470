#include "frameworks/tab-bar-core/TabWidths.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <optional>

namespace tbcore {

namespace {

long tabWidthsIntSum(const std::vector<double>& widths)
{
    long sum = 0;
    for (double w : widths)
        sum += long(w);
    return sum;
}

// Spreads the whole-number remainder over the entries from the last to the first, each entry cut to a whole number
// first; answers what was added.
long tabWidthsSpread(std::vector<double>& widths, long remainder)
{
    long added = 0;
    for (long k = long(widths.size()); k >= 1; --k) {
        const long share = remainder / k;
        widths[std::size_t(k - 1)] = std::trunc(widths[std::size_t(k - 1)]) + double(share);
        remainder -= share;
        added += share;
    }
    return added;
}

}

long shrinkWidths(std::vector<double>& widths, long minimum, double available)
{
    const long start = tabWidthsIntSum(widths);
    long total = start;
    bool changed = false;
    do {
        changed = false;
        for (auto it = widths.rbegin(); it != widths.rend(); ++it) {
            if (*it - 1.0 >= double(minimum)) {
                *it -= 1.0;
                --total;
                changed = true;
            }
        }
    } while (changed && double(total) > available);
    return start - total;
}

WidthResult generateWidths(const WidthInputs& in, const WidthPolicy& policy)
{
    WidthResult result;
    auto& list = result.widths;
    const long n = long(in.desiredWidths.size());
    // Each tab measured at most once, and only when asked for.
    std::vector<std::optional<double>> measured(in.measure ? std::size_t(n) : 0);
    auto desiredOf = [&](long i) {
        if (!in.measure)
            return in.desiredWidths[std::size_t(i)];
        auto& slot = measured[std::size_t(i)];
        if (!slot)
            slot = in.measure(std::size_t(i));
        return *slot;
    };
    // A bar narrower than its margins (or than the room its buttons take) has no room at all, never less than none.
    double available = std::max(0.0, in.availableWidth);
    double total = 0;
    double y = in.topMargin;
    long laidOut = 1;
    const double overflowReservation
        = policy.reservesOverflowButton ? in.overflowButtonWidth + 4.0 + (in.showAddButton ? 0.0 : 4.0) : 0.0;

    for (long i = 0; i < n; ++i) {
        if (in.vertical) {
            if (y + in.buttonHeight > in.availableHeight)
                break;
            if (policy.verticalMinimumRemainder > 0
                && in.availableHeight - (y + in.buttonHeight) < policy.verticalMinimumRemainder && i + 1 < n)
                break;
            list.push_back(y);
            y += in.buttonHeight;
            continue;
        }
        double w = in.sizeToFit ? std::min(desiredOf(i), double(in.maxWidth)) : double(in.optimumWidth);
        w = std::ceil(w);

        if (total + w < available) {
            list.push_back(w);
            total += w;
            laidOut = n;
            continue;
        }
        if (!in.useOverflowMenu) {
            // Everything is shown, below the minimum if need be.
            list.assign(std::size_t(n), 0);
            const double share = std::trunc(available / double(n));
            for (long k = 0; k < n; ++k) {
                list[std::size_t(k)] = in.sizeToFit && desiredOf(k) < share ? desiredOf(k) : share;
            }
            laidOut = n;
            break;
        }
        if (!in.sizeToFit) {
            laidOut = i + 1;
            const double share = std::trunc(available / double(i + 1));
            if (share >= double(in.minWidth)) {
                std::fill(list.begin(), list.end(), share);
                list.push_back(share);
                total = share * double(i + 1);
                continue;
            }
            if (policy.fixedWidthOverflowStops) {
                laidOut = i;
                break;
            }
            // Overflow: room for the overflow button, the last tabs go to its menu.
            available = std::max(0.0, available - overflowReservation);
            if (i == 0) {
                // Not even the first tab fits at the minimum: it takes what there is.
                list.assign(1, std::max(0.0, std::trunc(available)));
                laidOut = 1;
                break;
            }
            const double q = std::trunc(available / double(i));
            if (q >= double(in.minWidth)) {
                std::fill(list.begin(), list.end(), q);
                laidOut = i;
                break;
            }
            shrinkWidths(list, in.minWidth, available);
            if (double(tabWidthsIntSum(list)) <= available) {
                laidOut = i;
                break;
            }
            list.pop_back();
            laidOut = i - 1;
            // One tab left shares nothing: it keeps what the shrink gave it (no division by zero).
            if (i - 1 > 0) {
                const double q2 = std::trunc(available / double(i - 1));
                if (q2 >= double(in.minWidth))
                    std::fill(list.begin(), list.end(), q2);
            }
            break;
        }

        // Sized to fit, with an overflow menu.
        const double gaps = list.empty() ? 0 : double(list.size() - 1) * policy.gapBetweenFittedTabs;
        const double s = double(tabWidthsIntSum(list)) + gaps;
        const double m = double(in.minWidth);
        double sMin = 0;
        for (double e : list)
            sMin += std::min(std::trunc(e), m);
        if (std::min(w, m) + sMin > available) {
            available = std::max(0.0, available - overflowReservation);
            if (i > 0)
                tabWidthsSpread(list, long(std::trunc(available - s)));
            laidOut = i;
            break;
        }
        list.push_back(w);
        total = s + w;
        laidOut = i + 1;
        const long average = list.empty() ? 0 : tabWidthsIntSum(list) / long(list.size());
        total -= double(shrinkWidths(list, average, available));
        if (total > available) {
            long minimum = long(*std::min_element(list.begin(), list.end()));
            if (minimum > in.minWidth)
                total -= double(shrinkWidths(list, minimum, available));
        }
        if (total > available)
            total -= double(shrinkWidths(list, in.minWidth, available));
        if (total > available) {
            result.failure = WidthResult::Failure { available, total, w };
            break;
        }
        if (total < available)
            total += double(tabWidthsSpread(list, long(std::trunc(available - total))));
    }

    // A horizontal bar of several tabs where at most one fits shows two, the first at most half the bar.
    if (!in.vertical && n >= 2 && laidOut <= 1) {
        const double a = available;
        const double d0 = desiredOf(0), d1 = desiredOf(1);
        double first = d0 < a * 0.5 ? d0 : a * 0.5;
        const double second = d1 < a - first ? d1 : a - first;
        if (first + second < a)
            first = a - second;
        list = { first, second };
    }
    // Taking back a remainder spread over the tabs may leave one below nothing in a bar with hardly any room.
    if (!in.vertical)
        for (double& w : list)
            w = std::max(0.0, w);
    return result;
}

}
