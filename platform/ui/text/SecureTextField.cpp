#include "platform/ui/text/SecureTextField.h"

#include "platform/text/AttributedString.h"
#include "platform/ui/text/TextView.h"

namespace ui {

FND_REGISTER_CLASS(SecureTextFieldCell, TextFieldCell)
FND_REGISTER_CLASS(SecureTextField, TextField)

void SecureTextFieldCell::describeClass(fnd::ClassBuilder<SecureTextFieldCell>& c)
{
    c.property("echosBullets", &SecureTextFieldCell::echosBullets, &SecureTextFieldCell::setEchosBullets);
}

void SecureTextFieldCell::setEchosBullets(bool flag)
{
    if (flag == m_echosBullets)
        return;
    m_echosBullets = flag;
    noteChanged();
}

void SecureTextFieldCell::drawInteriorWithFrame(gfx::Rect cellFrame, View& controlView)
{
    if (currentFieldEditor())
        return;
    auto text = stringValue();
    if (text.isEmpty()) {
        TextFieldCell::drawInteriorWithFrame(cellFrame, controlView);
        return;
    }
    if (!m_echosBullets)
        return;
    // One bullet per character (a surrogate pair is one).
    std::u16string bullets;
    const auto& units = text.units();
    for (std::size_t i = 0; i < units.size(); ++i)
        if (!(i > 0 && fnd::codePointAt(units, i - 1).length == 2))
            bullets += u'\u2022';
    drawText(txt::AttributedString(fnd::String(bullets), textAttributes()), titleRectForBounds(cellFrame), false);
}

std::shared_ptr<View> SecureTextFieldCell::setUpFieldEditorAttributes(const std::shared_ptr<View>& fieldEditor)
{
    auto editor = TextFieldCell::setUpFieldEditorAttributes(fieldEditor);
    if (auto textView = std::dynamic_pointer_cast<TextView>(editor))
        textView->setUsesSecureTextEntry(true);
    return editor;
}

std::shared_ptr<SecureTextField> SecureTextField::create(gfx::Rect frame)
{
    return makeView<SecureTextField>(frame);
}

std::shared_ptr<Cell> SecureTextField::makeCell() const
{
    auto cell = fnd::makeObject<SecureTextFieldCell>();
    cell->setBezeled(true);
    cell->setDrawsBackground(true);
    cell->setScrollable(true);
    return cell;
}

}
