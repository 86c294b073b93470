#include "frameworks/AppKitExtensions/ZORNSAlertExtensions.h"

#include "frameworks/FoundationExtensions/ZORAppKitSuppressAlertsAndWarnings.h"

#include "platform/foundation/files/UserDefaults.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/ui/UiTestSupport.h"
#include "platform/ui/controls/Button.h"

#include <vector>

namespace alertextensionstest {

using ui::PanelAnswer;

class AlertExtensionsTest : public uitest::UiTest {
protected:
    AlertExtensionsTest()
    {
        window = ui::Window::create({ 100, 100, 400, 300 });
        window->makeKeyAndOrderFront();
    }
    ~AlertExtensionsTest() override
    {
        ZORAppKitSuppressAlertsAndWarnings::resetAlertsAndWarnings(fnd::UserDefaults::standardUserDefaults());
    }

    static std::shared_ptr<ui::Alert> threeButtons()
    {
        auto alert = ui::Alert::create();
        alert->setMessageText("Replace the file?");
        alert->addButtonWithTitle("Replace");
        alert->addButtonWithTitle("Cancel");
        alert->addButtonWithTitle("Keep Both");
        return alert;
    }
    // The block's calls: the return codes it got, in order.
    ZORExtensions::AlertCompletionHandler recorder()
    {
        return [this](ui::Alert&, long code) { codes.push_back(code); };
    }
    // Lets a sheet's scripted answer arrive and the sheet end.
    void settle()
    {
        for (int pass = 0; pass < 8; ++pass) {
            app().nextEvent(ui::EventMasks::Any, fnd::Date::distantPast(), fnd::RunLoopMode::Default, false);
            backend->dispatchEvents();
        }
    }
    static bool shown(const fnd::String& identifier)
    {
        return ZORAppKitSuppressAlertsAndWarnings::shouldShowAlertWithIdentifier(
            fnd::UserDefaults::standardUserDefaults(), identifier);
    }

    std::shared_ptr<ui::Window> window;
    std::vector<long> codes;
};

TEST_F(AlertExtensionsTest, ButtonsMapToOneZeroAndMinusOneModallyAndAsSheets)
{
    for (long button : { 1000, 1001, 1002 }) {
        backend->answerNextPanel(PanelAnswer::pressing(button));
        ZORExtensions::zorBeginSheetModalForWindow(threeButtons(), nullptr, std::nullopt, 5, recorder());
    }
    EXPECT_EQ(codes, (std::vector<long> { 1, 0, -1 })) << "run application-modally";

    codes.clear();
    for (long button : { 1000, 1001, 1002 }) {
        backend->answerNextPanel(PanelAnswer::pressing(button));
        auto alert = threeButtons();
        ZORExtensions::zorBeginSheetModalForWindow(alert, window, std::nullopt, 5, recorder());
        EXPECT_FALSE(alert->showsSuppressionButton()) << "no identifier, no box";
        settle();
    }
    EXPECT_EQ(codes, (std::vector<long> { 1, 0, -1 })) << "as sheets, each block called once";
    EXPECT_EQ(window->attachedSheet(), nullptr);
}

TEST_F(AlertExtensionsTest, ATickedBoxSwitchesTheAlertOffAndLaterOnesAnswerAtOnceWithTheStoredCode)
{
    const fnd::String identifier = "ReplaceFileWarning";
    backend->answerNextPanel(PanelAnswer::pressing(1001));
    auto first = threeButtons();
    ZORExtensions::zorBeginSheetModalForWindow(first, nullptr, identifier, 7, recorder());
    EXPECT_TRUE(first->showsSuppressionButton());
    EXPECT_EQ(codes, (std::vector<long> { 0 })) << "dismissed without the box";
    EXPECT_TRUE(shown(identifier)) << "shown again next time";

    backend->answerNextPanel(PanelAnswer::pressing(1001).ticking(true));
    ZORExtensions::zorBeginSheetModalForWindow(threeButtons(), window, identifier, 7, recorder());
    settle();
    EXPECT_EQ(codes, (std::vector<long> { 0, 0 })) << "the block still gets the button's code";
    EXPECT_FALSE(shown(identifier));

    // Switched off: nothing shows, the block runs at once with the caller's code.
    ZORExtensions::zorBeginSheetModalForWindow(threeButtons(), window, identifier, 7, recorder());
    EXPECT_EQ(window->attachedSheet(), nullptr);
    EXPECT_EQ(codes, (std::vector<long> { 0, 0, 7 }));
    ZORExtensions::zorBeginSheetModalForWindow(threeButtons(), nullptr, identifier, 7, nullptr);
    EXPECT_EQ(codes.size(), 3u) << "a missing block is fine";
    EXPECT_TRUE(shown("SomeOtherWarning"));
}

TEST_F(AlertExtensionsTest, AnAlertKeepsItsRunnerPastTheSheetsEndAndLetsItGoWithItself)
{
    auto alert = threeButtons();
    EXPECT_EQ(ZORExtensions::myZORAlertSheetCompletionHandlerRunner(*alert), nullptr) << "none before it is begun";
    backend->answerNextPanel(PanelAnswer::pressing(1000));
    ZORExtensions::zorBeginSheetModalForWindow(alert, window, std::nullopt, 5, recorder());
    auto runner = ZORExtensions::myZORAlertSheetCompletionHandlerRunner(*alert);
    ASSERT_NE(runner, nullptr);
    EXPECT_EQ(runner->alert(), alert);
    settle();
    EXPECT_EQ(codes, (std::vector<long> { 1 }));
    EXPECT_EQ(ZORExtensions::myZORAlertSheetCompletionHandlerRunner(*alert), runner) << "kept after the sheet ended";

    // Neither keeps the other alive once the caller lets go.
    std::weak_ptr<ZORAlertSheetCompletionHandlerRunner> watchRunner = runner;
    std::weak_ptr<ui::Alert> watchAlert = alert;
    runner.reset();
    alert.reset();
    EXPECT_TRUE(watchAlert.expired());
    EXPECT_TRUE(watchRunner.expired());

    // A suppressed alert is never run, so it gets no runner.
    const fnd::String identifier = "RunnerlessWarning";
    ZORAppKitSuppressAlertsAndWarnings::setShowState(fnd::UserDefaults::standardUserDefaults(), false, identifier);
    auto suppressed = threeButtons();
    ZORExtensions::zorBeginSheetModalForWindow(suppressed, window, identifier, 3, recorder());
    EXPECT_EQ(ZORExtensions::myZORAlertSheetCompletionHandlerRunner(*suppressed), nullptr);
}

TEST_F(AlertExtensionsTest, TheConvenienceFunctionsBuildButtonsInOrderAndFormatTheText)
{
    std::shared_ptr<ui::Alert> seen;
    backend->answerNextPanel(PanelAnswer::pressing(1001));
    ZORRunAlertPanelWithSuppression("Export failed", "Retry", std::nullopt, fnd::String("Show Log"), std::nullopt, 0,
        [&](ui::Alert& alert, long code) {
            seen = std::static_pointer_cast<ui::Alert>(alert.shared_from_this());
            codes.push_back(code);
        },
        fnd::String("%@ of %ld files could not be written."), { fnd::String("Two"), 5 });
    ASSERT_NE(seen, nullptr);
    ASSERT_EQ(seen->buttons().size(), 2u);
    EXPECT_EQ(seen->buttons()[0]->title(), "Retry");
    EXPECT_EQ(seen->buttons()[1]->title(), "Show Log");
    EXPECT_EQ(seen->informativeText(), "Two of 5 files could not be written.");
    EXPECT_EQ(codes, (std::vector<long> { 0 })) << "the second button added";

    backend->answerNextPanel(PanelAnswer::pressing(1000));
    ZORBeginAlertSheetWithSuppression(
        "Done", "OK", std::nullopt, std::nullopt, window, std::nullopt, 0,
        [&](ui::Alert& alert, long code) {
            EXPECT_TRUE(alert.informativeText().isEmpty());
            codes.push_back(code);
        },
        std::nullopt);
    settle();
    EXPECT_EQ(codes, (std::vector<long> { 0, 1 }));
}

}
