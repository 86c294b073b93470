#include "platform/ui/panels/ColorPanel.h"

#include "platform/foundation/runtime/CharacterSet.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/ui/controls/ColorWell.h"
#include "platform/ui/controls/PopUpButton.h"
#include "platform/ui/controls/SegmentedControl.h"
#include "platform/ui/panels/detail/ColorPanelViews.h"
#include "platform/ui/panels/detail/StandardPanels.h"
#include "platform/ui/text/TextField.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/detail/FlippedView.h"
#include "platform/ui/views/detail/PanelText.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

constexpr double ColorPanelWidth = 260;
constexpr double ColorPanelMargin = 10;
constexpr double RowHeight = 26;

// An active colour well opens the shared panel on its colour.
const bool g_wellOpensPanel = [] {
    ColorWell::setColorPanelOpener([](ColorWell& well) {
        auto panel = ColorPanel::sharedColorPanel();
        if (well.color())
            panel->setColor(well.color());
        panel->orderFrontColorPanel({});
    });
    return true;
}();

// How a channel is shown in its field: RGB in 0–255, hue in degrees, the rest in per cent.
double fieldScale(ColorPanelMode mode, std::size_t index)
{
    if (mode == ColorPanelMode::RGB)
        return 255;
    if (mode == ColorPanelMode::HSB && index == 0)
        return 360;
    return 100;
}

// What assistive technologies call each channel (the labels show one letter).
std::vector<fnd::String> channelAccessibilityNames(ColorPanelMode mode)
{
    switch (mode) {
    case ColorPanelMode::Gray:
        return { detail::panelText("Grey level", "Grey level") };
    case ColorPanelMode::CMYK:
        return { detail::panelText("Cyan", "Cyan"), detail::panelText("Magenta", "Magenta"),
            detail::panelText("Yellow", "Yellow"), detail::panelText("Black", "Black") };
    case ColorPanelMode::HSB:
        return { detail::panelText("Hue", "Hue"), detail::panelText("Saturation", "Saturation"),
            detail::panelText("Brightness", "Brightness") };
    case ColorPanelMode::Wheel:
        return { detail::panelText("Brightness", "Brightness") };
    default:
        return { detail::panelText("Red", "Red"), detail::panelText("Green", "Green"),
            detail::panelText("Blue", "Blue") };
    }
}

std::vector<fnd::String> channelNames(ColorPanelMode mode)
{
    switch (mode) {
    case ColorPanelMode::Gray:
        return { "W" };
    case ColorPanelMode::CMYK:
        return { "C", "M", "Y", "K" };
    case ColorPanelMode::HSB:
        return { "H", "S", "B" };
    case ColorPanelMode::Wheel:
        return { "B" };
    default:
        return { "R", "G", "B" };
    }
}

// "#RRGGBB", "RRGGBB", "#RGB"; nullopt for anything else.
std::optional<std::array<double, 3>> parseHex(fnd::String text)
{
    text = text.stringByTrimmingCharactersInSet(fnd::CharacterSet::whitespaceCharacterSet());
    auto s = text.utf8();
    if (!s.empty() && s[0] == '#')
        s.erase(0, 1);
    if (s.size() == 3)
        s = { s[0], s[0], s[1], s[1], s[2], s[2] };
    if (s.size() != 6 || !std::ranges::all_of(s, [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); }))
        return std::nullopt;
    std::array<double, 3> rgb;
    for (int i = 0; i < 3; ++i)
        rgb[std::size_t(i)] = double(std::stoi(s.substr(std::size_t(i) * 2, 2), nullptr, 16)) / 255;
    return rgb;
}

}

FND_REGISTER_CLASS(ColorPanel, Window)

void ColorPanel::describeClass(fnd::ClassBuilder<ColorPanel>& c)
{
    c.property("color", &ColorPanel::color, &ColorPanel::setColor);
    c.property("showsAlpha", &ColorPanel::showsAlpha, &ColorPanel::setShowsAlpha);
    c.property("mode", &ColorPanel::mode, &ColorPanel::setMode);
    c.property("continuous", &ColorPanel::isContinuous, &ColorPanel::setContinuous);
    c.action("modeChanged:", &ColorPanel::modeChanged);
    c.action("hexFieldChanged:", &ColorPanel::hexFieldChanged);
    c.action("channelFieldChanged:", &ColorPanel::channelFieldChanged);
    c.action("orderFrontColorPanel:", &ColorPanel::orderFrontColorPanel);
}

std::shared_ptr<ColorPanel> ColorPanel::sharedColorPanel()
{
    auto& panel = detail::sharedPanelSlot<ColorPanel>();
    // A panel closed for good (or left from another application state) is made anew.
    if (!panel || panel->isClosed()) {
        panel = fnd::makeObject<ColorPanel>();
        panel->init();
    }
    return panel;
}

bool ColorPanel::sharedColorPanelExists()
{
    return detail::sharedPanelSlot<ColorPanel>() && !detail::sharedPanelSlot<ColorPanel>()->isClosed();
}

void ColorPanel::init()
{
    initWithContentRect(
        { 0, 0, ColorPanelWidth, 360 }, WindowStyleMask::Titled | WindowStyleMask::Closable | WindowStyleMask::Utility);
    setTitle(detail::panelText("Colours", "Colours"));
    setLevel(WindowLevel::Floating);
    build();
}

void ColorPanel::build()
{
    auto self = std::static_pointer_cast<ColorPanel>(shared_from_this());
    std::weak_ptr<ColorPanel> weak = self;
    setContentView(detail::FlippedView::create({ 0, 0, ColorPanelWidth, 360 }));
    m_modeControl = SegmentedControl::segmentedControlWithLabels(
        { detail::panelText("Wheel", "Wheel"), detail::panelText("Sliders", "Sliders") },
        SegmentSwitchTracking::SelectOne, self, "modeChanged:");
    m_sliderMode = PopUpButton::create({ 0, 0, ColorPanelWidth - 2 * ColorPanelMargin, 24 });
    m_sliderMode->addItemsWithTitles({ detail::panelText("Grey", "Grey"), detail::panelText("RGB", "RGB"),
        detail::panelText("CMYK", "CMYK"), detail::panelText("HSB", "HSB") });
    m_sliderMode->setTarget(self);
    m_sliderMode->setAction("modeChanged:");
    m_wheel = detail::ColorWheelView::create({ 0, 0, 200, 200 });
    m_wheel->onChange = [weak](double hue, double saturation, detail::ColorChange change) {
        auto panel = weak.lock();
        if (!panel)
            return;
        panel->m_hue = hue;
        auto color = gfx::Color::colorWithCalibratedHue(
            hue, saturation, panel->m_color->brightnessComponent(), panel->alpha());
        panel->colorChosen(color, change, HueSource::Kept);
    };
    m_opacity = detail::ColorChannelSlider::create({ 0, 0, 170, RowHeight });
    m_opacity->onChange = [weak](double value, detail::ColorChange change) {
        if (auto panel = weak.lock())
            panel->colorChosen(panel->m_color->colorWithAlphaComponent(value), change, HueSource::Kept);
    };
    m_opacityLabel = TextField::labelWithString(detail::panelText("Opacity", "Opacity"));
    m_opacityField = TextField::create({ 0, 0, 45, 22 });
    m_opacityField->setTag(100);
    m_opacityField->setTarget(self);
    m_opacityField->setAction("channelFieldChanged:");
    m_hexLabel = TextField::labelWithString(detail::panelText("Hex", "Hex"));
    m_hexField = TextField::create({ 0, 0, 90, 22 });
    m_hexField->setTarget(self);
    m_hexField->setAction("hexFieldChanged:");
    m_swatch = detail::ColorSwatchView::create({ 0, 0, ColorPanelWidth - 2 * ColorPanelMargin, 28 });
    // Named for assistive technologies by the labels beside them.
    m_opacity->setAccessibilityTitleUIElement(m_opacityLabel);
    m_opacityField->setAccessibilityTitleUIElement(m_opacityLabel);
    m_hexField->setAccessibilityTitleUIElement(m_hexLabel);
    m_swatch->setAccessibilityDescription(detail::panelText("Current colour", "Current colour"));
    for (const std::shared_ptr<View>& v : std::vector<std::shared_ptr<View>> { m_modeControl, m_sliderMode, m_wheel,
             m_opacity, m_opacityLabel, m_opacityField, m_hexLabel, m_hexField, m_swatch })
        contentView()->addSubview(v);
    layoutPanel();
}

void ColorPanel::layoutPanel()
{
    auto self = std::static_pointer_cast<ColorPanel>(shared_from_this());
    std::weak_ptr<ColorPanel> weak = self;
    auto content = contentView();
    for (const auto& v : m_channels)
        v->removeFromSuperview();
    for (const auto& v : m_labels)
        v->removeFromSuperview();
    for (const auto& v : m_fields)
        v->removeFromSuperview();
    m_channels.clear();
    m_labels.clear();
    m_fields.clear();

    double y = ColorPanelMargin;
    m_modeControl->sizeToFit();
    m_modeControl->setFrameOrigin({ std::round((ColorPanelWidth - m_modeControl->frame().width()) / 2), y });
    m_modeControl->setSelectedSegment(m_mode == ColorPanelMode::Wheel ? 0 : 1);
    y += m_modeControl->frame().height() + 10;
    bool sliders = m_mode != ColorPanelMode::Wheel;
    m_wheel->setHidden(sliders);
    m_sliderMode->setHidden(!sliders);
    if (sliders) {
        m_sliderMode->setFrameOrigin({ ColorPanelMargin, y });
        long index = m_mode == ColorPanelMode::Gray ? 0
            : m_mode == ColorPanelMode::CMYK        ? 2
            : m_mode == ColorPanelMode::HSB         ? 3
                                                    : 1;
        m_sliderMode->selectItemAtIndex(index);
        y += 34;
    } else {
        m_wheel->setFrameOrigin({ std::round((ColorPanelWidth - 200) / 2), y });
        y += 208;
    }
    auto names = channelNames(m_mode);
    auto spokenNames = channelAccessibilityNames(m_mode);
    for (std::size_t i = 0; i < names.size(); ++i) {
        auto label = TextField::labelWithString(names[i]);
        label->setFrameOrigin({ ColorPanelMargin, y + 4 });
        auto slider = detail::ColorChannelSlider::create({ ColorPanelMargin + 22, y, 170, RowHeight });
        slider->onChange = [weak, i](double value, detail::ColorChange change) {
            auto panel = weak.lock();
            if (!panel)
                return;
            auto values = panel->channelValues();
            values[i] = value;
            if (panel->m_mode == ColorPanelMode::HSB && i == 0)
                panel->m_hue = value;
            panel->colorChosen(panel->colorFromChannels(values, panel->alpha()), change, panel->hueSourceOfChannels());
        };
        auto field = TextField::create({ ColorPanelWidth - ColorPanelMargin - 45, y + 2, 45, 22 });
        field->setTag(long(i));
        field->setTarget(self);
        field->setAction("channelFieldChanged:");
        slider->setAccessibilityDescription(spokenNames[i]);
        field->setAccessibilityDescription(spokenNames[i]);
        content->addSubview(label);
        content->addSubview(slider);
        content->addSubview(field);
        m_labels.push_back(label);
        m_channels.push_back(slider);
        m_fields.push_back(field);
        y += RowHeight + 4;
    }
    m_opacity->setHidden(!m_showsAlpha);
    m_opacityLabel->setHidden(!m_showsAlpha);
    m_opacityField->setHidden(!m_showsAlpha);
    if (m_showsAlpha) {
        y += 4;
        m_opacityLabel->setFrameOrigin({ ColorPanelMargin, y });
        y += m_opacityLabel->frame().height() + 2;
        m_opacity->setFrame({ ColorPanelMargin + 22, y, 170, RowHeight });
        m_opacityField->setFrameOrigin({ ColorPanelWidth - ColorPanelMargin - 45, y + 2 });
        y += RowHeight + 8;
    }
    m_hexLabel->setFrameOrigin({ ColorPanelMargin, y + 4 });
    m_hexField->setFrameOrigin({ ColorPanelMargin + m_hexLabel->frame().width() + 8, y });
    y += 30;
    m_swatch->setFrameOrigin({ ColorPanelMargin, y });
    y += 28 + ColorPanelMargin;
    content->setFrameSize({ ColorPanelWidth, y });
    setContentSize({ ColorPanelWidth, y });
    showColor();
}

// Colour and mode.

double ColorPanel::alpha() const
{
    return m_showsAlpha ? m_color->alphaComponent() : 1.0;
}

void ColorPanel::setColor(gfx::ColorPtr color)
{
    if (!color || !color->rgbaIfAvailable())
        return;
    m_color = std::move(color);
    takeHueOfColor();
    showColor();
}

void ColorPanel::takeHueOfColor()
{
    // Grey has no hue: the panel keeps the last one, so the wheel and sliders do not jump to red.
    if (m_color->saturationComponent() > 0 && m_color->brightnessComponent() > 0)
        m_hue = m_color->hueComponent();
}

ColorPanel::HueSource ColorPanel::hueSourceOfChannels() const
{
    return m_mode == ColorPanelMode::HSB || m_mode == ColorPanelMode::Wheel ? HueSource::Kept : HueSource::OfColor;
}

void ColorPanel::setShowsAlpha(bool flag)
{
    if (flag == m_showsAlpha)
        return;
    m_showsAlpha = flag;
    layoutPanel();
}

void ColorPanel::setMode(ColorPanelMode mode)
{
    // The palettes and lists are not offered: they show the RGB sliders.
    if (mode == ColorPanelMode::CustomPalette || mode == ColorPanelMode::ColorList || mode == ColorPanelMode::Crayon)
        mode = ColorPanelMode::RGB;
    if (mode == m_mode)
        return;
    m_mode = mode;
    layoutPanel();
}

std::vector<double> ColorPanel::channelValues() const
{
    const auto& c = *m_color;
    switch (m_mode) {
    case ColorPanelMode::Gray:
        return { c.whiteComponent() };
    case ColorPanelMode::CMYK: {
        auto cmyk = c.cmyk();
        return { cmyk[0], cmyk[1], cmyk[2], cmyk[3] };
    }
    case ColorPanelMode::HSB:
        return { m_hue, c.saturationComponent(), c.brightnessComponent() };
    case ColorPanelMode::Wheel:
        return { c.brightnessComponent() };
    default: {
        auto rgba = c.rgba();
        return { rgba[0], rgba[1], rgba[2] };
    }
    }
}

gfx::ColorPtr ColorPanel::colorFromChannels(const std::vector<double>& v, double a) const
{
    switch (m_mode) {
    case ColorPanelMode::Gray:
        return gfx::Color::colorWithCalibratedWhite(v[0], a);
    case ColorPanelMode::CMYK:
        return gfx::Color::colorWithDeviceCyan(v[0], v[1], v[2], v[3], a);
    case ColorPanelMode::HSB:
        return gfx::Color::colorWithCalibratedHue(v[0], v[1], v[2], a);
    case ColorPanelMode::Wheel:
        return gfx::Color::colorWithCalibratedHue(m_hue, m_color->saturationComponent(), v[0], a);
    default:
        return gfx::Color::colorWithCalibratedRed(v[0], v[1], v[2], a);
    }
}

void ColorPanel::showColor()
{
    if (!m_swatch)
        return;
    auto values = channelValues();
    auto self = std::static_pointer_cast<ColorPanel>(shared_from_this());
    std::weak_ptr<ColorPanel> weak = self;
    for (std::size_t i = 0; i < m_channels.size() && i < values.size(); ++i) {
        m_channels[i]->setValue(values[i]);
        m_channels[i]->setColorAt([weak, i](double v) -> gfx::ColorPtr {
            auto panel = weak.lock();
            if (!panel)
                return nullptr;
            auto vs = panel->channelValues();
            vs[i] = v;
            if (panel->m_mode == ColorPanelMode::HSB && i == 0)
                return gfx::Color::colorWithCalibratedHue(v, 1, 1);
            return panel->colorFromChannels(vs, 1);
        });
        m_fields[i]->setStringValue(fnd::String::format("%.0f", { std::round(values[i] * fieldScale(m_mode, i)) }));
    }
    m_wheel->setBrightness(m_color->brightnessComponent());
    m_wheel->setHueSaturation(m_hue, m_color->saturationComponent());
    m_opacity->setValue(m_color->alphaComponent());
    m_opacity->setColorAt([weak](double v) -> gfx::ColorPtr {
        auto panel = weak.lock();
        return panel ? panel->m_color->colorWithAlphaComponent(v) : nullptr;
    });
    m_opacityField->setStringValue(fnd::String::format("%.0f", { std::round(m_color->alphaComponent() * 100) }));
    auto rgba = m_color->rgba();
    auto byte = [](double v) { return std::lround(std::clamp(v, 0.0, 1.0) * 255); };
    m_hexField->setStringValue(
        fnd::String::format("#%02lX%02lX%02lX", { byte(rgba[0]), byte(rgba[1]), byte(rgba[2]) }));
    m_swatch->setColor(m_color);
}

void ColorPanel::colorChosen(gfx::ColorPtr color, detail::ColorChange change, HueSource hue)
{
    if (!color)
        return;
    auto self = shared_from_this();
    m_color = std::move(color);
    if (hue == HueSource::OfColor)
        takeHueOfColor();
    showColor();
    if (m_continuous || change == detail::ColorChange::Done)
        sendColor();
}

void ColorPanel::sendColor()
{
    // The active well takes the colour and tells its own target; otherwise the action goes out.
    if (auto well = ColorWell::activeColorWell()) {
        well->colorPanelDidChangeColor(m_color);
        return;
    }
    Application::shared().sendAction(m_action, target(), selfValue());
}

// Actions.

void ColorPanel::modeChanged(const fnd::Value& sender)
{
    auto object = sender.object();
    if (object.get() == m_modeControl.get()) {
        setMode(m_modeControl->selectedSegment() == 0
                ? ColorPanelMode::Wheel
                : (m_mode == ColorPanelMode::Wheel ? ColorPanelMode::RGB : m_mode));
        return;
    }
    static constexpr ColorPanelMode BySliderItem[]
        = { ColorPanelMode::Gray, ColorPanelMode::RGB, ColorPanelMode::CMYK, ColorPanelMode::HSB };
    long index = m_sliderMode->indexOfSelectedItem();
    if (index >= 0 && index < 4)
        setMode(BySliderItem[index]);
}

void ColorPanel::hexFieldChanged(const fnd::Value&)
{
    auto rgb = parseHex(m_hexField->stringValue());
    if (!rgb) {
        Application::shared().beep();
        showColor();
        return;
    }
    colorChosen(gfx::Color::colorWithCalibratedRed((*rgb)[0], (*rgb)[1], (*rgb)[2], alpha()), detail::ColorChange::Done,
        HueSource::OfColor);
}

void ColorPanel::channelFieldChanged(const fnd::Value& sender)
{
    auto field = sender.objectAs<TextField>();
    if (!field)
        return;
    double typed = field->stringValue().doubleValue();
    if (!std::isfinite(typed)) {
        showColor();
        return;
    }
    if (field->tag() == 100) {
        colorChosen(m_color->colorWithAlphaComponent(std::clamp(typed / 100, 0.0, 1.0)), detail::ColorChange::Done,
            HueSource::Kept);
        return;
    }
    auto index = std::size_t(field->tag());
    auto values = channelValues();
    if (index >= values.size())
        return;
    values[index] = std::clamp(typed / fieldScale(m_mode, index), 0.0, 1.0);
    if (m_mode == ColorPanelMode::HSB && index == 0)
        m_hue = values[index];
    colorChosen(colorFromChannels(values, alpha()), detail::ColorChange::Done, hueSourceOfChannels());
}

void ColorPanel::orderFrontColorPanel(const fnd::Value&)
{
    detail::orderFrontBesideMainWindow(*this);
    // The keyboard starts in the hexadecimal code, unless it is already somewhere in the panel.
    if (!std::dynamic_pointer_cast<View>(firstResponder()))
        makeFirstResponder(m_hexField);
}

}
