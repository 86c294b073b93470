#include "registry/ArchiveChecks.h"
#include "registry/ClassSetters.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/graphics/Color.h"
#include "platform/ui/UiTestSupport.h"

#include <fmt/format.h>

#include <limits>
#include <variant>

// Runs of the archive property (ArchiveAfterSettersTest.cpp) that once failed, kept as fixed steps: the setters and
// values that broke each class. Every step must be taken or refused with the invalid-argument or range exception, no
// number or frame may become NaN or infinite, and the object must archive, read back and archive again alike.
namespace {

using namespace registrytest;

constexpr double KeptInfinity = std::numeric_limits<double>::infinity();
constexpr double KeptNaN = std::numeric_limits<double>::quiet_NaN();

// Values that name the object under test, its parent (in a list for a list setter) and an object of its class held
// elsewhere.
struct TheObjectItself { };
struct KeptParent { };
struct KeptElsewhere { };
using KeptValue = std::variant<fnd::Value, TheObjectItself, KeptParent, KeptElsewhere>;

struct KeptStep {
    const char* setter;
    KeptValue value;
};

struct KeptCase {
    const char* className;
    const char* fault;
    std::vector<KeptStep> steps;
};

fnd::Value keptDate(double sinceReference)
{
    return fnd::Date::fromReferenceDate(sinceReference);
}

const std::vector<KeptCase>& keptCases()
{
    static const std::vector<KeptCase> cases {
        { "ZORSpinningProgressIndicator", "a value that is not finite was kept and drawn",
            { { "doubleValue", KeptNaN }, { "maxValue", KeptInfinity } } },
        { "ZORURLClickField", "a bezel set was lost when read back", { { "bezeled", true } } },
        { "ZTBTabBarCell", "a cell made by name had no progress indicator, which a decoded one has",
            { { "isEdited", true } } },
        { "ZTBTabBarCell", "a count beyond what its decoder reads was archived", { { "count", 1e308 } } },
        { "ComboBox", "an item that was a view around the box made an archive that owns itself",
            { { "objectValues", fnd::Value(fnd::Array { fnd::String("Title"), fnd::Value() }) },
                { "objectValues", KeptParent {} } } },
        { "TokenFieldCell", "a token that was a number that is not finite was kept",
            { { "objectValue", fnd::Value(fnd::Array { 0, -1, -KeptInfinity }) } } },
        { "ZORBaseView", "a text box width that is not finite was kept", { { "textBoxWidth", KeptInfinity } } },
        { "OutlineView", "an indentation that is not finite was kept", { { "indentationPerLevel", KeptInfinity } } },
        { "QFTabBarView", "a partner held elsewhere was carried into the bar's archive and lost when read",
            { { "partnerView", KeptElsewhere {} } } },
        { "ZTBTabBarControl", "its parent as partner made an archive that owns itself",
            { { "partnerView", KeptParent {} } } },
        { "Box", "a box without a content view read back with a new one", { { "contentView", fnd::Value() } } },
        { "ComboBox", "an item height that is not finite was archived", { { "itemHeight", -KeptInfinity } } },
        { "DatePicker", "a date that is not finite was kept", { { "objectValue", keptDate(-KeptInfinity) } } },
        { "DatePickerCell", "a date an archive cannot hold was kept",
            { { "objectValue", keptDate(-1e308) }, { "objectValue", keptDate(1e308) } } },
        { "KJSplitView", "a frame of infinite origin left the bounds apart from the frame",
            { { "frame", gfx::Rect { KeptInfinity, -KeptInfinity, 1e7, 12 } } } },
        { "KRScopeBar", "an intercell spacing beyond what its decoder reads was archived",
            { { "intercellSpacing", 1e7 } } },
        { "LevelIndicatorCell", "a style beyond the known ones was kept as -1",
            { { "levelIndicatorStyle", KeptInfinity } } },
        { "QFOverflowPopUpButton", "an alpha that is not finite was kept", { { "secondImageAlpha", KeptInfinity } } },
        { "QFTabBarView", "a tab bar took itself as its partner, which its decoder refuses",
            { { "partnerView", TheObjectItself {} } } },
        { "ScrollView", "frames of zero size left the clip view apart from the bounds",
            { { "frame", gfx::Rect { 1, 1, 1, 0 } }, { "frame", gfx::Rect { 1, 250.5, 0, 0 } },
                { "autoresizesSubviews", false }, { "frame", gfx::Rect { 12, 0, 12, 1 } } } },
        { "SegmentedCell", "a segment style beyond the known ones was archived", { { "segmentStyle", 1e7 } } },
        { "SegmentedControl", "a segment style beyond the known ones was archived", { { "segmentStyle", 1e7 } } },
        { "TokenFieldCell", "a completion delay that is not finite was kept", { { "completionDelay", KeptInfinity } } },
        { "ZORAnchoredButtonBar", "a bar made fixed archived flags its style replaces when read",
            { { "resizable", false }, { "selectedIndex", 2 }, { "atBottom", true } } },
        { "ZORTButtonCell", "a cell without a border archived a mask its decoder adds background highlighting to",
            { { "bordered", false }, { "highlightsBy", 1 } } },
        { "ZORTPopUpButtonCell", "a cell without a border archived a mask its decoder adds background highlighting to",
            { { "bordered", false }, { "highlightsBy", 1 } } },
        { "ComboBoxCell", "a visible item count beyond what its archive holds read back as 1",
            { { "numberOfVisibleItems", 1e10 } } },
        { "Scroller", "an object value that was a view around it made an archive that owns itself",
            { { "objectValue", KeptParent {} } } },
        { "SliderCell", "a tick mark value between ends near the largest numbers became infinite",
            { { "numberOfTickMarks", 7 }, { "allowsTickMarkValuesOnly", true }, { "minValue", -1e308 } } },
        { "SliderCell", "a tick mark value between ends near the largest numbers became infinite",
            { { "numberOfTickMarks", 3 }, { "maxValue", 1e308 }, { "minValue", -1e308 },
                { "allowsTickMarkValuesOnly", true }, { "doubleValue", 1e307 } } },
        { "OutlineView", "its parent as corner view was held by the table it holds, and neither was let go",
            { { "cornerView", KeptParent {} }, { "cornerView", TheObjectItself {} } } },
        { "ZORTableViewExtension", "its parent as corner view was held by the table it holds, and neither was let go",
            { { "cornerView", KeptParent {} } } },
        { "ZORAnchoredPopUpButtonCell", "the cell as its own represented object held itself and was never let go",
            { { "representedObject", TheObjectItself {} } } },
        { "ZORBaseView", "a margin that is not finite was kept", { { "iconTextMargin", -KeptInfinity } } },
        { "ZORNumberTextField", "a formatter set on the field read back without its settings",
            { { "formatter", fnd::Value(fnd::ClassRegistry::shared().create("NumberFormatter")) } } },
        { "ZORRoundedBox", "content margins beyond what its decoder reads were archived",
            { { "contentViewMargins", gfx::Size { 1e7, 0.5 } } } },
        { "ZORSmallDateControl", "a frame that is not finite read back at another size",
            { { "frame", gfx::Rect { -1, 250.5, KeptInfinity, KeptNaN } } } },
        { "ZORSmallDateControl", "a control given a size read back at the size of its fields",
            { { "frame", gfx::Rect { 1, 2, 250.5, 100 } } } },
    };
    return cases;
}

// What goes wrong in the case, or nothing.
std::optional<std::string> keptCaseProblem(const KeptCase& kept)
{
    const auto* cls = fnd::ClassRegistry::shared().find(kept.className);
    if (!cls)
        return "is not registered";
    Subject subject = subjectMadeByName(*cls);
    if (!subject.object)
        return "cannot be made by name";
    const auto setters = settersOf(*cls);
    for (const auto& step : kept.steps) {
        const auto setter = std::ranges::find(setters, std::string(step.setter), &Setter::name);
        if (setter == setters.end())
            return fmt::format("has no setter {}", step.setter);
        fnd::Value value;
        if (std::holds_alternative<TheObjectItself>(step.value))
            value = fnd::Value(subject.object);
        else if (std::holds_alternative<KeptElsewhere>(step.value))
            value = fnd::Value(subject.neighbours.elsewhere);
        else if (std::holds_alternative<KeptParent>(step.value))
            value = std::string_view(step.setter) == "objectValues"
                ? fnd::Value(fnd::Array { fnd::Value(subject.neighbours.parent) })
                : fnd::Value(subject.neighbours.parent);
        else
            value = std::get<fnd::Value>(step.value);
        try {
            setter->set(*subject.object, value);
        } catch (const fnd::Exception& refusal) {
            if (refusal.name() != fnd::ExceptionName::InvalidArgument && refusal.name() != fnd::ExceptionName::Range)
                return fmt::format("{} raised {}", step.setter, refusal.name().utf8());
        }
        if (auto where = nonFiniteState(*subject.object))
            return fmt::format("{} after {}", *where, step.setter);
    }
    return archiveReadBackProblem(subject.object);
}

class ArchiveKeptCases : public uitest::UiTest {
protected:
    ArchiveKeptCases() { backend->setDrawsWindows(false); }
};

TEST_F(ArchiveKeptCases, EachReadsBackAfterTheStepsThatOnceBrokeIt)
{
    for (const auto& kept : keptCases())
        if (auto problem = keptCaseProblem(kept))
            ADD_FAILURE() << kept.className << " (" << kept.fault << "): " << *problem;
}

}
