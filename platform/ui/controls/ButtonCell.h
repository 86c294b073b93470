#pragma once

#include "platform/ui/controls/ActionCell.h"
#include "platform/ui/look/ControlLook.h"

namespace ui {

// The cell of buttons: push buttons, toggles, check boxes and radio buttons, every bezel style. Its value is its
// state; it has a title and image of its own, with alternates shown as highlightsBy and showsStateBy say, and a key
// equivalent. setButtonType sets the masks of the type:
//
//     type               highlightsBy                          showsStateBy
//     momentary light    change grey + background (12)         none
//     push on/push off   push in + change grey + background    change grey + background (12)
//     toggle             push in + contents (3)                contents (1)
//     switch, radio      contents (1)                          contents (1)
//     momentary change   contents (1)                          none
//     on/off             change background + grey (12)         change background + grey (12)
//     momentary push in  push in + change grey + background    none
//
// Drawing: drawWithFrame → drawBezelWithFrame (when bordered) → drawInteriorWithFrame → drawImage (into
// imageRectForBounds) and drawTitle (into titleRectForBounds). A button whose key equivalent is Return is the default
// button and wears the accent colour.
class ButtonCell : public ActionCell {
    UI_CELL_OBJECT(ButtonCell)
    static void describeClass(fnd::ClassBuilder<ButtonCell>& c);

public:
    ButtonCell();
    // A momentary push-in button with rounded bezel, titled "Button", as the platform makes it.
    void init();
    void initTextCell(const fnd::String& title);
    void initImageCell(std::shared_ptr<gfx::Image> image);

    // Type and look.
    ButtonType buttonType() const { return m_buttonType; }
    virtual void setButtonType(ButtonType type);
    BezelStyle bezelStyle() const { return m_bezelStyle; }
    virtual void setBezelStyle(BezelStyle style);
    unsigned highlightsBy() const { return m_highlightsBy; }
    // Bits beyond the four of CellMask are dropped (by these setters and by decoding).
    void setHighlightsBy(unsigned mask) { m_highlightsBy = mask & 15u; }
    unsigned showsStateBy() const { return m_showsStateBy; }
    void setShowsStateBy(unsigned mask) { m_showsStateBy = mask & 15u; }
    bool isTransparent() const { return m_transparent; }
    void setTransparent(bool flag);
    bool showsBorderOnlyWhileMouseInside() const { return m_showsBorderOnlyWhileMouseInside; }
    void setShowsBorderOnlyWhileMouseInside(bool flag);
    // The fill of a borderless button (nullptr: none).
    const gfx::ColorPtr& backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(gfx::ColorPtr color);
    bool imageDimsWhenDisabled() const { return m_imageDimsWhenDisabled; }
    void setImageDimsWhenDisabled(bool flag) { m_imageDimsWhenDisabled = flag; }
    CellImagePosition imagePosition() const { return m_imagePosition; }
    virtual void setImagePosition(CellImagePosition position);
    ImageScaling imageScaling() const { return m_imageScaling; }
    void setImageScaling(ImageScaling scaling);
    // Whether the image sits next to the title (a centred group) rather than at the cell's edge.
    bool imageHugsTitle() const { return m_imageHugsTitle; }
    void setImageHugsTitle(bool flag) { m_imageHugsTitle = flag; }

    // Title and image, and what is shown instead when highlighted or on (as the masks say).
    fnd::String title() const override { return m_title; }
    void setTitle(const fnd::String& title) override;
    fnd::String alternateTitle() const { return m_alternateTitle; }
    void setAlternateTitle(const fnd::String& title);
    // A title with attributes of its own; nullptr when the plain title is drawn in the cell's font.
    std::shared_ptr<txt::AttributedString> attributedTitle() const;
    void setAttributedTitle(std::shared_ptr<txt::AttributedString> title);
    std::shared_ptr<txt::AttributedString> attributedAlternateTitle() const;
    void setAttributedAlternateTitle(std::shared_ptr<txt::AttributedString> title);
    const std::shared_ptr<gfx::Image>& alternateImage() const { return m_alternateImage; }
    void setAlternateImage(std::shared_ptr<gfx::Image> image);

    // Key equivalent: the characters and the modifiers (KeyEquivalentModifier bits; none by default). An
    // upper-case letter also asks for Shift.
    fnd::String keyEquivalent() const override { return m_keyEquivalent; }
    virtual void setKeyEquivalent(const fnd::String& key);
    unsigned long keyEquivalentModifierMask() const { return m_keyEquivalentModifierMask; }
    void setKeyEquivalentModifierMask(unsigned long mask) { m_keyEquivalentModifierMask = mask; }
    // Whether the key press matches the key equivalent (Enter counts as Return).
    bool matchesKeyEquivalent(const Event& event) const;
    // The default button of its window: Return is its key equivalent.
    bool isDefaultButton() const;

    // The value of a button is its state.
    fnd::Value objectValue() const override;
    void setObjectValue(const fnd::Value& value) override;
    fnd::String stringValue() const override;
    void setStringValue(const fnd::String& string) override;
    std::int64_t integerValue() const override;
    double doubleValue() const override;
    ControlStateValue nextState() const override;
    void setNextState() override;

    bool acceptsFirstResponder() const override;
    void mouseEntered(const Event& event) override;
    void mouseExited(const Event& event) override;
    bool isMouseInside() const { return m_mouseInside; }

    // Geometry.
    gfx::Size cellSizeForBounds(gfx::Rect bounds) const override;
    gfx::Rect drawingRectForBounds(gfx::Rect bounds) const override;
    gfx::Rect titleRectForBounds(gfx::Rect bounds) const override;
    gfx::Rect imageRectForBounds(gfx::Rect bounds) const override;

    // Drawing.
    void drawWithFrame(gfx::Rect cellFrame, View& controlView) override;
    virtual void drawBezelWithFrame(gfx::Rect frame, View& controlView);
    void drawInteriorWithFrame(gfx::Rect cellFrame, View& controlView) override;
    // Draws the title in the frame; answers the rect it used.
    virtual gfx::Rect drawTitle(const txt::AttributedString& title, gfx::Rect frame, View& controlView);
    // Draws the image (for a check box or radio button without an image: its box) in the frame.
    virtual void drawImage(const std::shared_ptr<gfx::Image>& image, gfx::Rect frame, View& controlView);
    void drawFocusRingMaskWithFrame(gfx::Rect cellFrame, View& controlView) override;
    gfx::Rect focusRingMaskBoundsForFrame(gfx::Rect cellFrame, View& controlView) const override;

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

    // Accessibility: a button, check box, radio button or disclosure triangle by type; toggles carry their state.
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    std::vector<fnd::String> accessibilityActionNames() const override;
    void accessibilityPerformAction(const fnd::String& action) override;

protected:
    // Check boxes and radio buttons (types switch and radio, or the same look otherwise set up).
    bool isCheckOrRadio() const { return m_buttonType == ButtonType::Switch || m_buttonType == ButtonType::Radio; }
    // Whether the face is drawn at all (bordered, not transparent, not waiting for the mouse).
    bool drawsFace() const;
    // What the face of the bezel style shows now.
    ControlLook::FaceState faceState() const;
    // The title or alternate title to show now, styled; empty when there is none.
    std::shared_ptr<txt::AttributedString> titleToShow() const;
    // The image or alternate image to show now.
    std::shared_ptr<gfx::Image> imageToShow() const;
    // The size the image part takes (the image, or the box of a check box or radio button).
    gfx::Size imageSize() const;
    // The face's shape for the bezel style.
    ControlLook::FaceShape faceShape() const;
    // The height cellSize() gives; a cell whose height does not depend on its texts answers without measuring them.
    virtual double naturalHeight() const { return cellSize().height; }
    // The attributes of the title: the cell's font and alignment, the colour for the face and state.
    virtual fnd::Dictionary titleAttributes() const;
    // The highlight mask the archive holds: a subclass whose decoding adjusts the mask writes it adjusted, so its
    // archive reads back as it was written.
    virtual unsigned archivedHighlightsBy() const { return m_highlightsBy; }

private:
    struct Layout {
        gfx::Rect image;
        gfx::Rect title;
    };
    Layout layoutForBounds(gfx::Rect bounds) const;

    ButtonType m_buttonType { ButtonType::MomentaryPushIn };
    BezelStyle m_bezelStyle { BezelStyle::Rounded };
    unsigned m_highlightsBy { CellMask::PushIn | CellMask::ChangeGray | CellMask::ChangeBackground };
    unsigned m_showsStateBy { CellMask::None };
    bool m_transparent { false };
    bool m_showsBorderOnlyWhileMouseInside { false };
    bool m_imageDimsWhenDisabled { true };
    bool m_imageHugsTitle { false };
    bool m_mouseInside { false };
    gfx::ColorPtr m_backgroundColor;
    CellImagePosition m_imagePosition { CellImagePosition::NoImage };
    ImageScaling m_imageScaling { ImageScaling::ProportionallyDown };
    fnd::String m_title;
    fnd::String m_alternateTitle;
    std::shared_ptr<txt::AttributedString> m_attributedTitle;
    std::shared_ptr<txt::AttributedString> m_attributedAlternateTitle;
    std::shared_ptr<gfx::Image> m_alternateImage;
    fnd::String m_keyEquivalent;
    unsigned long m_keyEquivalentModifierMask { 0 };
};

}
