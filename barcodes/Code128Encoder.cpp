#include "barcodes/Code128Encoder.h"

#include "barcodes/Code128Patterns.h"

namespace Code128Encoder {

namespace {

CharClass classOf(unsigned char byte, bool fnc1Marks)
{
    if (byte < 32)
        return CharClass::AOnly;
    if ((byte >= '0' && byte <= '9') || (fnc1Marks && byte == '['))
        return CharClass::AnySet;
    if (byte <= 95)
        return CharClass::AOrB;
    return CharClass::BOnly;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

}

std::vector<Run> smoothedRuns(std::string_view bytes, bool fnc1Marks)
{
    std::vector<Run> runs;
    for (char c : bytes) {
        auto cls = classOf(static_cast<unsigned char>(c), fnc1Marks);
        if (!runs.empty() && runs.back().charClass == cls)
            ++runs.back().length;
        else
            runs.push_back({ cls, 1, 0 });
    }

    for (std::size_t i = 0; i < runs.size(); ++i) {
        Run& run = runs[i];
        auto next = i + 1 < runs.size() ? runs[i + 1].charClass : CharClass::AnySet;
        bool hasNext = i + 1 < runs.size();
        bool nextAOnly = hasNext && next == CharClass::AOnly;
        auto cls = run.charClass;
        if (cls == CharClass::AnySet) {
            if (run.length >= 4 || (i == 0 && runs.size() == 1 && run.length == 2)) {
                run.decision = 'C';
                continue;
            }
            cls = CharClass::AOrB;
        }
        if (i == 0) {
            if (cls == CharClass::AOnly)
                run.decision = 'A';
            else if (cls == CharClass::AOrB)
                run.decision = nextAOnly ? 'A' : 'B';
            else
                run.decision = 'b';
            continue;
        }
        char previous = runs[i - 1].decision;
        if (cls == CharClass::AOrB) {
            if (previous == 'A')
                run.decision = 'A';
            else if (previous == 'B')
                run.decision = 'B';
            else if (nextAOnly)
                run.decision = 'A';
            else
                run.decision = 'B';
        } else if (cls == CharClass::AOnly) {
            run.decision = run.length >= 2 || previous == 'A' || previous == 'C' ? 'A' : 'a';
        } else {
            run.decision = run.length >= 2 || previous == 'B' || previous == 'C' ? 'B' : 'b';
        }
    }

    std::vector<Run> merged;
    for (const Run& run : runs) {
        if (!merged.empty() && merged.back().decision == run.decision)
            merged.back().length += run.length;
        else
            merged.push_back(run);
    }
    return merged;
}

std::string marksForRuns(const std::vector<Run>& runs)
{
    std::string marks;
    for (const Run& run : runs)
        marks.append(run.length, run.decision);
    return marks;
}

std::vector<int> symbolValues(std::string_view bytes, std::string_view marks, bool fnc1Marks)
{
    std::vector<int> values;
    if (bytes.empty() || marks.size() != bytes.size())
        return values;
    values.reserve(bytes.size() * 2 + 3);

    auto setOf = [](char mark) { return mark == 'a' ? 'A' : mark == 'b' ? 'B' : mark; };
    char current = setOf(marks[0]);
    values.push_back(current == 'A' ? Code128Patterns::StartA
            : current == 'C'        ? Code128Patterns::StartC
                                    : Code128Patterns::StartB);
    if (current != 'A' && current != 'C')
        current = 'B';
    if (fnc1Marks)
        values.push_back(Code128Patterns::FNC1);

    auto latch = [&](char set) {
        values.push_back(set == 'A' ? Code128Patterns::CodeA
                : set == 'B'        ? Code128Patterns::CodeB
                                    : Code128Patterns::CodeC);
        current = set;
    };

    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char mark = marks[i];
        auto byte = static_cast<unsigned char>(bytes[i]);
        bool isFNC1 = fnc1Marks && byte == '[';
        bool shifted = !isFNC1 && (mark == 'a' || mark == 'b');
        char set = setOf(mark);
        // Set C cannot shift, and it holds only digit pairs (and FNC1): anything else there changes set first.
        bool pairFollows = i + 1 < bytes.size() && isDigit(bytes[i]) && isDigit(bytes[i + 1]);
        if (set == 'C' && !isFNC1 && !pairFollows) {
            set = 'B';
            shifted = false;
        }
        if (shifted && current == 'C')
            shifted = false;
        if (set != current && !shifted)
            latch(set);
        else if (shifted && set != current)
            values.push_back(Code128Patterns::Shift);

        if (isFNC1) {
            values.push_back(Code128Patterns::FNC1);
            continue;
        }
        if (set == 'C') {
            values.push_back((bytes[i] - '0') * 10 + (bytes[i + 1] - '0'));
            ++i;
        } else if (set == 'A') {
            values.push_back(byte < 32 ? byte + 64 : byte - 32);
        } else {
            values.push_back(byte >= 32 && byte < 128 ? byte - 32 : 0);
        }
    }

    long sum = values[0];
    for (std::size_t i = 1; i < values.size(); ++i)
        sum += static_cast<long>(i) * values[i];
    values.push_back(static_cast<int>(sum % 103));
    return values;
}

ModuleString modulesForValues(const std::vector<int>& values)
{
    std::string widths;
    widths.reserve(values.size() * 6 + 7);
    for (int value : values)
        widths += Code128Patterns::widths(value);
    widths += Code128Patterns::Stop;
    return BarcodeExtension::expandWidthPattern(widths);
}

}
