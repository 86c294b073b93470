#include "frameworks/ZORAppKit/text-views/ZORURLClickField.h"

#include "platform/foundation/services/Workspace.h"
#include "platform/ui/text/TextFieldCell.h"
#include "platform/ui/views/Cursor.h"

FND_REGISTER_CLASS(ZORURLClickField, ui::TextField)

void ZORURLClickField::describeClass(fnd::ClassBuilder<ZORURLClickField>& c)
{
    c.property(
        "URLString", [](const ZORURLClickField& f) { return f.URLString(); },
        [](ZORURLClickField& f, const fnd::String& s) { f.setURLString(s); });
}

std::shared_ptr<ZORURLClickField> ZORURLClickField::create(gfx::Rect frame)
{
    return ui::makeView<ZORURLClickField>(frame);
}

void ZORURLClickField::initWithFrame(gfx::Rect frame)
{
    ui::TextField::initWithFrame(frame);
    initCell();
    setTag(0);
    m_URLString = "";
}

void ZORURLClickField::initCell()
{
    setBezelStyle(ui::TextFieldBezelStyle::Square);
    setBezeled(false);
    setBordered(false);
    setDrawsBackground(false);
    setTextColor(gfx::Color::blueColor());
    setEditable(false);
    setSelectable(false);
    setFocusRingType(ui::FocusRingType::None);
}

void ZORURLClickField::mouseDown(const ui::Event&)
{
    (void)fnd::Workspace::sharedWorkspace().openURL(m_URLString);
}

void ZORURLClickField::resetCursorRects()
{
    addCursorRect(bounds(), ui::Cursor::pointingHandCursor());
}

void ZORURLClickField::encodeWithCoder(fnd::Coder& coder) const
{
    ui::TextField::encodeWithCoder(coder);
    if (coder.allowsKeyedCoding())
        coder.encodeObject(fnd::Value(m_URLString), "URLString");
    else
        coder.encodeObject(fnd::Value(m_URLString));
}

bool ZORURLClickField::initWithCoder(fnd::Coder& coder)
{
    if (!ui::TextField::initWithCoder(coder))
        return false;
    auto string = coder.allowsKeyedCoding() ? coder.decodeObjectForKey("URLString") : coder.decodeObject();
    if (!string.isNil() && !string.string()) {
        fnd::failDecoding(coder, "a link field's address is not a string");
        return false;
    }
    m_URLString = string.string() ? *string.string() : fnd::String();
    // The look was set up when the field was made and is in the archive with what was changed since.
    return !coder.hasFailed();
}
