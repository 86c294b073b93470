#include "frameworks/tab-bar-core/TabLabels.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/FontManager.h"
#include "platform/graphics/Shadow.h"
#include "platform/text/AttributedString.h"
#include "platform/text/Attributes.h"
#include "platform/text/ParagraphStyle.h"

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

std::shared_ptr<txt::AttributedString> metalTitle(const fnd::String& title, bool emphasised)
{
    static const auto paragraph = [] {
        auto p = txt::ParagraphStyle::defaultParagraphStyle()->mutableCopy();
        p->setLineBreakMode(txt::LineBreakMode::ByTruncatingTail);
        p->setAlignment(txt::TextAlignment::Center);
        return p;
    }();
    auto shadow = std::make_shared<gfx::Shadow>();
    shadow->setShadowColor(gfx::Color::colorWithCalibratedWhite(1.0, emphasised ? 0.8 : 0.5));
    shadow->setShadowOffset({ 0.0, -1.0 });
    shadow->setShadowBlurRadius(1.0);
    return std::make_shared<txt::AttributedString>(title,
        txt::Attributes { { txt::FontAttributeName, fnd::Value(gfx::Font::boldSystemFontOfSize(11.0)) },
            { txt::ForegroundColorAttributeName, fnd::Value(gfx::Color::textColor()->colorWithAlphaComponent(0.75)) },
            { txt::ShadowAttributeName, fnd::Value(shadow) },
            { txt::ParagraphStyleAttributeName, fnd::Value(paragraph) } });
}

}
