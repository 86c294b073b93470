// The barcode view's drawing: background, bars or matrix modules, captions and headline, focus ring, and the text
// shown instead of a barcode.
#include "application/TBQBarcodeView.h"

#include "barcodes/TBQGeneric2DBarcode.h"
#include "frameworks/AppKitExtensions/ZORBezierLayoutManager.h"
#include "platform/foundation/files/Bundle.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/ParagraphStyle.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <vector>

namespace {

constexpr double PlaceholderInset = 10;
constexpr double PlaceholderFontSize = 14;
constexpr double FocusRingWidth = 4;
// A matrix buffer without a symbol height is drawn as if it were this many row units high.
constexpr double DefaultMatrixHeight = 50;

}

void TBQBarcodeView::drawRect(gfx::Rect)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    const gfx::Rect b = bounds();

    if (!m_barcode || !errorTextOfBarcode(*m_barcode).isEmpty()) {
        fnd::String text;
        auto color = gfx::Color::grayColor();
        if (m_barcode) {
            text = errorTextOfBarcode(*m_barcode);
            color = gfx::Color::redColor();
        } else if (m_placeHolderIsMultiplySelection) {
            text = fnd::Bundle::bundleForClass("TBQBarcodeView")
                       ->localizedStringForKey("MultiplySelection", {}, "DocumentStrings");
        } else {
            text = m_noBarcodeTextString;
        }
        drawPlaceholder(text, color);
        return;
    }

    // 1. Background. Export mode leaves the page transparent: the view is then drawn alone into a fresh page.
    if (m_barcode->shouldDrawBackground() && m_barcode->backgroundColor()) {
        m_barcode->backgroundColor()->setFill();
        gfx::BezierPath::fillRect(b);
    } else if (!m_drawForExport) {
        gfx::Color::colorWithPatternImage(m_backgroundImage)->setFill();
        gfx::BezierPath::fillRect(b);
    }

    // 2. The symbol.
    if (auto* matrix = dynamic_cast<const TBQGeneric2DBarcode*>(m_barcode.get())) {
        gfx::Rect zone = matrix->quietZone();
        draw2DBarcode(*matrix, zone.origin);
    } else {
        drawBarCode(*m_barcode, {});
        if (auto addOn = m_barcode->addOn())
            drawBarCode(*addOn, { m_barcode->workAreaSize().width, 0 });
    }

    // 3. The focus ring, on screen only: never in a copy, drag or export.
    auto w = window();
    if (w && w->firstResponder().get() == this && context->isDrawingToScreen()) {
        gfx::Color::keyboardFocusIndicatorColor()->setStroke();
        gfx::BezierPath::setDefaultLineWidth(FocusRingWidth);
        gfx::BezierPath::strokeRect(b);
        gfx::BezierPath::setDefaultLineWidth(1.0);
    }
}

void TBQBarcodeView::drawPlaceholder(const fnd::String& text, const std::shared_ptr<gfx::Color>& color)
{
    const gfx::Rect b = bounds();
    gfx::Color::whiteColor()->setFill();
    gfx::BezierPath::fillRect(b);

    auto style = txt::ParagraphStyle::defaultParagraphStyle();
    style->setAlignment(txt::TextAlignment::Center);
    txt::Attributes attributes;
    attributes.set(txt::FontAttributeName, gfx::Font::controlContentFontOfSize(PlaceholderFontSize));
    attributes.set(txt::ForegroundColorAttributeName, color);
    attributes.set(txt::ParagraphStyleAttributeName, style);
    txt::AttributedString string(text, attributes);

    // Centred vertically in the inset bounds; text taller than them ends in an ellipsis.
    gfx::Rect t = gfx::insetRect(b, PlaceholderInset, PlaceholderInset);
    double textHeight = std::min(string.boundingRectWithSize(t.size).height(), t.height());
    t.origin.y += (t.height() - textHeight) / 2;
    t.size.height = textHeight;
    string.drawInRect(t);
}

void TBQBarcodeView::drawBarCode(const TBQGenericBarcode& c, gfx::Point offset)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    const ModuleString modules = c.completeEncodedBarcode();
    gfx::GraphicsStateGuard guard;
    context->setShouldAntialias(true);

    // 1. One rectangle per run of dark modules, as high as the run's last module.
    const double moduleWidth = c.barWidth();
    const double left = c.firstBarPosition() + offset.x;
    gfx::BezierPath bars;
    auto addRun = [&](std::size_t start, std::size_t length, std::size_t last) {
        double bottom = c.bottomPositionForBarIndex(static_cast<fnd::Index>(last));
        double top = c.topPositionForBarIndex(static_cast<fnd::Index>(last));
        bars.appendBezierPathWithRect(
            { left + double(start) * moduleWidth, offset.y + bottom, double(length) * moduleWidth, top - bottom });
    };
    std::size_t runStart = 0, runLength = 0;
    for (std::size_t i = 0; i < modules.size(); ++i) {
        if (modules[i] == '1') {
            if (runLength == 0)
                runStart = i;
            ++runLength;
        } else if (runLength > 0) {
            addRun(runStart, runLength, i - 1);
            runLength = 0;
        }
    }
    if (runLength > 0)
        addRun(runStart, runLength, modules.size() - 1);
    if (c.barColor())
        c.barColor()->setFill();
    bars.setLineWidth(0);
    bars.fill();

    // 2. Captions and light-margin indicators.
    if (c.drawCaption()) {
        const double baseline = c.captionBaselinePosition();
        auto caption = [&](const fnd::String& text, double x, double width) {
            drawText(
                text, { x + offset.x, baseline }, width, true, c.font(), c.barColor(), false, c.convertTextToVector());
        };
        if (c.drawLightMarginIndicators() && c.supportLeftLightMarginIndicators() && !c.isAddOn())
            caption(c.leftLightMarginIndicator(), c.xPositionForLeftLightMarginIndicator(),
                c.areaWidthForLeftLightMarginIndicator());
        for (int i = 0; i < c.numberOfCaptionStrings(); ++i)
            caption(c.captionStringWithIndex(i), c.xPositionForCaptionStringWithIndex(i),
                c.areaWidthForCaptionStringWithIndex(i));
        if (c.drawLightMarginIndicators() && c.supportRightLightMarginIndicators() && !c.hadAddOn())
            caption(c.rightLightMarginIndicator(), c.xPositionForRightLightMarginIndicator(),
                c.areaWidthForRightLightMarginIndicator());
    }

    // 3. Headline.
    if (c.drawHeadline() && c.drawCaption())
        drawText(c.headline(), { c.firstBarPosition() + offset.x, c.headlineBaselinePosition() }, c.width(), false,
            c.headlineFont(), c.barColor(), true, c.convertTextToVector());
}

void TBQBarcodeView::draw2DBarcode(const TBQGeneric2DBarcode& c, gfx::Point offset)
{
    const auto* symbol = c.matrixSymbol();
    auto* context = gfx::GraphicsContext::current();
    if (!symbol || !context)
        return;
    gfx::GraphicsStateGuard guard;
    context->setShouldAntialias(false);

    // 1. Row heights in row units: a row of height 0 takes an equal share of what the symbol height leaves. The
    // buffer is only read.
    const int rows = std::clamp(symbol->drawnRows, 0, TBQGeneric2DBarcode::MaximumRows);
    const int columns = std::clamp(symbol->width, 0, TBQGeneric2DBarcode::MaximumColumns);
    double fixed = 0;
    int shared = 0;
    for (int r = 0; r < rows; ++r) {
        fixed += symbol->rowHeight[static_cast<std::size_t>(r)];
        shared += symbol->rowHeight[static_cast<std::size_t>(r)] == 0 ? 1 : 0;
    }
    const double symbolHeight = symbol->height != 0 ? symbol->height : DefaultMatrixHeight;
    const double share = shared > 0 ? (symbolHeight - fixed) / shared : 0;
    auto rowHeight = [&](int r) {
        int h = symbol->rowHeight[static_cast<std::size_t>(r)];
        return h == 0 ? share : double(h);
    };

    // 2. Dark runs of each row, from the bottom row up: row 0 of the buffer is the top of the symbol.
    const double module = c.barWidth();
    gfx::BezierPath modules;
    double y = 0;
    for (int i = 0; i < rows; ++i) {
        const int r = rows - 1 - i;
        const double h = rowHeight(r);
        for (int x = 0; x < columns;) {
            const bool dark = c.isModuleSetWithY(r, x);
            int n = 1;
            while (x + n < columns && c.isModuleSetWithY(r, x + n) == dark)
                ++n;
            if (dark)
                modules.appendBezierPathWithRect(
                    { offset.x + x * module, offset.y + y * module, n * module, h * module });
            x += n;
        }
        y += h;
    }
    if (c.barColor())
        c.barColor()->setFill();
    modules.setLineWidth(0);
    modules.fill();
}

void TBQBarcodeView::drawText(const fnd::String& text, gfx::Point position, double width, bool justify,
    const std::shared_ptr<gfx::Font>& font, const std::shared_ptr<gfx::Color>& color, bool allowDownScale,
    bool convertToVector)
{
    auto* context = gfx::GraphicsContext::current();
    if (text.isEmpty() || !font || !context)
        return;
    gfx::GraphicsStateGuard guard;
    auto textColor = color ? color : gfx::Color::blackColor();
    txt::Attributes attributes;
    attributes.set(txt::FontAttributeName, font);
    attributes.set(txt::ForegroundColorAttributeName, textColor);
    m_textStorage->setAttributedString(txt::AttributedString(text, attributes));
    auto outlines = m_glyphLayoutManager->glyphPathsForContainer(*m_glyphTextContainer);

    txt::LayoutManager& layout
        = convertToVector ? static_cast<txt::LayoutManager&>(*m_glyphLayoutManager) : *m_layoutManager;
    const txt::TextContainer& container = convertToVector ? *m_glyphTextContainer : *m_textContainer;
    const fnd::Index count = text.length();
    const gfx::Rect used = layout.usedRectForTextContainer(container);
    const gfx::Rect fragment = layout.lineFragmentRectForGlyphAtIndex(0);
    // The first line's baseline lies this far below the text's top.
    const double baselineOffset = layout.locationForGlyphAtIndex(0).y;
    const double top = position.y + baselineOffset - fragment.minY();

    // Shrinks the text about its centre to the width.
    auto downScale = [&](double left) {
        gfx::Point centre { left + used.width() / 2, top - used.height() / 2 };
        double factor = width / used.width();
        context->translateCTM(centre.x, centre.y);
        context->scaleCTM(factor, factor);
        context->translateCTM(-centre.x, -centre.y);
    };

    if (width == 0 || count < 2) {
        double x0 = position.x + fragment.minX();
        if (width > 0 && width > used.width())
            x0 += (width - used.width()) / 2;
        else if (width > 0 && width < used.width() && allowDownScale)
            downScale(x0);
        drawGlyphRange({ 0, count }, x0, position.y, convertToVector, outlines, *textColor);
        return;
    }

    // Letter-spaced: each character at its own laid-out x plus k steps.
    double step = 0;
    if (justify && used.width() <= width)
        step = std::min(used.width() / double(count), (width - used.width()) / double(count - 1));
    const double x0 = position.x + (width - (used.width() + double(count - 1) * step)) / 2;
    if (width < used.width() && allowDownScale)
        downScale(x0);
    for (fnd::Index k = 0; k < count; ++k)
        drawGlyphRange({ k, 1 }, x0 + double(k) * step, position.y, convertToVector, outlines, *textColor);
}

void TBQBarcodeView::drawGlyphRange(fnd::Range range, double x, double baselineY, bool vector,
    const std::vector<std::shared_ptr<gfx::BezierPath>>& outlines, const gfx::Color& color)
{
    txt::LayoutManager& layout = vector ? static_cast<txt::LayoutManager&>(*m_glyphLayoutManager) : *m_layoutManager;
    const double baselineOffset = layout.locationForGlyphAtIndex(0).y;
    if (!vector) {
        // The container's top left goes where the first line's baseline lands on baselineY.
        layout.drawGlyphsForGlyphRange(range, { x, baselineY + baselineOffset });
        return;
    }
    // Outlines stand upright with their baselines at baselineOffset.
    gfx::AffineTransform shift = gfx::AffineTransform::translation(x, baselineY - baselineOffset);
    color.setFill();
    for (fnd::Index i = range.location; i < range.max() && i < static_cast<fnd::Index>(outlines.size()); ++i) {
        gfx::BezierPath glyph(*outlines[static_cast<std::size_t>(i)]);
        glyph.transformUsingAffineTransform(shift);
        glyph.fill();
    }
}
