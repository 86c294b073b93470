// Layout: the work area and where bars, caption, headline and light-margin indicators go inside it.
#include "barcodes/TBQGenericBarcode.h"

#include "barcodes/detail/QuietZone.h"

#include "platform/text/LayoutManager.h"

#include <algorithm>

using namespace fnd;

gfx::Rect TBQGenericBarcode::autoCalcedQuietZone() const
{
    double v = std::max(11 * barWidth(), QuietZone::Minimum);
    return { v, v / 2, v, v / 2 };
}

double TBQGenericBarcode::bottomPositionForBarIndex(Index) const
{
    double b = quietZoneBottom();
    return verticalCaptionPosition() == 1 ? std::max(captionHeight(), b) : std::max(0.0, b);
}

double TBQGenericBarcode::topPositionForBarIndex(Index index) const
{
    return bottomPositionForBarIndex(index) + height();
}

String TBQGenericBarcode::caption() const
{
    String text = validatedContentString();
    if (appendChecksumToCaption())
        text += checksum();
    return text;
}

String TBQGenericBarcode::captionStringWithIndex(int) const
{
    return caption();
}

double TBQGenericBarcode::xPositionForCaptionStringWithIndex(int) const
{
    return firstBarPosition();
}

double TBQGenericBarcode::areaWidthForCaptionStringWithIndex(int) const
{
    return width();
}

double TBQGenericBarcode::areaWidthForLeftLightMarginIndicator() const
{
    return font() ? font()->boundingRectForFont().width() : 0;
}

double TBQGenericBarcode::areaWidthForRightLightMarginIndicator() const
{
    return font() ? font()->boundingRectForFont().width() : 0;
}

double TBQGenericBarcode::xPositionForLeftLightMarginIndicator() const
{
    return firstBarPosition() - areaWidthForLeftLightMarginIndicator();
}

double TBQGenericBarcode::xPositionForRightLightMarginIndicator() const
{
    return lastBarPosition();
}

double TBQGenericBarcode::firstBarPosition() const
{
    if (drawCaption() && numberOfCaptionsStringsLeft() >= 1)
        return std::max(areaWidthForCaptionStringWithIndex(0), quietZoneLeft());
    if (supportLeftLightMarginIndicators() && drawLightMarginIndicators() && !isAddOn())
        return std::max(areaWidthForLeftLightMarginIndicator(), quietZoneLeft());
    return quietZoneLeft();
}

double TBQGenericBarcode::lastBarPosition() const
{
    return firstBarPosition() + width() - barWidth();
}

void TBQGenericBarcode::recalculateWorkAreaSize()
{
    // 1.
    m_captionHeight = 0;
    m_headlineHeight = 0;

    // 2. The delegate first hears of the error the previous validation left; this run overwrites the size below.
    if (!validatedErrorString().isEmpty()) {
        m_workAreaSize = { 300, 300 };
        updateModficationDate();
        notifyWorkAreaChanged();
    }

    // 3.
    if (calcQuietZone()) {
        for (auto& key : QuietZone::Keys)
            willChangeValueForKey(key);
        m_quietZoneRect = autoCalcedQuietZone();
        for (auto& key : QuietZone::Keys)
            didChangeValueForKey(key);
    }

    // 4.
    double descender = 0;
    if (drawCaption()) {
        const gfx::Font& captionFont = layoutFont();
        m_captionHeight = txt::defaultLineHeight(captionFont);
        descender = captionFont.descender();
        double base = verticalCaptionPosition() == 0 ? height() + quietZoneBottom() : 0;
        m_captionBaselinePosition = base - descender + fontOffset();
    }

    // 5. The headline stands one descender-depth above the bars.
    if (drawHeadline() && drawCaption()) {
        const gfx::Font& headline = layoutFont();
        m_headlineHeight = txt::defaultLineHeight(headline);
        descender = headline.descender();
        m_headlineBaselinePosition
            = std::max(m_captionHeight, quietZoneBottom()) - descender + height() - descender + fontOffset();
    }

    // 6. Encoding validates the content, so the error text is current from here on.
    m_width = barWidth() * static_cast<double>(completeEncodedBarcode().size());

    // 7.
    double left = 0;
    if (drawCaption() && numberOfCaptionsStringsLeft() >= 1)
        left = areaWidthForCaptionStringWithIndex(0);
    else if (drawLightMarginIndicators() && supportLeftLightMarginIndicators() && !isAddOn())
        left = areaWidthForLeftLightMarginIndicator();
    double right = 0;
    if (drawCaption() && numberOfCaptionsStringsRight() >= 1)
        right = areaWidthForCaptionStringWithIndex(numberOfCaptionStrings() - 1);
    else if (drawLightMarginIndicators() && supportRightLightMarginIndicators() && !hadAddOn())
        right = areaWidthForRightLightMarginIndicator();

    // 8.
    m_workAreaSize.width = std::max(quietZoneLeft(), left) + m_width + std::max(quietZoneRight(), right);
    m_workAreaSize.height = std::max(m_captionHeight, quietZoneBottom()) + height() + quietZoneTop() + m_headlineHeight;

    // 9.
    updateModficationDate();
    notifyWorkAreaChanged();
}
