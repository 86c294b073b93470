// A form of a dozen fields in a real window: a click into a value, typing, Tab from field to field, and the bound
// model holds what was typed.
#include "GtkTestSupport.h"
#include "InspectorFocus.h"
#include "support/AccessibleTree.h"

#include "frameworks/FoundationExtensions/ZORCountryLocale.h"
#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspector.h"
#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorListField.h"
#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorViewFieldKinds.h"

#include "platform/foundation/bindings/ArrayController.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"

#include <unistd.h>

using namespace gtktest;
using Label = ZORTextViewInspectorFieldLabel;

namespace {

// The person record the form edits.
class TextInspectorDisplayPerson : public fnd::Object {
    FND_OBJECT(TextInspectorDisplayPerson)
    static void describeClass(fnd::ClassBuilder<TextInspectorDisplayPerson>& c)
    {
        for (const char* key : { "name", "company", "street", "city", "zip", "phone", "mail", "homepage", "notes",
                 "rating", "done", "born", "country", "colour", "blog" })
            c.property(
                key, [key](const TextInspectorDisplayPerson& p) { return p.values.get(key); },
                [key](TextInspectorDisplayPerson& p, const fnd::Value& v) { p.values.set(key, v); });
    }

public:
    fnd::Dictionary values;
};

class TextInspectorDisplayTest : public GtkDisplayTest {
protected:
    template <typename T> std::shared_ptr<T> field(const char* key, const char* label, const char* placeholder)
    {
        auto made
            = ZORTextViewInspectorField::make<T>(key, Label::fieldLabelWithString(label), fnd::String(placeholder));
        made->bind("value", *person, key);
        return made;
    }
    // The screen point (device pixels) of a character of the inspector's text.
    std::pair<int, int> screenPointOfCharacter(fnd::Index index)
    {
        auto rects = inspector->layoutManager()->rectsForCharacterRange({ index, 1 }, *inspector->textContainer());
        auto origin = inspector->textContainerOrigin();
        gfx::Point inView { rects.at(0).midX() + origin.x, rects.at(0).midY() + origin.y };
        auto inWindow = inspector->convertPointToView(inView, nullptr);
        auto content = deviceRectOfContent(*window);
        int s = scale();
        return { content[0] + int(inWindow.x * s), content[1] + content[3] - int(inWindow.y * s) };
    }
    // The screen point (device pixels) of a point of a view.
    std::pair<int, int> screenPointOfView(ui::View& view, gfx::Point point)
    {
        auto inWindow = view.convertPointToView(point, nullptr);
        auto content = deviceRectOfContent(*window);
        int s = scale();
        return { content[0] + int(inWindow.x * s), content[1] + content[3] - int(inWindow.y * s) };
    }
    void clickAt(std::pair<int, int> point)
    {
        xdotool("mousemove " + std::to_string(point.first) + " " + std::to_string(point.second) + " click 1");
    }
    // Presses one key (with its modifiers) and waits until the program has handled it: the key's release reaches
    // the program after its press was handled.
    void pressKey(const std::string& key)
    {
        int releases = 0;
        auto monitor = ui::Application::shared().addLocalMonitorForEventsMatchingMask(
            ui::EventMasks::KeyUp, [&](const ui::Event&) { return ++releases > 0; });
        xdotool("key " + key);
        EXPECT_TRUE(waitFor([&] { return releases > 0; })) << key << " never reached the program";
        ui::Application::shared().removeMonitor(monitor);
    }
    // The content's pixels once a redraw asked for now has reached the screen.
    Screenshot redrawnContent(ui::View& view)
    {
        auto frames = backend->presentedFrameCount(*window);
        view.setNeedsDisplay(true);
        EXPECT_TRUE(waitFor([&] { return backend->presentedFrameCount(*window) > frames; })) << "no redraw";
        auto content = deviceRectOfContent(*window);
        return settledScreen(*backend, content[0], content[1], content[2], content[3]);
    }
    void xdotool(const std::string& arguments)
    {
        auto result = runWhileServing(*backend, "xdotool " + arguments);
        ASSERT_EQ(result.status, 0) << "xdotool " << arguments << ": " << result.output;
    }

    std::shared_ptr<TextInspectorDisplayPerson> person { fnd::makeObject<TextInspectorDisplayPerson>() };
    std::shared_ptr<ZORTextViewInspector> inspector;
    std::shared_ptr<ui::Window> window;
};

}

FND_REGISTER_CLASS(TextInspectorDisplayPerson, fnd::Object)

TEST_F(TextInspectorDisplayTest, ClickTypeAndTabThroughAForm)
{
    person->values.set("city", "Paris");
    inspector = ZORTextViewInspector::create({ 0, 0, 460, 420 });
    inspector->setEditableState(true);
    auto name = field<ZORTextViewInspectorTextField>("name", "Name", "Full name");
    auto company = field<ZORTextViewInspectorTextField>("company", "Company", "Company");
    auto street = field<ZORTextViewInspectorTextField>("street", "Street", "Street");
    auto city = field<ZORTextViewInspectorTextField>("city", "City", "City");
    auto zip = field<ZORTextViewInspectorIntegerField>("zip", "ZIP", "Postcode");
    auto phone = field<ZORTextViewInspectorTextField>("phone", "Phone", "Number");
    auto notes = field<ZORTextViewInspectorTextField>("notes", "Notes", "Notes");
    notes->setSupportNewLine(true);
    auto mail = ZORTextViewInspectorField::makeForProperty<ZORTextViewInspectorEmailField>("mail", nullptr);
    mail->setLabel(Label::fieldLabelWithString("E-mail"));
    mail->fieldAtIndex(0)->setLabel(nullptr);
    mail->fieldAtIndex(0)->setPlaceholder(fnd::String("Address"));
    mail->bindEmailFieldToObject(*person, "mail");
    mail->setEditable(true);
    auto homepage = ZORTextViewInspectorField::makeForProperty<ZORTextViewInspectorURLField>("homepage", nullptr);
    homepage->setLabel(Label::fieldLabelWithString("Homepage"));
    homepage->fieldAtIndex(0)->setLabel(nullptr);
    homepage->fieldAtIndex(0)->setPlaceholder(fnd::String("Address"));
    homepage->bindURLFieldToObject(*person, "homepage");
    homepage->setEditable(true);
    auto rating = field<ZORTextViewInspectorRatingField>("rating", "Rating", "");
    rating->setValue(2);
    auto done = field<ZORTextViewInspectorCheckboxField>("done", "Done", "");
    done->setValue(false);
    auto born = field<ZORTextViewInspectorDateField>("born", "Born", "");
    born->setValue(fnd::Date::fromReferenceDate(-600000000));
    auto country = field<ZORTextViewInspectorCountryField>("country", "Country", "");
    country->setCountryLocales({ std::make_shared<ZORCountryLocale>("AT"), std::make_shared<ZORCountryLocale>("FR"),
        std::make_shared<ZORCountryLocale>("DE") });
    country->setValue("AT");
    inspector->addFieldsArray({ name, company, street, city, zip, phone, mail, homepage,
        ZORTextViewInspectorViewField::separatorField(), notes, rating, done, born, country });
    window = showWindow({ 80, 80, 460, 420 }, inspector);
    window->setTitle("Text inspector");
    window->makeFirstResponder(inspector);
    ASSERT_TRUE(waitFor([&] { return backend->hasKeyboardFocus(*window); })) << "the window never got the keyboard";

    // A click into the name's placeholder selects it whole; typing replaces it.
    auto nameRange = inspector->charRangeOfField(*name);
    auto [x, y] = screenPointOfCharacter(nameRange.max() - 2);
    xdotool("mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 1");
    ASSERT_TRUE(waitFor([&] { return inspector->activeField() == name; })) << "the click did not start editing";
    xdotool("type --delay 30 'Ada Lovelace'");
    xdotool("key Tab");
    ASSERT_TRUE(waitFor([&] { return inspector->activeField() == company; }));
    xdotool("type --delay 30 'Analytical Engines'");
    xdotool("key Tab");
    xdotool("type --delay 30 'Main St 1'");
    xdotool("key Tab");
    // The city holds a value: Tab selects it whole and typing replaces it.
    xdotool("type --delay 30 London");
    xdotool("key Tab");
    xdotool("type --delay 30 12345");
    xdotool("key Tab");
    ASSERT_TRUE(waitFor([&] { return inspector->activeField() == phone; }));
    xdotool("key Tab");
    ASSERT_TRUE(waitFor([&] { return inspector->activeField() == mail->fieldAtIndex(0); }))
        << (inspector->activeField() ? inspector->activeField()->identifier().utf8() : std::string("none")) << " "
        << inspector->selectedRange().location << " " << fnd::Value(person->values).description().utf8();
    xdotool("type --delay 30 ada@example.org");
    xdotool("key Return");
    ASSERT_TRUE(waitFor([&] { return !person->values.get("mail").isNil(); }));
    auto content = deviceRectOfContent(*window);
    auto shot = settledScreen(*backend, content[0], content[1], content[2], content[3]);
    shot.save("text-inspector-display.png");
    // What the keystrokes left on screen is what a full redraw shows: no traces of the edited runs' outlines. Glyph
    // edges drawn within a part of the view may differ from a full redraw's by a few levels of antialiasing; a trace
    // differs by far more.
    auto full = redrawnContent(*inspector);
    auto channelsApart = [](std::uint32_t a, std::uint32_t b) {
        int most = 0;
        for (int shift = 0; shift < 24; shift += 8)
            most = std::max(most, std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)));
        return most;
    };
    int traces = 0;
    for (std::size_t i = 0; i < shot.pixels.size() && i < full.pixels.size(); ++i)
        traces += channelsApart(shot.pixels[i], full.pixels[i]) > 8 ? 1 : 0;
    EXPECT_EQ(traces, 0);
    if (traces)
        full.save("text-inspector-display-full.png");

    // The controls of view fields write through the same bindings: the check box and the rating's fourth star.
    auto box = done->view();
    clickAt(screenPointOfView(*box, { 8, box->bounds().midY() }));
    ASSERT_TRUE(waitFor([&] { return !person->values.get("done").isNil(); })) << "the check box click";
    EXPECT_EQ(person->values.get("done"), fnd::Value(true));
    auto stars = rating->view();
    // Stars are squares as high as the indicator.
    clickAt(screenPointOfView(*stars, { stars->bounds().height() * 3.5, stars->bounds().midY() }));
    ASSERT_TRUE(waitFor([&] { return person->values.get("rating") != fnd::Value(2); })) << "the rating click";
    EXPECT_EQ(person->values.get("rating"), fnd::Value(4));
    // The country pop-up: opened with a click, an entry chosen by typing its start and Return.
    // The menu tracks in a loop of its own, so the keys come from stages the loop's timers start once it shows.
    auto popup = country->view();
    StagedGesture typist;
    typist
        .then("type --delay 80 Fr",
            [] {
                auto windows = ui::Application::shared().windows();
                return std::ranges::any_of(windows, [](const std::shared_ptr<ui::Window>& w) {
                    return w->level() == ui::WindowLevel::PopUpMenu && w->isVisible();
                });
            })
        .then("key Return")
        .start();
    clickAt(screenPointOfView(*popup, { popup->bounds().midX(), popup->bounds().midY() }));
    ASSERT_TRUE(waitFor([&] { return !person->values.get("country").isNil(); })) << "the pop-up choice";
    EXPECT_EQ(person->values.get("country"), fnd::Value("FR"));
    ASSERT_TRUE(typist.isDone() || waitFor([&] { return typist.isDone(); }));
    auto clicked = settledScreen(*backend, content[0], content[1], content[2], content[3]);
    clicked.save("text-inspector-display-controls.png");
    // The focus rings the clicks moved leave nothing behind: a full redraw shows the same pixels.
    auto redrawn = redrawnContent(*window->contentView());
    int seams = 0;
    for (std::size_t i = 0; i < clicked.pixels.size() && i < redrawn.pixels.size(); ++i)
        seams += clicked.pixels[i] != redrawn.pixels[i] ? 1 : 0;
    EXPECT_EQ(seams, 0) << "pixels a partial redraw left behind";
    if (seams)
        redrawn.save("text-inspector-display-controls-full.png");

    EXPECT_EQ(person->values.get("name"), fnd::Value("Ada Lovelace"));
    EXPECT_EQ(person->values.get("company"), fnd::Value("Analytical Engines"));
    EXPECT_EQ(person->values.get("street"), fnd::Value("Main St 1"));
    EXPECT_EQ(person->values.get("city"), fnd::Value("London"));
    EXPECT_EQ(person->values.get("zip"), fnd::Value(12345));
    EXPECT_TRUE(person->values.get("phone").isNil()) << "skipped with Tab";
    EXPECT_EQ(person->values.get("mail"), fnd::Value("ada@example.org"));
    // The mail button follows the typed address's validity.
    auto button = std::dynamic_pointer_cast<ZORTextViewInspectorViewField>(mail->fieldAtIndex(1))->view();
    EXPECT_TRUE(std::dynamic_pointer_cast<ui::Control>(button)->isEnabled());
    // The window shows something: the label column is drawn in dark grey on the white text background.
    int dark = 0;
    for (int row = 0; row < shot.height; ++row)
        for (int column = 0; column < shot.width / 4; ++column)
            dark += (shot.at(column, row) & 0xFF) < 0x80 ? 1 : 0;
    EXPECT_GT(dark, 50);
}

namespace {

// A tag of the person: one row of the tag list each.
class TextInspectorDisplayTag : public fnd::Object {
    FND_OBJECT(TextInspectorDisplayTag)
    static void describeClass(fnd::ClassBuilder<TextInspectorDisplayTag>& c)
    {
        c.property("title", &TextInspectorDisplayTag::title);
    }

public:
    fnd::String title;
};

}

FND_REGISTER_CLASS(TextInspectorDisplayTag, fnd::Object)

// Tab walks every field, hosted controls included, in order and back; a list row opened with + takes typing, and
// Return in a text row of a second list writes the row's object.
TEST_F(TextInspectorDisplayTest, TabThroughEveryFieldAndEditListRows)
{
    inspector = ZORTextViewInspector::create({ 0, 0, 460, 420 });
    inspector->setEditableState(true);
    auto name = field<ZORTextViewInspectorTextField>("name", "Name", "Full name");
    auto rating = field<ZORTextViewInspectorRatingField>("rating", "Rating", "");
    rating->setValue(2);
    auto city = field<ZORTextViewInspectorTextField>("city", "City", "City");
    auto done = field<ZORTextViewInspectorCheckboxField>("done", "Done", "");
    done->setValue(false);
    auto country = field<ZORTextViewInspectorCountryField>("country", "Country", "");
    country->setCountryLocales({ std::make_shared<ZORCountryLocale>("AT"), std::make_shared<ZORCountryLocale>("FR") });
    country->setValue("AT");
    // Tags as text rows bound to their titles.
    auto first = fnd::makeObject<TextInspectorDisplayTag>(), second = fnd::makeObject<TextInspectorDisplayTag>();
    first->title = "red";
    second->title = "blue";
    auto tags = fnd::makeObject<fnd::ArrayController>();
    auto list = ZORTextViewInspectorListField::fieldWithIdentifier("tags", Label::fieldLabelWithString("Tags"));
    list->setEditable(true);
    list->setEntryFieldTemplate(
        ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>("tag", nullptr, fnd::String("tag")));
    list->bindToObject(tags, "arrangedObjects", "title", "");
    tags->setContent(fnd::Array { first, second });
    // Words as token rows, with + and - buttons.
    auto words = fnd::makeObject<fnd::ArrayController>();
    auto tokens = fnd::makeObject<ZORTextViewInspectorTokenListField>();
    tokens->initWithIdentifier("words", fnd::String("word"), Label::fieldLabelWithString("Words"));
    tokens->bindToObject(words, "arrangedObjects", "", "");
    words->setContent(fnd::Array { "one" });
    inspector->addFieldsArray({ name, rating, city, done, country, list, tokens });
    window = showWindow({ 80, 80, 460, 420 }, inspector);
    window->setTitle("Text inspector: Tab and list rows");
    window->makeFirstResponder(inspector);
    ASSERT_TRUE(waitFor([&] { return backend->hasKeyboardFocus(*window); })) << "the window never got the keyboard";
    waitFor([&] { return !window->viewsNeedDisplay(); });
    auto content = deviceRectOfContent(*window);
    settledScreen(*backend, content[0], content[1], content[2], content[3]).save("text-inspector-display-form.png");

    auto focus = [&] { return inspectortest::focusIn(*window, *inspector); };
    inspector->jumpToField(name);
    std::vector<std::string> forward { focus() };
    for (int i = 0; i < 8; ++i) {
        pressKey("Tab");
        forward.push_back(focus());
    }
    EXPECT_EQ(forward,
        (std::vector<std::string> { "name", "rating", "city", "done", "country", "tags0", "tags1", "words0", "name" }))
        << "Tab through every field and back to the first";
    std::vector<std::string> backward;
    for (int i = 0; i < 3; ++i) {
        pressKey("shift+Tab");
        backward.push_back(focus());
    }
    EXPECT_EQ(backward, (std::vector<std::string> { "words0", "tags1", "tags0" }));

    // Return in a text row writes its tag's title.
    inspector->jumpToField(list->rowAtIndex(1));
    xdotool("type --delay 30 green");
    xdotool("key Return");
    ASSERT_TRUE(waitFor([&] { return second->title == fnd::String("green"); })) << "the row wrote its object";

    // + on the first word's row, "two" typed into the new row, Return: the model holds it once, in one row.
    auto range = inspector->charRangeOfField(*tokens->rowAtIndex(0));
    auto plus = inspector->viewsInCharacterRange(range).front();
    clickAt(screenPointOfView(*plus, { plus->bounds().midX(), plus->bounds().midY() }));
    ASSERT_TRUE(waitFor([&] { return tokens->allRows().size() == 2; })) << "the + button opened a row";
    xdotool("type --delay 30 two");
    xdotool("key Tab");
    ASSERT_TRUE(waitFor([&] { return words->arrangedObjects().size() == 2; }));
    EXPECT_EQ(words->arrangedObjects(), (fnd::Array { "one", "two" }));
    EXPECT_EQ(tokens->allRows().size(), 2u) << "one row per word";
    waitFor([&] { return !window->viewsNeedDisplay(); });
    settledScreen(*backend, content[0], content[1], content[2], content[3]).save("text-inspector-display-lists.png");
}

namespace {

// Hears the text the integer field refused, with the formatter's reason.
class TextInspectorDisplayDelegate : public ZORTextViewInspectorDelegate {
public:
    bool textViewInspectorDidFailToFormatString(
        ZORTextViewInspector&, ZORTextViewInspectorTextField&, const fnd::String& string, const fnd::String&) override
    {
        refused.push_back(string.utf8());
        return true;
    }
    std::vector<std::string> refused;
};

}

// A form whose city holds a set, with an integer, a token list of tag objects shown by title and a token list of
// words (two equal): typing, Tab and Shift+Tab through every field and row, a non-number, and the minus of the
// second "red"; the model is checked after each step.
TEST_F(TextInspectorDisplayTest, KeyboardThroughSetsIntegersAndTokenRowsKeepsTheModel)
{
    person->values.set("city", fnd::Set { "Paris" });
    person->values.set("zip", 12);
    inspector = ZORTextViewInspector::create({ 0, 0, 460, 360 });
    inspector->setEditableState(true);
    auto delegate = std::make_shared<TextInspectorDisplayDelegate>();
    inspector->setInspectorDelegate(delegate);
    auto name = field<ZORTextViewInspectorTextField>("name", "Name", "Full name");
    auto city = field<ZORTextViewInspectorTextField>("city", "City", "City");
    auto zip = field<ZORTextViewInspectorIntegerField>("zip", "ZIP", "Postcode");
    auto maths = fnd::makeObject<TextInspectorDisplayTag>(), physics = fnd::makeObject<TextInspectorDisplayTag>();
    maths->title = "maths";
    physics->title = "physics";
    auto tagController = fnd::makeObject<fnd::ArrayController>();
    auto tags = ZORTextViewInspectorTokenListField::fieldWithIdentifier("tags", Label::fieldLabelWithString("Tags"));
    tags->bindToObject(tagController, "arrangedObjects", "title", "");
    tagController->setContent(fnd::Array { maths, physics });
    auto words = fnd::makeObject<fnd::ArrayController>();
    auto wordList
        = ZORTextViewInspectorTokenListField::fieldWithIdentifier("words", Label::fieldLabelWithString("Words"));
    wordList->bindToObject(words, "arrangedObjects", "", "");
    words->setContent(fnd::Array { "red", "blue", "red" });
    inspector->addFieldsArray({ name, city, zip, tags, wordList });
    window = showWindow({ 80, 80, 460, 360 }, inspector);
    window->setTitle("Text inspector: sets, integers and token rows");
    window->makeFirstResponder(inspector);
    ASSERT_TRUE(waitFor([&] { return backend->hasKeyboardFocus(*window); })) << "the window never got the keyboard";

    auto focus = [&] { return inspectortest::focusIn(*window, *inspector); };
    auto titles = [&] {
        std::string out;
        for (const auto& object : tagController->arrangedObjects()) {
            auto tag = object.objectAs<TextInspectorDisplayTag>();
            out += (tag ? tag->title.utf8() : "(" + object.description().utf8() + ")") + " ";
        }
        return out;
    };
    auto tagsKept = [&] {
        const auto& arranged = tagController->arrangedObjects();
        return arranged.size() == 2 && arranged[0].object() == maths && arranged[1].object() == physics;
    };
    auto valueRunText = [&](const ZORTextViewInspectorField& field) {
        auto range = inspector->charRangeOfField(field);
        fnd::Range run;
        inspector->textStorage()->attributeAtIndexLongestEffectiveRange(
            ZORTextInspectorAttribute::PlaceholderValue, range.max() - 1, &run, { 0, range.max() });
        return inspector->textStorage()->string().substring(run).utf8();
    };

    // The set's one city shows; a click into it and Tab out write nothing.
    EXPECT_EQ(valueRunText(*city), "Paris");
    auto cityRange = inspector->charRangeOfField(*city);
    clickAt(screenPointOfCharacter(cityRange.max() - 2));
    ASSERT_TRUE(waitFor([&] { return inspector->activeField() == city; })) << "the click did not start editing";
    pressKey("Tab");
    EXPECT_EQ(focus(), "zip");
    EXPECT_EQ(person->values.get("city"), fnd::Value(fnd::Set { "Paris" }));

    // Letters in the integer field are refused: the model keeps 12 and the field shows it again.
    xdotool("type --delay 30 abc");
    pressKey("Tab");
    EXPECT_EQ(focus(), "tags0");
    EXPECT_EQ(person->values.get("zip"), fnd::Value(12));
    EXPECT_EQ(valueRunText(*zip), "12");
    EXPECT_EQ(delegate->refused, (std::vector<std::string> { "abc" }));
    // Back with Shift+Tab, a negative number: kept as typed.
    pressKey("shift+Tab");
    EXPECT_EQ(focus(), "zip");
    xdotool("type --delay 30 -- -5");
    pressKey("Tab");
    EXPECT_EQ(person->values.get("zip"), fnd::Value(-5));
    EXPECT_EQ(valueRunText(*zip), "-5");
    EXPECT_TRUE(tagsKept()) << titles();

    // Tab through every row and round to the top, Shift+Tab all the way back: each stop in order, never the
    // window, and passing through the rows replaces no tag.
    auto walk = [&](const std::string& key, int count) {
        std::vector<std::string> stops;
        for (int i = 0; i < count; ++i) {
            pressKey(key);
            stops.push_back(focus());
            EXPECT_TRUE(tagsKept()) << key << " " << i << ": " << titles();
        }
        return stops;
    };
    ASSERT_EQ(focus(), "tags0");
    EXPECT_EQ(
        walk("Tab", 7), (std::vector<std::string> { "tags1", "words0", "words1", "words2", "name", "city", "zip" }));
    EXPECT_EQ(walk("shift+Tab", 8),
        (std::vector<std::string> { "city", "name", "words2", "words1", "words0", "tags1", "tags0", "zip" }));
    EXPECT_EQ(titles(), "maths physics ");
    EXPECT_EQ(words->arrangedObjects(), (fnd::Array { "red", "blue", "red" }));

    // A tag row typed into sets its own tag's title; the keyboard goes on to the next row.
    pressKey("Tab");
    ASSERT_EQ(focus(), "tags0");
    xdotool("type --delay 30 algebra");
    pressKey("Tab");
    EXPECT_EQ(focus(), "tags1");
    EXPECT_TRUE(tagsKept()) << titles();
    EXPECT_EQ(titles(), "algebra physics ");

    // The minus of the second "red" takes that one.
    auto thirdRow = inspector->charRangeOfField(*wordList->rowAtIndex(2));
    auto minus = inspector->viewsInCharacterRange(thirdRow).at(1);
    clickAt(screenPointOfView(*minus, { minus->bounds().midX(), minus->bounds().midY() }));
    ASSERT_TRUE(waitFor([&] { return words->arrangedObjects().size() == 2; })) << "the minus click";
    EXPECT_EQ(words->arrangedObjects(), (fnd::Array { "red", "blue" }));
    EXPECT_EQ(wordList->allRows().size(), 2u);
    EXPECT_EQ(person->values.get("city"), fnd::Value(fnd::Set { "Paris" }));
    EXPECT_EQ(person->values.get("zip"), fnd::Value(-5));
    EXPECT_TRUE(person->values.get("name").isNil()) << "passed through, never typed into";
    auto content = deviceRectOfContent(*window);
    settledScreen(*backend, content[0], content[1], content[2], content[3])
        .save("text-inspector-display-sets-and-tokens.png");
}

// Read through the desktop's accessibility bus as a screen reader reads it: the controls the inspector hosts are named
// by their fields' labels (the colour well by its label, a URL field's button by what it opens), and the button that
// opens an address is enabled while its field holds one (with its scheme, also one without a dot).
TEST_F(TextInspectorDisplayTest, AnAtSpiClientHearsTheHostedControlsByTheirFieldsLabels)
{
    person->values.set("homepage", "https://d.example");
    person->values.set("colour", fnd::Value(gfx::Color::colorWithDeviceRed(1, 0.5, 0, 1)));
    inspector = ZORTextViewInspector::create({ 0, 0, 420, 200 });
    inspector->setEditableState(true);
    auto name = field<ZORTextViewInspectorTextField>("name", "Name", "Full name");
    auto colour = field<ZORTextViewInspectorColorField>("colour", "Label colour", "");
    auto url = [&](const char* key, const char* label) {
        auto made = ZORTextViewInspectorField::makeForProperty<ZORTextViewInspectorURLField>(key, nullptr);
        made->setLabel(Label::fieldLabelWithString(label));
        made->fieldAtIndex(0)->setLabel(nullptr);
        made->fieldAtIndex(0)->setPlaceholder(fnd::String("Address"));
        made->bindURLFieldToObject(*person, key);
        made->setEditable(true);
        return made;
    };
    auto homepage = url("homepage", "Homepage");
    auto blog = url("blog", "Blog");
    inspector->addFieldsArray({ name, colour, homepage, blog });
    window = showWindow({ 80, 80, 420, 200 }, inspector);
    window->setTitle("Picture");
    const std::string self = "pid:" + std::to_string(::getpid());
    auto read = [&] {
        return testsupport::AccessibleTree::fromDump(
            runWhileServing(*backend, testsupport::AccessibleTree::dumpCommand(self)).output);
    };

    auto tree = read();
    const auto* well = tree.find("push button", "Label colour");
    ASSERT_TRUE(well) << tree.text();
    EXPECT_EQ(well->valueText, "red 100%, green 50%, blue 0%");
    const auto* open = tree.find("push button", "Open Homepage");
    ASSERT_TRUE(open) << tree.text();
    EXPECT_TRUE(open->has("enabled")) << "there is an address to open";
    EXPECT_EQ(open->actions, std::vector<std::string> { "click" });
    const auto* openBlog = tree.find("push button", "Open Blog");
    ASSERT_TRUE(openBlog) << tree.text();
    EXPECT_FALSE(openBlog->has("enabled")) << "no address to open";
    for (const auto& node : tree.nodes())
        EXPECT_TRUE(node.role != "push button" || !node.name.empty()) << tree.text();

    // An address given to the empty field enables its button; taken away, the button is disabled again.
    person->setValueForKey(fnd::String("blog.example"), "blog");
    tree = read();
    ASSERT_TRUE(tree.find("push button", "Open Blog")) << tree.text();
    EXPECT_TRUE(tree.find("push button", "Open Blog")->has("enabled"));
    person->setValueForKey(fnd::Value(), "homepage");
    tree = read();
    ASSERT_TRUE(tree.find("push button", "Open Homepage")) << tree.text();
    EXPECT_FALSE(tree.find("push button", "Open Homepage")->has("enabled"));
    // An address without a dot is one to open too.
    person->setValueForKey(fnd::String("http://localhost:8080"), "homepage");
    tree = read();
    ASSERT_TRUE(tree.find("push button", "Open Homepage")) << tree.text();
    EXPECT_TRUE(tree.find("push button", "Open Homepage")->has("enabled"));
}
