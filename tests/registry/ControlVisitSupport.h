#pragma once

// What the visit tests share: a model that counts every set, the values a visit must leave alone, the ways of going
// into a control and leaving it, and the seeded choice among them.

#include "platform/ui/UiTestSupport.h"

#include "platform/ui/text/TextField.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Window.h"

#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace visittest {

// One key, "value", each set counted (a write of an equal value counts too: a visit that types nothing writes nothing).
class VisitModel : public fnd::Object {
    FND_OBJECT(VisitModel)
    static void describeClass(fnd::ClassBuilder<VisitModel>& c);

public:
    static std::shared_ptr<VisitModel> holding(const fnd::Value& value);

    fnd::Value value;
    int writes { 0 };
    fnd::Value lastWritten;
};

inline const char* const VisitPlaceholder = "Enter a value";

// Where the bound value comes from: the model itself, or the selection of a controller holding two models (both
// selected, holding different values: the control shows the multiple-values marker; none selected: the
// no-selection marker).
enum class VisitHolder { Model, SeveralSelected, NothingSelected };

struct VisitValue {
    const char* what;
    fnd::Value value;
    VisitHolder holder { VisitHolder::Model };
};

// The ordinary values, then the awkward ones: what a control shows for them is not what it holds.
std::vector<VisitValue> visitValues();
// What the second model of a controller holds beside the value.
inline const char* const VisitOtherValue = "Lyon";

// Whether the model still holds exactly the value: same kind (an integer is not a real) and equal.
bool sameValue(const fnd::Value& a, const fnd::Value& b);
// A value for a failure message, line breaks made visible and long strings cut.
std::string shown(const fnd::Value& value);

enum class VisitEntry { Program, Tab, Backtab, Click };
enum class VisitExit { Tab, Backtab, Click, Return, WindowCloses };
inline const char* const VisitEntryNames[] = { "the program", "Tab", "Backtab", "a click" };
inline const char* const VisitExitNames[] = { "Tab", "Backtab", "a click elsewhere", "Return", "the window closing" };
inline constexpr VisitExit AllVisitExits[]
    = { VisitExit::Tab, VisitExit::Backtab, VisitExit::Click, VisitExit::Return, VisitExit::WindowCloses };

// The seed (BARCODES_VISIT_SEED, else 1) and the number of rounds (BARCODES_VISIT_ROUNDS, else 1) of a run.
unsigned visitSeed();
int visitRounds();
// The way out of the visit to the value at that index in that round: a round leaves each value one way, the values
// by turns (from a seeded start) every way, so five rounds leave every value every way.
VisitExit visitExitFor(std::size_t valueIndex, int round, unsigned start);

// A window with a text field above and below the place of the visited view, so Tab, Backtab and a click have
// somewhere to go; the window is key.
class VisitTest : public uitest::UiTest {
protected:
    VisitTest();

    void makeWindow();
    // The view goes between the two fields.
    void place(const std::shared_ptr<ui::View>& view);
    void press(const std::u16string& characters, unsigned short keyCode, unsigned flags = 0);
    void clickAt(ui::View& view, gfx::Point point);
    void clickMiddle(ui::View& view);
    // Whether the keyboard is with the view or something inside it (its field editor).
    bool keyboardIsIn(const ui::View& view) const;
    // Goes into the view the given way; false when the keyboard did not arrive.
    bool enter(ui::View& view, VisitEntry entry);
    // Leaves as the exit says: Tab and Backtab are pressed until the keyboard is elsewhere (a control may take them
    // through parts of its own first), at most eight times.
    void leave(ui::View& view, VisitExit exit);
    // Closes the window when the visit left it open: the end of an edit still under way is part of the visit.
    void closeWindow();

    std::shared_ptr<ui::Window> window;
    std::shared_ptr<ui::TextField> above;
    std::shared_ptr<ui::TextField> below;
};

}
