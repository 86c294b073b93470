#pragma once

#include "platform/foundation/archiving/Coding.h"
#include "platform/ui/controls/PopUpButton.h"
#include "platform/ui/controls/PopUpButtonCell.h"
#include "platform/ui/views/Animator.h"

#include <functional>

class QFOverflowPopUpButtonCell : public ui::PopUpButtonCell {
    FND_OBJECT(QFOverflowPopUpButtonCell)

public:
    using BezelDrawingBlock = std::function<void(QFOverflowPopUpButtonCell&, gfx::Rect, ui::View&)>;

    std::shared_ptr<ui::Cell> cloneCell() const override;

    const std::shared_ptr<gfx::Image>& secondImage() const { return m_secondImage; }
    void setSecondImage(std::shared_ptr<gfx::Image> image) { m_secondImage = std::move(image); }
    double secondImageAlpha() const { return m_secondImageAlpha; }
    // An opacity: from 0 to 1 (NaN keeps the one there is).
    void setSecondImageAlpha(double alpha) { m_secondImageAlpha = ui::boundedNumber(alpha, 0, 1, m_secondImageAlpha); }
    const BezelDrawingBlock& bezelDrawingBlock() const { return m_bezelDrawingBlock; }
    void setBezelDrawingBlock(BezelDrawingBlock block) { m_bezelDrawingBlock = std::move(block); }

    void drawWithFrame(gfx::Rect frame, ui::View& controlView) override;
    void drawBezelWithFrame(gfx::Rect frame, ui::View& controlView) override;
    void drawInteriorWithFrame(gfx::Rect frame, ui::View& controlView) override;
    void drawImageWithFrame(gfx::Rect frame, ui::View& controlView);
    void drawImage(const std::shared_ptr<gfx::Image>& image, gfx::Rect frame, ui::View& controlView) override;
    void drawImage(const std::shared_ptr<gfx::Image>& image, gfx::Rect frame, ui::View& controlView, double alpha);
    // Right-aligned, vertically centred, scaled down to the drawing rect's height.
    gfx::Rect _imageRectForBounds(gfx::Rect bounds, const gfx::Image& image) const;

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    BezelDrawingBlock m_bezelDrawingBlock;
    std::shared_ptr<gfx::Image> m_secondImage;
    double m_secondImageAlpha { 0 };
};

// The pull-down at the end of a tab bar listing the tabs that did not fit. With a second image it pulses while it
// is visible: the second image's opacity swings between 0 and 1 once a second.
class QFOverflowPopUpButton : public ui::PopUpButton, public ui::AnimatablePropertyContainer {
    FND_OBJECT(QFOverflowPopUpButton)
    static void describeClass(fnd::ClassBuilder<QFOverflowPopUpButton>& c);

public:
    // Always a pull-down, whatever the flag says.
    static std::shared_ptr<QFOverflowPopUpButton> create(gfx::Rect frame, bool pullsDown = true);
    // A pull-down without a border or title, with the bundle's two pictures.
    void initWithFrame(gfx::Rect frame) override;
    std::shared_ptr<ui::Cell> makeCell() const override;
    std::shared_ptr<QFOverflowPopUpButtonCell> overflowCell() const
    {
        return std::dynamic_pointer_cast<QFOverflowPopUpButtonCell>(cell());
    }

    bool isAnimating() const { return m_isAnimating; }
    void setIsAnimating(bool flag) { m_isAnimating = flag; }
    std::shared_ptr<gfx::Image> secondImage() const;
    void setSecondImage(std::shared_ptr<gfx::Image> image);
    double secondImageAlpha() const;
    void setSecondImageAlpha(double alpha);
    QFOverflowPopUpButtonCell::BezelDrawingBlock bezelDrawingBlock() const;
    void setBezelDrawingBlock(QFOverflowPopUpButtonCell::BezelDrawingBlock block);

    std::optional<ui::KeyAnimation> defaultAnimationForKey(const fnd::String& key) const override;

    void viewWillMoveToSuperview(ui::View* superview) override;
    void viewWillMoveToWindow(ui::Window* window) override;
    void viewDidMoveToSuperview() override;
    void viewDidMoveToWindow() override;
    void viewDidHide() override;
    void viewDidUnhide() override;
    void setFrame(gfx::Rect frame) override;

private:
    void startAnimationIfNeeded();
    void stopAnimationIfNeeded();

    bool m_isAnimating { false };
};
