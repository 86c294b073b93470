#include "frameworks/AppKitExtensions/NSWindowFlipperDelegate.h"

NSWindowFlipperDelegate::NSWindowFlipperDelegate(const std::shared_ptr<ui::Window>& fromWindow,
    const std::shared_ptr<ui::Window>& toWindow, const std::shared_ptr<ui::Window>& fromFlipWindow,
    const std::shared_ptr<ui::Window>& toFlipWindow)
    : m_fromWindow(fromWindow)
    , m_toWindow(toWindow)
    , m_fromFlipWindow(fromFlipWindow)
    , m_toFlipWindow(toFlipWindow)
{
}

void NSWindowFlipperDelegate::animationDidStop(ui::LayerAnimation&, bool)
{
    if (m_ended)
        return;
    m_ended = true;
    if (auto flip = fromFlipWindow())
        flip->close();
    if (auto flip = toFlipWindow())
        flip->close();
    if (auto to = toWindow()) {
        to->setAlphaValue(1.0);
        to->makeKeyWindow();
    }
}
