#pragma once

#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/runtime/Object.h"

#include <memory>
#include <vector>

namespace txt {

// With the platform's values.
enum class TextAlignment { Left = 0, Right = 1, Center = 2, Justified = 3, Natural = 4 };
enum class LineBreakMode {
    ByWordWrapping = 0,
    ByCharWrapping = 1,
    ByClipping = 2,
    ByTruncatingHead = 3,
    ByTruncatingTail = 4,
    ByTruncatingMiddle = 5,
};
enum class TextTabType { Left = 0, Right = 1, Center = 2, Decimal = 3 };

struct TextTab {
    TextTabType type { TextTabType::Left };
    // From the line fragment's leading edge, after padding.
    double location { 0 };
    bool operator==(const TextTab&) const = default;
};

// How paragraphs are laid out. Shared as a value: a style stored in text is not changed afterwards (copy it with
// mutableCopy first), so layouts holding it stay valid.
class ParagraphStyle : public fnd::Object, public fnd::Coding {
    FND_OBJECT(ParagraphStyle)
public:
    ParagraphStyle();

    // Natural alignment, word wrapping, twelve left tabs 28 points apart, no indents or spacing; a new object on
    // every call, so changing it changes no one else's text.
    static std::shared_ptr<ParagraphStyle> defaultParagraphStyle();
    // The same values, shared, for readers.
    static const ParagraphStyle& defaultStyle();
    std::shared_ptr<ParagraphStyle> mutableCopy() const { return std::make_shared<ParagraphStyle>(*this); }

    TextAlignment alignment() const { return m_alignment; }
    void setAlignment(TextAlignment a) { m_alignment = a; }
    LineBreakMode lineBreakMode() const { return m_lineBreakMode; }
    void setLineBreakMode(LineBreakMode m) { m_lineBreakMode = m; }

    // Sorted by location.
    const std::vector<TextTab>& tabStops() const { return m_tabStops; }
    void setTabStops(std::vector<TextTab> tabs);
    void addTabStop(TextTab tab);
    // Beyond the last stop, tabs go to multiples of this interval; 0 makes such a tab as wide as a space.
    double defaultTabInterval() const { return m_defaultTabInterval; }
    void setDefaultTabInterval(double d) { m_defaultTabInterval = d < 0 ? 0 : d; }

    double firstLineHeadIndent() const { return m_firstLineHeadIndent; }
    void setFirstLineHeadIndent(double d) { m_firstLineHeadIndent = d < 0 ? 0 : d; }
    double headIndent() const { return m_headIndent; }
    void setHeadIndent(double d) { m_headIndent = d < 0 ? 0 : d; }
    // Positive: the trailing margin's distance from the leading edge; zero or negative: from the trailing edge.
    double tailIndent() const { return m_tailIndent; }
    void setTailIndent(double d) { m_tailIndent = d; }

    double paragraphSpacingBefore() const { return m_paragraphSpacingBefore; }
    void setParagraphSpacingBefore(double d) { m_paragraphSpacingBefore = d < 0 ? 0 : d; }
    double paragraphSpacing() const { return m_paragraphSpacing; }
    void setParagraphSpacing(double d) { m_paragraphSpacing = d < 0 ? 0 : d; }
    // Added below every line of the paragraph.
    double lineSpacing() const { return m_lineSpacing; }
    void setLineSpacing(double d) { m_lineSpacing = d < 0 ? 0 : d; }
    double minimumLineHeight() const { return m_minimumLineHeight; }
    void setMinimumLineHeight(double d) { m_minimumLineHeight = d < 0 ? 0 : d; }
    // 0: no limit.
    double maximumLineHeight() const { return m_maximumLineHeight; }
    void setMaximumLineHeight(double d) { m_maximumLineHeight = d < 0 ? 0 : d; }

    bool isEqual(const fnd::Object& other) const override;
    std::size_t hash() const override;

    // Keyed archives only: "NSAlignment", "NSLineBreakMode", "NSTabStops" (pairs of type and location), and the
    // lengths under their names with "NS" in front ("NSHeadIndent", ...).
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    TextAlignment m_alignment { TextAlignment::Natural };
    LineBreakMode m_lineBreakMode { LineBreakMode::ByWordWrapping };
    std::vector<TextTab> m_tabStops;
    double m_defaultTabInterval { 0 };
    double m_firstLineHeadIndent { 0 };
    double m_headIndent { 0 };
    double m_tailIndent { 0 };
    double m_paragraphSpacingBefore { 0 };
    double m_paragraphSpacing { 0 };
    double m_lineSpacing { 0 };
    double m_minimumLineHeight { 0 };
    double m_maximumLineHeight { 0 };
};

}
