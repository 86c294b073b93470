#include "QFTabBarViewTestSupport.h"

#include "frameworks/QFTabBarView/QFTabDragAssistant.h"

#include "platform/foundation/runtime/RunLoop.h"

namespace qftest {

BarWindow BarWindow::make(gfx::Point origin, double width, double height)
{
    BarWindow w;
    w.window = ui::Window::create({ origin, { width, height } });
    w.tabView = ui::TabView::create({ 0, 0, width, height - 22 });
    w.tabView->setTabViewType(ui::TabViewType::NoTabsNoBorder);
    w.bar = QFTabBarView::create({ 0, height - 22, width, 22 });
    w.window->contentView()->addSubview(w.tabView);
    w.window->contentView()->addSubview(w.bar);
    w.bar->setTabView(w.tabView);
    w.bar->setDelegate(w.delegate);
    w.bar->setPartnerView(w.tabView);
    w.window->makeKeyAndOrderFront();
    return w;
}

std::shared_ptr<ui::TabViewItem> BarWindow::addItem(const std::string& label)
{
    auto item = ui::TabViewItem::create();
    item->setLabel(fnd::String(label));
    tabView->addTabViewItem(item);
    return item;
}

std::vector<std::string> BarWindow::barLabels() const
{
    std::vector<std::string> labels;
    for (const auto& button : bar->orderedAttachedButtons())
        labels.push_back(button->tabViewItem() ? button->tabViewItem()->label().utf8() : "?");
    return labels;
}

std::vector<std::string> BarWindow::tabLabels() const
{
    std::vector<std::string> labels;
    for (const auto& item : tabView->tabViewItems())
        labels.push_back(item->label().utf8());
    return labels;
}

std::shared_ptr<QFAttachedTabBarButton> BarWindow::button(const std::string& label) const
{
    for (const auto& candidate : bar->attachedButtons())
        if (candidate->tabViewItem() && candidate->tabViewItem()->label().utf8() == label)
            return candidate;
    return nullptr;
}

gfx::Point BarWindow::centreOf(const std::string& label) const
{
    auto b = button(label);
    return b->convertPointToView({ b->bounds().midX(), b->bounds().midY() }, nullptr);
}

TabBarTest::TabBarTest()
{
    a = BarWindow::make({ 100, 100 });
}

TabBarTest::~TabBarTest()
{
    // The assistant is shared by the process: no drag outlives a test.
    QFTabDragAssistant::sharedDragAssistant()->finishDragOfPasteboardItem(nullptr);
}

void TabBarTest::runFor(double seconds)
{
    fnd::RunLoop::current().runUntilDate(clock->now().addingTimeInterval(seconds));
}

void TabBarTest::settle()
{
    for (int pass = 0; pass < 4; ++pass) {
        fnd::RunLoop::current().runUntilDate(clock->now());
        backend->dispatchEvents();
    }
}

void TabBarTest::dragPath(ui::Window& from, gfx::Point start, const std::vector<gfx::Point>& path)
{
    backend->mouseDown(from, start);
    for (const auto& p : path)
        backend->mouseDragged(from, p);
    backend->mouseUp(from, path.empty() ? start : path.back());
    backend->dispatchEvents();
    settle();
}

std::shared_ptr<gfx::BitmapImageRep> TabBarTest::snapshot(ui::Window& window, const char* name)
{
    auto image = backend->imageOfWindow(window);
    uitest::keepSnapshot(image, name);
    return image;
}

std::string selectionMarksProblem(const QFTabBarView& bar)
{
    const auto buttons = bar.orderedAttachedButtons();
    const auto selected = bar.selectedTabViewItem();
    long at = -1;
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (selected && buttons[i]->tabViewItem() == selected)
            at = long(i);
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const long k = long(i);
        const auto bits = buttons[i]->tabState();
        const auto item = buttons[i]->tabViewItem();
        const std::string label = item ? item->label().utf8() : "?";
        if ((buttons[i]->state() == ui::ControlStateValue::On) != (k == at))
            return "button " + label + " has the wrong selected state";
        if (bool(bits & QFTabState::NextSelected) != (at >= 0 && k == at - 1))
            return "button " + label + " has the wrong mark for a selected next tab";
        if (bool(bits & QFTabState::PreviousSelected) != (at >= 0 && k == at + 1))
            return "button " + label + " has the wrong mark for a selected previous tab";
    }
    return {};
}

}
