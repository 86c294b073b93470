#pragma once

#include "platform/foundation/runtime/String.h"

#include <functional>
#include <vector>

namespace fnd {

// Records how to reverse changes. What is registered while undoing goes onto the redo stack, and what is registered
// while redoing back onto the undo stack, so every undo can be redone. Registrations outside an explicit group form a
// group of their own.
class UndoManager {
public:
    using Action = std::function<void()>;

    void registerUndo(Action action);
    void beginUndoGrouping();
    void endUndoGrouping();

    bool canUndo() const { return !m_undoStack.empty(); }
    bool canRedo() const { return !m_redoStack.empty(); }
    // Runs the last group's actions, latest first; does nothing when there is none.
    void undo();
    void redo();
    bool isUndoing() const { return m_state == State::Undoing; }
    bool isRedoing() const { return m_state == State::Redoing; }

    // Names the group being recorded (or, while undoing or redoing, the one being made for the other stack).
    void setActionName(const String& name);
    // While a group is being undone (redone), its own name; otherwise the name of the group undo (redo) would run.
    String undoActionName() const;
    String redoActionName() const;
    void removeAllActions();

private:
    struct Group {
        std::vector<Action> actions;
        String name;
    };
    enum class State { Normal, Undoing, Redoing };

    std::vector<Group>& targetStack() { return m_state == State::Undoing ? m_redoStack : m_undoStack; }
    void run(std::vector<Group>& from, State state);

    std::vector<Group> m_undoStack;
    std::vector<Group> m_redoStack;
    State m_state { State::Normal };
    String m_runningName;
    int m_groupDepth { 0 };
    bool m_groupOpen { false };
};

}
