#pragma once

#include "platform/foundation/archiving/Coding.h"
#include "platform/graphics/Color.h"
#include "platform/ui/views/View.h"

// A container that fills its bounds with one colour or, blended, with a ramp of one-point bands from the colour at
// the bottom to a much lighter tint of it at the top.
//
// Archived (class version 1) with the colour and the flag: keyed under "_bgColor" and "_blended", sequentially as the
// colour and one signed char. The flag is read back only when the coder reports version 2 or more (or none) for the
// class's earlier name, "TBQColorBackgroundView": archives of that class before version 2 held no flag.
class ZORColorBackgroundView : public ui::View {
    FND_OBJECT(ZORColorBackgroundView)
    static void describeClass(fnd::ClassBuilder<ZORColorBackgroundView>& c);

public:
    ZORColorBackgroundView();
    static std::shared_ptr<ZORColorBackgroundView> create(gfx::Rect frame = {});

    const gfx::ColorPtr& backgroundColor() const { return m_bgColor; }
    void setBackgroundColor(gfx::ColorPtr color);
    bool blended() const { return m_blended; }
    void setBlended(bool flag);

    void drawRect(gfx::Rect dirtyRect) override;
    // The band ramp: as many one-point bands as the rect has whole points of height, from its bottom edge up, the
    // first in the start colour, each next one a step of (end − start) / bands closer to the end colour. A fraction
    // of a point left at the top stays unpainted. Only the bands inside the context's clip are drawn.
    void _drawRect(gfx::Rect rect, const gfx::Color& start, const gfx::Color& end) const;

    // What an interface designer asks of it: a container that takes dropped views itself and draws itself while
    // edited.
    bool ibIsContainer() const { return true; }
    bool ibSupportsInsideOutSelection() const { return true; }
    bool ibShouldShowContainerGuides() const { return true; }
    bool ibDrawFrameWhileResizing() const { return true; }
    bool canEditSelf() const { return true; }
    bool editorHandlesCaches() const { return true; }
    ZORColorBackgroundView& ibNearestTargetForDrag() { return *this; }
    fnd::String inspectorClassName() const { return "TBQColorBackgroundViewInspector"; }

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    // The ramp's bands that meet `needed`, each in the colour it has in the whole ramp.
    void drawBands(gfx::Rect rect, const gfx::Color& start, const gfx::Color& end, gfx::Rect needed) const;

    gfx::ColorPtr m_bgColor;
    bool m_blended { false };
};
