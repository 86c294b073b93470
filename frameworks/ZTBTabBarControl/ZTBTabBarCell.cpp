#include "frameworks/ZTBTabBarControl/ZTBTabBarCell.h"

#include "frameworks/ZTBTabBarControl/ZTBTabBarControl.h"
#include "frameworks/ZTBTabBarControl/ZTBTabControls.h"
#include "frameworks/tab-bar-core/TabResources.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/ui/containers/TabViewItem.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <cmath>

FND_REGISTER_CLASS(ZTBTabBarCell, fnd::Object)

std::shared_ptr<ZTBTabBarControlBase> ZTBTabBarCell::tabBar() const
{
    return m_control.lock();
}

void ZTBTabBarCell::describeClass(fnd::ClassBuilder<ZTBTabBarCell>& c)
{
    c.property("title", &ZTBTabBarCell::title, &ZTBTabBarCell::setTitle);
    c.property("count", &ZTBTabBarCell::count, &ZTBTabBarCell::setCount);
    c.property("countColor", &ZTBTabBarCell::countColor, &ZTBTabBarCell::setCountColor);
    c.property("hasIcon", &ZTBTabBarCell::hasIcon, &ZTBTabBarCell::setHasIcon);
    c.property("hasLargeImage", &ZTBTabBarCell::hasLargeImage, &ZTBTabBarCell::setHasLargeImage);
    c.property("isEdited", &ZTBTabBarCell::isEdited, &ZTBTabBarCell::setIsEdited);
}

ZTBTabBarCell::ZTBTabBarCell() = default;

ZTBTabBarCell::~ZTBTabBarCell()
{
    stopObservingIdentifier();
    if (m_indicator)
        m_indicator->removeFromSuperview();
}

std::shared_ptr<ZTBTabBarCell> ZTBTabBarCell::create(const std::shared_ptr<ZTBTabBarControl>& control)
{
    auto cell = fnd::makeObject<ZTBTabBarCell>();
    cell->m_control = control;
    cell->m_indicator = makeIndicator();
    return cell;
}

std::shared_ptr<ZTBTabBarCell> ZTBTabBarCell::placeholder(
    gfx::Rect frame, bool expanded, const std::shared_ptr<ZTBTabBarControl>& control)
{
    auto cell = fnd::makeObject<ZTBTabBarCell>();
    cell->m_control = control;
    cell->m_isPlaceholder = true;
    if (!expanded) {
        if (control && control->orientation() == 0)
            frame.size.width = 0;
        else
            frame.size.height = 0;
    }
    cell->setFrame(frame);
    cell->setCurrentStep(expanded ? 7 : 0);
    return cell;
}

void ZTBTabBarCell::setStringValue(const fnd::String& title)
{
    m_title = title;
    m_stringSize.reset();
    if (auto control = controlView())
        control->update();
}

gfx::Size ZTBTabBarCell::stringSize() const
{
    if (!m_stringSize)
        if (auto text = attributedStringValue())
            m_stringSize = text->size();
    return m_stringSize.value_or(gfx::Size {});
}

void ZTBTabBarCell::setFrame(gfx::Rect frame)
{
    m_frame = frame;
    auto control = controlView();
    if (m_indicator && !m_indicator->isHidden() && control && !control->isTabBarHidden())
        m_indicator->setFrame(indicatorRectForFrame(frame));
}

void ZTBTabBarCell::setCurrentStep(long step)
{
    m_currentStep = std::clamp<long>(step, 0, 7);
}

bool ZTBTabBarCell::closeButtonOver() const
{
    if (!m_closeButtonOver)
        return false;
    auto control = controlView();
    return (control && control->allowsBackgroundTabClosing()) || (m_tabState & ZTBTabState::Selected)
        || (ui::Event::currentModifierFlags() & ui::ModifierFlags::Command);
}

bool ZTBTabBarCell::isIndicatorShown() const
{
    return m_indicator && !m_indicator->isHidden();
}

void ZTBTabBarCell::setIsInOverflowMenu(bool flag)
{
    if (m_isInOverflowMenu == flag)
        return;
    m_isInOverflowMenu = flag;
    auto control = controlView();
    auto delegate = control ? control->delegate() : nullptr;
    if (delegate && control->tabView() && m_item)
        delegate->tabViewTabViewItemIsInOverflowMenu(*control->tabView(), *m_item, flag);
}

std::shared_ptr<txt::AttributedString> ZTBTabBarCell::attributedStringValue() const
{
    auto control = controlView();
    return control && control->style() ? control->style()->attributedStringValueForTabCell(*this) : nullptr;
}

gfx::Rect ZTBTabBarCell::indicatorRectForFrame(gfx::Rect) const
{
    auto control = controlView();
    return control && control->style() ? control->style()->indicatorRectForTabCell(*this) : gfx::Rect {};
}

gfx::Rect ZTBTabBarCell::closeButtonRectForFrame(gfx::Rect frame) const
{
    auto control = controlView();
    return control && control->style() ? control->style()->closeButtonRectForTabCell(*this, frame) : gfx::Rect {};
}

double ZTBTabBarCell::minimumWidthOfCell() const
{
    auto control = controlView();
    return control && control->style() ? control->style()->minimumWidthOfTabCell(*this) : 0;
}

double ZTBTabBarCell::desiredWidthOfCell() const
{
    auto control = controlView();
    return control && control->style() ? control->style()->desiredWidthOfTabCell(*this) : 0;
}

void ZTBTabBarCell::drawWithFrame(gfx::Rect frame)
{
    if (m_isPlaceholder) {
        gfx::Color::colorWithCalibratedWhite(0.0, 0.2)->setFill();
        if (auto* context = gfx::GraphicsContext::current())
            context->fillRectUsingOperation(frame, gfx::CompositingOperation::SourceAtop);
        return;
    }
    if (auto control = controlView(); control && control->style())
        control->style()->drawTabCell(*this);
}

void ZTBTabBarCell::mouseEntered(const ui::Event& event)
{
    const long number = event.trackingNumber();
    if (number == m_closeButtonTrackingTag)
        m_closeButtonOver = true;
    if (number == m_cellTrackingTag)
        m_highlighted = true;
    auto control = controlView();
    if (!control)
        return;
    if (control->allowsScrubbing() && (event.modifierFlags() & ui::ModifierFlags::Alternate))
        control->tabClick(*this);
    control->setNeedsDisplayInRect(gfx::insetRect(m_frame, -2.0, -2.0));
}

void ZTBTabBarCell::mouseExited(const ui::Event& event)
{
    const long number = event.trackingNumber();
    if (number == m_closeButtonTrackingTag)
        m_closeButtonOver = false;
    if (number == m_cellTrackingTag)
        m_highlighted = false;
    if (auto control = controlView())
        control->setNeedsDisplayInRect(gfx::insetRect(m_frame, -2.0, -2.0));
}

std::shared_ptr<gfx::Image> ZTBTabBarCell::dragImage()
{
    auto control = controlView();
    if (!control)
        return gfx::Image::imageWithSize({ 1, 1 });
    const gfx::Rect r
        = control->style() ? control->style()->dragRectForTabCell(*this, control->orientation()) : gfx::Rect {};
    auto image = gfx::Image::imageWithSize(gfx::Size { std::max(1.0, r.width()), std::max(1.0, r.height()) });
    // The tab as the window shows it: styles shade the bar over what lies beneath it, so the picture is taken of
    // the window's views over its background, not of the bar alone (which would leave the tab see-through).
    auto window = control->window();
    std::shared_ptr<ui::View> shown = window ? window->contentView() : nullptr;
    ui::View& source = shown ? *shown : *control;
    const gfx::Rect taken = shown ? shown->convertRectFromView(r, control.get()) : r;
    auto bitmap = r.isEmpty() ? nullptr : source.bitmapImageRepForCachingDisplayInRect(taken);
    image->lockFocus();
    if (auto background = window ? window->backgroundColor() : nullptr; background && bitmap) {
        background->setFill();
        gfx::BezierPath::fillRect({ { 0, 0 }, r.size });
    }
    if (bitmap) {
        source.cacheDisplayInRect(taken, *bitmap);
        auto captured = gfx::Image::imageWithRepresentation(bitmap);
        captured->setSize(r.size);
        captured->drawAtPoint({ 0, 0 }, {}, gfx::CompositingOperation::SourceOver, 1.0);
    }
    // A still picture stands for the running spinner, its lower left corner 3 points above the image's bottom.
    if (isIndicatorShown())
        if (auto pi = tbcore::namedImage("ZTBTabBarControl", "pi"))
            pi->drawAtPoint({ m_frame.width() - 6.0 - 16.0, 3.0 }, {}, gfx::CompositingOperation::SourceOver, 1.0);
    image->unlockFocus();
    return image;
}

void ZTBTabBarCell::setTabState(long state)
{
    const bool selectionChanged = ((state ^ m_tabState) & ZTBTabState::Selected) != 0;
    m_tabState = state;
    if (selectionChanged)
        ui::accessibilityPostNotification(*this, ui::AccessibilityNotification::ValueChanged);
}

void ZTBTabBarCell::observeIdentifierKey(const std::shared_ptr<fnd::Object>& identifier, const fnd::String& key)
{
    if (m_observedIdentifier != identifier)
        stopObservingIdentifier();
    m_observedIdentifier = identifier;
    identifier->addObserver(*this, key);
    m_observedKeys.push_back(key);
}

void ZTBTabBarCell::stopObservingIdentifier()
{
    if (m_observedIdentifier)
        for (const auto& key : m_observedKeys)
            m_observedIdentifier->removeObserver(*this, key);
    m_observedIdentifier.reset();
    m_observedKeys.clear();
}

void ZTBTabBarCell::observeValueForKeyPath(const fnd::String&, fnd::Object&, const fnd::KeyValueChange&, const void*)
{
    // Not inside the change notification: in the window's next layout pass.
    if (auto control = m_control.lock())
        control->setNeedsUpdate();
}

std::shared_ptr<ZTBProgressIndicator> ZTBTabBarCell::makeIndicator()
{
    auto indicator = ZTBProgressIndicator::create({ 0, 0, 16, 16 });
    indicator->setStyle(ui::ProgressIndicatorStyle::Spinning);
    indicator->setAutoresizingMask(8);
    return indicator;
}

// The cell's own data (its title and tab view item), then the keys in the order they are written.
void ZTBTabBarCell::encodeWithCoder(fnd::Coder& coder) const
{
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeObject(fnd::Value(m_title), "NSContents");
    coder.encodeObject(m_item ? fnd::Value(m_item) : fnd::Value(), "NSRepresentedObject");
    coder.encodeRect(m_frame, "frame");
    coder.encodeSize(stringSize(), "stringSize");
    coder.encodeInteger(m_currentStep, "currentStep");
    coder.encodeBool(m_isPlaceholder, "isPlaceholder");
    coder.encodeInteger(m_tabState, "tabState");
    coder.encodeInteger(m_closeButtonTrackingTag, "closeButtonTrackingTag");
    coder.encodeInteger(m_cellTrackingTag, "cellTrackingTag");
    coder.encodeBool(m_closeButtonOver, "closeButtonOver");
    coder.encodeBool(m_closeButtonPressed, "closeButtonPressed");
    coder.encodeObject(m_indicator ? fnd::Value(m_indicator) : fnd::Value(), "indicator");
    coder.encodeBool(m_isInOverflowMenu, "isInOverflowMenu");
    coder.encodeBool(m_hasCloseButton, "hasCloseButton");
    coder.encodeBool(m_isCloseButtonSuppressed, "isCloseButtonSuppressed");
    coder.encodeBool(m_hasIcon, "hasIcon");
    coder.encodeBool(m_hasLargeImage, "hasLargeImage");
    coder.encodeInteger(m_count, "count");
    coder.encodeBool(m_isEdited, "isEdited");
}

bool ZTBTabBarCell::initWithCoder(fnd::Coder& coder)
{
    if (!coder.allowsKeyedCoding()) {
        m_indicator = makeIndicator();
        return true;
    }
    auto title = fnd::decodeStringForKey(coder, "NSContents");
    auto item = fnd::decodeObjectOfClass<ui::TabViewItem>(coder, "NSRepresentedObject");
    auto indicator = fnd::decodeObjectOfClass<ZTBProgressIndicator>(coder, "indicator");
    // A key that is missing keeps the initial value.
    auto readBool = [&](const char* key, bool& into) {
        if (coder.containsValueForKey(key))
            into = coder.decodeBoolForKey(key);
    };
    auto readLong = [&](const char* key, long& into) {
        if (coder.containsValueForKey(key))
            into = long(coder.decodeIntegerForKey(key));
    };
    if (coder.containsValueForKey("frame"))
        m_frame = coder.decodeRectForKey("frame");
    if (coder.containsValueForKey("stringSize"))
        m_stringSize = coder.decodeSizeForKey("stringSize");
    // The step indexes the drag's width table: held to 0..7 as the setter holds it.
    if (coder.containsValueForKey("currentStep"))
        setCurrentStep(long(coder.decodeIntegerForKey("currentStep")));
    readBool("isPlaceholder", m_isPlaceholder);
    readLong("tabState", m_tabState);
    // "closeButtonTrackingTag" and "cellTrackingTag" named rects of the bar that wrote the archive: a decoded cell
    // has none until its bar places it, and a tag from the archive could name another owner's rect here.
    readBool("closeButtonOver", m_closeButtonOver);
    readBool("closeButtonPressed", m_closeButtonPressed);
    readBool("isInOverflowMenu", m_isInOverflowMenu);
    readBool("hasCloseButton", m_hasCloseButton);
    readBool("isCloseButtonSuppressed", m_isCloseButtonSuppressed);
    readBool("hasIcon", m_hasIcon);
    readBool("hasLargeImage", m_hasLargeImage);
    readBool("isEdited", m_isEdited);
    m_count = long(fnd::decodeBoundedIntegerForKey(coder, "count", 0, LargestCount, m_count));
    if (coder.hasFailed())
        return false;
    for (double value : { m_frame.minX(), m_frame.minY(), m_frame.width(), m_frame.height(),
             m_stringSize.value_or(gfx::Size {}).width, m_stringSize.value_or(gfx::Size {}).height })
        if (!std::isfinite(value) || std::abs(value) > 1e7) {
            fnd::failDecoding(coder, "a tab cell's frame is not a rectangle on a screen");
            return false;
        }
    m_title = title;
    m_item = item;
    // A cell always has its indicator (the control's own code asks for it).
    m_indicator = indicator ? indicator : makeIndicator();
    return true;
}
