// Archiving the tab bar view: the settings only. The tab view, the partner view and the delegate are outlets an
// interface file connects; the delegate in particular is never kept alive by the bar.

#include "frameworks/QFTabBarView/QFTabBarView.h"

#include "frameworks/QFTabBarView/QFTabBarController.h"

#include <algorithm>

void QFTabBarView::encodeWithCoder(fnd::Coder& coder) const
{
    if (!coder.allowsKeyedCoding())
        return;
    if (auto coding = std::dynamic_pointer_cast<fnd::Coding>(m_style))
        coder.encodeObject(fnd::Value(std::static_pointer_cast<fnd::Object>(m_style)), "QFstyle");
    coder.encodeInteger(long(m_orientation), "QForientation");
    coder.encodeBool(m_onlyShowCloseOnHover, "QFonlyShowCloseOnHover");
    coder.encodeBool(m_canCloseOnlyTab, "QFcanCloseOnlyTab");
    coder.encodeBool(m_disableTabClose, "QFdisableTabClose");
    coder.encodeBool(m_hideForSingleTab, "QFhideForSingleTab");
    coder.encodeBool(m_allowsBackgroundTabClosing, "QFallowsBackgroundTabClosing");
    coder.encodeBool(m_allowsResizing, "QFallowsResizing");
    coder.encodeBool(m_selectsTabsOnMouseDown, "QFselectsTabsOnMouseDown");
    coder.encodeBool(m_showAddTabButton, "QFshowAddTabButton");
    coder.encodeBool(m_sizeButtonsToFit, "QFsizeButtonsToFit");
    coder.encodeInteger(m_buttonMinWidth, "QFbuttonMinWidth");
    coder.encodeInteger(m_buttonMaxWidth, "QFbuttonMaxWidth");
    coder.encodeInteger(m_buttonOptimumWidth, "QFbuttonOptimumWidth");
    coder.encodeBool(m_isHidden, "QFisHidden");
    coder.encodeBool(m_useOverflowMenu, "QFuseOverflowMenu");
    coder.encodeBool(m_automaticallyAnimates, "QFautomaticallyAnimates");
    coder.encodeBool(m_alwaysShowActiveTab, "QFalwaysShowActiveTab");
}

bool QFTabBarView::initWithCoder(fnd::Coder& coder)
{
    if (!m_controller)
        initWithFrame({});
    if (!coder.allowsKeyedCoding())
        return true;
    // A key the archive lacks keeps its default.
    auto readBool = [&](const char* key, bool& value) {
        if (coder.containsValueForKey(key))
            value = coder.decodeBoolForKey(key);
    };
    auto readLong = [&](const char* key, long& value, long minimum, long maximum) {
        if (coder.containsValueForKey(key))
            value = std::clamp<long>(long(coder.decodeIntegerForKey(key)), minimum, maximum);
    };
    if (auto style = coder.decodeObjectForKey("QFstyle").objectAs<QFTabStyle>())
        m_style = style;
    if (coder.containsValueForKey("QForientation"))
        m_orientation = coder.decodeIntegerForKey("QForientation") == 1 ? QFTabBarOrientation::Vertical
                                                                        : QFTabBarOrientation::Horizontal;
    readBool("QFonlyShowCloseOnHover", m_onlyShowCloseOnHover);
    readBool("QFcanCloseOnlyTab", m_canCloseOnlyTab);
    readBool("QFdisableTabClose", m_disableTabClose);
    readBool("QFhideForSingleTab", m_hideForSingleTab);
    readBool("QFallowsBackgroundTabClosing", m_allowsBackgroundTabClosing);
    readBool("QFallowsResizing", m_allowsResizing);
    readBool("QFselectsTabsOnMouseDown", m_selectsTabsOnMouseDown);
    readBool("QFshowAddTabButton", m_showAddTabButton);
    readBool("QFsizeButtonsToFit", m_sizeButtonsToFit);
    // Widths outside what a screen could show are a damaged archive: kept within sane bounds.
    readLong("QFbuttonMinWidth", m_buttonMinWidth, 0, 100000);
    readLong("QFbuttonMaxWidth", m_buttonMaxWidth, 0, 100000);
    readLong("QFbuttonOptimumWidth", m_buttonOptimumWidth, 0, 100000);
    readBool("QFisHidden", m_isHidden);
    readBool("QFuseOverflowMenu", m_useOverflowMenu);
    readBool("QFautomaticallyAnimates", m_automaticallyAnimates);
    readBool("QFalwaysShowActiveTab", m_alwaysShowActiveTab);
    if (m_tabBarWidth <= 9)
        m_tabBarWidth = 120;
    _updateAddTabButton();
    _updateOverflowPopUpButton();
    return coder.error() == std::nullopt;
}
