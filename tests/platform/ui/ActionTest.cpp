#include "TestViews.h"
#include "UiTestSupport.h"

using namespace ui;

namespace {

std::vector<std::string> g_received;

// Every kind of link in the nil-target search answers "probe:" while switched on.
template <typename Base> class Probing : public Base {
public:
    bool respondsTo(fnd::Selector s) const override { return on && Base::respondsTo(s); }
    void probe(const fnd::Value& sender) { g_received.push_back(name + " from " + sender.stringValue().utf8()); }
    bool validateMenuItem(const fnd::Value& item) { return item.integerValue() != 2; }
    std::string name;
    bool on { true };
};

class ProbeView : public Probing<uitest::TestView> {
    FND_OBJECT(ProbeView)
    static void describeClass(fnd::ClassBuilder<ProbeView>& c);

public:
    static std::shared_ptr<ProbeView> make(std::string name)
    {
        auto v = std::make_shared<ProbeView>();
        v->initWithFrame({ 0, 0, 10, 10 });
        v->name = std::move(name);
        v->takesFocus = true;
        return v;
    }
};

class ProbeWindowDelegate : public Probing<fnd::Object>, public WindowDelegate {
    FND_OBJECT(ProbeWindowDelegate)
    static void describeClass(fnd::ClassBuilder<ProbeWindowDelegate>& c);
};

class ProbeAppDelegate : public Probing<fnd::Object>, public ApplicationDelegate {
    FND_OBJECT(ProbeAppDelegate)
    static void describeClass(fnd::ClassBuilder<ProbeAppDelegate>& c);
};

FND_REGISTER_CLASS(ProbeView, uitest::TestView)
FND_REGISTER_CLASS(ProbeWindowDelegate, fnd::Object)
FND_REGISTER_CLASS(ProbeAppDelegate, fnd::Object)

void ProbeView::describeClass(fnd::ClassBuilder<ProbeView>& c)
{
    c.action("probe:", &ProbeView::probe);
    c.action("validateMenuItem:", &ProbeView::validateMenuItem);
}
void ProbeWindowDelegate::describeClass(fnd::ClassBuilder<ProbeWindowDelegate>& c)
{
    c.action("probe:", &ProbeWindowDelegate::probe);
}
void ProbeAppDelegate::describeClass(fnd::ClassBuilder<ProbeAppDelegate>& c)
{
    c.action("probe:", &ProbeAppDelegate::probe);
}

// A utility panel: it takes the keyboard but never becomes the main window.
class KeyOnlyWindow : public Window {
public:
    bool canBecomeMainWindow() const override { return false; }
};

class ActionTest : public uitest::UiTest { };

}

TEST_F(ActionTest, ANilTargetWalksKeyChainThenMainChainThenTheApplicationDelegate)
{
    g_received.clear();
    auto main = Window::create({ 0, 0, 100, 100 });
    auto panel = fnd::makeObject<KeyOnlyWindow>();
    panel->initWithContentRect({ 200, 0, 100, 100 }, WindowStyleMask::Titled);

    auto keyFocus = ProbeView::make("key focus");
    auto keySuper = ProbeView::make("key superview");
    panel->contentView()->addSubview(keySuper);
    keySuper->addSubview(keyFocus);
    auto keyDelegate = std::make_shared<ProbeWindowDelegate>();
    keyDelegate->name = "key window delegate";
    panel->setDelegate(keyDelegate);

    auto mainFocus = ProbeView::make("main focus");
    main->contentView()->addSubview(mainFocus);
    auto mainDelegate = std::make_shared<ProbeWindowDelegate>();
    mainDelegate->name = "main window delegate";
    main->setDelegate(mainDelegate);

    auto appDelegate = std::make_shared<ProbeAppDelegate>();
    appDelegate->name = "application delegate";
    app().setDelegate(appDelegate);

    main->makeKeyAndOrderFront();
    main->makeFirstResponder(mainFocus);
    panel->makeKeyAndOrderFront();
    panel->makeFirstResponder(keyFocus);
    ASSERT_EQ(app().keyWindow(), panel);
    ASSERT_EQ(app().mainWindow(), main);

    std::vector<fnd::Object*> links { keyFocus.get(), keySuper.get(), keyDelegate.get(), mainFocus.get(),
        mainDelegate.get(), appDelegate.get() };
    const std::vector<std::string> expected { "key focus from s", "key superview from s", "key window delegate from s",
        "main focus from s", "main window delegate from s", "application delegate from s" };
    auto switchOff = [&](std::size_t i) {
        if (i == 0)
            keyFocus->on = false;
        if (i == 1)
            keySuper->on = false;
        if (i == 2)
            keyDelegate->on = false;
        if (i == 3)
            mainFocus->on = false;
        if (i == 4)
            mainDelegate->on = false;
        if (i == 5)
            appDelegate->on = false;
    };
    for (std::size_t i = 0; i < links.size(); ++i) {
        EXPECT_EQ(app().targetForAction("probe:").get(), links[i]) << "step " << i;
        EXPECT_TRUE(app().sendAction("probe:", nullptr, "s"));
        switchOff(i);
    }
    EXPECT_EQ(g_received, expected);
    EXPECT_EQ(app().targetForAction("probe:"), nullptr);
    EXPECT_FALSE(app().sendAction("probe:", nullptr, "s"));

    // An explicit target is used as it is, and only when it answers.
    keySuper->on = true;
    g_received.clear();
    EXPECT_TRUE(app().sendAction("probe:", keySuper, "t"));
    EXPECT_FALSE(app().sendAction("probe:", mainFocus, "t"));
    EXPECT_EQ(g_received, (std::vector<std::string> { "key superview from t" }));
    app().setDelegate(nullptr);
}

TEST_F(ActionTest, TryToPerformClimbsTheChainAndValidationAsksTheTarget)
{
    g_received.clear();
    auto window = Window::create({ 0, 0, 100, 100 });
    auto outer = ProbeView::make("outer");
    auto inner = uitest::TestView::make({ 0, 0, 5, 5 });
    window->contentView()->addSubview(outer);
    outer->addSubview(inner);
    EXPECT_TRUE(inner->tryToPerform("probe:", "inner"));
    EXPECT_FALSE(inner->tryToPerform("unknownAction:", "inner"));
    EXPECT_EQ(g_received, (std::vector<std::string> { "outer from inner" }));

    // Items by tag: the probe's validator refuses tag 2; a target without a validator enables everything.
    EXPECT_TRUE(validateItem(*outer, "validateMenuItem:", 1));
    EXPECT_FALSE(validateItem(*outer, "validateMenuItem:", 2));
    EXPECT_TRUE(validateItem(*inner, "validateMenuItem:", 2));
}
