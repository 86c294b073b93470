#include "platform/foundation/model/UndoManager.h"

#include "platform/foundation/runtime/Exception.h"

namespace fnd {

void UndoManager::beginUndoGrouping()
{
    if (m_groupDepth++ == 0) {
        targetStack().push_back({});
        m_groupOpen = true;
    }
}

void UndoManager::endUndoGrouping()
{
    if (m_groupDepth == 0)
        throw Exception::internalInconsistency("endUndoGrouping without a matching beginUndoGrouping");
    if (--m_groupDepth == 0) {
        m_groupOpen = false;
        auto& stack = targetStack();
        if (!stack.empty() && stack.back().actions.empty())
            stack.pop_back();
    }
}

void UndoManager::registerUndo(Action action)
{
    if (!m_groupOpen) {
        // A new change outside undo and redo makes the redo stack meaningless.
        if (m_state == State::Normal)
            m_redoStack.clear();
        targetStack().push_back({});
        targetStack().back().actions.push_back(std::move(action));
        return;
    }
    if (m_state == State::Normal && m_groupDepth > 0)
        m_redoStack.clear();
    targetStack().back().actions.push_back(std::move(action));
}

void UndoManager::setActionName(const String& name)
{
    auto& stack = targetStack();
    if (!stack.empty())
        stack.back().name = name;
}

void UndoManager::run(std::vector<Group>& from, State state)
{
    if (from.empty() || m_state != State::Normal)
        return;
    Group group = std::move(from.back());
    from.pop_back();
    m_state = state;
    m_runningName = group.name;
    beginUndoGrouping();
    setActionName(group.name);
    try {
        for (auto it = group.actions.rbegin(); it != group.actions.rend(); ++it)
            (*it)();
    } catch (...) {
        endUndoGrouping();
        m_state = State::Normal;
        throw;
    }
    endUndoGrouping();
    m_state = State::Normal;
}

String UndoManager::undoActionName() const
{
    if (isUndoing())
        return m_runningName;
    return m_undoStack.empty() ? String() : m_undoStack.back().name;
}

String UndoManager::redoActionName() const
{
    if (isRedoing())
        return m_runningName;
    return m_redoStack.empty() ? String() : m_redoStack.back().name;
}

void UndoManager::undo() { run(m_undoStack, State::Undoing); }

void UndoManager::redo() { run(m_redoStack, State::Redoing); }

void UndoManager::removeAllActions()
{
    m_undoStack.clear();
    m_redoStack.clear();
}

}
