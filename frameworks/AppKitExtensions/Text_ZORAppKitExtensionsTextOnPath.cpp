// Text laid along a path: the placement engine, its drawing and outline entry points, and the cache.

#include "frameworks/AppKitExtensions/Text_ZORAppKitExtensions.h"

#include "frameworks/AppKitExtensions/Editing_ZORAppKitExtensions.h"
#include "frameworks/AppKitExtensions/TBQPathGlyphInfo.h"
#include "frameworks/AppKitExtensions/TBQTextOnPathGlyphAccumulator.h"
#include "frameworks/AppKitExtensions/TBQTextOnPathGlyphDrawer.h"
#include "frameworks/AppKitExtensions/TBQTextOnPathMetricsHelper.h"
#include "frameworks/AppKitExtensions/ZORNSBezierPathExtension.h"
#include "frameworks/AppKitExtensions/detail/PathLengthCursor.h"
#include "frameworks/AppKitExtensions/detail/TextOrientation.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/graphics/Font.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/ParagraphStyle.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"
#include "platform/text/Typesetter.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <vector>

using gfx::BezierPath;
using gfx::Point;

namespace Text_ZORAppKitExtensions {

namespace {

const fnd::String ChecksumKey { "TBQTextOnPathChecksum" };
const fnd::String GlyphPositionsKey { "TBQTextOnPathGlyphPositions" };
const fnd::String TextFittedKey { "TBQTextOnPathTextFitted" };
// What else the cached layout depends on besides the path.
const fnd::String TextKey { "TBQTextOnPathText" };
const fnd::String FlippedKey { "TBQTextOnPathFlipped" };

// How far a glyph may run past the end of the path and still count as fitting: room for rounding in the lengths.
constexpr double FitTolerance = 1e-3;

txt::Attributes& defaultAttributes()
{
    static txt::Attributes attributes { { txt::FontAttributeName, gfx::Font::fontWithName("Helvetica", 12) } };
    return attributes;
}

// A cache serves one path, one text with its attributes and one orientation; anything else empties it.
void claimCache(fnd::Dictionary* cache, const BezierPath& path, const txt::AttributedString& text)
{
    if (!cache)
        return;
    const std::uint64_t sum = Editing_ZORAppKitExtensions::checksum(path);
    const bool flipped = ZORTextOrientation::isFlipped();
    const auto* stored = cache->find(ChecksumKey);
    std::uint64_t storedSum = stored && stored->number() ? stored->number()->unsignedValue() : 0;
    auto storedText = cache->get(TextKey).objectAs<txt::AttributedString>();
    bool same
        = storedSum == sum && storedText && storedText->isEqual(text) && cache->get(FlippedKey).boolValue() == flipped;
    if (same)
        return;
    if (storedSum != 0)
        *cache = fnd::Dictionary();
    cache->set(ChecksumKey, fnd::Value(static_cast<unsigned long long>(sum)));
    cache->set(TextKey, std::make_shared<txt::AttributedString>(text));
    cache->set(FlippedKey, flipped);
}

// The placements a cache holds for the text laid out, or none when it holds none or holds what cannot be this
// text's: anything but placements, a glyph the text lacks, glyphs out of order, or a place or slope that is not a
// number. Such a cache was filled for something else (or by someone else), and the text is laid out again.
std::optional<std::vector<std::shared_ptr<TBQPathGlyphInfo>>> cachedPlacements(
    const fnd::Dictionary& cache, fnd::Range glyphs)
{
    const auto* stored = cache.find(GlyphPositionsKey);
    if (!stored || !stored->array() || !cache.find(TextFittedKey))
        return std::nullopt;
    std::vector<std::shared_ptr<TBQPathGlyphInfo>> placements;
    placements.reserve(stored->array()->size());
    for (const auto& value : *stored->array()) {
        auto info = value.objectAs<TBQPathGlyphInfo>();
        if (!info || info->glyphIndex() < std::uint64_t(glyphs.location)
            || info->glyphIndex() >= std::uint64_t(glyphs.max())
            || (!placements.empty() && info->glyphIndex() <= placements.back()->glyphIndex())
            || !std::isfinite(info->point().x) || !std::isfinite(info->point().y) || !std::isfinite(info->slope()))
            return std::nullopt;
        placements.push_back(std::move(info));
    }
    return placements;
}

// A layout manager of its own, as the shared one is set up, for measuring without disturbing anyone's text.
std::shared_ptr<txt::LayoutManager> makeTextOnPathLayoutManager()
{
    auto manager = fnd::makeObject<txt::LayoutManager>();
    auto container = std::make_shared<txt::TextContainer>(gfx::Size { 1e6, 1e6 });
    container->setLineFragmentPadding(0);
    manager->addTextContainer(container);
    manager->setUsesScreenFonts(false);
    return manager;
}

std::shared_ptr<txt::TextStorage> layOutWith(
    const BezierPath& path, const txt::AttributedString& text, double yOffset, TextOnPathPlacement& helper)
{
    auto manager = textOnPathLayoutManager();
    auto storage = preadjustedTextStorageWithString(path, text, manager);
    layoutStringOnPath(path, *storage, yOffset, &helper, manager.get(), nullptr);
    return storage;
}

}

const std::shared_ptr<txt::LayoutManager>& textOnPathLayoutManager()
{
    static const std::shared_ptr<txt::LayoutManager> manager = makeTextOnPathLayoutManager();
    return manager;
}

txt::Attributes textOnPathDefaultAttributes()
{
    return defaultAttributes();
}

void setTextOnPathDefaultAttributes(txt::Attributes attributes)
{
    defaultAttributes() = std::move(attributes);
}

bool drawTextOnPath(const BezierPath& path, const txt::AttributedString& text, double yOffset,
    const std::shared_ptr<txt::LayoutManager>& layoutManager, fnd::Dictionary* cache)
{
    claimCache(cache, path, text);
    const auto& manager = layoutManager ? layoutManager : textOnPathLayoutManager();
    auto storage = preadjustedTextStorageWithString(path, text, manager);
    drawUnderlinePathForLayoutManager(path, *manager, yOffset, cache);
    // The glyph drawing must not add straight lines of its own.
    storage->removeAttribute(txt::UnderlineStyleAttributeName, { 0, storage->length() });
    storage->removeAttribute(txt::StrikethroughStyleAttributeName, { 0, storage->length() });
    TBQTextOnPathGlyphDrawer drawer;
    bool fitted = layoutStringOnPath(path, *storage, yOffset, &drawer, manager.get(), cache);
    // The text again, with its strikethroughs, for the lines over the glyphs.
    auto again = preadjustedTextStorageWithString(path, text, manager);
    drawStrikethroughPathForLayoutManager(path, *manager, yOffset, cache);
    return fitted;
}

bool drawStringOnPath(const BezierPath& path, const fnd::String& string, const txt::Attributes* attributes)
{
    txt::AttributedString text(string, attributes ? *attributes : defaultAttributes());
    return drawTextOnPath(path, text, 0);
}

std::vector<PathPtr> bezierPathsWithGlyphsOnPath(
    const BezierPath& path, const txt::AttributedString& text, double yOffset)
{
    TBQTextOnPathGlyphAccumulator accumulator;
    layOutWith(path, text, yOffset, accumulator);
    return accumulator.glyphs();
}

PathPtr bezierPathWithTextOnPath(const BezierPath& path, const txt::AttributedString& text, double yOffset)
{
    auto out = BezierPath::bezierPath();
    for (const auto& glyph : bezierPathsWithGlyphsOnPath(path, text, yOffset))
        out->appendBezierPath(*glyph);
    return out;
}

PathPtr bezierPathWithStringOnPath(const BezierPath& path, const fnd::String& string, const txt::Attributes* attributes)
{
    txt::AttributedString text(string, attributes ? *attributes : defaultAttributes());
    return bezierPathWithTextOnPath(path, text, 0);
}

bool layoutStringOnPath(const BezierPath& path, txt::AttributedString& string, double yOffset,
    TextOnPathPlacement* helper, txt::LayoutManager* layoutManager, fnd::Dictionary* cache)
{
    if (path.elementCount() < 2 || string.length() == 0)
        return false;
    fnd::assertThat(helper != nullptr, " cannot proceed without a valid helper object");
    fnd::assertThat(layoutManager != nullptr, "cannot proceed without a valid layout manager");
    fnd::assertThat(!layoutManager->textContainers().empty(), " no text container was present in the layout manager");
    auto& manager = *layoutManager;

    // One line: text longer than the path runs off its end rather than wrapping.
    if (auto style = string.attributeAtIndex(txt::ParagraphStyleAttributeName, 0).objectAs<txt::ParagraphStyle>()) {
        auto clipping = style->mutableCopy();
        clipping->setLineBreakMode(txt::LineBreakMode::ByClipping);
        string.addAttribute(txt::ParagraphStyleAttributeName, clipping, { 0, string.length() });
    }
    const auto& container = *manager.textContainers().back();
    auto glyphs = manager.glyphRangeForBoundingRect({ gfx::ZeroPoint, container.containerSize() }, container);

    if (cache) {
        if (auto placements = cachedPlacements(*cache, glyphs)) {
            for (const auto& info : *placements)
                helper->layoutManager(manager, info->glyphIndex(), info->point(), info->slope(), yOffset);
            return cache->get(TextFittedKey).boolValue();
        }
    }

    auto track = std::make_shared<BezierPath>(path);
    // Glyph after glyph along the path: one walk, not a trim from the path's start for each.
    ZORPathLengthCursor::Cursor along(*track);
    const double side = ZORTextOrientation::textSide();
    bool fitted = true;
    fnd::Array records;
    for (auto g = glyphs.location; g < glyphs.max(); ++g) {
        gfx::Rect fragment = manager.lineFragmentRectForGlyphAtIndex(g);
        Point laidOut = manager.locationForGlyphAtIndex(g);
        if (fragment.minY() > 0) {
            fitted = false;
            break;
        }
        gfx::Rect box = manager.boundingRectForGlyphRange({ g, 1 }, container);
        double h = box.width() / 2;
        if (!(h > 0))
            continue;
        double d = laidOut.x + fragment.minX() + h;
        auto rest = along.restFromLength(d);
        // What is left is measured from the end; where that decides the glyph by a hair, measured as trimming does.
        if (rest && std::fabs(rest->length + FitTolerance - h) < 1e-9 * (1 + h))
            rest->length
                = ZORNSBezierPathExtension::length(*ZORNSBezierPathExtension::bezierPathByTrimmingFromLength(track, d));
        if (!rest || rest->length + FitTolerance < h) {
            fnd::log(fnd::LogLevel::Info, "abort");
            fitted = false;
            break;
        }
        Point c = rest->start;
        double a = rest->slope;
        double k = box.height() - manager.typesetter()->baselineOffsetInLayoutManager(manager, g);
        float along = static_cast<float>(a), across = static_cast<float>(a + std::numbers::pi / 2);
        // From the glyph's centre on the path: back by half its width, and across to the top of its line box.
        Point q { c.x + side * k * std::cos(across) - h * std::cos(along),
            c.y + side * k * std::sin(across) - h * std::sin(along) };
        records.push_back(std::make_shared<TBQPathGlyphInfo>(static_cast<std::uint64_t>(g), q, a));
        helper->layoutManager(manager, static_cast<std::uint64_t>(g), q, a, yOffset);
    }
    if (cache) {
        cache->set(GlyphPositionsKey, std::move(records));
        cache->set(TextFittedKey, fitted);
    }
    return fitted;
}

std::shared_ptr<txt::TextStorage> preadjustedTextStorageWithString(const BezierPath& path,
    const txt::AttributedString& string, const std::shared_ptr<txt::LayoutManager>& layoutManager)
{
    fnd::assertThat(layoutManager != nullptr, "nil layout manager passed while processing text on path");
    fnd::assertThat(!layoutManager->textContainers().empty(), " no text container was present in the layout manager");
    auto alignment = txt::TextAlignment::Natural;
    if (string.length() > 0)
        if (auto style = string.attributeAtIndex(txt::ParagraphStyleAttributeName, 0).objectAs<txt::ParagraphStyle>())
            alignment = style->alignment();
    auto storage = std::make_shared<txt::TextStorage>(string);
    storage->addLayoutManager(layoutManager);
    const double length = ZORNSBezierPathExtension::length(path);
    layoutManager->textContainers().back()->setContainerSize({ length, 50000 });
    if (alignment == txt::TextAlignment::Justified)
        kernText(*storage, length);
    return storage;
}

void kernText(txt::TextStorage& storage, double toFitLength)
{
    if (storage.layoutManagers().empty())
        return;
    auto& manager = *storage.layoutManagers().back();
    if (manager.textContainers().empty())
        return;
    auto& container = *manager.textContainers().back();
    container.setContainerSize({ toFitLength, 50000 });
    // Measured without earlier kerning, so that kerning text again (to measure it once more) gives the same text.
    storage.removeAttribute(txt::KernAttributeName, { 0, storage.length() });
    auto glyphs = manager.glyphRangeForBoundingRect({ 0, 0, toFitLength, 50000 }, container);
    const auto gaps = glyphs.length - 1;
    if (gaps < 1)
        return;
    fnd::Range firstLine;
    gfx::Rect used = manager.lineFragmentUsedRectForGlyphAtIndex(glyphs.location, &firstLine);
    // Spread over the gaps when the text is one line shorter than the length; else from its one-line width,
    // squeezed no tighter than 0.15 of its height a gap.
    double kern = firstLine.max() >= glyphs.max() ? (toFitLength - used.width()) / static_cast<double>(gaps) : 0;
    if (!(kern > 0)) {
        gfx::Size size = storage.size();
        kern = std::max((toFitLength - size.width) / static_cast<double>(gaps), -0.15 * size.height);
    }
    // Kerning follows a glyph: the last one has no gap after it.
    storage.addAttribute(txt::KernAttributeName, kern, { glyphs.location, gaps });
}

void pathPosition(const BezierPath& path, double* position, double* andLength,
    const txt::AttributedString& forCharactersOfString, fnd::Range inRange)
{
    if (!position || !andLength)
        return;
    TBQTextOnPathMetricsHelper metrics;
    metrics.setCharacterRange(inRange);
    // A layout manager of its own, so that measuring leaves the shared one showing what it showed.
    auto manager = makeTextOnPathLayoutManager();
    auto storage = preadjustedTextStorageWithString(path, forCharactersOfString, manager);
    layoutStringOnPath(path, *storage, 0, &metrics, manager.get(), nullptr);
    *position = metrics.position();
    *andLength = metrics.length();
}

}
