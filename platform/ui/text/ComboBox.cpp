#include "platform/ui/text/ComboBox.h"

#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/look/ControlLook.h"
#include "platform/ui/text/TextView.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace detail {

// The list a combo box shows in its pop-up window: one row per item, the highlighted one in the accent colour,
// scrolled so that the highlighted row is visible.
class ComboBoxListView : public View {
    FND_OBJECT(ComboBoxListView)

public:
    static std::shared_ptr<ComboBoxListView> create(gfx::Rect frame, ComboBox& box)
    {
        auto view = std::make_shared<ComboBoxListView>();
        view->initWithFrame(frame);
        view->m_box = std::static_pointer_cast<ComboBox>(box.shared_from_this());
        return view;
    }

    bool isFlipped() const override { return true; }
    bool isOpaque() const override { return true; }

    long rowAtPoint(gfx::Point p) const
    {
        auto box = m_box.lock();
        if (!box || !gfx::pointInRect(p, bounds()))
            return -1;
        auto row = m_firstVisible + static_cast<long>(std::floor(p.y / box->itemHeight()));
        return row < box->numberOfItems() ? row : -1;
    }

    long firstVisibleRow() const { return m_firstVisible; }

    void scrollToShow(long row)
    {
        auto box = m_box.lock();
        if (!box || row < 0)
            return;
        auto visible = box->numberOfVisibleItems();
        if (row < m_firstVisible)
            m_firstVisible = row;
        else if (row >= m_firstVisible + visible)
            m_firstVisible = row - visible + 1;
        setNeedsDisplay(true);
    }

    void drawRect(gfx::Rect) override
    {
        auto box = m_box.lock();
        auto* context = gfx::GraphicsContext::current();
        if (!box || !context)
            return;
        auto cell = box->comboBoxCell();
        context->setFillColor(*ControlLook::fieldBackgroundColor());
        context->fillRect(bounds());
        double height = box->itemHeight();
        auto attributes = txt::Attributes { { txt::FontAttributeName, fnd::Value(box->font()) } };
        for (long row = m_firstVisible, n = box->numberOfItems(); row < n; ++row) {
            gfx::Rect rect { 0, (row - m_firstVisible) * height, bounds().width(), height };
            if (rect.minY() >= bounds().height())
                break;
            bool highlighted = row == box->highlightedIndex();
            if (highlighted) {
                context->setFillColor(*ControlLook::accentColor(true));
                context->fillRect(rect);
            }
            attributes.set(txt::ForegroundColorAttributeName,
                fnd::Value(highlighted ? ControlLook::textOnAccentColor(true) : ControlLook::textColor(true)));
            txt::AttributedString text(cell->itemStringAtIndex(row), attributes);
            auto size = text.size();
            text.drawAtPoint({ 6, rect.minY() + std::round((height - size.height) / 2) });
        }
        // A one-point border keeps the list apart from what is under it.
        context->setStrokeColor(*ControlLook::borderColor());
        auto frame = gfx::BezierPath::bezierPathWithRect(gfx::insetRect(bounds(), 0.5, 0.5));
        frame->setLineWidth(1);
        context->strokePath(*frame);
    }

    void mouseDown(const Event& event) override
    {
        auto box = m_box.lock();
        if (!box)
            return;
        auto self = shared_from_this();
        auto& app = Application::shared();
        auto current = std::make_shared<Event>(event);
        // The row under the mouse is highlighted; releasing over a row chooses it.
        for (;;) {
            auto row = rowAtPoint(convertPointFromView(current->locationInWindow(), nullptr));
            if (row >= 0)
                box->setHighlightedIndex(row);
            if (current->type() == EventType::LeftMouseUp) {
                if (row >= 0)
                    box->chooseItem(row);
                return;
            }
            current = app.nextEvent(EventMasks::LeftMouseUp | EventMasks::LeftMouseDragged, fnd::Date::distantFuture(),
                fnd::RunLoopMode::EventTracking, true);
            if (!current)
                return;
        }
    }

private:
    std::weak_ptr<ComboBox> m_box;
    long m_firstVisible { 0 };
};

FND_REGISTER_CLASS(ComboBoxListView, View)

}

FND_REGISTER_CLASS(ComboBox, TextField)

void ComboBox::describeClass(fnd::ClassBuilder<ComboBox>& c)
{
    c.property("usesDataSource", &ComboBox::usesDataSource, &ComboBox::setUsesDataSource);
    c.property("completes", &ComboBox::completes, &ComboBox::setCompletes);
    c.property("numberOfVisibleItems", &ComboBox::numberOfVisibleItems, &ComboBox::setNumberOfVisibleItems);
    c.property("itemHeight", &ComboBox::itemHeight, &ComboBox::setItemHeight);
    c.property("indexOfSelectedItem", &ComboBox::indexOfSelectedItem, &ComboBox::selectItemAtIndex);
    c.property("objectValues", &ComboBox::objectValues, [](ComboBox& box, const std::vector<fnd::Value>& items) {
        // Checked before the old items go, so a refused list changes nothing.
        if (auto cell = std::dynamic_pointer_cast<ComboBoxCell>(box.cell()))
            for (const auto& item : items)
                cell->checkItem(item);
        box.removeAllItems();
        box.addItemsWithObjectValues(items);
    });
}

ComboBox::~ComboBox()
{
    if (m_listMonitor)
        Application::shared().removeMonitor(m_listMonitor);
    if (m_listWindow) {
        if (auto parent = m_listWindow->parentWindow())
            parent->removeChildWindow(m_listWindow);
        m_listWindow->close();
    }
}

std::shared_ptr<ComboBox> ComboBox::create(gfx::Rect frame)
{
    return makeView<ComboBox>(frame);
}

std::shared_ptr<Cell> ComboBox::makeCell() const
{
    auto cell = fnd::makeObject<ComboBoxCell>();
    cell->setBezeled(true);
    cell->setDrawsBackground(true);
    cell->setScrollable(true);
    return cell;
}

// Items.

bool ComboBox::usesDataSource() const
{
    auto c = comboBoxCell();
    return c && c->usesDataSource();
}

void ComboBox::setUsesDataSource(bool flag)
{
    if (auto c = comboBoxCell())
        c->setUsesDataSource(flag);
}

std::shared_ptr<ComboBoxDataSource> ComboBox::dataSource() const
{
    auto c = comboBoxCell();
    return c ? c->dataSource() : nullptr;
}

void ComboBox::setDataSource(const std::shared_ptr<ComboBoxDataSource>& dataSource)
{
    if (auto c = comboBoxCell())
        c->setDataSource(dataSource);
}

void ComboBox::addItemWithObjectValue(const fnd::Value& object)
{
    if (auto c = comboBoxCell())
        c->addItemWithObjectValue(object);
    reloadData();
}

void ComboBox::addItemsWithObjectValues(const std::vector<fnd::Value>& objects)
{
    if (auto c = comboBoxCell())
        c->addItemsWithObjectValues(objects);
    reloadData();
}

void ComboBox::insertItemWithObjectValue(const fnd::Value& object, long index)
{
    if (auto c = comboBoxCell())
        c->insertItemWithObjectValue(object, index);
    reloadData();
}

void ComboBox::removeItemWithObjectValue(const fnd::Value& object)
{
    if (auto c = comboBoxCell())
        c->removeItemWithObjectValue(object);
    reloadData();
}

void ComboBox::removeItemAtIndex(long index)
{
    if (auto c = comboBoxCell())
        c->removeItemAtIndex(index);
    reloadData();
}

void ComboBox::removeAllItems()
{
    if (auto c = comboBoxCell())
        c->removeAllItems();
    reloadData();
}

std::vector<fnd::Value> ComboBox::objectValues() const
{
    auto c = comboBoxCell();
    return c ? c->objectValues() : std::vector<fnd::Value> {};
}

long ComboBox::numberOfItems() const
{
    auto c = comboBoxCell();
    return c ? c->numberOfItems() : 0;
}

fnd::Value ComboBox::itemObjectValueAtIndex(long index) const
{
    auto c = comboBoxCell();
    return c ? c->itemObjectValueAtIndex(index) : fnd::Value();
}

long ComboBox::indexOfItemWithObjectValue(const fnd::Value& object) const
{
    auto c = comboBoxCell();
    return c ? c->indexOfItemWithObjectValue(object) : fnd::NotFound;
}

long ComboBox::indexOfItemWithStringValue(const fnd::String& string) const
{
    auto c = comboBoxCell();
    return c ? c->indexOfItemWithStringValue(string) : fnd::NotFound;
}

void ComboBox::reloadData()
{
    if (m_highlighted >= numberOfItems())
        m_highlighted = -1;
    accessibilityListChanged(AccessibilityNotification::ChildrenChanged);
    if (m_listWindow) {
        // The list keeps its place but takes the new number of rows.
        closeList();
        showList();
    }
}

// The chosen item.

long ComboBox::indexOfSelectedItem() const
{
    auto c = comboBoxCell();
    return c ? c->indexOfSelectedItem() : -1;
}

fnd::Value ComboBox::objectValueOfSelectedItem() const
{
    auto c = comboBoxCell();
    return c ? c->objectValueOfSelectedItem() : fnd::Value();
}

void ComboBox::selectItemAtIndex(long index)
{
    auto c = comboBoxCell();
    if (!c || index < 0 || index >= numberOfItems())
        return;
    auto self = shared_from_this();
    c->setSelectedIndex(index);
    m_highlighted = index;
    auto text = c->itemStringAtIndex(index);
    // While editing, the field editor shows the item's text, all of it selected.
    if (auto editor = std::dynamic_pointer_cast<TextView>(currentEditor())) {
        editor->replaceCharactersInRange({ 0, editor->string().length() }, text);
        editor->setSelectedRange({ 0, text.length() });
    } else {
        setObjectValue(c->itemObjectValueAtIndex(index));
    }
    if (m_listWindow) {
        if (auto list = std::dynamic_pointer_cast<detail::ComboBoxListView>(m_listWindow->contentView()))
            list->scrollToShow(index);
    }
    postNotification(ComboBoxNotification::SelectionDidChange);
    accessibilityListChanged(AccessibilityNotification::SelectedChildrenChanged);
}

void ComboBox::selectItemWithObjectValue(const fnd::Value& object)
{
    auto index = indexOfItemWithObjectValue(object);
    if (index != fnd::NotFound)
        selectItemAtIndex(index);
    else
        deselectItemAtIndex(indexOfSelectedItem());
}

void ComboBox::deselectItemAtIndex(long index)
{
    auto c = comboBoxCell();
    if (!c || index < 0 || c->indexOfSelectedItem() != index)
        return;
    c->setSelectedIndex(-1);
    setHighlightedIndex(-1);
    postNotification(ComboBoxNotification::SelectionDidChange);
}

bool ComboBox::completes() const
{
    auto c = comboBoxCell();
    return c && c->completes();
}

void ComboBox::setCompletes(bool flag)
{
    if (auto c = comboBoxCell())
        c->setCompletes(flag);
}

long ComboBox::numberOfVisibleItems() const
{
    auto c = comboBoxCell();
    return c ? c->numberOfVisibleItems() : 5;
}

void ComboBox::setNumberOfVisibleItems(long count)
{
    if (auto c = comboBoxCell())
        c->setNumberOfVisibleItems(count);
}

double ComboBox::itemHeight() const
{
    auto c = comboBoxCell();
    return c ? c->itemHeight() : 19;
}

void ComboBox::setItemHeight(double height)
{
    if (auto c = comboBoxCell())
        c->setItemHeight(height);
}

void ComboBox::postNotification(const fnd::String& name)
{
    fnd::NotificationCenter::defaultCenter().postNotificationName(name, selfValue());
}

// The list.

std::optional<gfx::Rect> ComboBox::listRectOfItem(long index) const
{
    auto list
        = m_listWindow ? std::dynamic_pointer_cast<detail::ComboBoxListView>(m_listWindow->contentView()) : nullptr;
    if (!list || index < list->firstVisibleRow() || index >= list->firstVisibleRow() + numberOfVisibleItems()
        || index >= numberOfItems())
        return std::nullopt;
    gfx::Rect row { 0, double(index - list->firstVisibleRow()) * itemHeight(), list->bounds().width(), itemHeight() };
    return m_listWindow->convertRectToScreen(list->convertRectToView(row, nullptr));
}

void ComboBox::setHighlightedIndex(long index)
{
    if (index == m_highlighted)
        return;
    m_highlighted = index;
    if (m_listWindow)
        if (auto list = std::dynamic_pointer_cast<detail::ComboBoxListView>(m_listWindow->contentView())) {
            list->scrollToShow(index);
            list->setNeedsDisplay(true);
        }
    if (index >= 0)
        postNotification(ComboBoxNotification::SelectionIsChanging);
    accessibilityListChanged(AccessibilityNotification::FocusedUIElementChanged);
}

void ComboBox::showList()
{
    auto w = window();
    if (m_listWindow || !w || numberOfItems() == 0)
        return;
    auto self = shared_from_this();
    // What Escape brings back after the arrows have browsed the list.
    if (auto editor = std::dynamic_pointer_cast<TextView>(currentEditor()))
        m_textBeforeList = editor->string();
    else
        m_textBeforeList.reset();
    postNotification(ComboBoxNotification::WillPopUp);
    double height = itemHeight() * std::min(numberOfItems(), numberOfVisibleItems());
    // Right under the box, as wide as it is.
    auto onScreen = w->convertRectToScreen(convertRectToView(bounds(), nullptr));
    gfx::Rect frame { onScreen.minX(), onScreen.minY() - height, onScreen.width(), height };
    m_listWindow = Window::create(frame, WindowStyleMask::Borderless);
    m_listWindow->setLevel(WindowLevel::PopUpMenu);
    auto list = detail::ComboBoxListView::create({ 0, 0, frame.width(), height }, *this);
    m_listWindow->setContentView(list);
    if (m_highlighted < 0)
        m_highlighted = indexOfSelectedItem();
    list->scrollToShow(m_highlighted);
    w->addChildWindow(m_listWindow, WindowOrderingMode::Above);
    m_listWindow->orderFront();
    accessibilityListChanged(AccessibilityNotification::MenuOpened);
    // A press anywhere but in the list (or on the button, which closes it itself) closes the list.
    std::weak_ptr<ComboBox> weak = std::static_pointer_cast<ComboBox>(shared_from_this());
    m_listMonitor = Application::shared().addLocalMonitorForEventsMatchingMask(
        EventMasks::LeftMouseDown | EventMasks::RightMouseDown | EventMasks::OtherMouseDown, [weak](const Event& e) {
            auto box = weak.lock();
            if (!box || !box->m_listWindow || e.windowNumber() == box->m_listWindow->windowNumber())
                return true;
            auto inBox = box->convertPointFromView(e.locationInWindow(), nullptr);
            bool onButton = e.window() == box->window()
                && gfx::pointInRect(inBox, box->comboBoxCell()->buttonRectForBounds(box->bounds()));
            if (!onButton)
                box->closeList();
            return true;
        });
}

void ComboBox::closeList()
{
    if (!m_listWindow)
        return;
    auto self = shared_from_this();
    postNotification(ComboBoxNotification::WillDismiss);
    Application::shared().removeMonitor(m_listMonitor);
    m_listMonitor = 0;
    auto list = m_listWindow;
    m_listWindow.reset();
    if (auto parent = list->parentWindow())
        parent->removeChildWindow(list);
    list->close();
    accessibilityListChanged(AccessibilityNotification::MenuClosed);
}

void ComboBox::chooseItem(long index)
{
    auto self = shared_from_this();
    selectItemAtIndex(index);
    closeList();
    // The chosen text is the field's value now.
    validateEditing();
    sendAction(action(), target());
}

void ComboBox::mouseDown(const Event& event)
{
    if (!isEnabled())
        return;
    auto self = std::static_pointer_cast<ComboBox>(shared_from_this());
    auto point = convertPointFromView(event.locationInWindow(), nullptr);
    auto c = comboBoxCell();
    if (!c || !gfx::pointInRect(point, c->buttonRectForBounds(bounds()))) {
        TextField::mouseDown(event);
        return;
    }
    // The button opens the list (and closes an open one).
    if (m_listWindow) {
        closeList();
        return;
    }
    if (auto w = window(); w && !currentEditor())
        selectText();
    showList();
}

// The field editor.

bool ComboBox::textViewShouldChangeTextInRange(TextView& fieldEditor, fnd::Range range, const fnd::String* replacement)
{
    m_typingAtEnd = replacement && !replacement->isEmpty() && range.max() == fieldEditor.string().length();
    return TextField::textViewShouldChangeTextInRange(fieldEditor, range, replacement);
}

void ComboBox::textDidChange(const fnd::Notification& notification)
{
    auto self = shared_from_this();
    auto editor = notification.object().objectAs<TextView>();
    auto c = comboBoxCell();
    if (editor && c && m_typingAtEnd && completes()) {
        // Typing at the end: the rest of the first matching item is filled in, selected.
        auto typed = editor->string();
        if (auto completed = c->completedString(typed); completed && completed->length() > typed.length()) {
            editor->replaceCharactersInRange({ 0, typed.length() }, *completed);
            editor->setSelectedRange({ typed.length(), completed->length() - typed.length() });
        }
    }
    m_typingAtEnd = false;
    // The typed text chooses the item it names.
    if (editor && c) {
        auto index = c->indexOfItemWithStringValue(editor->string());
        c->setSelectedIndex(index == fnd::NotFound ? -1 : index);
        setHighlightedIndex(index == fnd::NotFound ? -1 : index);
    }
    TextField::textDidChange(notification);
}

void ComboBox::textDidEndEditing(const fnd::Notification& notification)
{
    auto self = shared_from_this();
    // Return in an open list chooses the highlighted item before the text is taken.
    auto movement = notification.userInfo().get(TextNotification::MovementKey).integerValue();
    if (movement == TextMovement::Return && m_listWindow && m_highlighted >= 0) {
        auto editor = notification.object().objectAs<TextView>();
        if (editor)
            editor->replaceCharactersInRange(
                { 0, editor->string().length() }, comboBoxCell()->itemStringAtIndex(m_highlighted));
        if (auto c = comboBoxCell())
            c->setSelectedIndex(m_highlighted);
    }
    closeList();
    TextField::textDidEndEditing(notification);
}

bool ComboBox::textViewDoCommandBySelector(TextView& fieldEditor, fnd::Selector selector)
{
    auto self = shared_from_this();
    const long count = numberOfItems();
    if (selector == fnd::Selector("moveDown:")) {
        if (!m_listWindow) {
            showList();
            return true;
        }
        if (count > 0)
            setHighlightedIndex(std::min(count - 1, m_highlighted + 1));
        if (m_highlighted >= 0)
            selectItemAtIndex(m_highlighted);
        return true;
    }
    if (selector == fnd::Selector("moveUp:")) {
        if (m_listWindow && count > 0) {
            setHighlightedIndex(std::max(0L, m_highlighted - 1));
            selectItemAtIndex(m_highlighted);
        }
        return true;
    }
    if (selector == fnd::Selector("cancelOperation:") && m_listWindow) {
        // Escape leaves the list as if it had not been opened: the text before browsing comes back.
        closeList();
        if (m_textBeforeList && fieldEditor.string() != *m_textBeforeList) {
            fieldEditor.replaceCharactersInRange({ 0, fieldEditor.string().length() }, *m_textBeforeList);
            fieldEditor.setSelectedRange({ 0, m_textBeforeList->length() });
        }
        m_textBeforeList.reset();
        return true;
    }
    return TextField::textViewDoCommandBySelector(fieldEditor, selector);
}

}
