#include "frameworks/ZORAppKit/ZORPopUpButton/ZOREncodingPopUpButtonCell.h"

FND_REGISTER_CLASS(ZOREncodingPopUpButtonCell, ui::PopUpButtonCell)

void ZOREncodingPopUpButtonCell::selectItemAtIndex(long index)
{
    // The last two items are the separator and the customise entry.
    if (index + 2 < numberOfItems())
        PopUpButtonCell::selectItemAtIndex(index);
}
