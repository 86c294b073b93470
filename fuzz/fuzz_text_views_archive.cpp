// Reads arbitrary bytes as a keyed archive holding the text views' archived classes (line-number rulers, their
// markers, link fields) and uses what comes back.
#include "frameworks/ZORAppKit/text-views/ZORLineNumberRuler.h"
#include "frameworks/ZORAppKit/text-views/ZORURLClickField.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    auto decoded = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(fnd::Data(data, size));
    if (!decoded)
        return 0;
    if (auto ruler = decoded->objectAs<ZORLineNumberRuler>()) {
        (void)ruler->textAttributes();
        (void)ruler->requiredThickness();
        (void)ruler->markers();
    }
    if (auto marker = decoded->objectAs<ZORLineNumberRulerMarker>())
        (void)marker->copy();
    if (auto field = decoded->objectAs<ZORURLClickField>())
        (void)field->URLString().utf8();
    (void)fnd::KeyedArchiver::archivedDataWithRootObject(*decoded);
    return 0;
}
