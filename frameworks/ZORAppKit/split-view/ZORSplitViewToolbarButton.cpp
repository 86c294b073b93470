#include "frameworks/ZORAppKit/split-view/ZORSplitViewToolbarButton.h"

#include "platform/graphics/Font.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/Shadow.h"
#include "platform/text/AttributedString.h"
#include "platform/text/Attributes.h"
#include "platform/text/ParagraphStyle.h"
#include "platform/ui/views/StandardImages.h"
#include "platform/ui/views/Window.h"

#include <array>

FND_REGISTER_CLASS(ZORSplitViewToolbarButton, ui::Button)

namespace {

// The platform's standard template image names, by code 1 to 13.
constexpr std::array<const char*, ZORSplitViewToolbarButton::StandardImageCount> ZORSplitViewToolbarButtonImages {
    "NSAddTemplate", // 1
    "NSRemoveTemplate",
    "NSQuickLookTemplate",
    "NSActionTemplate",
    "NSShareTemplate", // 5
    "NSIconViewTemplate",
    "NSListViewTemplate",
    "NSLockLockedTemplate",
    "NSLockUnlockedTemplate",
    "NSGoRightTemplate", // 10
    "NSGoLeftTemplate",
    "NSStopProgressTemplate",
    "NSRefreshTemplate",
};

}

std::shared_ptr<ZORSplitViewToolbarButton> ZORSplitViewToolbarButton::create()
{
    return ui::makeView<ZORSplitViewToolbarButton>({});
}

void ZORSplitViewToolbarButton::initWithFrame(gfx::Rect frame)
{
    Button::initWithFrame(frame);
    if (!std::dynamic_pointer_cast<ZORSplitViewToolbarButtonCell>(cell()))
        setCell(makeCell());
    setToolbarButtonAlign(0);
    m_toolbarButtonImage = 0;
    m_toolbarButtonWidth = DefaultWidth;
    setAutoresizingMask(ui::AutoresizingMask::NotSizable);
    setImagePosition(ui::CellImagePosition::ImageLeft);
    setButtonType(ui::ButtonType::MomentaryPushIn);
    setBezelStyle(ui::BezelStyle::SmallSquare);
    setImageScaling(ui::ImageScaling::None);
    setTitle({});
}

std::shared_ptr<ui::Cell> ZORSplitViewToolbarButton::makeCell() const
{
    auto cell = std::make_shared<ZORSplitViewToolbarButtonCell>();
    cell->initTextCell({});
    return cell;
}

void ZORSplitViewToolbarButton::viewDidMoveToWindow()
{
    Button::viewDidMoveToWindow();
    if (!m_observers.empty())
        return;
    // Paler or full colours as the window becomes or stops being key.
    auto& center = fnd::NotificationCenter::defaultCenter();
    std::weak_ptr<ZORSplitViewToolbarButton> weak
        = std::static_pointer_cast<ZORSplitViewToolbarButton>(shared_from_this());
    for (const auto& name : { ui::WindowNotification::DidBecomeKey, ui::WindowNotification::DidResignKey }) {
        m_observers.push_back(center.addObserverForName(name, {}, [weak](const fnd::Notification&) {
            if (auto button = weak.lock())
                button->setNeedsDisplay(true);
        }));
    }
}

void ZORSplitViewToolbarButton::setToolbarButtonAlign(int align)
{
    m_toolbarButtonAlign = align;
    if (auto c = std::dynamic_pointer_cast<ZORSplitViewToolbarButtonCell>(cell()))
        c->setAlign(align);
}

void ZORSplitViewToolbarButton::setImagePosition(ui::CellImagePosition position)
{
    Button::setImagePosition(position);
    if (auto c = std::dynamic_pointer_cast<ui::ButtonCell>(cell()))
        c->setImagePosition(position);
}

fnd::String ZORSplitViewToolbarButton::standardImageName(int code)
{
    if (code < 1 || code > StandardImageCount)
        return {};
    return ZORSplitViewToolbarButtonImages[static_cast<std::size_t>(code - 1)];
}

void ZORSplitViewToolbarButton::setToolbarButtonImage(int code)
{
    m_toolbarButtonImage = code;
    auto name = standardImageName(code);
    if (name.isEmpty())
        return;
    if (auto image = ui::standardImage(name))
        setImage(image);
}

void ZORSplitViewToolbarButton::setTitle(const fnd::String& title)
{
    auto paragraph = std::make_shared<txt::ParagraphStyle>();
    paragraph->setAlignment(txt::TextAlignment::Center);
    auto shadow = std::make_shared<gfx::Shadow>();
    shadow->setShadowColor(gfx::Color::whiteColor());
    shadow->setShadowOffset({ 0, -1 });
    shadow->setShadowBlurRadius(0);
    txt::Attributes attributes;
    attributes.set(txt::ParagraphStyleAttributeName, fnd::Value(paragraph));
    attributes.set(txt::ForegroundColorAttributeName, fnd::Value(gfx::Color::controlTextColor()));
    attributes.set(txt::ShadowAttributeName, fnd::Value(shadow));
    // The small system font (a named face that may be missing would leave the title in whatever font is default).
    attributes.set(txt::FontAttributeName, fnd::Value(gfx::Font::systemFontOfSize(11)));
    setAttributedTitle(std::make_shared<txt::AttributedString>(title, attributes));
}
