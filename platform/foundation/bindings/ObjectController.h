#pragma once

#include "platform/foundation/runtime/Object.h"

#include <memory>

namespace fnd {

namespace detail {
class ControllerSelection;
}

// Mediates between one content object and the views bound to it. Views bind to "selection.<key path>": the
// selection answers the selected objects' common value, or a selection marker (no selection, multiple values, not
// applicable), and writes what it is given to every selected object. Everything a view binds to is observable.
//
// Content the controller changes itself (add:, remove:) is written back through its "contentObject" binding.
// Content that is a value (a dictionary) rather than an object is edited by replacing it.
class ObjectController : public Object {
    FND_OBJECT(ObjectController)
    static void describeClass(ClassBuilder<ObjectController>& c);

public:
    ObjectController();
    ~ObjectController() override;

    virtual Value content() const { return m_content; }
    virtual void setContent(const Value& content);

    // The proxy of the selection (one object for the controller's life).
    Value selection() const;
    // The content, as a one-element array (empty without content).
    virtual Array selectedObjects() const;
    // True when the selection changed; an object controller's selection is its content, so it never does.
    virtual bool setSelectedObjects(const Array& objects);

    // The class newObject makes; nullptr makes empty dictionaries.
    const ClassInfo* objectClass() const { return m_objectClass; }
    void setObjectClass(const ClassInfo* objectClass);
    // Registered class name of objectClass, for interface files; "" for none.
    String objectClassName() const;
    void setObjectClassName(const String& name);
    virtual Value newObject() const;

    bool isEditable() const { return m_editable; }
    void setEditable(bool flag);
    virtual bool canAdd() const { return m_editable; }
    virtual bool canRemove() const;

    // Actions: add a new object, remove the selection.
    virtual void add(const Value& sender);
    virtual void remove(const Value& sender);
    virtual void addObject(const Value& object);
    virtual void removeObject(const Value& object);

    // The context the edited objects live in, handed on to whoever edits them.
    const std::shared_ptr<Object>& managedObjectContext() const { return m_managedObjectContext; }
    void setManagedObjectContext(const std::shared_ptr<Object>& context);

protected:
    friend class detail::ControllerSelection;

    // Sets the key path on every selected object; a selected value (a dictionary) is replaced by its changed copy.
    virtual void setValueForKeyPathOfSelection(const Value& value, const String& keyPath);
    // Tells the selection proxy that the selected objects changed, so it follows the new ones. Call it after the
    // change and before the did-change notifications.
    void selectedObjectsChanged();
    // Writes a value back through one of the controller's own bindings, when it is bound.
    void writeBackBinding(const String& binding, const Value& value);

private:
    detail::ControllerSelection& selectionProxy() const;

    Value m_content;
    const ClassInfo* m_objectClass { nullptr };
    bool m_editable { true };
    std::shared_ptr<Object> m_managedObjectContext;
    mutable std::shared_ptr<detail::ControllerSelection> m_selection;
};

}
