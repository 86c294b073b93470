#include "PreferenceWindowTestSupport.h"

#include "frameworks/ZORAppKit/ZORPreferenceWindowController/ZORPlugInPreferencePane.h"
#include "frameworks/ZORAppKit/ZORPreferenceWindowController/ZORPrefPaneIconView.h"

#include "platform/foundation/TestSupport.h"
#include "platform/foundation/files/Bundle.h"
#include "platform/graphics/Image.h"
#include "support/Raised.h"

#include <gtest/gtest.h>

using namespace prefstest;

namespace {

const fnd::String PlugInFolder = PREFS_PLUGIN_DIR;

std::shared_ptr<fnd::Bundle> plugIn(const char* name)
{
    return fnd::Bundle::bundleWithPath(PlugInFolder.stringByAppendingPathComponent(fnd::String(name) + ".prefPane"));
}

}

// The fixture plug-ins load and show; broken ones are refused with the reason in the log and the rest load.
TEST_F(PreferenceWindowTest, PlugInPanesLoadAndBrokenOnesAreRefusedWithAReason)
{
    testsupport::CapturedLog log;
    auto delegate = std::make_shared<RecordingDelegate>(messages);
    controller->setDelegate(delegate);
    controller->addPluginsOfType("prefPane", PlugInFolder);
    controller->addPluginFromPath(PlugInFolder.stringByAppendingPathComponent("Nowhere.prefPane"));

    auto identifiers = controller->validPrefPaneIdentifiers();
    EXPECT_EQ(identifiers,
        (std::vector<fnd::String> {
            "org.barcodes.test.appearance", "org.barcodes.test.network", "org.barcodes.test.notapane" }));
    const std::pair<const char*, const char*> refusals[] = {
        { "Broken-Clash.prefPane", "class ZORTestAppearancePane already exists" },
        { "Broken-MissingLibrary.prefPane", "MissingLibrary.so is missing" },
        { "Broken-NoPrincipalClass.prefPane", "principal class name not found" },
        { "Broken-WrongClass.prefPane", "principal class ZORTestAbsentPane not found" },
    };
    for (const auto& [bundle, reason] : refusals) {
        bool found = false;
        for (const auto& line : log.lines())
            found |= line.level == fnd::LogLevel::Error && line.text.find(reason) != std::string::npos
                && line.text.find(bundle) != std::string::npos;
        EXPECT_TRUE(found) << bundle << " should be refused with \"" << reason << "\"";
    }
    EXPECT_TRUE(log.contains(fnd::LogLevel::Error, "error loading bundle: " + PlugInFolder.utf8() + "/Nowhere"));
    EXPECT_TRUE(log.contains(fnd::LogLevel::Info, "loaded: " + PlugInFolder.utf8() + "/Appearance.prefPane"));
    EXPECT_NE(std::find(messages->begin(), messages->end(), "delegate.didLoad org.barcodes.test.appearance"),
        messages->end());

    // The Info keys, read without making the pane.
    auto appearance
        = std::dynamic_pointer_cast<ZORPlugInPreferencePane>(controller->prefPaneWithIdentifier(identifiers[0]));
    ASSERT_TRUE(appearance);
    EXPECT_EQ(appearance->label(), u"Appearance");
    EXPECT_EQ(appearance->category(), u"Display");
    EXPECT_EQ(appearance->version(), u"1.2");
    EXPECT_EQ(appearance->helpURL(), u"https://barcodes.example.org/help/appearance");
    ASSERT_TRUE(appearance->icon());
    EXPECT_EQ(appearance->pluginBundle(), plugIn("Appearance"));
    // Without a label of its own a plug-in is labelled with its identifier.
    EXPECT_EQ(controller->prefPaneWithIdentifier(identifiers[1])->label(), u"org.barcodes.test.network");

    // Shown: its interface file's view, its principal class told, its label from the Info keys.
    auto window = controller->window();
    window->makeKeyAndOrderFront();
    ASSERT_EQ(controller->activePane(), appearance);
    auto view = window->contentView();
    ASSERT_EQ(view, appearance->mainView());
    EXPECT_EQ(view->subviews().size(), 3u);
    EXPECT_EQ(window->contentRectForFrameRect(window->frame()).size, gfx::Size(360, 170));
    EXPECT_EQ(window->title(), u"Appearance");
    EXPECT_EQ(window->minSize(), gfx::Size(300, 150));
    auto events = appearance->prefPane()->valueForKey("events");
    EXPECT_EQ(events, fnd::Value(fnd::Array { fnd::String("willSelect"), fnd::String("didSelect") }));
    shot("PlugInPane");

    // A pane that builds its view when asked builds it once.
    ASSERT_TRUE(controller->selectPaneWithIdentifier(identifiers[1]));
    auto network = std::dynamic_pointer_cast<ZORPlugInPreferencePane>(controller->activePane());
    EXPECT_EQ(network->prefPane()->valueForKey("loadCount"), fnd::Value(1L));
    EXPECT_EQ(window->contentRectForFrameRect(window->frame()).size, gfx::Size(280, 90));

    // A principal class that is no pane shows nothing and leaves the shown pane.
    log.lines();
    EXPECT_FALSE(controller->selectPaneWithIdentifier(identifiers[2]));
    EXPECT_TRUE(log.contains(fnd::LogLevel::Error, "ZORTestNotAPane is not a preference pane"));
    EXPECT_EQ(controller->activePane(), network);

    controller->setSortByCategory(true);
    ASSERT_TRUE(controller->selectIconViewPane());
    shot("PlugInOverview");
}

// A plug-in whose code throws anything, while its pane is made or while it loads its view, is a pane that cannot be
// set up: it is not shown, the reason is logged once, the pane shown before stays, and the program goes on.
TEST_F(PreferenceWindowTest, APlugInThatThrowsAnythingIsAPaneThatCannotBeSetUp)
{
    testsupport::CapturedLog log;
    addPane("a", gfx::Size { 200, 100 });
    auto window = controller->window();
    ASSERT_EQ(controller->activePane()->identifier(), u"a");
    const fnd::String folder = PREFS_THROWING_PLUGIN_DIR;
    controller->addPluginsOfType("prefPane", folder);
    const std::pair<const char*, const char*> plugIns[] = {
        { "org.barcodes.test.throwsstandard", "the pane's settings file is damaged" },
        { "org.barcodes.test.throwsanything", "an exception of an unknown type" },
        { "org.barcodes.test.throwsonload", "the pane's view could not be built" },
    };
    for (const auto& [identifier, reason] : plugIns) {
        auto pane = std::dynamic_pointer_cast<ZORPlugInPreferencePane>(controller->prefPaneWithIdentifier(identifier));
        ASSERT_TRUE(pane) << identifier << ": the bundle itself loads";
        EXPECT_FALSE(controller->selectPaneWithIdentifier(identifier)) << identifier;
        EXPECT_EQ(controller->activePane()->identifier(), u"a") << identifier;
        EXPECT_EQ(window->contentView(), controller->prefPaneWithIdentifier("a")->mainView()) << identifier;
        EXPECT_TRUE(log.contains(fnd::LogLevel::Error, reason)) << identifier;
        // Not tried again.
        EXPECT_FALSE(pane->prefPane()) << identifier;
        EXPECT_FALSE(pane->respondsTo("loadMainView")) << identifier;
        std::size_t reasons = 0;
        for (const auto& line : log.lines())
            reasons += line.text.find(reason) != std::string::npos;
        EXPECT_EQ(reasons, 1u) << identifier;
    }
}

// A plug-in that throws once it is set up leaves the window whole: thrown as it is about to be shown, the switch is
// given up and the pane shown before stays; thrown once shown, it stays shown until left. Either way its reason is
// logged once and it is not asked again.
TEST_F(PreferenceWindowTest, APlugInThatThrowsOnTheWayInOrWhileShownLeavesTheWindowWhole)
{
    testsupport::CapturedLog log;
    auto a = addPane("a", gfx::Size { 200, 100 });
    auto window = controller->window();
    controller->addPluginsOfType("prefPane", fnd::String(PREFS_THROWING_PLUGIN_DIR));
    auto reasonsLogged = [&](const std::string& reason) {
        std::size_t n = 0;
        for (const auto& line : log.lines())
            n += line.text.find(reason) != std::string::npos;
        return n;
    };
    auto showsA = [&] {
        return controller->activePane() == a && window->contentView() == a->mainView() && window->title() == u"a pane"
            && controller->toolbar()->selectedItemIdentifier() == u"a";
    };

    const fnd::String onSelect = "org.barcodes.test.throwsonselect";
    bool selected = true;
    EXPECT_FALSE(raised([&] { selected = controller->selectPaneWithIdentifier(onSelect); }));
    EXPECT_FALSE(selected);
    EXPECT_TRUE(showsA());
    EXPECT_EQ(reasonsLogged("the pane lost its settings before it was shown"), 1u);
    EXPECT_EQ(reasonsLogged("Preference Pane \"" + onSelect.utf8() + "\" failed as it was selected"), 1u);
    EXPECT_FALSE(controller->selectPaneWithIdentifier(onSelect));
    EXPECT_TRUE(showsA());

    const fnd::String onShown = "org.barcodes.test.throwsonshown";
    EXPECT_FALSE(raised([&] { selected = controller->selectPaneWithIdentifier(onShown); }));
    EXPECT_TRUE(selected);
    auto shown = controller->prefPaneWithIdentifier(onShown);
    EXPECT_EQ(controller->activePane(), shown);
    EXPECT_EQ(window->title(), onShown) << "labelled by its identifier";
    EXPECT_EQ(controller->toolbar()->selectedItemIdentifier(), onShown);
    EXPECT_EQ(reasonsLogged("the pane lost its settings once shown"), 1u);
    // Leaving it, closing over it and the window's main state send it nothing more.
    EXPECT_FALSE(raised([&] { controller->windowDidBecomeMain(*window); }));
    messages->clear();
    EXPECT_FALSE(raised([&] { selected = controller->selectPaneWithIdentifier("a"); }));
    EXPECT_TRUE(selected);
    EXPECT_TRUE(showsA());
    EXPECT_EQ(*messages,
        (std::vector<std::string> { "a.loadMainView", "a.willSelect", "a.shouldResize", "a.minSize", "a.didSelect" }));
    EXPECT_EQ(reasonsLogged("the pane is asked after it failed"), 0u);
    EXPECT_FALSE(controller->selectPaneWithIdentifier(onShown)) << "not shown again";
}

// A pane may give itself a new view as it is about to be shown (built from settings read then): a healthy pane, a
// plug-in or one of the program's own, is shown with that view, every time. One that gives itself no view then is
// not shown, and the pane shown before stays.
TEST_F(PreferenceWindowTest, APaneThatGivesItselfANewViewAsItIsSelectedIsShownWithIt)
{
    testsupport::CapturedLog log;
    auto a = addPane("a", gfx::Size { 200, 100 });
    auto window = controller->window();
    controller->addPluginFromPath(fnd::String(PREFS_SINGLE_PLUGIN_DIR "/ReplacesView.prefPane"));
    const fnd::String plugIn = "org.barcodes.test.replacesview";
    auto proxy = std::dynamic_pointer_cast<ZORPlugInPreferencePane>(controller->prefPaneWithIdentifier(plugIn));
    ASSERT_TRUE(proxy);
    auto own = addPane("own", gfx::Size { 150, 60 });
    own->viewOnSelect = [] { return ui::View::create({ 0, 0, 260, 110 }); };

    const std::pair<fnd::String, gfx::Size> shown[]
        = { { plugIn, { 320, 140 } }, { "own", { 260, 110 } }, { "a", { 200, 100 } }, { plugIn, { 320, 140 } } };
    for (const auto& [identifier, size] : shown) {
        ASSERT_TRUE(controller->selectPaneWithIdentifier(identifier)) << identifier;
        auto pane = controller->prefPaneWithIdentifier(identifier);
        EXPECT_EQ(controller->activePane(), pane) << identifier;
        EXPECT_EQ(window->contentView(), pane->mainView()) << identifier;
        EXPECT_EQ(window->contentRectForFrameRect(window->frame()).size, size) << identifier;
        EXPECT_EQ(controller->toolbar()->selectedItemIdentifier(), identifier);
    }
    EXPECT_EQ(proxy->prefPane()->valueForKey("viewsMade"), fnd::Value(2L)) << "a new view each time";
    EXPECT_FALSE(log.contains(fnd::LogLevel::Error, "failed as it was selected"));

    ASSERT_TRUE(controller->selectPaneWithIdentifier("a"));
    own->viewOnSelect = [] { return nullptr; };
    EXPECT_FALSE(controller->selectPaneWithIdentifier("own"));
    EXPECT_TRUE(log.contains(fnd::LogLevel::Error, "Preference Pane \"own\" has no view"));
    EXPECT_EQ(controller->activePane(), a);
    EXPECT_EQ(window->contentView(), a->mainView());
}

TEST_F(PreferenceWindowTest, APlugInPaneMakesItsInstanceWhenFirstSentWhatOnlyTheInstanceAnswers)
{
    auto proxy = ZORPlugInPreferencePane::create(plugIn("Appearance"));
    ASSERT_TRUE(proxy);
    EXPECT_TRUE(proxy->respondsTo("resetAppearance:"));
    EXPECT_FALSE(proxy->respondsTo("noSuchAction:"));
    proxy->perform("resetAppearance:", fnd::Value());
    EXPECT_EQ(proxy->prefPane()->valueForKey("events"), fnd::Value(fnd::Array { fnd::String("resetAppearance") }));
    // The proxy's own keys stay its own.
    EXPECT_EQ(proxy->valueForKey("label"), fnd::Value(fnd::String("Appearance")));
    // A bundle's view cannot be replaced from outside.
    proxy->setMainView(ui::View::create({ 0, 0, 10, 10 }));
    EXPECT_EQ(proxy->mainView()->frame().size, gfx::Size(360, 170));
}

TEST(BundleLoading, ABundleLoadsItsLibraryOnceAndOwnsTheClassesItRegistered)
{
    auto bundle = plugIn("Network");
    ASSERT_TRUE(bundle && bundle->load() && bundle->load());
    EXPECT_EQ(bundle->loadedClassNames(), fnd::StringArray { "ZORTestNetworkPane" });
    EXPECT_EQ(bundle->principalClass(), fnd::ClassRegistry::shared().find("ZORTestNetworkPane"));
    EXPECT_EQ(fnd::Bundle::bundleForClass("ZORTestNetworkPane"), bundle);
    EXPECT_FALSE(bundle->classNamed("ZORPreferencePanel")) << "not its own class";

    auto failed = plugIn("Broken-MissingLibrary")->load();
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.error().code(), fnd::BundleErrorCode::ExecutableNotLoadable);
}
