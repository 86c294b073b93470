#include "frameworks/ZORAppKit/ZORThemedControls/ZORTSegmentedCell.h"

#include "frameworks/AppKitExtensions/Themes/ZORThemeDrawing.h"

#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/text/Attributes.h"

#include <algorithm>
#include <vector>

FND_REGISTER_CLASS(ZORTSegmentedCell, ui::SegmentedCell)

namespace {

// Between a segment's image and its label.
constexpr double ImageLabelGap = 5;
// Labels never start further left than this, in the control's coordinates.
constexpr double MinimumLabelX = 3;

}

void ZORTSegmentedCell::describeClass(fnd::ClassBuilder<ZORTSegmentedCell>& c)
{
    c.property("themeKey", &ZORTSegmentedCell::themeKey, &ZORTSegmentedCell::setThemeKey);
    c.action("_canAnimate", &ZORTSegmentedCell::_canAnimate);
    c.action("_isSliderStyle", &ZORTSegmentedCell::_isSliderStyle);
}

void ZORTSegmentedCell::init()
{
    SegmentedCell::init();
    SegmentedCell::setSegmentStyle(ui::SegmentStyle::Rounded);
}

void ZORTSegmentedCell::setSegmentStyle(ui::SegmentStyle style)
{
    if (style != ui::SegmentStyle::Rounded && style != ui::SegmentStyle::SmallSquare) {
        fnd::log(fnd::LogLevel::Warning, fnd::String("Warning: unsupported segment style for:") + className());
        return;
    }
    SegmentedCell::setSegmentStyle(style);
}

bool ZORTSegmentedCell::hasText() const
{
    for (long i = 0; i < segmentCount(); ++i) {
        if (!labelForSegment(i).isEmpty())
            return true;
    }
    return false;
}

gfx::Rect ZORTSegmentedCell::drawingRectForBounds(gfx::Rect bounds) const
{
    auto rect = SegmentedCell::drawingRectForBounds(bounds);
    if (auto t = theme())
        return ZORThemeDrawing::segmentedDrawingRect(*t, rect);
    return rect;
}

void ZORTSegmentedCell::drawWithFrame(gfx::Rect cellFrame, ui::View& controlView)
{
    auto t = theme();
    if (!t) {
        SegmentedCell::drawWithFrame(cellFrame, controlView);
        return;
    }
    setControlView(std::static_pointer_cast<ui::View>(controlView.shared_from_this()));
    std::vector<gfx::Rect> rects;
    for (long i = 0; i < segmentCount(); ++i)
        rects.push_back(rectForSegment(i, cellFrame));
    ZORThemeDrawing::SegmentStrip strip;
    strip.segmentStyle = static_cast<long>(segmentStyle());
    strip.enabled = isEnabled();
    strip.backgroundStyle = ZORThemedControls::backgroundStyleOfCell(*this);
    strip.selectedSegment = selectedSegment();
    strip.segmentRects = rects;
    ZORThemeDrawing::drawSegmentedStrip(*t, drawingRectForBounds(cellFrame), strip,
        [&](long segment, gfx::Rect rect) { drawSegment(segment, rect, controlView); });
}

void ZORTSegmentedCell::drawSegment(long segment, gfx::Rect frame, ui::View& controlView)
{
    auto t = theme();
    if (!t) {
        SegmentedCell::drawSegment(segment, frame, controlView);
        return;
    }
    const ZORThemeStateMask mask = !isEnabled() ? ZORThemeState::Disabled
        : segment == selectedSegment()          ? ZORThemeState::On
                                                : 0;
    ZORThemeDrawing::drawSegment(*t, frame, mask, segment + 1 >= segmentCount());
    drawInteriorForSegment(segment, frame);
}

void ZORTSegmentedCell::drawInteriorForSegment(long segment, gfx::Rect frame)
{
    auto t = theme();
    if (!t)
        return;
    const auto mask = ZORThemedControls::stateMaskForCell(*this);
    const double alpha = t->alphaValueForStateMask(mask);
    fnd::Dictionary attributes;
    attributes.set(txt::FontAttributeName,
        fnd::Value(gfx::Font::controlContentFontOfSize(gfx::Font::systemFontSizeForControlSize(controlSize()))));
    attributes.set(txt::ForegroundColorAttributeName,
        fnd::Value(t->textColorForBackgroundStyle(ZORThemedControls::backgroundStyleOfCell(*this), mask)));
    txt::AttributedString label(labelForSegment(segment), attributes);
    const auto labelSize = textSize(label);
    const double x = frame.minX(), y = frame.minY(), w = frame.width(), h = frame.height();

    auto image = imageForSegment(segment);
    if (!image) {
        double labelX = std::max(MinimumLabelX, x + w / 2 - labelSize.width / 2);
        drawText(label, { labelX, y + h / 2 - labelSize.height / 2, labelSize.width, labelSize.height }, false);
        return;
    }
    // Proportionally scaled images are shown 4 points shorter than the segment; the image itself is left alone.
    auto imageSize = image->size();
    if (imageScalingForSegment(segment) == ui::ImageScaling::ProportionallyDown && imageSize.height > 0)
        imageSize = { imageSize.width * (h - 4) / imageSize.height, h - 4 };
    auto drawImageAt = [&](double imageX) {
        image->drawInRect({ imageX, y + h / 2 - imageSize.height / 2, imageSize.width, imageSize.height }, {},
            gfx::CompositingOperation::SourceAtop, alpha, true);
    };
    if (label.length() > 0) {
        double imageX = x + w / 2 - (labelSize.width + imageSize.width + ImageLabelGap) / 2;
        drawImageAt(imageX);
        drawText(label,
            { imageX + imageSize.width + ImageLabelGap, y + h / 2 - labelSize.height / 2, labelSize.width,
                labelSize.height },
            false);
    } else {
        drawImageAt(x + w / 2 - imageSize.width / 2);
    }
}

void ZORTSegmentedCell::encodeWithCoder(fnd::Coder& coder) const
{
    SegmentedCell::encodeWithCoder(coder);
    ZORThemedControls::encodeThemeKey(coder, m_themeKey);
}

bool ZORTSegmentedCell::initWithCoder(fnd::Coder& coder)
{
    if (!SegmentedCell::initWithCoder(coder))
        return false;
    if (auto key = ZORThemedControls::decodeThemeKey(coder))
        m_themeKey = *key;
    return !coder.hasFailed();
}
