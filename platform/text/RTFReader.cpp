#include "platform/text/RTF.h"

#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/FontManager.h"
#include "platform/text/ParagraphStyle.h"

#include <array>
#include <cctype>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace txt {

namespace {

constexpr int MaxGroupDepth = 256;

// Windows-1252 for bytes 0x80..0x9F; the rest of the high half is Latin-1.
constexpr std::array<char16_t, 32> Windows1252High { 0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178 };

char16_t fromWindows1252(unsigned char c)
{
    return c >= 0x80 && c < 0xA0 ? Windows1252High[c - 0x80] : c;
}

enum class Destination { Text, FontTable, ColorTable, FieldInstruction, Skip };

struct Field {
    std::string instruction;
};

struct State {
    Destination destination { Destination::Text };
    // Characters.
    int font { 0 };
    double size { 12 };
    bool bold { false };
    bool italic { false };
    int foreground { 0 }; // into the colour table; 0: automatic
    int background { 0 };
    int underline { 0 };
    bool strike { false };
    int superscript { 0 };
    double baselineOffset { 0 };
    int unicodeSkip { 1 };
    std::shared_ptr<Field> field; // inside a field: its instruction
    std::optional<fnd::String> link;
    // Paragraphs.
    TextAlignment alignment { TextAlignment::Natural };
    double leftIndent { 0 };
    double firstIndent { 0 };
    double rightIndent { 0 };
    double spaceBefore { 0 };
    double spaceAfter { 0 };
    std::vector<TextTab> tabs;
    TextTabType nextTabType { TextTabType::Left };
    // Inside a font table entry: the entry's number.
    int fontEntry { -1 };

    void resetCharacters()
    {
        bold = italic = strike = false;
        underline = superscript = 0;
        foreground = background = 0;
        baselineOffset = 0;
        size = 12;
    }
    void resetParagraph()
    {
        alignment = TextAlignment::Natural;
        leftIndent = firstIndent = rightIndent = spaceBefore = spaceAfter = 0;
        tabs.clear();
        nextTabType = TextTabType::Left;
    }
};

class Reader {
public:
    explicit Reader(std::string_view data)
        : m_data(data)
    {
    }

    fnd::Expected<AttributedString> read()
    {
        std::size_t start = 0;
        while (start < m_data.size() && std::isspace(static_cast<unsigned char>(m_data[start])))
            ++start;
        if (m_data.substr(start, 5) != "{\\rtf")
            return error("The data is not RTF.");
        m_pos = start;
        while (m_pos < m_data.size()) {
            char c = m_data[m_pos++];
            if (c == '{') {
                if (static_cast<int>(m_states.size()) > MaxGroupDepth)
                    return error("The RTF groups are nested too deeply.");
                m_states.push_back(m_states.empty() ? State {} : m_states.back());
            } else if (c == '}') {
                closeGroup();
                if (m_states.empty())
                    break;
            } else if (c == '\\') {
                controlWord();
            } else if (c == '\r' || c == '\n') {
                continue;
            } else {
                character(fromWindows1252(static_cast<unsigned char>(c)));
            }
        }
        // A document cut short ends where the data does.
        if (!m_states.empty())
            finishParagraph(false);
        return m_result;
    }

private:
    static std::unexpected<fnd::Error> error(const char* why)
    {
        return std::unexpected(fnd::Error::make("TextRTFErrorDomain", 1, why));
    }

    State& state() { return m_states.back(); }

    void closeGroup()
    {
        if (m_states.empty())
            return;
        // The document's end ends its last paragraph, with the properties in force there.
        if (m_states.size() == 1)
            finishParagraph(false);
        auto closing = m_states.back();
        m_states.pop_back();
        if (closing.destination == Destination::FontTable && closing.fontEntry >= 0 && !m_fontName.empty()) {
            auto name = m_fontName;
            while (!name.empty() && (name.back() == ';' || name.back() == ' '))
                name.pop_back();
            m_fonts[closing.fontEntry] = name;
            m_fontName.clear();
        }
        if (closing.destination == Destination::FieldInstruction && !m_states.empty()
            && m_states.back().destination != Destination::FieldInstruction && closing.field) {
            // HYPERLINK "target": the field's result text becomes a link.
            const auto& instruction = closing.field->instruction;
            auto at = instruction.find("HYPERLINK");
            if (at != std::string::npos) {
                auto open = instruction.find('"', at);
                auto close = open == std::string::npos ? open : instruction.find('"', open + 1);
                if (close != std::string::npos)
                    m_pendingLink = fnd::String(instruction.substr(open + 1, close - open - 1));
            }
        }
    }

    void controlWord()
    {
        if (m_pos >= m_data.size())
            return;
        char c = m_data[m_pos];
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            ++m_pos;
            controlSymbol(c);
            return;
        }
        std::string word;
        while (m_pos < m_data.size() && std::isalpha(static_cast<unsigned char>(m_data[m_pos])) && word.size() < 32)
            word += m_data[m_pos++];
        std::optional<long> parameter;
        bool negative = false;
        if (m_pos < m_data.size() && m_data[m_pos] == '-') {
            negative = true;
            ++m_pos;
        }
        long value = 0;
        int digits = 0;
        while (m_pos < m_data.size() && std::isdigit(static_cast<unsigned char>(m_data[m_pos])) && digits < 10) {
            value = value * 10 + (m_data[m_pos++] - '0');
            ++digits;
        }
        if (digits > 0)
            parameter = negative ? -value : value;
        if (m_pos < m_data.size() && m_data[m_pos] == ' ')
            ++m_pos;
        apply(word, parameter);
    }

    void controlSymbol(char c)
    {
        switch (c) {
        case '\\':
        case '{':
        case '}':
            character(static_cast<char16_t>(c));
            break;
        case '~':
            character(0x00A0);
            break;
        case '_':
            character(0x2011);
            break;
        case '\n':
        case '\r':
            paragraphBreak();
            break;
        case '*':
            // An optional destination: skipped unless it is one we read.
            if (m_data.substr(m_pos, 9) != "\\fldinst")
                state().destination = Destination::Skip;
            break;
        case '\'': {
            if (m_pos + 2 > m_data.size())
                return;
            auto hex = std::string(m_data.substr(m_pos, 2));
            m_pos += 2;
            char* end = nullptr;
            long byte = std::strtol(hex.c_str(), &end, 16);
            if (end == hex.c_str() + 2)
                character(fromWindows1252(static_cast<unsigned char>(byte)));
            break;
        }
        default:
            break;
        }
    }

    void apply(const std::string& word, std::optional<long> parameter)
    {
        auto& s = state();
        long p = parameter.value_or(1);
        auto points = [&] { return static_cast<double>(p) / 20; };
        if (word == "fonttbl")
            s.destination = Destination::FontTable;
        else if (word == "colortbl")
            s.destination = Destination::ColorTable;
        else if (word == "stylesheet" || word == "info" || word == "pict" || word == "object" || word == "header"
            || word == "footer" || word == "footnote" || word == "listtable" || word == "listoverridetable"
            || word == "themedata" || word == "latentstyles" || word == "datastore" || word == "xmlnstbl")
            s.destination = Destination::Skip;
        else if (word == "field")
            s.field = std::make_shared<Field>();
        else if (word == "fldinst") {
            s.destination = Destination::FieldInstruction;
            if (!s.field)
                s.field = std::make_shared<Field>();
        } else if (word == "fldrslt") {
            s.destination = Destination::Text;
            s.link = m_pendingLink;
            m_pendingLink.reset();
        } else if (s.destination == Destination::FontTable && word == "f") {
            s.fontEntry = static_cast<int>(p);
            m_fontName.clear();
        } else if (s.destination == Destination::ColorTable) {
            if (word == "red")
                m_color[0] = static_cast<int>(p);
            else if (word == "green")
                m_color[1] = static_cast<int>(p);
            else if (word == "blue")
                m_color[2] = static_cast<int>(p);
        } else if (word == "par")
            paragraphBreak();
        else if (word == "line")
            character(0x2028);
        else if (word == "tab")
            character(u'\t');
        else if (word == "u") {
            character(static_cast<char16_t>(static_cast<std::uint16_t>(p)));
            skipFallback(s.unicodeSkip);
        } else if (word == "uc")
            s.unicodeSkip = static_cast<int>(std::clamp<long>(p, 0, 10));
        else if (word == "lquote")
            character(0x2018);
        else if (word == "rquote")
            character(0x2019);
        else if (word == "ldblquote")
            character(0x201C);
        else if (word == "rdblquote")
            character(0x201D);
        else if (word == "bullet")
            character(0x2022);
        else if (word == "emdash")
            character(0x2014);
        else if (word == "endash")
            character(0x2013);
        else if (word == "plain")
            s.resetCharacters();
        else if (word == "pard")
            s.resetParagraph();
        else if (word == "f")
            s.font = static_cast<int>(p);
        else if (word == "fs")
            s.size = std::clamp(static_cast<double>(p) / 2, 1.0, 1000.0);
        else if (word == "b")
            s.bold = p != 0;
        else if (word == "i")
            s.italic = p != 0;
        else if (word == "ul" || word == "uld" || word == "uldash" || word == "ulw")
            s.underline = p != 0 ? UnderlineStyle::Single : 0;
        else if (word == "uldb")
            s.underline = p != 0 ? UnderlineStyle::Double : 0;
        else if (word == "ulth")
            s.underline = p != 0 ? UnderlineStyle::Thick : 0;
        else if (word == "ulnone")
            s.underline = 0;
        else if (word == "strike")
            s.strike = p != 0;
        else if (word == "super")
            s.superscript = 1;
        else if (word == "sub")
            s.superscript = -1;
        else if (word == "nosupersub")
            s.superscript = 0;
        else if (word == "up")
            s.baselineOffset = static_cast<double>(parameter.value_or(6)) / 2;
        else if (word == "dn")
            s.baselineOffset = -static_cast<double>(parameter.value_or(6)) / 2;
        else if (word == "cf")
            s.foreground = static_cast<int>(p);
        else if (word == "cb" || word == "highlight")
            s.background = static_cast<int>(p);
        else if (word == "ql")
            s.alignment = TextAlignment::Left;
        else if (word == "qr")
            s.alignment = TextAlignment::Right;
        else if (word == "qc")
            s.alignment = TextAlignment::Center;
        else if (word == "qj")
            s.alignment = TextAlignment::Justified;
        else if (word == "li")
            s.leftIndent = points();
        else if (word == "fi")
            s.firstIndent = points();
        else if (word == "ri")
            s.rightIndent = points();
        else if (word == "sb")
            s.spaceBefore = points();
        else if (word == "sa")
            s.spaceAfter = points();
        else if (word == "tqr")
            s.nextTabType = TextTabType::Right;
        else if (word == "tqc")
            s.nextTabType = TextTabType::Center;
        else if (word == "tqdec")
            s.nextTabType = TextTabType::Decimal;
        else if (word == "tx") {
            s.tabs.push_back({ s.nextTabType, points() });
            s.nextTabType = TextTabType::Left;
        }
    }

    // After \u: the fallback characters for readers without Unicode are skipped.
    void skipFallback(int count)
    {
        while (count > 0 && m_pos < m_data.size()) {
            char c = m_data[m_pos];
            if (c == '{' || c == '}')
                return;
            if (c == '\\') {
                if (m_pos + 1 < m_data.size() && m_data[m_pos + 1] == '\'')
                    m_pos += 4;
                else
                    return; // a control word ends the fallback
            } else {
                ++m_pos;
            }
            --count;
        }
    }

    void character(char16_t c)
    {
        auto& s = state();
        switch (s.destination) {
        case Destination::Text:
            break;
        case Destination::FontTable:
            if (s.fontEntry >= 0 && c < 0x80)
                m_fontName += static_cast<char>(c);
            return;
        case Destination::ColorTable:
            if (c == ';') {
                m_colors.push_back(m_color);
                m_color = { 0, 0, 0 };
            }
            return;
        case Destination::FieldInstruction:
            if (s.field && c < 0x80)
                s.field->instruction += static_cast<char>(c);
            return;
        case Destination::Skip:
            return;
        }
        // Characters in a row mostly share their attributes: the dictionary is built again only when what it is
        // made of changes.
        auto key = characterKeyOf(s);
        if (!m_pendingAttributes || key != m_pendingKey) {
            auto attributes = attributesOf(s);
            if (!m_pendingAttributes || !(*m_pendingAttributes == attributes)) {
                flush();
                m_pendingAttributes = std::move(attributes);
            }
            m_pendingKey = std::move(key);
        }
        m_pending += c;
    }

    void paragraphBreak()
    {
        if (state().destination != Destination::Text)
            return;
        character(u'\n');
        finishParagraph(true);
    }

    void flush()
    {
        if (m_pending.empty() || !m_pendingAttributes)
            return;
        m_result.appendAttributedString(AttributedString(fnd::String(m_pending), *m_pendingAttributes));
        m_pending.clear();
    }

    // The paragraph just ended gets the paragraph properties in force at its end.
    void finishParagraph(bool ended)
    {
        flush();
        auto end = m_result.length();
        if (end <= m_paragraphStart)
            return;
        const auto& s = m_states.empty() ? State {} : state();
        auto style = ParagraphStyle::defaultParagraphStyle();
        style->setAlignment(s.alignment);
        style->setHeadIndent(s.leftIndent);
        style->setFirstLineHeadIndent(s.leftIndent + s.firstIndent);
        if (s.rightIndent > 0)
            style->setTailIndent(-s.rightIndent);
        style->setParagraphSpacingBefore(s.spaceBefore);
        style->setParagraphSpacing(s.spaceAfter);
        if (!s.tabs.empty())
            style->setTabStops(s.tabs);
        m_result.addAttribute(
            ParagraphStyleAttributeName, fnd::Value(style), { m_paragraphStart, end - m_paragraphStart });
        m_paragraphStart = end;
        (void)ended;
    }

    std::shared_ptr<gfx::Font> fontOf(const State& s)
    {
        auto key = std::tuple(s.font, s.size, s.bold, s.italic);
        if (auto at = m_fontCache.find(key); at != m_fontCache.end())
            return at->second;
        auto name = m_fonts.count(s.font) ? m_fonts[s.font] : std::string("DejaVu Sans");
        unsigned traits = (s.bold ? gfx::FontTraitMask::Bold : 0) | (s.italic ? gfx::FontTraitMask::Italic : 0);
        auto& manager = gfx::FontManager::shared();
        auto font = manager.fontWithFamily(fnd::String(name), traits, s.bold ? 9 : 5, s.size);
        if (!font) {
            font = gfx::Font::fontWithName(fnd::String(name), s.size);
            if (font && s.bold)
                font = manager.convertFontToHaveTrait(font, gfx::FontTraitMask::Bold);
            if (font && s.italic)
                font = manager.convertFontToHaveTrait(font, gfx::FontTraitMask::Italic);
        }
        m_fontCache[key] = font;
        return font;
    }

    gfx::ColorPtr colorOf(int index) const
    {
        if (index <= 0 || static_cast<std::size_t>(index) >= m_colors.size())
            return nullptr;
        // Entry 0 of the table is the automatic colour, read as the first ';'.
        const auto& c = m_colors[static_cast<std::size_t>(index)];
        return gfx::Color::colorWithCalibratedRed(c[0] / 255.0, c[1] / 255.0, c[2] / 255.0);
    }

    // Everything attributesOf reads. A colour index's entry never changes once the table has it, so the table's
    // length stands for its content.
    struct CharacterKey {
        int font { 0 };
        double size { 0 };
        bool bold { false };
        bool italic { false };
        int foreground { 0 };
        int background { 0 };
        int underline { 0 };
        bool strike { false };
        int superscript { 0 };
        double baselineOffset { 0 };
        std::optional<fnd::String> link;
        std::size_t colors { 0 };
        bool operator==(const CharacterKey&) const = default;
    };

    CharacterKey characterKeyOf(const State& s) const
    {
        return { s.font, s.size, s.bold, s.italic, s.foreground, s.background, s.underline, s.strike, s.superscript,
            s.baselineOffset, s.link, m_colors.size() };
    }

    Attributes attributesOf(const State& s)
    {
        Attributes attributes;
        if (auto font = fontOf(s))
            attributes.set(FontAttributeName, fnd::Value(font));
        if (auto color = colorOf(s.foreground))
            attributes.set(ForegroundColorAttributeName, fnd::Value(color));
        if (auto color = colorOf(s.background))
            attributes.set(BackgroundColorAttributeName, fnd::Value(color));
        if (s.underline)
            attributes.set(UnderlineStyleAttributeName, fnd::Value(long(s.underline)));
        if (s.strike)
            attributes.set(StrikethroughStyleAttributeName, fnd::Value(long(UnderlineStyle::Single)));
        if (s.superscript)
            attributes.set(SuperscriptAttributeName, fnd::Value(long(s.superscript)));
        if (s.baselineOffset != 0)
            attributes.set(BaselineOffsetAttributeName, fnd::Value(s.baselineOffset));
        if (s.link)
            attributes.set(LinkAttributeName, fnd::Value(*s.link));
        return attributes;
    }

    std::string_view m_data;
    std::size_t m_pos { 0 };
    std::vector<State> m_states;
    std::map<int, std::string> m_fonts;
    std::string m_fontName;
    std::vector<std::array<int, 3>> m_colors;
    std::array<int, 3> m_color { 0, 0, 0 };
    std::optional<fnd::String> m_pendingLink;
    std::map<std::tuple<int, double, bool, bool>, std::shared_ptr<gfx::Font>> m_fontCache;
    AttributedString m_result;
    std::u16string m_pending;
    std::optional<Attributes> m_pendingAttributes;
    // What m_pendingAttributes was last found equal to.
    CharacterKey m_pendingKey;
    fnd::Index m_paragraphStart { 0 };
};

}

fnd::Expected<AttributedString> attributedStringFromRTF(const fnd::Data& data)
{
    return Reader(data.view()).read();
}

}
