#include "platform/ui/views/View.h"
#include "platform/ui/views/detail/ViewCoordinates.h"

#include "platform/foundation/archiving/TypedDecoding.h"
#include "platform/foundation/runtime/Exception.h"

#include <cmath>
#include <string>

namespace ui {

namespace {

// Geometry an archive may hold is at most detail::ViewLargestExtent (also beyond the mark a collapsed split pane
// adds to its archived frame).
// Subviews of one view: far beyond any real layout; more is damage.
constexpr std::size_t ViewCodingSubviewLimit = 100000;

// Objects around a view being coded: each level of a view tree costs many stack frames of coding code, so a bound
// well below the archive's general object nesting keeps a crafted chain (through subviews or any other key) from
// exhausting the stack, also on small thread stacks and in instrumented builds. Real window layouts stay far below
// it; the archiver refuses what the unarchiver would.
constexpr std::size_t ViewCodingMaxNesting = 128;

bool viewCodingRectIsSound(gfx::Rect rect)
{
    for (double value : { rect.minX(), rect.minY(), rect.width(), rect.height() })
        if (!std::isfinite(value) || std::abs(value) > detail::ViewLargestExtent)
            return false;
    return true;
}

}

void View::encodeWithCoder(fnd::Coder& coder) const
{
    if (coder.objectNesting() > ViewCodingMaxNesting) {
        coder.failWithError(fnd::detail::coderError(fnd::CoderError::InvalidArchiveOperation,
            "Views are nested more than " + std::to_string(ViewCodingMaxNesting) + " deep."));
        return;
    }
    fnd::Array subviews;
    for (const auto& subview : subviewsForCoding())
        subviews.emplace_back(subview);
    if (coder.allowsKeyedCoding()) {
        coder.encodeRect(frameForCoding(), "NSFrame");
        coder.encodeRect(m_bounds, "NSBounds");
        coder.encodeInt64(m_autoresizingMask, "NSAutoresizingMask");
        coder.encodeBool(m_autoresizesSubviews, "NSAutoresizesSubviews");
        coder.encodeBool(m_hidden, "NSHidden");
        if (!m_toolTip.isEmpty())
            coder.encodeObject(fnd::Value(m_toolTip), "NSToolTip");
        coder.encodeObject(fnd::Value(std::move(subviews)), "NSSubviews");
        return;
    }
    coder.encodeRect(frameForCoding());
    coder.encodeRect(m_bounds);
    coder.encodeValueOfObjCType('I', fnd::Number(static_cast<unsigned long long>(m_autoresizingMask)));
    coder.encodeValueOfObjCType('c', fnd::Number(m_autoresizesSubviews ? 1 : 0));
    coder.encodeValueOfObjCType('c', fnd::Number(m_hidden ? 1 : 0));
    coder.encodeObject(m_toolTip.isEmpty() ? fnd::Value() : fnd::Value(m_toolTip));
    coder.encodeObject(fnd::Value(std::move(subviews)));
}

bool View::initWithCoder(fnd::Coder& coder)
{
    if (coder.objectNesting() > ViewCodingMaxNesting) {
        fnd::failDecoding(coder, "views are nested more than " + std::to_string(ViewCodingMaxNesting) + " deep");
        return false;
    }
    const bool keyed = coder.allowsKeyedCoding();
    gfx::Rect frame = keyed ? coder.decodeRectForKey("NSFrame") : coder.decodeRect();
    if (!coder.hasFailed() && !viewCodingRectIsSound(frame))
        fnd::failDecoding(coder, "a view's frame is not a rectangle on a screen");
    // Set up as one made in code with the frame, whatever else the archive holds.
    try {
        initWithFrame(coder.hasFailed() ? gfx::Rect {} : frame);
    } catch (const fnd::Exception& exception) {
        fnd::failDecoding(coder, "a view could not be made: " + exception.reason().utf8());
        return false;
    }
    if (coder.hasFailed())
        return false;

    gfx::Rect bounds = keyed ? (coder.containsValueForKey("NSBounds") ? coder.decodeRectForKey("NSBounds") : m_bounds)
                             : coder.decodeRect();
    std::int64_t mask
        = keyed ? coder.decodeInt64ForKey("NSAutoresizingMask") : coder.decodeValueOfObjCType('I').integerValue();
    bool autoresizes = keyed
        ? (!coder.containsValueForKey("NSAutoresizesSubviews") || coder.decodeBoolForKey("NSAutoresizesSubviews"))
        : coder.decodeValueOfObjCType('c').integerValue() != 0;
    bool hidden = keyed ? coder.decodeBoolForKey("NSHidden") : coder.decodeValueOfObjCType('c').integerValue() != 0;
    std::optional<fnd::String> toolTip;
    std::vector<std::shared_ptr<View>> subviews;
    if (keyed) {
        toolTip = fnd::decodeOptionalStringForKey(coder, "NSToolTip");
        subviews = fnd::decodeArrayOfClass<View>(coder, "NSSubviews", ViewCodingSubviewLimit, fnd::Ownership::Owned);
    } else {
        fnd::Value tip = coder.decodeObject();
        if (!tip.isNil() && !tip.string())
            fnd::failDecoding(coder, "a view's tool tip is not a string");
        else if (tip.string())
            toolTip = *tip.string();
        fnd::Value list = coder.decodeObject();
        if (!coder.hasFailed() && !list.isNil()) {
            const fnd::Array* array = list.array();
            if (!array || array->size() > ViewCodingSubviewLimit)
                fnd::failDecoding(coder, "a view's subviews are not a list of views");
            else
                for (const auto& element : *array) {
                    auto view = element.objectAs<View>();
                    if (!view) {
                        fnd::failDecoding(coder, "a view's subviews are not a list of views");
                        break;
                    }
                    subviews.push_back(std::move(view));
                }
        }
    }
    if (coder.hasFailed())
        return false;
    // A size may be negative, as the frame's may: a part laid out as "the width less its margins" in a view made
    // without a frame is.
    if (!viewCodingRectIsSound(bounds) || mask < 0 || mask > 63) {
        fnd::failDecoding(coder, "a view's bounds or autoresizing mask are out of range");
        return false;
    }

    if (bounds != m_bounds)
        setBounds(bounds);
    setAutoresizingMask(static_cast<unsigned>(mask));
    setAutoresizesSubviews(autoresizes);
    setHidden(hidden);
    setToolTip(toolTip.value_or(fnd::String()));
    // The archived subviews take the place of the parts initWithFrame made.
    while (!m_subviews.empty())
        m_subviews.back()->removeFromSuperview();
    try {
        for (const auto& subview : subviews)
            addSubview(subview);
    } catch (const fnd::Exception& exception) {
        fnd::failDecoding(coder, "a view's subviews cannot be its ancestors: " + exception.reason().utf8());
        return false;
    }
    return true;
}

}
