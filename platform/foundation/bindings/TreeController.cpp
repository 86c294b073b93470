#include "platform/foundation/bindings/TreeController.h"

#include "platform/foundation/bindings/Binding.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/KeyValueCoding.h"
#include "platform/foundation/detail/ControllerElements.h"
#include "platform/foundation/detail/KeyValueObservingInternals.h"

#include <fmt/format.h>

#include <algorithm>

namespace fnd {

FND_REGISTER_CLASS(TreeController, ObjectController)

namespace {

Value pathsValue(const std::vector<IndexPath>& paths)
{
    Array array;
    array.reserve(paths.size());
    for (const auto& p : paths)
        array.emplace_back(std::make_shared<IndexPath>(p));
    return Value(std::move(array));
}

std::vector<IndexPath> pathsFromValue(const Value& value)
{
    std::vector<IndexPath> paths;
    if (auto* array = value.array()) {
        for (const auto& element : *array) {
            if (auto p = element.objectAs<IndexPath>())
                paths.push_back(*p);
        }
    } else if (auto p = value.objectAs<IndexPath>()) {
        paths.push_back(*p);
    }
    return paths;
}

bool lessPath(const IndexPath& a, const IndexPath& b)
{
    return a.indexes() < b.indexes();
}

// a is b or lies below it.
bool isWithin(const IndexPath& a, const IndexPath& b)
{
    return a.length() >= b.length() && std::equal(b.indexes().begin(), b.indexes().end(), a.indexes().begin());
}

IndexPath parentOf(const IndexPath& path)
{
    return path.indexPathByRemovingLastIndex();
}

Index lastOf(const IndexPath& path)
{
    return path.indexes().empty() ? NotFound : path.indexes().back();
}

// A path after a sibling was inserted at `at` (whose parent it may share).
IndexPath shiftedForInsertion(const IndexPath& path, const IndexPath& at)
{
    auto depth = static_cast<std::size_t>(at.length()) - 1;
    if (path.length() < at.length() || !isWithin(path, parentOf(at)) || path.indexes()[depth] < lastOf(at))
        return path;
    auto indexes = path.indexes();
    ++indexes[depth];
    return IndexPath(std::move(indexes));
}

// A path after the node at `at` was removed; nullopt when it was that node or below it.
std::optional<IndexPath> shiftedForRemoval(const IndexPath& path, const IndexPath& at)
{
    if (isWithin(path, at))
        return std::nullopt;
    auto depth = static_cast<std::size_t>(at.length()) - 1;
    if (path.length() < at.length() || !isWithin(path, parentOf(at)) || path.indexes()[depth] < lastOf(at))
        return path;
    auto indexes = path.indexes();
    --indexes[depth];
    return IndexPath(std::move(indexes));
}

// Whether an edit at these paths changes the top objects.
bool touchesTopLevel(const std::vector<IndexPath>& paths)
{
    return std::any_of(paths.begin(), paths.end(), [](const IndexPath& p) { return p.length() == 1; });
}

// The paths of the objects' first nodes in the tree, in row order.
std::vector<IndexPath> pathsOfObjectsIn(const TreeNode& root, const Array& objects)
{
    std::vector<IndexPath> paths;
    if (objects.empty())
        return paths;
    std::vector<Index> trail;
    std::vector<bool> found(objects.size(), false);
    std::function<void(const TreeNode&)> visit = [&](const TreeNode& node) {
        for (std::size_t i = 0; i < node.childNodes().size(); ++i) {
            const auto& child = *node.childNodes()[i];
            trail.push_back(static_cast<Index>(i));
            for (std::size_t k = 0; k < objects.size(); ++k) {
                if (!found[k] && detail::sameElement(child.representedObject(), objects[k])) {
                    found[k] = true;
                    paths.emplace_back(trail);
                }
            }
            visit(child);
            trail.pop_back();
        }
    };
    visit(root);
    return paths;
}

// The paths that lead to a node of the tree, sorted, each once.
std::vector<IndexPath> selectablePaths(const TreeNode& root, std::vector<IndexPath> paths)
{
    std::erase_if(paths, [&](const IndexPath& p) { return p.length() == 0 || !root.descendantNodeAtIndexPath(p); });
    std::sort(paths.begin(), paths.end(), lessPath);
    paths.erase(std::unique(paths.begin(), paths.end()), paths.end());
    return paths;
}

void raiseBadPath(const char* operation, const IndexPath& path)
{
    throw Exception::range(String(fmt::format(
        "TreeController {}: the index path {} leads to no place in the tree.", operation, path.description().utf8())));
}

}

namespace detail {

// An observation of the children of every object in the tree, so that changes made elsewhere rebuild it.
class TreeObservations : public ControllerObservations {
public:
    void observeTree(TreeController& controller, const TreeNode& root)
    {
        clear();
        if (controller.m_childrenKeyPath.isEmpty())
            return;
        WeakObjectRef weak(controller);
        walk(root, [&](const TreeNode& node) {
            if (auto object = node.representedObject().object())
                add(*object, controller.m_childrenKeyPath, weak,
                    [](Object& c) { static_cast<TreeController&>(c).modelChildrenChanged(); });
        });
    }

private:
    template <typename F> static void walk(const TreeNode& node, const F& visit)
    {
        for (const auto& child : node.childNodes()) {
            visit(*child);
            walk(*child, visit);
        }
    }
};

}

void TreeController::describeClass(ClassBuilder<TreeController>& c)
{
    c.property(
        "contentArray", [](const TreeController& t) { return t.m_contentArray; },
        [](TreeController& t, const Value& v) { t.setContent(v); });
    c.property("childrenKeyPath", &TreeController::childrenKeyPath, &TreeController::setChildrenKeyPath);
    c.property("countKeyPath", &TreeController::countKeyPath, &TreeController::setCountKeyPath);
    c.property("leafKeyPath", &TreeController::leafKeyPath, &TreeController::setLeafKeyPath);
    c.property("arrangedObjects", &TreeController::arrangedObjects);
    c.property(
        "sortDescriptors", [](const TreeController& t) { return valueFromSortDescriptors(t.m_sortDescriptors); },
        [](TreeController& t, const Value& v) { t.setSortDescriptors(sortDescriptorsFromValue(v)); });
    c.property(
        "selectionIndexPaths", [](const TreeController& t) { return pathsValue(t.m_selection); },
        [](TreeController& t, const Value& v) { t.setSelectionIndexPaths(pathsFromValue(v)); });
    c.property("selectionIndexPath", &TreeController::selectionIndexPath, &TreeController::setSelectionIndexPath);
    c.property("selectedNodes", &TreeController::selectedNodes);
    c.property("avoidsEmptySelection", &TreeController::m_avoidsEmptySelection);
    c.property("preservesSelection", &TreeController::m_preservesSelection);
    c.property("selectsInsertedObjects", &TreeController::m_selectsInsertedObjects);
    c.property("canInsert", &TreeController::canInsert);
    c.property("canAddChild", &TreeController::canAddChild);
    c.property("canInsertChild", &TreeController::canInsertChild);
    c.action("insert:", &TreeController::insert);
    c.action("addChild:", &TreeController::addChild);
    c.action("insertChild:", &TreeController::insertChild);
    c.action("rearrangeObjects", &TreeController::rearrangeObjects);
    for (const char* key : { "selection", "selectedObjects", "selectedNodes" })
        c.keyPathsAffecting(key, { "arrangedObjects", "selectionIndexPaths" });
    c.keyPathsAffecting("selectionIndexPath", { "selectionIndexPaths" });
    c.keyPathsAffecting("canRemove", { "selectionIndexPaths" });
    c.keyPathsAffecting("canInsert", { "editable" });
    c.keyPathsAffecting("canAddChild", { "editable", "selectionIndexPaths", "arrangedObjects" });
    c.keyPathsAffecting("canInsertChild", { "editable", "selectionIndexPaths", "arrangedObjects" });
    c.keyPathsAffecting("contentArray", { "content" });
    c.exposeBinding(BindingName::ContentArray);
    c.exposeBinding("selectionIndexPaths");
    c.exposeBinding(BindingName::SortDescriptors);
}

TreeController::TreeController()
    : m_root(std::make_shared<TreeNode>())
{
    m_root->m_leaf = false;
}

TreeController::~TreeController() = default;

// The model.

Array TreeController::childrenOf(const Value& object) const
{
    if (m_childrenKeyPath.isEmpty() || object.isNil() || object.isNull())
        return {};
    try {
        Value children = fnd::valueForKeyPath(object, m_childrenKeyPath);
        if (auto* array = children.array())
            return *array;
    } catch (const Exception&) {
        // An object without the key has no children.
    }
    return {};
}

bool TreeController::leafRule(const Value& object) const
{
    try {
        if (!m_leafKeyPath.isEmpty())
            return fnd::valueForKeyPath(object, m_leafKeyPath).boolValue();
        if (!m_countKeyPath.isEmpty())
            return fnd::valueForKeyPath(object, m_countKeyPath).integerValue() == 0;
    } catch (const Exception&) {
        // An object without the key is decided by its children.
    }
    return childrenOf(object).empty();
}

std::shared_ptr<TreeNode> TreeController::makeNode(const Value& object, std::vector<const Object*>& ancestors) const
{
    auto node = std::make_shared<TreeNode>(object);
    node->m_leaf = leafRule(object);
    if (*node->m_leaf)
        return node;
    for (const auto& child : sortedArrayUsingDescriptors(childrenOf(object), m_sortDescriptors)) {
        // An object among its own descendants would make the tree endless: that branch stops.
        auto childObject = child.object();
        if (childObject && std::find(ancestors.begin(), ancestors.end(), childObject.get()) != ancestors.end())
            continue;
        ancestors.push_back(childObject.get());
        auto childNode = makeNode(child, ancestors);
        ancestors.pop_back();
        childNode->m_parent = node;
        node->m_children.push_back(std::move(childNode));
    }
    return node;
}

std::shared_ptr<TreeNode> TreeController::buildTree(const Array& content) const
{
    auto root = std::make_shared<TreeNode>();
    root->m_leaf = false;
    std::vector<const Object*> ancestors;
    for (const auto& object : sortedArrayUsingDescriptors(content, m_sortDescriptors)) {
        ancestors.assign(1, object.object().get());
        auto node = makeNode(object, ancestors);
        node->m_parent = root;
        root->m_children.push_back(std::move(node));
    }
    return root;
}

Array TreeController::modelChildren(const TreeNode& node) const
{
    return &node == m_root.get() ? m_contentArray : childrenOf(node.representedObject());
}

void TreeController::setModelChildren(TreeNode& node, const Array& children)
{
    if (&node == m_root.get()) {
        m_contentArray = children;
        return;
    }
    const Value represented = node.representedObject();
    if (auto object = represented.object()) {
        m_changingModel = true;
        try {
            object->setValueForKeyPath(Value(children), m_childrenKeyPath);
        } catch (...) {
            m_changingModel = false;
            throw;
        }
        m_changingModel = false;
        return;
    }
    Value changed = represented;
    fnd::setValueForKeyPath(changed, Value(children), m_childrenKeyPath);
    replaceRepresentedValue(node, changed);
}

void TreeController::replaceRepresentedValue(TreeNode& node, const Value& changed)
{
    auto parent = node.parentNode();
    if (!parent)
        return;
    const Value before = node.representedObject();
    Array siblings = modelChildren(*parent);
    for (auto& sibling : siblings) {
        if (detail::sameElement(sibling, before)) {
            sibling = changed;
            break;
        }
    }
    node.m_representedObject = changed;
    setModelChildren(*parent, siblings);
}

// Content and arrangement.

void TreeController::setContent(const Value& content)
{
    Array array = detail::contentArrayFromValue(content);
    if (array == m_contentArray)
        return;
    auto root = buildTree(array);
    auto selection = m_preservesSelection ? pathsOfObjectsIn(*root, selectedObjects()) : std::vector<IndexPath> {};
    commit(std::move(root), std::move(array), std::move(selection), true);
}

void TreeController::rearrangeObjects()
{
    auto root = buildTree(m_contentArray);
    auto selection = pathsOfObjectsIn(*root, selectedObjects());
    commit(std::move(root), m_contentArray, std::move(selection), true);
}

void TreeController::modelChildrenChanged()
{
    if (!m_changingModel)
        rearrangeObjects();
}

void TreeController::setTreeKeyPath(String& member, const String& keyPath)
{
    if (keyPath == member)
        return;
    member = keyPath;
    rearrangeObjects();
}

void TreeController::setChildrenKeyPath(const String& keyPath)
{
    setTreeKeyPath(m_childrenKeyPath, keyPath);
}

void TreeController::setCountKeyPath(const String& keyPath)
{
    setTreeKeyPath(m_countKeyPath, keyPath);
}

void TreeController::setLeafKeyPath(const String& keyPath)
{
    setTreeKeyPath(m_leafKeyPath, keyPath);
}

void TreeController::setSortDescriptors(const SortDescriptors& descriptors)
{
    if (detail::sameSortDescriptors(descriptors, m_sortDescriptors))
        return;
    willChangeValueForKey("sortDescriptors");
    m_sortDescriptors = descriptors;
    didChangeValueForKey("sortDescriptors");
    rearrangeObjects();
    writeBackBinding(BindingName::SortDescriptors, valueFromSortDescriptors(m_sortDescriptors));
}

void TreeController::editTree(bool touchesContent, const std::function<std::vector<IndexPath>()>& edit)
{
    if (touchesContent)
        willChangeValueForKey("content");
    willChangeValueForKey("arrangedObjects");
    willChangeValueForKey("selectionIndexPaths");
    const Array contentBefore = m_contentArray;
    m_selection = edit();
    observeModel();
    selectedObjectsChanged();
    didChangeValueForKey("selectionIndexPaths");
    didChangeValueForKey("arrangedObjects");
    if (touchesContent)
        didChangeValueForKey("content");
    if (!(contentBefore == m_contentArray))
        writeBackBinding(BindingName::ContentArray, Value(m_contentArray));
    writeBackBinding("selectionIndexPaths", pathsValue(m_selection));
}

void TreeController::observeModel()
{
    if (!m_observations)
        m_observations = std::make_unique<detail::TreeObservations>();
    m_observations->observeTree(*this, *m_root);
}

void TreeController::commit(
    std::shared_ptr<TreeNode> root, Array content, std::vector<IndexPath> selection, bool treeChanged)
{
    const bool contentChanged = !(content == m_contentArray);
    // Settled against the tree it will point into.
    selection = settledSelection(*root, std::move(selection), std::nullopt);
    const bool selectionChanged = selection != m_selection;
    if (!contentChanged && !treeChanged && !selectionChanged)
        return;
    if (contentChanged)
        willChangeValueForKey("content");
    if (treeChanged)
        willChangeValueForKey("arrangedObjects");
    if (selectionChanged)
        willChangeValueForKey("selectionIndexPaths");
    m_root = std::move(root);
    m_contentArray = std::move(content);
    m_selection = std::move(selection);
    observeModel();
    selectedObjectsChanged();
    if (selectionChanged)
        didChangeValueForKey("selectionIndexPaths");
    if (treeChanged)
        didChangeValueForKey("arrangedObjects");
    if (contentChanged)
        didChangeValueForKey("content");
    if (contentChanged)
        writeBackBinding(BindingName::ContentArray, Value(m_contentArray));
    if (selectionChanged)
        writeBackBinding("selectionIndexPaths", pathsValue(m_selection));
}

// Selection.

std::vector<IndexPath> TreeController::settledSelection(
    const TreeNode& root, std::vector<IndexPath> paths, std::optional<IndexPath> preferred) const
{
    paths = selectablePaths(root, std::move(paths));
    if (paths.empty() && m_avoidsEmptySelection) {
        if (preferred && preferred->length() > 0 && root.descendantNodeAtIndexPath(*preferred))
            paths.push_back(*preferred);
        else if (!root.childNodes().empty())
            paths.push_back(IndexPath { 0 });
    }
    return paths;
}

bool TreeController::setSelectionIndexPaths(const std::vector<IndexPath>& paths)
{
    std::vector<IndexPath> selection = selectablePaths(*m_root, paths);
    if (selection == m_selection)
        return false;
    willChangeValueForKey("selectionIndexPaths");
    m_selection = std::move(selection);
    selectedObjectsChanged();
    didChangeValueForKey("selectionIndexPaths");
    writeBackBinding("selectionIndexPaths", pathsValue(m_selection));
    return true;
}

std::optional<IndexPath> TreeController::selectionIndexPath() const
{
    if (m_selection.empty())
        return std::nullopt;
    return m_selection.front();
}

bool TreeController::setSelectionIndexPath(const std::optional<IndexPath>& path)
{
    return setSelectionIndexPaths(path ? std::vector<IndexPath> { *path } : std::vector<IndexPath> {});
}

bool TreeController::addSelectionIndexPaths(const std::vector<IndexPath>& paths)
{
    auto selection = m_selection;
    selection.insert(selection.end(), paths.begin(), paths.end());
    return setSelectionIndexPaths(selection);
}

bool TreeController::removeSelectionIndexPaths(const std::vector<IndexPath>& paths)
{
    auto selection = m_selection;
    std::erase_if(
        selection, [&](const IndexPath& p) { return std::find(paths.begin(), paths.end(), p) != paths.end(); });
    return setSelectionIndexPaths(selection);
}

std::vector<std::shared_ptr<TreeNode>> TreeController::selectedNodes() const
{
    std::vector<std::shared_ptr<TreeNode>> nodes;
    for (const auto& path : m_selection) {
        if (auto node = m_root->descendantNodeAtIndexPath(path))
            nodes.push_back(std::move(node));
    }
    return nodes;
}

Array TreeController::selectedObjects() const
{
    Array objects;
    for (const auto& node : selectedNodes())
        objects.push_back(node->representedObject());
    return objects;
}

bool TreeController::setSelectedObjects(const Array& objects)
{
    return setSelectionIndexPaths(pathsOfObjectsIn(*m_root, objects));
}

// Editing.

void TreeController::insertObjectAtArrangedObjectIndexPath(const Value& object, const IndexPath& path)
{
    insertObjectsAtArrangedObjectIndexPaths({ object }, { path });
}

void TreeController::insertObjectsAtArrangedObjectIndexPaths(const Array& objects, const std::vector<IndexPath>& paths)
{
    if (objects.size() != paths.size())
        throw Exception::invalidArgument(String(
            fmt::format("TreeController: {} objects to insert at {} index paths.", objects.size(), paths.size())));
    if (objects.empty())
        return;
    auto& first = paths.front();
    auto firstParent = first.length() ? m_root->descendantNodeAtIndexPath(parentOf(first)) : nullptr;
    if (!firstParent || lastOf(first) > static_cast<Index>(firstParent->childNodes().size()))
        raiseBadPath("insertObjectsAtArrangedObjectIndexPaths", first);

    editTree(touchesTopLevel(paths), [&] {
        auto selection = m_selection;
        std::vector<IndexPath> inserted;
        for (std::size_t k = 0; k < objects.size(); ++k) {
            const auto& path = paths[k];
            auto parent = path.length() ? m_root->descendantNodeAtIndexPath(parentOf(path)) : nullptr;
            auto index = lastOf(path);
            if (!parent || index < 0 || index > static_cast<Index>(parent->childNodes().size()))
                continue; // a later path the earlier insertions made invalid
            // In the model, the object goes before the object now at that place.
            Array siblings = modelChildren(*parent);
            std::size_t at = siblings.size();
            if (index < static_cast<Index>(parent->childNodes().size())) {
                const auto& next = parent->childNodes()[static_cast<std::size_t>(index)]->representedObject();
                auto it = std::find_if(
                    siblings.begin(), siblings.end(), [&](const Value& v) { return detail::sameElement(v, next); });
                at = static_cast<std::size_t>(it - siblings.begin());
            }
            siblings.insert(siblings.begin() + static_cast<std::ptrdiff_t>(at), objects[k]);
            setModelChildren(*parent, siblings);

            std::vector<const Object*> ancestors;
            for (auto n = parent; n && n != m_root; n = n->parentNode())
                ancestors.push_back(n->representedObject().object().get());
            ancestors.push_back(objects[k].object().get());
            parent->insertChildNode(makeNode(objects[k], ancestors), index);
            if (parent != m_root)
                parent->m_leaf = leafRule(parent->representedObject());

            for (auto& p : selection)
                p = shiftedForInsertion(p, path);
            for (auto& p : inserted)
                p = shiftedForInsertion(p, path);
            inserted.push_back(path);
        }
        if (m_selectsInsertedObjects)
            selection = inserted;
        return settledSelection(
            *m_root, std::move(selection), inserted.empty() ? std::nullopt : std::optional(inserted.front()));
    });
}

void TreeController::removeObjectAtArrangedObjectIndexPath(const IndexPath& path)
{
    removeObjectsAtArrangedObjectIndexPaths({ path });
}

void TreeController::removeObjectsAtArrangedObjectIndexPaths(const std::vector<IndexPath>& paths)
{
    for (const auto& path : paths) {
        if (path.length() == 0 || !m_root->descendantNodeAtIndexPath(path))
            raiseBadPath("removeObjectsAtArrangedObjectIndexPaths", path);
    }
    // Last first, so that the paths still to do keep pointing at their nodes; nodes below another removed node go
    // with it.
    std::vector<IndexPath> removals;
    for (const auto& p : selectablePaths(*m_root, paths)) {
        if (removals.empty() || !isWithin(p, removals.back()))
            removals.push_back(p);
    }
    if (removals.empty())
        return;
    std::reverse(removals.begin(), removals.end());

    editTree(touchesTopLevel(removals), [&] {
        const bool hadSelection = !m_selection.empty();
        for (const auto& path : removals) {
            auto node = m_root->descendantNodeAtIndexPath(path);
            auto parent = node->parentNode();
            Array siblings = modelChildren(*parent);
            auto it = std::find_if(siblings.begin(), siblings.end(),
                [&](const Value& v) { return detail::sameElement(v, node->representedObject()); });
            if (it != siblings.end())
                siblings.erase(it);
            setModelChildren(*parent, siblings);
            parent->removeChildNodeAtIndex(lastOf(path));
            if (parent != m_root)
                parent->m_leaf = leafRule(parent->representedObject());
        }
        auto selection = m_selection;
        for (const auto& path : removals) {
            std::vector<IndexPath> kept;
            for (const auto& p : selection) {
                if (auto shifted = shiftedForRemoval(p, path))
                    kept.push_back(*shifted);
            }
            selection = std::move(kept);
        }
        // A selection removed entirely passes to the node that took the first removed node's place, else to the one
        // before it, else to the parent.
        std::optional<IndexPath> preferred;
        if (selection.empty() && hadSelection) {
            const auto& firstRemoved = removals.back();
            auto parentPath = parentOf(firstRemoved);
            auto parent = m_root->descendantNodeAtIndexPath(parentPath);
            auto count = parent ? static_cast<Index>(parent->childNodes().size()) : 0;
            if (count > 0)
                preferred = parentPath.indexPathByAddingIndex(std::min(lastOf(firstRemoved), count - 1));
            else if (parentPath.length() > 0)
                preferred = parentPath;
        }
        return settledSelection(*m_root, std::move(selection), preferred);
    });
}

bool TreeController::canAddChild() const
{
    if (!isEditable() || m_selection.size() != 1)
        return false;
    auto node = m_root->descendantNodeAtIndexPath(m_selection.front());
    return node && !node->isLeaf();
}

void TreeController::add(const Value&)
{
    if (!canAdd())
        return;
    Value object = newObject();
    if (object.isNil())
        return;
    IndexPath parentPath = m_selection.empty() ? IndexPath {} : parentOf(m_selection.front());
    auto parent = m_root->descendantNodeAtIndexPath(parentPath);
    insertObjectAtArrangedObjectIndexPath(
        object, parentPath.indexPathByAddingIndex(static_cast<Index>(parent->childNodes().size())));
}

void TreeController::insert(const Value&)
{
    if (!canInsert())
        return;
    Value object = newObject();
    if (object.isNil())
        return;
    insertObjectAtArrangedObjectIndexPath(object,
        m_selection.empty() ? IndexPath { static_cast<Index>(m_root->childNodes().size()) } : m_selection.front());
}

void TreeController::addChild(const Value&)
{
    if (!canAddChild())
        return;
    Value object = newObject();
    if (object.isNil())
        return;
    auto path = m_selection.front();
    auto node = m_root->descendantNodeAtIndexPath(path);
    insertObjectAtArrangedObjectIndexPath(
        object, path.indexPathByAddingIndex(static_cast<Index>(node->childNodes().size())));
}

void TreeController::insertChild(const Value&)
{
    if (!canInsertChild())
        return;
    Value object = newObject();
    if (!object.isNil())
        insertObjectAtArrangedObjectIndexPath(object, m_selection.front().indexPathByAddingIndex(0));
}

void TreeController::remove(const Value&)
{
    if (canRemove())
        removeObjectsAtArrangedObjectIndexPaths(m_selection);
}

void TreeController::addObject(const Value& object)
{
    insertObjectAtArrangedObjectIndexPath(object, IndexPath { static_cast<Index>(m_root->childNodes().size()) });
}

void TreeController::removeObject(const Value& object)
{
    auto paths = pathsOfObjectsIn(*m_root, { object });
    if (!paths.empty())
        removeObjectsAtArrangedObjectIndexPaths(paths);
}

void TreeController::setValueForKeyPathOfSelection(const Value& value, const String& keyPath)
{
    bool replaced = false, touchesContent = false;
    auto nodes = selectedNodes();
    for (const auto& node : nodes) {
        if (auto object = node->representedObject().object()) {
            object->setValueForKeyPath(value, keyPath);
            continue;
        }
        if (node->representedObject().isNil())
            continue;
        replaced = true;
        touchesContent = touchesContent || node->parentNode() == m_root;
    }
    if (!replaced)
        return;
    if (touchesContent)
        willChangeValueForKey("content");
    willChangeValueForKey("arrangedObjects");
    const Array contentBefore = m_contentArray;
    for (const auto& node : nodes) {
        const Value before = node->representedObject();
        if (before.object() || before.isNil())
            continue;
        Value changed = before;
        fnd::setValueForKeyPath(changed, value, keyPath);
        replaceRepresentedValue(*node, changed);
    }
    selectedObjectsChanged();
    didChangeValueForKey("arrangedObjects");
    if (touchesContent)
        didChangeValueForKey("content");
    if (!(contentBefore == m_contentArray))
        writeBackBinding(BindingName::ContentArray, Value(m_contentArray));
}

}
