// Archiving the tab bar view: after the view's data, the keys in the order they are written. The attached buttons
// are not archived: they are made again from the tab view's items, like those of a bar given its tab view in code.
// The delegate is a conditional reference, never kept alive by the archive.

#include "frameworks/QFTabBarView/QFTabBarView.h"

#include "frameworks/QFTabBarView/QFAttachedTabBarButton.h"
#include "frameworks/QFTabBarView/QFOverflowPopUpButton.h"
#include "frameworks/QFTabBarView/QFRolloverButton.h"
#include "frameworks/tab-bar-core/TabBarArchiving.h"

#include <algorithm>

namespace {

const char* const QFTabBarViewArchivingFlags[] = { "QFonlyShowCloseOnHover", "QFcanCloseOnlyTab", "QFdisableTabClose",
    "QFhideForSingleTab", "QFallowsBackgroundTabClosing", "QFallowsResizing", "QFselectsTabsOnMouseDown",
    "QFshowAddTabButton", "QFsizeButtonsToFit" };
const char* const QFTabBarViewArchivingWidths[] = { "QFbuttonMinWidth", "QFbuttonMaxWidth", "QFbuttonOptimumWidth" };
const char* const QFTabBarViewArchivingLastFlags[]
    = { "QFuseOverflowMenu", "QFautomaticallyAnimates", "QFalwaysShowActiveTab" };

}

std::vector<std::shared_ptr<ui::View>> QFTabBarView::subviewsForCoding() const
{
    std::vector<std::shared_ptr<ui::View>> archived;
    for (const auto& subview : subviews())
        if (!std::dynamic_pointer_cast<QFAttachedTabBarButton>(subview))
            archived.push_back(subview);
    return archived;
}

void QFTabBarView::encodeWithCoder(fnd::Coder& coder) const
{
    ui::View::encodeWithCoder(coder);
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeObject(tbcore::archivedObject(m_tabView), "QFtabView");
    coder.encodeObject(tbcore::archivedObject(m_overflowPopUpButton), "QFOverflowPopUpButton");
    coder.encodeObject(tbcore::archivedObject(m_addTabButton), "QFaddTabButton");
    coder.encodeObject(tbcore::archivedObject(m_style), "QFstyle");
    coder.encodeInteger(long(m_orientation), "QForientation");
    tbcore::encodeFlags(coder,
        { m_onlyShowCloseOnHover, m_canCloseOnlyTab, m_disableTabClose, m_hideForSingleTab,
            m_allowsBackgroundTabClosing, m_allowsResizing, m_selectsTabsOnMouseDown, m_showAddTabButton,
            m_sizeButtonsToFit },
        QFTabBarViewArchivingFlags);
    tbcore::encodeWidths(
        coder, { m_buttonMinWidth, m_buttonMaxWidth, m_buttonOptimumWidth }, QFTabBarViewArchivingWidths);
    coder.encodeBool(m_isHidden, "QFisHidden");
    // The partner is a view beside the bar, held by its own superview: it is in the archive when that is, and the
    // bar alone does not carry it (its parent as partner would own the bar that names it).
    coder.encodeConditionalObject(tbcore::archivedObject(partnerView()), "QFpartnerView");
    coder.encodeConditionalObject(
        tbcore::archivedObject(std::dynamic_pointer_cast<fnd::Object>(delegate())), "QFdelegate");
    tbcore::encodeFlags(
        coder, { m_useOverflowMenu, m_automaticallyAnimates, m_alwaysShowActiveTab }, QFTabBarViewArchivingLastFlags);
}

bool QFTabBarView::initWithCoder(fnd::Coder& coder)
{
    // The view's part runs initWithFrame: the defaults, the style and both buttons, as in code.
    if (!ui::View::initWithCoder(coder))
        return false;
    if (!coder.allowsKeyedCoding())
        return true;
    auto tabView = fnd::decodeObjectOfClass<ui::TabView>(coder, "QFtabView");
    auto overflow = decodeSubviewForKey<QFOverflowPopUpButton>(coder, "QFOverflowPopUpButton");
    auto add = decodeSubviewForKey<QFRolloverButton>(coder, "QFaddTabButton");
    auto style = fnd::decodeObjectOfClass<QFTabStyle>(coder, "QFstyle");
    auto orientation = fnd::decodeBoundedIntegerForKey(coder, "QForientation", 0, 1, long(m_orientation));
    // A key the archive lacks keeps its default.
    bool* flags[] = { &m_onlyShowCloseOnHover, &m_canCloseOnlyTab, &m_disableTabClose, &m_hideForSingleTab,
        &m_allowsBackgroundTabClosing, &m_allowsResizing, &m_selectsTabsOnMouseDown, &m_showAddTabButton,
        &m_sizeButtonsToFit };
    long* widths[] = { &m_buttonMinWidth, &m_buttonMaxWidth, &m_buttonOptimumWidth };
    bool* lastFlags[] = { &m_useOverflowMenu, &m_automaticallyAnimates, &m_alwaysShowActiveTab };
    auto partner = tbcore::decodeTabBarSettings(coder,
        { flags, QFTabBarViewArchivingFlags, widths, QFTabBarViewArchivingWidths, &m_isHidden, "QFisHidden", lastFlags,
            QFTabBarViewArchivingLastFlags, "QFpartnerView" });
    auto delegateObject = coder.decodeObjectForKey("QFdelegate").object();
    if (coder.hasFailed())
        return false;
    if (partner.get() == this) {
        fnd::failDecoding(coder, "a tab bar view cannot be its own partner");
        return false;
    }

    m_orientation = orientation == 1 ? QFTabBarOrientation::Vertical : QFTabBarOrientation::Horizontal;
    tbcore::adoptArchivedButton(*this, m_overflowPopUpButton, overflow);
    tbcore::adoptArchivedButton(*this, m_addTabButton, add);
    if (style)
        m_style = style;
    if (m_tabBarWidth <= 9)
        m_tabBarWidth = 120;
    setPartnerView(partner);
    // Read last, as it is written last.
    setDelegate(std::dynamic_pointer_cast<QFTabBarViewDelegate>(delegateObject));
    // The tab view may still be reading its items (it refers to the bar as its delegate): the buttons are made once
    // the whole archive is read, and only then is it known where the items' views are.
    std::weak_ptr<QFTabBarView> weak = self();
    coder.performAfterDecoding([weak, tabView, &coder] {
        auto bar = weak.lock();
        if (!bar)
            return;
        if (tabView && tbcore::isInsideItsTabView(bar, *tabView)) {
            fnd::failDecoding(coder, "a tab bar view cannot be shown inside the tab view it serves");
            return;
        }
        bar->setTabView(tabView);
    });
    return true;
}
