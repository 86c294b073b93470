#include "platform/text/AttributedString.h"

#include "platform/graphics/GraphicsContext.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/ParagraphStyle.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextRanges.h"
#include "platform/text/TextStorage.h"

#include <algorithm>
#include <optional>

namespace txt {

namespace {

// One storage, layout manager and container per thread, reused by every drawing call.
struct DrawingTextSystem {
    std::shared_ptr<TextStorage> storage = std::make_shared<TextStorage>();
    std::shared_ptr<LayoutManager> manager = fnd::makeObject<LayoutManager>();
    std::shared_ptr<TextContainer> container = std::make_shared<TextContainer>();

    DrawingTextSystem()
    {
        container->setLineFragmentPadding(0);
        manager->addTextContainer(container);
        storage->addLayoutManager(manager);
        storage->setPostsEditingNotifications(false);
    }

    static DrawingTextSystem& forThread()
    {
        thread_local DrawingTextSystem system;
        return system;
    }

    // A text measured and then drawn comes here twice in a row: the second time its layout stands.
    LayoutManager& layOut(const AttributedString& text, gfx::Size size)
    {
        if (laidOut && container->containerSize() == size && storage->isEqual(text))
            return *manager;
        container->setContainerSize(size);
        storage->setAttributedString(text);
        laidOut = true;
        return *manager;
    }

    bool laidOut = false;
};

// Text measured or drawn without a width to align in: every line starts at the leading edge. Laid out in the
// unbounded container as it stands, a centred line would sit half of that width away and a right-aligned one at
// its far end, so the used rect would say where the line is, not how big the text is. Without a style of its own
// a paragraph is aligned by its direction, and a right-to-left one would stand at the far end too.
const AttributedString& leadingAligned(const AttributedString& text, std::optional<AttributedString>& copy)
{
    const auto& units = text.string().units();
    // No character below Hebrew's block starts a right-to-left paragraph (the test the bidi levels make too).
    const bool mayBeRightToLeft = std::any_of(units.begin(), units.end(), [](char16_t c) { return c >= 0x0590; });
    for (fnd::Index at = 0; at < text.length();) {
        fnd::Range run;
        auto style = text.attributeAtIndex(ParagraphStyleAttributeName, at, &run).objectAs<ParagraphStyle>();
        if (style ? style->alignment() != TextAlignment::Left : mayBeRightToLeft) {
            if (!copy)
                copy.emplace(text);
            auto leading = style ? style->mutableCopy() : ParagraphStyle::defaultParagraphStyle();
            leading->setAlignment(TextAlignment::Left);
            copy->addAttribute(ParagraphStyleAttributeName, fnd::Value(leading), run);
        }
        at = std::max(run.max(), at + 1);
    }
    return copy ? *copy : text;
}

bool isFlipped()
{
    auto* context = gfx::GraphicsContext::current();
    return context ? context->isFlipped() : true;
}

}

gfx::Size AttributedString::size() const
{
    std::optional<AttributedString> copy;
    auto& system = DrawingTextSystem::forThread();
    auto& manager = system.layOut(leadingAligned(*this, copy), { 1e7, 1e7 });
    auto used = manager.usedRectForTextContainer(*system.container);
    return { used.maxX(), used.maxY() };
}

gfx::Rect AttributedString::boundingRectWithSize(gfx::Size size) const
{
    std::optional<AttributedString> copy;
    auto& system = DrawingTextSystem::forThread();
    auto& manager = size.width > 0 ? system.layOut(*this, { size.width, 1e7 })
                                   : system.layOut(leadingAligned(*this, copy), { 1e7, 1e7 });
    auto used = manager.usedRectForTextContainer(*system.container);
    return { 0, 0, used.maxX(), used.maxY() };
}

void AttributedString::drawAtPoint(gfx::Point point) const
{
    if (length() == 0)
        return;
    std::optional<AttributedString> copy;
    auto& system = DrawingTextSystem::forThread();
    auto& manager = system.layOut(leadingAligned(*this, copy), { 1e7, 1e7 });
    auto used = manager.usedRectForTextContainer(*system.container);
    gfx::Point origin = isFlipped() ? point : gfx::Point { point.x, point.y + used.maxY() };
    fnd::Range all { 0, manager.numberOfGlyphs() };
    manager.drawBackgroundForGlyphRange(all, origin);
    manager.drawGlyphsForGlyphRange(all, origin);
}

void AttributedString::drawInRect(const gfx::Rect& rect) const
{
    if (length() == 0 || rect.width() <= 0 || rect.height() <= 0)
        return;
    const bool flipped = isFlipped();
    gfx::Point origin { rect.minX(), flipped ? rect.minY() : rect.maxY() };
    auto* context = gfx::GraphicsContext::current();
    if (context) {
        context->saveGraphicsState();
        context->clipToRect(rect);
    }
    auto& system = DrawingTextSystem::forThread();
    auto& manager = system.layOut(*this, { rect.width(), 1e7 });
    // The lines that fit; at least the first, which the clip cuts if it is too high.
    fnd::Index shown = 0;
    gfx::Rect lastLine;
    fnd::Range lastRange { 0, 0 };
    while (shown < manager.numberOfGlyphs()) {
        fnd::Range range;
        auto fragment = manager.lineFragmentRectForGlyphAtIndex(shown, &range);
        if (range.location > 0 && fragment.maxY() > rect.height() + 1e-9)
            break;
        lastLine = fragment;
        lastRange = range;
        shown = range.max();
    }
    const bool leftOver = shown < manager.numberOfGlyphs();
    fnd::Range drawn { 0, leftOver ? lastRange.location : shown };
    manager.drawBackgroundForGlyphRange(drawn, origin);
    manager.drawGlyphsForGlyphRange(drawn, origin);
    if (leftOver) {
        // The last line again, on its own: the rest of its paragraph, cut at the tail.
        auto paragraph = paragraphRangeForRange(string(), { lastRange.location, 0 });
        fnd::Index end = paragraph.max();
        while (end > lastRange.location && (isParagraphSeparator(string().units()[static_cast<std::size_t>(end - 1)])))
            --end;
        auto tail = attributedSubstringFromRange({ lastRange.location, end - lastRange.location });
        fnd::Range styled;
        auto style = tail.length() > 0
            ? tail.attributeAtIndex(ParagraphStyleAttributeName, 0, &styled).objectAs<ParagraphStyle>()
            : nullptr;
        auto truncating = style ? style->mutableCopy() : ParagraphStyle::defaultParagraphStyle();
        truncating->setLineBreakMode(LineBreakMode::ByTruncatingTail);
        truncating->setFirstLineHeadIndent(style ? style->headIndent() : 0);
        if (tail.length() > 0)
            tail.addAttribute(ParagraphStyleAttributeName, truncating, { 0, tail.length() });
        auto& lineManager = system.layOut(tail, { rect.width(), 1e7 });
        gfx::Point lineOrigin { origin.x, flipped ? origin.y + lastLine.minY() : origin.y - lastLine.minY() };
        fnd::Range line { 0, lineManager.numberOfGlyphs() };
        if (line.length > 0)
            lineManager.lineFragmentRectForGlyphAtIndex(0, &line);
        lineManager.drawBackgroundForGlyphRange(line, lineOrigin);
        lineManager.drawGlyphsForGlyphRange(line, lineOrigin);
    }
    if (context)
        context->restoreGraphicsState();
}

}
