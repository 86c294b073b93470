#pragma once

#include "platform/foundation/archiving/PropertyList.h"
#include "platform/foundation/runtime/Value.h"

#include <stdexcept>

namespace testsupport {

// A keyed archive with one key of its root object set to another value, as a damaged or made-up file holds it.
inline fnd::Data withRootKey(const fnd::Data& archive, const fnd::String& key, const fnd::Value& value)
{
    auto plist = fnd::PropertyList::read(archive);
    if (!plist || !plist->dictionary())
        throw std::invalid_argument("not a keyed archive");
    auto& top = *plist->dictionary();
    const auto rootIndex = top.get("$top").dictionary()->get("root").dictionary()->get("$ref").integerValue();
    auto* objects = top.find("$objects")->array();
    auto* root = (*objects)[static_cast<std::size_t>(rootIndex)].dictionary();
    root->set(key, value);
    return *fnd::PropertyList::writeXML(*plist);
}

}
