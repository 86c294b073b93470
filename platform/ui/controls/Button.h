#pragma once

#include "platform/ui/controls/ButtonCell.h"
#include "platform/ui/controls/Control.h"

namespace ui {

// A control with a button cell (push button, toggle, check box, radio button, ...). It answers its key
// equivalent, presses on Space while it has the keyboard, and a radio button turns off the radio buttons beside it
// (same superview, same action) when it is chosen.
class Button : public Control {
    FND_OBJECT(Button)
    static void describeClass(fnd::ClassBuilder<Button>& c);

public:
    Button() = default;
    static std::shared_ptr<Button> create(gfx::Rect frame = {}, const fnd::String& title = "Button");
    // Shorthands of the platform: a push button, a check box and a radio button with a title, target and action,
    // each sized to fit.
    static std::shared_ptr<Button> buttonWithTitle(
        const fnd::String& title, const std::shared_ptr<fnd::Object>& target, fnd::Selector action);
    static std::shared_ptr<Button> checkboxWithTitle(
        const fnd::String& title, const std::shared_ptr<fnd::Object>& target, fnd::Selector action);
    static std::shared_ptr<Button> radioButtonWithTitle(
        const fnd::String& title, const std::shared_ptr<fnd::Object>& target, fnd::Selector action);

    std::shared_ptr<Cell> makeCell() const override;
    // The cell as a button cell (nullptr when another kind of cell was set).
    std::shared_ptr<ButtonCell> buttonCell() const { return std::dynamic_pointer_cast<ButtonCell>(cell()); }

    // Forwarded to the button cell.
    fnd::String title() const;
    void setTitle(const fnd::String& title);
    fnd::String alternateTitle() const;
    void setAlternateTitle(const fnd::String& title);
    std::shared_ptr<txt::AttributedString> attributedTitle() const;
    void setAttributedTitle(std::shared_ptr<txt::AttributedString> title);
    std::shared_ptr<gfx::Image> image() const;
    void setImage(std::shared_ptr<gfx::Image> image);
    std::shared_ptr<gfx::Image> alternateImage() const;
    void setAlternateImage(std::shared_ptr<gfx::Image> image);
    CellImagePosition imagePosition() const;
    void setImagePosition(CellImagePosition position);
    ImageScaling imageScaling() const;
    void setImageScaling(ImageScaling scaling);
    void setButtonType(ButtonType type);
    BezelStyle bezelStyle() const;
    void setBezelStyle(BezelStyle style);
    bool isBordered() const;
    void setBordered(bool flag);
    bool isTransparent() const;
    void setTransparent(bool flag);
    bool showsBorderOnlyWhileMouseInside() const;
    void setShowsBorderOnlyWhileMouseInside(bool flag);
    fnd::String keyEquivalent() const;
    void setKeyEquivalent(const fnd::String& key);
    unsigned long keyEquivalentModifierMask() const;
    void setKeyEquivalentModifierMask(unsigned long mask);
    void setNextState();

    // Clicks the button when the key press is its key equivalent (Return for the default button).
    bool performKeyEquivalent(const Event& event) override;
    // Space presses the button.
    void keyDown(const Event& event) override;
    // Hover tracking for buttons that show their border only while the mouse is inside.
    void updateTrackingAreas() override;
    void viewDidMoveToWindow() override;
    bool sendAction(fnd::Selector action, const std::shared_ptr<fnd::Object>& target) override;

private:
    std::shared_ptr<TrackingArea> m_hoverArea;
};

}
