#include "BindingTestSupport.h"

#include "platform/foundation/bindings/ArrayController.h"
#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/files/UserDefaults.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/interface/InterfaceFile.h"
#include "platform/ui/controls/PopUpButton.h"
#include "platform/ui/text/TextField.h"
#include "platform/ui/text/TextFieldCell.h"
#include "platform/ui/controllers/ViewController.h"
#include "platform/ui/controllers/WindowController.h"

#include "platform/foundation/TestSupport.h"

using namespace ui;
using namespace bindingtest;

namespace {

// Owns the roster window: outlets, the members the window's array controller shows, and what happened in order.
class RosterWindowController : public WindowController {
    FND_OBJECT(RosterWindowController)
    static void describeClass(fnd::ClassBuilder<RosterWindowController>& c)
    {
        c.property("nameField", &RosterWindowController::nameField);
        c.property("list", &RosterWindowController::list);
        c.property("members", &RosterWindowController::members);
        c.action("awakeFromNib", &RosterWindowController::awakeFromNib);
    }

public:
    void awakeFromNib() { events.push_back(nameField ? "awake with outlets" : "awake without outlets"); }
    void windowWillLoad() override { events.push_back("will load"); }
    void windowDidLoad() override { events.push_back("did load"); }

    std::shared_ptr<TextField> nameField;
    std::shared_ptr<fnd::ArrayController> list;
    fnd::Array members;
    std::vector<std::string> events;
};
FND_REGISTER_CLASS(RosterWindowController, WindowController)

class WindowControllerTest : public uitest::UiTest {
protected:
    WindowControllerTest() { fnd::Bundle::registerClass("RosterWindowController", "TestBundle"); }

    testsupport::TemporaryFolder config;
    testsupport::ScopedEnvironment configHome { "XDG_CONFIG_HOME", config.path() };
};

}

TEST_F(WindowControllerTest, LoadsItsWindowFromAnInterfaceFileWithOutletsAndBindings)
{
    auto controller = fnd::makeObject<RosterWindowController>();
    controller->initWithWindowNibName("RosterWindow");
    controller->members = { fnd::Value(RosterMember::make("Al")), fnd::Value(RosterMember::make("Bo")) };
    EXPECT_FALSE(controller->isWindowLoaded());
    EXPECT_TRUE(controller->events.empty()) << "nothing loads before the window is asked for";

    auto window = controller->window();
    ASSERT_TRUE(window);
    EXPECT_EQ(controller->events, (std::vector<std::string> { "will load", "awake with outlets", "did load" }));
    EXPECT_EQ(window->title(), u"Roster");
    ASSERT_TRUE(controller->list);
    EXPECT_EQ(names(controller->list->arrangedObjects()), "Al Bo");
    EXPECT_EQ(controller->nameField->stringValue(), u"Al");
    EXPECT_EQ(controller->window(), window) << "loaded once";
    EXPECT_EQ(controller->topLevelObjects().size(), 2u);

    // The bindings the file made work both ways.
    auto views = window->contentView()->subviews();
    auto popUp = std::dynamic_pointer_cast<PopUpButton>(views.at(1));
    auto remove = std::dynamic_pointer_cast<Button>(views.at(2));
    ASSERT_TRUE(popUp && remove);
    EXPECT_EQ(popUp->itemTitles(), (std::vector<fnd::String> { "Al", "Bo" }));
    controller->showWindow({});
    EXPECT_TRUE(window->isKeyWindow());
    backend->answerNextPopUpMenu(1);
    auto middle = popUp->convertPointToView({ 100, 13 }, nullptr);
    backend->mouseDown(*window, middle);
    backend->mouseUp(*window, middle);
    backend->dispatchEvents();
    EXPECT_EQ(controller->nameField->stringValue(), u"Bo");
    if (const char* folder = std::getenv("BARCODES_UI_SNAPSHOTS"))
        (void)backend->writePNG(*window, fnd::String(std::string(folder) + "/roster-window.png"));
    remove->performClick();
    EXPECT_EQ(names(controller->members), "Al") << "the remove button reached the owner's members";
    remove->performClick();
    EXPECT_TRUE(controller->members.empty());
    EXPECT_FALSE(remove->isEnabled());
    EXPECT_FALSE(controller->nameField->isEnabled());
    EXPECT_EQ(std::dynamic_pointer_cast<TextFieldCell>(controller->nameField->cell())->placeholderString(), u"Nobody");
}

TEST_F(WindowControllerTest, RestoresTheAutosavedFrameAndShowsItsWindowAgainAfterClosing)
{
    fnd::UserDefaults::standardUserDefaults().setObject("200 300 300 182", "NSWindow Frame Roster");
    auto controller = fnd::makeObject<RosterWindowController>();
    controller->initWithWindowNibName("RosterWindow");
    controller->setWindowFrameAutosaveName("Roster");
    controller->showWindow({});
    auto window = controller->window();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->frame(), gfx::Rect(200, 300, 300, 182));
    window->setFrameOrigin({ 50, 60 });
    EXPECT_EQ(*fnd::UserDefaults::standardUserDefaults().stringForKey("NSWindow Frame Roster"), u"50 60 300 182");

    controller->close();
    EXPECT_FALSE(window->isVisible());
    controller->showWindow({});
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(controller->window(), window) << "the same window again";
    controller->close();
    EXPECT_FALSE(window->isVisible()) << "and it closes again";
    fnd::UserDefaults::standardUserDefaults().removeObjectForKey("NSWindow Frame Roster");

    // A window made in code takes the autosave name at once; a missing file leaves no window.
    auto plain = fnd::makeObject<WindowController>();
    plain->initWithWindow(Window::create({ 0, 0, 100, 80 }));
    plain->setWindowFrameAutosaveName("Plain");
    EXPECT_TRUE(fnd::UserDefaults::standardUserDefaults().stringForKey("NSWindow Frame Plain"));
    fnd::UserDefaults::standardUserDefaults().removeObjectForKey("NSWindow Frame Plain");
    auto missing = fnd::makeObject<WindowController>();
    missing->initWithWindowNibName("NoSuchWindow");
    EXPECT_FALSE(missing->window());
}

TEST_F(WindowControllerTest, AViewControllerLoadsItsViewLazilyAndShowsItsRepresentedObject)
{
    auto controller = fnd::makeObject<ViewController>();
    controller->initWithNibName("MemberView", fnd::Bundle::bundleWithName("TestBundle"));
    controller->setTitle("Member");
    EXPECT_FALSE(controller->isViewLoaded());
    auto view = controller->view();
    ASSERT_TRUE(view);
    auto field = std::dynamic_pointer_cast<TextField>(view->subviews().at(0));
    ASSERT_TRUE(field);
    EXPECT_EQ(field->stringValue(), u"");

    auto member = RosterMember::make("Cy");
    controller->setRepresentedObject(member);
    EXPECT_EQ(field->stringValue(), u"Cy");
    field->setStringValue("Cyd");
    field->sendAction(field->action(), field->target());
    EXPECT_EQ(member->name, u"Cyd");
    EXPECT_EQ(controller->valueForKey("title"), fnd::Value("Member"));

    auto broken = fnd::makeObject<ViewController>();
    broken->initWithNibName("NoSuchView", fnd::Bundle::bundleWithName("TestBundle"));
    EXPECT_THROW(broken->view(), fnd::Exception);
}

TEST_F(WindowControllerTest, BindingsInInterfaceFilesFailNamingTheElement)
{
    const struct {
        const char* binding;
        const char* says;
        const char* element = "<binding";
    } cases[] = {
        { R"(<binding source="f" name="value" destination="owner" keyPath="nothingHere"/>)", "was refused" },
        { R"(<binding source="f" name="value" destination="zz" keyPath="title"/>)", R"(refers to "zz")" },
        { R"(<binding source="f" destination="owner" keyPath="title"/>)", "has no name" },
        { R"(<binding source="f" name="value" destination="owner"/>)", "has no keyPath" },
        { R"(<binding source="f" name="value" destination="owner" keyPath="title"><string>x</string></binding>)",
            "has no key", "<string" },
    };
    for (const auto& c : cases) {
        auto owner = fnd::makeObject<ViewController>();
        std::string xml = R"(<interface version="1"><object id="f" class="TextField"/><connections>)"
            + std::string(c.binding) + "</connections></interface>";
        auto loaded = InterfaceFile::load(fnd::Data::fromString(xml), owner);
        ASSERT_FALSE(loaded) << c.binding;
        EXPECT_NE(loaded.error().localizedDescription().utf8().find(c.says), std::string::npos)
            << loaded.error().localizedDescription().utf8();
        EXPECT_NE(loaded.error().localizedDescription().utf8().find(c.element), std::string::npos);
    }
}
