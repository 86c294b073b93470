#include "platform/ui/containers/ToolbarItem.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Image.h"
#include "platform/ui/containers/Toolbar.h"
#include "platform/ui/menus/MenuItem.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/View.h"
#include "platform/ui/views/detail/PanelText.h"
#include "platform/ui/views/detail/StandardPanelActions.h"

#include <cmath>
#include <numbers>

namespace ui {

const std::vector<fnd::String>& ToolbarItemIdentifier::standardIdentifiers()
{
    static const std::vector<fnd::String> identifiers { Separator, Space, FlexibleSpace, ShowColors, ShowFonts,
        CustomizeToolbar };
    return identifiers;
}

namespace {

constexpr gfx::Size IconSize { 32, 32 };

// The standard items' pictures, drawn at any size.
std::shared_ptr<gfx::Image> colorsImage()
{
    return gfx::Image::imageWithSize(IconSize, false, [](const gfx::Rect& r) {
        // A ring of hues around a white middle.
        constexpr int Segments = 12;
        gfx::Point c { r.midX(), r.midY() };
        double outer = std::min(r.width(), r.height()) / 2 - 1;
        for (int i = 0; i < Segments; ++i) {
            double a0 = 2 * std::numbers::pi * i / Segments, a1 = 2 * std::numbers::pi * (i + 1) / Segments;
            auto path = gfx::BezierPath::bezierPath();
            path->moveToPoint(c);
            path->lineToPoint({ c.x + outer * std::cos(a0), c.y + outer * std::sin(a0) });
            path->appendBezierPathWithArcWithCenter(c, outer, a0 * 180 / std::numbers::pi, a1 * 180 / std::numbers::pi);
            path->closePath();
            gfx::Color::colorWithCalibratedHue(double(i) / Segments, 0.8, 0.95)->setFill();
            path->fill();
        }
        gfx::Color::whiteColor()->setFill();
        gfx::BezierPath::bezierPathWithOvalInRect(gfx::insetRect(r, r.width() * 0.3, r.height() * 0.3))->fill();
        return true;
    });
}

std::shared_ptr<gfx::Image> fontsImage()
{
    return gfx::Image::imageWithSize(IconSize, true, [](const gfx::Rect& r) {
        auto font = gfx::Font::fontWithName("DejaVu Serif", std::round(r.height() * 0.7));
        detail::drawLabel("Aa", r, font, gfx::Color::colorWithCalibratedWhite(0.2), txt::TextAlignment::Center);
        return true;
    });
}

std::shared_ptr<gfx::Image> customizeImage()
{
    return gfx::Image::imageWithSize(IconSize, false, [](const gfx::Rect& r) {
        // Three sliders with their knobs.
        auto grey = gfx::Color::colorWithCalibratedWhite(0.3);
        for (int i = 0; i < 3; ++i) {
            double y = r.minY() + r.height() * (0.25 + 0.25 * i);
            grey->setFill();
            gfx::BezierPath::fillRect({ r.minX() + 3, y - 1, r.width() - 6, 2 });
            double knobX = r.minX() + r.width() * (0.3 + 0.2 * ((i * 2) % 3));
            gfx::BezierPath::bezierPathWithOvalInRect({ knobX - 4, y - 4, 8, 8 })->fill();
        }
        return true;
    });
}

}

FND_REGISTER_CLASS(ToolbarItem, fnd::Object)

void ToolbarItem::describeClass(fnd::ClassBuilder<ToolbarItem>& c)
{
    c.property("label", &ToolbarItem::label, &ToolbarItem::setLabel);
    c.property("toolTip", &ToolbarItem::toolTip, &ToolbarItem::setToolTip);
    c.property("tag", &ToolbarItem::tag, &ToolbarItem::setTag);
    c.property("enabled", &ToolbarItem::isEnabled, &ToolbarItem::setEnabled);
}

std::shared_ptr<ToolbarItem> ToolbarItem::create(const fnd::String& itemIdentifier)
{
    auto item = fnd::makeObject<ToolbarItem>();
    item->initWithItemIdentifier(itemIdentifier);
    return item;
}

void ToolbarItem::initWithItemIdentifier(const fnd::String& identifier)
{
    m_identifier = identifier;
    if (identifier == ToolbarItemIdentifier::Separator) {
        m_standardPaletteLabel = "Separator";
    } else if (identifier == ToolbarItemIdentifier::Space) {
        m_standardPaletteLabel = "Space";
    } else if (identifier == ToolbarItemIdentifier::FlexibleSpace) {
        m_standardPaletteLabel = "Flexible Space";
    } else if (identifier == ToolbarItemIdentifier::ShowColors) {
        m_label = detail::panelText("Colours", "Colours");
        m_toolTip = detail::panelText("Show the colour panel", "Show the colour panel");
        m_image = colorsImage();
        m_target = detail::standardPanelActions();
        m_action = "orderFrontColorPanel:";
    } else if (identifier == ToolbarItemIdentifier::ShowFonts) {
        m_label = detail::panelText("Fonts", "Fonts");
        m_toolTip = detail::panelText("Show the font panel", "Show the font panel");
        m_image = fontsImage();
        m_target = detail::standardPanelActions();
        m_action = "orderFrontFontPanel:";
    } else if (identifier == ToolbarItemIdentifier::CustomizeToolbar) {
        m_label = detail::panelText("Customise", "Customise");
        m_toolTip = detail::panelText("Customise this toolbar", "Customise this toolbar");
        m_image = customizeImage();
        m_action = "runCustomizationPalette:";
    }
}

fnd::String ToolbarItem::paletteLabel() const
{
    // The standard labels' keys are their English texts.
    if (m_standardPaletteLabel)
        return detail::panelText(m_standardPaletteLabel, m_standardPaletteLabel);
    return m_paletteLabel.isEmpty() ? m_label : m_paletteLabel;
}

std::shared_ptr<ToolbarItem> ToolbarItem::copy() const
{
    auto item = fnd::makeObject<ToolbarItem>();
    item->m_identifier = m_identifier;
    item->m_label = m_label;
    item->m_paletteLabel = m_paletteLabel;
    item->m_standardPaletteLabel = m_standardPaletteLabel;
    item->m_toolTip = m_toolTip;
    item->m_tag = m_tag;
    item->m_image = m_image;
    item->m_target = m_target;
    item->m_action = m_action;
    item->m_enabled = m_enabled;
    item->m_autovalidates = m_autovalidates;
    item->m_minSize = m_minSize;
    item->m_maxSize = m_maxSize;
    item->m_menuForm = m_menuForm;
    item->m_visibilityPriority = m_visibilityPriority;
    // A view belongs to one place: a copy shows a picture of it instead.
    return item;
}

void ToolbarItem::changed()
{
    if (auto t = toolbar())
        t->itemDidChange(*this);
}

void ToolbarItem::setLabel(const fnd::String& label)
{
    if (label == m_label)
        return;
    m_label = label;
    m_measuredFont.reset();
    changed();
}

double ToolbarItem::labelWidth(const std::shared_ptr<gfx::Font>& font) const
{
    if (!font || font != m_measuredFont) {
        m_measuredLabelWidth = detail::labelSize(m_label, font).width;
        m_measuredFont = font;
    }
    return m_measuredLabelWidth;
}

void ToolbarItem::setImage(std::shared_ptr<gfx::Image> image)
{
    if (image == m_image)
        return;
    m_image = std::move(image);
    changed();
}

void ToolbarItem::setEnabled(bool flag)
{
    if (flag == m_enabled)
        return;
    m_enabled = flag;
    changed();
}

void ToolbarItem::setView(const std::shared_ptr<View>& view)
{
    if (view == m_view)
        return;
    m_view = view;
    if (view && m_minSize == gfx::Size {})
        m_minSize = m_maxSize = view->frame().size;
    changed();
}

bool ToolbarItem::isSpace() const
{
    return m_identifier == ToolbarItemIdentifier::Separator || m_identifier == ToolbarItemIdentifier::Space
        || m_identifier == ToolbarItemIdentifier::FlexibleSpace;
}

void ToolbarItem::validate()
{
    if (isSpace() || m_view || !m_action)
        return;
    auto self = shared_from_this();
    // While the window shows a sheet its toolbar waits, whatever the targets say.
    if (auto t = toolbar(); t && t->windowHasSheet()) {
        setEnabled(false);
        return;
    }
    // The customise item always works on its own toolbar.
    if (m_identifier == ToolbarItemIdentifier::CustomizeToolbar) {
        auto t = toolbar();
        setEnabled(t && t->allowsUserCustomization() && !t->customizationPaletteIsRunning());
        return;
    }
    auto receiver = Application::shared().targetForAction(m_action, target(), selfValue());
    bool enabled = receiver && validateItem(*receiver, "validateToolbarItem:", selfValue())
        && validateItem(*receiver, "validateUserInterfaceItem:", selfValue());
    setEnabled(enabled);
}

bool ToolbarItem::performAction()
{
    if (!m_enabled || !m_action)
        return false;
    auto self = shared_from_this();
    auto receiver = target();
    if (!receiver && m_identifier == ToolbarItemIdentifier::CustomizeToolbar)
        receiver = toolbar();
    return Application::shared().sendAction(m_action, receiver, selfValue());
}

std::shared_ptr<MenuItem> ToolbarItem::menuFormRepresentation() const
{
    if (m_menuForm)
        return m_menuForm;
    auto item = MenuItem::create(m_label.isEmpty() ? paletteLabel() : m_label, m_action, {});
    item->setTarget(m_identifier == ToolbarItemIdentifier::CustomizeToolbar ? toolbar() : target());
    item->setTag(m_tag);
    item->setImage(m_image);
    item->setEnabled(m_enabled);
    item->setToolTip(m_toolTip);
    return item;
}

}
