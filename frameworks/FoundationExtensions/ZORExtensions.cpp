#include "frameworks/FoundationExtensions/ZORExtensions.h"

#include <algorithm>

namespace ZORExtensions {

namespace {

bool zorExtensionsIsMemberOfClass(const fnd::Value& member, const fnd::ClassInfo& cls)
{
    auto object = member.object();
    return object && object->isKindOf(cls);
}

}

bool hasMembersOfClass(const fnd::Set& set, const fnd::ClassInfo& cls)
{
    return std::ranges::any_of(
        set, [&](const fnd::Value& member) { return zorExtensionsIsMemberOfClass(member, cls); });
}

fnd::Array membersOfClass(const fnd::Set& set, const fnd::ClassInfo& cls)
{
    fnd::Array members;
    for (const auto& member : set) {
        if (zorExtensionsIsMemberOfClass(member, cls))
            members.push_back(member);
    }
    return members;
}

}
