#include "platform/foundation/archiving/TypedDecoding.h"
#include "platform/ui/containers/Box.h"
#include "platform/ui/containers/ClipView.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/containers/Scroller.h"
#include "platform/ui/containers/SplitView.h"
#include "platform/ui/containers/TabView.h"
#include "platform/ui/containers/TabViewItem.h"
#include "platform/ui/text/TextFieldCell.h"

#include <unordered_set>

// Archives of the containers. Their parts (the clip view, the scrollers, the document, a box's content view) are
// archived among the subviews and named again under keys of their own, so a decoded container takes back the very
// views it holds in its subviews.
namespace ui {

namespace {

constexpr double ContainersCodingLargestLength = 1e6;

fnd::Value containersCodingObject(const std::shared_ptr<fnd::Object>& object)
{
    return object ? fnd::Value(object) : fnd::Value();
}

}

// The clip view: "NSDocView", "NSBGColor", "NSDrawsBackground", "NSCopiesOnScroll".

void ClipView::encodeWithCoder(fnd::Coder& coder) const
{
    View::encodeWithCoder(coder);
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeObject(containersCodingObject(m_documentView), "NSDocView");
    coder.encodeObject(containersCodingObject(m_backgroundColor), "NSBGColor");
    coder.encodeBool(m_drawsBackground, "NSDrawsBackground");
    coder.encodeBool(m_copiesOnScroll, "NSCopiesOnScroll");
}

bool ClipView::initWithCoder(fnd::Coder& coder)
{
    if (!View::initWithCoder(coder) || !coder.allowsKeyedCoding())
        return !coder.hasFailed();
    auto document = decodeSubviewForKey<View>(coder, "NSDocView");
    auto color = fnd::decodeObjectOfClass<gfx::Color>(coder, "NSBGColor");
    if (coder.hasFailed())
        return false;
    stopObservingDocument();
    m_documentView = document;
    if (document) {
        document->setPostsFrameChangedNotifications(true);
        document->setPostsBoundsChangedNotifications(true);
        observeDocument();
    }
    if (color)
        m_backgroundColor = std::move(color);
    if (coder.containsValueForKey("NSDrawsBackground"))
        m_drawsBackground = coder.decodeBoolForKey("NSDrawsBackground");
    if (coder.containsValueForKey("NSCopiesOnScroll"))
        m_copiesOnScroll = coder.decodeBoolForKey("NSCopiesOnScroll");
    return true;
}

// The scroll view: "NSContentView", "NSVScroller", "NSHScroller", "NSHeaderClipView", "NSCornerView", "NSHRuler",
// "NSVRuler", the switches "NSHasVerticalScroller", "NSHasHorizontalScroller", "NSAutohidesScrollers",
// "NSHasHorizontalRuler", "NSHasVerticalRuler", "NSRulersVisible", "NSScrollerStyle", "NSBorderType", and the line
// and page amounts "NSVerticalLineScroll", "NSHorizontalLineScroll", "NSVerticalPageScroll", "NSHorizontalPageScroll".

void ScrollView::encodeWithCoder(fnd::Coder& coder) const
{
    View::encodeWithCoder(coder);
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeObject(containersCodingObject(m_contentView), "NSContentView");
    coder.encodeObject(containersCodingObject(m_verticalScroller), "NSVScroller");
    coder.encodeObject(containersCodingObject(m_horizontalScroller), "NSHScroller");
    coder.encodeObject(containersCodingObject(m_headerClipView), "NSHeaderClipView");
    coder.encodeObject(containersCodingObject(m_cornerView), "NSCornerView");
    coder.encodeObject(containersCodingObject(m_horizontalRuler), "NSHRuler");
    coder.encodeObject(containersCodingObject(m_verticalRuler), "NSVRuler");
    coder.encodeBool(m_hasVerticalScroller, "NSHasVerticalScroller");
    coder.encodeBool(m_hasHorizontalScroller, "NSHasHorizontalScroller");
    coder.encodeBool(m_autohidesScrollers, "NSAutohidesScrollers");
    coder.encodeBool(m_hasHorizontalRuler, "NSHasHorizontalRuler");
    coder.encodeBool(m_hasVerticalRuler, "NSHasVerticalRuler");
    coder.encodeBool(m_rulersVisible, "NSRulersVisible");
    coder.encodeInt(static_cast<int>(m_scrollerStyle), "NSScrollerStyle");
    coder.encodeInt(static_cast<int>(m_borderType), "NSBorderType");
    coder.encodeDouble(m_verticalLineScroll, "NSVerticalLineScroll");
    coder.encodeDouble(m_horizontalLineScroll, "NSHorizontalLineScroll");
    coder.encodeDouble(m_verticalPageScroll, "NSVerticalPageScroll");
    coder.encodeDouble(m_horizontalPageScroll, "NSHorizontalPageScroll");
}

bool ScrollView::initWithCoder(fnd::Coder& coder)
{
    if (!View::initWithCoder(coder) || !coder.allowsKeyedCoding())
        return !coder.hasFailed();
    auto content = decodeSubviewForKey<ClipView>(coder, "NSContentView");
    auto vertical = decodeSubviewForKey<Scroller>(coder, "NSVScroller");
    auto horizontal = decodeSubviewForKey<Scroller>(coder, "NSHScroller");
    auto header = decodeSubviewForKey<ClipView>(coder, "NSHeaderClipView");
    auto corner = decodeSubviewForKey<View>(coder, "NSCornerView");
    auto horizontalRuler = decodeSubviewForKey<View>(coder, "NSHRuler");
    auto verticalRuler = decodeSubviewForKey<View>(coder, "NSVRuler");
    auto flag = [&](const char* key, bool fallback) {
        return coder.containsValueForKey(key) ? coder.decodeBoolForKey(key) : fallback;
    };
    auto amount = [&](const char* key, double fallback) {
        return fnd::decodeBoundedDoubleForKey(coder, key, 0, ContainersCodingLargestLength, fallback);
    };
    bool hasVertical = flag("NSHasVerticalScroller", false);
    bool hasHorizontal = flag("NSHasHorizontalScroller", false);
    m_autohidesScrollers = flag("NSAutohidesScrollers", m_autohidesScrollers);
    m_hasHorizontalRuler = flag("NSHasHorizontalRuler", m_hasHorizontalRuler);
    m_hasVerticalRuler = flag("NSHasVerticalRuler", m_hasVerticalRuler);
    m_rulersVisible = flag("NSRulersVisible", m_rulersVisible);
    m_scrollerStyle = static_cast<ScrollerStyle>(
        fnd::decodeBoundedIntegerForKey(coder, "NSScrollerStyle", 0, 1, static_cast<int>(m_scrollerStyle)));
    m_borderType = static_cast<BorderType>(
        fnd::decodeBoundedIntegerForKey(coder, "NSBorderType", 0, 3, static_cast<int>(m_borderType)));
    m_verticalLineScroll = amount("NSVerticalLineScroll", m_verticalLineScroll);
    m_horizontalLineScroll = amount("NSHorizontalLineScroll", m_horizontalLineScroll);
    m_verticalPageScroll = amount("NSVerticalPageScroll", m_verticalPageScroll);
    m_horizontalPageScroll = amount("NSHorizontalPageScroll", m_horizontalPageScroll);
    if (coder.hasFailed())
        return false;

    // The parts initWithFrame made went with the subviews the archive replaced.
    m_contentView = nullptr;
    m_verticalScroller = vertical;
    m_horizontalScroller = horizontal;
    m_headerClipView = header;
    m_cornerView = corner;
    m_horizontalRuler = horizontalRuler;
    m_verticalRuler = verticalRuler;
    m_hasVerticalScroller = hasVertical;
    m_hasHorizontalScroller = hasHorizontal;
    for (const auto& scroller : { vertical, horizontal })
        if (scroller) {
            scroller->setTarget(std::static_pointer_cast<fnd::Object>(shared_from_this()));
            scroller->setAction("_doScroller:");
        }
    if (content)
        m_contentView = content;
    else
        setContentView(ClipView::create({ 0, 0, frame().width(), frame().height() }));
    tile();
    return true;
}

// The box: "NSContentView", "NSTitleCell", "NSBoxType", "NSBorderType", "NSTitlePosition", "NSOffsets" (the content
// margins), "NSFillColor", "NSBorderColor", "NSBorderWidth", "NSCornerRadius", "NSTransparent".

void Box::encodeWithCoder(fnd::Coder& coder) const
{
    View::encodeWithCoder(coder);
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeObject(containersCodingObject(m_contentView), "NSContentView");
    coder.encodeObject(containersCodingObject(m_titleCell), "NSTitleCell");
    coder.encodeInt(static_cast<int>(m_boxType), "NSBoxType");
    coder.encodeInt(static_cast<int>(m_borderType), "NSBorderType");
    coder.encodeInt(static_cast<int>(m_titlePosition), "NSTitlePosition");
    coder.encodeSize(m_contentViewMargins, "NSOffsets");
    coder.encodeObject(containersCodingObject(m_fillColor), "NSFillColor");
    coder.encodeObject(containersCodingObject(m_borderColor), "NSBorderColor");
    coder.encodeDouble(m_borderWidth, "NSBorderWidth");
    coder.encodeDouble(m_cornerRadius, "NSCornerRadius");
    coder.encodeBool(m_transparent, "NSTransparent");
}

bool Box::initWithCoder(fnd::Coder& coder)
{
    if (!View::initWithCoder(coder) || !coder.allowsKeyedCoding())
        return !coder.hasFailed();
    auto content = decodeSubviewForKey<View>(coder, "NSContentView");
    auto titleCell = fnd::decodeObjectOfClass<TextFieldCell>(coder, "NSTitleCell");
    auto fill = fnd::decodeObjectOfClass<gfx::Color>(coder, "NSFillColor");
    auto border = fnd::decodeObjectOfClass<gfx::Color>(coder, "NSBorderColor");
    m_boxType
        = static_cast<BoxType>(fnd::decodeBoundedIntegerForKey(coder, "NSBoxType", 0, 4, static_cast<int>(m_boxType)));
    m_borderType = static_cast<BorderType>(
        fnd::decodeBoundedIntegerForKey(coder, "NSBorderType", 0, 3, static_cast<int>(m_borderType)));
    m_titlePosition = static_cast<TitlePosition>(
        fnd::decodeBoundedIntegerForKey(coder, "NSTitlePosition", 0, 6, static_cast<int>(m_titlePosition)));
    if (coder.containsValueForKey("NSOffsets")) {
        auto margins = coder.decodeSizeForKey("NSOffsets");
        if (!(margins.width >= 0 && margins.width <= LargestLength && margins.height >= 0
                && margins.height <= LargestLength))
            fnd::failDecoding(coder, "a box's content margins are out of range");
        else
            m_contentViewMargins = margins;
    }
    m_borderWidth = fnd::decodeBoundedDoubleForKey(coder, "NSBorderWidth", 0, LargestLength, m_borderWidth);
    m_cornerRadius = fnd::decodeBoundedDoubleForKey(coder, "NSCornerRadius", 0, LargestLength, m_cornerRadius);
    if (coder.containsValueForKey("NSTransparent"))
        m_transparent = coder.decodeBoolForKey("NSTransparent");
    if (coder.hasFailed())
        return false;
    if (titleCell)
        m_titleCell = std::move(titleCell);
    if (fill)
        m_fillColor = std::move(fill);
    if (border)
        m_borderColor = std::move(border);
    // A box archived without a content view reads back without one; an archive that does not name one at all gets
    // a new, empty one.
    m_contentView = nullptr;
    if (content)
        m_contentView = std::move(content);
    else if (!coder.containsValueForKey("NSContentView"))
        setContentView(View::create());
    tile();
    return true;
}

// The split view.

void SplitView::encodeWithCoder(fnd::Coder& coder) const
{
    View::encodeWithCoder(coder);
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeBool(m_vertical, "NSIsVertical");
    coder.encodeInt(static_cast<int>(m_dividerStyle), "NSDividerStyle");
    coder.encodeObject(containersCodingObject(m_dividerColor), "NSDividerColor");
    coder.encodeObject(fnd::Value(m_autosaveName), "NSAutosaveName");
    coder.encodeConditionalObject(
        containersCodingObject(std::dynamic_pointer_cast<fnd::Object>(delegate())), "NSDelegate");
}

bool SplitView::initWithCoder(fnd::Coder& coder)
{
    // The archive's frames are the layout: the subviews it adds are not adjusted on the way in (that laid them out
    // anew, across the orientation read after them, so a split view did not archive as it was read).
    m_adjusting = true;
    const bool viewRead = View::initWithCoder(coder);
    m_adjusting = false;
    if (!viewRead || !coder.allowsKeyedCoding())
        return !coder.hasFailed();
    bool vertical = coder.decodeBoolForKey("NSIsVertical");
    auto style = fnd::decodeBoundedIntegerForKey(coder, "NSDividerStyle", 1, 3, static_cast<int>(m_dividerStyle));
    auto color = fnd::decodeObjectOfClass<gfx::Color>(coder, "NSDividerColor");
    auto name = fnd::decodeStringForKey(coder, "NSAutosaveName");
    auto delegateObject = coder.decodeObjectForKey("NSDelegate").object();
    if (coder.hasFailed())
        return false;
    m_vertical = vertical;
    m_dividerStyle = static_cast<SplitViewDividerStyle>(style);
    if (color)
        m_dividerColor = std::move(color);
    // Stored without restoring: the archive's frames are the layout.
    m_autosaveName = name;
    if (auto d = std::dynamic_pointer_cast<SplitViewDelegate>(delegateObject))
        m_delegate = d;
    return true;
}

// Tab views and their items.

void TabViewItem::encodeWithCoder(fnd::Coder& coder) const
{
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeObject(fnd::Value(m_label), "NSLabel");
    const bool archivable = !m_identifier.object() || dynamic_cast<const fnd::Coding*>(m_identifier.object().get());
    if (archivable && !m_identifier.isNil())
        coder.encodeObject(m_identifier, "NSIdentifier");
    coder.encodeObject(containersCodingObject(m_view), "NSView");
    if (!m_toolTip.isEmpty())
        coder.encodeObject(fnd::Value(m_toolTip), "NSToolTip");
}

bool TabViewItem::initWithCoder(fnd::Coder& coder)
{
    if (!coder.allowsKeyedCoding())
        return false;
    auto label = fnd::decodeStringForKey(coder, "NSLabel");
    auto identifier = coder.decodeObjectForKey("NSIdentifier");
    // Owned: a view that holds this item's tab view would have to be shown inside itself.
    auto view = fnd::decodeObjectOfClass<View>(coder, "NSView", fnd::Ownership::Owned);
    auto tip = fnd::decodeStringForKey(coder, "NSToolTip");
    if (coder.hasFailed())
        return false;
    m_label = label;
    m_identifier = identifier;
    m_view = view;
    m_toolTip = tip;
    return true;
}

void TabView::encodeWithCoder(fnd::Coder& coder) const
{
    View::encodeWithCoder(coder);
    if (!coder.allowsKeyedCoding())
        return;
    fnd::Array items;
    for (const auto& item : m_items)
        items.emplace_back(item);
    coder.encodeObject(fnd::Value(std::move(items)), "NSTabViewItems");
    coder.encodeObject(containersCodingObject(selectedTabViewItem()), "NSSelectedTabViewItem");
    coder.encodeInt(static_cast<int>(m_type), "NSTabViewType");
    coder.encodeBool(m_drawsBackground, "NSDrawsBackground");
    coder.encodeObject(containersCodingObject(m_font), "NSFont");
    coder.encodeConditionalObject(
        containersCodingObject(std::dynamic_pointer_cast<fnd::Object>(delegate())), "NSDelegate");
}

bool TabView::initWithCoder(fnd::Coder& coder)
{
    if (!View::initWithCoder(coder) || !coder.allowsKeyedCoding())
        return !coder.hasFailed();
    // Owned: an item still being decoded is one whose view holds this tab view, which would then hold that item.
    auto items = fnd::decodeArrayOfClass<TabViewItem>(coder, "NSTabViewItems", 10000, fnd::Ownership::Owned);
    auto selected = fnd::decodeObjectOfClass<TabViewItem>(coder, "NSSelectedTabViewItem");
    auto type = fnd::decodeBoundedIntegerForKey(coder, "NSTabViewType", 0, 6, static_cast<int>(m_type));
    bool drawsBackground
        = !coder.containsValueForKey("NSDrawsBackground") || coder.decodeBoolForKey("NSDrawsBackground");
    auto font = fnd::decodeObjectOfClass<gfx::Font>(coder, "NSFont");
    auto delegateObject = coder.decodeObjectForKey("NSDelegate").object();
    if (coder.hasFailed())
        return false;
    if (selected && std::ranges::find(items, selected) == items.end()) {
        fnd::failDecoding(coder, "a tab view's selected item is not one of its items");
        return false;
    }
    auto self = std::static_pointer_cast<TabView>(shared_from_this());
    for (const auto& item : items) {
        if (item->tabView() && item->tabView() != self) {
            fnd::failDecoding(coder, "a tab view item belongs to two tab views");
            return false;
        }
        item->setTabView(self);
        item->setTabState(item == selected ? TabState::Selected : TabState::Background);
    }
    std::unordered_set<const TabViewItem*> distinct;
    for (const auto& item : items)
        distinct.insert(item.get());
    m_itemsMayRepeat = distinct.size() != items.size();
    m_items = std::move(items);
    itemsDidChange();
    m_selected = selected;
    m_type = static_cast<TabViewType>(type);
    m_drawsBackground = drawsBackground;
    if (font)
        m_font = std::move(font);
    if (auto d = std::dynamic_pointer_cast<TabViewDelegate>(delegateObject))
        m_delegate = d;
    showSelectedView();
    return true;
}

}
