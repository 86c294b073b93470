#include "ZORAppKitTestSupport.h"

#include "ZORAppKit/ZORDelayedPopUpButton/ZORDelayedPopUpButton.h"

#include "platform/ui/Menu.h"
#include "platform/ui/Window.h"

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
    auto made = fnd::makeObject<ZORDelayedPopUpButton>();
    made->setCell(fnd::makeObject<ui::ButtonCell>());
    made->setTitle("Kept");
    made->initWithFrame({ 0, 0, 50, 20 });
    ASSERT_TRUE(made->delayedCell());
    EXPECT_EQ(made->title(), u"Kept");
    EXPECT_EQ(made->controlSize(), ui::ControlSize::Regular);
}

}
