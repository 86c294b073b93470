#include "barcodes/ITF14.h"

#include "barcodes/GroupedCaption.h"

#include <algorithm>

using namespace fnd;

FND_REGISTER_CLASS(ITF14, CodeTwoOfFiveInterleaved)

String ITF14::barcodeName() const
{
    return localizedBarcodeString("ITF14");
}

String ITF14::caption() const
{
    return groupedCaption(CodeTwoOfFiveInterleaved::caption(), { { 13, u' ' }, { 8, u' ' }, { 3, u' ' }, { 1, u' ' } });
}

// Ten modules, but never less than 2.5 mm.
gfx::Rect ITF14::autoCalcedQuietZone() const
{
    double side = std::max(10 * barWidth(), 7.0866142);
    return { side, side / 2, side, side / 2 };
}
