#pragma once

#include "barcodes/ModuleString.h"

#include <string>
#include <string_view>
#include <vector>

// The code-set choice shared by Code 128 and GS1-128 (ISO/IEC 15417 Annex E, as smoothed runs). Marks are one
// character per content byte: 'A', 'B', 'C' latch to that set, 'a', 'b' put one character in A or B by Shift.
namespace Code128Encoder {

enum class CharClass { AOnly, AnySet, AOrB, BOnly };

struct Run {
    CharClass charClass;
    std::size_t length;
    char decision; // the mark its characters get
};

// Steps 1 to 3: classes, runs, the decision of each run, and adjacent runs of one decision merged. With
// `fnc1Marks`, "[" (an FNC1 mark) counts as a digit.
std::vector<Run> smoothedRuns(std::string_view bytes, bool fnc1Marks);

// One mark per character, from the runs.
std::string marksForRuns(const std::vector<Run>& runs);

// The symbol values: start character, FNC1 after it with `fnc1Marks`, the data with latches and shifts, the check
// character. A latch is emitted when a mark differs from the current code set, a Shift only when the shifted set
// is not the current one; "[" is FNC1 with `fnc1Marks`.
std::vector<int> symbolValues(std::string_view bytes, std::string_view marks, bool fnc1Marks);

// The modules of the symbol values followed by the stop pattern.
ModuleString modulesForValues(const std::vector<int>& values);

}
