#include "platform/ui/controls/Control.h"

#include "platform/foundation/archiving/TypedDecoding.h"

namespace ui {

void Control::encodeWithCoder(fnd::Coder& coder) const
{
    View::encodeWithCoder(coder);
    fnd::Value cell = m_cell ? fnd::Value(m_cell) : fnd::Value();
    if (!coder.allowsKeyedCoding()) {
        coder.encodeObject(cell);
        return;
    }
    coder.encodeObject(cell, "NSCell");
    coder.encodeBool(isEnabled(), "NSEnabled");
    coder.encodeInt64(tag(), "NSTag");
    if (auto selector = action())
        coder.encodeObject(fnd::Value(selector.name()), "NSAction");
    if (auto object = target())
        coder.encodeConditionalObject(fnd::Value(object), "NSTarget");
}

bool Control::initWithCoder(fnd::Coder& coder)
{
    if (!View::initWithCoder(coder))
        return false;
    const bool keyed = coder.allowsKeyedCoding();
    auto cell = keyed ? fnd::decodeObjectOfClass<Cell>(coder, "NSCell", fnd::Ownership::Owned)
                      : fnd::decodeObjectOfClass<Cell>(coder);
    if (coder.hasFailed())
        return false;
    if (cell) {
        // The control's own code relies on the kind of cell it makes.
        if (!acceptsCell(*cell)) {
            fnd::failDecoding(coder,
                "the cell of a " + className().utf8() + " is a " + cell->className().utf8() + ", not a "
                    + makeCell()->className().utf8());
            return false;
        }
        setCell(cell);
    }
    if (!keyed)
        return true;
    if (coder.containsValueForKey("NSEnabled"))
        setEnabled(coder.decodeBoolForKey("NSEnabled"));
    if (coder.containsValueForKey("NSTag"))
        setTag(static_cast<long>(coder.decodeInt64ForKey("NSTag")));
    if (auto name = fnd::decodeOptionalStringForKey(coder, "NSAction"))
        setAction(name->isEmpty() ? fnd::Selector() : fnd::Selector(*name));
    if (coder.containsValueForKey("NSTarget"))
        setTarget(coder.decodeObjectForKey("NSTarget").object());
    return !coder.hasFailed();
}

}
