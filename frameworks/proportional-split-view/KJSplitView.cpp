#include "frameworks/proportional-split-view/KJSplitView.h"

#include "platform/foundation/runtime/Perform.h"
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

std::vector<std::shared_ptr<KJSplitSubview>> KJSplitView::KJ___subviews() const
{
    std::vector<std::shared_ptr<KJSplitSubview>> visible;
    for (const auto& view : subviews()) {
        auto subview = std::dynamic_pointer_cast<KJSplitSubview>(view);
        if (subview && !subview->isHidden())
            visible.push_back(subview);
    }
    return visible;
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
        leaving->KJ___stopAnimation();
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
        m_dividerThickness = flag ? image->size().height : image->size().width;
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
        return isHorizontal() ? image->size().height : image->size().width;
    return 0;
}

void KJSplitView::setDividerThickness(double thickness)
{
    double value = std::max(0.0, std::floor(std::isfinite(thickness) ? thickness : 0.0));
    if (value != m_dividerThickness) {
        m_dividerThickness = value;
        setMustAdjust();
    }
}

double KJSplitView::KJ___dimensionWithoutDividers() const
{
    double count = static_cast<double>(KJ___numberOfSubviews());
    double size = isHorizontal() ? frame().height() : frame().width();
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

// Adjusting.

void KJSplitView::setMustAdjust()
{
    m_mustAdjust = true;
    setNeedsDisplay(true);
}

void KJSplitView::adjustSubviewsExcepting(KJSplitSubview* subview)
{
    KJ___adjustSubviewsExcepting(subview && subview->isCollapsed() ? nullptr : subview);
}

void KJSplitView::adjustIfNeeded()
{
    if (m_mustAdjust && !m_isAdjusting)
        adjustSubviews();
}

void KJSplitView::display()
{
    if (auto outermost = outermostSplitView())
        outermost->KJ___adjustOutermostIfNeeded();
    adjustIfNeeded();
    View::display();
}

void KJSplitView::viewWillDraw()
{
    adjustIfNeeded();
}

void KJSplitView::setFrame(gfx::Rect newFrame)
{
    auto oldSize = frame().size;
    View::setFrame(newFrame);
    if (newFrame.size == oldSize)
        return;
    setMustAdjust();
    double before = isHorizontal() ? oldSize.height : oldSize.width;
    double after = isHorizontal() ? newFrame.height() : newFrame.width();
    if (std::trunc(before) != std::trunc(after)) {
        if (auto d = delegate())
            d->splitViewWasResized(*this, before, after);
    }
    adjustIfNeeded();
}

void KJSplitView::KJ___adjustOutermostIfNeeded()
{
    if (auto container = splitView()) {
        container->KJ___adjustOutermostIfNeeded();
        return;
    }
    adjustIfNeeded();
}

void KJSplitView::viewDidMoveToSuperview()
{
    KJSplitSubview::viewDidMoveToSuperview();
    auto scrollView = enclosingScrollView();
    m_isInScrollView = scrollView && scrollView->documentView().get() == this;
}

void KJSplitView::awakeFromNib()
{
    if (!splitView())
        restoreState(true);
}

double KJSplitView::KJ___dividerOrigin(std::size_t index) const
{
    if (index >= m_dividers.size())
        return 0;
    return isHorizontal() ? m_dividers[index].origin.y : m_dividers[index].origin.x;
}

void KJSplitView::KJ___setDragging(bool flag)
{
    bool wasDragging = m_isDragging;
    m_isDragging = flag;
    if (wasDragging && !flag)
        saveState(false);
}

void KJSplitView::KJ___updateFromCache(CacheRecord& record, double totalDimension)
{
    auto& subview = *record.subview;
    double visible = subview.KJ___visibleDimension();
    if (record.size >= 1.0 && visible < 1.0) {
        subview.KJ___finishExpand(record.rect, record.fraction);
    } else if (record.size < 1.0 && visible >= 1.0) {
        subview.KJ___clearResponder();
        subview.KJ___finishCollapse(record.rect, visible / totalDimension);
    } else {
        subview.KJ___setFrame(record.rect, record.fraction, true);
    }
}

void KJSplitView::KJ___adjustSubviewsExcepting(KJSplitSubview* excepting)
{
    m_mustAdjust = false;
    auto visible = KJ___subviews();
    if (visible.empty() || bounds().width() < 1.0 || bounds().height() < 1.0 || m_isAdjusting)
        return;
    auto self = std::static_pointer_cast<KJSplitView>(shared_from_this());
    m_isAdjusting = true;
    if (auto d = delegate()) {
        d->willAdjustSubviews(*this);
        visible = KJ___subviews();
        if (visible.empty() || bounds().width() < 1.0 || bounds().height() < 1.0) {
            m_isAdjusting = false;
            return;
        }
    }
    const bool horizontal = isHorizontal();
    auto alongSize = [horizontal](gfx::Size s) { return horizontal ? s.height : s.width; };
    const std::size_t n = visible.size();
    const double t = dividerThickness();
    double whole = alongSize(bounds().size);

    // Divider rectangles: one per gap.
    m_dividers.resize(n >= 2 ? n - 1 : 0);

    std::vector<CacheRecord> cache(n);
    for (std::size_t i = 0; i < n; ++i) {
        cache[i].subview = visible[i];
        cache[i].rect = visible[i]->frame();
        cache[i].size = visible[i]->KJ___visibleDimension();
        cache[i].fraction = visible[i]->KJ___fraction();
        cache[i].constrained = false;
    }
    auto owner = [](const CacheRecord& r) { return r.subview->status() < 0; };

    const double gaps = static_cast<double>(n - 1) * t;
    double space = whole - gaps;
    for (int pass = excepting ? -3 : 0; pass <= 2; ++pass) {
        KJSplitSubview* except = pass < 0 ? excepting : nullptr;
        double total = 0;
        for (auto& r : cache) {
            r.constrained = false;
            if (r.size > 0)
                total += r.size + (m_isInScrollView ? 0.0 : r.fraction);
        }
        // One collapsed pane takes the space when none is visible: the one with the smallest minimum.
        std::size_t chosen = 0;
        bool anyVisible = false;
        double bestMinimum = -1;
        for (std::size_t i = 0; i < n; ++i) {
            if (cache[i].size > 0) {
                anyVisible = true;
            } else if (bestMinimum < 0 || cache[i].subview->minDimension() < bestMinimum) {
                bestMinimum = cache[i].subview->minDimension();
                chosen = i;
            }
        }
        if (!anyVisible) {
            cache[chosen].size = cache[chosen].subview->minDimension();
            cache[chosen].fraction = 0;
            total += cache[chosen].size;
        }
        if (m_isInScrollView) {
            // A document view grows and shrinks to hold its panes as they are.
            whole = total + gaps;
            space = total;
            break;
        }
        double remaining = space;
        if (total < 1.0) {
            cache[chosen].size = space;
            cache[chosen].fraction = 0;
            total = space;
        }
        double sum = 0;
        bool fixedAny = false;
        double free = 0;
        do {
            double ratio = remaining / total;
            sum = 0;
            free = 0;
            fixedAny = false;
            auto fix = [&](CacheRecord& r, double value) {
                r.constrained = true;
                r.fraction = 0;
                r.size = value;
                remaining -= value;
                fixedAny = true;
            };
            for (auto& r : cache) {
                if (!(r.size > 0) || r.constrained)
                    continue;
                auto& subview = *r.subview;
                if (owner(r)) {
                    fix(r, r.size);
                } else if (r.subview.get() == except && subview.dimension() > 0) {
                    fix(r, subview.dimension());
                } else {
                    double want = (r.size + r.fraction) * ratio;
                    if (want < subview.minDimension()) {
                        fix(r, subview.minDimension());
                    } else if (want > subview.maxDimension()) {
                        fix(r, subview.maxDimension());
                    } else {
                        double rest = std::fmod(want, 1.0);
                        want -= rest;
                        // A half rounds down; so does a half blurred by the last bits of the ratio, or a layout
                        // read back from its state string would round differently from the one that wrote it.
                        if (rest > 0.5 + 1e-9) {
                            want += 1;
                            rest -= 1;
                        }
                        r.size = want;
                        r.fraction = rest;
                        free += want;
                    }
                }
            }
            // The next sweep shares what is left among the free panes by their sizes with remainders, so that
            // the sizes and remainders add up to the space exactly and adjusting again at the same size changes
            // nothing.
            total = 0;
            for (const auto& r : cache) {
                if (r.size > 0)
                    sum += r.size + r.fraction;
                if (r.size > 0 && !r.constrained)
                    total += r.size + r.fraction;
            }
        } while (fixedAny && free > 0);

        double overflow = sum - space;
        if (overflow >= 1.0) {
            // Too large: collapse pinned panes that may, in order, until the rest fits.
            for (auto& r : cache) {
                if (!r.constrained || r.subview.get() == except || owner(r) || !r.subview->canCollapse())
                    continue;
                sum -= r.size;
                if (sum < 1.0)
                    break;
                r.size = 0;
                if (sum - space < 1.0)
                    break;
            }
        } else if (overflow > -1.0) {
            // Fits within a point. (Only here: a pass that had to collapse runs again to share the space.)
            break;
        } else {
            // Too small: open collapsed panes at their minimum until the space is filled.
            for (auto& r : cache) {
                if (r.size > 0)
                    continue;
                r.size = r.subview->minDimension();
                r.fraction = 0;
                sum += r.size;
                if (sum - space > -1.0)
                    break;
            }
        }
    }

    // Layout.
    double origin = 0;
    std::size_t firstNested = n;
    std::size_t lastVisible = n;
    auto across = horizontal ? bounds().width() : bounds().height();
    auto rectAt = [horizontal, across](double start, double length) {
        return horizontal ? gfx::Rect { 0, start, across, length } : gfx::Rect { start, 0, length, across };
    };
    for (std::size_t i = 0; i < n; ++i) {
        auto& r = cache[i];
        if (firstNested == n && r.subview->asSplitView())
            firstNested = i;
        double length = std::max(0.0, r.size);
        r.rect = rectAt(origin, length);
        if (r.size > 0 && m_mustClearFractions)
            r.fraction = 0;
        KJ___updateFromCache(r, space);
        origin += length;
        if (r.size > 0)
            lastVisible = i;
        if (i + 1 < n) {
            m_dividers[i] = rectAt(origin, t);
            origin += t;
        }
    }
    if (lastVisible < n && whole != origin) {
        // The rounding rest goes to the last visible pane that can take it within its limits (the last visible one
        // when none can), and the dividers and panes after it follow.
        double diff = whole - origin;
        std::size_t taker = lastVisible;
        for (std::size_t i = lastVisible + 1; i-- > 0;) {
            auto& candidate = *cache[i].subview;
            double size = candidate.KJ___visibleDimension();
            if (size > 0 && size + diff >= candidate.minDimension() && size + diff <= candidate.maxDimension()) {
                taker = i;
                break;
            }
        }
        auto& last = *cache[taker].subview;
        double length = std::max(0.0, last.KJ___visibleDimension() + diff);
        diff = length - last.KJ___visibleDimension();
        auto size = last.frame().size;
        if (horizontal)
            size.height = length;
        else
            size.width = length;
        // After a drag, a collapse or an expand the sizes as laid out are the new proportions, rest included.
        last.KJ___setFrameSize(size, m_mustClearFractions ? 0.0 : last.KJ___fraction() - diff);
        for (std::size_t i = taker; i + 1 < n; ++i) {
            if (horizontal)
                m_dividers[i].origin.y += diff;
            else
                m_dividers[i].origin.x += diff;
        }
        for (std::size_t i = taker + 1; i < n; ++i) {
            auto& later = *cache[i].subview;
            auto f = later.frame();
            if (horizontal)
                f.origin.y += diff;
            else
                f.origin.x += diff;
            later.setFrame(f);
        }
    }

    if (m_isInScrollView) {
        auto size = bounds().size;
        if (horizontal)
            size.height = whole;
        else
            size.width = whole;
        View::setFrame({ frame().origin, size });
    }
    for (std::size_t i = firstNested; i < n; ++i) {
        if (auto* nested = cache[i].subview->asSplitView(); nested && nested->mustAdjust())
            nested->adjustSubviews();
    }
    cache.clear();
    m_mustAdjust = false;
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
