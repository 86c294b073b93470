#include "frameworks/proportional-split-view/KJSplitView.h"

#include "frameworks/proportional-split-view/detail/KJSplitLayout.h"

#include "platform/graphics/Axis.h"
#include "platform/graphics/Image.h"
#include "platform/ui/containers/ClipView.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <cmath>

FND_REGISTER_CLASS(KJSplitView, KJSplitSubview)

void KJSplitView::describeClass(fnd::ClassBuilder<KJSplitView>& c)
{
    c.property("isHorizontal", &KJSplitView::isHorizontal, &KJSplitView::setHorizontal);
    c.property("isVertical", &KJSplitView::isVertical, &KJSplitView::setVertical);
    c.property("dividerThickness", &KJSplitView::dividerThickness, &KJSplitView::setDividerThickness);
    c.property("autosaveName", &KJSplitView::autosaveName,
        [](KJSplitView& view, const fnd::String& name) { view.setAutosaveName(name, false); });
    c.property("isCoupled", &KJSplitView::isCoupled, &KJSplitView::setCoupled);
    c.property("divider", &KJSplitView::divider, &KJSplitView::setDivider);
    // Interface files add panes through this, so they are wrapped and laid out as panes added in code.
    c.action(
        "addSubview:", static_cast<void (KJSplitView::*)(const std::shared_ptr<ui::View>&)>(&KJSplitView::addSubview));
}

std::shared_ptr<KJSplitView> KJSplitView::create(gfx::Rect frame)
{
    return ui::makeView<KJSplitView>(frame);
}

std::shared_ptr<KJSplitView> KJSplitView::create(gfx::Rect frame, std::size_t subviewCount)
{
    auto view = create(frame);
    for (std::size_t i = 0; i < subviewCount; ++i)
        view->addSubview(KJSplitSubview::create({}));
    view->setMustAdjust();
    return view;
}

void KJSplitView::initWithFrame(gfx::Rect frame)
{
    KJSplitSubview::initWithFrame(frame);
    setAutoresizesSubviews(false);
    m_dividers.clear();
    m_isCoupled = true;
    m_isDragging = false;
    m_isInScrollView = false;
    m_canSaveState = false;
    m_isHorizontal = true; // so that setVertical below takes effect
    setVertical(true);
    setDivider(nullptr);
    setAutosaveName({}, false);
    setBackground(nullptr);
}

// Panes.

std::shared_ptr<KJSplitSubview> KJSplitView::wrapped(const std::shared_ptr<ui::View>& view)
{
    if (auto subview = std::dynamic_pointer_cast<KJSplitSubview>(view))
        return subview;
    auto frame = view->frame();
    view->setFrameOrigin({ 0, 0 });
    auto wrapper = KJSplitSubview::create(frame);
    view->setAutoresizingMask(ui::AutoresizingMask::WidthSizable | ui::AutoresizingMask::HeightSizable);
    wrapper->View::addSubview(view);
    return wrapper;
}

void KJSplitView::addSubview(const std::shared_ptr<ui::View>& view)
{
    View::addSubview(wrapped(view));
    setMustAdjust();
}

void KJSplitView::addSubview(
    const std::shared_ptr<ui::View>& view, ui::WindowOrderingMode place, const ui::View* relativeTo)
{
    View::addSubview(wrapped(view), place, relativeTo);
    setMustAdjust();
}

void KJSplitView::addSubviewAtPosition(const std::shared_ptr<ui::View>& view, std::size_t position)
{
    const auto& list = subviews();
    if (position < list.size())
        addSubview(view, ui::WindowOrderingMode::Below, list[position].get());
    else
        addSubview(view);
}

std::shared_ptr<KJSplitSubview> KJSplitView::subviewWithIdentifier(const fnd::String& identifier) const
{
    for (const auto& view : subviews()) {
        auto subview = std::dynamic_pointer_cast<KJSplitSubview>(view);
        if (subview && subview->identifier() == identifier)
            return subview;
    }
    return nullptr;
}

std::shared_ptr<KJSplitSubview> KJSplitView::subviewAtPosition(std::size_t position) const
{
    const auto& list = subviews();
    return position < list.size() ? std::dynamic_pointer_cast<KJSplitSubview>(list[position]) : nullptr;
}

std::vector<std::shared_ptr<KJSplitSubview>> KJSplitView::KJ_subviews() const
{
    std::vector<std::shared_ptr<KJSplitSubview>> visible;
    visible.reserve(subviews().size());
    for (const auto& view : subviews()) {
        auto subview = std::dynamic_pointer_cast<KJSplitSubview>(view);
        if (subview && !subview->isHidden())
            visible.push_back(subview);
    }
    return visible;
}

std::size_t KJSplitView::KJ_numberOfSubviews() const
{
    // Counted in place: every collapse check and divider pass asks, and a list built only to be measured cost a
    // shared pointer per pane each time.
    std::size_t count = 0;
    for (const auto& view : subviews()) {
        const auto* subview = dynamic_cast<const KJSplitSubview*>(view.get());
        if (subview && !subview->isHidden())
            ++count;
    }
    return count;
}

void KJSplitView::didAddSubview(ui::View& subview)
{
    // Also for views added through the plain view operations (an interface file's loader): they lay out again.
    View::didAddSubview(subview);
    setMustAdjust();
}

void KJSplitView::willRemoveSubview(ui::View& subview)
{
    if (auto* leaving = dynamic_cast<KJSplitSubview*>(&subview))
        leaving->KJ_stopAnimation();
    View::willRemoveSubview(subview);
    setMustAdjust();
}

// Orientation and appearance.

bool KJSplitView::isHorizontal() const
{
    if (auto container = splitView())
        return container->isVertical();
    return m_isHorizontal;
}

void KJSplitView::setHorizontal(bool flag)
{
    if (splitView() || flag == m_isHorizontal)
        return;
    m_isHorizontal = flag;
    if (auto image = divider())
        m_dividerThickness = gfx::along(image->size(), axis());
    else
        m_dividerThickness = 0;
    setMustAdjust();
}

gfx::ColorPtr KJSplitView::background() const
{
    if (isCoupled()) {
        if (auto coupling = couplingSplitView())
            return coupling->background();
    }
    return m_background;
}

void KJSplitView::setBackground(gfx::ColorPtr color)
{
    if (isCoupled())
        return;
    if (!color || !(color->alphaComponent() > 0))
        color = nullptr;
    m_background = std::move(color);
    setNeedsDisplay(true);
}

bool KJSplitView::isOpaque() const
{
    if (isCoupled()) {
        if (auto coupling = couplingSplitView())
            return coupling->isOpaque();
    }
    return m_background && m_background->alphaComponent() >= 1.0;
}

std::shared_ptr<gfx::Image> KJSplitView::divider() const
{
    if (isCoupled()) {
        if (auto coupling = couplingSplitView())
            return coupling->divider();
    }
    return m_divider;
}

void KJSplitView::setDivider(const std::shared_ptr<gfx::Image>& image)
{
    if (isCoupled())
        return;
    if (image && !image->isFlipped()) {
        m_divider = image->copy();
        m_divider->setFlipped(true);
    } else {
        m_divider = image;
    }
    setDividerThickness(0.0);
    setMustAdjust();
}

double KJSplitView::dividerThickness() const
{
    if (m_dividerThickness > 0)
        return m_dividerThickness;
    if (auto image = divider())
        return gfx::along(image->size(), axis());
    return 0;
}

void KJSplitView::setDividerThickness(double thickness)
{
    // Bounded wherever it comes from (code, interface file, archive): a thicker divider would push the panes' frames
    // beyond what an archive of the split view can hold.
    double value = std::isfinite(thickness) ? std::floor(std::clamp(thickness, 0.0, LargestDividerThickness)) : 0.0;
    if (value != m_dividerThickness) {
        m_dividerThickness = value;
        setMustAdjust();
    }
}

double KJSplitView::KJ_dimensionWithoutDividers() const
{
    double count = static_cast<double>(KJ_numberOfSubviews());
    double size = gfx::along(frame().size, axis());
    return std::max(1.0, size - std::max(0.0, count - 1) * dividerThickness());
}

fnd::String KJSplitView::description() const
{
    return fnd::String(KJSplitSubview::description().utf8() + " {" + stringWithSavedState().utf8() + "}");
}

// Coupling.

void KJSplitView::setCoupled(bool flag)
{
    if (flag == m_isCoupled)
        return;
    m_isCoupled = flag;
    if (!flag && !m_divider) {
        if (auto container = splitView())
            setDivider(container->divider());
    }
    setMustAdjust();
}

bool KJSplitView::isCoupled() const
{
    return m_isCoupled && splitView();
}

std::shared_ptr<KJSplitView> KJSplitView::couplingSplitView() const
{
    return m_isCoupled ? splitView() : nullptr;
}

std::shared_ptr<KJSplitView> KJSplitView::coupledSplitView() const
{
    return isCoupled() ? std::static_pointer_cast<KJSplitView>(
               std::const_pointer_cast<fnd::Object>(std::static_pointer_cast<const fnd::Object>(shared_from_this())))
                       : nullptr;
}

bool KJSplitView::acceptsFirstMouse(const ui::Event* event)
{
    return !(event && (event->modifierFlags() & ui::ModifierFlags::Command));
}

bool KJSplitView::shouldDelayWindowOrderingForEvent(const ui::Event& event)
{
    return (event.modifierFlags() & ui::ModifierFlags::Command) != 0;
}

// Adjusting.

void KJSplitView::adjustSubviewsExcepting(KJSplitSubview* subview)
{
    KJ_adjustSubviewsExcepting(subview && subview->isCollapsed() ? nullptr : subview);
}

void KJSplitView::layout()
{
    // A decoded split view learns here, in its final place, whether it is a scroll view's document: its scroll view
    // may take it as the document only after it was added.
    noteEnclosingScrollView();
    if (!m_isAdjusting)
        adjustSubviews();
}

void KJSplitView::setFrame(gfx::Rect newFrame)
{
    auto oldSize = frame().size;
    View::setFrame(newFrame);
    if (newFrame.size == oldSize)
        return;
    setMustAdjust();
    double before = gfx::along(oldSize, axis());
    double after = gfx::along(newFrame.size, axis());
    if (std::trunc(before) != std::trunc(after)) {
        if (auto d = delegate())
            d->splitViewWasResized(*this, before, after);
    }
    if (mustAdjust() && !m_isAdjusting)
        adjustSubviews();
}

void KJSplitView::KJ_adjustOutermostIfNeeded()
{
    if (auto container = splitView()) {
        container->KJ_adjustOutermostIfNeeded();
        return;
    }
    layoutSubtreeIfNeeded();
}

void KJSplitView::viewDidMoveToSuperview()
{
    KJSplitSubview::viewDidMoveToSuperview();
    noteEnclosingScrollView();
}

void KJSplitView::noteEnclosingScrollView()
{
    auto scrollView = enclosingScrollView();
    m_isInScrollView = scrollView && scrollView->documentView().get() == this;
}

void KJSplitView::awakeFromNib()
{
    if (!splitView())
        restoreState(true);
}

double KJSplitView::KJ_dividerOrigin(std::size_t index) const
{
    if (index >= m_dividers.size())
        return 0;
    return gfx::minAlong(m_dividers[index], axis());
}

void KJSplitView::KJ_setDragging(bool flag)
{
    bool wasDragging = m_isDragging;
    m_isDragging = flag;
    if (wasDragging && !flag)
        saveState(false);
}

void KJSplitView::KJ_updateFromCache(
    KJSplitSubview& subview, gfx::Rect rect, double size, double fraction, double totalDimension)
{
    double visible = subview.KJ_visibleDimension();
    if (size >= 1.0 && visible < 1.0) {
        subview.KJ_finishExpand(rect, fraction);
    } else if (size < 1.0 && visible >= 1.0) {
        subview.KJ_clearResponder();
        subview.KJ_finishCollapse(rect, visible / totalDimension);
    } else {
        subview.KJ_setFrame(rect, fraction, true);
    }
}

void KJSplitView::KJ_adjustSubviewsExcepting(KJSplitSubview* excepting)
{
    setNeedsLayout(false);
    auto visible = KJ_subviews();
    if (visible.empty() || bounds().width() < 1.0 || bounds().height() < 1.0 || m_isAdjusting)
        return;
    auto self = std::static_pointer_cast<KJSplitView>(shared_from_this());
    m_isAdjusting = true;
    if (auto d = delegate()) {
        d->willAdjustSubviews(*this);
        visible = KJ_subviews();
        if (visible.empty() || bounds().width() < 1.0 || bounds().height() < 1.0) {
            m_isAdjusting = false;
            return;
        }
    }
    const auto axis = this->axis();
    const std::size_t n = visible.size();

    KJSplitLayout::Input input;
    input.length = gfx::along(bounds().size, axis);
    input.dividerThickness = dividerThickness();
    input.inScrollView = m_isInScrollView;
    input.clearFractions = m_mustClearFractions;
    for (std::size_t i = 0; i < n; ++i) {
        const auto& pane = *visible[i];
        input.panes.push_back({ pane.KJ_visibleDimension(), pane.KJ_fraction(), pane.minDimension(),
            pane.maxDimension(), pane.canCollapse(), pane.status() < 0 });
        if (&pane == excepting) {
            input.excepted = i;
            input.exceptedDimension = pane.dimension();
        }
    }
    const auto result = KJSplitLayout::solve(input);

    // The panes take their places, those after the pane chosen for the rounding rest already moved by it, so each
    // pane's frame is set once, where it ends, and the delegate hears it; then the chosen pane grows by the rest.
    const double across = gfx::across(bounds().size, axis);
    const auto shiftOfPane
        = [&](std::size_t i) { return result.restTaker && i > *result.restTaker ? result.rest : 0.0; };
    m_dividers.resize(n - 1);
    for (std::size_t i = 0; i + 1 < n; ++i)
        m_dividers[i]
            = gfx::rectOnAxis(axis, result.dividerStarts[i] + shiftOfPane(i + 1), 0, input.dividerThickness, across);
    for (std::size_t i = 0; i < n; ++i) {
        const auto& placed = result.panes[i];
        KJ_updateFromCache(*visible[i], gfx::rectOnAxis(axis, placed.start + shiftOfPane(i), 0, placed.size, across),
            placed.size, placed.fraction, result.space);
    }
    if (result.restTaker) {
        auto& taker = *visible[*result.restTaker];
        taker.KJ_setFrameSize(
            gfx::withAlong(taker.frame().size, axis, result.panes[*result.restTaker].size + result.rest),
            result.restFraction);
    }

    if (m_isInScrollView)
        View::setFrame({ frame().origin, gfx::withAlong(bounds().size, axis, result.length) });
    for (const auto& pane : visible) {
        if (auto* nested = pane->asSplitView(); nested && nested->mustAdjust())
            nested->adjustSubviews();
    }
    // The panes' frames set above asked for this adjustment again; it is done.
    setNeedsLayout(false);
    m_mustClearFractions = false;
    if (auto w = window()) {
        w->invalidateCursorRectsForView(*this);
        if (auto coupling = couplingSplitView())
            w->invalidateCursorRectsForView(*coupling);
    }
    if (!m_isDragging)
        saveState(false);
    m_isAdjusting = false;
    if (auto d = delegate())
        d->didAdjustSubviews(*this);
}
