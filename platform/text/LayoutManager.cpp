#include "platform/text/LayoutManager.h"

#include "platform/foundation/Exception.h"
#include "platform/text/TextAttachment.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextRanges.h"
#include "platform/text/TextStorage.h"
#include "platform/text/Typesetter.h"
#include "platform/text/detail/Layout.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>

namespace txt {

FND_REGISTER_CLASS(LayoutManager, fnd::Object)

using fnd::Index;

LayoutManager::LayoutManager()
    : m_typesetter(std::make_shared<Typesetter>())
{
}

LayoutManager::~LayoutManager()
{
    for (const auto& container : m_containers)
        container->m_layoutManager.reset();
}

double LayoutManager::defaultLineHeightForFont(const gfx::Font& font) const
{
    return font.ascender() - font.descender() + font.leading();
}

std::shared_ptr<gfx::Font> LayoutManager::defaultFont()
{
    static const auto font = gfx::Font::fontWithName("DejaVu Sans", 12);
    return font;
}

void LayoutManager::setTextStorage(TextStorage* storage)
{
    m_textStorage = storage;
    invalidateLayout();
}

void LayoutManager::addTextContainer(const std::shared_ptr<TextContainer>& container)
{
    insertTextContainer(container, m_containers.size());
}

void LayoutManager::insertTextContainer(const std::shared_ptr<TextContainer>& container, std::size_t index)
{
    if (!container)
        return;
    if (auto previous = container->layoutManager()) {
        auto at = previous->containerIndex(*container);
        if (at >= 0)
            previous->removeTextContainerAtIndex(static_cast<std::size_t>(at));
    }
    index = std::min(index, m_containers.size());
    m_containers.insert(m_containers.begin() + static_cast<std::ptrdiff_t>(index), container);
    container->m_layoutManager = std::static_pointer_cast<LayoutManager>(weak_from_this().lock());
    invalidateLayout();
}

void LayoutManager::removeTextContainerAtIndex(std::size_t index)
{
    if (index >= m_containers.size())
        throw fnd::Exception::range(fmt::format("removeTextContainerAtIndex: index {} out of bounds", index));
    m_containers[index]->m_layoutManager.reset();
    m_containers.erase(m_containers.begin() + static_cast<std::ptrdiff_t>(index));
    invalidateLayout();
}

std::ptrdiff_t LayoutManager::containerIndex(const TextContainer& container) const
{
    for (std::size_t i = 0; i < m_containers.size(); ++i)
        if (m_containers[i].get() == &container)
            return static_cast<std::ptrdiff_t>(i);
    return -1;
}

void LayoutManager::setTypesetter(std::shared_ptr<Typesetter> typesetter)
{
    m_typesetter = typesetter ? std::move(typesetter) : std::make_shared<Typesetter>();
    invalidateLayout();
}

void LayoutManager::invalidateLayout()
{
    m_layout.reset();
}

void LayoutManager::textStorageEdited(unsigned, fnd::Range, fnd::Index)
{
    invalidateLayout();
}

const LayoutManager::Layout& LayoutManager::layout() const
{
    if (!m_layout)
        m_layout = detail::buildLayout(*this);
    return *m_layout;
}

void LayoutManager::checkGlyphIndex(Index glyphIndex, const char* operation) const
{
    if (glyphIndex < 0 || glyphIndex >= numberOfGlyphs())
        throw fnd::Exception::range(
            fmt::format("{}: glyph index {} out of bounds; {} glyphs", operation, glyphIndex, numberOfGlyphs()));
}

Index LayoutManager::numberOfGlyphs() const
{
    return static_cast<Index>(layout().slots.size());
}

gfx::Glyph LayoutManager::glyphAtIndex(Index glyphIndex) const
{
    checkGlyphIndex(glyphIndex, "glyphAtIndex");
    const auto& l = layout();
    const auto& slot = l.slots[static_cast<std::size_t>(glyphIndex)];
    return slot.recordCount > 0 && !slot.hidden ? l.records[slot.firstRecord].glyph : NullGlyph;
}

std::shared_ptr<gfx::Font> LayoutManager::fontForGlyphAtIndex(Index glyphIndex) const
{
    checkGlyphIndex(glyphIndex, "fontForGlyphAtIndex");
    const auto& l = layout();
    const auto& slot = l.slots[static_cast<std::size_t>(glyphIndex)];
    return slot.font >= 0 ? l.fonts[static_cast<std::size_t>(slot.font)] : defaultFont();
}

int LayoutManager::bidiLevelForGlyphAtIndex(Index glyphIndex) const
{
    checkGlyphIndex(glyphIndex, "bidiLevelForGlyphAtIndex");
    return layout().slots[static_cast<std::size_t>(glyphIndex)].level;
}

bool LayoutManager::isNotShownAttributeForGlyphAtIndex(Index glyphIndex) const
{
    checkGlyphIndex(glyphIndex, "isNotShownAttributeForGlyphAtIndex");
    const auto& slot = layout().slots[static_cast<std::size_t>(glyphIndex)];
    return slot.hidden || slot.recordCount == 0;
}

gfx::Size LayoutManager::attachmentSizeForGlyphAtIndex(Index glyphIndex) const
{
    checkGlyphIndex(glyphIndex, "attachmentSizeForGlyphAtIndex");
    const auto& frames = layout().attachmentFrames;
    auto at = frames.find(glyphIndex);
    return at == frames.end() ? gfx::Size { -1, -1 } : at->second.size;
}

fnd::Range LayoutManager::glyphRangeForTextContainer(const TextContainer& container) const
{
    auto index = containerIndex(container);
    if (index < 0)
        return fnd::Range::notFound();
    return layout().containerRanges[static_cast<std::size_t>(index)];
}

TextContainer* LayoutManager::textContainerForGlyphAtIndex(Index glyphIndex, fnd::Range* effectiveGlyphRange) const
{
    checkGlyphIndex(glyphIndex, "textContainerForGlyphAtIndex");
    const auto& l = layout();
    auto line = l.slots[static_cast<std::size_t>(glyphIndex)].line;
    if (line < 0)
        return nullptr;
    auto container = l.lines[static_cast<std::size_t>(line)].container;
    if (effectiveGlyphRange)
        *effectiveGlyphRange = l.containerRanges[container];
    return m_containers[container].get();
}

namespace {

// The line fragment a glyph was laid in, or null for a glyph laid in none (its effective range is then itself).
const LayoutManager::Layout::Line* lineOfGlyph(
    const LayoutManager::Layout& l, Index glyphIndex, fnd::Range* effectiveGlyphRange)
{
    auto line = l.slots[static_cast<std::size_t>(glyphIndex)].line;
    if (line < 0) {
        if (effectiveGlyphRange)
            *effectiveGlyphRange = { glyphIndex, 1 };
        return nullptr;
    }
    const auto& found = l.lines[static_cast<std::size_t>(line)];
    if (effectiveGlyphRange)
        *effectiveGlyphRange = found.range;
    return &found;
}

}

gfx::Rect LayoutManager::lineFragmentRectForGlyphAtIndex(Index glyphIndex, fnd::Range* effectiveGlyphRange) const
{
    checkGlyphIndex(glyphIndex, "lineFragmentRectForGlyphAtIndex");
    const auto* line = lineOfGlyph(layout(), glyphIndex, effectiveGlyphRange);
    return line ? line->rect : gfx::Rect {};
}

gfx::Rect LayoutManager::lineFragmentUsedRectForGlyphAtIndex(Index glyphIndex, fnd::Range* effectiveGlyphRange) const
{
    checkGlyphIndex(glyphIndex, "lineFragmentUsedRectForGlyphAtIndex");
    const auto* line = lineOfGlyph(layout(), glyphIndex, effectiveGlyphRange);
    return line ? line->usedRect : gfx::Rect {};
}

gfx::Point LayoutManager::locationForGlyphAtIndex(Index glyphIndex) const
{
    checkGlyphIndex(glyphIndex, "locationForGlyphAtIndex");
    const auto& l = layout();
    const auto& slot = l.slots[static_cast<std::size_t>(glyphIndex)];
    if (slot.line < 0)
        return {};
    return { slot.x, l.lines[static_cast<std::size_t>(slot.line)].baseline - slot.shift };
}

gfx::Rect LayoutManager::boundingRectForGlyphRange(fnd::Range glyphRange, const TextContainer& container) const
{
    auto index = containerIndex(container);
    const auto& l = layout();
    double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
    auto range = intersection(glyphRange, { 0, numberOfGlyphs() });
    for (Index i = range.location; i < range.max(); ++i) {
        const auto& slot = l.slots[static_cast<std::size_t>(i)];
        if (slot.line < 0
            || static_cast<std::ptrdiff_t>(l.lines[static_cast<std::size_t>(slot.line)].container) != index)
            continue;
        const auto& rect = l.lines[static_cast<std::size_t>(slot.line)].rect;
        minX = std::min(minX, rect.minX() + slot.x);
        maxX = std::max(maxX, rect.minX() + slot.x + slot.advance);
        minY = std::min(minY, rect.minY());
        maxY = std::max(maxY, rect.maxY());
    }
    if (minX > maxX)
        return {};
    return { minX, minY, maxX - minX, maxY - minY };
}

fnd::Range LayoutManager::glyphRangeForBoundingRect(const gfx::Rect& rect, const TextContainer& container) const
{
    auto index = containerIndex(container);
    const auto& l = layout();
    Index first = -1, last = -1;
    for (const auto& line : l.lines) {
        if (static_cast<std::ptrdiff_t>(line.container) != index)
            continue;
        if (line.rect.maxY() <= rect.minY() || line.rect.minY() >= rect.maxY())
            continue;
        if (first < 0)
            first = line.range.location;
        last = line.range.max();
    }
    return first < 0 ? fnd::Range { 0, 0 } : fnd::Range { first, last - first };
}

std::vector<gfx::Rect> LayoutManager::rectsForCharacterRange(
    fnd::Range characterRange, const TextContainer& container) const
{
    std::vector<gfx::Rect> rects;
    auto index = containerIndex(container);
    const auto& l = layout();
    const Index n = numberOfGlyphs();
    if (characterRange.length == 0) {
        Index at = std::clamp<Index>(characterRange.location, 0, n);
        if (at < n && l.slots[static_cast<std::size_t>(at)].line >= 0) {
            const auto& slot = l.slots[static_cast<std::size_t>(at)];
            const auto& line = l.lines[static_cast<std::size_t>(slot.line)];
            if (static_cast<std::ptrdiff_t>(line.container) == index)
                rects.push_back({ line.rect.minX() + slot.x, line.rect.minY(), 0, line.rect.height() });
        } else if (at == n && n > 0 && l.slots[static_cast<std::size_t>(n - 1)].line >= 0) {
            const auto& slot = l.slots[static_cast<std::size_t>(n - 1)];
            const auto& line = l.lines[static_cast<std::size_t>(slot.line)];
            if (static_cast<std::ptrdiff_t>(line.container) == index)
                rects.push_back({ line.rect.minX() + slot.x + slot.advance, line.rect.minY(), 0, line.rect.height() });
        } else if (n == 0 && index >= 0) {
            rects.push_back({ container.lineFragmentPadding(), 0, 0, defaultLineHeightForFont(*defaultFont()) });
        }
        return rects;
    }
    auto range = intersection(characterRange, { 0, n });
    for (std::size_t li = 0; li < l.lines.size(); ++li) {
        const auto& line = l.lines[li];
        if (static_cast<std::ptrdiff_t>(line.container) != index)
            continue;
        auto part = intersection(line.range, range);
        if (part.length == 0)
            continue;
        auto box = boundingRectForGlyphRange(part, container);
        rects.push_back({ box.minX(), line.rect.minY(), box.width(), line.rect.height() });
    }
    return rects;
}

Index LayoutManager::glyphIndexForPoint(
    gfx::Point point, const TextContainer& container, double* fractionOfDistanceThroughGlyph) const
{
    auto index = containerIndex(container);
    const auto& l = layout();
    if (fractionOfDistanceThroughGlyph)
        *fractionOfDistanceThroughGlyph = 0;
    const LayoutManager::Layout::Line* found = nullptr;
    for (const auto& line : l.lines) {
        if (static_cast<std::ptrdiff_t>(line.container) != index)
            continue;
        found = &line; // below the last line: the last line
        if (point.y < line.rect.maxY())
            break;
    }
    if (!found)
        return numberOfGlyphs();
    // The nearest glyph with an advance on that line.
    Index best = found->range.location;
    double bestDistance = INFINITY;
    for (Index i = found->range.location; i < found->range.max(); ++i) {
        const auto& slot = l.slots[static_cast<std::size_t>(i)];
        if (slot.advance <= 0)
            continue;
        double left = found->rect.minX() + slot.x;
        double distance = point.x < left    ? left - point.x
            : point.x > left + slot.advance ? point.x - left - slot.advance
                                            : 0;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
            if (fractionOfDistanceThroughGlyph)
                *fractionOfDistanceThroughGlyph = std::clamp((point.x - left) / slot.advance, 0.0, 1.0);
        }
    }
    return best;
}

Index LayoutManager::characterIndexForPoint(
    gfx::Point point, const TextContainer& container, double* fractionOfDistanceThroughGlyph) const
{
    return glyphIndexForPoint(point, container, fractionOfDistanceThroughGlyph);
}

Index LayoutManager::characterIndexForInsertionAtPoint(gfx::Point point, const TextContainer& container) const
{
    double fraction = 0;
    Index index = glyphIndexForPoint(point, container, &fraction);
    const Index n = numberOfGlyphs();
    if (index >= n)
        return n;
    const auto& l = layout();
    const auto& slot = l.slots[static_cast<std::size_t>(index)];
    bool rightToLeft = slot.level & 1;
    if ((fraction > 0.5) != rightToLeft) {
        ++index; // past the cluster's trailing units
        const auto& text = m_textStorage->string().units();
        while (index < n && l.slots[static_cast<std::size_t>(index)].recordCount == 0
            && l.slots[static_cast<std::size_t>(index)].advance == 0 && text[static_cast<std::size_t>(index)] >= 0x20
            && !isParagraphSeparator(text[static_cast<std::size_t>(index)])
            && !isLineSeparator(text[static_cast<std::size_t>(index)]))
            ++index;
    }
    return index;
}

gfx::Rect LayoutManager::usedRectForTextContainer(const TextContainer& container) const
{
    auto index = containerIndex(container);
    const auto& l = layout();
    bool any = false;
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    for (const auto& line : l.lines) {
        if (static_cast<std::ptrdiff_t>(line.container) != index)
            continue;
        const auto& r = line.usedRect;
        if (!any) {
            minX = r.minX(), minY = r.minY(), maxX = r.maxX(), maxY = r.maxY();
            any = true;
        } else {
            minX = std::min(minX, r.minX()), minY = std::min(minY, r.minY());
            maxX = std::max(maxX, r.maxX()), maxY = std::max(maxY, r.maxY());
        }
    }
    return any ? gfx::Rect { minX, minY, maxX - minX, maxY - minY } : gfx::Rect {};
}

}
