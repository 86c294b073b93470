#include "registry/TabledSetters.h"

#include "registry/TabledSetterHelpers.h"

#include "barcodes/TBQDataEntry.h"
#include "frameworks/ZORAppKit/source-list/ZOROutlineSourceListItem.h"

#include <map>

namespace registrytest {

namespace {

TabledSetterList tabledDataEntrySetters()
{
    using E = TBQDataEntry;
    return {
        tabled<E>(
            "setParent", SetterKind::Object, [](const E& e) { return e.parent(); },
            [](E& e, const fnd::Value& v) { e.setParent(v.objectAs<E>()); }),
        tabled<E>("addObject", SetterKind::Object, [](E& e, const fnd::Value& v) { e.addObject(v.objectAs<E>()); }),
        tabled<E>(
            "insertObject", SetterKind::Object, [](E& e, const fnd::Value& v) { e.insertObject(v.objectAs<E>(), 0); }),
        tabled<E>(
            "addObjects", SetterKind::Array, [](E& e, const fnd::Value& v) { e.addObjects(tabledObjectsOf<E>(v)); }),
    };
}

TabledSetterList tabledFilteredRootSetters()
{
    using R = LMVFilteredDataEntryRoot;
    return {
        tabled<R>("addFilteredObjects", SetterKind::Array,
            [](R& r, const fnd::Value& v) { r.addFilteredObjects(tabledObjectsOf<TBQDataEntry>(v)); }),
    };
}

TabledSetterList tabledSourceListItemSetters()
{
    using I = ZOROutlineSourceListItem;
    return {
        tabled<I>("setTitle", SetterKind::String, [](I& i, const fnd::Value& v) { i.setTitle(v.stringValue()); }),
        tabled<I>(
            "setIdentifier", SetterKind::String, [](I& i, const fnd::Value& v) { i.setIdentifier(v.stringValue()); }),
        tabled<I>(
            "setIcon", SetterKind::Object, [](const I& i) { return i.icon(); },
            [](I& i, const fnd::Value& v) { i.setIcon(v.objectAs<gfx::Image>()); }),
        tabled<I>(
            "setBadgeValue", SetterKind::Integer, [](I& i, const fnd::Value& v) { i.setBadgeValue(v.integerValue()); }),
        tabled<I>(
            "setParent", SetterKind::Object, [](const I& i) { return i.parent(); },
            [](I& i, const fnd::Value& v) { i.setParent(v.objectAs<I>()); }),
        tabled<I>("setChildren", SetterKind::Array,
            [](I& i, const fnd::Value& v) {
                if (v.isNil())
                    i.setChildren(std::nullopt);
                else
                    i.setChildren(tabledObjectsOf<I>(v));
            }),
        tabled<I>("addChild", SetterKind::Object, [](I& i, const fnd::Value& v) { i.addChild(v.objectAs<I>()); }),
        tabled<I>(
            "insertChild", SetterKind::Object, [](I& i, const fnd::Value& v) { i.insertChild(v.objectAs<I>(), 0); }),
    };
}

const std::map<std::string, TabledSetterList (*)()>& tabledSetterTable()
{
    static const auto table = [] {
        std::map<std::string, TabledSetterList (*)()> lists {
            { "TBQDataEntry", tabledDataEntrySetters },
            { "LMVFilteredDataEntryRoot", tabledFilteredRootSetters },
            { "ZOROutlineSourceListItem", tabledSourceListItemSetters },
        };
        for (const auto& [name, list] : tabledModelSetterLists())
            lists.emplace(name, list);
        return lists;
    }();
    return table;
}

}

std::vector<Setter> tabledSettersOf(const std::string& className)
{
    const auto& table = tabledSetterTable();
    auto found = table.find(className);
    return found == table.end() ? std::vector<Setter> {} : found->second();
}

std::vector<std::string> classesWithTabledSetters()
{
    std::vector<std::string> names;
    for (const auto& [name, setters] : tabledSetterTable())
        names.push_back(name);
    return names;
}

std::optional<Subject> treeSubject(const fnd::ClassInfo& cls, const std::shared_ptr<fnd::Object>& object)
{
    if (auto entry = std::dynamic_pointer_cast<TBQDataEntry>(object)) {
        auto root = fnd::makeObject<TBQDataGroupEntry>();
        auto parent = fnd::makeObject<TBQDataGroupEntry>();
        root->addObject(parent);
        parent->addObject(entry);
        auto otherRoot = fnd::makeObject<TBQDataGroupEntry>();
        auto elsewhere = std::dynamic_pointer_cast<TBQDataEntry>(madeByName(cls));
        if (elsewhere)
            otherRoot->addObject(elsewhere);
        return Subject { entry, { entry, parent, root, elsewhere }, { root, otherRoot } };
    }
    if (auto item = std::dynamic_pointer_cast<ZOROutlineSourceListItem>(object)) {
        auto root = ZOROutlineSourceListItem::create("Root");
        auto parent = ZOROutlineSourceListItem::create("Parent");
        root->addChild(parent);
        parent->addChild(item);
        auto otherRoot = ZOROutlineSourceListItem::create("Other");
        auto elsewhere = std::dynamic_pointer_cast<ZOROutlineSourceListItem>(madeByName(cls));
        if (elsewhere)
            otherRoot->addChild(elsewhere);
        return Subject { item, { item, parent, root, elsewhere }, { root, otherRoot } };
    }
    return std::nullopt;
}

}
