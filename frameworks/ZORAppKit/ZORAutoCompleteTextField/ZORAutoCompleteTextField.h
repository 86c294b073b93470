#pragma once

#include "platform/ui/text/TextField.h"

// A text field that asks its field editor to complete the word being typed after every key, except after Tab,
// Return, Delete and the left and right arrows (and keys that type nothing, such as modifier keys alone).
class ZORAutoCompleteTextField : public ui::TextField {
    FND_OBJECT(ZORAutoCompleteTextField)

public:
    ZORAutoCompleteTextField() = default;
    static std::shared_ptr<ZORAutoCompleteTextField> create(gfx::Rect frame = {});

    void keyUp(const ui::Event& event) override;
};
