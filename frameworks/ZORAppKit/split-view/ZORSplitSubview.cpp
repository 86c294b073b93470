#include "frameworks/ZORAppKit/split-view/ZORSplitSubview.h"

#include "frameworks/ZORAppKit/split-view/ZORSplitView.h"
#include "frameworks/ZORAppKit/split-view/ZORSplitViewExtensions.h"
#include "frameworks/ZORAppKit/split-view/ZORSplitViewToolbar.h"

#include "platform/ui/views/Application.h"

FND_REGISTER_CLASS(ZORSplitSubview, ui::View)

void ZORSplitSubview::describeClass(fnd::ClassBuilder<ZORSplitSubview>& c)
{
    c.property(
        "resizesWithSplitView", &ZORSplitSubview::resizesWithSplitView, &ZORSplitSubview::setResizesWithSplitView);
    c.property("isCollapsible", &ZORSplitSubview::isCollapsible, &ZORSplitSubview::setIsCollapsible);
    c.property("siblingResizeMode", &ZORSplitSubview::siblingResizeMode, &ZORSplitSubview::setSiblingResizeMode);
    c.property("minSize", &ZORSplitSubview::minSize, &ZORSplitSubview::setMinSize);
    c.property("maxSize", &ZORSplitSubview::maxSize, &ZORSplitSubview::setMaxSize);
    c.action("toggleCollapse:", &ZORSplitSubview::toggleCollapse);
}

ZORSplitSubview::~ZORSplitSubview()
{
    if (m_toolbar)
        m_toolbar->removeFromSuperview();
}

std::shared_ptr<ZORSplitSubview> ZORSplitSubview::create(gfx::Rect frame)
{
    return ui::makeView<ZORSplitSubview>(frame);
}

bool ZORSplitSubview::isCollapsed() const
{
    auto split = ZORSplitViewExtensions::enclosingZORSplitView(*this);
    return split && split->isSubviewCollapsed(*this);
}

void ZORSplitSubview::setIsCollapsed(bool flag)
{
    auto split = ZORSplitViewExtensions::enclosingZORSplitView(*this);
    if (!split)
        return;
    if (flag)
        split->collapseSubview(*this);
    else
        split->expandSubview(*this);
}

void ZORSplitSubview::toggleCollapse(const fnd::Value&)
{
    if (!m_isCollapsible) {
        ui::Application::shared().beep();
        return;
    }
    setIsCollapsed(!isCollapsed());
}

std::shared_ptr<ui::View> ZORSplitSubview::splitSubviewToExpand() const
{
    auto split = ZORSplitViewExtensions::enclosingZORSplitView(*this);
    if (!split)
        return nullptr;
    const auto& list = split->subviews();
    long i = -1;
    for (std::size_t k = 0; k < list.size(); ++k) {
        if (list[k].get() == this)
            i = static_cast<long>(k);
    }
    if (i < 0)
        return nullptr;
    long target = m_siblingResizeMode == 0 ? i - 1 : m_siblingResizeMode == 1 ? i + 1 : -1;
    if (target < 0 || target >= static_cast<long>(list.size()))
        return nullptr;
    return list[static_cast<std::size_t>(target)];
}

void ZORSplitSubview::installToolbar()
{
    auto bar = ZORSplitViewToolbar::create();
    double t = bar->height();
    if (!subviews().empty()) {
        auto last = subviews().back();
        auto f = last->frame();
        last->setFrame({ f.origin.x, f.origin.y + t, f.width(), f.height() - t });
    }
    if (m_toolbar)
        m_toolbar->removeFromSuperview();
    m_toolbar = bar;
    bar->setFrame({ 0, 0, frame().width(), t });
    if (auto split = ZORSplitViewExtensions::enclosingZORSplitView(*this))
        bar->setEnclosingSplitView(split);
    addSubview(bar);
}

void ZORSplitSubview::encodeWithCoder(fnd::Coder& coder) const
{
    ui::View::encodeWithCoder(coder);
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeBool(m_resizesWithSplitView, "resizesWithSplitView");
    coder.encodeBool(m_isCollapsible, "isCollapsible");
    coder.encodeInt64(m_siblingResizeMode, "siblingResizeMode");
    coder.encodeDouble(m_minSize, "minSize");
    coder.encodeDouble(m_maxSize, "maxSize");
    coder.encodeObject(m_toolbar ? fnd::Value(m_toolbar) : fnd::Value(), "toolbar");
}

bool ZORSplitSubview::initWithCoder(fnd::Coder& coder)
{
    if (!ui::View::initWithCoder(coder) || !coder.allowsKeyedCoding())
        return !coder.hasFailed();
    if (coder.containsValueForKey("resizesWithSplitView"))
        m_resizesWithSplitView = coder.decodeBoolForKey("resizesWithSplitView");
    m_isCollapsible = coder.decodeBoolForKey("isCollapsible");
    m_siblingResizeMode = static_cast<long>(coder.decodeInt64ForKey("siblingResizeMode"));
    m_minSize = fnd::decodeBoundedDoubleForKey(coder, "minSize", 0, LargestSize, 0);
    m_maxSize = fnd::decodeBoundedDoubleForKey(coder, "maxSize", 0, LargestSize, 0);
    m_toolbar = decodeSubviewForKey<ZORSplitViewToolbar>(coder, "toolbar");
    return !coder.hasFailed();
}
