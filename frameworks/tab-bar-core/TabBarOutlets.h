#pragma once

#include "platform/foundation/runtime/ClassBuilder.h"
#include "platform/foundation/runtime/Outlet.h"

#include <memory>

// The outlets an interface file connects on a tab bar of either family.
namespace tbcore {

// "tabView", "partnerView" and "delegate"; an object that is no delegate of the family is refused with a sentence
// naming its class (the file's load then fails with the key's line).
template <typename Delegate, typename Bar> void describeTabBarOutlets(fnd::ClassBuilder<Bar>& c)
{
    c.property("tabView", &Bar::tabView, &Bar::setTabView);
    c.property("partnerView", &Bar::partnerView, &Bar::setPartnerView);
    c.property(
        "delegate", [](const Bar& bar) { return std::dynamic_pointer_cast<fnd::Object>(bar.delegate()); },
        [](Bar& bar, const std::shared_ptr<fnd::Object>& object) {
            bar.setDelegate(fnd::outletOfKind<Delegate>(object, "tab bar delegate"));
        });
}

}
