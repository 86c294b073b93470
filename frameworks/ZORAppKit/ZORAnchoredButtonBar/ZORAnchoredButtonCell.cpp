#include "frameworks/ZORAppKit/ZORAnchoredButtonBar/ZORAnchoredButtonCell.h"

#include "frameworks/ZORAppKit/ZORAnchoredButtonBar/ZORAnchoredButtonLook.h"

#include "platform/graphics/Image.h"

FND_REGISTER_CLASS(ZORAnchoredButtonCell, ui::ButtonCell)

void ZORAnchoredButtonCell::init()
{
    ButtonCell::init();
    setUp();
}

bool ZORAnchoredButtonCell::initWithCoder(fnd::Coder& coder)
{
    if (!ButtonCell::initWithCoder(coder))
        return false;
    // The button type of setUp brings its highlight masks; the archived ones were chosen after it.
    const unsigned highlights = highlightsBy();
    const unsigned shows = showsStateBy();
    setUp();
    setHighlightsBy(highlights);
    setShowsStateBy(shows);
    return true;
}

void ZORAnchoredButtonCell::setUp()
{
    ButtonCell::setButtonType(ui::ButtonType::MomentaryPushIn);
    ButtonCell::setBordered(true);
    ButtonCell::setBezeled(true);
    ButtonCell::setBezelStyle(ui::BezelStyle::TexturedSquare);
    ButtonCell::setControlSize(ui::ControlSize::Small);
}

void ZORAnchoredButtonCell::drawBezelWithFrame(gfx::Rect frame, ui::View& controlView)
{
    ZORAnchoredButtonLook::drawAnchoredFace(frame, controlView);
}

gfx::Rect ZORAnchoredButtonCell::titleRectForBounds(gfx::Rect bounds) const
{
    return gfx::offsetRect(ButtonCell::titleRectForBounds(bounds), 0, 1);
}

void ZORAnchoredButtonCell::drawImage(const std::shared_ptr<gfx::Image>& image, gfx::Rect frame, ui::View& controlView)
{
    auto lower = gfx::offsetRect(frame, 0, 1);
    if (image && ZORAnchoredButtonLook::isActionTemplate(*image))
        lower = ZORAnchoredButtonLook::actionTemplateRect(lower);
    ButtonCell::drawImage(image, lower, controlView);
}
