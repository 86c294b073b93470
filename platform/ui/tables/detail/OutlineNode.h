#pragma once

#include "platform/ui/tables/OutlineView.h"

#include <functional>

namespace ui {

// One item the outline knows: its children in order (owned) once asked for, whether it is expanded, and its row
// while it shows (-1 otherwise).
struct OutlineView::Node {
    fnd::Value item;
    // The node whose children hold this one (the owner); nullptr for the root.
    Node* parent { nullptr };
    std::vector<std::unique_ptr<Node>> children;
    // The children are as the data source last gave them; a collapsed node is asked again when it expands.
    bool loaded { false };
    bool expanded { false };
    long level { -1 };
    long row { -1 };
};

namespace detail {

// Items are told apart as the outline's items are: objects by identity, other values by equality.
inline bool sameItem(const fnd::Value& a, const fnd::Value& b)
{
    if (a.isObject() || b.isObject())
        return a.isObject() && b.isObject() && a.object() == b.object();
    return a == b;
}

inline std::size_t itemHash(const fnd::Value& item)
{
    if (item.isObject())
        return std::hash<const void*>()(item.object().get());
    if (const auto* s = item.string())
        return std::hash<std::u16string>()(s->units());
    if (item.isNumber())
        return std::hash<double>()(item.doubleValue());
    return std::hash<std::string>()(item.description().utf8());
}

}

}
