// A visit that types nothing writes nothing: every control class that binds a value and takes the keyboard, gone
// into and left in every way without a key typed, leaves its model unset, whatever the model holds.
#include "registry/ControlVisitSupport.h"
#include "registry/RegistrySupport.h"

#include "frameworks/ZORAppKit/ZORNumberTextField/ZORNumberTextField.h"

#include "platform/foundation/bindings/ArrayController.h"
#include "platform/foundation/bindings/Binding.h"
#include "platform/foundation/locale/NumberFormatter.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/controls/ButtonCell.h"
#include "platform/ui/controls/Matrix.h"
#include "platform/ui/text/ComboBox.h"
#include "platform/ui/text/DatePicker.h"
#include "platform/ui/text/TextFieldCell.h"
#include "platform/ui/text/TextView.h"

#include <fmt/format.h>

#include <functional>
#include <map>

using namespace visittest;

namespace {

// One way of setting a class up for a visit.
struct ControlVisitSetUp {
    std::string name;
    std::function<void(ui::View&)> configure;
    fnd::Dictionary options;
    gfx::Size size { 240, 26 };
    // A click places the caret (elsewhere a click is a choice, not a visit).
    bool clickEnters { false };
    // The binding that shows the model's value (a text view shows it as its string).
    const char* binding = "value";
    // The view lies in a scroll view of that size (a text view, which grows with its text).
    bool inScrollView { false };
};

// What the visit test does with a class that offers the value binding: visit it in each set-up, or say why not.
struct ControlVisitEntry {
    std::vector<ControlVisitSetUp> setUps;
    const char* notVisitedBecause { nullptr };
    // The reason is that it takes no keyboard; the test checks that it still does not.
    bool takesNoKeyboard { false };
};

ControlVisitSetUp controlVisitSetUp(
    std::string name, std::function<void(ui::View&)> configure, gfx::Size size = { 240, 26 }, bool clickEnters = false)
{
    ControlVisitSetUp setUp;
    setUp.name = std::move(name);
    setUp.configure = std::move(configure);
    setUp.size = size;
    setUp.clickEnters = clickEnters;
    return setUp;
}

ControlVisitEntry controlVisitPlain()
{
    return { { controlVisitSetUp("as made", [](ui::View&) {}) } };
}

ControlVisitEntry controlVisitNoKeyboard()
{
    return { {}, "it takes no keyboard", true };
}

std::shared_ptr<fnd::NumberFormatter> controlVisitIntegerFormatter()
{
    auto formatter = std::make_shared<fnd::NumberFormatter>();
    formatter->setNumberStyle(fnd::NumberFormatterStyle::Decimal);
    formatter->setMaximumFractionDigits(0);
    return formatter;
}

// Text fields of any class: with the placeholder a value may read like, as made, formatted for integers, with a
// null placeholder, and wrapping several lines.
ControlVisitEntry controlVisitTextFieldEntry(bool formatted = true)
{
    auto placeholder = [](ui::View& view) { static_cast<ui::TextField&>(view).setPlaceholderString(VisitPlaceholder); };
    ControlVisitEntry entry;
    entry.setUps.push_back({ "as made", placeholder, {}, { 240, 26 }, true });
    if (formatted) {
        entry.setUps.push_back({ "an integer formatter",
            [=](ui::View& view) {
                placeholder(view);
                static_cast<ui::TextField&>(view).setFormatter(controlVisitIntegerFormatter());
            },
            {}, { 240, 26 }, true });
    }
    entry.setUps.push_back({ "a null placeholder", placeholder,
        fnd::Dictionary { { fnd::BindingOption::NullPlaceholder, fnd::Value(VisitPlaceholder) } }, { 240, 26 }, true });
    entry.setUps.push_back({ "wrapping lines",
        [=](ui::View& view) {
            placeholder(view);
            auto& field = static_cast<ui::TextField&>(view);
            field.cell()->setWraps(true);
            field.setLineBreakMode(txt::LineBreakMode::ByWordWrapping);
        },
        {}, { 240, 60 }, true });
    return entry;
}

// Every class that offers the value binding, by name. A class missing here fails
// EveryClassThatBindsAValueHasAnEntry: a new control joins the property by getting an entry.
const std::map<std::string, ControlVisitEntry>& controlVisitEntries()
{
    static const std::map<std::string, ControlVisitEntry> entries = [] {
        std::map<std::string, ControlVisitEntry> e;
        const ControlVisitEntry inTables { {}, "its cells are edited in a table: ControlVisitTableTest visits them" };
        const ControlVisitEntry inInspector { {}, "the inspector's visit test visits every field kind" };
        for (const char* name : { "TextField", "SecureTextField", "ZORAutoCompleteTextField" })
            e[name] = controlVisitTextFieldEntry();
        // These carry formatters of their own.
        for (const char* name : { "ZORNumberTextField", "ZORMeasurementTextField", "ZORAppMeasurementTextField" })
            e[name] = controlVisitTextFieldEntry(false);
        e["ZORNumberTextField"].setUps.push_back({ "no digits after the point",
            [](ui::View& view) { static_cast<ZORNumberTextField&>(view).setNumberOfDigitsAfterPoint(0); }, {},
            { 240, 26 }, true });
        e["ComboBox"] = controlVisitTextFieldEntry();
        for (auto& setUp : e["ComboBox"].setUps) {
            setUp.configure = [configure = setUp.configure](ui::View& view) {
                configure(view);
                auto& box = static_cast<ui::ComboBox&>(view);
                box.addItemsWithObjectValues({ fnd::Value("Paris"), fnd::Value("Para"), fnd::Value("42") });
                box.setCompletes(true);
            };
        }
        e["TokenField"] = controlVisitTextFieldEntry(false);
        e["DatePicker"] = { {
            controlVisitSetUp("year to minute",
                [](ui::View& view) {
                    static_cast<ui::DatePicker&>(view).setDatePickerElements(
                        ui::DatePickerElementFlags::YearMonthDay | ui::DatePickerElementFlags::HourMinute);
                }),
            controlVisitSetUp("a day",
                [](ui::View& view) {
                    static_cast<ui::DatePicker&>(view).setDatePickerElements(ui::DatePickerElementFlags::YearMonthDay);
                }),
        } };
        e["ZORSmallDateControl"] = { { controlVisitSetUp(
            "as made", [](ui::View&) {}, { 120, 26 }, true) } };
        e["Matrix"] = { { controlVisitSetUp("two radio buttons", [](ui::View& view) {
            auto& matrix = static_cast<ui::Matrix&>(view);
            auto radio = fnd::makeObject<ui::ButtonCell>();
            radio->setButtonType(ui::ButtonType::Radio);
            matrix.setPrototype(radio);
            matrix.setCellSize({ 100, 20 });
            matrix.renewRows(1, 2);
        }) } };
        for (const char* name : { "Control", "Button", "ColorWell", "KRRecorderControl", "KRScopeBar", "PopUpButton",
                 "QFAttachedTabBarButton", "QFFlowView", "QFOverflowPopUpButton", "QFRolloverButton", "QFTabBarButton",
                 "SegmentedControl", "Slider", "Stepper", "ZORAnchoredButton", "ZORAnchoredPopUpButton",
                 "ZORColorLabelWidget", "ZORContextMenuButton", "ZORDelayedPopUpButton", "ZOREncodingPopUpButton",
                 "ZORPopUpButton", "ZORSplitSubviewResizeButton", "ZORSplitViewToolbarButton", "ZORTButton",
                 "ZORTPopUpButton", "ZORUnanchoredButton", "ZTBOverflowPopUpButton", "ZTBRolloverButton" })
            e[name] = controlVisitPlain();
        for (const char* name :
            { "ImageView", "LevelIndicator", "Scroller", "ZORCardFlowScroller", "ZORURLClickField" })
            e[name] = controlVisitNoKeyboard();
        for (const char* name : { "TableView", "TableColumn", "OutlineView", "ZOROutlineView", "ZOROutlineSourceList",
                 "ZORTableViewExtension", "ZORTableGrid" })
            e[name] = inTables;
        for (const auto* cls : fnd::ClassRegistry::shared().classesDerivedFrom(fnd::Object::staticClassInfo()))
            if (cls->name.utf8().starts_with("ZORTextViewInspector"))
                e[cls->name.utf8()] = inInspector;
        // A text view offers no value binding of its own: it shows a bound value as its string and never writes.
        auto textView = controlVisitSetUp(
            "bound as its string", [](ui::View&) {}, { 240, 60 }, true);
        textView.binding = "string";
        textView.inScrollView = true;
        e["TextView"] = { { textView } };
        return e;
    }();
    return entries;
}

std::vector<std::string> controlVisitVisitedClasses()
{
    std::vector<std::string> names;
    for (const auto& [name, entry] : controlVisitEntries())
        if (!entry.setUps.empty())
            names.push_back(name);
    return names;
}

// The visited classes whose views are text fields.
std::vector<std::string> controlVisitTextFieldClasses()
{
    std::vector<std::string> names;
    for (const auto& name : controlVisitVisitedClasses()) {
        const auto* cls = fnd::ClassRegistry::shared().find(fnd::String(name));
        if (cls && cls->isSubclassOf(ui::TextField::staticClassInfo()))
            names.push_back(name);
    }
    return names;
}

bool controlVisitOffersValueBinding(const fnd::ClassInfo& cls)
{
    for (auto* c = &cls; c; c = c->superclass)
        if (std::ranges::count(c->members.exposedBindings, fnd::String(fnd::BindingName::Value)))
            return true;
    return false;
}

// The registered classes that offer the value binding.
std::vector<std::string> controlVisitBindingClasses()
{
    std::vector<std::string> names;
    for (const auto* cls : fnd::ClassRegistry::shared().classesDerivedFrom(fnd::Object::staticClassInfo()))
        if (controlVisitOffersValueBinding(*cls))
            names.push_back(cls->name.utf8());
    return names;
}

// Whether the value is one the binding's key takes (a text view's string takes text only, no marker).
bool controlVisitBindingTakes(const ControlVisitSetUp& setUp, const VisitValue& value)
{
    return std::string(setUp.binding) != "string"
        || (value.holder == VisitHolder::Model && (value.value.isString() || value.value.isNil()));
}

class ControlVisit : public VisitTest, public ::testing::WithParamInterface<std::string> {
protected:
    std::shared_ptr<ui::View> make(const ControlVisitSetUp& setUp)
    {
        auto view = registrytest::viewMadeInCode(GetParam(), { { 20, 120 }, setUp.size });
        if (view)
            setUp.configure(*view);
        return view;
    }

    // Binds a new control to a model holding the value, goes in, leaves, and closes the window.
    void visit(const ControlVisitSetUp& setUp, const VisitValue& value, VisitEntry entry, VisitExit exit,
        const std::string& what)
    {
        makeWindow();
        auto view = make(setUp);
        ASSERT_TRUE(view) << what;
        if (setUp.inScrollView) {
            auto scrollView = ui::ScrollView::create({ { 20, 120 }, setUp.size });
            view->setFrame({ {}, scrollView->contentSize() });
            scrollView->setDocumentView(view);
            place(scrollView);
        } else {
            place(view);
        }
        auto model = VisitModel::holding(value.value);
        auto other = VisitModel::holding(fnd::Value(VisitOtherValue));
        auto controller = fnd::makeObject<fnd::ArrayController>();
        if (value.holder == VisitHolder::Model) {
            view->bind(setUp.binding, *model, "value", setUp.options);
        } else {
            controller->setContent(fnd::Array { fnd::Value(model), fnd::Value(other) });
            controller->setSelectionIndexes(
                value.holder == VisitHolder::SeveralSelected ? fnd::IndexSet { 0, 1 } : fnd::IndexSet {});
            view->bind(setUp.binding, *controller, "selection.value", setUp.options);
        }
        backend->dispatchEvents();
        EXPECT_EQ(model->writes + other->writes, 0) << what << ": binding alone wrote";
        ASSERT_TRUE(enter(*view, entry)) << what << ": the keyboard did not arrive";
        leave(*view, exit);
        expectUntouched(*model, value.value, what);
        expectUntouched(*other, fnd::Value(VisitOtherValue), what);
        closeWindow();
        expectUntouched(*model, value.value, what + ", then the window closed");
        expectUntouched(*other, fnd::Value(VisitOtherValue), what + ", then the window closed");
        view->unbind(setUp.binding);
    }

    static void expectUntouched(const VisitModel& model, const fnd::Value& value, const std::string& what)
    {
        EXPECT_EQ(model.writes, 0) << what << ": written " << shown(model.lastWritten);
        EXPECT_TRUE(sameValue(model.value, value)) << what << ": holds " << shown(model.value);
    }
};

class ControlVisitTyping : public ControlVisit { };

}

TEST(ControlVisitEntries, EveryClassThatBindsAValueHasAnEntry)
{
    const auto& entries = controlVisitEntries();
    const auto classes = controlVisitBindingClasses();
    // The classes found, so a run shows what the property covers.
    std::string found;
    for (const auto& name : classes)
        found += name + " ";
    ASSERT_GE(classes.size(), 40u) << found;
    for (const auto& name : classes) {
        auto entry = entries.find(name);
        ASSERT_NE(entry, entries.end()) << name
                                        << " offers the value binding but has no visit entry: give it set-ups "
                                           "(or the reason it is not visited) in ControlVisitTest.cpp";
        if (!entry->second.takesNoKeyboard)
            continue;
        auto view = registrytest::viewMadeInCode(name, { 0, 0, 100, 24 });
        ASSERT_TRUE(view) << name;
        EXPECT_FALSE(view->acceptsFirstResponder()) << name << " takes the keyboard now: visit it";
    }
    // No entry stays for a class that is gone, and one that visits nothing says why.
    for (const auto& [name, entry] : entries) {
        EXPECT_TRUE(fnd::ClassRegistry::shared().find(fnd::String(name))) << name << " is no registered class";
        EXPECT_TRUE(!entry.setUps.empty() || entry.notVisitedBecause) << name << " is neither visited nor excused";
    }
}

TEST_P(ControlVisit, AVisitThatTypesNothingWritesNothing)
{
    const auto& entry = controlVisitEntries().at(GetParam());
    const auto values = visitValues();
    const unsigned seed = visitSeed();
    std::mt19937 random(seed ^ static_cast<unsigned>(std::hash<std::string> {}(GetParam())));
    std::vector<unsigned> starts;
    for (std::size_t i = 0; i < entry.setUps.size(); ++i)
        starts.push_back(random());
    for (int round = 0; round < visitRounds(); ++round) {
        for (std::size_t s = 0; s < entry.setUps.size(); ++s) {
            const auto& setUp = entry.setUps[s];
            std::vector<VisitEntry> ways { VisitEntry::Program, VisitEntry::Tab, VisitEntry::Backtab };
            if (setUp.clickEnters)
                ways.push_back(VisitEntry::Click);
            for (std::size_t index = 0; index < values.size(); ++index) {
                const auto& value = values[index];
                if (!controlVisitBindingTakes(setUp, value))
                    continue;
                const auto exit = visitExitFor(index, round, starts[s]);
                const auto way = ways[std::uniform_int_distribution<std::size_t>(0, ways.size() - 1)(random)];
                auto what = fmt::format("{} ({}) holding {} ({}), in by {}, out by {} [seed {}, round {}]", GetParam(),
                    setUp.name, value.what, shown(value.value), VisitEntryNames[static_cast<int>(way)],
                    VisitExitNames[static_cast<int>(exit)], seed, round);
                visit(setUp, value, way, exit, what);
                if (HasFailure())
                    return;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Registry, ControlVisit, ::testing::ValuesIn(controlVisitVisitedClasses()), registrytest::testNameOf);

// What a visit writes once something is typed: the typed text, once, however the field is left.
TEST_P(ControlVisitTyping, TypingIntoATextFieldStillWritesOnce)
{
    for (const auto& setUp : controlVisitEntries().at(GetParam()).setUps) {
        for (auto exit : AllVisitExits) {
            const auto what = fmt::format(
                "{} ({}) typed into, out by {}", GetParam(), setUp.name, VisitExitNames[static_cast<int>(exit)]);
            makeWindow();
            auto view = make(setUp);
            place(view);
            auto model = VisitModel::holding(fnd::Value(3.7));
            view->bind(setUp.binding, *model, "value", setUp.options);
            ASSERT_TRUE(enter(*view, VisitEntry::Program)) << what;
            // The whole text is selected as the field takes the keyboard: the keys replace it (a number field
            // reads a percentage).
            press(u"7", ui::KeyCode::Digit7);
            if (GetParam() == "ZORNumberTextField") {
                press(u" ", ui::KeyCode::Space);
                press(u"%", ui::KeyCode::Digit5, ui::ModifierFlags::Shift);
            }
            leave(*view, exit);
            // Return with text still typed in a token field makes it a token and goes on editing.
            EXPECT_EQ(model->writes, exit == VisitExit::Return && GetParam() == "TokenField" ? 0 : 1)
                << what << ": last written " << shown(model->lastWritten);
            if (GetParam() == "TextField") {
                const bool formatted = setUp.name == "an integer formatter";
                EXPECT_TRUE(sameValue(model->value, formatted ? fnd::Value(7) : fnd::Value("7")))
                    << what << ": holds " << shown(model->value);
            }
            closeWindow();
            EXPECT_EQ(model->writes, 1) << what << ", then the window closed";
            view->unbind(setUp.binding);
            if (HasFailure())
                return;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Registry, ControlVisitTyping, ::testing::ValuesIn(controlVisitTextFieldClasses()), registrytest::testNameOf);
