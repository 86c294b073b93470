#include "AppKitExtensions/ZORNSViewExtension.h"

#include "platform/ui/Button.h"
#include "platform/ui/Control.h"

#include <gtest/gtest.h>

namespace {

using ui::View;

std::vector<View*> raw(const std::vector<std::shared_ptr<View>>& views)
{
    std::vector<View*> out;
    for (const auto& v : views)
        out.push_back(v.get());
    return out;
}

TEST(ZORNSViewExtension, BringingToFrontMovesOnlyThatViewToTheEnd)
{
    auto parent = View::create({ 0, 0, 100, 100 });
    std::vector<std::shared_ptr<View>> children;
    for (int i = 0; i < 6; ++i) {
        children.push_back(View::create({ double(i), 0, 10, 10 }));
        parent->addSubview(children.back());
    }
    ZORNSViewExtension::zorBringToFront(*children[2]);
    EXPECT_EQ(raw(parent->subviews()),
        (std::vector<View*> { children[0].get(), children[1].get(), children[3].get(), children[4].get(),
            children[5].get(), children[2].get() }));
    // Already in front, or without a superview: nothing changes.
    auto before = raw(parent->subviews());
    ZORNSViewExtension::zorBringToFront(*children[2]);
    EXPECT_EQ(raw(parent->subviews()), before);
    auto lonely = View::create({});
    ZORNSViewExtension::zorBringToFront(*lonely);
    EXPECT_TRUE(lonely->subviews().empty());
}

TEST(ZORNSViewExtension, DescendantsComeDepthFirstWithMatchesBeforeTheirContents)
{
    auto root = View::create({});
    EXPECT_TRUE(ZORNSViewExtension::descendantsKindOfClass(*root, nullptr).empty());
    auto a = ui::Button::create({}, "a");
    auto b = View::create({});
    auto c = ui::Button::create({}, "c");
    auto d = ui::Control::create({});
    root->addSubview(a);
    root->addSubview(b);
    b->addSubview(c);
    a->addSubview(d); // a control inside a control
    EXPECT_EQ(raw(ZORNSViewExtension::descendantsKindOfClass(*root, nullptr)),
        (std::vector<View*> { a.get(), d.get(), b.get(), c.get() }));
    EXPECT_EQ(raw(ZORNSViewExtension::descendantsKindOfClass(*root, &ui::Control::staticClassInfo())),
        (std::vector<View*> { a.get(), d.get(), c.get() }));
    EXPECT_EQ(raw(ZORNSViewExtension::descendantsKindOfClass(*root, &ui::Button::staticClassInfo())),
        (std::vector<View*> { a.get(), c.get() }));
}

}
