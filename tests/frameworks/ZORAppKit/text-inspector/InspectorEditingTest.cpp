// Editing inside the inspector: the selection kept in a value run, typing, Tab, Return, committing.
#include "InspectorTestSupport.h"

#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorViewFieldKinds.h"

#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/Image.h"
#include "platform/text/LayoutManager.h"
#include "support/Canvas.h"

#include <cmath>
#include <set>

using namespace inspectortest;
using Label = ZORTextViewInspectorFieldLabel;

namespace {

class InspectorEditingModel : public fnd::Object {
    FND_OBJECT(InspectorEditingModel)
    static void describeClass(fnd::ClassBuilder<InspectorEditingModel>& c)
    {
        c.property(
            "name", [](const InspectorEditingModel& m) { return m.name; },
            [](InspectorEditingModel& m, const fnd::Value& v) {
                m.name = v;
                ++m.writes;
            });
        c.property(
            "zip", [](const InspectorEditingModel& m) { return m.zip; },
            [](InspectorEditingModel& m, const fnd::Value& v) {
                m.zip = v;
                ++m.writes;
            });
    }

public:
    fnd::Value name;
    fnd::Value zip;
    int writes { 0 };
};

class InspectorEditingDelegate : public ZORTextViewInspectorDelegate {
public:
    void delegateShouldChangeEditStateForTextViewInspector(ZORTextViewInspector& inspector) override
    {
        ++asked;
        if (switchOn)
            inspector.setEditableState(true);
    }
    void textViewInspectorDidChangedValueOfField(ZORTextViewInspector&, ZORTextViewInspectorField& field) override
    {
        changed.push_back(field.identifier().utf8());
    }
    bool textViewInspectorDidFailToFormatString(ZORTextViewInspector&, ZORTextViewInspectorTextField&,
        const fnd::String& string, const fnd::String& error) override
    {
        refused.push_back(string.utf8() + ": " + error.utf8());
        return tellsThePerson;
    }
    int asked { 0 };
    bool switchOn { false };
    bool tellsThePerson { false };
    std::vector<std::string> changed;
    std::vector<std::string> refused;
};

class InspectorEditingTest : public InspectorTest {
protected:
    InspectorEditingTest()
    {
        name = make("name", "Name", "Enter a name");
        name->setValue("Ada");
        city = make("city", "City", "Enter a city");
        notes = make("notes", "Notes", "Notes");
        notes->setSupportNewLine(true);
        inspector->setEditableState(true);
        inspector->addFieldsArray({ name, city, notes });
        delegate = std::make_shared<InspectorEditingDelegate>();
        inspector->setInspectorDelegate(delegate);
    }
    static std::shared_ptr<ZORTextViewInspectorTextField> make(
        const char* id, const char* label, const char* placeholder)
    {
        return ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>(
            id, Label::fieldLabelWithString(label), fnd::String(placeholder));
    }
    // The value run of a field.
    fnd::Range valueRun(const ZORTextViewInspectorField& field) const
    {
        auto range = inspector->charRangeOfField(field);
        fnd::Range run;
        attributeAt(ZORTextInspectorAttribute::PlaceholderValue, range.max() - 1, &run);
        return run;
    }
    std::shared_ptr<ZORTextViewInspectorTextField> name, city, notes;
    std::shared_ptr<InspectorEditingDelegate> delegate;
};

}

FND_REGISTER_CLASS(InspectorEditingModel, fnd::Object)

TEST_F(InspectorEditingTest, ProposedRanges)
{
    auto nameRun = valueRun(*name); // "Ada", a real value
    auto cityRun = valueRun(*city); // the placeholder
    auto label = rangeOf("City");
    struct Row {
        const char* what;
        fnd::Range proposed;
        fnd::Range answer;
    };
    // Nothing is edited yet: any place in a run selects the whole run; elsewhere nothing.
    const Row idle[] = {
        { "caret in a value", { nameRun.location + 1, 0 }, nameRun },
        { "caret in a placeholder", { cityRun.location + 2, 0 }, cityRun },
        { "on a label", { label.location, 2 }, { 0, 0 } },
        { "across two runs", { nameRun.location, cityRun.max() - nameRun.location }, { 0, 0 } },
    };
    for (const auto& row : idle)
        EXPECT_EQ(inspector->validateProposedRange(row.proposed, false), row.answer) << row.what;
    // Editing the name: the caret moves freely inside its value and stays at its end; a placeholder run stays whole.
    inspector->setSelectedRange(nameRun);
    ASSERT_EQ(inspector->currentEditedStartLocation(), nameRun.location);
    const Row editing[] = {
        { "caret inside", { nameRun.location + 1, 0 }, { nameRun.location + 1, 0 } },
        { "caret at the end", { nameRun.max(), 0 }, { nameRun.max(), 0 } },
        { "selection clipped", { nameRun.location - 3, 5 }, { nameRun.location, 2 } },
        { "beyond the run", { nameRun.max() + 1, 0 }, { 0, 0 } },
    };
    for (const auto& row : editing)
        EXPECT_EQ(inspector->validateProposedRange(row.proposed, false), row.answer) << row.what;
    // Selecting elsewhere with updating moves the edit there.
    inspector->setSelectedRange({ cityRun.location + 1, 0 });
    EXPECT_EQ(inspector->selectedRange(), cityRun);
    EXPECT_EQ(inspector->currentEditedStartLocation(), cityRun.location);
    EXPECT_EQ(inspector->activeField(), city);
}

TEST_F(InspectorEditingTest, TypingOverAndDeletingThePlaceholder)
{
    auto run = valueRun(*city);
    inspector->setSelectedRange(run);
    inspector->insertText(fnd::Value("Paris"));
    EXPECT_EQ(shown(), "\\n\\tName\\tAda\\n\\tCity\\tParis\\n\\tNotes\\tNotes\\n");
    EXPECT_EQ(inspector->selectedRange(), (fnd::Range { run.location + 5, 0 })) << "caret after the typed text";
    auto colour = attributeAt(txt::ForegroundColorAttributeName, run.location).objectAs<gfx::Color>();
    EXPECT_TRUE(colour->isEqual(*gfx::Color::blackColor()));
    EXPECT_EQ(attributeAt(ZORTextInspectorAttribute::PlaceholderValue, run.location), fnd::Value("Enter a city"));
    EXPECT_EQ(attributeAt(ZORTextInspectorAttribute::Field, run.location).object(), city);
    inspector->insertText(fnd::Value("!"));
    EXPECT_EQ(valueRun(*city).length, 6);
    // Deleting it all brings the placeholder back in grey, selected whole and still editable.
    inspector->setSelectedRange(valueRun(*city));
    inspector->deleteBackward({});
    EXPECT_EQ(shown(), "\\n\\tName\\tAda\\n\\tCity\\tEnter a city\\n\\tNotes\\tNotes\\n");
    EXPECT_EQ(inspector->selectedRange(), valueRun(*city));
    colour = attributeAt(txt::ForegroundColorAttributeName, run.location).objectAs<gfx::Color>();
    EXPECT_TRUE(colour->isEqual(*gfx::Color::grayColor()));
    inspector->insertText(fnd::Value("Rome"));
    EXPECT_EQ(text().substring(valueRun(*city)), fnd::String("Rome"));
}

TEST_F(InspectorEditingTest, NothingIsTypedOutsideAValueRun)
{
    inspector->setSelectedRange(rangeOf("Name"));
    EXPECT_FALSE(inspector->isEditing());
    inspector->insertText(fnd::Value("x"));
    EXPECT_EQ(shown(), "\\n\\tName\\tAda\\n\\tCity\\tEnter a city\\n\\tNotes\\tNotes\\n");
    inspector->setEditableState(false);
    inspector->setSelectedRange(valueRun(*name));
    EXPECT_EQ(inspector->selectedRange(), (fnd::Range { 0, 0 })) << "nothing is selected while not editable";
}

TEST_F(InspectorEditingTest, TabWrapsAndBacktabGoesBack)
{
    inspector->insertTab({});
    EXPECT_EQ(inspector->activeField(), name) << "from the top";
    inspector->insertTab({});
    EXPECT_EQ(inspector->activeField(), city);
    EXPECT_EQ(inspector->selectedRange(), valueRun(*city));
    inspector->insertTab({});
    EXPECT_EQ(inspector->activeField(), notes);
    inspector->insertTab({});
    EXPECT_EQ(inspector->activeField(), name) << "wraps to the first";
    inspector->insertBacktab({});
    EXPECT_EQ(inspector->activeField(), notes) << "wraps to the last";
    // With no field able to take the focus nothing is selected, and the walk ends.
    for (auto& field : { name, city, notes })
        field->setEditable(false);
    inspector->insertTab({});
    EXPECT_FALSE(inspector->isEditing());
}

TEST_F(InspectorEditingTest, ReturnInsertsALineSeparatorOnlyInMultiLineFields)
{
    inspector->jumpToField(notes);
    inspector->insertText(fnd::Value("one"));
    inspector->insertNewline({});
    inspector->insertText(fnd::Value("two"));
    EXPECT_TRUE(inspector->isEditing());
    EXPECT_EQ(visible(text().substring(valueRun(*notes))), "one[ls]two");
    inspector->jumpToField(city);
    inspector->insertText(fnd::Value("Oslo"));
    inspector->insertNewline({});
    EXPECT_FALSE(inspector->isEditing());
    EXPECT_EQ(city->value(), fnd::Value("Oslo"));
    // The lines come back as lines of the value.
    EXPECT_EQ(notes->value(), fnd::Value(fnd::String(u"one\u2028two")));
}

TEST_F(InspectorEditingTest, CommitPushesOnceAndNotForAnEqualValue)
{
    auto model = fnd::makeObject<InspectorEditingModel>();
    model->name = "Ada";
    name->bind("value", *model, "name");
    model->writes = 0;
    inspector->jumpToField(name);
    inspector->endEditing();
    EXPECT_EQ(model->writes, 0) << "unchanged";
    EXPECT_TRUE(delegate->changed.empty());
    inspector->jumpToField(name);
    inspector->insertText(fnd::Value("Grace"));
    inspector->endEditing();
    EXPECT_EQ(model->writes, 1);
    EXPECT_EQ(model->name, fnd::Value("Grace"));
    EXPECT_EQ(delegate->changed, (std::vector<std::string> { "name" }));
    inspector->endEditing();
    EXPECT_EQ(model->writes, 1) << "nothing edited any more";
}

TEST_F(InspectorEditingTest, OneValueShownForSeveralIsNotWrittenBackByAVisit)
{
    auto model = fnd::makeObject<InspectorEditingModel>();
    name->bind("value", *model, "name");
    // Each shows "Paris"; a visit that types nothing leaves the model as it was and tells no delegate.
    for (const fnd::Value& held : { fnd::Value(fnd::Array { "Paris" }), fnd::Value(fnd::Set { "Paris" }) }) {
        model->setValueForKey(held, "name");
        model->writes = 0;
        EXPECT_EQ(text().substring(valueRun(*name)), fnd::String("Paris")) << held.description().utf8();
        inspector->jumpToField(name);
        inspector->endEditing();
        EXPECT_EQ(model->writes, 0) << held.description().utf8();
        EXPECT_EQ(model->name, held);
    }
    EXPECT_TRUE(delegate->changed.empty());
    // A set of two different values shows the multiple-values text, which a visit does not write either.
    model->setValueForKey(fnd::Set { "Paris", "Lyon" }, "name");
    model->writes = 0;
    EXPECT_EQ(text().substring(valueRun(*name)), fnd::String("Multiple Values"));
    inspector->jumpToField(name);
    inspector->endEditing();
    EXPECT_EQ(model->writes, 0);
    // Typing over the one shown value of a set writes what was typed.
    model->setValueForKey(fnd::Set { "Paris" }, "name");
    inspector->jumpToField(name);
    inspector->insertText(fnd::Value("Lyon"));
    inspector->endEditing();
    EXPECT_EQ(model->name, fnd::Value("Lyon"));
    EXPECT_EQ(delegate->changed, (std::vector<std::string> { "name" }));
}

TEST_F(InspectorEditingTest, AnIntegerFieldRefusesTextThatIsNoInteger)
{
    auto model = fnd::makeObject<InspectorEditingModel>();
    model->zip = 12;
    auto zip = ZORTextViewInspectorIntegerField::fieldWithIdentifier(
        "zip", fnd::String("Postcode"), Label::fieldLabelWithString("ZIP"));
    zip->bind("value", *model, "zip");
    inspector->addField(zip);
    model->writes = 0;
    const int beeps = backend->beepCount();
    // Letters: nothing reaches the model, the field shows 12 again, the delegate hears the formatter's error and the
    // person a beep.
    inspector->jumpToField(zip);
    inspector->insertText(fnd::Value("abc"));
    inspector->endEditing();
    EXPECT_EQ(model->writes, 0);
    EXPECT_EQ(model->zip, fnd::Value(12));
    EXPECT_EQ(zip->value(), fnd::Value(12));
    EXPECT_EQ(text().substring(valueRun(*zip)), fnd::String("12"));
    EXPECT_EQ(delegate->refused, (std::vector<std::string> { "abc: \u201Cabc\u201D is not a valid number." }));
    EXPECT_EQ(backend->beepCount(), beeps + 1);
    EXPECT_TRUE(delegate->changed.empty());
    // A delegate that told the person itself: no beep. Tab leaves the field as Return does.
    delegate->tellsThePerson = true;
    inspector->jumpToField(zip);
    inspector->insertText(fnd::Value("1.5"));
    inspector->insertTab({});
    EXPECT_EQ(model->zip, fnd::Value(12));
    EXPECT_EQ(backend->beepCount(), beeps + 1);
    // A negative integer is kept as it was typed.
    inspector->jumpToField(zip);
    inspector->insertText(fnd::Value("-5"));
    inspector->endEditing();
    EXPECT_EQ(model->zip, fnd::Value(-5));
    EXPECT_EQ(model->writes, 1);
    EXPECT_EQ(text().substring(valueRun(*zip)), fnd::String("-5"));
}

TEST_F(InspectorEditingTest, LeavingARunByOtherMeansKeepsTheTypedValue)
{
    inspector->jumpToField(city);
    inspector->insertText(fnd::Value("Lima"));
    // A click or arrow key that puts the selection in another run.
    inspector->setSelectedRange({ valueRun(*name).location, 0 });
    EXPECT_EQ(city->value(), fnd::Value("Lima"));
    EXPECT_EQ(inspector->activeField(), name);
}

TEST_F(InspectorEditingTest, MultipleValuesAreNotOverwrittenByLookingAtThem)
{
    auto model = fnd::makeObject<InspectorEditingModel>();
    model->name = fnd::Array { "a", "b" };
    name->bind("value", *model, "name");
    model->writes = 0;
    inspector->jumpToField(name);
    EXPECT_EQ(text().substring(valueRun(*name)), fnd::String("Multiple Values"));
    inspector->endEditing();
    EXPECT_EQ(model->writes, 0);
    EXPECT_EQ(name->valueState(), ZORInspectorValueState::MultipleValues);
}

TEST_F(InspectorEditingTest, ClicksStartEditingOrAskTheDelegate)
{
    draw();
    auto clickAt = [&](fnd::Index index) {
        auto point = inspectortest::characterPointInWindow(*inspector, index);
        ASSERT_TRUE(point);
        backend->click(*window, *point);
        dispatch();
    };
    clickAt(valueRun(*city).location + 1);
    EXPECT_EQ(inspector->activeField(), city);
    EXPECT_EQ(inspector->selectedRange(), valueRun(*city));
    clickAt(rangeOf("Name").location);
    EXPECT_FALSE(inspector->isEditing()) << "a label starts nothing";
    name->setEditable(false);
    clickAt(valueRun(*name).location);
    EXPECT_FALSE(inspector->isEditing()) << "a field that is not editable";
    name->setEditable(true);
    // Not editable: the delegate is asked, and the field clicked is edited after the switch.
    inspector->setEditableState(false);
    delegate->switchOn = true;
    clickAt(valueRun(*name).location);
    EXPECT_EQ(delegate->asked, 1);
    EXPECT_TRUE(inspector->editableState());
    EXPECT_EQ(inspector->activeField(), name);
}

TEST_F(InspectorEditingTest, CompletionTimerRunsOnTheClock)
{
    class Completing : public ZORTextViewInspectorTextField {
    public:
        std::vector<fnd::String> completionsForPartialString(const fnd::String& partial, long*) override
        {
            asked.push_back(partial.utf8());
            return { partial + "ville" };
        }
        std::vector<std::string> asked;
    };
    auto completing = fnd::makeObject<Completing>();
    completing->initWithIdentifier("town", fnd::String("town"), Label::fieldLabelWithString("Town"));
    completing->setSupportTextCompletion(true);
    inspector->addField(completing);
    inspector->jumpToField(completing);
    inspector->insertText(fnd::Value("Nash"));
    EXPECT_FALSE(inspector->hasCompletionTimer()) << "typing over the placeholder replaces the run at once";
    inspector->insertText(fnd::Value("v"));
    EXPECT_TRUE(inspector->hasCompletionTimer());
    // A selection move away from the expected place cancels it.
    inspector->setSelectedRange({ valueRun(*completing).location, 0 });
    EXPECT_FALSE(inspector->hasCompletionTimer());
    inspector->setSelectedRange({ valueRun(*completing).max(), 0 });
    inspector->insertText(fnd::Value("v"));
    EXPECT_TRUE(inspector->hasCompletionTimer());
    fnd::RunLoop::current().runUntilDate(clock->now().addingTimeInterval(0.6));
    EXPECT_FALSE(inspector->hasCompletionTimer());
    EXPECT_FALSE(completing->asked.empty());
}

TEST_F(InspectorEditingTest, RedrawingAfterTypingLeavesNoTraces)
{
    draw();
    inspector->insertTab({});
    for (const char* word : { "Grace", "Rome", "Plans" }) {
        for (const char* c = word; *c; ++c) {
            backend->keyDown(*window, fnd::String(std::string(1, *c)), 0);
            dispatch();
            draw();
        }
        inspector->insertTab({});
        draw();
    }
    // Through the fields again without typing, and a click.
    for (int i = 0; i < 4; ++i) {
        backend->keyDown(*window, "\t", 48);
        dispatch();
        draw();
    }
    auto rects = inspector->layoutManager()->rectsForCharacterRange(
        { valueRun(*city).location, 1 }, *inspector->textContainer());
    auto origin = inspector->textContainerOrigin();
    backend->click(
        *window, inspector->convertPointToView({ rects[0].midX() + origin.x, rects[0].midY() + origin.y }, nullptr));
    dispatch();
    draw();
    backend->keyDown(*window, "\r", 36);
    dispatch();
    auto typed = snapshot("text-inspector-typed");
    inspector->setNeedsDisplay(true);
    auto full = snapshot("text-inspector-full");
    auto a = typed->pixelBuffer(), b = full->pixelBuffer();
    int differing = 0, firstX = -1, firstY = -1;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            if (a.pixel(x, y) != b.pixel(x, y)) {
                if (differing++ == 0) {
                    firstX = x;
                    firstY = y;
                }
            }
    EXPECT_EQ(differing, 0) << "first at " << firstX << ", " << firstY;
}

// The rollover outline is grey, and the characters inside it are drawn again in white.
TEST_F(InspectorEditingTest, RolloverRedrawsItsTextInWhite)
{
    draw();
    auto range = rangeOf("City");
    auto outline = inspector->rolloverForCharacterRange(range);
    inspector->setRollover(outline);
    inspector->setCurrentRolloverRange(range);
    auto bounds = outline.bounds();
    Canvas canvas(int(inspector->bounds().width()), int(inspector->bounds().height()), true);
    inspector->drawRolloverIfNecessaryInRect(inspector->bounds());
    int white = 0, grey = 0;
    for (int y = int(bounds.minY()) + 1; y < int(bounds.maxY()) - 1; ++y)
        for (int x = int(bounds.minX()) + 1; x < int(bounds.maxX()) - 1; ++x) {
            auto p = canvas.at(x, int(inspector->bounds().height()) - 1 - y);
            if (gfx::alphaOf(p) < 250)
                continue;
            int level = gfx::redOf(p);
            white += level > 240 ? 1 : 0;
            grey += level > 100 && level < 160 ? 1 : 0;
        }
    EXPECT_GT(grey, 20) << "the grey outline";
    EXPECT_GT(white, 10) << "the label's glyphs in white";
}

// The raised editor's frame: 15 points of room around the run; with the keyboard a soft shadow falls below it, the
// inside stays clear and the edge is grey.
TEST_F(InspectorEditingTest, TheRaisedEditorIsABlurredShadowImage)
{
    auto path = gfx::BezierPath::bezierPathWithRect({ 0, 0, 60, 20 });
    for (bool focused : { true, false }) {
        auto image = inspector->shadowImageAroundPath(*path, focused);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->size(), (gfx::Size { 90, 50 }));
        Canvas canvas(90, 50);
        image->drawInRect({ 0, 0, 90, 50 });
        // y up: the run spans 15..35, the shadow falls below it.
        EXPECT_EQ(canvas.alpha(45, 25), 0) << "the inside is clear";
        // A one-point line on the edge at y = 15 covers half of the rows below and above it.
        EXPECT_GT(canvas.alpha(45, 14) + canvas.alpha(45, 15), 200) << "the grey edge";
        if (focused)
            EXPECT_GT(canvas.alpha(45, 9), 10) << "the shadow below the run";
        else
            EXPECT_EQ(canvas.alpha(45, 9), 0) << "no shadow without the keyboard";
        EXPECT_EQ(canvas.alpha(45, 45), 0) << "nothing far above the run";
    }
}

// Typing widens the run but makes no new frame image: the one made when the edit began is drawn again, its ends as
// they are and its middle stretched, and the frame looks as one made for the whole width would.
TEST_F(InspectorEditingTest, TheRaisedEditorsImageIsMadeOnceWhileTyping)
{
    draw();
    inspector->insertTab({});
    draw();
    std::set<const gfx::Image*> made { inspector->raisedEditorImage().get() };
    for (const char* c = "Grace Hopper"; *c; ++c) {
        backend->keyDown(*window, fnd::String(std::string(1, *c)), 0);
        dispatch();
        draw();
        made.insert(inspector->raisedEditorImage().get());
    }
    EXPECT_EQ(made.size(), 1u) << "one image across twelve keystrokes";
    ASSERT_NE(*made.begin(), nullptr);

    auto selected = inspector->selectedRect();
    ASSERT_GT(selected.width(), 60) << "the run has grown well past the image's own width";
    const int width = int(inspector->bounds().width()), height = int(inspector->bounds().height());
    Canvas drawn(width, height, true);
    inspector->drawRaisedEditorIfNecessaryInRect(inspector->bounds());
    auto grown = gfx::insetRect(selected, -2, -2);
    gfx::Size size { std::floor(grown.width() + 0.5), std::floor(grown.height() + 0.5) };
    auto whole = inspector->shadowImageAroundPath(*gfx::BezierPath::bezierPathWithRect({ { 0, 0 }, size }), true);
    Canvas expected(width, height, true);
    whole->drawInRect({ grown.minX() - 15, grown.minY() - 15, size.width + 30, size.height + 30 }, {},
        gfx::CompositingOperation::SourceOver, 1.0, true);
    int worst = 0, covered = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            worst = std::max(worst, std::abs(drawn.alpha(x, y) - expected.alpha(x, y)));
            covered += expected.alpha(x, y) > 0 ? 1 : 0;
        }
    EXPECT_GT(covered, int(size.width) * 2) << "the frame was drawn";
    EXPECT_LE(worst, 2) << "alpha differs from the whole-width image";
}

TEST_F(InspectorEditingTest, ModelChangesBeforeTheEditedRunKeepWhatWasTyped)
{
    auto model = fnd::makeObject<InspectorEditingModel>();
    model->name = "Ada";
    name->bind("value", *model, "name");
    notes->bind("value", *model, "zip");
    // A longer name moves the notes on: the edit goes with them, and Tab writes what was typed.
    inspector->jumpToField(notes);
    inspector->insertText(fnd::Value("typed by the person"));
    model->setValueForKey(fnd::Value("Ada, Countess of Lovelace"), "name");
    EXPECT_EQ(inspector->activeField(), notes);
    EXPECT_EQ(inspector->selectedRange(), (fnd::Range { 78, 0 })) << "the caret stays after the typed text";
    inspector->insertText(fnd::Value("!"));
    inspector->insertTab({});
    EXPECT_EQ(model->zip, fnd::Value("typed by the person!"));
    // A shorter name moves them back.
    inspector->jumpToField(notes);
    inspector->insertText(fnd::Value("second"));
    model->setValueForKey(fnd::Value("Al"), "name");
    EXPECT_EQ(inspector->currentEditingCharRange(), (fnd::Range { 36, 6 }));
    inspector->endEditing();
    EXPECT_EQ(model->zip, fnd::Value("second"));
    inspector->recreateFieldTextStorage();
    EXPECT_EQ(shown(), "\\n\\tName\\tAl\\n\\tCity\\tEnter a city\\n\\tNotes\\tsecond\\n");
}

TEST_F(InspectorEditingTest, TypedTextBeginningWithThePlaceholderIsKeptWhole)
{
    auto file = make("file", "File", "File name");
    auto url = ZORTextViewInspectorField::make<ZORTextViewInspectorURLField>(
        "url", Label::fieldLabelWithString("Address"), fnd::String("https://"));
    inspector->addFieldsArray({ file, url });
    auto urlText = std::dynamic_pointer_cast<ZORTextViewInspectorTextField>(url->allFields().at(0));
    ASSERT_TRUE(urlText);
    // Key by key: after "File name" the run reads like its placeholder, and the next key must not replace it.
    auto typeKeys = [&](const ZORTextViewInspectorFieldPtr& field, const std::u16string& keys) {
        inspector->jumpToField(field);
        for (char16_t key : keys)
            inspector->insertText(fnd::Value(fnd::String(std::u16string(1, key))));
        inspector->insertTab({});
    };
    typeKeys(file, u"File name-copy.xpm");
    EXPECT_EQ(file->value(), fnd::Value("File name-copy.xpm"));
    typeKeys(urlText, u"https://d.example");
    EXPECT_EQ(urlText->value(), fnd::Value("https://d.example"));
    // The placeholder itself, shown grey, still stands for no value.
    inspector->jumpToField(city);
    inspector->insertTab({});
    EXPECT_TRUE(city->value().isNil());
}

TEST_F(InspectorEditingTest, AReadOnlyValueFollowsTheModel)
{
    auto model = fnd::makeObject<InspectorEditingModel>();
    auto zip = ZORTextViewInspectorField::make<ZORTextViewInspectorIntegerField>(
        "zip", Label::fieldLabelWithString("Zip"), std::nullopt);
    zip->setEditable(false);
    zip->bind("value", *model, "zip");
    inspector->addField(zip);
    // No value and no placeholder: nothing is shown, not a developer's reminder.
    EXPECT_EQ(shown(), "\\n\\tName\\tAda\\n\\tCity\\tEnter a city\\n\\tNotes\\tNotes\\n\\tZip\\t\\n");
    for (int value : { 42, 7 }) {
        model->setValueForKey(fnd::Value(value), "zip");
        EXPECT_EQ(shown(),
            "\\n\\tName\\tAda\\n\\tCity\\tEnter a city\\n\\tNotes\\tNotes\\n\\tZip\\t" + std::to_string(value) + "\\n");
    }
    model->setValueForKey(fnd::Value(), "zip");
    EXPECT_EQ(shown(), "\\n\\tName\\tAda\\n\\tCity\\tEnter a city\\n\\tNotes\\tNotes\\n\\tZip\\t\\n");
}

TEST_F(InspectorEditingTest, AReadOnlyFieldTakesNoSelectionTheProgramSets)
{
    auto model = fnd::makeObject<InspectorEditingModel>();
    model->name = "Ada";
    name->bind("value", *model, "name");
    name->setEditable(false);
    model->writes = 0;
    // Selecting its value starts no edit there: typing goes nowhere, Tab starts from the top.
    inspector->setSelectedRange(valueRun(*name));
    EXPECT_FALSE(inspector->isEditing());
    EXPECT_EQ(inspector->selectedRange(), (fnd::Range { 0, 0 }));
    inspector->insertText(fnd::Value("Eve"));
    inspector->insertTab({});
    EXPECT_EQ(inspector->activeField(), city) << "the first field that takes edits";
    inspector->endEditing();
    EXPECT_EQ(model->name, fnd::Value("Ada"));
    EXPECT_EQ(model->writes, 0);
    EXPECT_EQ(shown(), "\\n\\tName\\tAda\\n\\tCity\\tEnter a city\\n\\tNotes\\tNotes\\n");
    // The same selection in a field that takes edits edits it; made editable again, the name does too.
    inspector->setSelectedRange(valueRun(*city));
    EXPECT_EQ(inspector->activeField(), city);
    inspector->endEditing();
    name->setEditable(true);
    inspector->setSelectedRange(valueRun(*name));
    EXPECT_EQ(inspector->activeField(), name);
    inspector->insertText(fnd::Value("Eve"));
    inspector->endEditing();
    EXPECT_EQ(model->name, fnd::Value("Eve"));
}

TEST_F(InspectorEditingTest, AFieldMadeReadOnlyDuringAnEditEndsItAndTakesNoMoreKeys)
{
    auto model = fnd::makeObject<InspectorEditingModel>();
    city->bind("value", *model, "name");
    inspector->jumpToField(city);
    inspector->insertText(fnd::Value("Li"));
    // The program locks the field: what was typed while it took edits is kept, the keys after it go nowhere.
    city->setEditable(false);
    EXPECT_FALSE(inspector->isEditing());
    EXPECT_EQ(model->name, fnd::Value("Li"));
    inspector->insertText(fnd::Value("ma"));
    inspector->deleteBackward({});
    inspector->insertTab({});
    EXPECT_EQ(inspector->activeField(), name) << "from the top";
    inspector->insertTab({});
    EXPECT_EQ(inspector->activeField(), notes) << "Tab passes the locked field";
    inspector->insertBacktab({});
    EXPECT_EQ(inspector->activeField(), name);
    inspector->endEditing();
    EXPECT_EQ(model->name, fnd::Value("Li"));
    EXPECT_EQ(model->writes, 1);
    EXPECT_EQ(text().substring(valueRun(*city)), fnd::String("Li"));
}
