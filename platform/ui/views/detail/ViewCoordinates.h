#pragma once

namespace ui::detail {

// The largest coordinate a view's frame or bounds may reach: ten million points is far beyond any screen. A view
// archive holds no more, and a resize that keeps the bounds scale leaves no more.
inline constexpr double ViewLargestCoordinate = 1e7;

}
