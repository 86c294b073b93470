#include "platform/ui/controls/ActionCell.h"

namespace ui {

FND_REGISTER_CLASS(ActionCell, Cell)

void ActionCell::describeClass(fnd::ClassBuilder<ActionCell>& c)
{
    c.property("target", &ActionCell::target, &ActionCell::setTarget);
    c.property(
        "action", [](const ActionCell& cell) { return cell.action() ? cell.action().name() : fnd::String(); },
        [](ActionCell& cell, const fnd::String& name) {
            cell.setAction(name.isEmpty() ? fnd::Selector() : fnd::Selector(name));
        });
}

void ActionCell::encodeWithCoder(fnd::Coder& coder) const
{
    Cell::encodeWithCoder(coder);
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeInteger(m_tag, "Tag");
    if (m_action)
        coder.encodeObject(fnd::Value(m_action.name()), "Action");
    if (auto target = m_target.lock())
        coder.encodeConditionalObject(fnd::Value(target), "Target");
}

bool ActionCell::initWithCoder(fnd::Coder& coder)
{
    if (!Cell::initWithCoder(coder))
        return false;
    m_tag = static_cast<long>(coder.decodeIntegerForKey("Tag"));
    auto action = coder.decodeObjectForKey("Action").stringValue();
    m_action = action.isEmpty() ? fnd::Selector() : fnd::Selector(action);
    m_target = coder.decodeObjectForKey("Target").object();
    return !coder.hasFailed();
}

}
