#include "frameworks/proportional-split-view/KJSplitSubview.h"

#include "frameworks/proportional-split-view/KJSplitView.h"

#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/Perform.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Cursor.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <cmath>

FND_REGISTER_CLASS(KJSplitSubview, ui::View)

namespace {

// Seconds per point of a collapse or expand animation: 750 points a second.
constexpr double KJSplitSubviewSecondsPerPoint = 0.0013333333333333335;
// Shorter animations than one frame are not run at all.
constexpr double KJSplitSubviewFrameTime = 1.0 / 60.0;
// An archived collapsed pane has its frame moved this far along x.
constexpr double KJSplitSubviewCollapsedMark = 1000000.0;

double KJSplitSubviewNow()
{
    return fnd::Clock::current()->now().timeIntervalSinceReferenceDate();
}

}

// The one animation of the process.
struct KJSplitSubview::Animation {
    std::weak_ptr<KJSplitSubview> owner;
    const KJSplitSubview* ownerPointer { nullptr };
    double dimension { 0 };
    int stepsDone { 0 };
    double elapsedTime { 0 };
    double finishTime { 0 };
    double totalTime { 0 };
    bool collapsing { false };
    bool resizing { false };
};

std::unique_ptr<KJSplitSubview::Animation>& KJSplitSubview::animationRecord()
{
    static std::unique_ptr<Animation> record;
    return record;
}

void KJSplitSubview::describeClass(fnd::ClassBuilder<KJSplitSubview>& c)
{
    c.property("identifier", &KJSplitSubview::identifier, &KJSplitSubview::setIdentifier);
    c.property("canCollapse", &KJSplitSubview::canCollapse, &KJSplitSubview::setCanCollapse);
    c.property("minDimension", &KJSplitSubview::minDimension,
        [](KJSplitSubview& s, double v) { s.setMinDimension(v, s.maxDimension()); });
    c.property("maxDimension", &KJSplitSubview::maxDimension,
        [](KJSplitSubview& s, double v) { s.setMinDimension(s.minDimension(), v); });
}

KJSplitSubview::~KJSplitSubview()
{
    auto& record = animationRecord();
    if (record && record->ownerPointer == this)
        record.reset();
}

std::shared_ptr<KJSplitSubview> KJSplitSubview::create(gfx::Rect frame)
{
    return ui::makeView<KJSplitSubview>(frame);
}

void KJSplitSubview::initWithFrame(gfx::Rect frame)
{
    View::initWithFrame(frame);
    setPaneDefaults(frame.size);
}

void KJSplitSubview::setPaneDefaults(gfx::Size size)
{
    m_identifier = {};
    m_tag = 0;
    m_minDimension = 1.0;
    m_maxDimension = DefaultMaxDimension;
    m_fraction = 0.0;
    m_canCollapse = false;
    m_previous = {};
    m_savedSize = size;
    m_actDivider = NoDivider;
}

bool KJSplitSubview::animating()
{
    return animationRecord() != nullptr;
}

// Structure.

std::shared_ptr<KJSplitView> KJSplitSubview::splitView() const
{
    return std::dynamic_pointer_cast<KJSplitView>(superview());
}

std::shared_ptr<KJSplitView> KJSplitSubview::outermostSplitView() const
{
    std::shared_ptr<KJSplitView> outermost;
    for (auto view = splitView(); view; view = view->splitView())
        outermost = view;
    return outermost;
}

bool KJSplitSubview::splitViewIsHorizontal() const
{
    auto sv = splitView();
    return sv && sv->isHorizontal();
}

gfx::Axis KJSplitSubview::splitAxis() const
{
    return splitViewIsHorizontal() ? gfx::Axis::Y : gfx::Axis::X;
}

std::size_t KJSplitSubview::position() const
{
    auto sv = splitView();
    if (!sv)
        return 0;
    const auto& list = sv->subviews();
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i].get() == this)
            return i;
    }
    return 0;
}

void KJSplitSubview::setPosition(std::size_t position)
{
    auto sv = splitView();
    if (!sv)
        return;
    auto self = std::static_pointer_cast<KJSplitSubview>(shared_from_this());
    removeFromSuperview();
    const auto& list = sv->subviews();
    if (position < list.size())
        sv->addSubview(self, ui::WindowOrderingMode::Below, list[position].get());
    else
        sv->addSubview(self, ui::WindowOrderingMode::Above, nullptr);
}

fnd::String KJSplitSubview::description() const
{
    if (m_identifier.isEmpty())
        return View::description();
    return fnd::String(View::description().utf8() + "(" + m_identifier.utf8() + ")");
}

void KJSplitSubview::setHidden(bool hidden)
{
    if (hidden == isHidden())
        return;
    View::setHidden(hidden);
    auto sv = splitView();
    if (!sv)
        return;
    if (hidden)
        sv->adjustSubviews();
    else
        sv->adjustSubviewsExcepting(this);
}

bool KJSplitSubview::isOpaque() const
{
    auto coupling = couplingSplitView();
    return coupling && coupling->isOpaque();
}

// Dimension and limits.

void KJSplitSubview::setMinDimension(double minimum, double maximum)
{
    // Whole points from 1 to a million however they come (code, archive, interface file): a pane held wider lay far
    // beyond any screen (1e308 or infinity), in a frame no archive reads back. A minimum that is no number is none.
    m_minDimension = std::isnan(minimum) ? 1.0 : std::clamp(std::floor(minimum), 1.0, DefaultMaxDimension);
    if (!(maximum >= 1.0))
        maximum = DefaultMaxDimension;
    m_maxDimension = std::clamp(std::floor(maximum), m_minDimension, DefaultMaxDimension);
    double d = dimension();
    if (d < m_minDimension || d > m_maxDimension) {
        if (auto sv = splitView())
            sv->setMustAdjust();
    }
}

double KJSplitSubview::KJ_visibleDimension() const
{
    return std::max(0.0, gfx::along(frame().size, splitAxis()));
}

double KJSplitSubview::dimension() const
{
    double visible = KJ_visibleDimension();
    if (visible > 0)
        return visible;
    auto sv = splitView();
    double d = sv ? sv->KJ_dimensionWithoutDividers() * m_fraction : 0;
    return std::clamp(d, m_minDimension, m_maxDimension);
}

void KJSplitSubview::setDimension(double value)
{
    // std::clamp lets NaN through, which would become the pane's frame: a dimension that is not a number is ignored.
    if (std::isnan(value))
        return;
    value = std::clamp(value, m_minDimension, m_maxDimension);
    auto sv = splitView();
    if (isCollapsed()) {
        if (sv)
            m_fraction = value / sv->KJ_dimensionWithoutDividers();
        return;
    }
    setFrame(gfx::withLengthAlong(frame(), splitAxis(), value));
    if (sv)
        sv->adjustSubviewsExcepting(this);
}

bool KJSplitSubview::canShrink() const
{
    double visible = KJ_visibleDimension();
    return canCollapse() ? visible > 0 : visible > m_minDimension;
}

int KJSplitSubview::status() const
{
    if (ownsAnimation())
        return animationRecord()->collapsing ? -1 : -2;
    return isCollapsed() ? 1 : 0;
}

bool KJSplitSubview::canCollapse() const
{
    auto sv = splitView();
    if (!sv || sv->KJ_numberOfSubviews() < 2)
        return false;
    if (auto d = sv->delegate()) {
        auto self = std::const_pointer_cast<KJSplitSubview>(
            std::static_pointer_cast<const KJSplitSubview>(shared_from_this()));
        if (auto answer = d->splitViewCanCollapse(*sv, *self))
            return *answer;
    }
    return m_canCollapse;
}

// Collapse and expand.

double KJSplitSubview::collapse()
{
    return KJ_collapse();
}

double KJSplitSubview::expand()
{
    return KJ_expandAndSetToMinimum(false);
}

bool KJSplitSubview::collapseWithAnimation(bool animate, bool resize)
{
    if (status() != 0 || !canCollapse())
        return false;
    auto self = shared_from_this();
    if (animate && KJ_animationData(true, resize)) {
        KJ_clearResponder();
        KJ_stepAnimation();
        return true;
    }
    KJ_collapse();
    return false;
}

bool KJSplitSubview::expandWithAnimation(bool animate, bool resize)
{
    if (status() != 1)
        return false;
    auto self = shared_from_this();
    if (animate && KJ_animationData(true, resize)) {
        KJ_stepAnimation();
        return true;
    }
    expand();
    return false;
}

double KJSplitSubview::changeDimensionBy(double delta, bool mayCollapse, bool move)
{
    auto sv = splitView();
    if (!sv || !(std::fabs(delta) >= 1.0))
        return 0;
    double current = KJ_visibleDimension();
    double proposed = std::max(0.0, current + delta);
    double next = proposed;
    if (next > current) {
        if (current < 1.0) {
            if (!(next > ExpandThreshold * m_minDimension))
                return 0;
            double minimum = KJ_expandAndSetToMinimum(true);
            next = std::max(minimum, next);
        }
        next = std::min(next, m_maxDimension);
    } else if (next < m_minDimension) {
        if (mayCollapse && canCollapse() && proposed < std::max(1.0, CollapseThreshold * m_minDimension))
            return KJ_collapse();
        next = m_minDimension;
    }
    if (std::trunc(next) != std::trunc(current)) {
        auto f = gfx::withLengthAlong(frame(), splitAxis(), next);
        if (move)
            f = gfx::offsetAlong(f, splitAxis(), current - next);
        setFrame(f);
        sv->KJ_setMustClearFractions();
        sv->setMustAdjust();
    }
    return next - current;
}

// Drawing and display.

void KJSplitSubview::drawRect(gfx::Rect dirtyRect)
{
    auto sv = splitView();
    if (!sv)
        return;
    if (auto background = sv->background()) {
        if (auto* context = gfx::GraphicsContext::current()) {
            gfx::GraphicsStateGuard guard;
            background->setFill();
            context->fillRectUsingOperation(dirtyRect, gfx::CompositingOperation::SourceOver);
        }
    }
    if (auto d = sv->delegate())
        d->splitViewWillDrawSubview(*sv, *this, dirtyRect);
}

void KJSplitSubview::resizeSubviewsWithOldSize(gfx::Size oldSize)
{
    auto sv = splitView();
    if (!sv)
        return;
    double lower = m_minDimension;
    if (ownsAnimation() && !animationRecord()->resizing)
        lower = animationRecord()->dimension;
    double alongSize = gfx::along(frame().size, splitAxis());
    double across = gfx::across(frame().size, splitAxis());
    if (alongSize >= lower && alongSize <= m_maxDimension && across >= sv->minDimension()
        && across <= sv->maxDimension()) {
        View::resizeSubviewsWithOldSize(m_notInLimits ? m_savedSize : oldSize);
        m_notInLimits = false;
        m_savedSize = frame().size;
    } else {
        m_notInLimits = true;
    }
}

// Private operations.

void KJSplitSubview::KJ_setFrame(gfx::Rect newFrame, double fraction, bool notify)
{
    auto sv = splitView();
    auto d = sv ? sv->delegate() : nullptr;
    bool observed = notify && d && d->observesSubviewFrames();
    bool tell = observed && newFrame != m_previous;
    if (sv)
        sv->setMustAdjust();
    setFrame(newFrame);
    m_fraction = fraction;
    if (tell)
        d->splitViewChangedFrameOfSubview(*sv, *this, m_previous, newFrame);
    // The last frame reported stays remembered while the delegate listens; without a listener there is none.
    if (tell)
        m_previous = newFrame;
    else if (!observed)
        m_previous = {};
}

void KJSplitSubview::KJ_setFrameSize(gfx::Size size, double fraction)
{
    if (auto sv = splitView())
        sv->setMustAdjust();
    setFrame({ frame().origin, size });
    m_fraction = fraction;
}

bool KJSplitSubview::KJ_clearResponder()
{
    auto w = window();
    if (!w)
        return false;
    auto responder = std::dynamic_pointer_cast<View>(w->firstResponder());
    if (!responder || !responder->isDescendantOf(*this))
        return false;
    if (!w->makeFirstResponder(nullptr))
        return false;
    responder->setNeedsDisplay(true);
    return true;
}

double KJSplitSubview::KJ_collapse()
{
    auto sv = splitView();
    if (isCollapsed() || !sv || !canCollapse())
        return 0;
    auto self = shared_from_this();
    KJ_clearResponder();
    double former = KJ_visibleDimension();
    KJ_finishCollapse(gfx::withLengthAlong(frame(), splitAxis(), 0), former / sv->KJ_dimensionWithoutDividers());
    return -former;
}

void KJSplitSubview::KJ_finishCollapse(gfx::Rect newFrame, double fraction)
{
    auto self = shared_from_this();
    bool stopped = KJ_stopAnimation();
    KJ_setFrame(newFrame, fraction, true);
    auto sv = splitView();
    if (sv)
        sv->KJ_setMustClearFractions();
    if (stopped)
        display();
    if (sv) {
        if (auto d = sv->delegate())
            d->splitViewDidCollapse(*sv, *this);
    }
}

void KJSplitSubview::KJ_finishExpand(gfx::Rect newFrame, double fraction)
{
    auto self = shared_from_this();
    bool stopped = KJ_stopAnimation();
    KJ_setFrame(newFrame, fraction, true);
    auto sv = splitView();
    if (sv)
        sv->KJ_setMustClearFractions();
    if (stopped)
        display();
    if (sv) {
        if (auto d = sv->delegate())
            d->splitViewDidExpand(*sv, *this);
    }
}

double KJSplitSubview::KJ_expandAndSetToMinimum(bool toMinimum)
{
    auto sv = splitView();
    if (!sv || !isCollapsed())
        return 0;
    double size;
    double answer;
    if (toMinimum) {
        size = answer = m_minDimension;
    } else {
        double whole = sv->KJ_dimensionWithoutDividers();
        double f = m_fraction;
        // Larger than the share, so that the proportional adjusting that follows brings it back to f.
        size = f >= 1.0 ? std::floor(whole * f) : std::floor(whole * f / (1.0 - f));
        answer = std::floor(whole * f);
        // A pane without a remembered share still opens, at its minimum.
        if (size < m_minDimension)
            size = answer = m_minDimension;
    }
    KJ_finishExpand(gfx::withLengthAlong(frame(), splitAxis(), size), 0.0);
    return answer;
}

double KJSplitSubview::KJ_setMinAndMaxTo(double value, double& savedMin, double& savedMax)
{
    savedMin = m_minDimension;
    savedMax = m_maxDimension;
    value = std::clamp(value, m_minDimension, m_maxDimension);
    m_minDimension = m_maxDimension = value;
    return value;
}

// Animation.

bool KJSplitSubview::ownsAnimation() const
{
    auto& record = animationRecord();
    return record && record->ownerPointer == this;
}

KJSplitSubview::Animation* KJSplitSubview::KJ_animationData(bool create, bool resize)
{
    auto& record = animationRecord();
    if (record && record->ownerPointer != this)
        return nullptr;
    auto sv = splitView();
    if (create && sv) {
        double d = dimension();
        double time = d * KJSplitSubviewSecondsPerPoint;
        if (auto delegate = sv->delegate()) {
            if (auto answer = delegate->splitViewWillAnimateSubview(*sv, *this, d))
                time = *answer;
        }
        if (time > KJSplitSubviewFrameTime) {
            if (!record)
                record = std::make_unique<Animation>();
            record->owner = std::static_pointer_cast<KJSplitSubview>(shared_from_this());
            record->ownerPointer = this;
            record->dimension = d;
            record->stepsDone = 0;
            record->elapsedTime = 0;
            record->collapsing = !isCollapsed();
            record->totalTime = time;
            record->finishTime = KJSplitSubviewNow() + time;
            record->resizing = resize;
            sv->KJ_setDragging(true);
        } else {
            record.reset();
        }
    }
    return ownsAnimation() ? record.get() : nullptr;
}

void KJSplitSubview::KJ_stepAnimation()
{
    double start = KJSplitSubviewNow();
    auto* record = ownsAnimation() ? animationRecord().get() : nullptr;
    auto sv = splitView();
    if (!record)
        return;
    auto self = std::static_pointer_cast<KJSplitSubview>(shared_from_this());
    double remaining = record->finishTime - start;
    if (remaining >= KJSplitSubviewFrameTime && sv) {
        double mean = record->stepsDone > 0 ? record->elapsedTime / record->stepsDone : record->elapsedTime;
        double d = std::floor((remaining - mean) * record->dimension / record->totalTime);
        if (d > 4.0) {
            double delay = std::max(0.0, KJSplitSubviewFrameTime - mean);
            double size = record->collapsing ? d : record->dimension - d;
            KJ_setFrame(gfx::withLengthAlong(frame(), splitAxis(), size), 0.0, false);
            sv->adjustSubviews();
            display();
            record->elapsedTime += KJSplitSubviewNow() - start;
            record->stepsDone += 1;
            fnd::performAfterDelay(self,
                [weak = std::weak_ptr<KJSplitSubview>(self)] {
                    if (auto subview = weak.lock())
                        subview->KJ_stepAnimation();
                },
                delay, { fnd::RunLoopMode::Default, fnd::RunLoopMode::ModalPanel, fnd::RunLoopMode::EventTracking });
            return;
        }
    }
    double dimension = record->dimension;
    if (record->collapsing) {
        double whole = sv ? sv->KJ_dimensionWithoutDividers() : 1.0;
        KJ_finishCollapse(gfx::withLengthAlong(frame(), splitAxis(), 0), dimension / whole);
    } else {
        // Pinned to exactly its dimension while the split view adjusts around it.
        double savedMin = 0;
        double savedMax = 0;
        double value = KJ_setMinAndMaxTo(dimension, savedMin, savedMax);
        KJ_finishExpand(gfx::withLengthAlong(frame(), splitAxis(), value), 0.0);
        if (sv)
            sv->layoutSubtreeIfNeeded();
        m_minDimension = savedMin;
        m_maxDimension = savedMax;
    }
}

bool KJSplitSubview::KJ_stopAnimation()
{
    if (!ownsAnimation())
        return false;
    fnd::cancelPreviousPerformRequests(*this);
    animationRecord().reset();
    if (auto sv = splitView())
        sv->KJ_setDragging(false);
    return true;
}

// Mouse.

std::shared_ptr<ui::View> KJSplitSubview::hitTest(gfx::Point point)
{
    if (isHidden() || !gfx::pointInRect(point, frame()))
        return nullptr;
    auto sv = splitView();
    if (sv) {
        if (auto d = sv->delegate()) {
            if (auto answer = d->splitViewDividerForPoint(*sv, point, *this)) {
                m_actDivider = *answer;
                std::size_t visible = sv->KJ_numberOfSubviews();
                if (visible >= 2 && *answer < visible - 1)
                    return std::static_pointer_cast<View>(shared_from_this());
            }
        }
    }
    m_actDivider = NoDivider;
    auto hit = View::hitTest(point);
    m_canDragWindow = hit && showsWindowBackground(*hit);
    return hit;
}

void KJSplitSubview::mouseDown(const ui::Event& event)
{
    if (m_actDivider == NoDivider || !splitView()) {
        moveWindowWithMouse(event);
        return;
    }
    dragDivider(event);
}

bool KJSplitSubview::showsWindowBackground(const ui::View& hit) const
{
    // The window's own background shows through when no opaque view lies between the hit view and the window.
    auto opaque = hit.opaqueAncestor();
    auto w = window();
    return !opaque || !w || !w->contentView() || !opaque->isDescendantOf(*w->contentView());
}

void KJSplitSubview::moveWindowWithMouse(const ui::Event& event)
{
    auto w = window();
    auto coupling = couplingSplitView();
    if (!m_canDragWindow || !w || !w->isMovableByWindowBackground() || (coupling && coupling->background()))
        return;
    w->performWindowDragWithEvent(event);
}

void KJSplitSubview::dragDivider(const ui::Event& event)
{
    auto self = shared_from_this();
    auto sv = splitView();
    std::size_t index = m_actDivider;
    KJSplitView::cursor(3)->push();
    sv->KJ_setDragging(true);
    auto start = sv->convertPointFromView(event.locationInWindow(), nullptr);
    const auto axis = sv->axis();
    auto& app = ui::Application::shared();
    for (;;) {
        auto next = app.nextEvent(ui::EventMasks::LeftMouseUp | ui::EventMasks::LeftMouseDragged,
            fnd::Date::distantFuture(), fnd::RunLoopMode::EventTracking, true);
        if (!next)
            break;
        double before = sv->KJ_dividerOrigin(index);
        sv->KJ_trackMouseEvent(*next, start, {}, index);
        if (sv->mustAdjust()) {
            sv->KJ_setMustClearFractions();
            sv->display();
        }
        double moved = sv->KJ_dividerOrigin(index) - before;
        start = gfx::withAlong(start, axis, gfx::along(start, axis) + moved);
        if (next->type() == ui::EventType::LeftMouseUp)
            break;
    }
    sv->KJ_setDragging(false);
    ui::Cursor::pop();
    m_actDivider = NoDivider;
}

// Coding.

gfx::Rect KJSplitSubview::frameForCoding() const
{
    // A collapsed pane is archived with a marked frame: moved far along x, with the size it had when last open.
    auto archived = frame();
    if (isCollapsed() && splitView()) {
        archived.origin.x += KJSplitSubviewCollapsedMark;
        archived.size = m_savedSize;
    } else {
        // An open pane placed that far along x would read back as collapsed: it is archived just short of the mark.
        archived.origin.x = std::min(archived.origin.x, KJSplitSubviewCollapsedMark - 1);
    }
    return archived;
}

void KJSplitSubview::encodeWithCoder(fnd::Coder& coder) const
{
    ui::View::encodeWithCoder(coder);
    if (coder.allowsKeyedCoding()) {
        coder.encodeObject(fnd::Value(m_identifier), "identifier");
        coder.encodeInt64(m_tag, "tag");
        coder.encodeDouble(m_minDimension, "minDimension");
        coder.encodeDouble(m_maxDimension, "maxDimension");
        coder.encodeDouble(m_fraction, "fraction");
        coder.encodeBool(m_canCollapse, "canCollapse");
        return;
    }
    coder.encodeObject(fnd::Value(m_identifier));
    coder.encodeValueOfObjCType('q', fnd::Number(static_cast<long long>(m_tag)));
    coder.encodeValueOfObjCType('d', fnd::Number(m_minDimension));
    coder.encodeValueOfObjCType('d', fnd::Number(m_maxDimension));
    coder.encodeValueOfObjCType('d', fnd::Number(m_fraction));
    coder.encodeValueOfObjCType('c', fnd::Number(static_cast<long long>(m_canCollapse)));
}

bool KJSplitSubview::initWithCoder(fnd::Coder& coder)
{
    // The view's part runs initWithFrame with the archived frame: the defaults, and the saved size from it.
    if (!ui::View::initWithCoder(coder))
        return false;
    auto archived = frame();
    if (archived.origin.x >= KJSplitSubviewCollapsedMark) {
        archived.origin.x -= KJSplitSubviewCollapsedMark;
        // Not in a split view yet, the axis is unknown; but the archived bounds hold the collapsed pane's real size,
        // 0 along the axis, so it comes back as it was (and archives as it was read). Bounds without a side of 0
        // give 0 for both sizes. The split view that takes the pane lays it out again.
        auto size = bounds().size;
        if (size.width != 0 && size.height != 0)
            size = { 0, 0 };
        setFrame({ archived.origin, size });
    }
    m_previous = {};
    const bool keyed = coder.allowsKeyedCoding();
    fnd::Value identifier = keyed ? coder.decodeObjectForKey("identifier") : coder.decodeObject();
    auto tag = keyed ? coder.decodeInt64ForKey("tag") : coder.decodeValueOfObjCType('q').integerValue();
    double minimum = keyed ? coder.decodeDoubleForKey("minDimension") : coder.decodeValueOfObjCType('d').doubleValue();
    double maximum = keyed ? coder.decodeDoubleForKey("maxDimension") : coder.decodeValueOfObjCType('d').doubleValue();
    double fraction = keyed ? coder.decodeDoubleForKey("fraction") : coder.decodeValueOfObjCType('d').doubleValue();
    bool canCollapse
        = keyed ? coder.decodeBoolForKey("canCollapse") : coder.decodeValueOfObjCType('c').integerValue() != 0;
    if (coder.hasFailed())
        return false;
    if (!identifier.isNil() && !identifier.string()) {
        fnd::failDecoding(coder, "a split pane's identifier is not a string");
        return false;
    }
    setIdentifier(identifier.stringValue());
    m_tag = static_cast<long>(tag);
    m_fraction = std::isfinite(fraction) ? fraction : 0;
    m_canCollapse = canCollapse;
    setMinDimension(std::isfinite(minimum) ? minimum : 1.0, std::isfinite(maximum) ? maximum : DefaultMaxDimension);
    return true;
}
