#pragma once

#include "platform/foundation/archiving/Coding.h"
#include "platform/ui/text/TextField.h"

// A one-line label in blue that opens its address when clicked.
class ZORURLClickField : public ui::TextField {
    FND_OBJECT(ZORURLClickField)
    static void describeClass(fnd::ClassBuilder<ZORURLClickField>& c);

public:
    ZORURLClickField() = default;
    static std::shared_ptr<ZORURLClickField> create(gfx::Rect frame = {});
    void initWithFrame(gfx::Rect frame) override;

    const fnd::String& URLString() const { return m_URLString; }
    void setURLString(const fnd::String& string) { m_URLString = string; }

    void mouseDown(const ui::Event& event) override;
    void resetCursorRects() override;
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    // The look of a plain link label.
    void initCell();

    fnd::String m_URLString;
};
