#pragma once

#include "frameworks/QFTabBarView/QFTabBarButtonCell.h"
#include "platform/ui/controls/ProgressIndicator.h"

#include <array>
#include <mutex>

// The spinning indicator inside every tab; stopping it also cancels a start that was scheduled but not yet run.
class QFProgressIndicator : public ui::ProgressIndicator {
    FND_OBJECT(QFProgressIndicator)

public:
    static std::shared_ptr<QFProgressIndicator> create(gfx::Rect frame);
    // Starts on the next run-loop turn, unless stopped before.
    void startAnimationLater();
    void stopAnimation(const fnd::Value& sender = {});

private:
    unsigned long m_startGeneration { 0 };
};

// One tab of a tab bar view: a rollover button with a close button and a progress indicator of its own, whose
// tab values can be bound to a model object.
class QFTabBarButton : public QFRolloverButton {
    FND_OBJECT(QFTabBarButton)
    static void describeClass(fnd::ClassBuilder<QFTabBarButton>& c);

public:
    ~QFTabBarButton() override;
    static std::shared_ptr<QFTabBarButton> create(gfx::Rect frame);
    void initWithFrame(gfx::Rect frame) override;
    // The button's data, with its close button and progress indicator named among its subviews.
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;
    std::shared_ptr<ui::Cell> makeCell() const override;
    std::shared_ptr<QFTabBarButtonCell> tabCell() const
    {
        return std::dynamic_pointer_cast<QFTabBarButtonCell>(cell());
    }

    std::shared_ptr<QFTabBarView> tabBarView() const;
    gfx::Rect stackingFrame() const;
    void setStackingFrame(gfx::Rect frame);
    const std::shared_ptr<QFRolloverButton>& closeButton() const { return m_closeButton; }
    const std::shared_ptr<QFProgressIndicator>& indicator() const { return m_indicator; }
    fnd::Selector closeButtonAction() const;
    void setCloseButtonAction(fnd::Selector action);

    virtual void setTitle(const fnd::String& title);
    fnd::String title() const { return QFRolloverButton::title(); }

    virtual bool shouldDisplayLeftDivider() const;
    virtual bool shouldDisplayRightDivider() const;
    double minimumWidth() const;
    double desiredWidth() const;
    using QFRolloverButton::updateCell;
    // Redisplays the button's own cell.
    void updateCell();

    // The cell's values.
    std::shared_ptr<QFTabStyle> style() const;
    void setStyle(std::shared_ptr<QFTabStyle> style);
    QFTabStateBits tabState() const;
    void setTabState(QFTabStateBits state);
    bool hasCloseButton() const;
    void setHasCloseButton(bool flag);
    bool suppressCloseButton() const;
    void setSuppressCloseButton(bool flag);
    std::shared_ptr<gfx::Image> icon() const;
    void setIcon(std::shared_ptr<gfx::Image> icon);
    std::shared_ptr<gfx::Image> largeImage() const;
    void setLargeImage(std::shared_ptr<gfx::Image> image);
    bool showObjectCount() const;
    void setShowObjectCount(bool flag);
    long objectCount() const;
    void setObjectCount(long count);
    gfx::ColorPtr objectCountColor() const;
    void setObjectCountColor(gfx::ColorPtr color);
    bool isEdited() const;
    void setIsEdited(bool flag);
    bool isProcessing() const;
    void setIsProcessing(bool flag);
    bool shouldDisplayCloseButton() const;
    void updateImages();
    gfx::Rect _closeButtonRectForBounds(gfx::Rect bounds) const;
    gfx::Rect _indicatorRectForBounds(gfx::Rect bounds) const;

    // Bindings of the seven tab values; any other name goes to the base.
    void bind(const fnd::String& binding, fnd::Object& observable, const fnd::String& keyPath,
        const fnd::Dictionary& options = {}) override;
    void unbind(const fnd::String& binding) override;
    std::optional<fnd::Dictionary> infoForBinding(const fnd::String& binding) const override;
    void observeValueForKeyPath(const fnd::String& keyPath, fnd::Object& object, const fnd::KeyValueChange& change,
        const void* context) override;

    bool isFlipped() const override { return true; }
    // Tabs answer as their bar does: a click in a window in the background acts at once.
    bool acceptsFirstMouse(const ui::Event* event) override;
    void resizeSubviewsWithOldSize(gfx::Size oldSize) override;
    void setFrameSize(gfx::Size size) override;
    std::shared_ptr<ui::Menu> menuForEvent(const ui::Event& event) override;

    static const std::array<fnd::String, 7>& bindingNames();

protected:
    // Places the close button and the indicator again.
    void calcSize() override;

private:
    struct BindingSlot {
        std::weak_ptr<fnd::Object> object;
        fnd::Object* observed { nullptr };
        fnd::String keyPath;
        fnd::Dictionary options;
    };
    int slotIndex(const fnd::String& binding) const;
    void applyBoundValue(int slot, const fnd::Value& value);
    void scheduleBarUpdate();

    // The stacking frame is an atomic property: a reader always gets a frame some writer stored whole, never half
    // of one. Every reader and writer runs on the main thread today, so the lock is never contended; it keeps that
    // promise should a slide animation move to a thread of its own.
    mutable std::mutex m_frameLock;
    gfx::Rect m_stackingFrame;
    std::shared_ptr<QFRolloverButton> m_closeButton;
    std::shared_ptr<QFProgressIndicator> m_indicator;
    std::array<BindingSlot, 7> m_bindings;
};
