#include "barcodes/GS1ElementString.h"

#include <algorithm>
#include <vector>

namespace GS1ElementString {

namespace {

struct Field {
    std::string ai; // the identifier's digits as written
    std::size_t dataStart { 0 };
    std::size_t dataLength { 0 };
};

enum class Verdict { Accepted, LengthChecked, WrongLength, NotAnAI };

bool inRange(int v, int lo, int hi) { return v >= lo && v <= hi; }

// The identifiers this program checks, after the GS1 General Specifications' table as far as it goes. An identifier
// is its digit string: "01" and "001" are different identifiers (and no three- or four-digit one starts with 0).
Verdict judge(const Field& field)
{
    const std::string& ai = field.ai;
    if (ai.empty() || !std::all_of(ai.begin(), ai.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return Verdict::NotAnAI;
    int v = std::stoi(ai);
    std::size_t n = field.dataLength;
    auto fixed = [&](std::size_t length) { return n == length ? Verdict::LengthChecked : Verdict::WrongLength; };
    if (ai.size() > 2 && ai[0] == '0')
        return Verdict::NotAnAI;
    switch (ai.size()) {
    case 2:
        if (v == 0)
            return fixed(18);
        if (inRange(v, 1, 3))
            return fixed(14);
        if (v == 4)
            return fixed(16);
        if (inRange(v, 11, 19))
            return fixed(6);
        if (v == 20)
            return fixed(2);
        if (v == 23 || v == 24 || v == 25 || v == 39 || v == 40 || v == 41 || v == 42 || v == 70 || v == 80
            || v == 81 || inRange(v, 31, 36))
            return Verdict::NotAnAI;
        return Verdict::Accepted;
    case 3:
        if (inRange(v, 410, 415))
            return fixed(13);
        if (inRange(v, 100, 179) || inRange(v, 200, 229) || inRange(v, 300, 379) || inRange(v, 700, 703)
            || inRange(v, 800, 810) || inRange(v, 900, 999))
            return Verdict::NotAnAI;
        return Verdict::Accepted;
    default:
        if (inRange(v, 3100, 3699))
            return fixed(6);
        if (inRange(v, 1000, 1799) || inRange(v, 2000, 2299) || inRange(v, 3000, 3099) || inRange(v, 3700, 3799)
            || inRange(v, 4100, 4199) || inRange(v, 9000, 9999))
            return Verdict::NotAnAI;
        return Verdict::Accepted;
    }
}

Result failure(std::string key, std::string aiText = {}) { return { {}, std::move(key), std::move(aiText) }; }

}

Result check(std::string s, bool preValidated)
{
    // 2. Parentheses stand for brackets unless the text already uses brackets.
    if (!preValidated && s.find('[') == std::string::npos)
        std::replace(s.begin(), s.end(), '(', '['), std::replace(s.begin(), s.end(), ')', ']');

    // 3.
    if (s.empty() || s[0] != '[')
        return failure("GS1AIStartError");

    // 4. One pass for the syntax.
    int level = 0, highest = 0;
    int count = 0, largest = 0, smallest = 5;
    bool inside = false, nonNumeric = false;
    for (char c : s) {
        if (c == '[') {
            highest = std::max(highest, ++level);
            inside = true;
            count = 0;
        } else if (c == ']') {
            --level;
            if (inside) {
                ++count;
                smallest = std::min(smallest, count);
            }
            inside = false;
        } else if (inside) {
            ++count;
            if (!(c >= '0' && c <= '9') && c != 'Q')
                nonNumeric = true;
        }
        largest = std::max(largest, count);
    }

    // 5.
    if (level != 0)
        return failure("GS1AIMalformed");
    if (highest >= 2)
        return failure("GS1NestedBrackets");
    if (largest >= 6)
        return failure("GS1AITooLong");
    if (smallest <= 2)
        return failure("GS1AITooShort");
    if (nonNumeric)
        return failure("GS1AINonNumericChars");

    // 6. Fields: the identifier is what stands between the brackets, the data what follows up to the next "[".
    std::vector<Field> fields;
    for (std::size_t open = s.find('['); open != std::string::npos;) {
        std::size_t close = s.find(']', open);
        // Brackets can balance in the wrong order ("[01]]1["): a "[" without its "]" is malformed.
        if (close == std::string::npos)
            return failure("GS1AIMalformed");
        std::size_t next = s.find('[', close);
        Field f;
        f.ai = s.substr(open + 1, close - open - 1);
        f.dataStart = close + 1;
        f.dataLength = (next == std::string::npos ? s.size() : next) - f.dataStart;
        fields.push_back(f);
        open = next;
    }
    for (auto& f : fields) {
        if (f.dataLength == 0)
            return failure("GS1NoDataForAI");
    }

    // 7. The later offending field is the one reported.
    std::string errorKey, aiText;
    std::vector<bool> lengthChecked;
    for (auto& f : fields) {
        auto verdict = judge(f);
        lengthChecked.push_back(verdict == Verdict::LengthChecked);
        if (verdict == Verdict::WrongLength)
            errorKey = "GS1InvalidDataLength", aiText = "(" + f.ai + ")";
        else if (verdict == Verdict::NotAnAI)
            errorKey = "GS1InvalidAI", aiText = "(" + f.ai + ")";
    }
    if (!errorKey.empty())
        return failure(errorKey, aiText);

    // 8. FNC1 follows every field whose length was not verified, so a reader can tell where the next one starts.
    std::string reduced;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0 && !lengthChecked[i - 1])
            reduced += '[';
        reduced += fields[i].ai;
        reduced += s.substr(fields[i].dataStart, fields[i].dataLength);
    }
    return { reduced, {}, {} };
}

}
