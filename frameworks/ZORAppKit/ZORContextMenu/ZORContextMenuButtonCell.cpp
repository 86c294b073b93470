#include "frameworks/ZORAppKit/ZORContextMenu/ZORContextMenuButtonCell.h"

#include "frameworks/FoundationExtensions/ZORNSObject_Extension.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/graphics/Image.h"

FND_REGISTER_CLASS(ZORContextMenuButtonCell, ui::ButtonCell)
FND_REGISTER_CLASS(ZORNewContextMenuButtonCell, ui::ButtonCell)

namespace {

std::shared_ptr<gfx::Image> miniImage(const fnd::String& name)
{
    auto bundle = ZORNSObject_Extension::bundle(ZORContextMenuButtonCell::staticClassInfo());
    return bundle ? gfx::Image::imageForResource(*bundle, name) : nullptr;
}

}

void ZORContextMenuButtonCell::init()
{
    ButtonCell::init();
    setImage(miniImage("ZORButtonMiniAddAction"));
    sendActionOn(ui::EventMasks::LeftMouseDown | ui::EventMasks::LeftMouseDragged);
    setRefusesFirstResponder(false);
    setContinuous(false);
    setTag(0);
    setShowsFirstResponder(true);
    setButtonType(ui::ButtonType::MomentaryChange);
    setTitle({});
    setEnabled(true);
    setImagePosition(ui::CellImagePosition::ImageOnly);
    setBordered(true);
    setTransparent(false);
    setBezeled(true);
    setBezelStyle(ui::BezelStyle::SmallSquare);
    setHighlightsBy(ui::CellMask::Contents);
}

void ZORContextMenuButtonCell::setType(int type)
{
    switch (type) {
    case Action:
        setBordered(true);
        setTransparent(false);
        setBezeled(true);
        setImage(miniImage("ZORButtonMiniAction"));
        break;
    case AddAction:
        setBordered(true);
        setImage(miniImage("ZORButtonMiniAddAction"));
        break;
    case AddPlusForScrollbar:
        setBordered(false);
        setBezeled(false);
        setImage(miniImage("ZORButtonMiniAddPlusScrollbar"));
        break;
    default:
        setImage(nullptr);
        break;
    }
}

bool ZORContextMenuButtonCell::trackMouse(const ui::Event&, gfx::Rect, ui::View&, bool)
{
    sendActionFromControlView();
    return true;
}

bool ZORNewContextMenuButtonCell::trackMouse(const ui::Event&, gfx::Rect, ui::View&, bool)
{
    sendActionFromControlView();
    return true;
}
