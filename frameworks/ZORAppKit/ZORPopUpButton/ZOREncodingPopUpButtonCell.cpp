#include "frameworks/ZORAppKit/ZORPopUpButton/ZOREncodingPopUpButtonCell.h"

FND_REGISTER_CLASS(ZOREncodingPopUpButtonCell, ui::PopUpButtonCell)

void ZOREncodingPopUpButtonCell::selectItemAtIndex(long index)
{
    // The last two items are the separator and the customise entry.
    // Compared without adding to the index, which may be any number (an interface file's, a decoded one).
    if (index < numberOfItems() - 2)
        PopUpButtonCell::selectItemAtIndex(index);
}
