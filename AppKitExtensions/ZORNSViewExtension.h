#pragma once

#include "platform/ui/View.h"

#include <memory>
#include <vector>

// Operations several of the framework's views share.
namespace ZORNSViewExtension {

// Makes the view the frontmost of its siblings (the last subview); the others keep their order. Nothing without a
// superview.
void zorBringToFront(ui::View& view);

// The view's descendants that are of the class or a subclass (every descendant for nullptr): depth first in subview
// order, each match before the matches inside it.
std::vector<std::shared_ptr<ui::View>> descendantsKindOfClass(const ui::View& view, const fnd::ClassInfo* cls);

}
