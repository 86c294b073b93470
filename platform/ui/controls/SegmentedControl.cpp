#include "platform/ui/controls/SegmentedControl.h"

#include "platform/graphics/Image.h"

namespace ui {

FND_REGISTER_CLASS(SegmentedControl, Control)

void SegmentedControl::describeClass(fnd::ClassBuilder<SegmentedControl>& c)
{
    c.property("segmentCount", &SegmentedControl::segmentCount, &SegmentedControl::setSegmentCount);
    c.property("trackingMode", &SegmentedControl::trackingMode, &SegmentedControl::setTrackingMode);
    c.property("segmentStyle", &SegmentedControl::segmentStyle, &SegmentedControl::setSegmentStyle);
    c.property("selectedSegment", &SegmentedControl::selectedSegment, &SegmentedControl::setSelectedSegment);
}

std::shared_ptr<SegmentedControl> SegmentedControl::create(gfx::Rect frame)
{
    return makeView<SegmentedControl>(frame);
}

std::shared_ptr<SegmentedControl> SegmentedControl::segmentedControlWithLabels(const std::vector<fnd::String>& labels,
    SegmentSwitchTracking mode, const std::shared_ptr<fnd::Object>& target, fnd::Selector action)
{
    auto control = create();
    control->setSegmentCount(static_cast<long>(labels.size()));
    for (std::size_t i = 0; i < labels.size(); ++i)
        control->setLabel(labels[i], static_cast<long>(i));
    control->setTrackingMode(mode);
    control->setTarget(target);
    control->setAction(action);
    control->sizeToFit();
    return control;
}

std::shared_ptr<Cell> SegmentedControl::makeCell() const
{
    return fnd::makeObject<SegmentedCell>();
}

#define UI_GET(Result, Name, Fallback)                                                                                 \
    Result SegmentedControl::Name() const                                                                              \
    {                                                                                                                  \
        auto c = segmentedCell();                                                                                      \
        return c ? c->Name() : Fallback;                                                                               \
    }
#define UI_SET(Name, Arg)                                                                                              \
    void SegmentedControl::Name(Arg value)                                                                             \
    {                                                                                                                  \
        if (auto c = segmentedCell())                                                                                  \
            c->Name(value);                                                                                            \
    }
#define UI_GET_AT(Result, Name, Fallback)                                                                              \
    Result SegmentedControl::Name(long segment) const                                                                  \
    {                                                                                                                  \
        auto c = segmentedCell();                                                                                      \
        return c ? c->Name(segment) : Fallback;                                                                        \
    }
#define UI_SET_AT(Name, Arg)                                                                                           \
    void SegmentedControl::Name(Arg value, long segment)                                                               \
    {                                                                                                                  \
        if (auto c = segmentedCell())                                                                                  \
            c->Name(value, segment);                                                                                   \
    }

UI_GET(long, segmentCount, 0)
UI_SET(setSegmentCount, long)
UI_GET(SegmentSwitchTracking, trackingMode, SegmentSwitchTracking::SelectOne)
UI_SET(setTrackingMode, SegmentSwitchTracking)
UI_GET(SegmentStyle, segmentStyle, SegmentStyle::Automatic)
UI_SET(setSegmentStyle, SegmentStyle)
UI_GET(long, selectedSegment, -1)
UI_SET(setSelectedSegment, long)
UI_SET_AT(setLabel, const fnd::String&)
UI_GET_AT(fnd::String, labelForSegment, fnd::String())
UI_SET_AT(setImage, std::shared_ptr<gfx::Image>)
UI_SET_AT(setWidth, double)
UI_SET_AT(setTag, long)
UI_SET_AT(setEnabled, bool)
UI_GET_AT(bool, isEnabledForSegment, false)
UI_SET_AT(setSelected, bool)
UI_GET_AT(bool, isSelectedForSegment, false)

#undef UI_GET
#undef UI_SET
#undef UI_GET_AT
#undef UI_SET_AT

bool SegmentedControl::selectSegmentWithTag(long tag)
{
    auto c = segmentedCell();
    return c && c->selectSegmentWithTag(tag);
}

void SegmentedControl::keyDown(const Event& event)
{
    auto c = segmentedCell();
    const auto& chars = event.charactersIgnoringModifiers();
    char16_t key = chars.length() > 0 ? chars.units()[0] : 0;
    if (c && isEnabled()) {
        if (key == FunctionKey::LeftArrow) {
            c->makePreviousSegmentKey();
            noteFocusRingMaskChanged();
            return;
        }
        if (key == FunctionKey::RightArrow) {
            c->makeNextSegmentKey();
            noteFocusRingMaskChanged();
            return;
        }
        if (key == u' ') {
            c->chooseSegment(c->keyboardSegment());
            sendAction(action(), target());
            return;
        }
    }
    Control::keyDown(event);
}

fnd::String SegmentedControl::toolTipAtPoint(gfx::Point point, gfx::Rect* rect)
{
    if (auto cell = segmentedCell()) {
        long segment = cell->segmentAtPoint(point, bounds());
        if (segment >= 0) {
            if (auto tip = cell->toolTipForSegment(segment); !tip.isEmpty()) {
                if (rect)
                    *rect = cell->rectForSegment(segment, bounds());
                return tip;
            }
        }
    }
    return Control::toolTipAtPoint(point, rect);
}

}
