#include "BindingTestSupport.h"

#include "platform/foundation/bindings/ArrayController.h"
#include "platform/foundation/bindings/Binding.h"
#include "platform/foundation/bindings/SelectionMarker.h"
#include "platform/foundation/bindings/UserDefaultsController.h"
#include "platform/foundation/bindings/ValueTransformer.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/PopUpButton.h"
#include "platform/ui/menus/MenuItem.h"
#include "platform/ui/text/TextField.h"
#include "platform/ui/text/TextFieldCell.h"

#include "platform/foundation/TestSupport.h"

using namespace ui;
using namespace bindingtest;
namespace BindingName = fnd::BindingName;
namespace BindingOption = fnd::BindingOption;

namespace {

class ControlBindingTest : public BindingTest {
protected:
    ControlBindingTest()
    {
        al = RosterMember::make("Al", 40);
        bo = RosterMember::make("Bo", 30);
        cy = RosterMember::make("Cy", 20);
        people->setContent(fnd::Array { fnd::Value(cy), fnd::Value(al), fnd::Value(bo) });
    }

    std::shared_ptr<fnd::ArrayController> people = std::make_shared<fnd::ArrayController>();
    std::shared_ptr<RosterMember> al, bo, cy;
};

std::vector<std::string> titles(const PopUpButton& popUp)
{
    std::vector<std::string> out;
    for (const auto& t : popUp.itemTitles())
        out.push_back(t.utf8());
    return out;
}

}

TEST_F(ControlBindingTest, APopUpFollowsTheArrayControllerAndChoosesForIt)
{
    auto popUp = PopUpButton::create({ 20, 180, 160, 26 });
    add(popUp);
    popUp->bind(BindingName::Content, *people, "arrangedObjects");
    popUp->bind(BindingName::ContentValues, *people, "arrangedObjects.name");
    popUp->bind(BindingName::SelectedIndex, *people, "selectionIndex");
    EXPECT_EQ(titles(*popUp), (std::vector<std::string> { "Cy", "Al", "Bo" }));
    EXPECT_EQ(popUp->indexOfSelectedItem(), 0);
    EXPECT_EQ(popUp->itemAtIndex(1)->representedObject().object(), al) << "items stand for the content objects";

    // Choosing an item selects its object in the controller.
    backend->answerNextPopUpMenu(2);
    click(*popUp);
    EXPECT_EQ(names(people->selectedObjects()), "Bo");

    // Sorting reorders the items and keeps the chosen object chosen.
    people->setSortDescriptors({ fnd::SortDescriptor::sortDescriptorWithKey("name") });
    EXPECT_EQ(titles(*popUp), (std::vector<std::string> { "Al", "Bo", "Cy" }));
    EXPECT_EQ(popUp->titleOfSelectedItem(), u"Bo");

    // Adding selects the new object, in the pop-up too; removing passes the choice on.
    people->addObject(RosterMember::make("Di"));
    EXPECT_EQ(titles(*popUp), (std::vector<std::string> { "Al", "Bo", "Cy", "Di" }));
    EXPECT_EQ(popUp->titleOfSelectedItem(), u"Di");
    people->setSelectionIndex(0);
    people->remove({});
    EXPECT_EQ(titles(*popUp), (std::vector<std::string> { "Bo", "Cy", "Di" }));
    EXPECT_EQ(popUp->titleOfSelectedItem(), u"Bo");
    EXPECT_EQ(names(people->selectedObjects()), "Bo");

    // A renamed person is a renamed item.
    cy->setValueForKey(fnd::Value("Cyd"), "name");
    EXPECT_EQ(titles(*popUp), (std::vector<std::string> { "Bo", "Cyd", "Di" }));
    EXPECT_EQ(popUp->titleOfSelectedItem(), u"Bo");

    // Two objects with one name are two items.
    people->addObject(RosterMember::make("Bo"));
    EXPECT_EQ(titles(*popUp), (std::vector<std::string> { "Bo", "Cyd", "Di", "Bo" }));
    backend->answerNextPopUpMenu(3);
    click(*popUp);
    EXPECT_EQ(people->selectionIndex(), 3);

    // A title set by hand adds an item that stands for nobody: choosing it leaves the controller's choice alone.
    popUp->setTitle("Somebody else");
    ASSERT_EQ(popUp->numberOfItems(), 5);
    backend->answerNextPopUpMenu(4);
    click(*popUp);
    EXPECT_EQ(people->selectionIndex(), 3);
    popUp->selectItemAtIndex(3);

    popUp->unbind(BindingName::SelectedIndex);
    people->setSelectionIndex(1);
    EXPECT_EQ(popUp->indexOfSelectedItem(), 3) << "unbound: the pop-up keeps its own choice";
}

TEST_F(ControlBindingTest, APopUpShowsAMarkerAsAnItemOfItsOwnAndWritesTheChosenObject)
{
    // Each person's partner is chosen among the people.
    auto partners = PopUpButton::create({ 20, 140, 160, 26 });
    add(partners);
    partners->bind(BindingName::Content, *people, "arrangedObjects");
    partners->bind(BindingName::ContentValues, *people, "arrangedObjects.name");
    partners->bind(BindingName::SelectedObject, *people, "selection.partner",
        { { BindingOption::MultipleValuesPlaceholder, "Several partners" } });
    EXPECT_EQ(partners->indexOfSelectedItem(), -1) << "Cy has no partner";

    cy->partner = al;
    bo->partner = cy;
    people->setSelectionIndexes({ 0, 2 });
    EXPECT_EQ(titles(*partners), (std::vector<std::string> { "Several partners", "Cy", "Al", "Bo" }));
    EXPECT_EQ(partners->indexOfSelectedItem(), 0);

    // Choosing a person gives both selected people that partner; the placeholder item goes.
    backend->answerNextPopUpMenu(2);
    click(*partners);
    EXPECT_EQ(cy->partner, al);
    EXPECT_EQ(bo->partner, al);
    EXPECT_EQ(titles(*partners), (std::vector<std::string> { "Cy", "Al", "Bo" }));
    EXPECT_EQ(partners->titleOfSelectedItem(), u"Al");

    people->setSelectionIndexes({});
    EXPECT_EQ(titles(*partners), (std::vector<std::string> { "No Selection", "Cy", "Al", "Bo" }));
    // Choosing the placeholder changes nothing.
    backend->answerNextPopUpMenu(0);
    click(*partners);
    EXPECT_TRUE(people->selectionIndexes().isEmpty());
}

TEST_F(ControlBindingTest, ATextFieldShowsMarkersAsPlaceholdersAndWritesToTheSelection)
{
    auto field = TextField::create({ 20, 180, 200, 24 });
    field->setPlaceholderString("Name");
    add(field);
    field->bind(BindingName::Value, *people, "selection.name", { { BindingOption::ConditionallySetsEnabled, true } });
    auto cell = std::dynamic_pointer_cast<TextFieldCell>(field->cell());
    EXPECT_EQ(field->stringValue(), u"Cy");
    EXPECT_EQ(cell->placeholderString(), u"Name");

    people->setSelectionIndexes({ 0, 2 });
    EXPECT_EQ(field->stringValue(), u"");
    EXPECT_EQ(cell->placeholderString(), u"Multiple Values");
    EXPECT_FALSE(field->isEnabled()) << "multiple values may not be edited without the option";
    uitest::keepSnapshot(backend->imageOfWindow(*window), "multiple-values");

    // Left as it is, the field writes nothing; what the user types goes to every selected person.
    field->sendAction(field->action(), field->target());
    EXPECT_EQ(cy->name, u"Cy");
    field->setStringValue("Zed");
    field->sendAction(field->action(), field->target());
    EXPECT_EQ(cy->name, u"Zed");
    EXPECT_EQ(bo->name, u"Zed");
    EXPECT_EQ(al->name, u"Al");
    EXPECT_EQ(cell->placeholderString(), u"Name") << "one value again: the field's own placeholder";
    EXPECT_EQ(field->stringValue(), u"Zed");

    people->setSelectionIndexes({});
    EXPECT_EQ(cell->placeholderString(), u"No Selection");
    EXPECT_FALSE(field->isEnabled());
    people->setSelectionIndex(1);
    EXPECT_TRUE(field->isEnabled());
    EXPECT_EQ(field->stringValue(), u"Al");
    // A model change reaches the field.
    al->setValueForKey(fnd::Value("Alan"), "name");
    EXPECT_EQ(field->stringValue(), u"Alan");

    // Nil shows the null placeholder; a transformer changes values both ways but never markers.
    auto ages = TextField::create({ 20, 140, 200, 24 });
    add(ages);
    ages->bind(BindingName::Value, *people, "selection.partner.name",
        { { BindingOption::NullPlaceholder, "No partner" },
            { BindingOption::NoSelectionPlaceholder, "Pick someone" } });
    auto agesCell = std::dynamic_pointer_cast<TextFieldCell>(ages->cell());
    EXPECT_EQ(agesCell->placeholderString(), u"No partner");
    people->setSelectionIndexes({});
    EXPECT_EQ(agesCell->placeholderString(), u"Pick someone");
}

TEST_F(ControlBindingTest, ButtonsFollowValueEnabledAndHiddenBindings)
{
    auto active = Button::create({ 20, 180, 120, 20 }, "Active");
    active->setButtonType(ButtonType::Switch);
    auto remove = Button::create({ 20, 140, 120, 28 }, "Remove");
    add(active);
    add(remove);
    active->bind(BindingName::Value, *people, "selection.active");
    remove->bind(BindingName::Enabled, *people, "canRemove");
    remove->bind(BindingName::Hidden, *people, "selection.active",
        { { BindingOption::ValueTransformerName, fnd::ValueTransformerName::NegateBoolean } });
    EXPECT_EQ(active->state(), ControlStateValue::Off);
    EXPECT_TRUE(remove->isHidden()) << "hidden while the selected person is not active";

    click(*active);
    EXPECT_TRUE(cy->active) << "the click went to the model";
    EXPECT_FALSE(remove->isHidden());
    EXPECT_TRUE(remove->isEnabled());
    people->setSelectionIndexes({});
    EXPECT_FALSE(remove->isEnabled());
    EXPECT_FALSE(remove->isHidden()) << "a marker does not hide";

    bo->setValueForKey(fnd::Value(true), "active");
    people->setSelectedObjects({ fnd::Value(bo) });
    EXPECT_EQ(active->state(), ControlStateValue::On);
    bo->setValueForKey(fnd::Value(false), "active");
    EXPECT_EQ(active->state(), ControlStateValue::Off);

    remove->unbind(BindingName::Enabled);
    remove->setEnabled(false);
    people->setSelectionIndex(0);
    EXPECT_FALSE(remove->isEnabled()) << "unbound: enabled is the button's own again";
}

TEST_F(ControlBindingTest, AControlBoundToTheDefaultsAppliesAtOnceAndFollowsThem)
{
    testsupport::TemporaryFolder folder;
    auto defaults = std::make_shared<fnd::UserDefaults>("org.example.Bindings", fnd::String(folder.path()));
    defaults->registerDefaults({ { "ShowCaption", true } });
    auto controller = std::make_shared<fnd::UserDefaultsController>(defaults);
    auto caption = Button::create({ 20, 180, 120, 20 }, "Caption");
    caption->setButtonType(ButtonType::Switch);
    add(caption);
    caption->bind(BindingName::Value, *controller, "values.ShowCaption");
    EXPECT_EQ(caption->state(), ControlStateValue::On);

    click(*caption);
    EXPECT_FALSE(defaults->boolForKey("ShowCaption"));
    fnd::UserDefaults reread("org.example.Bindings", fnd::String(folder.path()));
    EXPECT_EQ(reread.objectForKey("ShowCaption"), fnd::Value(false)) << "written to the file at once";
    defaults->setBool(true, "ShowCaption");
    EXPECT_EQ(caption->state(), ControlStateValue::On) << "a change made elsewhere reaches the control";
    defaults->removeObjectForKey("ShowCaption");
    EXPECT_EQ(caption->state(), ControlStateValue::On);
}

TEST_F(ControlBindingTest, TextTypedIntoABoundFieldReachesTheModelWhenTabEndsTheEditing)
{
    auto field = TextField::create({ 10, 150, 150, 24 });
    auto other = TextField::create({ 10, 100, 150, 24 });
    add(field);
    add(other);
    field->bind(BindingName::Value, *al, "name");
    window->makeFirstResponder(field);
    for (char16_t c : std::u16string(u"Alma")) {
        backend->keyDown(*window, fnd::String(std::u16string(1, c)), 0, 0);
        backend->dispatchEvents();
    }
    EXPECT_EQ(al->name.utf8(), "Al") << "nothing is written while the field is being edited";
    // Tab ends the editing without an action: the edit still has to reach the model.
    backend->keyDown(*window, u"\t", KeyCode::Tab, 0);
    backend->dispatchEvents();
    EXPECT_EQ(al->name.utf8(), "Alma") << "typing replaced the selected text";
}
