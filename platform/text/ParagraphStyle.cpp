#include "platform/text/ParagraphStyle.h"

#include <algorithm>
#include <cmath>

namespace txt {

FND_REGISTER_CLASS(ParagraphStyle, fnd::Object)

ParagraphStyle::ParagraphStyle()
{
    for (int i = 1; i <= 12; ++i)
        m_tabStops.push_back({ TextTabType::Left, 28.0 * i });
}

std::shared_ptr<ParagraphStyle> ParagraphStyle::defaultParagraphStyle()
{
    return std::make_shared<ParagraphStyle>();
}

const ParagraphStyle& ParagraphStyle::defaultStyle()
{
    static const ParagraphStyle style;
    return style;
}

void ParagraphStyle::setTabStops(std::vector<TextTab> tabs)
{
    m_tabStops.clear();
    for (const auto& tab : tabs)
        addTabStop(tab); // keeps stops at one location in the given order
}

void ParagraphStyle::addTabStop(TextTab tab)
{
    if (m_tabStops.size() >= TabStopLimit || !std::isfinite(tab.location) || std::abs(tab.location) > LargestLength
        || static_cast<int>(tab.type) < 0 || static_cast<int>(tab.type) > static_cast<int>(TextTabType::Decimal))
        return;
    auto at = std::ranges::upper_bound(m_tabStops, tab.location, {}, &TextTab::location);
    m_tabStops.insert(at, tab);
}

bool ParagraphStyle::isEqual(const fnd::Object& other) const
{
    auto* o = dynamic_cast<const ParagraphStyle*>(&other);
    return o && m_alignment == o->m_alignment && m_lineBreakMode == o->m_lineBreakMode && m_tabStops == o->m_tabStops
        && m_defaultTabInterval == o->m_defaultTabInterval && m_firstLineHeadIndent == o->m_firstLineHeadIndent
        && m_headIndent == o->m_headIndent && m_tailIndent == o->m_tailIndent
        && m_paragraphSpacingBefore == o->m_paragraphSpacingBefore && m_paragraphSpacing == o->m_paragraphSpacing
        && m_lineSpacing == o->m_lineSpacing && m_minimumLineHeight == o->m_minimumLineHeight
        && m_maximumLineHeight == o->m_maximumLineHeight;
}

std::size_t ParagraphStyle::hash() const
{
    return std::hash<int>()(static_cast<int>(m_alignment)) ^ (m_tabStops.size() << 4)
        ^ std::hash<double>()(m_headIndent + m_firstLineHeadIndent);
}

}
