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
    const auto grey = gfx::Color::grayColor();
    // Run by run: what stands over the characters of a run is read once.
    for (fnd::Index start = 0; start < storage->length();) {
        fnd::Range run;
        const auto& attributes = storage->attributesAtIndex(start, &run);
        std::string over = id(attributes.get(ZORTextInspectorAttribute::Field).object().get());
        if (auto placeholder = attributes.get(ZORTextInspectorAttribute::PlaceholderValue); placeholder.string())
            over += " p:" + placeholder.string()->utf8();
        if (!attributes.get(ZORTextInspectorAttribute::ShowsPlaceholder).isNil())
            over += " shown";
        if (auto colour = attributes.get(txt::ForegroundColorAttributeName).objectAs<gfx::Color>();
            colour && colour->isEqual(*grey))
            over += " grey";
        auto attachment = attributes.get(txt::AttachmentAttributeName).objectAs<txt::TextAttachment>();
        if (auto cell = attachment
                ? std::dynamic_pointer_cast<ZORTextViewInspectorViewTextAttachmentCell>(attachment->attachmentCell())
                : nullptr) {
            auto button = std::dynamic_pointer_cast<ui::Button>(cell->view());
            if (auto field = std::dynamic_pointer_cast<ZORTextViewInspectorFieldTextAttachmentCell>(cell))
                over += " hosts " + id(field->field().get());
            else if (button && button->cell())
                over += " " + button->action().name().utf8() + " "
                    + id(button->cell()->representedObject().object().get());
        }
        for (auto i = run.location; i < run.max(); ++i)
            out += visible(text.substring({ i, 1 })) + "{" + over + "}";
        start = run.max();
    }
    out += "\nvisible:";
    for (const auto& field : inspector.visibleFieldsArray())
        out += " " + id(field.get());
    out += fmt::format("\nsubviews: {}", inspector.subviews().size());
    return out;
}

}
