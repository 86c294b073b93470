// Autosaved layouts of the proportional split view (one state string per split view in the user defaults, nested
// split views under derived names) and the archiving of the split view.
#include "frameworks/proportional-split-view/KJSplitView.h"

#include "platform/foundation/files/UserDefaults.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Image.h"
#include "platform/ui/views/detail/ViewCoordinates.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>
#include <string_view>

namespace {

// A number with a decimal point whatever the process's locale (a layout saved under one locale must read back under
// another), in the shortest form that reads back exactly: whole and quarter points look as "%g" would write them,
// and a rounding remainder keeps all its digits, so a restored layout rounds to the very same frames.
std::string KJSplitViewStateFormat(double value)
{
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value == 0 ? 0.0 : value);
    return std::string(buffer, result.ptr);
}

// The leading number of a component, in the C locale; 0 when it has none.
double KJSplitViewStateLeadingNumber(std::string_view text)
{
    double value = 0;
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc {})
        return 0;
    return value;
}

long long KJSplitViewStateLeadingInteger(std::string_view text)
{
    long long value = 0;
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec != std::errc {})
        return 0;
    return value;
}

std::vector<std::string_view> KJSplitViewStateComponents(std::string_view text, std::size_t expected)
{
    std::vector<std::string_view> parts;
    parts.reserve(expected);
    std::size_t start = 0;
    for (;;) {
        auto blank = text.find(' ', start);
        if (blank == std::string_view::npos) {
            parts.push_back(text.substr(start));
            return parts;
        }
        parts.push_back(text.substr(start, blank - start));
        start = blank + 1;
    }
}

}

fnd::String KJSplitView::defaultsKeyForName(const fnd::String& name, bool isHorizontal)
{
    return fnd::String(std::string("KJSplitView ") + (isHorizontal ? "H" : "V") + " " + name.utf8());
}

void KJSplitView::removeStateUsingName(const fnd::String& name)
{
    if (name.isEmpty())
        return;
    auto& defaults = fnd::UserDefaults::standardUserDefaults();
    defaults.removeObjectForKey(defaultsKeyForName(name, true));
    defaults.removeObjectForKey(defaultsKeyForName(name, false));
}

void KJSplitView::setAutosaveName(const fnd::String& name, bool recursively)
{
    // Giving the name it already has keeps what is saved under it.
    if (name != m_autosaveName) {
        removeStateUsingName(m_autosaveName);
        m_autosaveName = name;
    }
    if (!recursively)
        return;
    const auto& list = subviews();
    for (std::size_t i = 0; i < list.size(); ++i) {
        auto nested = std::dynamic_pointer_cast<KJSplitView>(list[i]);
        if (!nested)
            continue;
        fnd::String derived;
        if (!m_autosaveName.isEmpty())
            derived = fnd::String(m_autosaveName.utf8() + "[" + std::to_string(i) + "]");
        nested->setAutosaveName(derived, true);
    }
}

bool KJSplitView::saveState(bool recursive)
{
    if (!m_canSaveState || m_isDragging || m_autosaveName.isEmpty())
        return false;
    fnd::UserDefaults::standardUserDefaults().setObject(
        fnd::Value(stringWithSavedState()), defaultsKeyForName(m_autosaveName, isHorizontal()));
    if (recursive) {
        for (const auto& view : subviews()) {
            if (auto nested = std::dynamic_pointer_cast<KJSplitView>(view))
                nested->saveState(true);
        }
    }
    return true;
}

bool KJSplitView::restoreState(bool recursive)
{
    bool accepted = false;
    if (!m_autosaveName.isEmpty()) {
        auto stored = fnd::UserDefaults::standardUserDefaults().stringForKey(
            defaultsKeyForName(m_autosaveName, isHorizontal()));
        accepted = stored && setStateFromString(*stored);
        if (accepted && recursive) {
            for (const auto& view : subviews()) {
                if (auto nested = std::dynamic_pointer_cast<KJSplitView>(view))
                    nested->restoreState(true);
            }
        }
    }
    m_canSaveState = true;
    return accepted;
}

fnd::String KJSplitView::stringWithSavedState() const
{
    std::string text = std::to_string(subviews().size());
    for (const auto& view : subviews()) {
        auto subview = std::dynamic_pointer_cast<KJSplitSubview>(view);
        if (!subview)
            continue;
        double value = subview->isCollapsed() ? -subview->dimension() : subview->dimension() + subview->fraction();
        text += " " + KJSplitViewStateFormat(value);
        if (subview->isHidden())
            text += "H";
    }
    return fnd::String(text);
}

fnd::Value KJSplitView::arrayWithStates() const
{
    fnd::Array states;
    states.emplace_back(stringWithSavedState());
    for (const auto& view : subviews()) {
        if (auto nested = std::dynamic_pointer_cast<KJSplitView>(view))
            states.push_back(nested->arrayWithStates());
        else
            states.emplace_back(fnd::Null {});
    }
    return fnd::Value(std::move(states));
}

bool KJSplitView::setStateFromString(const fnd::String& string)
{
    auto text = string.utf8();
    if (text.empty())
        return false;
    // A string for another number of panes (a damaged one, or one saved before panes were added) is refused before
    // anything is split or collected: the count and the blanks between the components must match the panes.
    long long count = 0;
    for (const auto& view : subviews()) {
        if (dynamic_cast<const KJSplitSubview*>(view.get()))
            ++count;
    }
    const auto blanks = static_cast<long long>(std::count(text.begin(), text.end(), ' '));
    if (blanks < 1 || blanks != count)
        return false;
    if (KJSplitViewStateLeadingInteger(std::string_view(text).substr(0, text.find(' '))) != count)
        return false;
    auto parts = KJSplitViewStateComponents(text, static_cast<std::size_t>(blanks) + 1);
    std::vector<std::shared_ptr<KJSplitSubview>> panes;
    panes.reserve(static_cast<std::size_t>(count));
    for (const auto& view : subviews()) {
        if (auto subview = std::dynamic_pointer_cast<KJSplitSubview>(view))
            panes.push_back(subview);
    }
    std::vector<double> values;
    values.reserve(panes.size());
    for (std::size_t i = 1; i < parts.size(); ++i) {
        double v = KJSplitViewStateLeadingNumber(parts[i]);
        // Infinite or undefined sizes would leave no layout at all: the string is refused like a damaged one.
        if (!std::isfinite(v))
            return false;
        values.push_back(v);
    }
    auto self = shared_from_this();
    for (std::size_t i = 0; i < panes.size(); ++i) {
        auto& pane = *panes[i];
        double v = values[i];
        bool hidden = !parts[i + 1].empty() && parts[i + 1].back() == 'H';
        // Bounded as every frame a view reads (archives, saved window frames): a hidden pane 1e308 wide, which no
        // layout touches, made an archive that reported success and could not be read back.
        double a = std::min(std::fabs(v), ui::detail::ViewLargestCoordinate);
        auto f = frame();
        f.origin = {};
        f.size = gfx::withAlong(f.size, axis(), std::floor(a));
        // Restored frames are not reports: the delegate hears of them when the adjusting sets them.
        pane.KJ_setFrame(f, a - std::floor(a), false);
        if (!(v > 0))
            pane.KJ_collapse();
        pane.KJ_setHidden(hidden);
    }
    setMustAdjust();
    return true;
}

bool KJSplitView::setStatesFromArray(const fnd::Value& value)
{
    const auto* array = value.array();
    if (!array || array->size() != subviews().size() + 1)
        return false;
    const auto* state = (*array)[0].string();
    if (!state || !setStateFromString(*state))
        return false;
    const auto list = subviews();
    for (std::size_t i = 0; i < list.size(); ++i) {
        const auto& element = (*array)[i + 1];
        auto nested = std::dynamic_pointer_cast<KJSplitView>(list[i]);
        if ((element.array() != nullptr) != (nested != nullptr))
            return false;
        if (nested && !nested->setStatesFromArray(element))
            return false;
    }
    return true;
}

// Coding.

void KJSplitView::encodeWithCoder(fnd::Coder& coder) const
{
    KJSplitSubview::encodeWithCoder(coder);
    fnd::Value dividerData;
    if (m_divider) {
        if (auto tiff = m_divider->TIFFRepresentation())
            dividerData = fnd::Value(*tiff);
    }
    auto delegateObject = std::dynamic_pointer_cast<fnd::Object>(m_delegate.lock());
    fnd::Value delegateValue = delegateObject ? fnd::Value(delegateObject) : fnd::Value();
    fnd::Value backgroundValue = m_background
        ? fnd::Value(std::static_pointer_cast<fnd::Object>(std::const_pointer_cast<gfx::Color>(m_background)))
        : fnd::Value();
    if (coder.allowsKeyedCoding()) {
        coder.encodeConditionalObject(delegateValue, "delegate");
        coder.encodeObject(fnd::Value(m_autosaveName), "autosaveName");
        coder.encodeObject(dividerData, "divider");
        coder.encodeObject(backgroundValue, "background");
        coder.encodeDouble(m_dividerThickness, "dividerThickness");
        coder.encodeBool(m_isHorizontal, "isHorizontal");
        coder.encodeBool(m_isCoupled, "isCoupled");
        return;
    }
    coder.encodeConditionalObject(delegateValue);
    coder.encodeObject(fnd::Value(m_autosaveName));
    coder.encodeObject(dividerData);
    coder.encodeObject(backgroundValue);
    coder.encodeValueOfObjCType('d', fnd::Number(m_dividerThickness));
    coder.encodeValueOfObjCType('c', fnd::Number(static_cast<long long>(m_isHorizontal)));
    coder.encodeValueOfObjCType('c', fnd::Number(static_cast<long long>(m_isCoupled)));
}

bool KJSplitView::initWithCoder(fnd::Coder& coder)
{
    if (!KJSplitSubview::initWithCoder(coder))
        return false;
    setAutoresizesSubviews(false);
    m_isCoupled = true;
    m_isDragging = false;
    m_isInScrollView = false;
    m_canSaveState = false;
    fnd::Value delegateValue;
    fnd::Value dividerData;
    fnd::Value backgroundValue;
    double thickness = 0;
    if (coder.allowsKeyedCoding()) {
        m_isCoupled = coder.decodeBoolForKey("isCoupled");
        delegateValue = coder.decodeObjectForKey("delegate");
        setAutosaveName(fnd::decodeStringForKey(coder, "autosaveName"), false);
        dividerData = coder.decodeObjectForKey("divider");
        backgroundValue = coder.decodeObjectForKey("background");
        thickness = coder.decodeDoubleForKey("dividerThickness");
        m_isHorizontal = coder.decodeBoolForKey("isHorizontal");
    } else {
        delegateValue = coder.decodeObject();
        setAutosaveName(coder.decodeObject().stringValue(), false);
        dividerData = coder.decodeObject();
        backgroundValue = coder.decodeObject();
        thickness = coder.decodeValueOfObjCType('d').doubleValue();
        m_isHorizontal = coder.decodeValueOfObjCType('c').integerValue() != 0;
        m_isCoupled = coder.decodeValueOfObjCType('c').integerValue() != 0;
    }
    if (coder.hasFailed())
        return false;
    if ((!dividerData.isNil() && !dividerData.data())
        || (!backgroundValue.isNil() && !backgroundValue.objectAs<gfx::Color>())) {
        fnd::failDecoding(coder, "a split view's divider is not image data or its background not a colour");
        return false;
    }
    if (auto d = std::dynamic_pointer_cast<KJSplitViewDelegate>(delegateValue.object()))
        m_delegate = d;
    // Not nested yet: the coupling cannot hide the view's own settings while they are read.
    m_background = nullptr;
    if (auto color = backgroundValue.objectAs<gfx::Color>(); color && color->alphaComponent() > 0)
        m_background = color;
    m_dividers.clear();
    m_divider = nullptr;
    if (const auto* data = dividerData.data()) {
        if (auto rep = gfx::BitmapImageRep::imageRepWithData(*data)) {
            auto image = gfx::Image::imageWithRepresentation(*rep);
            image->setFlipped(true);
            m_divider = image;
        }
    }
    m_dividerThickness = 0;
    setDividerThickness(thickness);
    // The adjustment, and with it the check for an enclosing scroll view, runs in the layout pass once the view
    // sits in its window.
    setMustAdjust();
    return !coder.hasFailed();
}
