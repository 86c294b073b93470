#pragma once

#include "frameworks/QFTabBarView/QFRolloverButton.h"
#include "frameworks/QFTabBarView/QFTabStyle.h"

namespace txt {
class AttributedString;
}
class QFTabBarButton;
class QFTabBarView;

// The look and metrics of one tab: icon, large image, title, object counter, progress indicator and close button.
// Each metric and drawing step is first offered to the style; the built-in answer (the same name with a leading
// underscore) applies when the style does not implement it.
class QFTabBarButtonCell : public QFRolloverButtonCell {
    FND_OBJECT(QFTabBarButtonCell)

public:
    std::shared_ptr<ui::Cell> cloneCell() const override;
    static gfx::ColorPtr defaultObjectCountColor();

    std::shared_ptr<QFTabBarButton> tabBarButton() const;
    std::shared_ptr<QFTabBarView> tabBarView() const;
    // Tells the bar holding this cell's button that the button is selected or marked for a selected neighbour.
    void noteSelectionMark() const;
    std::shared_ptr<QFRolloverButton> closeButton() const;
    std::shared_ptr<ui::View> indicator() const;

    // State.
    const std::shared_ptr<QFTabStyle>& style() const { return m_style; }
    void setStyle(std::shared_ptr<QFTabStyle> style);
    QFTabStateBits tabState() const { return m_tabState; }
    void setTabState(QFTabStateBits state);
    const std::shared_ptr<gfx::Image>& icon() const { return m_icon; }
    void setIcon(std::shared_ptr<gfx::Image> icon) { m_icon = std::move(icon); }
    const std::shared_ptr<gfx::Image>& largeImage() const { return m_largeImage; }
    void setLargeImage(std::shared_ptr<gfx::Image> image) { m_largeImage = std::move(image); }
    bool showObjectCount() const { return m_showObjectCount; }
    void setShowObjectCount(bool flag) { m_showObjectCount = flag; }
    long objectCount() const { return m_objectCount; }
    void setObjectCount(long count) { m_objectCount = count; }
    const gfx::ColorPtr& objectCountColor() const { return m_objectCountColor; }
    void setObjectCountColor(gfx::ColorPtr color) { m_objectCountColor = std::move(color); }
    bool isEdited() const { return m_isEdited; }
    void setIsEdited(bool flag);
    bool isProcessing() const { return m_isProcessing; }
    void setIsProcessing(bool flag);
    bool hasCloseButton() const { return m_hasCloseButton; }
    void setHasCloseButton(bool flag);
    bool suppressCloseButton() const { return m_suppressCloseButton; }
    void setSuppressCloseButton(bool flag);
    bool shouldDisplayCloseButton() const { return m_hasCloseButton && !m_suppressCloseButton; }
    void setState(ui::ControlStateValue state) override;

    void updateImages();
    // Puts the close button and the indicator where the rects say (or hides them).
    void updateCloseButton();
    void updateIndicator();

    // Strings.
    std::shared_ptr<txt::AttributedString> attributedStringValue() const override;
    std::shared_ptr<txt::AttributedString> _attributedStringValue() const;
    std::shared_ptr<txt::AttributedString> attributedObjectCountStringValue() const;
    std::shared_ptr<txt::AttributedString> _attributedObjectCountStringValue() const;

    // Metrics.
    std::shared_ptr<gfx::Image> closeButtonImageOfType(long type) const;
    gfx::Rect drawingRectForBounds(gfx::Rect bounds) const override;
    gfx::Rect _drawingRectForBounds(gfx::Rect bounds) const;
    gfx::Rect titleRectForBounds(gfx::Rect bounds) const override;
    gfx::Rect _titleRectForBounds(gfx::Rect bounds) const;
    gfx::Rect iconRectForBounds(gfx::Rect bounds) const;
    gfx::Rect _iconRectForBounds(gfx::Rect bounds) const;
    gfx::Rect largeImageRectForBounds(gfx::Rect bounds) const;
    gfx::Rect _largeImageRectForBounds(gfx::Rect bounds) const;
    gfx::Rect indicatorRectForBounds(gfx::Rect bounds) const;
    gfx::Rect _indicatorRectForBounds(gfx::Rect bounds) const;
    gfx::Size objectCounterSize() const;
    gfx::Size _objectCounterSize() const;
    gfx::Rect objectCounterRectForBounds(gfx::Rect bounds) const;
    gfx::Rect _objectCounterRectForBounds(gfx::Rect bounds) const;
    gfx::Size closeButtonSizeForBounds(gfx::Rect bounds) const;
    gfx::Rect closeButtonRectForBounds(gfx::Rect bounds) const;
    gfx::Rect _closeButtonRectForBounds(gfx::Rect bounds) const;
    double minimumWidthOfCell() const;
    double _minimumWidthOfCell() const;
    double desiredWidthOfCell() const;
    double _desiredWidthOfCell() const;
    double leftMargin() const { return 6.0; }
    double rightMargin() const;

    // Drawing.
    void drawWithFrame(gfx::Rect frame, ui::View& controlView) override;
    void _drawWithFrame(gfx::Rect frame, ui::View& controlView);
    void drawBezelWithFrame(gfx::Rect frame, ui::View& controlView) override;
    void drawInteriorWithFrame(gfx::Rect frame, ui::View& controlView) override;
    void _drawInteriorWithFrame(gfx::Rect frame, ui::View& controlView);
    void drawLargeImageWithFrame(gfx::Rect frame, ui::View& controlView);
    void drawIconWithFrame(gfx::Rect frame, ui::View& controlView);
    void drawTitleWithFrame(gfx::Rect frame, ui::View& controlView);
    void drawObjectCounterWithFrame(gfx::Rect frame, ui::View& controlView);
    void drawIndicatorWithFrame(gfx::Rect frame, ui::View& controlView);
    void drawCloseButtonWithFrame(gfx::Rect frame, ui::View& controlView);

private:
    QFTabStyle* viewStyle() const;
    QFTabBarButtonCell& self() const { return const_cast<QFTabBarButtonCell&>(*this); }
    bool isVerticalBar() const;
    gfx::Rect boundsOfControlView() const;

    std::shared_ptr<QFTabStyle> m_style;
    QFTabStateBits m_tabState { 0 };
    std::shared_ptr<gfx::Image> m_icon;
    std::shared_ptr<gfx::Image> m_largeImage;
    bool m_showObjectCount { false };
    long m_objectCount { 0 };
    gfx::ColorPtr m_objectCountColor { defaultObjectCountColor() };
    bool m_isEdited { false };
    bool m_isProcessing { false };
    bool m_hasCloseButton { true };
    bool m_suppressCloseButton { false };
};
