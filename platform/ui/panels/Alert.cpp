#include "platform/ui/panels/Alert.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/ui/accessibility/AccessibilityAttributeKey.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/look/ControlLook.h"
#include "platform/ui/text/TextField.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/detail/FlippedView.h"
#include "platform/ui/views/detail/PanelText.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

constexpr double AlertWidth = 420;
constexpr double AlertMargin = 20;
constexpr double IconSide = 64;
constexpr double TextLeft = AlertMargin + IconSide + 16;
constexpr double ButtonMinimumWidth = 80;
constexpr double ButtonGap = 12;

// The alert's window: a panel whose scripted answers press its own controls.
class AlertPanel : public Window, public ScriptedPanel {
    FND_OBJECT(AlertPanel)
public:
    std::weak_ptr<Alert> alert;

    // An alert, named by its message (its window has no title of its own) and described by its informative text.
    std::vector<fnd::String> accessibilityAttributeNames() const override
    {
        auto names = Window::accessibilityAttributeNames();
        accessibilityAddAttributeNames(names, { AccessibilityAttribute::Help });
        return names;
    }

    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override
    {
        auto a = alert.lock();
        if (!a)
            return Window::accessibilityAttributeValue(attribute);
        switch (accessibilityAttributeKey(attribute)) {
        case AccessibilityAttributeKey::Subrole:
            return AccessibilitySubrole::Alert;
        case AccessibilityAttributeKey::Title:
            return title().isEmpty() ? a->messageText() : title();
        case AccessibilityAttributeKey::Help:
            return a->informativeText().isEmpty() ? fnd::Value() : fnd::Value(a->informativeText());
        default:
            return Window::accessibilityAttributeValue(attribute);
        }
    }

    void performScriptedAnswer(const PanelAnswer& answer) override
    {
        auto a = alert.lock();
        if (!a)
            return;
        if (answer.checkBox && a->showsSuppressionButton()) {
            auto& box = a->suppressionButton();
            if ((box->state() == ControlStateValue::On) != *answer.checkBox)
                box->performClick();
        }
        // A typed name goes into an accessory text field (a folder name, say).
        if (auto field = std::dynamic_pointer_cast<TextField>(a->accessoryView()); field && answer.name)
            field->setStringValue(*answer.name);
        long index = answer.button - AlertReturn::FirstButton;
        if (index >= 0 && index < long(a->buttons().size()))
            a->buttons()[std::size_t(index)]->performClick();
    }
};

// Shows the style's badge (or the alert's own icon).
class AlertIconView : public View {
    FND_OBJECT(AlertIconView)
public:
    std::shared_ptr<gfx::Image> image;
    bool isFlipped() const override { return true; }
    void drawRect(gfx::Rect) override
    {
        if (image)
            image->drawInRect(bounds(), {}, gfx::CompositingOperation::SourceOver, 1, true);
    }
};

double heightOfText(TextField& field, double width)
{
    return std::ceil(field.cell()->cellSizeForBounds({ 0, 0, width, 1e7 }).height);
}

// A round or pointed badge with a mark in it.
std::shared_ptr<gfx::Image> badge(AlertStyle style)
{
    return gfx::Image::imageWithSize({ IconSide, IconSide }, true, [style](const gfx::Rect& r) {
        auto inner = gfx::insetRect(r, 4, 4);
        std::shared_ptr<gfx::BezierPath> shape;
        gfx::ColorPtr color;
        fnd::String mark = "!";
        switch (style) {
        case AlertStyle::Informational:
            shape = gfx::BezierPath::bezierPathWithOvalInRect(inner);
            color = gfx::Color::colorWithCalibratedRed(0.2, 0.5, 0.9);
            mark = "i";
            break;
        case AlertStyle::Warning:
            // Flipped: the point at the top.
            shape = gfx::BezierPath::bezierPath();
            shape->moveToPoint({ inner.midX(), inner.minY() + 2 });
            shape->lineToPoint({ inner.maxX(), inner.maxY() - 4 });
            shape->lineToPoint({ inner.minX(), inner.maxY() - 4 });
            shape->closePath();
            color = gfx::Color::colorWithCalibratedRed(0.95, 0.7, 0.1);
            break;
        case AlertStyle::Critical:
            shape = gfx::BezierPath::bezierPathWithOvalInRect(inner);
            color = gfx::Color::colorWithCalibratedRed(0.85, 0.2, 0.2);
            break;
        }
        color->setFill();
        shape->fill();
        auto font = gfx::Font::boldSystemFontOfSize(style == AlertStyle::Warning ? 28 : 34);
        gfx::Rect markRect = style == AlertStyle::Warning
            ? gfx::Rect { inner.minX(), inner.minY() + 16, inner.width(), inner.height() - 20 }
            : inner;
        detail::drawLabel(mark, markRect, font, gfx::Color::whiteColor(), txt::TextAlignment::Center);
        return true;
    });
}

}

FND_REGISTER_CLASS(AlertPanel, Window)
FND_REGISTER_CLASS(AlertIconView, View)
FND_REGISTER_CLASS(Alert, fnd::Object)

void Alert::describeClass(fnd::ClassBuilder<Alert>& c)
{
    c.property("messageText", &Alert::messageText, &Alert::setMessageText);
    c.property("informativeText", &Alert::informativeText, &Alert::setInformativeText);
    c.property("showsSuppressionButton", &Alert::showsSuppressionButton, &Alert::setShowsSuppressionButton);
    c.action("buttonPressed:", &Alert::buttonPressed);
}

Alert::~Alert()
{
    if (m_window)
        m_window->close();
}

std::shared_ptr<Alert> Alert::create()
{
    return fnd::makeObject<Alert>();
}

std::shared_ptr<gfx::Image> Alert::iconForStyle(AlertStyle style)
{
    static const auto informational = badge(AlertStyle::Informational);
    static const auto warning = badge(AlertStyle::Warning);
    static const auto critical = badge(AlertStyle::Critical);
    switch (style) {
    case AlertStyle::Informational:
        return informational;
    case AlertStyle::Critical:
        return critical;
    case AlertStyle::Warning:
        break;
    }
    return warning;
}

std::shared_ptr<gfx::Image> Alert::icon() const
{
    return m_icon ? m_icon : iconForStyle(m_style);
}

std::shared_ptr<Button> Alert::addButtonWithTitle(const fnd::String& title)
{
    auto self = std::static_pointer_cast<Alert>(shared_from_this());
    auto button = Button::buttonWithTitle(title, self, "buttonPressed:");
    button->setTag(AlertReturn::FirstButton + long(m_buttons.size()));
    // The platform's keys: Return for the first button, Escape for Cancel, Command-D for Don't Save.
    const bool isCancel = title == detail::panelText("Cancel", "Cancel");
    if (m_buttons.empty()) {
        button->setKeyEquivalent("\r");
        // A Cancel that is also the default (asking before something is replaced) still takes Escape.
        if (isCancel)
            m_cancelButton = button;
    } else if (isCancel) {
        button->setKeyEquivalent(fnd::String(u"\x1b"));
    } else if (title == detail::panelText("Don't Save", "Don't Save")) {
        button->setKeyEquivalent("d");
        button->setKeyEquivalentModifierMask(ModifierFlags::Command);
    }
    m_buttons.push_back(button);
    m_laidOut = false;
    return button;
}

const std::shared_ptr<Button>& Alert::suppressionButton()
{
    if (!m_suppressionButton) {
        m_suppressionButton = Button::checkboxWithTitle(
            detail::panelText("Do not show this message again", "Do not show this message again"), nullptr, {});
    }
    return m_suppressionButton;
}

const std::shared_ptr<Window>& Alert::window()
{
    if (!m_window) {
        auto panel = fnd::makeObject<AlertPanel>();
        panel->alert = std::static_pointer_cast<Alert>(shared_from_this());
        panel->initWithContentRect({ 0, 0, AlertWidth, 150 }, WindowStyleMask::Titled);
        panel->setLevel(WindowLevel::ModalPanel);
        m_window = panel;
    }
    return m_window;
}

void Alert::layout()
{
    auto& panel = window();
    if (m_buttons.empty())
        addButtonWithTitle(detail::panelText("OK", "OK"));
    double width = AlertWidth;
    if (m_accessoryView)
        width = std::max(width, TextLeft + m_accessoryView->frame().width() + AlertMargin);
    double textWidth = width - TextLeft - AlertMargin;
    auto content = detail::FlippedView::create({ 0, 0, width, 150 });

    auto iconView = makeView<AlertIconView>({ AlertMargin, AlertMargin, IconSide, IconSide });
    iconView->image = icon();
    content->addSubview(iconView);

    double y = AlertMargin;
    auto message = TextField::wrappingLabelWithString(m_messageText);
    message->setFont(gfx::Font::boldSystemFontOfSize(13));
    message->setSelectable(false);
    double h = heightOfText(*message, textWidth);
    message->setFrame({ TextLeft, y, textWidth, h });
    content->addSubview(message);
    y += h;
    if (!m_informativeText.isEmpty()) {
        auto informative = TextField::wrappingLabelWithString(m_informativeText);
        informative->setFont(gfx::Font::systemFontOfSize(11));
        informative->setSelectable(false);
        y += 8;
        h = heightOfText(*informative, textWidth);
        informative->setFrame({ TextLeft, y, textWidth, h });
        content->addSubview(informative);
        y += h;
    }
    if (m_accessoryView) {
        y += 12;
        m_accessoryView->removeFromSuperview();
        m_accessoryView->setFrameOrigin({ TextLeft, y });
        content->addSubview(m_accessoryView);
        y += m_accessoryView->frame().height();
    }
    if (m_showsSuppressionButton) {
        y += 12;
        auto& box = suppressionButton();
        box->removeFromSuperview();
        box->setFrameOrigin({ TextLeft, y });
        content->addSubview(box);
        y += box->frame().height();
    }
    y = std::max(y + 20, AlertMargin + IconSide + 12);
    // Buttons from the right edge leftwards, the first one rightmost.
    double x = width - AlertMargin;
    double rowHeight = 0;
    for (const auto& button : m_buttons) {
        button->removeFromSuperview();
        button->sizeToFit();
        auto size = button->frame().size;
        double w = std::max(ButtonMinimumWidth, size.width);
        x -= w;
        button->setFrame({ x, y, w, size.height });
        content->addSubview(button);
        x -= ButtonGap;
        rowHeight = std::max(rowHeight, size.height);
    }
    y += rowHeight + AlertMargin;
    content->setFrameSize({ width, y });
    panel->setContentView(content);
    panel->setContentSize({ width, y });
    panel->setDefaultButtonCell(m_buttons.front()->buttonCell());
    if (auto cancel = m_cancelButton.lock())
        panel->setCancelButtonCell(cancel->buttonCell());
    m_laidOut = true;
}

// Running.

long Alert::runModal()
{
    auto self = std::static_pointer_cast<Alert>(shared_from_this());
    if (!m_laidOut)
        layout();
    auto& panel = window();
    panel->center();
    panel->makeKeyAndOrderFront();
    m_runningModal = true;
    long code = Application::shared().runModalForWindow(panel);
    m_runningModal = false;
    panel->orderOut();
    return code;
}

void Alert::beginSheetModalForWindow(const std::shared_ptr<Window>& parent, std::function<void(long)> completionHandler)
{
    if (!parent) {
        long code = runModal();
        if (completionHandler)
            completionHandler(code);
        return;
    }
    auto self = std::static_pointer_cast<Alert>(shared_from_this());
    if (!m_laidOut)
        layout();
    // The handler keeps the alert alive for as long as the sheet is up.
    parent->beginSheet(window(), [self, handler = std::move(completionHandler)](long code) {
        if (handler)
            handler(code);
    });
}

void Alert::buttonPressed(const fnd::Value& sender)
{
    auto button = sender.objectAs<Button>();
    if (!button)
        return;
    finish(button->tag());
}

void Alert::finish(long code)
{
    auto self = shared_from_this();
    auto& panel = window();
    if (auto parent = panel->sheetParent()) {
        parent->endSheet(panel, code);
    } else if (m_runningModal) {
        panel->orderOut();
        Application::shared().stopModalWithCode(code);
    }
}

}
