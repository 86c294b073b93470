#include "ControlsTestSupport.h"

#include "platform/ui/accessibility/AccessibilityPartElement.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/containers/TabView.h"
#include "platform/ui/containers/TabViewItem.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/ColorWell.h"
#include "platform/ui/controls/PopUpButton.h"
#include "platform/ui/controls/SegmentedControl.h"
#include "platform/ui/controls/Slider.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/tables/TableColumn.h"
#include "platform/ui/tables/TableView.h"
#include "platform/ui/tables/TableViewDataSource.h"
#include "platform/ui/text/ComboBox.h"
#include "platform/ui/text/SecureTextField.h"
#include "platform/ui/text/TextField.h"
#include "platform/ui/text/TextView.h"

using namespace ui;
using namespace controlstest;

namespace {

namespace A = AccessibilityAttribute;

// Remembers what the tree announces: (notification, element) in order, and the elements destroyed.
class AccessibilityRecorder : public AccessibilityObserver {
public:
    AccessibilityRecorder() { addAccessibilityObserver(this); }
    ~AccessibilityRecorder() override { removeAccessibilityObserver(this); }

    void accessibilityNotification(AccessibilityElement& element, const fnd::String& notification) override
    {
        heard.emplace_back(notification.utf8(), &element);
    }
    void accessibilityElementDestroyed(const AccessibilityElement* element) override { destroyed.push_back(element); }

    bool heardAbout(const fnd::String& notification, const AccessibilityElement* element) const
    {
        return std::find(heard.begin(), heard.end(), std::pair(notification.utf8(), element)) != heard.end();
    }

    std::vector<std::pair<std::string, const AccessibilityElement*>> heard;
    std::vector<const AccessibilityElement*> destroyed;
};

fnd::Value attribute(const fnd::Value& element, const fnd::String& name)
{
    auto* e = accessibilityElement(element);
    return e ? accessibilityAttribute(*e, name) : fnd::Value();
}

fnd::Value attribute(const AccessibilityElement& element, const fnd::String& name)
{
    return accessibilityAttribute(element, name);
}

std::vector<fnd::Value> childrenOf(const fnd::Value& element)
{
    auto children = attribute(element, A::Children);
    return children.isArray() ? *children.array() : std::vector<fnd::Value>();
}

// "role:title-or-value" of each child, the way a screen reader walks a window.
std::string describeChildren(const fnd::Value& element)
{
    std::string text;
    for (const auto& child : childrenOf(element)) {
        auto role = attribute(child, A::Role).stringValue().utf8();
        auto title = attribute(child, A::Title);
        auto name = title.isString() && !title.string()->isEmpty() ? title : attribute(child, A::Value);
        text += (text.empty() ? "" : " ") + role.substr(2) + ":" + name.stringValue().utf8();
    }
    return text;
}

class AccessibilityTest : public ControlsTest {
protected:
    AccessibilityRecorder recorder;
};

TEST_F(AccessibilityTest, WindowTreeFlattensGroupingViewsAndNamesEveryControl)
{
    window->setTitle("Form");
    // A plain view groups a label and its field; it is left out, its children move up to the window.
    auto group = View::create({ 10, 150, 300, 80 });
    auto label = TextField::create({ 0, 40, 80, 20 });
    label->setEditable(false);
    label->setBezeled(false);
    label->setStringValue("Content:");
    auto field = TextField::create({ 90, 40, 200, 24 });
    field->setStringValue("4006381");
    field->setAccessibilityTitleUIElement(label);
    group->addSubview(label);
    group->addSubview(field);
    add(group);
    auto button = Button::create({ 10, 110, 90, 30 }, "Export");
    add(button);
    auto check = Button::create({ 110, 110, 90, 30 }, "Caption");
    check->setButtonType(ButtonType::Switch);
    check->setState(ControlStateValue::On);
    add(check);
    auto popUp = PopUpButton::create({ 10, 70, 150, 26 });
    popUp->addItemsWithTitles({ "EAN-13", "QR Code" });
    popUp->selectItemAtIndex(1);
    add(popUp);
    auto slider = Slider::create({ 170, 70, 140, 24 });
    slider->setMinValue(0);
    slider->setMaxValue(10);
    slider->setDoubleValue(4);
    add(slider);
    auto hidden = Button::create({ 10, 10, 90, 30 }, "Hidden");
    hidden->setHidden(true);
    add(hidden);

    auto w = window->selfValue();
    EXPECT_EQ(attribute(w, A::Role), fnd::Value("AXWindow"));
    EXPECT_EQ(attribute(w, A::Subrole), fnd::Value("AXStandardWindow"));
    EXPECT_EQ(attribute(w, A::Title), fnd::Value("Form"));
    EXPECT_EQ(describeChildren(w),
        "StaticText:Content: TextField:4006381 Button:Export CheckBox:Caption PopUpButton:QR Code Slider:4");
    EXPECT_EQ(attribute(field->selfValue(), A::Parent).object(), window) << "the group is ignored";
    EXPECT_EQ(attribute(field->selfValue(), A::TitleUIElement).object(), label);
    EXPECT_EQ(attribute(check->selfValue(), A::Value), fnd::Value(1));
    EXPECT_EQ(attribute(check->selfValue(), A::RoleDescription), fnd::Value("check box"));
    EXPECT_EQ(attribute(slider->selfValue(), A::MaxValue), fnd::Value(10.0));

    // The pop-up's child is its menu, the menu's children its items, the selected one among them.
    auto menus = childrenOf(popUp->selfValue());
    ASSERT_EQ(menus.size(), 1u);
    EXPECT_EQ(attribute(menus[0], A::Role), fnd::Value("AXMenu"));
    EXPECT_EQ(attribute(menus[0], A::Parent).object(), popUp);
    EXPECT_EQ(describeChildren(menus[0]), "MenuItem:EAN-13 MenuItem:QR Code");
    EXPECT_EQ(attribute(childrenOf(menus[0])[1], A::MenuItemMarkChar), fnd::Value("\u2713"));

    // The application is the root: its children are the windows on screen.
    auto windows = childrenOf(app().selfValue());
    EXPECT_NE(std::find(windows.begin(), windows.end(), w), windows.end());
    EXPECT_EQ(attribute(w, A::Parent).object().get(), &app());
    EXPECT_EQ(attribute(app().selfValue(), A::Role), fnd::Value("AXApplication"));
    EXPECT_EQ(attribute(app().selfValue(), A::FocusedWindow), w);

    // An override value answers before the element's own; removing it brings the own one back.
    button->accessibilitySetOverrideValue(fnd::String("Export the barcode"), A::Description);
    EXPECT_EQ(attribute(button->selfValue(), A::Description), fnd::Value("Export the barcode"));
    EXPECT_EQ(button->accessibilityDescription(), fnd::String("Export the barcode"));
    button->setAccessibilityDescription({});
    EXPECT_TRUE(attribute(button->selfValue(), A::Description).isNil());
}

// An ignored view that answers children of its own instead of its subviews' elements.
class AccessibilityLendingView : public View {
public:
    fnd::Array lent;
    fnd::Value accessibilityAttributeValue(const fnd::String& name) const override
    {
        return name == A::Children ? fnd::Value(lent) : View::accessibilityAttributeValue(name);
    }
};

TEST_F(AccessibilityTest, IgnoredViewsGiveWayToWhatTheyAnswerAsChildrenAtAnyDepth)
{
    auto button = [](const char* title) { return Button::create({ 0, 0, 60, 20 }, title); };
    auto outer = View::create({ 0, 0, 300, 200 });
    outer->addSubview(button("One"));
    auto inner = View::create({ 0, 0, 100, 100 });
    inner->addSubview(button("Two"));
    auto gone = button("Gone");
    gone->setHidden(true);
    inner->addSubview(gone);
    outer->addSubview(inner);
    auto hiddenGroup = View::create({ 0, 0, 100, 100 });
    hiddenGroup->addSubview(button("Under a hidden view"));
    hiddenGroup->setHidden(true);
    outer->addSubview(hiddenGroup);
    outer->addSubview(button("Three"));
    add(outer);
    // A value set for the children answers for a plain view in place of its subviews.
    auto described = View::create({ 0, 0, 100, 100 });
    described->addSubview(button("Own"));
    auto lentButton = button("Lent");
    described->accessibilitySetOverrideValue(fnd::Array { lentButton->selfValue() }, A::Children);
    add(described);
    auto lending = std::make_shared<AccessibilityLendingView>();
    lending->initWithFrame({ 0, 0, 100, 100 });
    lending->addSubview(button("Six"));
    auto five = button("Five");
    lending->lent = { five->selfValue() };
    add(lending);

    auto w = window->selfValue();
    EXPECT_EQ(describeChildren(w), "Button:One Button:Two Button:Three Button:Lent Button:Five");

    inner->setHidden(true);
    described->accessibilitySetOverrideValue({}, A::Children);
    lending->lent.clear();
    EXPECT_EQ(describeChildren(w), "Button:One Button:Three Button:Own");
}

TEST_F(AccessibilityTest, ActionsPerformedThroughTheTreeChangeTheControls)
{
    auto button = Button::create({ 10, 180, 90, 30 }, "Export");
    button->setTarget(log);
    button->setAction("clicked:");
    add(button);
    ASSERT_EQ(button->accessibilityActionNames(), std::vector<fnd::String> { AccessibilityAction::Press });
    EXPECT_EQ(button->accessibilityActionDescription(AccessibilityAction::Press), fnd::String("press"));
    button->accessibilityPerformAction(AccessibilityAction::Press);
    EXPECT_EQ(log->count("clicked"), 1);
    button->setEnabled(false);
    button->accessibilityPerformAction(AccessibilityAction::Press);
    EXPECT_EQ(log->count("clicked"), 1) << "a disabled button does nothing";

    auto check = Button::create({ 110, 180, 90, 30 }, "Caption");
    check->setButtonType(ButtonType::Switch);
    add(check);
    check->accessibilityPerformAction(AccessibilityAction::Press);
    EXPECT_EQ(attribute(*check, A::Value), fnd::Value(1));
    EXPECT_EQ(check->state(), ControlStateValue::On);

    // Choosing an item of the pop-up's menu selects it and sends the action, without opening the menu.
    auto popUp = PopUpButton::create({ 10, 140, 150, 26 });
    popUp->addItemsWithTitles({ "EAN-13", "EAN-8", "QR Code" });
    popUp->setTarget(log);
    popUp->setAction("clicked:");
    add(popUp);
    auto items = childrenOf(childrenOf(popUp->selfValue())[0]);
    accessibilityElement(items[2])->accessibilityPerformAction(AccessibilityAction::Press);
    EXPECT_EQ(popUp->indexOfSelectedItem(), 2);
    EXPECT_EQ(attribute(*popUp, A::Value), fnd::Value("QR Code"));
    EXPECT_EQ(log->count("clicked"), 2);

    // A slider steps a twentieth of its range and takes a value set through the tree.
    auto slider = Slider::create({ 170, 140, 140, 24 });
    slider->setMinValue(0);
    slider->setMaxValue(200);
    slider->setDoubleValue(50);
    add(slider);
    slider->accessibilityPerformAction(AccessibilityAction::Increment);
    EXPECT_DOUBLE_EQ(slider->doubleValue(), 60);
    ASSERT_TRUE(slider->accessibilityIsAttributeSettable(A::Value));
    slider->accessibilitySetValue(fnd::Value(195.0), A::Value);
    slider->accessibilityPerformAction(AccessibilityAction::Increment);
    EXPECT_DOUBLE_EQ(slider->doubleValue(), 200) << "clamped at the maximum";

    // Tabs are radio buttons; pressing one selects it.
    auto tabs = TabView::create({ 10, 10, 300, 120 });
    for (const char* label : { "General", "Advanced" }) {
        auto item = TabViewItem::create(fnd::String(label));
        item->setLabel(label);
        item->setView(View::create());
        tabs->addTabViewItem(item);
    }
    add(tabs);
    EXPECT_EQ(attribute(*tabs, A::Role), fnd::Value("AXTabGroup"));
    auto tabElements = *attribute(*tabs, A::Tabs).array();
    ASSERT_EQ(tabElements.size(), 2u);
    EXPECT_EQ(attribute(tabElements[0], A::Value), fnd::Value(1));
    EXPECT_EQ(attribute(tabElements[1], A::RoleDescription), fnd::Value("tab"));
    accessibilityElement(tabElements[1])->accessibilityPerformAction(AccessibilityAction::Press);
    EXPECT_EQ(tabs->selectedTabViewItem(), tabs->tabViewItems()[1]);
    EXPECT_EQ(attribute(tabElements[0], A::Value), fnd::Value(0));
    EXPECT_TRUE(recorder.heardAbout(AccessibilityNotification::SelectedChildrenChanged, tabs.get()));
}

TEST_F(AccessibilityTest, NamesTheStringTableLacksReadPlainly)
{
    // Role, role with subrole and action names with and without a text of their own in the table.
    const struct {
        fnd::String role, subrole, expected;
    } roles[] = {
        { "AXButton", "", "button" },
        { "AXRadioButton", "AXTabButton", "tab" },
        { "AXButton", "AXNoSuchSubrole", "button" },
        { "AXFancyWidget", "", "fancy widget" },
        { "AXFancyWidget", "AXTabButton", "fancy widget" },
        { "Gauge", "", "gauge" },
    };
    for (const auto& [role, subrole, expected] : roles)
        EXPECT_EQ(accessibilityRoleDescription(role, subrole), expected) << role.utf8() << " " << subrole.utf8();
    const std::pair<fnd::String, fnd::String> actions[] = {
        { "AXPress", "press" },
        { "AXJiggleTwice", "jiggletwice" },
        { "Wobble", "wobble" },
        { "AX", "" },
    };
    for (const auto& [action, expected] : actions)
        EXPECT_EQ(accessibilityActionDescription(action), expected) << action.utf8();
}

TEST_F(AccessibilityTest, SegmentsAreRadioButtonsOfTheirGroupAndAPressChoosesOne)
{
    auto segmented = SegmentedControl::create({ 20, 100, 240, 24 });
    segmented->setSegmentCount(3);
    for (long i = 0; i < 3; ++i)
        segmented->setLabel(std::vector<fnd::String> { "Left", "Centre", "Right" }[std::size_t(i)], i);
    segmented->setSelectedSegment(0);
    segmented->setTarget(log);
    segmented->setAction("clicked:");
    add(segmented);
    EXPECT_EQ(attribute(*segmented, A::Role), fnd::Value("AXRadioGroup"));
    EXPECT_EQ(describeChildren(segmented->selfValue()), "RadioButton:Left RadioButton:Centre RadioButton:Right");
    auto segments = childrenOf(segmented->selfValue());
    EXPECT_EQ(attribute(segments[0], A::Value), fnd::Value(1));
    EXPECT_EQ(attribute(segments[2], A::Parent).object(), segmented);
    accessibilityElement(segments[2])->accessibilityPerformAction(AccessibilityAction::Press);
    EXPECT_EQ(segmented->selectedSegment(), 2);
    EXPECT_EQ(log->count("clicked"), 1);
    EXPECT_EQ(attribute(segments[0], A::Value), fnd::Value(0));
    // Each segment lies where the cell draws it, within the control.
    auto control = attribute(*segmented, A::Position).point();
    auto first = attribute(segments[0], A::Position).point();
    auto third = attribute(segments[2], A::Position).point();
    ASSERT_TRUE(control && first && third);
    EXPECT_GE(first->x, control->x);
    EXPECT_GT(third->x, first->x + 100) << "segments side by side";
}

TEST_F(AccessibilityTest, TextFieldsTellTextSelectionAndFocusWhileEdited)
{
    auto field = TextField::create({ 20, 180, 200, 24 });
    field->setStringValue("ab");
    add(field);
    EXPECT_FALSE(attribute(*field, A::Focused).boolValue());
    EXPECT_EQ(attribute(*field, A::SelectedTextRange).range(), (fnd::Range { 2, 0 })) << "caret at the end";

    // Focusing through the tree starts editing; the field, not the field editor, has the focus.
    ASSERT_TRUE(field->accessibilityIsAttributeSettable(A::Focused));
    field->accessibilitySetValue(true, A::Focused);
    ASSERT_TRUE(field->currentEditor());
    EXPECT_TRUE(attribute(*field, A::Focused).boolValue());
    EXPECT_EQ(attribute(window->selfValue(), A::FocusedUIElement).object(), field);
    EXPECT_TRUE(recorder.heardAbout(AccessibilityNotification::FocusedUIElementChanged, field.get()));
    EXPECT_EQ(describeChildren(window->selfValue()), "TextField:ab") << "the field editor is ignored";

    // Focusing selected the whole text: typing replaces it.
    key("c", 8);
    key("d", 2);
    EXPECT_EQ(attribute(*field, A::Value), fnd::Value("cd"));
    EXPECT_EQ(attribute(*field, A::NumberOfCharacters), fnd::Value(2));
    EXPECT_EQ(attribute(*field, A::SelectedTextRange).range(), (fnd::Range { 2, 0 }));
    EXPECT_TRUE(recorder.heardAbout(AccessibilityNotification::ValueChanged, field.get()));
    EXPECT_TRUE(recorder.heardAbout(AccessibilityNotification::SelectedTextChanged, field.get()));

    field->accessibilitySetValue(fnd::Range { 0, 1 }, A::SelectedTextRange);
    EXPECT_EQ(attribute(*field, A::SelectedText), fnd::Value("c"));
    // A value set through the tree is typed into the editor, so the field's delegate hears of it.
    int changes = 0;
    auto token = fnd::NotificationCenter::defaultCenter().addObserverForName(
        ControlNotification::TextDidChange, field->selfValue(), [&](const fnd::Notification&) { ++changes; });
    field->accessibilitySetValue(fnd::String("4006381"), A::Value);
    fnd::NotificationCenter::defaultCenter().removeObserver(token);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(attribute(*field, A::Value), fnd::Value("4006381"));
    EXPECT_EQ(field->accessibilityAttributeValueForParameter(
                  AccessibilityParameterizedAttribute::StringForRange, fnd::Range { 1, 3 }),
        fnd::Value("006"));

    // A password field tells bullets, one per character.
    auto secret = SecureTextField::create({ 20, 140, 200, 24 });
    secret->setStringValue("hunter");
    add(secret);
    EXPECT_EQ(attribute(*secret, A::Subrole), fnd::Value("AXSecureTextField"));
    EXPECT_EQ(attribute(*secret, A::Value), fnd::Value("\u2022\u2022\u2022\u2022\u2022\u2022"));

    // A text view is a text area with its own text and caret.
    auto text = TextView::create({ 20, 20, 200, 100 });
    text->setString("one\ntwo");
    text->setSelectedRange({ 5, 0 });
    add(text);
    EXPECT_EQ(attribute(*text, A::Role), fnd::Value("AXTextArea"));
    EXPECT_EQ(attribute(*text, A::InsertionPointLineNumber), fnd::Value(1));
    text->accessibilitySetValue(fnd::String("X"), A::SelectedText);
    EXPECT_EQ(text->string(), fnd::String("one\ntXwo"));
}

class AccessibilityTableSource : public TableViewDataSource {
public:
    long numberOfRowsInTableView(TableView&) override { return 3; }
    fnd::Value tableViewObjectValueForTableColumn(TableView&, TableColumn* column, long row) override
    {
        return fnd::String(column->identifier().utf8() + std::to_string(row));
    }
};

TEST_F(AccessibilityTest, TablesAnswerRowsOfCellsAndSelectThroughThem)
{
    auto source = std::make_shared<AccessibilityTableSource>();
    auto scroll = ScrollView::create({ 10, 10, 300, 200 });
    auto table = TableView::create({ 0, 0, 300, 200 });
    for (const char* id : { "name", "size" })
        table->addTableColumn(TableColumn::create(id));
    table->setDataSource(source);
    scroll->setDocumentView(table);
    scroll->setHasVerticalScroller(true);
    add(scroll);
    table->reloadData();

    EXPECT_EQ(describeChildren(window->selfValue()), "ScrollArea:");
    auto scrollChildren = childrenOf(scroll->selfValue());
    ASSERT_FALSE(scrollChildren.empty());
    EXPECT_EQ(scrollChildren[0].object(), table);
    auto rows = childrenOf(table->selfValue());
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(attribute(rows[1], A::Role), fnd::Value("AXRow"));
    EXPECT_EQ(attribute(rows[1], A::Index), fnd::Value(1));
    EXPECT_EQ(describeChildren(rows[1]), "TextField:name1 TextField:size1") << "the table's cells are editable";
    EXPECT_EQ(attribute(rows[1], A::Parent).object(), table);
    EXPECT_EQ(childrenOf(table->selfValue())[1], rows[1]) << "the same element for the same row";

    // A row's frame on the screen is its rect converted through the table and the window.
    auto rowRect = window->convertRectToScreen(table->convertRectToView(table->rectOfRow(1), nullptr));
    EXPECT_EQ(attribute(rows[1], A::Position).point(), rowRect.origin);
    EXPECT_EQ(attribute(rows[1], A::Size).size(), rowRect.size);

    accessibilityElement(rows[2])->accessibilitySetValue(true, A::Selected);
    EXPECT_EQ(table->selectedRow(), 2);
    EXPECT_TRUE(recorder.heardAbout(AccessibilityNotification::SelectedRowsChanged, table.get()));
    table->accessibilitySetValue(fnd::Array { rows[0] }, A::SelectedRows);
    EXPECT_EQ(table->selectedRow(), 0);
    EXPECT_EQ(*attribute(*table, A::SelectedRows).array(), fnd::Array { rows[0] });
}

// Names outside the protocol, and near misses of its names, are answered by no element: nil, not settable, and a
// value set for them changes nothing. Known names an element does not have answer nil too.
TEST_F(AccessibilityTest, NamesAnElementDoesNotKnowAnswerNothing)
{
    auto field = TextField::create({ 10, 10, 200, 24 });
    field->setStringValue("4006381");
    add(field);
    add(SecureTextField::create({ 10, 40, 200, 24 }));
    add(TextView::create({ 10, 70, 200, 60 }));
    auto check = Button::create({ 220, 40, 90, 30 }, "Caption");
    check->setButtonType(ButtonType::Switch);
    add(check);
    auto popUp = PopUpButton::create({ 220, 70, 150, 26 });
    popUp->addItemsWithTitles({ "EAN-13", "QR Code" });
    add(popUp);
    auto slider = Slider::create({ 10, 140, 200, 24 });
    slider->setMaxValue(10);
    add(slider);
    auto segmented = SegmentedControl::create({ 220, 140, 150, 24 });
    segmented->setSegmentCount(2);
    add(segmented);
    auto tabs = TabView::create({ 10, 170, 300, 100 });
    for (const char* label : { "One", "Two" })
        tabs->addTabViewItem(TabViewItem::create(fnd::String(label)));
    add(tabs);
    auto source = std::make_shared<AccessibilityTableSource>();
    auto scroll = ScrollView::create({ 10, 280, 300, 100 });
    auto table = TableView::create({ 0, 0, 300, 100 });
    table->addTableColumn(TableColumn::create("name"));
    table->setDataSource(source);
    scroll->setDocumentView(table);
    add(scroll);
    table->reloadData();

    std::vector<fnd::Value> elements { window->selfValue() };
    for (std::size_t at = 0; at < elements.size() && elements.size() < 200; ++at)
        for (const auto& child : childrenOf(elements[at]))
            if (std::find(elements.begin(), elements.end(), child) == elements.end())
                elements.push_back(child);
    ASSERT_GT(elements.size(), 20u) << "rows, cells, tabs, segments and menu items are reached";

    const fnd::String strangers[] = { "", "AXrole", "AXRoles", "AXRol", "AXValue ", "axValue", "AXSelectedRow",
        "AXNumberOfCharacter", "AXStringForRange", A::Edited, A::Columns, A::Expanded, A::ValueDescription };
    for (const auto& element : elements) {
        auto* e = accessibilityElement(element);
        ASSERT_TRUE(e);
        const auto role = attribute(element, A::Role).stringValue().utf8();
        for (const auto& name : strangers) {
            EXPECT_TRUE(attribute(element, name).isNil()) << role << " answers " << name.utf8();
            EXPECT_FALSE(e->accessibilityIsAttributeSettable(name)) << role << " lets " << name.utf8() << " be set";
            e->accessibilitySetValue(fnd::String("0"), name);
        }
    }
    EXPECT_EQ(field->stringValue(), fnd::String("4006381"));
    EXPECT_EQ(check->state(), ControlStateValue::Off);
    EXPECT_EQ(slider->doubleValue(), 0);
    EXPECT_EQ(tabs->indexOfTabViewItem(*tabs->selectedTabViewItem()), 0);
    EXPECT_EQ(table->selectedRow(), -1);
}

TEST_F(AccessibilityTest, FramesAndHitTestingUseScreenCoordinates)
{
    auto button = Button::create({ 40, 60, 100, 30 }, "Export");
    add(button);
    // The content view is not flipped: the button's origin lies at the content's origin plus its frame's.
    auto content = window->contentRectForFrameRect(window->frame());
    gfx::Point expected { content.minX() + 40, content.minY() + 60 };
    EXPECT_EQ(attribute(*button, A::Position).point(), expected);
    EXPECT_EQ(attribute(*button, A::Size).size(), (gfx::Size { 100, 30 }));
    EXPECT_EQ(window->accessibilityHitTest({ expected.x + 50, expected.y + 15 }).object(), button);
    EXPECT_EQ(app().accessibilityHitTest({ expected.x + 50, expected.y + 15 }).object(), button);
    EXPECT_EQ(window->accessibilityHitTest({ expected.x + 150, expected.y + 15 }).object(), window)
        << "over the ignored content view: the window";
}

TEST_F(AccessibilityTest, ChangesReachObserversAndGoneElementsAreReported)
{
    auto button = Button::create({ 40, 60, 100, 30 }, "Export");
    add(button);
    EXPECT_TRUE(recorder.heardAbout(AccessibilityNotification::ChildrenChanged, window.get()))
        << "the content view is ignored: the window's children changed";
    button->setTitle("Save");
    EXPECT_TRUE(recorder.heardAbout(AccessibilityNotification::ValueChanged, button.get()));
    window->setTitle("Renamed");
    EXPECT_TRUE(recorder.heardAbout(AccessibilityNotification::TitleChanged, window.get()));
    button->setFrameOrigin({ 50, 60 });
    EXPECT_TRUE(recorder.heardAbout(AccessibilityNotification::Moved, button.get()));

    const AccessibilityElement* gone = button.get();
    button->removeFromSuperview();
    button.reset();
    EXPECT_NE(std::find(recorder.destroyed.begin(), recorder.destroyed.end(), gone), recorder.destroyed.end());

    // Nothing is posted while nobody listens.
    removeAccessibilityObserver(&recorder);
    EXPECT_FALSE(isAccessibilityObserved());
    recorder.heard.clear();
    window->setTitle("Quiet");
    EXPECT_TRUE(recorder.heard.empty());
    addAccessibilityObserver(&recorder);
}

TEST_F(AccessibilityTest, MainMenuIsTheMenuBarAndItsItemsPerformTheirActions)
{
    auto main = Menu::create("Main");
    auto file = main->addItemWithTitle("File");
    auto submenu = Menu::create("File");
    auto exportItem = submenu->addItemWithTitle("Export…", "clicked:", "e");
    exportItem->setTarget(log);
    main->setSubmenu(submenu, *file);
    app().setMainMenu(main);

    auto bar = attribute(app().selfValue(), A::MenuBar);
    EXPECT_EQ(bar.object(), main);
    EXPECT_EQ(attribute(bar, A::Role), fnd::Value("AXMenuBar"));
    EXPECT_EQ(describeChildren(bar), "MenuBarItem:File");
    auto fileMenu = childrenOf(childrenOf(bar)[0]);
    ASSERT_EQ(fileMenu.size(), 1u);
    EXPECT_EQ(attribute(fileMenu[0], A::Parent).object(), file);
    auto exportElement = childrenOf(fileMenu[0])[0];
    EXPECT_EQ(attribute(exportElement, A::MenuItemCmdChar), fnd::Value("Ctrl+E"));
    accessibilityElement(exportElement)->accessibilityPerformAction(AccessibilityAction::Press);
    EXPECT_EQ(log->count("clicked"), 1);
    app().setMainMenu(nullptr);
}

// A menu tells where it shows while open and which item the keyboard is on, as a backend's menu bar tells it: the
// item is focused and selected, the item whose menu is open below it selected only, and every change is heard once.
TEST_F(AccessibilityTest, MenusTellWhereTheyShowAndWhichItemTheKeyboardIsOn)
{
    auto main = Menu::create("Main");
    auto file = main->addItemWithTitle("File");
    auto submenu = Menu::create("File");
    auto exportItem = submenu->addItemWithTitle("Export…", "clicked:", "e");
    exportItem->setTarget(log);
    auto quit = submenu->addItemWithTitle("Quit", "clicked:", "q");
    main->setSubmenu(submenu, *file);
    app().setMainMenu(main);

    // No window shows a bar here: the application holds it, after its windows.
    auto children = childrenOf(app().selfValue());
    ASSERT_FALSE(children.empty());
    EXPECT_EQ(children.back().object(), main);
    EXPECT_EQ(attribute(*main, A::Parent).object().get(), &app());
    EXPECT_TRUE(attribute(*exportItem, A::Window).isNil()) << "a closed menu shows nowhere";

    submenu->setAccessibilityShownInWindow(window);
    EXPECT_TRUE(recorder.heardAbout(AccessibilityNotification::MenuOpened, submenu.get()));
    EXPECT_EQ(attribute(*exportItem, A::Window).object(), window);
    main->accessibilityHighlightItem(file, MenuHighlight::Select);
    submenu->accessibilityHighlightItem(exportItem, MenuHighlight::Focus);
    EXPECT_TRUE(recorder.heardAbout(AccessibilityNotification::StateChanged, file.get()));
    EXPECT_TRUE(recorder.heardAbout(AccessibilityNotification::FocusedUIElementChanged, exportItem.get()));
    EXPECT_EQ(attribute(*exportItem, A::Focused), fnd::Value(true));
    EXPECT_EQ(attribute(*exportItem, A::Selected), fnd::Value(true));
    EXPECT_EQ(attribute(*file, A::Selected), fnd::Value(true));
    EXPECT_EQ(attribute(*file, A::Focused), fnd::Value(false)) << "its menu is open below it";

    // Down: the keyboard moves on; the item left loses focus and selection, and hears of it.
    recorder.heard.clear();
    submenu->accessibilityHighlightItem(quit, MenuHighlight::Focus);
    EXPECT_TRUE(recorder.heardAbout(AccessibilityNotification::StateChanged, exportItem.get()));
    EXPECT_TRUE(recorder.heardAbout(AccessibilityNotification::FocusedUIElementChanged, quit.get()));
    EXPECT_EQ(attribute(*exportItem, A::Focused), fnd::Value(false));
    submenu->accessibilityHighlightItem(quit, MenuHighlight::Focus);
    EXPECT_EQ(recorder.heard.size(), 2u) << "the same item again is no change";

    submenu->setAccessibilityShownInWindow(nullptr);
    EXPECT_TRUE(recorder.heardAbout(AccessibilityNotification::MenuClosed, submenu.get()));
    EXPECT_EQ(attribute(*quit, A::Focused), fnd::Value(false)) << "a closed menu has no focus";

    // Validation that changes nothing is not heard; a change of enabling, title or mark is.
    recorder.heard.clear();
    exportItem->setEnabled(exportItem->isEnabled());
    EXPECT_TRUE(recorder.heard.empty());
    exportItem->setEnabled(!exportItem->isEnabled());
    exportItem->setTitle("Export as PDF…");
    exportItem->setState(ControlStateValue::On);
    EXPECT_TRUE(recorder.heardAbout(AccessibilityNotification::StateChanged, exportItem.get()));
    EXPECT_TRUE(recorder.heardAbout(AccessibilityNotification::TitleChanged, exportItem.get()));
    EXPECT_TRUE(recorder.heardAbout(AccessibilityNotification::ValueChanged, exportItem.get()));
    app().setMainMenu(nullptr);
}

// A pull-down's first item is its title, not one of its choices: its menu lists only the choices, closed as when it
// is open, where a pop-up's menu lists every item. A tab view that shows no tabs of its own is the group of its page,
// not an empty list of tabs: whatever switches its pages (a tab bar beside it) is that list.
TEST_F(AccessibilityTest, APullDownsTitleAndATablessTabViewAreNoChoices)
{
    auto titles = [](const fnd::Value& element) {
        std::string text;
        for (const auto& menu : childrenOf(element))
            for (const auto& item : childrenOf(menu))
                text += "[" + attribute(item, A::Title).stringValue().utf8() + "]";
        return text;
    };
    auto pullDown = PopUpButton::create({ 10, 10, 40, 22 }, true);
    pullDown->addItemsWithTitles({ "", "Tab 4", "Tab 5" });
    add(pullDown);
    auto popUp = PopUpButton::create({ 60, 10, 100, 22 });
    popUp->addItemsWithTitles({ "Small", "Large" });
    add(popUp);
    EXPECT_EQ(attribute(pullDown->selfValue(), A::Role), fnd::Value("AXMenuButton"));
    EXPECT_EQ(titles(pullDown->selfValue()), "[Tab 4][Tab 5]");
    EXPECT_EQ(titles(popUp->selfValue()), "[Small][Large]");

    for (auto type : { TabViewType::NoTabsNoBorder, TabViewType::NoTabsBezelBorder, TabViewType::TopTabsBezelBorder }) {
        auto tabs = TabView::create({ 10, 40, 300, 120 });
        tabs->setTabViewType(type);
        auto item = TabViewItem::create(fnd::String("page"));
        item->setLabel("Page");
        item->setView(View::create());
        tabs->addTabViewItem(item);
        add(tabs);
        const bool tabless = type != TabViewType::TopTabsBezelBorder;
        EXPECT_EQ(attribute(tabs->selfValue(), A::Role).stringValue().utf8(), tabless ? "AXGroup" : "AXTabGroup")
            << int(type);
        EXPECT_EQ(attribute(tabs->selfValue(), A::Tabs).array()->size(), tabless ? 0u : 1u) << int(type);
        tabs->removeFromSuperview();
    }
}

// A program marks a field invalid and names what describes it through override values; each change is heard once.
TEST_F(AccessibilityTest, OverrideValuesMarkAFieldInvalidAndAreToldOnlyWhenTheyChange)
{
    auto field = TextField::create({ 10, 10, 200, 24 });
    auto hint = TextField::labelWithString("Allowed: [0-9]");
    add(field);
    add(hint);
    recorder.heard.clear();
    EXPECT_TRUE(field->accessibilitySetOverrideValue(true, A::Invalid));
    EXPECT_TRUE(field->accessibilitySetOverrideValue(fnd::Array { hint->selfValue() }, A::DescribedBy));
    EXPECT_EQ(attribute(*field, A::Invalid), fnd::Value(true));
    EXPECT_EQ(attribute(*field, A::DescribedBy), fnd::Value(fnd::Array { hint->selfValue() }));
    EXPECT_EQ(std::count(recorder.heard.begin(), recorder.heard.end(),
                  std::pair(AccessibilityNotification::StateChanged.utf8(), (const AccessibilityElement*)field.get())),
        2);
    recorder.heard.clear();
    field->accessibilitySetOverrideValue(true, A::Invalid);
    field->accessibilitySetOverrideValue(fnd::Array { hint->selfValue() }, A::DescribedBy);
    EXPECT_TRUE(recorder.heard.empty()) << "the same values again";
    field->accessibilitySetOverrideValue({}, A::Invalid);
    EXPECT_TRUE(recorder.heardAbout(AccessibilityNotification::StateChanged, field.get()));
    EXPECT_TRUE(attribute(*field, A::Invalid).isNil());
}

// A colour well's value is its colour in words, with the opacity when it is not opaque, and it tells each change.
TEST_F(AccessibilityTest, ColourWellsTellTheirColourInWords)
{
    auto well = ColorWell::create({ 10, 10, 52, 24 });
    add(well);
    well->setColor(gfx::Color::colorWithCalibratedRed(1, 0.5, 0, 1));
    // 1, 0.5, 0 are 100, 50 and 0 per cent.
    EXPECT_EQ(attribute(*well, A::Value), fnd::Value("red 100%, green 50%, blue 0%"));
    EXPECT_EQ(attribute(*well, A::ValueDescription), fnd::Value("red 100%, green 50%, blue 0%"));
    EXPECT_TRUE(recorder.heardAbout(AccessibilityNotification::ValueChanged, well.get()));
    // 0.333 is 33 per cent, rounded; a quarter opaque.
    well->setColor(gfx::Color::colorWithCalibratedRed(0, 0.333, 1, 0.25));
    EXPECT_EQ(attribute(*well, A::Value), fnd::Value("red 0%, green 33%, blue 100%, opacity 25%"));
    well->setColor(nullptr);
    EXPECT_TRUE(attribute(*well, A::Value).isNil()) << "no colour, no words";
}

// A combo box holds its list: rows named by the items, the one the field shows selected, shown only while the list
// is open; a row chosen or pressed through the tree is the person's choice.
TEST_F(AccessibilityTest, ComboBoxesListTheirItemsAndChooseThroughThem)
{
    auto box = ComboBox::create({ 10, 150, 120, 24 });
    box->addItemsWithObjectValues({ fnd::String("9"), fnd::String("10"), fnd::String("12") });
    box->setStringValue("10");
    box->setTarget(log);
    box->setAction("clicked:");
    add(box);

    auto children = childrenOf(box->selfValue());
    ASSERT_FALSE(children.empty());
    auto list = children.back();
    EXPECT_EQ(attribute(list, A::Role), fnd::Value(AccessibilityRole::List));
    EXPECT_EQ(attribute(list, A::Parent).object(), box);
    EXPECT_EQ(describeChildren(list), "Row:9 Row:10 Row:12");
    auto rows = childrenOf(list);
    EXPECT_EQ(attribute(list, A::SelectedChildren), fnd::Value(fnd::Array { rows[1] })) << "the text the field shows";
    EXPECT_TRUE(attribute(list, A::Window).isNil()) << "closed, the list shows nowhere";
    EXPECT_TRUE(attribute(rows[0], A::Position).isNil());

    auto* row2 = accessibilityElement(rows[2]);
    ASSERT_TRUE(row2->accessibilityIsAttributeSettable(A::Selected));
    row2->accessibilitySetValue(true, A::Selected);
    EXPECT_EQ(box->stringValue(), fnd::String("12"));
    EXPECT_EQ(box->indexOfSelectedItem(), 2);
    EXPECT_EQ(log->count("clicked"), 1);

    // Open: the list shows in its window, each row where it is drawn, and the keyboard's row is heard.
    box->showList();
    ASSERT_TRUE(box->listWindow());
    EXPECT_TRUE(recorder.heardAbout(AccessibilityNotification::MenuOpened, accessibilityElement(list)));
    EXPECT_EQ(attribute(list, A::Window).object(), box->listWindow());
    ASSERT_TRUE(box->listRectOfItem(0));
    EXPECT_EQ(attribute(rows[0], A::Position).point(), box->listRectOfItem(0)->origin);
    box->setHighlightedIndex(0);
    EXPECT_TRUE(recorder.heardAbout(AccessibilityNotification::FocusedUIElementChanged, accessibilityElement(rows[0])));
    EXPECT_EQ(attribute(rows[0], A::Focused), fnd::Value(true));
    accessibilityElement(rows[1])->accessibilityPerformAction(AccessibilityAction::Press);
    EXPECT_EQ(box->stringValue(), fnd::String("10"));
    EXPECT_FALSE(box->isListShown()) << "a choice closes the list";
    EXPECT_TRUE(recorder.heardAbout(AccessibilityNotification::MenuClosed, accessibilityElement(list)));
    EXPECT_EQ(log->count("clicked"), 2);

    // A row of another box is no row of this one.
    auto other = ComboBox::create({ 10, 100, 120, 24 });
    other->addItemsWithObjectValues({ fnd::String("a"), fnd::String("b"), fnd::String("c") });
    add(other);
    auto otherRows = childrenOf(childrenOf(other->selfValue()).back());
    accessibilityElement(list)->accessibilitySetValue(fnd::Array { otherRows[2] }, A::SelectedChildren);
    EXPECT_EQ(box->stringValue(), fnd::String("10"));
    accessibilityElement(list)->accessibilitySetValue(fnd::Array { rows[0] }, A::SelectedChildren);
    EXPECT_EQ(box->stringValue(), fnd::String("9"));
}

}
