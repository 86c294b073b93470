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
    void setAlignment(TextAlignment a)
    {
        if (static_cast<int>(a) >= 0 && static_cast<int>(a) <= static_cast<int>(TextAlignment::Natural))
            m_alignment = a;
    }
    LineBreakMode lineBreakMode() const { return m_lineBreakMode; }
    void setLineBreakMode(LineBreakMode m)
    {
        if (static_cast<int>(m) >= 0 && static_cast<int>(m) <= static_cast<int>(LineBreakMode::ByTruncatingMiddle))
            m_lineBreakMode = m;
    }

    // Lengths and tab locations are within LargestLength of 0 (an indent or spacing is not negative, a larger number
    // is taken as the bound, NaN keeps the length there is); a style holds at most TabStopLimit stops, and a stop of
    // another type or location is not added. Archives hold no more.
    static constexpr double LargestLength = 1e6;
    static constexpr std::size_t TabStopLimit = 1024;

    // Sorted by location.
    const std::vector<TextTab>& tabStops() const { return m_tabStops; }
    void setTabStops(std::vector<TextTab> tabs);
    void addTabStop(TextTab tab);
    // Beyond the last stop, tabs go to multiples of this interval; 0 makes such a tab as wide as a space.
    double defaultTabInterval() const { return m_defaultTabInterval; }
    void setDefaultTabInterval(double d) { m_defaultTabInterval = boundedLength(d, 0, m_defaultTabInterval); }

    double firstLineHeadIndent() const { return m_firstLineHeadIndent; }
    void setFirstLineHeadIndent(double d) { m_firstLineHeadIndent = boundedLength(d, 0, m_firstLineHeadIndent); }
    double headIndent() const { return m_headIndent; }
    void setHeadIndent(double d) { m_headIndent = boundedLength(d, 0, m_headIndent); }
    // Positive: the trailing margin's distance from the leading edge; zero or negative: from the trailing edge.
    double tailIndent() const { return m_tailIndent; }
    void setTailIndent(double d) { m_tailIndent = boundedLength(d, -LargestLength, m_tailIndent); }

    double paragraphSpacingBefore() const { return m_paragraphSpacingBefore; }
    void setParagraphSpacingBefore(double d)
    {
        m_paragraphSpacingBefore = boundedLength(d, 0, m_paragraphSpacingBefore);
    }
    double paragraphSpacing() const { return m_paragraphSpacing; }
    void setParagraphSpacing(double d) { m_paragraphSpacing = boundedLength(d, 0, m_paragraphSpacing); }
    // Added below every line of the paragraph.
    double lineSpacing() const { return m_lineSpacing; }
    void setLineSpacing(double d) { m_lineSpacing = boundedLength(d, 0, m_lineSpacing); }
    double minimumLineHeight() const { return m_minimumLineHeight; }
    void setMinimumLineHeight(double d) { m_minimumLineHeight = boundedLength(d, 0, m_minimumLineHeight); }
    // 0: no limit.
    double maximumLineHeight() const { return m_maximumLineHeight; }
    void setMaximumLineHeight(double d) { m_maximumLineHeight = boundedLength(d, 0, m_maximumLineHeight); }

    bool isEqual(const fnd::Object& other) const override;
    std::size_t hash() const override;

    // Keyed archives only: "NSAlignment", "NSLineBreakMode", "NSTabStops" (pairs of type and location), and the
    // lengths under their names with "NS" in front ("NSHeadIndent", ...).
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    static constexpr double boundedLength(double d, double least, double current)
    {
        return d != d ? current : d < least ? least : d > LargestLength ? LargestLength : d;
    }
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
