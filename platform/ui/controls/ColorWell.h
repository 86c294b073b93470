#pragma once

#include "platform/ui/controls/Control.h"

#include <functional>

namespace ui {

// A swatch of a colour the person can change. A click (or Space) makes a bordered well active, and the shared colour
// panel opens on it through the opener installed by the panel classes; clicking the active well makes it inactive.
// Only one well is active at a time. The panel tells the active well of a new colour with changeColor: (its sender
// answers "color") or colorPanelDidChangeColor; the well takes it and sends its action.
class ColorWell : public Control {
    FND_OBJECT(ColorWell)
    static void describeClass(fnd::ClassBuilder<ColorWell>& c);

public:
    ColorWell() = default;
    static std::shared_ptr<ColorWell> create(gfx::Rect frame = {});

    // nullptr: no colour, shown struck through.
    const gfx::ColorPtr& color() const { return m_color; }
    void setColor(gfx::ColorPtr color);
    bool isBordered() const { return m_bordered; }
    void setBordered(bool flag);
    bool isActive() const { return m_active; }
    // Makes the well the active one (exclusive: every other well becomes inactive) and opens the colour panel.
    void activate(bool exclusive = true);
    void deactivate();
    void takeColorFrom(const fnd::Value& sender);
    // The panel's action: the sender answers "color".
    void changeColor(const fnd::Value& sender);
    void colorPanelDidChangeColor(gfx::ColorPtr color);

    // The well that is active now (nullptr when none).
    static std::shared_ptr<ColorWell> activeColorWell();
    // Opens the shared colour panel on a well that became active; installed by the panel classes.
    using ColorPanelOpener = std::function<void(ColorWell&)>;
    static void setColorPanelOpener(ColorPanelOpener opener);

    // Draws the colour in the rect (a checkerboard shows through colours that are not opaque).
    virtual void drawWellInside(gfx::Rect insideRect);

    bool acceptsFirstResponder() const override { return isEnabled() && !refusesFirstResponder(); }
    void drawRect(gfx::Rect dirtyRect) override;
    void mouseDown(const Event& event) override;
    void keyDown(const Event& event) override;
    void viewDidMoveToWindow() override;
    gfx::Rect focusRingMaskBounds() const override { return bounds(); }
    void drawFocusRingMask() override;

    // Accessibility: a colour well whose value names its colour; pressing it opens the colour panel.
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    std::vector<fnd::String> accessibilityActionNames() const override;
    void accessibilityPerformAction(const fnd::String& action) override;

private:
    gfx::Rect swatchRect() const;

    gfx::ColorPtr m_color { gfx::Color::whiteColor() };
    bool m_bordered { true };
    bool m_active { false };
};

}
