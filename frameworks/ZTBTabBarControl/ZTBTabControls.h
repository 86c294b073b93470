#pragma once

#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/PopUpButton.h"
#include "platform/ui/controls/ProgressIndicator.h"

namespace fnd {
class Timer;
}

// The add-tab button: shows its rollover image while the pointer is over it, through a tracking rect of its own.
class ZTBRolloverButton : public ui::Button {
    FND_OBJECT(ZTBRolloverButton)

public:
    static std::shared_ptr<ZTBRolloverButton> create(gfx::Rect frame);
    // No title, the picture alone, momentary change, unbordered.
    void initWithFrame(gfx::Rect frame) override;
    // After the button's data: "rolloverImage", "usualImage", "myTrackingRectTag".
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;
    const std::shared_ptr<gfx::Image>& usualImage() const { return m_usualImage; }
    void setUsualImage(std::shared_ptr<gfx::Image> image);
    const std::shared_ptr<gfx::Image>& rolloverImage() const { return m_rolloverImage; }
    void setRolloverImage(std::shared_ptr<gfx::Image> image) { m_rolloverImage = std::move(image); }
    long trackingRectTag() const { return m_trackingRectTag; }
    void addTrackingRect();
    // The tag is forgotten before anything else, so it never names a removed rect.
    void removeTrackingRect();
    void resetCursorRects() override;
    void mouseEntered(const ui::Event& event) override;
    void mouseExited(const ui::Event& event) override;
    // A push button named "New tab" (it shows only a picture).
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;
    void viewWillMoveToWindow(ui::Window* window) override;
    void viewDidMoveToWindow() override;

private:
    std::shared_ptr<gfx::Image> m_usualImage;
    std::shared_ptr<gfx::Image> m_rolloverImage;
    long m_trackingRectTag { -1 };
};

// The pull-down at the end of the bar listing the tabs that do not fit; it can pulse its alternate image.
class ZTBOverflowPopUpButton : public ui::PopUpButton {
    FND_OBJECT(ZTBOverflowPopUpButton)

public:
    ~ZTBOverflowPopUpButton() override;
    // Always a pull-down.
    static std::shared_ptr<ZTBOverflowPopUpButton> create(gfx::Rect frame);
    // A pull-down without a border or title, opening to the right, with the bundle's two pictures.
    void initWithFrame(gfx::Rect frame) override;
    // After the button's data: "ZTBTabBarOverflowPopUpImage", "ZTBTabBarOverflowDownPopUpImage",
    // "ZTBTabBarOverflowAnimatingAlternateImage".
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;
    static constexpr double PulseStep = double(0.033f);
    bool animatingAlternateImage() const { return m_animatingAlternateImage; }
    void setAnimatingAlternateImage(bool flag);
    double animationValue() const { return m_animationValue; }
    bool isPulsing() const { return m_timer != nullptr; }
    void animateStep();
    bool isDown() const { return m_down; }
    void setDown(bool flag);
    // The pressed picture shows while the menu is open (the pop-up's own loop runs inside).
    void mouseDown(const ui::Event& event) override;
    void viewDidHide() override;
    void viewDidUnhide() override;
    void drawRect(gfx::Rect dirtyRect) override;
    // A push button named "More tabs" that opens a menu (it shows only a picture).
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;

private:
    void startPulse();
    void stopPulse();

    std::shared_ptr<gfx::Image> m_image;
    std::shared_ptr<gfx::Image> m_downImage;
    bool m_down { false };
    bool m_animatingAlternateImage { false };
    std::shared_ptr<fnd::Timer> m_timer;
    double m_animationValue { PulseStep };
};

// A tab's spinner: showing or hiding it lays the bar out again; stopping it cancels a pending delayed start.
class ZTBProgressIndicator : public ui::ProgressIndicator {
    FND_OBJECT(ZTBProgressIndicator)
    static void describeClass(fnd::ClassBuilder<ZTBProgressIndicator>& c);

public:
    ~ZTBProgressIndicator() override;
    static std::shared_ptr<ZTBProgressIndicator> create(gfx::Rect frame);
    void viewDidHide() override;
    void viewDidUnhide() override;
    void startAnimationAfterDelay(double delay);
    // Also cancels a start scheduled by startAnimationAfterDelay.
    void stopAnimation(const fnd::Value& sender = {});
    void setAnimate(bool flag);
    bool hasPendingStart() const { return m_pendingStart != nullptr; }

private:
    std::shared_ptr<fnd::Timer> m_pendingStart;
};
