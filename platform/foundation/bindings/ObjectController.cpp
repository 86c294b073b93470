#include "platform/foundation/bindings/ObjectController.h"

#include "platform/foundation/bindings/Binding.h"
#include "platform/foundation/runtime/KeyValueCoding.h"
#include "platform/foundation/detail/ControllerSelection.h"

namespace fnd {

FND_REGISTER_CLASS(ObjectController, Object)

void ObjectController::describeClass(ClassBuilder<ObjectController>& c)
{
    c.property("content", &ObjectController::content, &ObjectController::setContent);
    c.property("contentObject", &ObjectController::content, &ObjectController::setContent);
    c.property("selection", &ObjectController::selection);
    c.property("selectedObjects", &ObjectController::selectedObjects,
        [](ObjectController& o, const Array& objects) { o.setSelectedObjects(objects); });
    c.property("objectClassName", &ObjectController::objectClassName, &ObjectController::setObjectClassName);
    c.property("editable", &ObjectController::isEditable, &ObjectController::setEditable);
    c.property("canAdd", &ObjectController::canAdd);
    c.property("canRemove", &ObjectController::canRemove);
    c.property(
        "managedObjectContext", &ObjectController::managedObjectContext, &ObjectController::setManagedObjectContext);
    c.action("add:", &ObjectController::add);
    c.action("remove:", &ObjectController::remove);
    c.keyPathsAffecting("selection", { "content" });
    c.keyPathsAffecting("selectedObjects", { "content" });
    c.keyPathsAffecting("canAdd", { "editable" });
    c.keyPathsAffecting("canRemove", { "editable", "content" });
    c.exposeBinding(BindingName::ContentObject);
}

ObjectController::ObjectController() = default;

ObjectController::~ObjectController()
{
    if (m_selection)
        m_selection->detach();
}

detail::ControllerSelection& ObjectController::selectionProxy() const
{
    if (!m_selection)
        m_selection = std::make_shared<detail::ControllerSelection>(const_cast<ObjectController&>(*this));
    return *m_selection;
}

void ObjectController::setContent(const Value& content)
{
    if (content == m_content)
        return;
    willChangeValueForKey("content");
    m_content = content;
    selectedObjectsChanged();
    didChangeValueForKey("content");
}

Value ObjectController::selection() const
{
    return selectionProxy().selfValue();
}

Array ObjectController::selectedObjects() const
{
    if (m_content.isNil())
        return {};
    return { m_content };
}

bool ObjectController::setSelectedObjects(const Array&)
{
    return false;
}

void ObjectController::setObjectClass(const ClassInfo* objectClass)
{
    m_objectClass = objectClass;
}

String ObjectController::objectClassName() const
{
    return m_objectClass ? m_objectClass->name : String();
}

void ObjectController::setObjectClassName(const String& name)
{
    setObjectClass(name.isEmpty() ? nullptr : ClassRegistry::shared().find(name));
}

Value ObjectController::newObject() const
{
    if (!m_objectClass)
        return Value(Dictionary {});
    if (!m_objectClass->factory)
        return {};
    return Value(m_objectClass->factory());
}

void ObjectController::setEditable(bool flag)
{
    if (flag == m_editable)
        return;
    willChangeValueForKey("editable");
    m_editable = flag;
    didChangeValueForKey("editable");
}

bool ObjectController::canRemove() const
{
    return m_editable && !selectedObjects().empty();
}

void ObjectController::add(const Value&)
{
    if (!canAdd())
        return;
    Value object = newObject();
    if (!object.isNil())
        addObject(object);
}

void ObjectController::remove(const Value&)
{
    if (!canRemove())
        return;
    for (const auto& object : selectedObjects())
        removeObject(object);
}

void ObjectController::addObject(const Value& object)
{
    setContent(object);
    writeBackBinding(BindingName::ContentObject, m_content);
}

void ObjectController::removeObject(const Value& object)
{
    if (!(object == m_content))
        return;
    setContent({});
    writeBackBinding(BindingName::ContentObject, m_content);
}

void ObjectController::setManagedObjectContext(const std::shared_ptr<Object>& context)
{
    m_managedObjectContext = context;
}

void ObjectController::setValueForKeyPathOfSelection(const Value& value, const String& keyPath)
{
    if (auto object = m_content.object()) {
        object->setValueForKeyPath(value, keyPath);
        return;
    }
    if (m_content.isNil())
        return;
    Value changed = m_content;
    fnd::setValueForKeyPath(changed, value, keyPath);
    setContent(changed);
    writeBackBinding(BindingName::ContentObject, m_content);
}

void ObjectController::selectedObjectsChanged()
{
    if (m_selection)
        m_selection->selectionChanged();
}

void ObjectController::writeBackBinding(const String& binding, const Value& value)
{
    // Not bound is the usual case; a binding that cannot write back keeps the controller's own value.
    (void)writeBackBindingValue(*this, binding, value);
}

}
