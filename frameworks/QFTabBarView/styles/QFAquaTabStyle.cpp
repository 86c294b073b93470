#include "frameworks/QFTabBarView/styles/QFAquaTabStyle.h"

#include "frameworks/QFTabBarView/QFAttachedTabBarButton.h"
#include "frameworks/QFTabBarView/QFOverflowPopUpButton.h"
#include "frameworks/QFTabBarView/QFTabBarViewBase.h"
#include "frameworks/QFTabBarView/QFTabBarViewExtensions.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/ThreePartImage.h"

#include <map>
#include <mutex>
#include <string>

FND_REGISTER_CLASS(QFAquaTabStyle, QFTabStyle)
[[maybe_unused]] static const tbcore::TabStyleRegistration<QFTabStyleRegistry, QFAquaTabStyle>
    QFAquaTabStyleRegistration;

using namespace QFTabStyleSupport;

namespace {

const CloseImages::Names AquaCloseResources { "AquaTabClose_Front", "AquaTabClose_Front_Pressed",
    "AquaTabClose_Front_Rollover", "AquaTabCloseDirty_Front", "AquaTabCloseDirty_Front_Pressed",
    "AquaTabCloseDirty_Front_Rollover" };
const CloseImages::Names AquaCloseKeys { "aquaCloseButton", "aquaCloseButtonDown", "aquaCloseButtonOver",
    "aquaCloseDirtyButton", "aquaCloseDirtyButtonDown", "aquaCloseDirtyButtonOver" };

// The pictures are drawn with the flippedness opposite to the view's; the background pictures are flipped
// themselves, so they stand upright.
void aquaDrawThreePart(gfx::Rect frame, const std::shared_ptr<gfx::Image>& start,
    const std::shared_ptr<gfx::Image>& centre, const std::shared_ptr<gfx::Image>& end, const ui::View& view)
{
    gfx::drawThreePartImage(frame, start.get(), centre.get(), end.get(), false, gfx::CompositingOperation::SourceOver,
        1.0, !view.isFlipped());
}

// The bundle's picture stays as it is; the flipped copy is made once and shared like it.
std::shared_ptr<gfx::Image> aquaFlipped(const char* name)
{
    static std::mutex lock;
    static std::map<std::string, std::shared_ptr<gfx::Image>> copies;
    std::lock_guard guard(lock);
    auto& copy = copies[name];
    if (!copy) {
        if (auto picture = QFTabStyleSupport::image(name)) {
            copy = picture->copy();
            copy->setFlipped(true);
        }
    }
    return copy;
}

}

QFAquaTabStyle::QFAquaTabStyle()
    : m_closeImages(AquaCloseResources)
{
}

std::shared_ptr<QFAquaTabStyle> QFAquaTabStyle::create()
{
    return fnd::makeObject<QFAquaTabStyle>();
}

void QFAquaTabStyle::loadImages()
{
    m_aquaTabBg = aquaFlipped("AquaTabsBackground");
    m_aquaTabBgDown = aquaFlipped("AquaTabsDown");
    m_aquaTabBgDownGraphite = aquaFlipped("AquaTabsDownGraphite");
    m_aquaTabBgDownNonKey = aquaFlipped("AquaTabsDownNonKey");
    m_aquaDividerDown = image("AquaTabsSeparatorDown");
    m_aquaDivider = image("AquaTabsSeparator");
}

std::optional<std::shared_ptr<gfx::Image>> QFAquaTabStyle::closeButtonImageOfType(long type, QFTabBarButtonCell&)
{
    return m_closeImages.imageOfType(type);
}

std::shared_ptr<gfx::Image> QFAquaTabStyle::selectedTabPicture(
    const QFTabBarButtonCell& cell, const QFTabBarViewBase& view) const
{
    gfx::ControlTint tint = cell.controlTint();
    if (tint == gfx::ControlTint::Default)
        tint = gfx::Color::currentControlTint();
    if (!view.isWindowActive())
        tint = gfx::ControlTint::Clear;
    if (tint == gfx::ControlTint::Clear)
        return m_aquaTabBgDownNonKey;
    if (tint == gfx::ControlTint::Graphite)
        return m_aquaTabBgDownGraphite;
    return m_aquaTabBgDown;
}

bool QFAquaTabStyle::drawBezelOfTabBarView(QFTabBarViewBase& view, gfx::Rect)
{
    // The strip is 22 points high; a taller bar (not a taller dirty rect) is left bare.
    const gfx::Rect b = view.bounds();
    if (b.height() > 22.0 || !m_aquaTabBg)
        return true;
    m_aquaTabBg->drawInRect(b, { 0, 0, 1.0, 22.0 }, gfx::CompositingOperation::SourceOver, 1.0, false);
    return true;
}

bool QFAquaTabStyle::drawBezelOfTabCell(QFTabBarButtonCell& cell, gfx::Rect f, ui::View& controlView)
{
    auto* button = dynamic_cast<QFAttachedTabBarButton*>(&controlView);
    auto bar = QFTabBarViewExtensions::superviewOfClass<QFTabBarViewBase>(controlView);
    if (!button || !bar)
        return true;
    auto left = button->shouldDisplayLeftDivider() ? m_aquaDivider : nullptr;
    auto right = button->shouldDisplayRightDivider() ? m_aquaDivider : nullptr;
    if (!isSelected(cell)) {
        if (cell.mouseHovered())
            hoverFill(f);
        if (!button->isOverflowButton())
            aquaDrawThreePart(f, left, nullptr, right, controlView);
        return true;
    }
    aquaDrawThreePart(f, left, selectedTabPicture(cell, *bar), right, controlView);
    return true;
}

bool QFAquaTabStyle::drawBezelOfOverflowButton(QFOverflowPopUpButton& overflowButton, QFTabBarViewBase& view, gfx::Rect)
{
    auto last = view.lastAttachedButton();
    if (!last || last->isSliding())
        return true;
    gfx::Rect r = overflowButton.frame();
    r.size.width += 5.0;
    auto end = view.showAddTabButton() ? m_aquaDivider : nullptr;
    auto cell = last->attachedCell();
    if (!cell)
        return true;
    if (!isSelected(*cell)) {
        if (cell->mouseHovered())
            hoverFill(r);
        aquaDrawThreePart(r, nullptr, nullptr, end, view);
    } else {
        aquaDrawThreePart(r, nullptr, selectedTabPicture(*cell, view), end, view);
    }
    return true;
}

void QFAquaTabStyle::encodeWithCoder(fnd::Coder& coder) const
{
    if (!coder.allowsKeyedCoding())
        return;
    auto put = [&](const std::shared_ptr<gfx::Image>& picture, const char*, bool, const char* key) {
        coder.encodeObject(picture ? fnd::Value(picture) : fnd::Value(), key);
    };
    put(m_aquaTabBg, "AquaTabsBackground", true, "aquaTabBg");
    put(m_aquaTabBgDown, "AquaTabsDown", true, "aquaTabBgDown");
    put(m_aquaTabBgDownGraphite, "AquaTabsDownGraphite", true, "aquaTabBgDownGraphite");
    put(m_aquaTabBgDownNonKey, "AquaTabsDownNonKey", true, "aquaTabBgDownNonKey");
    put(m_aquaDividerDown, "AquaTabsSeparatorDown", false, "aquaDividerDown");
    put(m_aquaDivider, "AquaTabsSeparator", false, "aquaDivider");
    m_closeImages.encode(coder, AquaCloseKeys);
}

bool QFAquaTabStyle::initWithCoder(fnd::Coder& coder)
{
    if (!coder.allowsKeyedCoding())
        return true;
    auto get = [&](std::shared_ptr<gfx::Image>& picture, const char* key) {
        if (auto decoded = fnd::decodeObjectOfClass<gfx::Image>(coder, key))
            picture = decoded;
    };
    get(m_aquaTabBg, "aquaTabBg");
    get(m_aquaTabBgDown, "aquaTabBgDown");
    get(m_aquaTabBgDownGraphite, "aquaTabBgDownGraphite");
    get(m_aquaTabBgDownNonKey, "aquaTabBgDownNonKey");
    get(m_aquaDividerDown, "aquaDividerDown");
    get(m_aquaDivider, "aquaDivider");
    m_closeImages.decode(coder, AquaCloseKeys);
    return !coder.hasFailed();
}
