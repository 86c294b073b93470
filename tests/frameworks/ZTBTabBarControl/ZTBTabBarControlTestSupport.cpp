#include "ZTBTabBarControlTestSupport.h"

namespace ztbtest {

BarWindow BarWindow::make(gfx::Point origin, double width, double height)
{
    BarWindow w;
    w.window = ui::Window::create({ origin, { width, height } });
    w.window->setShowsResizeIndicator(false);
    w.tabView = ui::TabView::create({ 0, 0, width, height - 22 });
    w.tabView->setTabViewType(ui::TabViewType::NoTabsNoBorder);
    w.bar = ZTBTabBarControl::create({ 0, height - 22, width, 22 });
    w.window->contentView()->addSubview(w.tabView);
    w.window->contentView()->addSubview(w.bar);
    w.bar->setTabView(w.tabView);
    w.tabView->setDelegate(w.bar);
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
    for (const auto& c : bar->cells())
        labels.push_back(c->isPlaceholder() ? "_" : c->stringValue().utf8());
    return labels;
}

std::vector<std::string> BarWindow::tabLabels() const
{
    std::vector<std::string> labels;
    for (const auto& item : tabView->tabViewItems())
        labels.push_back(item->label().utf8());
    return labels;
}

std::shared_ptr<ZTBTabBarCell> BarWindow::cell(const std::string& label) const
{
    for (const auto& c : bar->cells())
        if (!c->isPlaceholder() && c->stringValue().utf8() == label)
            return c;
    return nullptr;
}

gfx::Point BarWindow::centreOf(const std::string& label) const
{
    const gfx::Rect f = cell(label)->frame();
    return bar->convertPointToView({ f.midX(), f.midY() }, nullptr);
}

TabBarControlTest::TabBarControlTest()
{
    a = BarWindow::make({ 100, 100 });
    settle();
}

TabBarControlTest::~TabBarControlTest()
{
    // The assistant serves the whole process: no drag outlives a test.
    ZTBTabDragAssistant::sharedDragAssistant()->finishDrag();
}

void TabBarControlTest::runFor(double seconds)
{
    fnd::RunLoop::current().runUntilDate(clock->now().addingTimeInterval(seconds));
}

void TabBarControlTest::settle()
{
    for (int pass = 0; pass < 4; ++pass) {
        fnd::RunLoop::current().runUntilDate(clock->now());
        backend->dispatchEvents();
    }
}

void TabBarControlTest::drag(ui::Window& from, gfx::Point start, const std::vector<gfx::Point>& path, unsigned modifiers)
{
    backend->mouseDown(from, start, modifiers);
    for (const auto& p : path)
        backend->mouseDragged(from, p, modifiers);
    backend->mouseUp(from, path.empty() ? start : path.back(), modifiers);
    backend->dispatchEvents();
    settle();
}

std::vector<gfx::Point> TabBarControlTest::steps(gfx::Point from, gfx::Point to, int count)
{
    std::vector<gfx::Point> points;
    for (int i = 1; i <= count; ++i)
        points.push_back({ from.x + (to.x - from.x) * i / count, from.y + (to.y - from.y) * i / count });
    return points;
}

}
