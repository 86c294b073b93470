#include "frameworks/FoundationExtensions/ZORNSAttributedStringExtension.h"

#include "platform/foundation/locale/Collator.h"
#include "platform/foundation/runtime/StringFormat.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"

#include <algorithm>
#include <memory>

namespace ZORNSAttributedStringExtension {

namespace {

// A storage, layout manager and container so wide that text lays out on one line unless it holds line breaks. One
// per thread, kept for the thread's life, as text drawing happens often.
struct OneLineTextSystem {
    std::shared_ptr<txt::TextStorage> storage = std::make_shared<txt::TextStorage>();
    std::shared_ptr<txt::LayoutManager> manager = fnd::makeObject<txt::LayoutManager>();
    std::shared_ptr<txt::TextContainer> container = std::make_shared<txt::TextContainer>(gfx::Size { 1e7, 1e7 });

    OneLineTextSystem()
    {
        container->setLineFragmentPadding(0);
        manager->addTextContainer(container);
        storage->addLayoutManager(manager);
    }

    txt::LayoutManager& layOut(const txt::AttributedString& text)
    {
        storage->setAttributedString(text);
        return *manager;
    }
};

OneLineTextSystem& textSystem()
{
    thread_local OneLineTextSystem system;
    return system;
}

// A second one for the ellipsis, so measuring it keeps the line's layout.
OneLineTextSystem& ellipsisSystem()
{
    thread_local OneLineTextSystem system;
    return system;
}

bool isLineBreak(char16_t c)
{
    return c == u'\n' || c == u'\r' || c == 0x2028 || c == 0x2029 || c == 0x85 || c == 0x0B || c == 0x0C;
}

const fnd::String& ellipsis()
{
    static const fnd::String s = fnd::String::fromCodePoint(0x2026);
    return s;
}

}

void drawInRectangle(
    const txt::AttributedString& text, const gfx::Rect& rectangle, int alignment, bool verticallyCentered)
{
    if (text.length() == 0)
        return;
    auto& system = textSystem();
    auto& manager = system.layOut(text);
    const auto& container = *system.container;

    fnd::Range line;
    const auto used = manager.lineFragmentUsedRectForGlyphAtIndex(0, &line);
    const double halfHeight = used.height() / 2;
    const double width = rectangle.width();

    // The glyphs shown: the first line without its line break.
    fnd::Range shown = line;
    while (shown.length > 0 && isLineBreak(text.string().characterAt(shown.max() - 1)))
        --shown.length;

    const bool truncating = used.width() > width || line.max() < text.length();
    bool rightToLeft = false;
    bool drawsEllipsis = false;
    double ellipsisWidth = 0;
    txt::Attributes ellipsisAttributes;
    if (truncating) {
        const fnd::Index last = std::max<fnd::Index>(shown.max() - 1, line.location);
        rightToLeft = manager.bidiLevelForGlyphAtIndex(last) != 0;
        ellipsisAttributes = text.attributesAtIndex(last);
        auto& ellipsisManager = ellipsisSystem().layOut(txt::AttributedString(ellipsis(), ellipsisAttributes));
        ellipsisWidth = ellipsisManager.usedRectForTextContainer(*ellipsisSystem().container).width();
        drawsEllipsis = true;
        if (used.width() + ellipsisWidth > width) {
            // Right-to-left lines keep their start, which is their right end, and give up their left end.
            const double y = used.minY() + halfHeight;
            auto fitting = [&](double room) {
                gfx::Point point { rightToLeft ? used.maxX() - room : used.minX() + room, y };
                return manager.glyphIndexForPoint(point, container) - line.location;
            };
            fnd::Index count = fitting(width - ellipsisWidth);
            if (count <= 0) {
                count = std::max<fnd::Index>(fitting(width), 0);
                drawsEllipsis = false;
            }
            shown.length = std::min(count, shown.length);
        }
    }

    // Where the kept glyphs stand on the laid-out line.
    gfx::Rect glyphBounds;
    if (shown.length > 0)
        glyphBounds = manager.boundingRectForGlyphRange(shown, container);
    const double ellipsisRoom = drawsEllipsis ? ellipsisWidth : 0;
    const double lineWidth = glyphBounds.width() + ellipsisRoom;

    double x = rectangle.minX();
    if (alignment == Right)
        x = rectangle.minX() + width - lineWidth;
    else if (alignment == Centre)
        x = rectangle.minX() + width / 2 - lineWidth / 2;
    const double drop = verticallyCentered ? rectangle.height() / 2 - halfHeight : 0;

    // Container coordinates run downwards from the line's top; in a y-up context the top is the rectangle's maxY.
    auto* context = gfx::GraphicsContext::current();
    const bool flipped = context ? context->isFlipped() : true;
    const double top = flipped ? rectangle.minY() + drop - used.minY() : rectangle.maxY() - drop + used.minY();

    const double glyphsX = rightToLeft ? x + ellipsisRoom : x;
    if (shown.length > 0)
        manager.drawGlyphsForGlyphRange(shown, { glyphsX - glyphBounds.minX(), top });

    if (drawsEllipsis) {
        auto& ellipsisManager = ellipsisSystem().layOut(txt::AttributedString(ellipsis(), ellipsisAttributes));
        // On the line's baseline, whatever its own font's ascender.
        const fnd::Index baselineGlyph = std::max<fnd::Index>(shown.max() - 1, line.location);
        const double baselineShift
            = manager.locationForGlyphAtIndex(baselineGlyph).y - ellipsisManager.locationForGlyphAtIndex(0).y;
        const double ellipsisX = rightToLeft ? x : x + glyphBounds.width();
        const double ellipsisTop = flipped ? top + used.minY() + baselineShift : top - used.minY() - baselineShift;
        ellipsisManager.drawGlyphsForGlyphRange({ 0, 1 }, { ellipsisX, ellipsisTop });
    }
}

std::weak_ordering caseInsensitiveCompare(const txt::AttributedString& text, const txt::AttributedString& other)
{
    return text.string().caseInsensitiveCompare(other.string());
}

std::weak_ordering localizedCaseInsensitiveCompare(
    const txt::AttributedString& text, const txt::AttributedString& other)
{
    return fnd::localizedCaseInsensitiveCompare(text.string(), other.string());
}

fnd::String humanReadableDescriptionForAttributes(const txt::Attributes& attributes)
{
    auto font = attributes.get(txt::FontAttributeName).objectAs<gfx::Font>();
    if (!font)
        return {};
    return fnd::stringWithFormat("%@, %.2f pt", font->displayName(), font->pointSize());
}

}
