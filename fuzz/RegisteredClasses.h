// For the fuzz targets whose input may name any class (keyed archives, interface files): now and then an input made
// for a class drawn from the class registry as built, in place of a mutation, so a class added later is tried
// whether or not the seeds were written again since (make-fuzz-seeds writes one of each).
#pragma once

#include "tools/FuzzNameSources.h"

#include "platform/foundation/runtime/Object.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <random>
#include <string_view>
#include <vector>

namespace registeredclasses {

// One mutation in this many makes an input of a registered class.
inline constexpr unsigned OneIn = 16;

// Every registered class, by name.
inline const std::vector<const fnd::ClassInfo*>& all()
{
    static const auto classes = fnd::ClassRegistry::shared().classesDerivedFrom(fnd::Object::staticClassInfo());
    return classes;
}

// A class drawn from the registry when the seed says this mutation makes an input of one; nullptr otherwise. The
// seed is mixed, so the draw does not follow the other mutations the same seed chooses.
inline const fnd::ClassInfo* drawn(unsigned seed)
{
    std::minstd_rand random(seed ^ 0x5eedc1a5u);
    if (random() % OneIn != 0 || all().empty())
        return nullptr;
    return all()[random() % all().size()];
}

// Puts the text in place of the input when it fits: its length, or 0.
inline std::size_t replaceInput(std::uint8_t* data, std::size_t maxSize, std::string_view text)
{
    if (text.empty() || text.size() > maxSize)
        return 0;
    std::memcpy(data, text.data(), text.size());
    return text.size();
}

}
