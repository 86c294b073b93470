#pragma once

#include "platform/ui/views/Animation.h"
#include "platform/ui/views/View.h"

// The overlay that dims a window's content while a sheet is shown on it: 40 % black over its whole bounds, so the
// content stays visible beneath.
class ZORSheetPresentationView : public ui::View {
    FND_OBJECT(ZORSheetPresentationView)

public:
    static std::shared_ptr<ZORSheetPresentationView> create(gfx::Rect frame);

    void drawRect(gfx::Rect dirtyRect) override;
    // The dimming is a tint: over the window's content its window lays it over the drawing beneath as it fades,
    // which then is not drawn again for every step.
    std::shared_ptr<gfx::Color> overlayTintColor() const override;
    // Clicks go to the content beneath: while a sheet is up the window takes none anyway, and once it has ended the
    // content answers at once, also while the overlay still fades out.
    std::shared_ptr<ui::View> hitTest(gfx::Point) override { return nullptr; }

    // The fade running on the overlay, so that a sheet that opens again while the overlay fades out can take it back.
    std::shared_ptr<ui::Animation> fade() const { return m_fade.lock(); }
    bool isFadingOut() const { return m_fadingOut && fade() != nullptr; }
    void setFade(const std::shared_ptr<ui::Animation>& fade, bool fadingOut)
    {
        m_fade = fade;
        m_fadingOut = fadingOut;
    }

private:
    std::weak_ptr<ui::Animation> m_fade;
    bool m_fadingOut { false };
};
