#pragma once

#include "platform/foundation/archiving/Coding.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Color.h"
#include "platform/ui/views/View.h"

// A plain container painting a background colour, or a vertical gradient from a second colour at the bottom, and a
// border: a one-point frame when all four side lines are on, else each enabled side as a line of its own width.
// Side lines lie inside the bounds, so none is cut in half by the view's edge; a width of 0 is one device pixel.
//
// Keyed archive: the three colours and the five flags (see encodeWithCoder); line widths are not archived, so a
// decoded box draws its lines one device pixel wide. Setters do not redisplay.
class ZORContainerBox : public ui::View {
    FND_OBJECT(ZORContainerBox)
    static void describeClass(fnd::ClassBuilder<ZORContainerBox>& c);

public:
    ZORContainerBox();
    static std::shared_ptr<ZORContainerBox> create(gfx::Rect frame = {});

    static std::shared_ptr<gfx::BezierPath> bezierPathWithLineFrom(gfx::Point from, gfx::Point to);

    const gfx::ColorPtr& backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(gfx::ColorPtr color) { m_backgroundColor = std::move(color); }
    const gfx::ColorPtr& borderColor() const { return m_borderColor; }
    void setBorderColor(gfx::ColorPtr color) { m_borderColor = std::move(color); }
    const gfx::ColorPtr& secondBackgroundColor() const { return m_secondBackgroundColor; }
    void setSecondBackgroundColor(gfx::ColorPtr color) { m_secondBackgroundColor = std::move(color); }
    bool hasGradient() const { return m_hasGradient; }
    void setHasGradient(bool flag) { m_hasGradient = flag; }

    bool hasTopLine() const { return m_hasTopLine; }
    void setHasTopLine(bool flag) { m_hasTopLine = flag; }
    bool hasBottomLine() const { return m_hasBottomLine; }
    void setHasBottomLine(bool flag) { m_hasBottomLine = flag; }
    bool hasLeftLine() const { return m_hasLeftLine; }
    void setHasLeftLine(bool flag) { m_hasLeftLine = flag; }
    bool hasRightLine() const { return m_hasRightLine; }
    void setHasRightLine(bool flag) { m_hasRightLine = flag; }
    // Line widths are lengths (ui::boundedLength: from 0 to the largest coordinate, NaN keeping the width there is).
    double topLineWidth() const { return m_topLineWidth; }
    void setTopLineWidth(double width) { m_topLineWidth = ui::boundedLength(width, m_topLineWidth); }
    double bottomLineWidth() const { return m_bottomLineWidth; }
    void setBottomLineWidth(double width) { m_bottomLineWidth = ui::boundedLength(width, m_bottomLineWidth); }
    double leftLineWidth() const { return m_leftLineWidth; }
    void setLeftLineWidth(double width) { m_leftLineWidth = ui::boundedLength(width, m_leftLineWidth); }
    double rightLineWidth() const { return m_rightLineWidth; }
    void setRightLineWidth(double width) { m_rightLineWidth = ui::boundedLength(width, m_rightLineWidth); }

    void drawRect(gfx::Rect dirtyRect) override;

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    void strokeSide(gfx::Point from, gfx::Point to, double width, gfx::Size inward) const;

    gfx::ColorPtr m_backgroundColor;
    gfx::ColorPtr m_borderColor;
    gfx::ColorPtr m_secondBackgroundColor;
    bool m_hasGradient { false };
    bool m_hasTopLine { true };
    bool m_hasBottomLine { true };
    bool m_hasLeftLine { true };
    bool m_hasRightLine { true };
    double m_topLineWidth;
    double m_bottomLineWidth;
    double m_leftLineWidth;
    double m_rightLineWidth;
};
