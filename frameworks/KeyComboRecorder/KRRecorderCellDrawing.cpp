// How the recorder cell draws itself, where its buttons lie and how it tracks the mouse over them.

#include "frameworks/KeyComboRecorder/KRRecorderCell.h"

#include "frameworks/KeyComboRecorder/KRSharedImageProvider.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Gradient.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/text/Attributes.h"
#include "platform/text/ParagraphStyle.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/View.h"
#include "platform/ui/views/Window.h"

namespace {

gfx::Size krRecorderImageSize(const char* name)
{
    auto image = KRSharedImageProvider::supportingImageWithName(name);
    return image ? image->size() : gfx::Size { 14, 14 };
}

void krRecorderDrawImage(const fnd::String& name, gfx::Point origin, double fraction)
{
    if (auto image = KRSharedImageProvider::supportingImageWithName(name))
        image->drawAtPoint(origin, gfx::ZeroRect, gfx::CompositingOperation::SourceOver, fraction);
}

std::shared_ptr<gfx::BezierPath> krRecorderRoundedFrame(gfx::Rect rect)
{
    return gfx::BezierPath::bezierPathWithRoundedRect(rect, rect.height() / 2, rect.height() / 2);
}

}

// Buttons.

gfx::Rect KRRecorderCell::_removeButtonRectForFrame(gfx::Rect frame) const
{
    if (_isEmpty() || !isEnabled())
        return gfx::ZeroRect;
    auto size = krRecorderImageSize("KRRemoveShortcut");
    // Centred in the frame wherever the frame lies.
    return { { frame.maxX() - size.width - 4.0, frame.origin.y + (frame.height() - size.height) * 0.5 }, size };
}

gfx::Rect KRRecorderCell::_snapbackRectForFrame(gfx::Rect frame) const
{
    auto size = krRecorderImageSize("KRSnapback");
    return { { frame.maxX() - size.width - 2.0, frame.origin.y + (frame.height() - size.height) * 0.5 + 1.0 }, size };
}

fnd::String KRRecorderCell::_removeImageName() const
{
    fnd::String name = "KRRemoveShortcut";
    if (m_mouseInsideTrackingArea && m_mouseDown)
        return name + fnd::String("Pressed");
    if (m_mouseInsideTrackingArea || m_mouseDown)
        return name + fnd::String("Rollover");
    return name;
}

// Texts.

fnd::String KRRecorderCell::textForDisplay() const
{
    if (!m_isRecording) {
        auto combination = keyComboString();
        return combination.isEmpty() ? KRLocalizedString("Click to record shortcut") : combination;
    }
    if (!_validModifierFlags(m_recordingFlags))
        return KRLocalizedString(m_mouseInsideTrackingArea ? "Use old shortcut" : "Type shortcut");
    auto glyphs = KRCocoaModifierGlyphs(m_recordingFlags);
    return glyphs.isEmpty() ? KRLocalizedString("Type shortcut") : glyphs;
}

void KRRecorderCell::_drawText(const fnd::String& text, bool isCombination, gfx::Rect rect, double alpha) const
{
    auto style = std::make_shared<txt::ParagraphStyle>(txt::ParagraphStyle::defaultStyle());
    style->setLineBreakMode(txt::LineBreakMode::ByTruncatingTail);
    style->setAlignment(txt::TextAlignment::Center);
    auto color = isCombination ? gfx::Color::blackColor() : gfx::Color::disabledControlTextColor();
    txt::Attributes attributes {
        { txt::FontAttributeName,
            fnd::Value(gfx::Font::systemFontOfSize(
                isCombination ? gfx::Font::smallSystemFontSize() : gfx::Font::labelFontSize())) },
        { txt::ForegroundColorAttributeName,
            fnd::Value(color->colorWithAlphaComponent(alpha * color->alphaComponent())) },
        { txt::ParagraphStyleAttributeName, fnd::Value(style) },
    };
    // One line, centred in the rectangle.
    drawText(txt::AttributedString(text, attributes), rect, true);
}

// Drawing.

void KRRecorderCell::drawWithFrame(gfx::Rect cellFrame, ui::View& controlView)
{
    if (m_style == 1)
        _drawAnimated(cellFrame, controlView);
    else
        _drawRegular(cellFrame, controlView);
}

void KRRecorderCell::_drawRegular(gfx::Rect frame, ui::View&)
{
    const double h = frame.height();
    gfx::Rect whiteField = frame;
    const auto snapback = _snapbackRectForFrame(frame);
    const auto remove = _removeButtonRectForFrame(frame);
    if (m_isRecording) {
        {
            gfx::GraphicsStateGuard guard;
            krRecorderRoundedFrame(frame)->addClip();
            if (m_recordingGradient)
                m_recordingGradient->drawInRect(frame, 90);
        }
        if (m_mouseInsideTrackingArea) {
            gfx::Color::colorWithCalibratedWhite(0, m_mouseDown ? 0.4 : 0.2)->setFill();
            krRecorderRoundedFrame(frame)->fill();
        }
        krRecorderDrawImage("KRSnapback", snapback.origin, 1.0);
        whiteField = gfx::offsetRect(gfx::insetRect(frame, 9.5, 2.0), -7.5, 0);
    }
    {
        gfx::GraphicsStateGuard guard;
        auto field = krRecorderRoundedFrame(whiteField);
        field->addClip();
        gfx::Color::whiteColor()->setFill();
        field->fill();
        if (!m_isRecording) {
            gfx::Color::windowFrameColor()->setStroke();
            field->stroke();
            if (!_isEmpty() && isEnabled())
                krRecorderDrawImage(_removeImageName(), remove.origin, 1.0);
        }
    }
    double reserved = 6;
    if (m_isRecording)
        reserved = snapback.width() + 6;
    else if (!_isEmpty())
        reserved = remove.width() + 6;
    gfx::Rect textRect { { frame.origin.x + 6, frame.origin.y }, { frame.width() - 6 - reserved, h } };
    const bool isCombination = !m_isRecording && !keyComboString().isEmpty();
    _drawText(textForDisplay(), isCombination, textRect, 1.0);
}

void KRRecorderCell::_drawAnimated(gfx::Rect cellFrame, ui::View&)
{
    const gfx::Rect frame = gfx::insetRect(cellFrame, 0.5, 0.5);
    const double h = frame.height();
    double a = 1, b = 1;
    const double e = KRRecorderEaseInOut(m_transitionProgress);
    if (m_isAnimatingNow) {
        a = m_isAnimatingTowardsRecording ? e : 1 - e;
        b = m_isAnimatingTowardsRecording ? 1 - e : e;
    }
    const bool asRecording = _drawsAsRecording();
    double shift = 0;
    if (asRecording)
        shift = !m_isAnimatingNow ? h : (m_isAnimatingTowardsRecording ? h * e : h * (1 - e));
    if (!m_isAnimatingNow && asRecording)
        b = 0; // the combination has slid out of sight
    if (!m_isAnimatingNow && !asRecording)
        a = 0;
    bool translateCombination = true;
    if (m_comboJustChanged) {
        a = 0;
        b = 1;
        translateCombination = false;
    }

    gfx::GraphicsStateGuard guard;
    auto outline = krRecorderRoundedFrame(frame);
    gfx::Color::whiteColor()->setFill();
    outline->fill();
    gfx::Color::windowFrameColor()->setStroke();
    outline->stroke();
    outline->addClip();

    // The recording layer comes from below (y up: it starts one height lower and rises by the shift).
    auto snapback = _snapbackRectForFrame(frame);
    snapback.origin.y -= h;
    gfx::Rect area { { snapback.origin.x - 1.5, snapback.origin.y - 5.0 + shift }, { snapback.width() * 1.3, h } };
    if (a > 0) {
        auto areaPath = gfx::BezierPath::bezierPathWithRect(area);
        gfx::Color::windowFrameColor()->shadowWithLevel(0.2)->colorWithAlphaComponent(a)->setStroke();
        areaPath->stroke();
        const bool pressed = m_mouseDown && m_mouseInsideTrackingArea;
        auto top = gfx::Color::colorWithCalibratedWhite(pressed ? 0.6 : 0.75, a);
        auto bottom = gfx::Color::colorWithCalibratedWhite(pressed ? 0.75 : 0.9, a);
        gfx::Gradient::gradientWithStartingColor(*top, *bottom)
            ->drawInRect(gfx::insetRect(area, -areaPath->lineWidth() / 2, -areaPath->lineWidth() / 2), 90);
        krRecorderDrawImage("KRSnapback", { snapback.origin.x - 0.5, snapback.origin.y + shift }, a);
    }
    const auto remove = _removeButtonRectForFrame(frame);
    if (!_isEmpty() && isEnabled() && b > 0)
        krRecorderDrawImage(_removeImageName(), { remove.origin.x, remove.origin.y + shift }, b);

    if (a > 0) {
        gfx::Rect recordingText { { frame.origin.x, frame.origin.y - h - 3 + shift }, frame.size };
        auto text = textForDisplay();
        if (!m_isRecording)
            text = KRLocalizedString("Type shortcut");
        _drawText(text, false, recordingText, a);
    }
    if (b > 0) {
        gfx::Rect comboText { { frame.origin.x, frame.origin.y - 3 + (translateCombination ? shift : 0) }, frame.size };
        auto combination = keyComboString();
        _drawText(combination.isEmpty() ? KRLocalizedString("Click to record shortcut") : combination,
            !combination.isEmpty(), comboText, b);
    }
}

void KRRecorderCell::drawFocusRingMaskWithFrame(gfx::Rect cellFrame, ui::View&)
{
    krRecorderRoundedFrame(cellFrame)->fill();
}

// Tracking areas and the mouse.

void KRRecorderCell::resetTrackingRects()
{
    auto view = controlView();
    if (!view)
        return;
    if (!isEnabled()) {
        if (m_removeTrackingRectTag)
            view->removeTrackingRect(m_removeTrackingRectTag);
        if (m_snapbackTrackingRectTag)
            view->removeTrackingRect(m_snapbackTrackingRectTag);
        m_removeTrackingRectTag = m_snapbackTrackingRectTag = 0;
        return;
    }
    const auto bounds = view->bounds();
    const auto area = m_isRecording ? _snapbackRectForFrame(bounds) : _removeButtonRectForFrame(bounds);
    auto window = view->window();
    bool inside = false;
    if (window) {
        auto mouse = view->convertPointFromView(window->mouseLocationOutsideOfEventStream(), nullptr);
        inside = gfx::mouseInRect(mouse, area, view->isFlipped());
    }
    // Both old areas go: the button the other state showed is no longer there.
    if (m_removeTrackingRectTag)
        view->removeTrackingRect(m_removeTrackingRectTag);
    if (m_snapbackTrackingRectTag)
        view->removeTrackingRect(m_snapbackTrackingRectTag);
    m_removeTrackingRectTag = m_snapbackTrackingRectTag = 0;
    if (!area.isEmpty()) {
        long tag = view->addTrackingRect(area, view, {}, inside);
        (m_isRecording ? m_snapbackTrackingRectTag : m_removeTrackingRectTag) = tag;
    }
    m_mouseInsideTrackingArea = inside && !area.isEmpty();
}

void KRRecorderCell::mouseEntered(const ui::Event& event)
{
    auto view = controlView();
    auto window = view ? view->window() : nullptr;
    if (window && (window->isKeyWindow() || view->acceptsFirstMouse(&event))) {
        m_mouseInsideTrackingArea = true;
        _redrawControl();
    }
}

void KRRecorderCell::mouseExited(const ui::Event& event)
{
    auto view = controlView();
    auto window = view ? view->window() : nullptr;
    if (window && (window->isKeyWindow() || view->acceptsFirstMouse(&event))) {
        m_mouseInsideTrackingArea = false;
        _redrawControl();
    }
}

bool KRRecorderCell::trackMouse(const ui::Event& event, gfx::Rect cellFrame, ui::View& controlView, bool)
{
    auto self = shared_from_this();
    const auto button = m_isRecording ? _snapbackRectForFrame(cellFrame) : _removeButtonRectForFrame(cellFrame);
    gfx::Rect textArea = cellFrame;
    if (!button.isEmpty())
        textArea.size.width -= button.width() + 4;
    auto& app = ui::Application::shared();
    auto overButton = [&](const ui::Event& e) {
        auto point = controlView.convertPointFromView(e.locationInWindow(), nullptr);
        return gfx::mouseInRect(point, button, controlView.isFlipped());
    };
    // The given event first, then the next mouse-ups and drags until the button goes up.
    std::shared_ptr<ui::Event> held;
    const ui::Event* last = &event;
    for (;;) {
        if (last->type() == ui::EventType::LeftMouseDragged) {
            m_mouseInsideTrackingArea = overButton(*last);
            _redrawControl();
        } else if (last->type() == ui::EventType::LeftMouseDown) {
            if (overButton(*last)) {
                m_mouseDown = true;
                _redrawControl();
            }
        } else {
            break;
        }
        held = app.nextEvent(ui::EventMasks::LeftMouseUp | ui::EventMasks::LeftMouseDragged, fnd::Date::distantFuture(),
            fnd::RunLoopMode::EventTracking, true);
        if (!held)
            return true; // no further event: tracking ends at once
        last = held.get();
    }

    m_mouseDown = false;
    m_mouseInsideTrackingArea = overButton(*last);
    if (m_mouseInsideTrackingArea) {
        if (m_isRecording)
            _endRecordingTransition();
        else
            setKeyCombo(KREmptyKeyCombo);
    } else {
        auto point = controlView.convertPointFromView(last->locationInWindow(), nullptr);
        if (gfx::mouseInRect(point, textArea, controlView.isFlipped()) && !m_isRecording && isEnabled())
            _startRecordingTransition();
    }
    if (isEnabled()) {
        if (auto window = controlView.window())
            window->makeFirstResponder(std::static_pointer_cast<ui::Responder>(controlView.shared_from_this()));
    }
    resetTrackingRects();
    _redrawControl();
    return true;
}

bool KRRecorderCell::becomeFirstResponder()
{
    resetTrackingRects();
    _redrawControl();
    return true;
}

bool KRRecorderCell::resignFirstResponder()
{
    if (m_isRecording)
        _endRecordingTransition();
    resetTrackingRects();
    _redrawControl();
    return true;
}
