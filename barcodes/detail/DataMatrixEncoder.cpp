#include "barcodes/detail/DataMatrixEncoder.h"

#include "barcodes/ReedSolomonEncoder.h"

#include <algorithm>

namespace DataMatrixEncoder {

namespace {

constexpr int LatchC40 = 230;
constexpr int LatchBase256 = 231;
constexpr int UpperShift = 235;
constexpr int LatchX12 = 238;
constexpr int LatchText = 239;
constexpr int LatchEDIFACT = 240;
constexpr int Unlatch = 254;
constexpr int EDIFACTUnlatch = 31;

// Shift set (0 basic, 1 to 3 the shifts) and value of an ASCII character in C40 or Text (ISO/IEC 16022 annex C).
struct ShiftedValue {
    int set;
    int value;
};

ShiftedValue c40TextValue(unsigned char c, bool text)
{
    if (c < 32)
        return { 1, c };
    if (c == ' ')
        return { 0, 3 };
    if (c >= '0' && c <= '9')
        return { 0, c - '0' + 4 };
    if (c >= '!' && c <= '/')
        return { 2, c - '!' };
    if (c >= ':' && c <= '@')
        return { 2, c - ':' + 15 };
    if (c >= '[' && c <= '_')
        return { 2, c - '[' + 22 };
    bool upper = c >= 'A' && c <= 'Z';
    bool lower = c >= 'a' && c <= 'z';
    if (upper || lower) {
        int letter = upper ? c - 'A' : c - 'a';
        // The basic set holds capitals in C40 and small letters in Text; the other case is in shift 3.
        return upper != text ? ShiftedValue { 0, letter + 14 } : ShiftedValue { 3, letter + 1 };
    }
    if (c == '`')
        return { 3, 0 };
    return { 3, c - '{' + 27 }; // { | } ~ DEL
}

bool isDigit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

bool isX12(unsigned char c)
{
    return c == '\r' || c == '*' || c == '>' || c == ' ' || isDigit(c) || (c >= 'A' && c <= 'Z');
}

int x12Value(unsigned char c)
{
    switch (c) {
    case '\r':
        return 0;
    case '*':
        return 1;
    case '>':
        return 2;
    case ' ':
        return 3;
    default:
        return isDigit(c) ? c - '0' + 4 : c - 'A' + 14;
    }
}

bool isEDIFACT(unsigned char c)
{
    return c >= 32 && c <= 94;
}

int latchCodeword(Encodation e)
{
    switch (e) {
    case Encodation::C40:
        return LatchC40;
    case Encodation::Text:
        return LatchText;
    case Encodation::X12:
        return LatchX12;
    case Encodation::EDIFACT:
        return LatchEDIFACT;
    default:
        return LatchBase256;
    }
}

// Adds 2/3 or 4/3 in double precision and keeps the sum in single precision, as the look-ahead counts.
void addThird(float& count, double amount)
{
    count = static_cast<float>(static_cast<double>(count) + amount);
}

// The encodation state machine over the content bytes.
class Encoder {
public:
    explicit Encoder(std::string_view bytes)
        : m_bytes(bytes)
    {
    }

    std::optional<Codewords> run()
    {
        while (m_position < m_bytes.size()) {
            if (m_out.size() > MaximumDataCodewords)
                return std::nullopt;
            switch (m_mode) {
            case Encodation::ASCII:
                asciiStep();
                break;
            case Encodation::C40:
            case Encodation::Text:
            case Encodation::X12:
                tripletStep();
                break;
            case Encodation::EDIFACT:
                edifactStep();
                break;
            case Encodation::Base256:
                base256Step();
                break;
            }
        }
        finish();
        insertBase256Lengths();
        // The length fields count too.
        if (m_out.size() > MaximumDataCodewords)
            return std::nullopt;
        return Codewords { std::vector<std::uint8_t>(m_out.begin(), m_out.end()), m_mode };
    }

private:
    unsigned char byte(std::size_t i) const { return static_cast<unsigned char>(m_bytes[i]); }

    void write(int codeword, bool base256 = false)
    {
        m_out.push_back(static_cast<std::uint8_t>(codeword));
        m_base256.push_back(base256);
    }

    void latch(Encodation next)
    {
        write(latchCodeword(next));
        m_mode = next;
        m_latchPosition = m_position;
        markGroupBoundary();
    }

    // Back to ASCII. A mode left before it took a character could be chosen again at once; ASCII then takes the
    // next character itself so that the encoder always moves on.
    void returnToASCII()
    {
        if (m_position == m_latchPosition)
            m_asciiUntil = std::max(m_asciiUntil, m_position + 1);
        m_mode = Encodation::ASCII;
        m_pending.clear();
    }

    void markGroupBoundary()
    {
        m_boundaryOutput = m_out.size();
        m_boundaryPosition = m_position;
    }

    void asciiStep()
    {
        unsigned char c = byte(m_position);
        if (m_position + 1 < m_bytes.size() && isDigit(c) && isDigit(byte(m_position + 1))) {
            write(130 + 10 * (c - '0') + (byte(m_position + 1) - '0'));
            m_position += 2;
            return;
        }
        if (m_position >= m_asciiUntil) {
            auto next = lookAhead(m_bytes, m_position, Encodation::ASCII);
            if (next != Encodation::ASCII) {
                latch(next);
                return;
            }
        }
        if (c >= 128) {
            write(UpperShift);
            write(c - 127);
        } else {
            write(c + 1);
        }
        ++m_position;
    }

    // Ends C40, Text or X12 where the written values end on a character: values still pending are dropped with
    // the codewords of their group, and the characters behind them are written again in ASCII up to `until`.
    void unlatchAtBoundary(std::size_t until)
    {
        if (!m_pending.empty() || m_boundaryPosition != m_position) {
            m_out.resize(m_boundaryOutput);
            m_base256.resize(m_boundaryOutput);
            m_position = m_boundaryPosition;
        }
        write(Unlatch);
        returnToASCII();
        m_asciiUntil = std::max(m_asciiUntil, until);
    }

    void tripletStep()
    {
        unsigned char c = byte(m_position);
        if (m_pending.empty()) {
            auto next = lookAhead(m_bytes, m_position, m_mode);
            if (next != m_mode) {
                write(Unlatch);
                returnToASCII();
                return;
            }
        }
        if (m_mode == Encodation::X12) {
            // A byte X12 cannot hold ends the mode; it and the pending characters go to ASCII.
            if (!isX12(c)) {
                unlatchAtBoundary(m_position + 1);
                return;
            }
            m_pending.push_back(x12Value(c));
        } else {
            if (c >= 128) {
                m_pending.push_back(1);
                m_pending.push_back(30);
                c = static_cast<unsigned char>(c - 128);
            }
            auto [set, value] = c40TextValue(c, m_mode == Encodation::Text);
            if (set != 0)
                m_pending.push_back(set - 1);
            m_pending.push_back(value);
        }
        ++m_position;
        while (m_pending.size() >= 3) {
            int packed = 1600 * m_pending[0] + 40 * m_pending[1] + m_pending[2] + 1;
            write(packed >> 8);
            write(packed & 0xFF);
            m_pending.erase(m_pending.begin(), m_pending.begin() + 3);
        }
        if (m_pending.empty())
            markGroupBoundary();
    }

    // Packs the pending EDIFACT values, 6 bits each, first value in the high bits; a short last codeword is filled
    // with 0 bits.
    void writeEDIFACT()
    {
        unsigned bits = 0;
        int count = 0;
        for (int value : m_pending) {
            bits = (bits << 6) | static_cast<unsigned>(value);
            count += 6;
            while (count >= 8) {
                write(static_cast<int>((bits >> (count - 8)) & 0xFF));
                count -= 8;
            }
        }
        if (count > 0)
            write(static_cast<int>((bits << (8 - count)) & 0xFF));
        m_pending.clear();
    }

    void leaveEDIFACT()
    {
        m_pending.push_back(EDIFACTUnlatch);
        writeEDIFACT();
        returnToASCII();
    }

    void edifactStep()
    {
        unsigned char c = byte(m_position);
        if (m_pending.size() == 3) {
            auto next = lookAhead(m_bytes, m_position, m_mode);
            if (next != m_mode) {
                leaveEDIFACT();
                return;
            }
        }
        // A byte outside the EDIFACT range ends the mode and goes to ASCII.
        if (!isEDIFACT(c)) {
            leaveEDIFACT();
            m_asciiUntil = std::max(m_asciiUntil, m_position + 1);
            return;
        }
        m_pending.push_back(c >= 64 ? c - 64 : c);
        ++m_position;
        if (m_pending.size() == 4)
            writeEDIFACT();
    }

    void base256Step()
    {
        if (lookAhead(m_bytes, m_position, m_mode) != Encodation::Base256) {
            returnToASCII();
            return;
        }
        write(byte(m_position), true);
        ++m_position;
    }

    // The end of the data: C40, Text and X12 may stay latched only on a complete group; EDIFACT always unlatches.
    void finish()
    {
        switch (m_mode) {
        case Encodation::C40:
        case Encodation::Text:
        case Encodation::X12:
            if (!m_pending.empty()) {
                unlatchAtBoundary(m_bytes.size());
                while (m_position < m_bytes.size())
                    asciiStep();
            }
            break;
        case Encodation::EDIFACT:
            leaveEDIFACT();
            break;
        default:
            break;
        }
    }

    // Every run of Base 256 codewords gets its length in front, then all of them are randomised by position.
    void insertBase256Lengths()
    {
        for (std::size_t i = 0; i < m_out.size();) {
            if (!m_base256[i]) {
                ++i;
                continue;
            }
            std::size_t end = i;
            while (end < m_out.size() && m_base256[end])
                ++end;
            std::size_t length = end - i;
            std::vector<std::uint8_t> field;
            if (length <= 249)
                field = { static_cast<std::uint8_t>(length) };
            else
                field = { static_cast<std::uint8_t>(length / 250 + 249), static_cast<std::uint8_t>(length % 250) };
            m_out.insert(m_out.begin() + static_cast<std::ptrdiff_t>(i), field.begin(), field.end());
            m_base256.insert(m_base256.begin() + static_cast<std::ptrdiff_t>(i), field.size(), true);
            i = end + field.size();
        }
        for (std::size_t i = 0; i < m_out.size(); ++i) {
            if (m_base256[i])
                m_out[i] = static_cast<std::uint8_t>((m_out[i] + ((149 * (i + 1)) % 255) + 1) % 256);
        }
    }

    std::string_view m_bytes;
    std::size_t m_position { 0 };
    Encodation m_mode { Encodation::ASCII };
    std::vector<std::uint8_t> m_out;
    std::vector<bool> m_base256;
    std::vector<int> m_pending;
    // Where the last complete group ended: output size and content position.
    std::size_t m_boundaryOutput { 0 };
    std::size_t m_boundaryPosition { 0 };
    std::size_t m_latchPosition { static_cast<std::size_t>(-1) };
    // ASCII takes the characters before this position without the look-ahead.
    std::size_t m_asciiUntil { 0 };
};

// ISO/IEC 16022 annex F: the module of bit `bit` (1 = most significant) of codeword `index`, with wrap-around.
class Placement {
public:
    Placement(int rows, int columns)
        : m_rows(rows)
        , m_columns(columns)
        , m_cells(static_cast<std::size_t>(rows * columns), Unset)
    {
    }

    static constexpr int Unset = -1;
    static constexpr int FixedDark = -2;

    // Cell values: index * 8 + (bit - 1), or Unset, or FixedDark.
    const std::vector<int>& place()
    {
        int index = 0;
        int row = 4;
        int column = 0;
        do {
            if (row == m_rows && column == 0)
                corner(index++,
                    { { { m_rows - 1, 0 }, { m_rows - 1, 1 }, { m_rows - 1, 2 }, { 0, m_columns - 2 },
                        { 0, m_columns - 1 }, { 1, m_columns - 1 }, { 2, m_columns - 1 }, { 3, m_columns - 1 } } });
            if (row == m_rows - 2 && column == 0 && m_columns % 4 != 0)
                corner(index++,
                    { { { m_rows - 3, 0 }, { m_rows - 2, 0 }, { m_rows - 1, 0 }, { 0, m_columns - 4 },
                        { 0, m_columns - 3 }, { 0, m_columns - 2 }, { 0, m_columns - 1 }, { 1, m_columns - 1 } } });
            if (row == m_rows - 2 && column == 0 && m_columns % 8 == 4)
                corner(index++,
                    { { { m_rows - 3, 0 }, { m_rows - 2, 0 }, { m_rows - 1, 0 }, { 0, m_columns - 2 },
                        { 0, m_columns - 1 }, { 1, m_columns - 1 }, { 2, m_columns - 1 }, { 3, m_columns - 1 } } });
            if (row == m_rows + 4 && column == 2 && m_columns % 8 == 0)
                corner(index++,
                    { { { m_rows - 1, 0 }, { m_rows - 1, m_columns - 1 }, { 0, m_columns - 3 }, { 0, m_columns - 2 },
                        { 0, m_columns - 1 }, { 1, m_columns - 3 }, { 1, m_columns - 2 }, { 1, m_columns - 1 } } });
            // Diagonally up and right, then down and left.
            do {
                if (row < m_rows && column >= 0 && cell(row, column) == Unset)
                    utah(row, column, index++);
                row -= 2;
                column += 2;
            } while (row >= 0 && column < m_columns);
            row += 1;
            column += 3;
            do {
                if (row >= 0 && column < m_columns && cell(row, column) == Unset)
                    utah(row, column, index++);
                row += 2;
                column -= 2;
            } while (row < m_rows && column >= 0);
            row += 3;
            column += 1;
        } while (row < m_rows || column < m_columns);
        // The bottom-right corner is filled with a fixed pattern when no codeword reached it.
        if (cell(m_rows - 1, m_columns - 1) == Unset) {
            cell(m_rows - 1, m_columns - 1) = FixedDark;
            cell(m_rows - 2, m_columns - 2) = FixedDark;
        }
        return m_cells;
    }

private:
    struct Position {
        int row;
        int column;
    };

    int& cell(int row, int column)
    {
        return m_cells[static_cast<std::size_t>(row) * static_cast<std::size_t>(m_columns)
            + static_cast<std::size_t>(column)];
    }

    void module(int row, int column, int index, int bit)
    {
        if (row < 0) {
            row += m_rows;
            column += 4 - ((m_rows + 4) % 8);
        }
        if (column < 0) {
            column += m_columns;
            row += 4 - ((m_columns + 4) % 8);
        }
        cell(row, column) = index * 8 + (bit - 1);
    }

    // The eight-module shape whose last module is at (row, column).
    void utah(int row, int column, int index)
    {
        module(row - 2, column - 2, index, 1);
        module(row - 2, column - 1, index, 2);
        module(row - 1, column - 2, index, 3);
        module(row - 1, column - 1, index, 4);
        module(row - 1, column, index, 5);
        module(row, column - 2, index, 6);
        module(row, column - 1, index, 7);
        module(row, column, index, 8);
    }

    void corner(int index, const std::array<Position, 8>& modules)
    {
        for (int bit = 1; bit <= 8; ++bit)
            module(modules[static_cast<std::size_t>(bit - 1)].row, modules[static_cast<std::size_t>(bit - 1)].column,
                index, bit);
    }

    int m_rows;
    int m_columns;
    std::vector<int> m_cells;
};

}

Encodation lookAhead(std::string_view bytes, std::size_t position, Encodation current)
{
    float ascii = 0, c40 = 1, text = 1, x12 = 1, edifact = 1, base256 = 1.25f;
    if (current != Encodation::ASCII) {
        ascii = 1;
        c40 = text = x12 = edifact = 2;
        base256 = 2.25f;
        switch (current) {
        case Encodation::C40:
            c40 = 0;
            break;
        case Encodation::Text:
            text = 0;
            break;
        case Encodation::X12:
            x12 = 0;
            break;
        case Encodation::EDIFACT:
            edifact = 0;
            break;
        default:
            base256 = 0;
            break;
        }
    }
    constexpr double TwoThirds = 2.0 / 3.0;
    constexpr double FourThirds = 4.0 / 3.0;
    std::size_t end = std::min(bytes.size(), position + 9);
    for (std::size_t i = position; i < end; ++i) {
        auto b = static_cast<unsigned char>(bytes[i]);
        bool high = b >= 128;
        int r = high ? b - 127 : b;
        bool digitOrSpace = r == ' ' || (r >= '0' && r <= '9');

        ascii += isDigit(b) ? 0.5f : 1.0f;
        if (high)
            ascii += 1;
        addThird(c40, digitOrSpace || (r >= 'A' && r <= 'Z') ? TwoThirds : FourThirds);
        if (high)
            addThird(c40, FourThirds);
        addThird(text, digitOrSpace || (r >= 'a' && r <= 'z') ? TwoThirds : FourThirds);
        if (high)
            addThird(text, FourThirds);
        if (isX12(b))
            addThird(x12, TwoThirds);
        else
            x12 += 4;
        edifact += isEDIFACT(b) ? 0.75f : 6.0f;
        if (i + 5 >= bytes.size())
            edifact += 6;
        base256 += 1;
    }

    Encodation best = Encodation::ASCII;
    float bestCount = ascii;
    const std::pair<Encodation, float> candidates[]
        = { { Encodation::Base256, base256 }, { Encodation::EDIFACT, edifact }, { Encodation::Text, text },
              { Encodation::X12, x12 }, { Encodation::C40, c40 } };
    for (auto [encodation, count] : candidates) {
        if (count <= bestCount) {
            best = encodation;
            bestCount = count;
        }
    }
    return best;
}

std::optional<Codewords> encodeData(std::string_view bytes)
{
    return Encoder(bytes).run();
}

const SymbolSize* sizeForCodewords(std::size_t count)
{
    for (std::size_t i = 0; i < SymbolSizes.size(); ++i) {
        if (static_cast<std::size_t>(SymbolSizes[i].dataCodewords) < count)
            continue;
        // Only square symbols are made; a rectangular fit takes the next size, always square.
        if (!SymbolSizes[i].isSquare())
            ++i;
        return &SymbolSizes[i];
    }
    return nullptr;
}

std::vector<std::uint8_t> padded(const Codewords& codewords, const SymbolSize& size)
{
    std::vector<std::uint8_t> out = codewords.values;
    auto capacity = static_cast<std::size_t>(size.dataCodewords);
    if (out.size() >= capacity)
        return out;
    if (codewords.last == Encodation::C40 || codewords.last == Encodation::Text || codewords.last == Encodation::X12)
        out.push_back(Unlatch);
    if (out.size() < capacity)
        out.push_back(129);
    while (out.size() < capacity) {
        std::size_t p = out.size();
        std::size_t pad = 129 + ((149 * (p + 1)) % 253) + 1;
        out.push_back(static_cast<std::uint8_t>(pad > 254 ? pad - 254 : pad));
    }
    return out;
}

std::size_t checkCodewordPosition(const SymbolSize& size, std::size_t block, std::size_t k)
{
    const auto blocks = static_cast<std::size_t>((size.dataCodewords + 2) / size.dataCodewordsPerBlock);
    const std::size_t interleaved = static_cast<std::size_t>(size.dataCodewords) + block + k * blocks;
    // ISO/IEC 16022 interleaves the largest symbol apart: each round of its check codewords begins with blocks 8 and
    // 9, the two that hold one data codeword less, and blocks 0 to 7 follow them.
    if (size.rows == 144 && size.columns == 144)
        return block < 8 ? interleaved + 2 : interleaved - 8;
    return interleaved;
}

std::vector<std::uint8_t> withErrorCorrection(const std::vector<std::uint8_t>& data, const SymbolSize& size)
{
    const auto dataCount = static_cast<std::size_t>(size.dataCodewords);
    const auto blocks = static_cast<std::size_t>((size.dataCodewords + 2) / size.dataCodewordsPerBlock);
    const auto eccLength = static_cast<std::size_t>(size.eccCodewordsPerBlock);
    std::vector<std::uint8_t> out(data);
    out.resize(dataCount + blocks * eccLength);

    ReedSolomonEncoder rs;
    rs.initWithPoly(0x12D).setNumberOfSymbols(size.eccCodewordsPerBlock, 1);
    std::vector<std::uint8_t> ecc(eccLength);
    for (std::size_t b = 0; b < blocks; ++b) {
        std::vector<std::uint8_t> block;
        for (std::size_t i = b; i < dataCount; i += blocks)
            block.push_back(data[i]);
        rs.encodeData(block, ecc);
        for (std::size_t k = 0; k < eccLength; ++k)
            out[checkCodewordPosition(size, b, k)] = ecc[eccLength - 1 - k];
    }
    return out;
}

std::optional<Symbol> encode(std::string_view bytes)
{
    // 1. Encodation.
    auto codewords = encodeData(bytes.empty() ? std::string_view("1") : bytes);
    if (!codewords)
        return std::nullopt;
    // 2. Size, padding and error correction.
    const SymbolSize* size = sizeForCodewords(codewords->values.size());
    if (!size)
        return std::nullopt;
    auto all = withErrorCorrection(padded(*codewords, *size), *size);

    // 3. Placement in the mapping matrix, which leaves out the finders.
    int regionsDown = size->rows / size->regionRows;
    int regionsAcross = size->columns / size->regionColumns;
    int innerRows = size->regionRows - 2;
    int innerColumns = size->regionColumns - 2;
    Placement placement(regionsDown * innerRows, regionsAcross * innerColumns);
    const auto& cells = placement.place();

    Symbol symbol;
    symbol.rows = size->rows;
    symbol.columns = size->columns;
    symbol.modules.assign(static_cast<std::size_t>(size->rows * size->columns), 0);
    symbol.codewords = all;
    auto set = [&](int row, int column, bool dark) {
        symbol.modules[static_cast<std::size_t>(row * size->columns + column)] = dark;
    };

    // 4. Finders around every data region, and the mapped modules inside.
    for (int row = 0; row < size->rows; ++row) {
        int r = row % size->regionRows;
        for (int column = 0; column < size->columns; ++column) {
            int c = column % size->regionColumns;
            if (c == 0 || r == size->regionRows - 1) {
                set(row, column, true);
            } else if (r == 0) {
                set(row, column, c % 2 == 0);
            } else if (c == size->regionColumns - 1) {
                set(row, column, r % 2 == 1);
            } else {
                int mappedRow = (row / size->regionRows) * innerRows + r - 1;
                int mappedColumn = (column / size->regionColumns) * innerColumns + c - 1;
                int value = cells[static_cast<std::size_t>(mappedRow * regionsAcross * innerColumns + mappedColumn)];
                bool dark = value == Placement::FixedDark;
                if (value >= 0) {
                    auto codeword = all[static_cast<std::size_t>(value / 8)];
                    dark = ((codeword >> (7 - value % 8)) & 1u) != 0;
                }
                set(row, column, dark);
            }
        }
    }
    return symbol;
}

}
