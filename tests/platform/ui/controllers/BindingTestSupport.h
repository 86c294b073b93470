#pragma once

#include "platform/ui/UiTestSupport.h"

#include "platform/foundation/runtime/Object.h"
#include "platform/ui/views/View.h"
#include "platform/ui/views/Window.h"

#include <string>

namespace bindingtest {

// A person of a roster, the model the controls are bound to.
class RosterMember : public fnd::Object {
    FND_OBJECT(RosterMember)
    static void describeClass(fnd::ClassBuilder<RosterMember>& c);

public:
    static std::shared_ptr<RosterMember> make(const fnd::String& name, int age = 0);

    fnd::String name;
    int age { 0 };
    bool active { false };
    std::shared_ptr<RosterMember> partner;
};

// The names of the members in an array, joined by spaces.
std::string names(const fnd::Array& members);

// A key window of 320 × 240 points on the headless backend and a virtual clock.
class BindingTest : public uitest::UiTest {
protected:
    BindingTest();

    void add(const std::shared_ptr<ui::View>& view) { window->contentView()->addSubview(view); }
    // A click in the middle of the view, sent at once.
    void click(ui::View& view);

    std::shared_ptr<ui::Window> window;
};

}
