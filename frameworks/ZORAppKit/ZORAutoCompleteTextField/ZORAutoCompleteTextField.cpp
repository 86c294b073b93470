#include "frameworks/ZORAppKit/ZORAutoCompleteTextField/ZORAutoCompleteTextField.h"

#include "platform/ui/text/TextView.h"

FND_REGISTER_CLASS(ZORAutoCompleteTextField, ui::TextField)

namespace {

// The platform's function-key characters of the left and right arrows.
constexpr char16_t LeftArrowFunctionKey = 0xF702;
constexpr char16_t RightArrowFunctionKey = 0xF703;

bool completesAfter(const fnd::String& characters)
{
    if (characters.isEmpty())
        return false;
    switch (characters.units().front()) {
    case u'\t':
    case u'\r':
    case 0x7F:
    case LeftArrowFunctionKey:
    case RightArrowFunctionKey:
        return false;
    default:
        return true;
    }
}

}

std::shared_ptr<ZORAutoCompleteTextField> ZORAutoCompleteTextField::create(gfx::Rect frame)
{
    return ui::makeView<ZORAutoCompleteTextField>(frame);
}

void ZORAutoCompleteTextField::keyUp(const ui::Event& event)
{
    auto self = shared_from_this();
    if (completesAfter(event.characters())) {
        if (auto editor = std::dynamic_pointer_cast<ui::TextView>(currentEditor()))
            editor->complete(selfValue());
    }
    ui::TextField::keyUp(event);
}
