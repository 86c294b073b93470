#pragma once

#include "InspectorTestSupport.h"

#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorLayout.h"

#include "platform/graphics/Color.h"
#include "platform/text/TextAttachment.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/Cell.h"

#include <fmt/format.h>
#include <map>
#include <string>

namespace inspectortest {

// Everything a rebuild decides: each character with the field and placeholder over it (grey when it is shown so),
// what each hosted view is, and the visible fields in order. Fields are numbered as they first appear.
inline std::string textPicture(const ZORTextViewInspector& inspector)
{
    std::map<const void*, int> ids;
    auto id = [&](const void* p) {
        if (!p)
            return std::string("-");
        auto [it, added] = ids.emplace(p, static_cast<int>(ids.size()));
        return std::to_string(it->second);
    };
    std::string out;
    auto* storage = inspector.textStorage();
    const auto& text = storage->string();
    for (fnd::Index i = 0; i < storage->length(); ++i) {
        out += visible(text.substring({ i, 1 }));
        out += "{" + id(inspector.fieldAtCharacterIndex(i).get());
        auto placeholder = storage->attributeAtIndex(ZORTextInspectorAttribute::PlaceholderValue, i);
        if (placeholder.string())
            out += " p:" + placeholder.string()->utf8();
        if (!storage->attributeAtIndex(ZORTextInspectorAttribute::ShowsPlaceholder, i).isNil())
            out += " shown";
        if (auto colour = storage->attributeAtIndex(txt::ForegroundColorAttributeName, i).objectAs<gfx::Color>();
            colour && colour->isEqual(*gfx::Color::grayColor()))
            out += " grey";
        auto attachment = storage->attributeAtIndex(txt::AttachmentAttributeName, i).objectAs<txt::TextAttachment>();
        if (auto cell = attachment
                ? std::dynamic_pointer_cast<ZORTextViewInspectorViewTextAttachmentCell>(attachment->attachmentCell())
                : nullptr) {
            auto button = std::dynamic_pointer_cast<ui::Button>(cell->view());
            if (auto field = std::dynamic_pointer_cast<ZORTextViewInspectorFieldTextAttachmentCell>(cell))
                out += " hosts " + id(field->field().get());
            else if (button && button->cell())
                out += " " + button->action().name().utf8() + " "
                    + id(button->cell()->representedObject().object().get());
        }
        out += "}";
    }
    out += "\nvisible:";
    for (const auto& field : inspector.visibleFieldsArray())
        out += " " + id(field.get());
    out += fmt::format("\nsubviews: {}", inspector.subviews().size());
    return out;
}

}
