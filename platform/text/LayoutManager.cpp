#include "platform/text/LayoutManager.h"

#include "platform/foundation/runtime/Exception.h"
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

double defaultLineHeight(const gfx::Font& font)
{
    return font.ascender() - font.descender() + font.leading();
}

double LayoutManager::defaultLineHeightForFont(const gfx::Font& font) const
{
    return defaultLineHeight(font);
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

void LayoutManager::textStorageEdited(unsigned mask, fnd::Range range, fnd::Index changeInLength)
{
    // Temporary attributes follow the characters: after the edit they move, inside it they go.
    if (mask & TextStorageEdited::Characters) {
        const fnd::Index oldEnd = range.max() - changeInLength;
        std::vector<TemporaryAttribute> kept;
        for (auto t : m_temporaryAttributes) {
            if (t.range.max() <= range.location) {
                kept.push_back(t);
            } else if (t.range.location >= oldEnd) {
                t.range.location += changeInLength;
                kept.push_back(t);
            } else if (t.range.location < range.location) {
                t.range.length = range.location - t.range.location;
                kept.push_back(t);
            }
        }
        m_temporaryAttributes = std::move(kept);
    }
    if (m_layout) {
        std::size_t laidOut = 0;
        if (range.location == fnd::NotFound || !detail::updateLayout(*this, *m_layout, range, changeInLength, &laidOut))
            m_layout.reset();
        else
            m_paragraphsLaidOut += laidOut;
    }
    if (auto d = delegate())
        d->layoutManagerDidProcessEditing(*this, mask, range, changeInLength);
}

void LayoutManager::setMaskCharacter(char32_t character)
{
    if (character == m_maskCharacter)
        return;
    m_maskCharacter = character;
    invalidateLayout();
}

const LayoutManager::Layout& LayoutManager::layout() const
{
    if (!m_layout) {
        m_layout = detail::buildLayout(*this);
        m_paragraphsLaidOut += m_layout->paragraphs.size();
    }
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
    return m_textStorage ? m_textStorage->length() : 0;
}

gfx::Glyph LayoutManager::glyphAtIndex(Index glyphIndex) const
{
    checkGlyphIndex(glyphIndex, "glyphAtIndex");
    const auto& l = layout();
    auto k = l.paragraphAt(glyphIndex);
    const auto& p = l.paragraphs[k];
    const auto& slot = p.slots[static_cast<std::size_t>(glyphIndex - l.start(k))];
    return slot.recordCount > 0 && !slot.hidden ? p.records[slot.firstRecord].glyph : NullGlyph;
}

std::shared_ptr<gfx::Font> LayoutManager::fontForGlyphAtIndex(Index glyphIndex) const
{
    checkGlyphIndex(glyphIndex, "fontForGlyphAtIndex");
    const auto& l = layout();
    const auto& slot = l.slot(glyphIndex);
    return slot.font >= 0 ? l.fonts[static_cast<std::size_t>(slot.font)] : defaultFont();
}

int LayoutManager::bidiLevelForGlyphAtIndex(Index glyphIndex) const
{
    checkGlyphIndex(glyphIndex, "bidiLevelForGlyphAtIndex");
    return layout().slot(glyphIndex).level;
}

bool LayoutManager::isNotShownAttributeForGlyphAtIndex(Index glyphIndex) const
{
    checkGlyphIndex(glyphIndex, "isNotShownAttributeForGlyphAtIndex");
    const auto& slot = layout().slot(glyphIndex);
    return slot.hidden || slot.recordCount == 0;
}

gfx::Size LayoutManager::attachmentSizeForGlyphAtIndex(Index glyphIndex) const
{
    checkGlyphIndex(glyphIndex, "attachmentSizeForGlyphAtIndex");
    const auto* frame = layout().attachmentFrame(glyphIndex);
    return frame ? frame->size : gfx::Size { -1, -1 };
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
    Layout::Line line;
    if (!l.lineOf(glyphIndex, line))
        return nullptr;
    if (effectiveGlyphRange)
        *effectiveGlyphRange = l.containerRanges[line.container];
    return m_containers[line.container].get();
}

gfx::Rect LayoutManager::lineFragmentRectForGlyphAtIndex(Index glyphIndex, fnd::Range* effectiveGlyphRange) const
{
    checkGlyphIndex(glyphIndex, "lineFragmentRectForGlyphAtIndex");
    Layout::Line line;
    if (!layout().lineOf(glyphIndex, line)) {
        if (effectiveGlyphRange)
            *effectiveGlyphRange = { glyphIndex, 1 };
        return {};
    }
    if (effectiveGlyphRange)
        *effectiveGlyphRange = line.range;
    return line.rect;
}

gfx::Rect LayoutManager::lineFragmentUsedRectForGlyphAtIndex(Index glyphIndex, fnd::Range* effectiveGlyphRange) const
{
    checkGlyphIndex(glyphIndex, "lineFragmentUsedRectForGlyphAtIndex");
    Layout::Line line;
    if (!layout().lineOf(glyphIndex, line)) {
        if (effectiveGlyphRange)
            *effectiveGlyphRange = { glyphIndex, 1 };
        return {};
    }
    if (effectiveGlyphRange)
        *effectiveGlyphRange = line.range;
    return line.usedRect;
}

gfx::Point LayoutManager::locationForGlyphAtIndex(Index glyphIndex) const
{
    checkGlyphIndex(glyphIndex, "locationForGlyphAtIndex");
    const auto& l = layout();
    const auto& slot = l.slot(glyphIndex);
    Layout::Line line;
    if (!l.lineOf(glyphIndex, line))
        return {};
    return { slot.x, line.baseline - slot.shift };
}

gfx::Rect LayoutManager::boundingRectForGlyphRange(fnd::Range glyphRange, const TextContainer& container) const
{
    auto index = containerIndex(container);
    const auto& l = layout();
    double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
    auto range = intersection(glyphRange, { 0, numberOfGlyphs() });
    l.forLinesIn(range, index, [&](const Layout::Line& line, const Layout::Paragraph& p, Index start) {
        auto part = intersection(line.range, range);
        for (Index i = part.location; i < part.max(); ++i) {
            const auto& slot = p.slots[static_cast<std::size_t>(i - start)];
            minX = std::min(minX, line.rect.minX() + slot.x);
            maxX = std::max(maxX, line.rect.minX() + slot.x + slot.advance);
        }
        if (part.length > 0) {
            minY = std::min(minY, line.rect.minY());
            maxY = std::max(maxY, line.rect.maxY());
        }
    });
    if (minX > maxX)
        return {};
    return { minX, minY, maxX - minX, maxY - minY };
}

fnd::Range LayoutManager::glyphRangeForBoundingRect(const gfx::Rect& rect, const TextContainer& container) const
{
    auto index = containerIndex(container);
    const auto& l = layout();
    Index first = -1, last = -1;
    for (std::size_t k = l.paragraphBelow(rect.minY()); k < l.paragraphs.size(); ++k) {
        const auto& p = l.paragraphs[k];
        bool below = false;
        for (std::size_t li = 0; li < p.lines.size(); ++li) {
            if (static_cast<std::ptrdiff_t>(p.lines[li].container) != index)
                continue;
            auto line = l.placedLine(k, li);
            if (line.rect.minY() >= rect.maxY()) {
                below = l.incremental;
                break;
            }
            if (line.rect.maxY() <= rect.minY())
                continue;
            if (first < 0)
                first = line.range.location;
            last = line.range.max();
        }
        if (below)
            break;
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
        Layout::Line line;
        if (at == n && l.extraLine) {
            if (static_cast<std::ptrdiff_t>(l.extraLine->container) == index)
                rects.push_back({ l.extraLine->usedRect.minX() + container.lineFragmentPadding(),
                    l.extraLine->rect.minY(), 0, l.extraLine->rect.height() });
        } else if (at < n && l.lineOf(at, line)) {
            const auto& slot = l.slot(at);
            if (static_cast<std::ptrdiff_t>(line.container) == index)
                rects.push_back({ line.rect.minX() + slot.x, line.rect.minY(), 0, line.rect.height() });
        } else if (at == n && n > 0 && l.lineOf(n - 1, line)) {
            const auto& slot = l.slot(n - 1);
            if (static_cast<std::ptrdiff_t>(line.container) == index)
                rects.push_back({ line.rect.minX() + slot.x + slot.advance, line.rect.minY(), 0, line.rect.height() });
        } else if (n == 0 && index >= 0) {
            rects.push_back({ container.lineFragmentPadding(), 0, 0, defaultLineHeightForFont(*defaultFont()) });
        }
        return rects;
    }
    auto range = intersection(characterRange, { 0, n });
    l.forLinesIn(range, index, [&](const Layout::Line& line, const Layout::Paragraph& p, Index start) {
        auto part = intersection(line.range, range);
        if (part.length == 0)
            return;
        double minX = INFINITY, maxX = -INFINITY;
        for (Index i = part.location; i < part.max(); ++i) {
            const auto& slot = p.slots[static_cast<std::size_t>(i - start)];
            minX = std::min(minX, line.rect.minX() + slot.x);
            maxX = std::max(maxX, line.rect.minX() + slot.x + slot.advance);
        }
        if (minX > maxX)
            return;
        rects.push_back({ minX, line.rect.minY(), maxX - minX, line.rect.height() });
    });
    return rects;
}

Index LayoutManager::glyphIndexForPoint(
    gfx::Point point, const TextContainer& container, double* fractionOfDistanceThroughGlyph) const
{
    auto index = containerIndex(container);
    const auto& l = layout();
    if (fractionOfDistanceThroughGlyph)
        *fractionOfDistanceThroughGlyph = 0;
    // The line at the point's height: below the last line, the last line.
    std::optional<Layout::Line> found;
    std::size_t foundParagraph = 0;
    auto k0 = l.paragraphBelow(point.y);
    if (l.incremental && k0 >= l.paragraphs.size() && !l.paragraphs.empty())
        k0 = l.paragraphs.size() - 1;
    for (std::size_t k = l.incremental ? k0 : 0; k < l.paragraphs.size() && !(found && point.y < found->rect.maxY());
         ++k) {
        const auto& p = l.paragraphs[k];
        for (std::size_t li = 0; li < p.lines.size(); ++li) {
            if (static_cast<std::ptrdiff_t>(p.lines[li].container) != index)
                continue;
            found = l.placedLine(k, li);
            foundParagraph = k;
            if (point.y < found->rect.maxY())
                break;
        }
    }
    if (!found)
        return numberOfGlyphs();
    if (l.extraLine && point.y >= found->rect.maxY() && static_cast<std::ptrdiff_t>(l.extraLine->container) == index)
        return numberOfGlyphs();
    const auto& p = l.paragraphs[foundParagraph];
    const Index start = l.start(foundParagraph);
    // The nearest glyph with an advance on that line.
    Index best = found->range.location;
    double bestDistance = INFINITY;
    for (Index i = found->range.location; i < found->range.max(); ++i) {
        const auto& slot = p.slots[static_cast<std::size_t>(i - start)];
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
    const auto& text = m_textStorage->string().units();
    // A point on an empty line (only its terminator) puts the caret before the terminator.
    if (isParagraphSeparator(text[static_cast<std::size_t>(index)])
        || isLineSeparator(text[static_cast<std::size_t>(index)]))
        return index;
    const auto& slot = l.slot(index);
    bool rightToLeft = slot.level & 1;
    if ((fraction > 0.5) != rightToLeft) {
        ++index; // past the cluster's trailing units
        while (index < n) {
            const auto& next = l.slot(index);
            auto c = text[static_cast<std::size_t>(index)];
            if (next.recordCount != 0 || next.advance != 0 || c < 0x20 || isParagraphSeparator(c) || isLineSeparator(c))
                break;
            ++index;
        }
    }
    return index;
}

gfx::Rect LayoutManager::usedRectForTextContainer(const TextContainer& container) const
{
    auto index = containerIndex(container);
    const auto& l = layout();
    bool any = false;
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    auto add = [&](const gfx::Rect& r) {
        if (!any) {
            minX = r.minX(), minY = r.minY(), maxX = r.maxX(), maxY = r.maxY();
            any = true;
        } else {
            minX = std::min(minX, r.minX()), minY = std::min(minY, r.minY());
            maxX = std::max(maxX, r.maxX()), maxY = std::max(maxY, r.maxY());
        }
    };
    if (l.incremental && index == 0) {
        // One container, lines stacked without gaps: from the first line's top to the last one's bottom, as wide as
        // the widest paragraph.
        if (!l.paragraphs.empty()) {
            const auto& first = l.paragraphs.front();
            const auto& last = l.paragraphs.back();
            if (!first.lines.empty() && !last.lines.empty()) {
                auto top = l.placedLine(0, 0).usedRect;
                // The last line's used bottom, from the running total (its own gap below it stays as laid out).
                const auto& lastLine = last.lines.back();
                double bottom = l.bottom - (lastLine.rect.maxY() - lastLine.usedRect.maxY())
                    - (last.layoutTop + last.height - lastLine.rect.maxY());
                auto [lo, hi] = l.usedExtentX();
                add({ lo, top.minY(), hi - lo, bottom - top.minY() });
            }
        }
    } else {
        for (std::size_t k = 0; k < l.paragraphs.size(); ++k)
            for (std::size_t li = 0; li < l.paragraphs[k].lines.size(); ++li)
                if (static_cast<std::ptrdiff_t>(l.paragraphs[k].lines[li].container) == index)
                    add(l.placedLine(k, li).usedRect);
    }
    return any ? gfx::Rect { minX, minY, maxX - minX, maxY - minY } : gfx::Rect {};
}

gfx::Rect LayoutManager::extraLineFragmentRect() const
{
    const auto& l = layout();
    return l.extraLine ? l.extraLine->rect : gfx::Rect {};
}

gfx::Rect LayoutManager::extraLineFragmentUsedRect() const
{
    const auto& l = layout();
    return l.extraLine ? l.extraLine->usedRect : gfx::Rect {};
}

TextContainer* LayoutManager::extraLineFragmentTextContainer() const
{
    const auto& l = layout();
    return l.extraLine ? m_containers[l.extraLine->container].get() : nullptr;
}

// Temporary attributes.

void LayoutManager::setTemporaryAttributes(const Attributes& attributes, fnd::Range characterRange)
{
    std::vector<fnd::String> names;
    for (const auto& t : m_temporaryAttributes)
        if (std::ranges::find(names, t.name) == names.end())
            names.push_back(t.name);
    for (const auto& name : names)
        removeTemporaryAttribute(name, characterRange);
    for (const auto& [name, value] : attributes)
        addTemporaryAttribute(name, value, characterRange);
}

void LayoutManager::addTemporaryAttribute(const fnd::String& name, const fnd::Value& value, fnd::Range characterRange)
{
    if (characterRange.length <= 0)
        return;
    removeTemporaryAttribute(name, characterRange);
    m_temporaryAttributes.push_back({ characterRange, name, value });
}

void LayoutManager::removeTemporaryAttribute(const fnd::String& name, fnd::Range characterRange)
{
    std::vector<TemporaryAttribute> kept;
    for (const auto& t : m_temporaryAttributes) {
        if (t.name != name || intersection(t.range, characterRange).length == 0) {
            kept.push_back(t);
            continue;
        }
        if (t.range.location < characterRange.location)
            kept.push_back({ { t.range.location, characterRange.location - t.range.location }, t.name, t.value });
        if (t.range.max() > characterRange.max())
            kept.push_back({ { characterRange.max(), t.range.max() - characterRange.max() }, t.name, t.value });
    }
    m_temporaryAttributes = std::move(kept);
}

Attributes LayoutManager::temporaryAttributesAtCharacterIndex(fnd::Index index, fnd::Range* effectiveRange) const
{
    Attributes result;
    Index lo = 0, hi = fnd::NotFound;
    for (const auto& t : m_temporaryAttributes) {
        if (t.range.contains(index)) {
            result.set(t.name, t.value);
            lo = std::max(lo, t.range.location);
            hi = std::min(hi, t.range.max());
        } else if (t.range.location > index) {
            hi = std::min(hi, t.range.location);
        } else {
            lo = std::max(lo, t.range.max());
        }
    }
    if (effectiveRange) {
        if (hi == fnd::NotFound)
            hi = std::max(index + 1, numberOfGlyphs());
        *effectiveRange = { lo, hi - lo };
    }
    return result;
}

Attributes LayoutManager::drawingAttributesAtIndex(fnd::Index index, fnd::Range* effectiveRange) const
{
    Attributes scratch;
    return drawingAttributesAtIndex(index, effectiveRange, scratch);
}

const Attributes& LayoutManager::drawingAttributesAtIndex(
    fnd::Index index, fnd::Range* effectiveRange, Attributes& scratch) const
{
    fnd::Range stored;
    const Attributes& attributes = m_textStorage->attributesAtIndex(index, &stored);
    if (m_temporaryAttributes.empty()) {
        if (effectiveRange)
            *effectiveRange = stored;
        return attributes;
    }
    scratch = attributes;
    fnd::Range temporary;
    for (const auto& [name, value] : temporaryAttributesAtCharacterIndex(index, &temporary))
        scratch.set(name, value);
    if (effectiveRange)
        *effectiveRange = intersection(stored, temporary);
    return scratch;
}

}
