// The recorder's readers of outside data: the key-code transformer (numbers and names from anywhere) and the
// recorder cell's archive decoder (interface files, stored settings). The first byte chooses which one the rest
// feeds. Whatever is accepted must come back the same: a name maps to a key that has that name, and a decoded cell
// archived again decodes to the same settings.
#include "frameworks/KeyComboRecorder/KRKeyCodeTransformer.h"
#include "frameworks/KeyComboRecorder/KRKeyCombo.h"
#include "frameworks/KeyComboRecorder/KRRecorderCell.h"
#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/archiving/SequentialArchiver.h"
#include "platform/foundation/archiving/SequentialUnarchiver.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

struct CellState {
    _KeyCombo combo;
    std::uint64_t allowed, required;
    fnd::String autosaveName, keyChars, keyCharsIgnoringModifiers;
    bool allowsKeyOnly, escapeKeysRecord, animates;
    int style;
    bool operator==(const CellState&) const = default;
};

CellState stateOf(const KRRecorderCell& cell)
{
    return { cell.keyCombo(), cell.allowedFlags(), cell.requiredFlags(), cell.autosaveName(), cell.keyChars(),
        cell.keyCharsIgnoringModifiers(), cell.allowsKeyOnly(), cell.escapeKeysRecord(), cell.animates(),
        cell.style() };
}

void checkTransformer(const std::uint8_t* bytes, std::size_t size)
{
    static KRKeyCodeTransformer transformer;
    // Every two bytes a key code, the first eight of them: each code is named on its own, so more per input only
    // repeat the same work, and other inputs bring other codes. The whole input also as a name.
    for (std::size_t i = 0; i + 1 < size && i < 16; i += 2) {
        const auto code = static_cast<std::int16_t>(bytes[i] | (bytes[i + 1] << 8));
        auto name = transformer.transformedValue(fnd::Value(static_cast<long long>(code)));
        (void)KRCocoaShortcutReadable(bytes[i] * 0x10000u, code);
        (void)KRKeyCharacterForCocoaFlags(code, static_cast<std::uint64_t>(bytes[i + 1]) << 16);
        if (!name.isString())
            continue;
        auto back = transformer.reverseTransformedValue(name);
        if (back.isNil() || transformer.transformedValue(back) != name)
            std::abort(); // a key's name does not lead back to a key of that name
    }
    auto text = fnd::String(std::string(reinterpret_cast<const char*>(bytes), size));
    auto code = transformer.reverseTransformedValue(text);
    if (!code.isNil() && transformer.transformedValue(code) != fnd::Value(text))
        std::abort(); // a name accepted for a key the key does not have
}

void checkArchive(const std::uint8_t* bytes, std::size_t size, bool keyed)
{
    fnd::Data data(bytes, size);
    auto decoded = keyed ? fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(data)
                         : fnd::SequentialUnarchiver::unarchiveTopLevelObjectWithData(data);
    if (!decoded)
        return;
    auto cell = decoded->objectAs<KRRecorderCell>();
    if (!cell)
        return;
    auto again = keyed ? fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(cell))
                       : fnd::SequentialArchiver::archivedDataWithRootObject(fnd::Value(cell));
    if (!again)
        std::abort(); // a cell that was read cannot be written
    auto back = keyed ? fnd::KeyedUnarchiver::unarchiveObjectWithData(*again)
                      : fnd::SequentialUnarchiver::unarchiveObjectWithData(*again);
    auto cellBack = back.objectAs<KRRecorderCell>();
    if (!cellBack)
        std::abort();
    auto first = stateOf(*cell), second = stateOf(*cellBack);
    if (!keyed) {
        // The sequential form holds five values; the rest comes from the defaults of a new cell.
        first.keyChars = second.keyChars;
        first.keyCharsIgnoringModifiers = second.keyCharsIgnoringModifiers;
        first.allowsKeyOnly = second.allowsKeyOnly;
        first.escapeKeysRecord = second.escapeKeysRecord;
        first.animates = second.animates;
        first.style = second.style;
    }
    if (!(first == second))
        std::abort(); // the combination or a setting changed on the way round
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    if (size == 0)
        return 0;
    switch (bytes[0] % 3) {
    case 0:
        checkTransformer(bytes + 1, size - 1);
        break;
    case 1:
        checkArchive(bytes + 1, size - 1, true);
        break;
    default:
        checkArchive(bytes + 1, size - 1, false);
        break;
    }
    return 0;
}
