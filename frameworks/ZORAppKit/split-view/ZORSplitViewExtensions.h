#pragma once

#include <memory>

namespace ui {
class View;
}
class ZORSplitView;
class ZORSplitSubview;

// Finding the split view or pane around any view: the first ancestor of that class (never the view itself).
namespace ZORSplitViewExtensions {
std::shared_ptr<ZORSplitView> enclosingZORSplitView(const ui::View& view);
std::shared_ptr<ZORSplitSubview> enclosingZORSplitSubview(const ui::View& view);
}
