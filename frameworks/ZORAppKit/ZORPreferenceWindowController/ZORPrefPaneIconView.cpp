#include "frameworks/ZORAppKit/ZORPreferenceWindowController/ZORPrefPaneIconView.h"

#include "frameworks/ZORAppKit/ZORPreferenceWindowController/ZORPreferenceWindowController.h"

#include "frameworks/AppKitExtensions/ZORNSImage_Extension.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Geometry.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/views/Event.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <iterator>

FND_REGISTER_CLASS(ZORPrefPaneIconView, ui::View)

namespace {

constexpr double IconSize = 32;
// Within an icon's cell: the picture starts 11 points below the cell's top and the title a point below the
// picture; the cell is the title's height + 46 high.
constexpr double ImageTop = 11;
constexpr double LabelTop = 44;
constexpr double CellExtra = 46;
// A band's caption starts 5 points below the band, and the icons follow the caption; each band takes 9 points
// more than its caption and rows.
constexpr double CaptionTop = 5;
constexpr double BandExtra = 9;
constexpr double EmptyHeight = 11;
// More columns than any overview has panes; a count past it lays out as it does, one row per category, and the row
// arithmetic stays within its integers.
constexpr long MaximumColumns = 1000;

long boundedColumns(long columns)
{
    return std::clamp(columns, 1L, MaximumColumns);
}

// The icons of a list, without its empty places: an empty place is no icon (addIcon takes none), and every layout
// step reads each icon's title and category.
std::vector<std::shared_ptr<ZORPrefPaneIcon>> prefPaneIconsOnly(
    const std::vector<std::shared_ptr<ZORPrefPaneIcon>>& icons)
{
    std::vector<std::shared_ptr<ZORPrefPaneIcon>> only;
    only.reserve(icons.size());
    std::copy_if(
        icons.begin(), icons.end(), std::back_inserter(only), [](const auto& icon) { return icon != nullptr; });
    return only;
}

// A toolbar takes an item identifier dragged under the first type; the second carries it by its own name.
const fnd::String ToolbarItemDragType = "NSToolbarIndividualItemDragType";
const fnd::String IconIdentifierPasteboardType = "NSToolbarItemIdentifierPboardType";

}

std::shared_ptr<ZORPrefPaneIconView> ZORPrefPaneIconView::create()
{
    return create(nullptr, {}, 7);
}

std::shared_ptr<ZORPrefPaneIconView> ZORPrefPaneIconView::create(
    const std::shared_ptr<ZORPreferenceWindowController>& controller,
    const std::vector<std::shared_ptr<ZORPrefPaneIcon>>& icons, long columns)
{
    auto view = std::make_shared<ZORPrefPaneIconView>();
    view->initWithController(controller, icons, columns);
    return view;
}

void ZORPrefPaneIconView::initWithFrame(gfx::Rect frame)
{
    View::initWithFrame(frame);
    m_iconLabelAttributes = { { txt::FontAttributeName,
        gfx::Font::systemFontOfSize(gfx::Font::systemFontSizeForControlSize(gfx::ControlSize::Small)) } };
    m_captionAttributes = { { txt::FontAttributeName, gfx::Font::boldSystemFontOfSize(gfx::Font::systemFontSize()) } };
}

void ZORPrefPaneIconView::initWithController(const std::shared_ptr<ZORPreferenceWindowController>& controller,
    const std::vector<std::shared_ptr<ZORPrefPaneIcon>>& icons, long columns)
{
    initWithFrame({});
    m_prefsController = controller;
    m_icons = prefPaneIconsOnly(icons);
    m_columns = boundedColumns(columns);
    dataChanged();
}

// Content.

void ZORPrefPaneIconView::setIcons(const std::vector<std::shared_ptr<ZORPrefPaneIcon>>& icons)
{
    m_icons = prefPaneIconsOnly(icons);
    dataChanged();
}

void ZORPrefPaneIconView::addIcon(const std::shared_ptr<ZORPrefPaneIcon>& icon)
{
    if (!icon)
        return;
    m_icons.push_back(icon);
    // Titles and categories may have changed since the lists were made (an icon's setters tell no one): then
    // they are made again.
    bool unchanged = m_groupsValid && m_groupedKeys.size() + 1 == m_icons.size();
    for (std::size_t i = 0; unchanged && i < m_groupedKeys.size(); ++i)
        unchanged = m_icons[i]->title() == m_groupedKeys[i].first && m_icons[i]->category() == m_groupedKeys[i].second;
    if (!unchanged) {
        dataChanged();
        return;
    }
    m_groupedKeys.emplace_back(icon->title(), icon->category());
    // The lists a rebuild would make: the new icon is the last of its category (of all icons without grouping),
    // so sorting by title puts it after the titles that sort with or before it; a new category comes last.
    auto byTitle = [](const auto& a, const auto& b) { return a->caseInsensitiveCompare(*b) < 0; };
    auto group = m_groups.end();
    if (m_sortByCategory)
        group = std::find_if(m_groups.begin(), m_groups.end(),
            [&](const auto& list) { return list.front()->category() == icon->category(); });
    else if (!m_groups.empty())
        group = m_groups.begin();
    if (group == m_groups.end())
        m_groups.push_back({ icon });
    else
        group->insert(std::upper_bound(group->begin(), group->end(), icon, byTitle), icon);
    arrangeGroups();
    setNeedsDisplay(true);
}

void ZORPrefPaneIconView::removeAllIcons()
{
    m_icons.clear();
    dataChanged();
}

void ZORPrefPaneIconView::setColumns(long columns)
{
    columns = boundedColumns(columns);
    if (columns == m_columns)
        return;
    m_columns = columns;
    dataChanged();
}

void ZORPrefPaneIconView::setSortByCategory(bool flag)
{
    if (flag == m_sortByCategory)
        return;
    m_sortByCategory = flag;
    dataChanged();
}

void ZORPrefPaneIconView::setCategorySortOrder(const std::optional<std::vector<fnd::String>>& order)
{
    m_categorySortOrder = order;
    dataChanged();
}

void ZORPrefPaneIconView::dataChanged()
{
    // Laid out at once rather than on the next look at the frame: callers size windows from the frame.
    rebuild();
    setNeedsDisplay(true);
}

// Layout.

void ZORPrefPaneIconView::rebuild()
{
    m_groups.clear();
    auto byTitle = [](const auto& a, const auto& b) { return a->caseInsensitiveCompare(*b) < 0; };
    if (m_sortByCategory) {
        for (const auto& icon : m_icons) {
            auto group = std::find_if(m_groups.begin(), m_groups.end(),
                [&](const auto& list) { return list.front()->category() == icon->category(); });
            if (group == m_groups.end())
                m_groups.push_back({ icon });
            else
                group->push_back(icon);
        }
        for (auto& list : m_groups)
            std::stable_sort(list.begin(), list.end(), byTitle);
    } else if (!m_icons.empty()) {
        m_groups.push_back(m_icons);
        std::stable_sort(m_groups.front().begin(), m_groups.front().end(), byTitle);
    }
    m_groupedKeys.clear();
    for (const auto& icon : m_icons)
        m_groupedKeys.emplace_back(icon->title(), icon->category());
    m_groupsValid = true;
    arrangeGroups();
}

void ZORPrefPaneIconView::arrangeGroups()
{
    m_iconListList = m_groups;
    if (m_sortByCategory)
        sortCategories();
    // The icon pressed may have moved (an icon added before it, the grouping switched) or gone; its place is
    // where it is now, and a press on an icon that is no longer there presses nothing.
    if (m_selectedIcon && !locateIcon(m_selectedIcon, m_selectedIconCategory, m_selectedIconIndex)) {
        m_selectedIcon = nullptr;
        m_selectedIconCategory = m_selectedIconIndex = -1;
    }
    calculateGeometry();
}

bool ZORPrefPaneIconView::locateIcon(const std::shared_ptr<ZORPrefPaneIcon>& icon, long& category, long& index) const
{
    for (std::size_t k = 0; k < m_iconListList.size(); ++k) {
        const auto& list = m_iconListList[k];
        if (auto found = std::find(list.begin(), list.end(), icon); found != list.end()) {
            category = long(k);
            index = long(found - list.begin());
            return true;
        }
    }
    return false;
}

void ZORPrefPaneIconView::sortCategories()
{
    if (!m_categorySortOrder) {
        std::vector<std::pair<fnd::String, std::vector<std::shared_ptr<ZORPrefPaneIcon>>>> named;
        for (auto& list : m_iconListList)
            named.emplace_back(categoryDisplayName(*list.front()), std::move(list));
        std::stable_sort(named.begin(), named.end(),
            [](const auto& a, const auto& b) { return a.first.caseInsensitiveCompare(b.first) < 0; });
        m_iconListList.clear();
        for (auto& [name, list] : named)
            m_iconListList.push_back(std::move(list));
        return;
    }
    std::vector<std::vector<std::shared_ptr<ZORPrefPaneIcon>>> ordered;
    std::vector<bool> taken(m_iconListList.size(), false);
    for (const auto& category : *m_categorySortOrder) {
        for (std::size_t i = 0; i < m_iconListList.size(); ++i) {
            if (!taken[i] && m_iconListList[i].front()->category() == category) {
                taken[i] = true;
                ordered.push_back(m_iconListList[i]);
                break;
            }
        }
    }
    for (std::size_t i = 0; i < m_iconListList.size(); ++i) {
        if (!taken[i])
            ordered.push_back(m_iconListList[i]);
    }
    m_iconListList = std::move(ordered);
}

void ZORPrefPaneIconView::calculateGeometry()
{
    m_horizontalPadding = 12;
    m_iconSpacing = 32;
    for (const auto& list : m_iconListList) {
        long column = 1;
        double previousWidth = 0;
        for (const auto& icon : list) {
            auto size = titleSize(*icon);
            double cellWidth = std::ceil(std::max(size.width, IconSize));
            m_iconHeight = std::max<float>(m_iconHeight, float(size.height + CellExtra));
            if (column > 1)
                m_iconSpacing = std::max<float>(m_iconSpacing, float((previousWidth + cellWidth) / 2));
            // An outer column's centre lies (padding + spacing) / 2 from the view's edge, which must hold half
            // its title and 6 points: so a title wider than the spacing, in the first or the last column, widens
            // the padding by its excess (half of it would leave the title cut off at the edge).
            if (column == 1 || column == m_columns)
                m_horizontalPadding = std::max<float>(m_horizontalPadding, float(size.width - m_iconSpacing + 12));
            previousWidth = cellWidth;
            column = column == m_columns ? 1 : column + 1;
        }
    }
    m_iconSpacing += 4;
    m_captionHeight = m_sortByCategory
        ? float(std::ceil(1.2 * gfx::Font::boldSystemFontOfSize(gfx::Font::systemFontSize())->pointSize()))
        : 0;

    double height = EmptyHeight;
    if (!m_iconListList.empty()) {
        auto last = long(m_iconListList.size()) - 1;
        height = frameForCategoryWithIndex(last).maxY();
    }
    setFrame({ 0, 0, std::ceil(m_columns * double(m_iconSpacing) + m_horizontalPadding), height });
}

long ZORPrefPaneIconView::rowsInCategory(long category) const
{
    if (category < 0 || category >= long(m_iconListList.size()))
        return 0;
    auto count = long(m_iconListList[std::size_t(category)].size());
    return (count + m_columns - 1) / m_columns;
}

double ZORPrefPaneIconView::categoryTop(long category) const
{
    double top = 0;
    category = std::min(category, long(m_iconListList.size()));
    for (long k = 0; k < category; ++k)
        top += rowsInCategory(k) * double(m_iconHeight) + m_captionHeight + BandExtra;
    return top;
}

gfx::Rect ZORPrefPaneIconView::frameForCategoryWithIndex(long category) const
{
    if (category < 0 || category >= long(m_iconListList.size()))
        return {};
    double y = categoryTop(category);
    double height = rowsInCategory(category) * double(m_iconHeight) + m_captionHeight + BandExtra;
    // The first band reaches 2 points further down, and so every later band starts 2 points lower; the last one
    // ends 6 points below its icons.
    if (category == 0)
        height += 2;
    else
        y += 2;
    if (category == long(m_iconListList.size()) - 1)
        height += 6;
    return { 0, y, bounds().width(), height };
}

ZORPrefPaneIconView::IconLayout ZORPrefPaneIconView::iconLayout(long category, long index) const
{
    long column = index % m_columns;
    long row = index / m_columns;
    gfx::Point position { (double(m_horizontalPadding) + m_iconSpacing) / 2 + column * double(m_iconSpacing),
        categoryTop(category) + CaptionTop + m_captionHeight + row * double(m_iconHeight) };
    // A place without an icon (asked for by a caller, or beyond the lists) has a grid position but no title.
    gfx::Size title;
    if (category >= 0 && category < long(m_iconListList.size()) && index >= 0
        && index < long(m_iconListList[std::size_t(category)].size()))
        title = titleSize(*m_iconListList[std::size_t(category)][std::size_t(index)]);
    return { position, { position.x - IconSize / 2, position.y + ImageTop, IconSize, IconSize },
        { position.x - title.width / 2, position.y + LabelTop, title.width, title.height } };
}

gfx::Point ZORPrefPaneIconView::positionForIconInCategoryWithIndex(long category, long index) const
{
    return iconLayout(category, index).position;
}

gfx::Rect ZORPrefPaneIconView::imageFrameForIconInCategoryWithIndex(long category, long index) const
{
    return iconLayout(category, index).imageFrame;
}

gfx::Rect ZORPrefPaneIconView::labelFrameForIconInCategoryWithIndex(long category, long index) const
{
    return iconLayout(category, index).labelFrame;
}

std::shared_ptr<ZORPrefPaneIcon> ZORPrefPaneIconView::iconAt(
    gfx::Point point, long* categoryIndex, long* iconIndex) const
{
    for (long k = 0; k < long(m_iconListList.size()); ++k) {
        if (!gfx::pointInRect(point, frameForCategoryWithIndex(k)))
            continue;
        const auto& list = m_iconListList[std::size_t(k)];
        for (long i = 0; i < long(list.size()); ++i) {
            auto layout = iconLayout(k, i);
            if (gfx::pointInRect(point, layout.imageFrame) || gfx::pointInRect(point, layout.labelFrame)) {
                if (categoryIndex)
                    *categoryIndex = k;
                if (iconIndex)
                    *iconIndex = i;
                return list[std::size_t(i)];
            }
        }
        return nullptr;
    }
    return nullptr;
}

gfx::Size ZORPrefPaneIconView::titleSize(const ZORPrefPaneIcon& icon) const
{
    // Each layout measures every title; a title is measured once (the label attributes never change).
    auto found = m_titleSizes.find(icon.title());
    if (found == m_titleSizes.end())
        found = m_titleSizes.emplace(icon.title(), txt::AttributedString(icon.title(), m_iconLabelAttributes).size())
                    .first;
    return found->second;
}

fnd::String ZORPrefPaneIconView::categoryDisplayName(const ZORPrefPaneIcon& icon) const
{
    if (auto controller = m_prefsController.lock())
        return controller->categoryDisplayNameForIdentifier(icon.itemIdentifier());
    return icon.category();
}

// Drawing.

void ZORPrefPaneIconView::drawRect(gfx::Rect)
{
    for (long k = 0; k < long(m_iconListList.size()); ++k) {
        drawBackgroundForCategoryWithIndex(k);
        const auto& list = m_iconListList[std::size_t(k)];
        for (long i = 0; i < long(list.size()); ++i)
            drawIcon(*list[std::size_t(i)], positionForIconInCategoryWithIndex(k, i),
                list[std::size_t(i)] == m_selectedIcon);
    }
}

void ZORPrefPaneIconView::drawBackgroundForCategoryWithIndex(long category)
{
    if (category < 0 || category >= long(m_iconListList.size()))
        throw fnd::Exception::range(
            fnd::String(fmt::format("-[{} drawBackgroundForCategoryWithIndex:]: index ({}) beyond bounds ({})",
                className().utf8(), category, m_iconListList.size())));
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    auto frame = frameForCategoryWithIndex(category);
    gfx::GraphicsStateGuard guard;
    if (category % 2 == 1) {
        context->setFillColor(*gfx::Color::colorWithCalibratedWhite(0.97, 0.99));
        context->fillRectUsingOperation(frame, gfx::CompositingOperation::PlusDarker);
    }
    if (!m_sortByCategory)
        return;
    if (category >= 1) {
        context->setFillColor(*gfx::Color::colorWithCalibratedWhite(0.84, 1));
        context->fillRect({ frame.minX(), frame.minY(), frame.width(), 1 });
    }
    double captionY = categoryTop(category) + CaptionTop;
    auto caption = categoryDisplayName(*m_iconListList[std::size_t(category)].front());
    txt::AttributedString(caption, m_captionAttributes).drawAtPoint({ 12, captionY });
}

void ZORPrefPaneIconView::drawIcon(const ZORPrefPaneIcon& icon, gfx::Point position, bool highlighted)
{
    if (auto image = icon.image()) {
        if (highlighted) {
            if (auto darkened
                = ZORNSImage_Extension::darkenedImageWithColor(*image, *gfx::Color::colorWithCalibratedWhite(0.7, 1)))
                image = darkened;
        }
        image->drawInRect({ position.x - IconSize / 2, position.y + ImageTop, IconSize, IconSize }, {},
            gfx::CompositingOperation::SourceAtop, 1.0);
    }
    auto title = txt::AttributedString(icon.title(), m_iconLabelAttributes);
    auto size = title.size();
    title.drawAtPoint({ position.x - size.width / 2, position.y + LabelTop });
}

// Mouse.

void ZORPrefPaneIconView::mouseDown(const ui::Event& event)
{
    m_mouseDownPoint = convertPointFromView(event.locationInWindow(), nullptr);
    m_selectedIcon = iconAt(m_mouseDownPoint, &m_selectedIconCategory, &m_selectedIconIndex);
    setNeedsDisplay(true);
}

void ZORPrefPaneIconView::mouseUp(const ui::Event& event)
{
    auto self = shared_from_this();
    auto point = convertPointFromView(event.locationInWindow(), nullptr);
    auto pressed = std::move(m_selectedIcon);
    m_selectedIcon = nullptr;
    setNeedsDisplay(true);
    auto icon = iconAt(point);
    if (pressed && icon == pressed) {
        if (auto target = icon->target(); target && target->respondsTo(icon->selector()))
            target->perform(icon->selector(), fnd::Value(std::static_pointer_cast<fnd::Object>(icon)));
    }
}

void ZORPrefPaneIconView::mouseDragged(const ui::Event& event)
{
    if (m_selectedIcon)
        startDrag(event);
}

ui::DragOperation ZORPrefPaneIconView::draggingSourceOperationMaskForLocal(bool isLocal)
{
    return isLocal ? ui::DragOperations::Every : ui::DragOperations::None;
}

void ZORPrefPaneIconView::startDrag(const ui::Event& event)
{
    auto self = shared_from_this();
    auto icon = std::move(m_selectedIcon);
    m_selectedIcon = nullptr;
    // The drag starts from where the icon is now; the place saved at the press may be another icon's or none.
    long category = -1;
    long index = -1;
    if (!locateIcon(icon, category, index)) {
        setNeedsDisplay(true);
        return;
    }
    auto title = txt::AttributedString(icon->title(), m_iconLabelAttributes);
    auto titleSize = title.size();
    gfx::Size size { std::max(titleSize.width, IconSize), titleSize.height + 33 };

    auto picture = gfx::Image::imageWithSize(size);
    picture->lockFocusFlipped(true);
    if (auto image = icon->image())
        image->drawInRect(
            { (size.width - IconSize) / 2, 0, IconSize, IconSize }, {}, gfx::CompositingOperation::SourceOver, 1.0);
    title.drawAtPoint({ (size.width - titleSize.width) / 2, 33 });
    picture->unlockFocus();
    auto dragImage = gfx::Image::imageWithSize(size);
    dragImage->lockFocus();
    picture->drawInRect({ {}, size }, {}, gfx::CompositingOperation::SourceOver, 0.7);
    dragImage->unlockFocus();

    auto pasteboard = ui::Pasteboard::pasteboardWithName(ui::PasteboardName::Drag);
    pasteboard->declareTypes({ ToolbarItemDragType, IconIdentifierPasteboardType });
    pasteboard->setString(icon->itemIdentifier(), ToolbarItemDragType);
    pasteboard->setString(icon->itemIdentifier(), IconIdentifierPasteboardType);
    display();

    auto position = positionForIconInCategoryWithIndex(category, index);
    // The image's lower left corner, in this flipped view: its top is the picture's top.
    gfx::Point at { position.x - size.width / 2, position.y + ImageTop + size.height };
    ui::dragImage(*this, dragImage, at, {}, event, pasteboard, std::static_pointer_cast<fnd::Object>(self), true);
}
