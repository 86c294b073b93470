#pragma once

#include <algorithm>
#include <cstdlib>

namespace testsupport {

// How many seeds a test of a person's gesture runs while the program acts (the seeded model-based tests of drags,
// edits and recordings): its own small default, kept so the sanitizer pass stays fast, or BARCODES_GESTURE_SEEDS
// for a longer search. Seeds run from 1, so a failure's seed replays with the same count or a larger one.
inline int gestureSeeds(int defaultCount)
{
    if (const char* text = std::getenv("BARCODES_GESTURE_SEEDS"))
        return std::max(1, std::atoi(text));
    return defaultCount;
}

}
