#pragma once

#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/runtime/Object.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Geometry.h"
#include "platform/ui/accessibility/AccessibilityElement.h"
#include "platform/ui/accessibility/AccessibilityPartElement.h"
#include "platform/ui/views/TrackingArea.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

namespace gfx {
class Color;
class Image;
}
namespace txt {
class AttributedString;
}
namespace ui {
class Event;
class TabViewItem;
}
class ZTBProgressIndicator;
class ZTBTabBarControl;
class ZTBTabBarControlBase;

// Tab state bits the layout sets and the styles draw from.
namespace ZTBTabState {
inline constexpr long Selected = 2;
inline constexpr long LeftIsSelected = 4;
inline constexpr long RightIsSelected = 8;
inline constexpr long First = 16;
inline constexpr long JustDeselected = 32;
inline constexpr long Last = 64;
inline constexpr long Single = 128;
}

// One tab of a tab bar control: what a style needs to draw it. A placeholder (no item) stands for the gap a dragged
// tab would fall into and grows or shrinks in steps 0 to 7. The cell owns the tracking rects the bar registers for it.
class ZTBTabBarCell : public fnd::Object,
                      public fnd::Coding,
                      public ui::TrackingOwner,
                      public ui::AccessibilityElement,
                      public ui::AccessibilityPartOwner {
    FND_OBJECT(ZTBTabBarCell)
    static void describeClass(fnd::ClassBuilder<ZTBTabBarCell>& c);

public:
    ZTBTabBarCell();
    ~ZTBTabBarCell() override;
    static std::shared_ptr<ZTBTabBarCell> create(const std::shared_ptr<ZTBTabBarControl>& control);
    // Made by name (an interface file, a copy by class) a cell has its indicator too, as a decoded one does.
    static std::shared_ptr<ZTBTabBarCell> createByName() { return create(nullptr); }
    static std::shared_ptr<ZTBTabBarCell> placeholder(
        gfx::Rect frame, bool expanded, const std::shared_ptr<ZTBTabBarControl>& control);

    std::shared_ptr<ZTBTabBarControl> controlView() const { return m_control.lock(); }
    // The control as its styles see it.
    std::shared_ptr<ZTBTabBarControlBase> tabBar() const;
    void setControlView(const std::shared_ptr<ZTBTabBarControl>& control) { m_control = control; }
    std::shared_ptr<ui::TabViewItem> representedObject() const { return m_item; }
    void setRepresentedObject(std::shared_ptr<ui::TabViewItem> item) { m_item = std::move(item); }

    long state() const { return m_state; }
    void setState(long state) { m_state = state; }
    bool isHighlighted() const { return m_highlighted; }
    void setHighlighted(bool flag) { m_highlighted = flag; }
    const fnd::String& stringValue() const { return m_title; }
    // Lays the bar out again; the title is measured when its size is asked for.
    void setStringValue(const fnd::String& title);
    fnd::String title() const { return m_title; }
    void setTitle(const fnd::String& title) { setStringValue(title); }

    gfx::Rect frame() const { return m_frame; }
    void setFrame(gfx::Rect frame);
    double width() const { return m_frame.width(); }
    // The title's size in the bar's style, measured on first request after the title changes.
    gfx::Size stringSize() const;
    long currentStep() const { return m_currentStep; }
    // Clamped to 0..7.
    void setCurrentStep(long step);
    bool isPlaceholder() const { return m_isPlaceholder; }
    void setIsPlaceholder(bool flag) { m_isPlaceholder = flag; }
    long tabState() const { return m_tabState; }
    // Assistive technologies hear when the tab becomes or stops being the selected one.
    void setTabState(long state);
    long closeButtonTrackingTag() const { return m_closeButtonTrackingTag; }
    void setCloseButtonTrackingTag(long tag) { m_closeButtonTrackingTag = tag; }
    long cellTrackingTag() const { return m_cellTrackingTag; }
    void setCellTrackingTag(long tag) { m_cellTrackingTag = tag; }
    // Over the close button, and the button works there (background closing, the selected tab, or Command held).
    bool closeButtonOver() const;
    bool closeButtonOverFlag() const { return m_closeButtonOver; }
    void setCloseButtonOver(bool flag) { m_closeButtonOver = flag; }
    bool closeButtonPressed() const { return m_closeButtonPressed; }
    void setCloseButtonPressed(bool flag) { m_closeButtonPressed = flag; }
    const std::shared_ptr<ZTBProgressIndicator>& indicator() const { return m_indicator; }
    bool isIndicatorShown() const;
    bool isInOverflowMenu() const { return m_isInOverflowMenu; }
    // Tells the delegate when the value changes.
    void setIsInOverflowMenu(bool flag);
    bool hasCloseButton() const { return m_hasCloseButton; }
    void setHasCloseButton(bool flag) { m_hasCloseButton = flag; }
    bool isCloseButtonSuppressed() const { return m_isCloseButtonSuppressed; }
    void setCloseButtonSuppressed(bool flag) { m_isCloseButtonSuppressed = flag; }
    bool hasIcon() const { return m_hasIcon; }
    void setHasIcon(bool flag) { m_hasIcon = flag; }
    bool hasLargeImage() const { return m_hasLargeImage; }
    void setHasLargeImage(bool flag) { m_hasLargeImage = flag; }
    long count() const { return m_count; }
    // From 0 to LargestCount, as archives hold it (a count beyond is taken as that).
    static constexpr long LargestCount = 1L << 40;
    void setCount(long count) { m_count = std::clamp(count, 0L, LargestCount); }
    const std::shared_ptr<gfx::Color>& countColor() const { return m_countColor; }
    void setCountColor(std::shared_ptr<gfx::Color> color) { m_countColor = std::move(color); }
    bool isEdited() const { return m_isEdited; }
    void setIsEdited(bool flag) { m_isEdited = flag; }
    // The cell's own tint; Default follows the platform's current tint.
    gfx::ControlTint controlTint() const { return m_controlTint; }
    void setControlTint(gfx::ControlTint tint) { m_controlTint = tint; }

    std::shared_ptr<txt::AttributedString> attributedStringValue() const;
    gfx::Rect indicatorRectForFrame(gfx::Rect frame) const;
    gfx::Rect closeButtonRectForFrame(gfx::Rect frame) const;
    double minimumWidthOfCell() const;
    double desiredWidthOfCell() const;

    void drawWithFrame(gfx::Rect frame);
    // Enter and exit events of the control's tracking rects, told apart by their tracking number.
    void mouseEntered(const ui::Event& event) override;
    void mouseExited(const ui::Event& event) override;
    // The tab's picture for a drag (the bar's pixels, with the "pi" picture for a running indicator).
    std::shared_ptr<gfx::Image> dragImage();

    // Accessibility (ZTBTabBarControlAccessibility.cpp): a page tab titled with the tab's title whose value tells
    // whether it is the selected tab, with the count in its help; pressing it selects the tab. It has the focus only
    // while it is the selected tab and its bar has the keyboard. Its close button, while shown, is a push button of
    // its own ("Close <title>") that closes the tab. A placeholder is ignored.
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    std::vector<fnd::String> accessibilityActionNames() const override;
    void accessibilityPerformAction(const fnd::String& action) override;
    bool accessibilityIsIgnored() const override { return m_isPlaceholder; }
    fnd::Value accessibilityHitTest(gfx::Point screenPoint) const override;
    fnd::Value accessibilityFocusedUIElement() const override;
    // "title, 3 messages" when the control's delegate names the count, else the title.
    fnd::String accessibilityHelp() const;
    fnd::Value accessibilityPartAttributeValue(long part, ui::AccessibilityAttributeKey key) const override;
    std::vector<fnd::String> accessibilityPartActionNames(long part) const override;
    void accessibilityPartPerformAction(long part, const fnd::String& action) override;

    // The identifier properties the cell watches (a change lays the bar out again).
    void observeIdentifierKey(const std::shared_ptr<fnd::Object>& identifier, const fnd::String& key);
    void stopObservingIdentifier();

    void observeValueForKeyPath(const fnd::String& keyPath, fnd::Object& object, const fnd::KeyValueChange& change,
        const void* context) override;
    // After the title and the item: the frame, the title's size, the step, the tab state, the tracking tags, the
    // flags, the indicator and the count (not the count's colour). A missing key keeps the initial value; a step
    // beyond 0..7 is held to it, as by setCurrentStep.
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    static std::shared_ptr<ZTBProgressIndicator> makeIndicator();

    std::weak_ptr<ZTBTabBarControl> m_control;
    std::shared_ptr<ui::TabViewItem> m_item;
    fnd::String m_title;
    long m_state { 0 };
    bool m_highlighted { false };
    gfx::Rect m_frame;
    mutable std::optional<gfx::Size> m_stringSize;
    long m_currentStep { 0 };
    bool m_isPlaceholder { false };
    long m_tabState { 0 };
    long m_closeButtonTrackingTag { 0 };
    long m_cellTrackingTag { 0 };
    bool m_closeButtonOver { false };
    bool m_closeButtonPressed { false };
    std::shared_ptr<ZTBProgressIndicator> m_indicator;
    bool m_isInOverflowMenu { false };
    bool m_hasCloseButton { true };
    // The close button's element, the same on every walk.
    mutable ui::AccessibilityParts m_closeButtonElement;
    bool m_isCloseButtonSuppressed { false };
    bool m_hasIcon { false };
    bool m_hasLargeImage { false };
    long m_count { 0 };
    std::shared_ptr<gfx::Color> m_countColor;
    bool m_isEdited { false };
    gfx::ControlTint m_controlTint { gfx::ControlTint::Default };
    std::shared_ptr<fnd::Object> m_observedIdentifier;
    std::vector<fnd::String> m_observedKeys;
};
