#include "ControlsTestSupport.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/locale/NumberFormatter.h"
#include "platform/graphics/Font.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/menus/MenuItem.h"
#include "platform/ui/text/TextField.h"

using namespace ui;
using namespace controlstest;

namespace {

// A cell class of a component: state of its own, copied with the cell.
class TaggedCell : public ButtonCell {
    UI_CELL_OBJECT(TaggedCell)
public:
    std::string label = "original";
};
FND_REGISTER_CLASS(TaggedCell, ButtonCell)

using CellTest = ControlsTest;

TEST_F(CellTest, ValueFormsConvertThroughTheObjectValue)
{
    auto cell = fnd::makeObject<ActionCell>();
    cell->initTextCell("42.5 apples");
    EXPECT_EQ(cell->integerValue(), 42) << "the leading number of the text";
    EXPECT_DOUBLE_EQ(cell->doubleValue(), 42.5);
    cell->setIntegerValue(7);
    EXPECT_EQ(cell->stringValue(), u"7");
    EXPECT_TRUE(cell->objectValue().isNumber());
    cell->setDoubleValue(2.25);
    EXPECT_EQ(cell->stringValue(), u"2.25");
    EXPECT_EQ(cell->intValue(), 2);
    cell->setStringValue("no number");
    EXPECT_EQ(cell->integerValue(), 0);

    // A control forwards every form to its cell.
    auto field = TextField::create({ 0, 0, 100, 24 });
    field->setDoubleValue(3.5);
    EXPECT_EQ(field->cell()->doubleValue(), 3.5);
    EXPECT_EQ(field->stringValue(), u"3.5");
    cell->setIntegerValue(9);
    field->takeIntegerValueFrom(fnd::Value(std::static_pointer_cast<fnd::Object>(cell)));
    EXPECT_EQ(field->integerValue(), 9);
}

TEST_F(CellTest, FormatterParsesAndKeepsTextItCannotRead)
{
    auto cell = fnd::makeObject<ActionCell>();
    cell->initTextCell({});
    auto formatter = std::make_shared<fnd::NumberFormatter>();
    formatter->setFormat("#0.00");
    cell->setFormatter(formatter);
    cell->setDoubleValue(1.5);
    EXPECT_EQ(cell->stringValue(), u"1.50");
    cell->setStringValue("2.75");
    EXPECT_TRUE(cell->hasValidObjectValue());
    EXPECT_TRUE(cell->objectValue().isNumber());
    EXPECT_DOUBLE_EQ(cell->doubleValue(), 2.75);
    cell->setStringValue("abc");
    EXPECT_FALSE(cell->hasValidObjectValue());
    EXPECT_EQ(cell->stringValue(), u"abc") << "what was typed is not lost";
}

TEST_F(CellTest, StateCyclesWithAndWithoutMixed)
{
    auto box = Button::checkboxWithTitle("Box", log, "clicked:");
    box->setFrame({ 10, 10, 100, 20 });
    add(box);
    std::vector<ControlStateValue> seen;
    for (int i = 0; i < 3; ++i) {
        click(*box);
        seen.push_back(box->state());
    }
    EXPECT_EQ(seen, (std::vector { ControlStateValue::On, ControlStateValue::Off, ControlStateValue::On }));

    box->setAllowsMixedState(true);
    box->setState(ControlStateValue::Off);
    seen.clear();
    for (int i = 0; i < 4; ++i) {
        click(*box);
        seen.push_back(box->state());
    }
    EXPECT_EQ(seen,
        (std::vector {
            ControlStateValue::Mixed, ControlStateValue::On, ControlStateValue::Off, ControlStateValue::Mixed }));
    EXPECT_EQ(log->count("clicked"), 7);

    box->setAllowsMixedState(false);
    EXPECT_EQ(box->state(), ControlStateValue::On) << "mixed reads as on once it is not allowed";
    box->setState(ControlStateValue::Mixed);
    EXPECT_EQ(box->state(), ControlStateValue::On);
    // The value of a button is its state.
    EXPECT_EQ(box->integerValue(), 1);
    box->setObjectValue(fnd::Value(0));
    EXPECT_EQ(box->state(), ControlStateValue::Off);
}

TEST_F(CellTest, ButtonTypesSetTheMasksComponentsRelyOn)
{
    struct Row {
        ButtonType type;
        unsigned highlightsBy;
        unsigned showsStateBy;
    };
    const Row rows[] = {
        { ButtonType::MomentaryLight, 12, 0 },
        { ButtonType::PushOnPushOff, 14, 12 },
        { ButtonType::Toggle, 3, 1 },
        { ButtonType::Switch, 1, 1 },
        { ButtonType::Radio, 1, 1 },
        { ButtonType::MomentaryChange, 1, 0 },
        { ButtonType::OnOff, 12, 12 },
        { ButtonType::MomentaryPushIn, 14, 0 },
    };
    for (const auto& row : rows) {
        auto cell = fnd::makeObject<ButtonCell>();
        cell->setButtonType(row.type);
        EXPECT_EQ(cell->highlightsBy(), row.highlightsBy) << "type " << int(row.type);
        EXPECT_EQ(cell->showsStateBy(), row.showsStateBy) << "type " << int(row.type);
    }
    // A push button shows no state, so a click leaves it as it was; a toggle flips.
    auto push = Button::create({ 10, 10, 80, 24 });
    add(push);
    click(*push);
    EXPECT_EQ(push->state(), ControlStateValue::Off);
    push->setButtonType(ButtonType::PushOnPushOff);
    click(*push);
    EXPECT_EQ(push->state(), ControlStateValue::On);
}

TEST_F(CellTest, ControlSizeGivesTheSystemFontSizes)
{
    auto button = Button::create({ 0, 0, 100, 30 }, "Size");
    const std::pair<ControlSize, double> sizes[] = {
        { ControlSize::Regular, 13 },
        { ControlSize::Small, 11 },
        { ControlSize::Mini, 9 },
    };
    double lastHeight = 1e9;
    for (auto [size, points] : sizes) {
        button->setControlSize(size);
        EXPECT_EQ(button->font()->pointSize(), points);
        double height = button->cell()->cellSize().height;
        EXPECT_LT(button->cell()->cellSize().width, 100) << "a centred title is measured by its own width";
        EXPECT_LT(height, lastHeight) << "smaller controls are smaller";
        lastHeight = height;
    }
    // A font chosen by name stays when the size changes.
    button->setFont(gfx::Font::fontWithName("DejaVu Serif", 20));
    button->setControlSize(ControlSize::Regular);
    EXPECT_EQ(button->font()->pointSize(), 20);
}

TEST_F(CellTest, CopyIsOfTheSameClassAndIndependent)
{
    auto cell = fnd::makeObject<TaggedCell>();
    cell->label = "changed";
    cell->setTitle("Original");
    cell->setFormatter(std::make_shared<fnd::NumberFormatter>());
    auto copied = std::dynamic_pointer_cast<TaggedCell>(cell->copy());
    ASSERT_TRUE(copied) << "a copy of a component's cell is of its class";
    EXPECT_EQ(copied->label, "changed");
    EXPECT_EQ(copied->title(), u"Original");
    EXPECT_NE(copied->formatter(), cell->formatter()) << "the formatter is copied";
    copied->setTitle("Copy");
    EXPECT_EQ(cell->title(), u"Original");
}

TEST_F(CellTest, ButtonCellArchivesItsSettings)
{
    auto cell = fnd::makeObject<ButtonCell>();
    cell->setTitle("Archived");
    cell->setAlternateTitle("Alternate");
    cell->setButtonType(ButtonType::Toggle);
    cell->setBezelStyle(BezelStyle::Recessed);
    cell->setKeyEquivalent("k");
    cell->setKeyEquivalentModifierMask(KeyEquivalentModifier::Command);
    cell->setState(ControlStateValue::On);
    cell->setTag(17);
    cell->setAction("clicked:");
    cell->setControlSize(ControlSize::Small);
    auto data = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(cell));
    ASSERT_TRUE(data);
    auto back = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data);
    ASSERT_TRUE(back) << back.error().localizedDescription();
    auto restored = back->objectAs<ButtonCell>();
    ASSERT_TRUE(restored);
    EXPECT_EQ(restored->title(), u"Archived");
    EXPECT_EQ(restored->alternateTitle(), u"Alternate");
    EXPECT_EQ(restored->buttonType(), ButtonType::Toggle);
    EXPECT_EQ(restored->highlightsBy(), 3u);
    EXPECT_EQ(restored->showsStateBy(), 1u);
    EXPECT_EQ(restored->bezelStyle(), BezelStyle::Recessed);
    EXPECT_EQ(restored->keyEquivalent(), u"k");
    EXPECT_EQ(restored->keyEquivalentModifierMask(), KeyEquivalentModifier::Command);
    EXPECT_EQ(restored->state(), ControlStateValue::On);
    EXPECT_EQ(restored->tag(), 17);
    EXPECT_EQ(restored->action(), fnd::Selector("clicked:"));
    EXPECT_EQ(restored->controlSize(), ControlSize::Small);
}

}
