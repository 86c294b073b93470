#pragma once

#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspector.h"

#include "platform/ui/views/Window.h"

#include <string>

namespace inspectortest {

// A field by its identifier; a list row by its list's identifier and its index.
inline std::string fieldName(const ZORTextViewInspectorField& field)
{
    if (auto list = std::dynamic_pointer_cast<ZORTextViewInspectorListField>(field.compoundField()))
        return list->identifier().utf8() + std::to_string(list->indexOfField(field));
    return field.identifier().utf8();
}

// Who has the window's keyboard: the edited text field or the field hosting the first responder (by fieldName),
// the inspector with nothing edited, the window itself, or elsewhere.
inline std::string focusIn(const ui::Window& window, const ZORTextViewInspector& inspector)
{
    auto first = window.firstResponder();
    if (first.get() == &window)
        return "window";
    if (first.get() == &inspector)
        return inspector.isEditing() ? fieldName(*inspector.activeField()) : "inspector";
    auto view = std::dynamic_pointer_cast<ui::View>(first);
    auto field = view ? inspector.fieldHostingView(*view) : nullptr;
    return field ? fieldName(*field) : "elsewhere";
}

}
