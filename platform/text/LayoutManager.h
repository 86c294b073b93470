#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/foundation/runtime/Range.h"
#include "platform/graphics/AffineTransform.h"
#include "platform/graphics/Font.h"
#include "platform/text/Attributes.h"

#include <memory>
#include <span>
#include <vector>

namespace gfx {
class Color;
class GraphicsContext;
}

namespace txt {

class TextAttachmentCell;
class TextContainer;
class TextStorage;
class Typesetter;

// Not a glyph: the trailing units of a cluster, control characters, attachments and hidden text.
constexpr gfx::Glyph NullGlyph = 0xFFFFFFFF;

class LayoutManager;

// The height of a line set in the font alone: ascender, descender and leading.
double defaultLineHeight(const gfx::Font& font);

// Told by a layout manager when it has taken in an edit of its storage (so that its answers describe the new
// text).
class LayoutManagerDelegate {
public:
    virtual ~LayoutManagerDelegate() = default;
    virtual void layoutManagerDidProcessEditing(
        LayoutManager& manager, unsigned mask, fnd::Range range, fnd::Index changeInLength)
        = 0;
};

// Lays the text of a storage out into its containers, one after another, and draws it. Glyph index i stands for
// UTF-16 unit i of the text: a cluster's glyphs sit on its first unit and its other units have no glyph and no
// advance, so glyph and character indexes and ranges are the same. Containers are y down with the first line at
// the top; locations are relative to their line fragment.
//
// Layout is made on first need and kept. An edit of the storage lays out again only the paragraphs it touched when
// there is one container and the plain typesetter (the paragraphs after them move down or up as a whole);
// otherwise the next query lays out everything again. Shaping is HarfBuzz's (ligatures off, so characters keep
// their own glyphs); characters the font lacks come from the fontconfig font that has them; lines break where ICU
// allows; mixed directions are ordered by the ICU bidi algorithm within each line.
class LayoutManager : public fnd::Object {
    FND_OBJECT(LayoutManager)
public:
    LayoutManager();
    ~LayoutManager() override;

    // ascender − descender + leading of the font, unrounded: the same for every call with the same font.
    double defaultLineHeightForFont(const gfx::Font& font) const;

    // The storage owns the layout manager; nullptr when none.
    TextStorage* textStorage() const { return m_textStorage; }
    // Containers are owned; adding one takes it from the layout manager that had it.
    const std::vector<std::shared_ptr<TextContainer>>& textContainers() const { return m_containers; }
    void addTextContainer(const std::shared_ptr<TextContainer>& container);
    void insertTextContainer(const std::shared_ptr<TextContainer>& container, std::size_t index);
    void removeTextContainerAtIndex(std::size_t index);
    const std::shared_ptr<Typesetter>& typesetter() const { return m_typesetter; }
    void setTypesetter(std::shared_ptr<Typesetter> typesetter);
    // Kept for callers that switch them off; glyphs are always laid out with the font's own outlines.
    bool usesScreenFonts() const { return m_usesScreenFonts; }
    void setUsesScreenFonts(bool flag) { m_usesScreenFonts = flag; }

    void invalidateLayout();
    // Called by the storage after it processed edits.
    virtual void textStorageEdited(unsigned mask, fnd::Range range, fnd::Index changeInLength);
    std::shared_ptr<LayoutManagerDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<LayoutManagerDelegate>& delegate) { m_delegate = delegate; }
    // How many paragraphs have been laid out since the manager was made: what an edit cost, for measuring.
    std::size_t paragraphsLaidOut() const { return m_paragraphsLaidOut; }

    // Secure entry: every character is shown as this one (0: the text shows itself).
    char32_t maskCharacter() const { return m_maskCharacter; }
    void setMaskCharacter(char32_t character);

    // Attributes that change how text is drawn, not how it is laid out: background and foreground colours and
    // underlines over character ranges (the selection, marked text, link looks). They go over the storage's own and
    // move with edits before them; an edit inside one drops it there.
    void setTemporaryAttributes(const Attributes& attributes, fnd::Range characterRange);
    void addTemporaryAttribute(const fnd::String& name, const fnd::Value& value, fnd::Range characterRange);
    void removeTemporaryAttribute(const fnd::String& name, fnd::Range characterRange);
    Attributes temporaryAttributesAtCharacterIndex(fnd::Index index, fnd::Range* effectiveRange = nullptr) const;

    // Glyphs.
    fnd::Index numberOfGlyphs() const;
    gfx::Glyph glyphAtIndex(fnd::Index glyphIndex) const;
    // The font the glyph is shown in (a fallback font where the text's font lacks the character).
    std::shared_ptr<gfx::Font> fontForGlyphAtIndex(fnd::Index glyphIndex) const;
    // The bidi embedding level: odd for right-to-left text.
    int bidiLevelForGlyphAtIndex(fnd::Index glyphIndex) const;
    bool isNotShownAttributeForGlyphAtIndex(fnd::Index glyphIndex) const;
    fnd::Range glyphRangeForCharacterRange(fnd::Range characterRange) const { return characterRange; }
    fnd::Range characterRangeForGlyphRange(fnd::Range glyphRange) const { return glyphRange; }
    fnd::Index glyphIndexForCharacterAtIndex(fnd::Index characterIndex) const { return characterIndex; }
    fnd::Index characterIndexForGlyphAtIndex(fnd::Index glyphIndex) const { return glyphIndex; }
    gfx::Size attachmentSizeForGlyphAtIndex(fnd::Index glyphIndex) const;

    // Containers and line fragments.
    fnd::Range glyphRangeForTextContainer(const TextContainer& container) const;
    TextContainer* textContainerForGlyphAtIndex(fnd::Index glyphIndex, fnd::Range* effectiveGlyphRange = nullptr) const;
    gfx::Rect lineFragmentRectForGlyphAtIndex(fnd::Index glyphIndex, fnd::Range* effectiveGlyphRange = nullptr) const;
    gfx::Rect lineFragmentUsedRectForGlyphAtIndex(
        fnd::Index glyphIndex, fnd::Range* effectiveGlyphRange = nullptr) const;
    // The pen position of the glyph relative to its fragment: x after alignment, y the baseline below the
    // fragment's top (for a one-font line, the font's ascender).
    gfx::Point locationForGlyphAtIndex(fnd::Index glyphIndex) const;
    // The union of the glyphs' advance boxes, each as high as its line fragment, in container coordinates.
    gfx::Rect boundingRectForGlyphRange(fnd::Range glyphRange, const TextContainer& container) const;
    // The glyphs of the lines that touch rect.
    fnd::Range glyphRangeForBoundingRect(const gfx::Rect& rect, const TextContainer& container) const;
    // One rectangle per line the range touches; an empty range gives the caret's: zero wide, as high as its line.
    std::vector<gfx::Rect> rectsForCharacterRange(fnd::Range characterRange, const TextContainer& container) const;
    // The glyph nearest to the point; fraction (0..1) tells how far across it the point lies.
    fnd::Index glyphIndexForPoint(
        gfx::Point point, const TextContainer& container, double* fractionOfDistanceThroughGlyph = nullptr) const;
    fnd::Index characterIndexForPoint(
        gfx::Point point, const TextContainer& container, double* fractionOfDistanceThroughGlyph = nullptr) const;
    // Where a caret put at the point goes: before the nearest glyph or, past its middle, after it.
    fnd::Index characterIndexForInsertionAtPoint(gfx::Point point, const TextContainer& container) const;
    // The lines' used rects, without the extra line fragment (a text view adds that for its caret).
    gfx::Rect usedRectForTextContainer(const TextContainer& container) const;
    // The fragment after a final paragraph break (or of an empty text), where the caret stands at the end; zero
    // rects and nullptr when the text does not end so (or the containers are full).
    gfx::Rect extraLineFragmentRect() const;
    gfx::Rect extraLineFragmentUsedRect() const;
    TextContainer* extraLineFragmentTextContainer() const;

    // Drawing at origin, the top left of the container in the current context: y grows downwards in a flipped
    // context and upwards otherwise, so the text reads the right way up in both. Works without a current context
    // too (the hooks then get none), so subclasses can collect what would be drawn.
    virtual void drawBackgroundForGlyphRange(fnd::Range glyphRange, gfx::Point origin);
    virtual void drawGlyphsForGlyphRange(fnd::Range glyphRange, gfx::Point origin);

    // Drawing steps. Positions are the glyph origins in user space; matrix maps the font's y-up glyph space to
    // user space around each origin (a y flip in a flipped context).
    virtual void showCGGlyphs(std::span<const gfx::Glyph> glyphs, std::span<const gfx::Point> positions,
        const std::shared_ptr<gfx::Font>& font, const gfx::AffineTransform& matrix, const Attributes& attributes,
        gfx::GraphicsContext* context);
    // baselineOffset is the baseline's distance below the fragment's top; the line fragment is in container
    // coordinates and containerOrigin is the drawing origin.
    virtual void drawUnderlineForGlyphRange(fnd::Range glyphRange, int underlineType, double baselineOffset,
        const gfx::Rect& lineFragmentRect, fnd::Range lineFragmentGlyphRange, gfx::Point containerOrigin);
    virtual void drawStrikethroughForGlyphRange(fnd::Range glyphRange, int strikethroughType, double baselineOffset,
        const gfx::Rect& lineFragmentRect, fnd::Range lineFragmentGlyphRange, gfx::Point containerOrigin);
    // rect is in user space; by default the cell draws itself there.
    virtual void showAttachmentCell(
        const std::shared_ptr<TextAttachmentCell>& cell, const gfx::Rect& rect, fnd::Index characterIndex);
    // Fills rects (user space) with the colour, for background colour runs.
    virtual void fillBackgroundRectArray(
        std::span<const gfx::Rect> rects, fnd::Range characterRange, const gfx::Color& color);

    // The font of text without a font attribute: DejaVu Sans 12.
    static std::shared_ptr<gfx::Font> defaultFont();

    // Internal layout records, shared with the typesetting code.
    struct Layout;

private:
    friend class TextStorage;
    friend class TextContainer;
    void setTextStorage(TextStorage* storage);
    const Layout& layout() const;
    // The storage's attributes at the index with the temporary ones over them, and the range where both hold.
    Attributes drawingAttributesAtIndex(fnd::Index index, fnd::Range* effectiveRange) const;
    // The same without a copy when no temporary attributes apply: the storage's own, else merged into scratch.
    const Attributes& drawingAttributesAtIndex(fnd::Index index, fnd::Range* effectiveRange, Attributes& scratch) const;
    struct TemporaryAttribute {
        fnd::Range range;
        fnd::String name;
        fnd::Value value;
    };
    void checkGlyphIndex(fnd::Index glyphIndex, const char* operation) const;
    std::ptrdiff_t containerIndex(const TextContainer& container) const;
    void drawLineDecorations(fnd::Range glyphRange, gfx::Point origin, bool strikethrough);

    TextStorage* m_textStorage { nullptr }; // the storage owns this layout manager and clears this when it goes
    std::vector<std::shared_ptr<TextContainer>> m_containers;
    std::shared_ptr<Typesetter> m_typesetter;
    bool m_usesScreenFonts { true };
    char32_t m_maskCharacter { 0 };
    std::weak_ptr<LayoutManagerDelegate> m_delegate;
    std::vector<TemporaryAttribute> m_temporaryAttributes;
    mutable std::unique_ptr<Layout> m_layout;
    mutable std::size_t m_paragraphsLaidOut { 0 };
};

}
