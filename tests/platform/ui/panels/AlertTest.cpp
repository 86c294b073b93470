#include "PanelsTestSupport.h"

#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/ControlTypes.h"
#include "platform/ui/panels/Alert.h"

using namespace ui;
using panelstest::PanelsTest;

namespace {

class AlertTest : public PanelsTest {
protected:
    std::shared_ptr<Alert> threeButtons()
    {
        auto alert = Alert::create();
        alert->setMessageText("Do you want to keep the changes to this barcode?");
        alert->setInformativeText("Your changes will be lost if you don't keep them.");
        alert->addButtonWithTitle("Keep");
        alert->addButtonWithTitle("Cancel");
        alert->addButtonWithTitle("Don't Save");
        return alert;
    }
};

}

TEST_F(AlertTest, ButtonsReturnTheirCodesInOrderModallyAndAsASheet)
{
    for (long code : { AlertReturn::FirstButton, AlertReturn::SecondButton, AlertReturn::ThirdButton }) {
        auto alert = threeButtons();
        backend->answerNextPanel(PanelAnswer::pressing(code));
        EXPECT_EQ(alert->runModal(), code);
        EXPECT_FALSE(alert->window()->isVisible());
    }
    auto alert = threeButtons();
    std::vector<long> codes;
    backend->answerNextPanel(PanelAnswer::pressing(AlertReturn::ThirdButton));
    alert->beginSheetModalForWindow(window, [&](long code) { codes.push_back(code); });
    EXPECT_EQ(window->attachedSheet(), alert->window());
    settle();
    EXPECT_EQ(codes, (std::vector<long> { AlertReturn::ThirdButton })) << "the handler runs once";
    EXPECT_EQ(window->attachedSheet(), nullptr);
}

TEST_F(AlertTest, ReturnPressesTheFirstButtonAndEscapeCancel)
{
    auto alert = threeButtons();
    backend->answerNextModal([&](Window& w) { backend->keyDown(w, "\r", KeyCode::Return); });
    EXPECT_EQ(alert->runModal(), AlertReturn::FirstButton);
    backend->answerNextModal([&](Window& w) { backend->keyDown(w, fnd::String(u"\x1b"), KeyCode::Escape); });
    EXPECT_EQ(alert->runModal(), AlertReturn::SecondButton);
    backend->answerNextModal([&](Window& w) { backend->keyDown(w, "d", KeyCode::D, ModifierFlags::Command); });
    EXPECT_EQ(alert->runModal(), AlertReturn::ThirdButton);
    EXPECT_EQ(alert->buttons().front()->keyEquivalent().utf8(), "\r");

    // Without buttons the alert has one, OK, answering Return.
    auto plain = Alert::create();
    plain->setMessageText("Exported.");
    backend->answerNextModal([&](Window& w) { backend->keyDown(w, "\r", KeyCode::Return); });
    EXPECT_EQ(plain->runModal(), AlertReturn::FirstButton);
    EXPECT_EQ(plain->buttons().size(), 1u);
}

TEST_F(AlertTest, ACancelThatIsTheDefaultAnswersEscapeToo)
{
    // Asking before a file is replaced: Cancel first (Return), Replace second.
    auto ask = [] {
        auto alert = Alert::create();
        alert->setMessageText("\u201ccode.png\u201d already exists. Do you want to replace it?");
        alert->addButtonWithTitle("Cancel");
        alert->addButtonWithTitle("Replace");
        return alert;
    };
    auto alert = ask();
    backend->answerNextModal([&](Window& w) { backend->keyDown(w, fnd::String(u"\x1b"), KeyCode::Escape); });
    EXPECT_EQ(alert->runModal(), AlertReturn::FirstButton);
    alert = ask();
    backend->answerNextModal([&](Window& w) { backend->keyDown(w, "\r", KeyCode::Return); });
    EXPECT_EQ(alert->runModal(), AlertReturn::FirstButton);
}

TEST_F(AlertTest, TheSuppressionCheckBoxKeepsItsStateAfterTheAlert)
{
    auto alert = threeButtons();
    alert->setShowsSuppressionButton(true);
    backend->answerNextPanel(PanelAnswer::pressing(AlertReturn::SecondButton).ticking(true));
    EXPECT_EQ(alert->runModal(), AlertReturn::SecondButton);
    EXPECT_EQ(alert->suppressionButton()->state(), ControlStateValue::On);
    EXPECT_EQ(alert->suppressionButton()->superview(), alert->window()->contentView());

    auto unticked = threeButtons();
    unticked->setShowsSuppressionButton(true);
    backend->answerNextPanel(PanelAnswer::pressing(AlertReturn::FirstButton));
    unticked->runModal();
    EXPECT_EQ(unticked->suppressionButton()->state(), ControlStateValue::Off);
}

TEST_F(AlertTest, TheAccessoryViewSitsUnderTheTextAboveTheButtons)
{
    auto alert = threeButtons();
    alert->setAlertStyle(AlertStyle::Critical);
    alert->setShowsSuppressionButton(true);
    auto accessory = View::create({ 0, 0, 360, 40 });
    alert->setAccessoryView(accessory);
    alert->layout();
    auto box = alert->suppressionButton()->frame();
    auto first = alert->buttons()[0]->frame();
    auto second = alert->buttons()[1]->frame();
    EXPECT_LT(accessory->frame().maxY(), box.minY()) << "flipped: the accessory above the check box";
    EXPECT_LT(box.maxY(), first.minY());
    EXPECT_GT(first.minX(), second.maxX()) << "the first button is the rightmost";
    EXPECT_EQ(alert->window()->contentView()->frame().width(), 100 + 360 + 20) << "the panel widens for it";

    auto image = snapshot(*alert->window(), "alert");
    auto content = alert->window()->contentView();
    // The critical badge is red; the default button wears the accent colour.
    auto base = content->convertPointToView({ 30, 52 }, nullptr);
    auto badge = image->pixelBuffer().pixel(int(base.x), image->pixelBuffer().height - 1 - int(base.y));
    EXPECT_GT(int((badge >> 16) & 0xff), int(badge & 0xff) + 80);
}
