#pragma once

#include "platform/ui/controls/Cell.h"

namespace ui {

// A cell that carries its own target, action and tag (a control's cell usually is one). Changes are shown in the
// control at once.
class ActionCell : public Cell {
    UI_CELL_OBJECT(ActionCell)
    static void describeClass(fnd::ClassBuilder<ActionCell>& c);

public:
    ActionCell() = default;

    fnd::Selector action() const override { return m_action; }
    void setAction(fnd::Selector action) override { m_action = action; }
    // nil: the action travels the responder chain.
    std::shared_ptr<fnd::Object> target() const override { return m_target.lock(); }
    void setTarget(const std::shared_ptr<fnd::Object>& target) override { m_target = target; }
    long tag() const override { return m_tag; }
    void setTag(long tag) override { m_tag = tag; }

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    fnd::Selector m_action;
    std::weak_ptr<fnd::Object> m_target;
    long m_tag { 0 };
};

}
