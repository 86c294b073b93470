#include "ZORAppKitTestSupport.h"

#include "frameworks/ZORAppKit/ZORDelayedPopUpButton/ZORContextMenuToolbarItem.h"
#include "frameworks/ZORAppKit/ZORDelayedPopUpButton/ZORDelayedPopUpButton.h"

#include "platform/ui/containers/Toolbar.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/views/Window.h"

namespace {

using namespace zortest;

// Counts the times its menu opens, and when.
class MenuWatcher : public ui::MenuDelegate {
public:
    void menuWillOpen(ui::Menu&) override { opened.push_back(clock->now().timeIntervalSinceReferenceDate()); }
    std::vector<double> opened;
    std::shared_ptr<fnd::VirtualClock> clock;
};

class ZORDelayedPopUpButtonTest : public ZORAppKitTest {
protected:
    ZORDelayedPopUpButtonTest()
    {
        button = ZORDelayedPopUpButton::create({ 10, 10, 60, 30 });
        button->setTitle("Hold");
        button->setTarget(log);
        button->setAction("clicked:");
        add(button);
        menu = ui::Menu::create();
        auto item = menu->addItemWithTitle("Choice", "chose:");
        item->setTarget(log);
        watcher->clock = clock;
        menu->setDelegate(watcher);
        button->delayedCell()->setMenu(menu);
        start = clock->now().timeIntervalSinceReferenceDate();
    }

    void pressFor(double seconds, gfx::Point releaseAt = { 30, 15 })
    {
        press(*button, { 30, 15 });
        backend->after(seconds, [this, releaseAt] { release(*button, releaseAt); });
        dispatch();
    }

    std::shared_ptr<ZORDelayedPopUpButton> button;
    std::shared_ptr<ui::Menu> menu;
    std::shared_ptr<MenuWatcher> watcher = std::make_shared<MenuWatcher>();
    double start { 0 };
};

TEST_F(ZORDelayedPopUpButtonTest, AClickShorterThanTheDelaySendsTheAction)
{
    EXPECT_EQ(button->delayedCell()->holdDelay(), 0.5);
    pressFor(0.2);
    EXPECT_EQ(log->received, (std::vector<std::string> { "clicked" }));
    ASSERT_EQ(log->times.size(), 1u);
    EXPECT_NEAR(log->times[0] - start, 0.2, 1e-9) << "sent as the mouse goes up";
    EXPECT_TRUE(watcher->opened.empty());

    // A release already waiting when tracking starts is a plain click too.
    log->received.clear();
    press(*button, { 30, 15 });
    release(*button, { 30, 15 });
    dispatch();
    EXPECT_EQ(log->received, (std::vector<std::string> { "clicked" }));
    EXPECT_TRUE(watcher->opened.empty());
}

TEST_F(ZORDelayedPopUpButtonTest, HoldingOpensTheMenuBelowTheButtonAfterTheDelay)
{
    EXPECT_EQ(button->delayedCell()->menuPositionForFrame(button->bounds(), *button), gfx::Point(11, 4.5));
    backend->answerNextPopUpMenu(0);
    pressFor(2.0);
    ASSERT_EQ(watcher->opened.size(), 1u);
    EXPECT_NEAR(watcher->opened[0] - start, 0.5, 1e-9);
    EXPECT_EQ(log->received, (std::vector<std::string> { "chose" })) << "the menu's choice, not the button's action";
    ASSERT_FALSE(backend->popUpMenuLocations().empty());
    EXPECT_EQ(backend->popUpMenuLocations().back(), window->convertBaseToScreen({ 11, 4.5 }));

    // A longer delay lets a slower click through.
    log->received.clear();
    button->delayedCell()->setHoldDelay(1.0);
    pressFor(0.7);
    EXPECT_EQ(log->received, (std::vector<std::string> { "clicked" }));
    EXPECT_EQ(watcher->opened.size(), 1u);
}

TEST_F(ZORDelayedPopUpButtonTest, WithoutAMenuItTracksAsAButtonAndNeverWaits)
{
    button->delayedCell()->setMenu(nullptr);
    pressFor(3.0);
    EXPECT_EQ(log->received, (std::vector<std::string> { "clicked" }));
    EXPECT_NEAR(log->times[0] - start, 3.0, 1e-9);
    EXPECT_TRUE(watcher->opened.empty());
}

TEST_F(ZORDelayedPopUpButtonTest, DraggingOffTheButtonCancelsIt)
{
    press(*button, { 30, 15 });
    backend->after(0.1, [this] { drag(*button, { 200, 100 }); });
    backend->after(0.3, [this] { release(*button, { 200, 100 }); });
    dispatch();
    EXPECT_TRUE(log->received.empty());
    EXPECT_TRUE(watcher->opened.empty());
}

TEST_F(ZORDelayedPopUpButtonTest, AButtonMadeWithAnotherCellGetsADelayedOne)
{
    auto made = std::make_shared<ZORDelayedPopUpButton>();
    made->setCell(fnd::makeObject<ui::ButtonCell>());
    made->setTitle("Kept");
    made->initWithFrame({ 0, 0, 50, 20 });
    ASSERT_TRUE(made->delayedCell());
    EXPECT_EQ(made->title(), u"Kept");
    EXPECT_EQ(made->controlSize(), ui::ControlSize::Regular);
}

}

namespace {

using namespace zortest;

// A view that answers one action and takes the keyboard.
class Answering : public ui::View {
    FND_OBJECT(Answering)
    static void describeClass(fnd::ClassBuilder<Answering>& c) { c.action("clicked:", &Answering::clicked); }

public:
    void clicked(const fnd::Value&) { }
    bool acceptsFirstResponder() const override { return true; }
};

// Hands out one menu item and, when asked to, refuses it in validation.
class ItemSource : public fnd::Object, public ui::ToolbarDelegate {
    FND_OBJECT(ItemSource)
    static void describeClass(fnd::ClassBuilder<ItemSource>& c)
    {
        c.action("validateToolbarItem:", &ItemSource::validateToolbarItem);
    }

public:
    std::shared_ptr<ui::ToolbarItem> toolbarItemForItemIdentifier(ui::Toolbar&, const fnd::String& id, bool) override
    {
        return id == u"Menu" ? item : nullptr;
    }
    std::vector<fnd::String> toolbarDefaultItemIdentifiers(ui::Toolbar&) override { return { "Menu" }; }
    std::vector<fnd::String> toolbarAllowedItemIdentifiers(ui::Toolbar&) override { return { "Menu" }; }
    bool validateToolbarItem(const fnd::Value&) { return allow; }

    std::shared_ptr<ZORContextMenuToolbarItem> item;
    bool allow { true };
};

}

FND_REGISTER_CLASS(Answering, ui::View)
FND_REGISTER_CLASS(ItemSource, fnd::Object)

namespace {

class ZORContextMenuToolbarItemTest : public ZORAppKitTest { };

TEST_F(ZORContextMenuToolbarItemTest, TheItemIsAHoldButtonWithAMenuForm)
{
    auto item = ZORContextMenuToolbarItem::create("Menu");
    item->setLabel("Share");
    EXPECT_EQ(item->view(), item->button());
    EXPECT_EQ(item->button()->frame().size, gfx::Size(32, 32));
    EXPECT_EQ(item->minSize(), gfx::Size(32, 32));
    EXPECT_EQ(item->maxSize(), gfx::Size(32, 32));
    EXPECT_FALSE(item->button()->isBordered());

    auto menu = ui::Menu::create();
    menu->addItemWithTitle("First");
    item->setMenu(menu);
    EXPECT_EQ(item->popupCell()->menu(), menu);
    auto form = item->menuFormRepresentation();
    EXPECT_EQ(form->title(), u"Share");
    EXPECT_EQ(form->submenu(), menu);
    EXPECT_FALSE(form->action());
    // Set again, the menu moves to the new form.
    item->setMenu(menu);
    EXPECT_EQ(item->menuFormRepresentation()->submenu(), menu);
    EXPECT_FALSE(form->submenu());

    item->setTarget(log);
    item->setAction("clicked:");
    EXPECT_EQ(item->popupCell()->action(), fnd::Selector("clicked:"));
    EXPECT_EQ(item->target(), log);

    item->setToolTip("Share the barcode");
    EXPECT_EQ(item->button()->toolTip(), u"Share the barcode");
    EXPECT_EQ(item->toolTip(), u"Share the barcode");
}

TEST_F(ZORContextMenuToolbarItemTest, ValidationSwapsTheImageForTheSizeModeAndAsksTheDelegate)
{
    auto source = fnd::makeObject<ItemSource>();
    source->item = ZORContextMenuToolbarItem::create("Menu");
    auto picture = solidImage({ 48, 48 }, gfx::Color::blackColor());
    source->item->setImage(picture);
    EXPECT_EQ(picture->size(), gfx::Size(48, 48)) << "the caller's image is left alone";
    EXPECT_EQ(source->item->image()->size(), gfx::Size(32, 32));
    auto toolbar = ui::Toolbar::create("ZORContextMenuToolbarItemTest");
    toolbar->setDelegate(source);
    toolbar->attachToWindow(window);
    ASSERT_EQ(toolbar->items().size(), 1u);

    toolbar->setSizeMode(ui::ToolbarSizeMode::Small);
    toolbar->validateVisibleItems();
    EXPECT_EQ(source->item->image()->size(), gfx::Size(24, 24));
    toolbar->setSizeMode(ui::ToolbarSizeMode::Regular);
    toolbar->validateVisibleItems();
    EXPECT_EQ(source->item->image()->size(), gfx::Size(32, 32));

    EXPECT_TRUE(source->item->isEnabled());
    source->allow = false;
    toolbar->validateVisibleItems();
    EXPECT_FALSE(source->item->isEnabled());
    EXPECT_FALSE(source->item->button()->isEnabled());
    toolbar->attachToWindow(nullptr);
}

TEST_F(ZORContextMenuToolbarItemTest, WithoutADelegateTheFirstResponderMustAnswerTheAction)
{
    auto item = ZORContextMenuToolbarItem::create("Menu");
    add(item->button());
    item->setAction("clicked:");
    item->validate();
    EXPECT_FALSE(item->isEnabled()) << "nobody answers";
    auto answering = std::make_shared<Answering>();
    answering->initWithFrame({ 100, 100, 20, 20 });
    add(answering);
    window->makeFirstResponder(answering);
    item->validate();
    EXPECT_TRUE(item->isEnabled());
    EXPECT_TRUE(item->button()->isEnabled());
    // A target of its own decides instead.
    auto deaf = fnd::makeObject<ItemSource>();
    item->setTarget(deaf);
    item->validate();
    EXPECT_FALSE(item->isEnabled());
    item->setTarget(log);
    item->validate();
    EXPECT_TRUE(item->isEnabled());
}

}
