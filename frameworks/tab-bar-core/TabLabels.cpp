#include "frameworks/tab-bar-core/TabLabels.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/FontManager.h"
#include "platform/graphics/Shadow.h"
#include "platform/text/AttributedString.h"
#include "platform/text/Attributes.h"
#include "platform/text/ParagraphStyle.h"

#include <map>
#include <string>

namespace tbcore {

namespace {

constexpr double TabLabelsCapsuleRadius = 7.0;

const txt::Attributes& tabLabelsCountAttributes()
{
    static const txt::Attributes attributes = [] {
        auto font = gfx::Font::fontWithName("Helvetica", 11.0);
        if (auto bold = gfx::FontManager::shared().convertFontToHaveTrait(font, gfx::FontTraitMask::Bold))
            font = bold;
        return txt::Attributes { { txt::FontAttributeName, fnd::Value(font) },
            { txt::ForegroundColorAttributeName, fnd::Value(gfx::Color::colorWithCalibratedWhite(1.0, 0.85)) } };
    }();
    return attributes;
}

}

std::shared_ptr<txt::AttributedString> countString(unsigned long count)
{
    return std::make_shared<txt::AttributedString>(fnd::String(std::to_string(count)), tabLabelsCountAttributes());
}

void drawCountCapsule(gfx::Rect rect, const gfx::ColorPtr& fill, const txt::AttributedString& figure, double textDrop)
{
    fill->setFill();
    gfx::BezierPath::bezierPathWithRoundedRect(rect, TabLabelsCapsuleRadius, TabLabelsCapsuleRadius)->fill();
    const gfx::Size s = figure.size();
    figure.drawInRect({ rect.minX() + (rect.width() - s.width) / 2 + 0.25,
        rect.minY() + (rect.height() - s.height) / 2 + textDrop, s.width, s.height });
}

namespace {

// The two attribute sets a Metal title takes, made once per process: a title is made for every layout and draw.
const txt::Attributes& tabLabelsMetalAttributes(bool emphasised)
{
    static const auto make = [](double shadowAlpha) {
        auto paragraph = txt::ParagraphStyle::defaultParagraphStyle()->mutableCopy();
        paragraph->setLineBreakMode(txt::LineBreakMode::ByTruncatingTail);
        paragraph->setAlignment(txt::TextAlignment::Center);
        auto shadow = std::make_shared<gfx::Shadow>();
        shadow->setShadowColor(gfx::Color::colorWithCalibratedWhite(1.0, shadowAlpha));
        shadow->setShadowOffset({ 0.0, -1.0 });
        shadow->setShadowBlurRadius(1.0);
        return txt::Attributes { { txt::FontAttributeName, fnd::Value(gfx::Font::boldSystemFontOfSize(11.0)) },
            { txt::ForegroundColorAttributeName, fnd::Value(gfx::Color::textColor()->colorWithAlphaComponent(0.75)) },
            { txt::ShadowAttributeName, fnd::Value(shadow) },
            { txt::ParagraphStyleAttributeName, fnd::Value(paragraph) } };
    };
    static const txt::Attributes emphasisedAttributes = make(0.8);
    static const txt::Attributes plainAttributes = make(0.5);
    return emphasised ? emphasisedAttributes : plainAttributes;
}

// Measured titles by text. Kept per thread, like the text system that measures them; emptied when full, since a
// bar shows a few dozen titles at most.
constexpr std::size_t TabLabelsMeasuredTitlesLimit = 256;

}

std::shared_ptr<txt::AttributedString> metalTitle(const fnd::String& title, bool emphasised)
{
    return std::make_shared<txt::AttributedString>(title, tabLabelsMetalAttributes(emphasised));
}

double metalTitleWidth(const fnd::String& title)
{
    thread_local std::map<fnd::String, double> measured;
    if (auto known = measured.find(title); known != measured.end())
        return known->second;
    if (measured.size() >= TabLabelsMeasuredTitlesLimit)
        measured.clear();
    // Emphasis changes only the shadow's strength, never the width.
    const double width = metalTitle(title, false)->size().width;
    measured.emplace(title, width);
    return width;
}

}
