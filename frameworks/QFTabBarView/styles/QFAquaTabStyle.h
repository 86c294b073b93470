#pragma once

#include "frameworks/QFTabBarView/QFTabStyle.h"
#include "frameworks/QFTabBarView/styles/QFTabStyleSupport.h"
#include "platform/foundation/archiving/Coding.h"

// Tabs drawn from pictures: a strip behind the bar, a picture behind the selected tab by control tint and window
// activity, divider pictures between tabs.
class QFAquaTabStyle : public QFTabStyle {
    FND_OBJECT(QFAquaTabStyle)

public:
    QFAquaTabStyle();
    static std::shared_ptr<QFAquaTabStyle> create();
    // The designated initialiser (what create() and the class registry run): the bundle's pictures.
    void init() { loadImages(); }
    static fnd::String styleName() { return "Aqua"; }
    fnd::String name() const override { return styleName(); }

    std::optional<double> leftMarginForTabBarView(QFTabBarViewBase&) override { return 0.0; }
    std::optional<double> rightMarginForTabBarView(QFTabBarViewBase&) override { return 0.0; }
    std::optional<double> topMarginForTabBarView(QFTabBarViewBase&) override { return 0.0; }
    std::optional<std::shared_ptr<gfx::Image>> closeButtonImageOfType(long type, QFTabBarButtonCell& cell) override;
    bool drawBezelOfTabBarView(QFTabBarViewBase& view, gfx::Rect rect) override;
    bool drawBezelOfTabCell(QFTabBarButtonCell& cell, gfx::Rect frame, ui::View& controlView) override;
    bool drawBezelOfOverflowButton(QFOverflowPopUpButton& button, QFTabBarViewBase& view, gfx::Rect rect) override;

    // The picture behind a selected tab: by the cell's tint (the platform's when the cell has none), the non-key
    // picture whatever the tint when the window is inactive.
    std::shared_ptr<gfx::Image> selectedTabPicture(const QFTabBarButtonCell& cell, const QFTabBarViewBase& view) const;

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    void loadImages();

    std::shared_ptr<gfx::Image> m_aquaTabBg;
    std::shared_ptr<gfx::Image> m_aquaTabBgDown;
    std::shared_ptr<gfx::Image> m_aquaTabBgDownGraphite;
    std::shared_ptr<gfx::Image> m_aquaTabBgDownNonKey;
    std::shared_ptr<gfx::Image> m_aquaDividerDown;
    std::shared_ptr<gfx::Image> m_aquaDivider;
    QFTabStyleSupport::CloseImages m_closeImages;
};
