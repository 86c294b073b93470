#include "platform/ui/containers/ToolbarCustomizationPalette.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Image.h"
#include "platform/ui/containers/ToolbarView.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/PopUpButton.h"
#include "platform/ui/dragging/Pasteboard.h"
#include "platform/ui/look/ControlLook.h"
#include "platform/ui/text/TextField.h"
#include "platform/ui/views/detail/FlippedView.h"
#include "platform/ui/views/detail/PanelText.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

constexpr double SheetWidth = 560;
constexpr double PaletteMargin = 20;
constexpr double CellWidth = 84;

const ToolbarMetrics& paletteMetrics()
{
    static const auto metrics = ToolbarMetrics::forModes(ToolbarDisplayMode::IconAndLabel, ToolbarSizeMode::Regular);
    return metrics;
}

// A picture of a view for the drag.
std::shared_ptr<gfx::Image> pictureOf(View& view)
{
    auto image = gfx::Image::imageWithSize(view.bounds().size);
    if (auto rep = view.bitmapImageRepForCachingDisplayInRect(view.bounds())) {
        view.cacheDisplayInRect(view.bounds(), *rep);
        image->addRepresentation(rep);
    }
    return image;
}

void startDrag(View& view, const Event& event, const fnd::String& type, const fnd::String& string)
{
    auto pasteboard = Pasteboard::pasteboardWithName(PasteboardName::Drag);
    pasteboard->declareTypes({ type });
    pasteboard->setString(string, type);
    auto b = view.bounds();
    dragImage(view, pictureOf(view), { b.minX(), b.maxY() }, {}, event, pasteboard,
        std::static_pointer_cast<fnd::Object>(view.shared_from_this()), true);
}

}

// An allowed item.

FND_REGISTER_CLASS(ToolbarPaletteItemView, View)

std::shared_ptr<ToolbarPaletteItemView> ToolbarPaletteItemView::create(
    gfx::Rect frame, const std::shared_ptr<ToolbarItem>& item)
{
    auto view = makeView<ToolbarPaletteItemView>(frame);
    view->m_item = item;
    return view;
}

void ToolbarPaletteItemView::drawRect(gfx::Rect)
{
    if (!m_item)
        return;
    auto b = bounds();
    const auto& m = paletteMetrics();
    if (m_item->view()) {
        // A view cannot be in two places: the palette shows its outline and its label.
        gfx::Rect box { std::round(b.midX() - 24) + 0.5, b.minY() + 8.5, 48, m.iconSize - 6 };
        ControlLook::borderColor()->setStroke();
        gfx::BezierPath::bezierPathWithRoundedRect(box, 4, 4)->stroke();
        detail::drawLabel(m_item->paletteLabel(), { b.minX(), b.minY() + 5 + m.iconSize + 2, b.width(), m.labelHeight },
            m.labelFont, ControlLook::textColor(true), txt::TextAlignment::Center);
        return;
    }
    ToolbarItemViewer::drawItem(*m_item, b, m, false, false, true);
    if (m_item->isSpace())
        detail::drawLabel(m_item->paletteLabel(), { b.minX(), b.minY() + 5 + m.iconSize + 2, b.width(), m.labelHeight },
            m.labelFont, ControlLook::textColor(true), txt::TextAlignment::Center);
}

void ToolbarPaletteItemView::mouseDown(const Event& event)
{
    if (m_item)
        startDrag(*this, event, ToolbarItemDragType, m_item->itemIdentifier());
}

// The default set.

FND_REGISTER_CLASS(ToolbarDefaultSetView, View)

std::shared_ptr<ToolbarDefaultSetView> ToolbarDefaultSetView::create(
    gfx::Rect frame, std::vector<std::shared_ptr<ToolbarItem>> items)
{
    auto view = makeView<ToolbarDefaultSetView>(frame);
    view->m_items = std::move(items);
    return view;
}

void ToolbarDefaultSetView::drawRect(gfx::Rect)
{
    auto b = bounds();
    ControlLook::FaceState face;
    ControlLook::drawOutlinedFace(b, ControlLook::FaceShape::RoundedRect, ControlSize::Regular, face);
    const auto& m = paletteMetrics();
    double x = b.minX() + 8;
    for (const auto& item : m_items) {
        double w = item->isFlexible() ? 24 : std::ceil(m.minimumWidthOf(*item));
        if (x + w > b.maxX() - 8)
            break;
        ToolbarItemViewer::drawItem(*item, { x, b.minY() + 2, w, b.height() - 4 }, m, false, false, false);
        x += w + 4;
    }
}

void ToolbarDefaultSetView::mouseDown(const Event& event)
{
    startDrag(*this, event, ToolbarDefaultSetDragType, "default");
}

// The sheet.

FND_REGISTER_CLASS(ToolbarCustomizationPalette, Window)

void ToolbarCustomizationPalette::describeClass(fnd::ClassBuilder<ToolbarCustomizationPalette>& c)
{
    c.action("done:", &ToolbarCustomizationPalette::done);
    c.action("displayModeChanged:", &ToolbarCustomizationPalette::displayModeChanged);
    c.action("sizeModeChanged:", &ToolbarCustomizationPalette::sizeModeChanged);
}

std::shared_ptr<ToolbarCustomizationPalette> ToolbarCustomizationPalette::create(
    const std::shared_ptr<Toolbar>& toolbar)
{
    auto sheet = fnd::makeObject<ToolbarCustomizationPalette>();
    sheet->m_toolbar = toolbar;
    sheet->initWithContentRect({ 0, 0, SheetWidth, 300 }, WindowStyleMask::DocModal);
    sheet->build();
    return sheet;
}

void ToolbarCustomizationPalette::build()
{
    auto toolbar = m_toolbar.lock();
    if (!toolbar)
        return;
    auto self = std::static_pointer_cast<ToolbarCustomizationPalette>(shared_from_this());
    auto content = detail::FlippedView::create({ 0, 0, SheetWidth, 300 });
    const auto& m = paletteMetrics();
    double y = 16;

    auto intro = TextField::labelWithString(detail::panelText(
        "Drag your favourite items into the toolbar…", "Drag your favourite items into the toolbar…"));
    intro->setFrameOrigin({ PaletteMargin, y });
    content->addSubview(intro);
    y += intro->frame().height() + 8;

    double cellHeight = m.itemHeight + 4;
    int columns = int((SheetWidth - 2 * PaletteMargin) / CellWidth);
    int index = 0;
    for (const auto& id : toolbar->allowedItemIdentifiers()) {
        auto item = toolbar->makeItem(id, false);
        if (!item)
            continue;
        gfx::Rect cell { PaletteMargin + (index % columns) * CellWidth, y + (index / columns) * cellHeight, CellWidth,
            cellHeight };
        auto view = ToolbarPaletteItemView::create(cell, item);
        content->addSubview(view);
        m_paletteItems.push_back(view);
        ++index;
    }
    int rows = (index + columns - 1) / columns;
    y += rows * cellHeight + 14;

    auto orDefault = TextField::labelWithString(
        detail::panelText("…or drag the default set into the toolbar.", "…or drag the default set into the toolbar."));
    orDefault->setFrameOrigin({ PaletteMargin, y });
    content->addSubview(orDefault);
    y += orDefault->frame().height() + 6;

    std::vector<std::shared_ptr<ToolbarItem>> defaults;
    for (const auto& id : toolbar->defaultItemIdentifiers()) {
        if (auto item = toolbar->makeItem(id, false))
            defaults.push_back(item);
    }
    m_defaultSet = ToolbarDefaultSetView::create(
        { PaletteMargin, y, SheetWidth - 2 * PaletteMargin, m.itemHeight + 4 }, defaults);
    content->addSubview(m_defaultSet);
    y += m.itemHeight + 4 + 18;

    auto show = TextField::labelWithString(detail::panelText("Show", "Show"));
    m_displayMode = PopUpButton::create({ 0, 0, 150, 24 });
    m_displayMode->addItemsWithTitles({ detail::panelText("Icon and Text", "Icon and Text"),
        detail::panelText("Icon Only", "Icon Only"), detail::panelText("Text Only", "Text Only") });
    auto mode = toolbar->displayMode() == ToolbarDisplayMode::Default ? ToolbarDisplayMode::IconAndLabel
                                                                      : toolbar->displayMode();
    m_displayMode->selectItemAtIndex(long(mode) - 1);
    m_displayMode->setTarget(self);
    m_displayMode->setAction("displayModeChanged:");
    m_smallSize
        = Button::checkboxWithTitle(detail::panelText("Use small size", "Use small size"), self, "sizeModeChanged:");
    m_smallSize->setState(
        toolbar->sizeMode() == ToolbarSizeMode::Small ? ControlStateValue::On : ControlStateValue::Off);
    m_done = Button::buttonWithTitle(detail::panelText("Done", "Done"), self, "done:");
    m_done->setKeyEquivalent("\r");

    show->setFrameOrigin({ PaletteMargin, y + 4 });
    m_displayMode->setFrameOrigin({ PaletteMargin + show->frame().width() + 6, y });
    m_smallSize->setFrameOrigin({ m_displayMode->frame().maxX() + 16, y + 3 });
    auto doneSize = m_done->frame().size;
    m_done->setFrame({ SheetWidth - PaletteMargin - std::max(80.0, doneSize.width), y, std::max(80.0, doneSize.width),
        doneSize.height });
    for (const auto& v : std::vector<std::shared_ptr<View>> { show, m_displayMode, m_smallSize, m_done })
        content->addSubview(v);
    y += 24 + 16;

    content->setFrameSize({ SheetWidth, y });
    setContentView(content);
    setContentSize({ SheetWidth, y });
    setDefaultButtonCell(m_done->buttonCell());
}

std::shared_ptr<ToolbarPaletteItemView> ToolbarCustomizationPalette::paletteItemWithIdentifier(
    const fnd::String& identifier) const
{
    for (const auto& view : m_paletteItems) {
        if (view->item()->itemIdentifier() == identifier)
            return view;
    }
    return nullptr;
}

void ToolbarCustomizationPalette::done(const fnd::Value&)
{
    if (auto toolbar = m_toolbar.lock())
        toolbar->endCustomization();
}

void ToolbarCustomizationPalette::displayModeChanged(const fnd::Value&)
{
    if (auto toolbar = m_toolbar.lock())
        toolbar->setDisplayMode(ToolbarDisplayMode(m_displayMode->indexOfSelectedItem() + 1));
}

void ToolbarCustomizationPalette::sizeModeChanged(const fnd::Value&)
{
    if (auto toolbar = m_toolbar.lock())
        toolbar->setSizeMode(
            m_smallSize->state() == ControlStateValue::On ? ToolbarSizeMode::Small : ToolbarSizeMode::Regular);
}

}
