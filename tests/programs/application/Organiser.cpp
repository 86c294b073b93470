#include "Organiser.h"

#include "frameworks/FoundationExtensions/ZORCountryLocale.h"

#include "platform/foundation/runtime/ClassBuilder.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Image.h"

#include <fmt/format.h>

FND_REGISTER_CLASS(OrganiserPerson, fnd::Object)
FND_REGISTER_CLASS(OrganiserTag, fnd::Object)
FND_REGISTER_CLASS(Organiser, fnd::Object)

namespace {

const char* const OrganiserFieldNames[]
    = { "name", "company", "zip", "mail", "homepage", "rating", "done", "born", "colour", "country", "tags" };

fnd::Value organiserItemValue(const ZOROutlineSourceListItem::Ptr& item)
{
    return fnd::Value(std::static_pointer_cast<fnd::Object>(item));
}

}

void OrganiserPerson::describeClass(fnd::ClassBuilder<OrganiserPerson>& c)
{
    for (const char* key : OrganiserFieldNames)
        c.property(
            key, [key](const OrganiserPerson& p) { return p.values.get(key); },
            [key](OrganiserPerson& p, const fnd::Value& v) { p.values.set(key, v); });
}

void OrganiserTag::describeClass(fnd::ClassBuilder<OrganiserTag>& c)
{
    c.property("title", &OrganiserTag::title);
}

void Organiser::describeClass(fnd::ClassBuilder<Organiser>& c)
{
    c.property("mainWindow", &Organiser::mainWindow);
    c.property("inspectorWindow", &Organiser::inspectorWindow);
    c.property("panel", &Organiser::panel);
    c.property("tabBar", &Organiser::tabBar);
    c.property("tabView", &Organiser::tabView);
    c.property("scopeBar", &Organiser::scopeBar);
    c.property("split", &Organiser::split);
    c.property("sourceList", &Organiser::sourceList);
    c.property("grid", &Organiser::grid);
    c.property("inspector", &Organiser::inspector);
    c.property("recorder", &Organiser::recorder);
    c.property("reviewDate", &Organiser::reviewDate);
    c.property("person", &Organiser::person);
    for (const char* name : OrganiserFieldNames) {
        const std::string key = std::string(name) + "Field";
        c.property(
            fnd::String(key),
            [name](const Organiser& o) {
                auto found = o.fields.find(name);
                return found == o.fields.end() ? nullptr : found->second;
            },
            [name](Organiser& o, const std::shared_ptr<ZORTextViewInspectorField>& field) { o.fields[name] = field; });
    }
    c.action("awakeFromNib", &Organiser::awakeFromNib);
}

Organiser::Organiser()
{
    person->values.set("rating", 2);
    person->values.set("done", false);
    person->values.set("born", fnd::Value(fnd::Date::fromReferenceDate(-600000000)));
    person->values.set("colour", fnd::Value(gfx::Color::colorWithCalibratedRed(0.2, 0.4, 0.8, 1)));
    person->values.set("country", "AT");
    for (const char* title : { "red", "blue" }) {
        auto tag = fnd::makeObject<OrganiserTag>();
        tag->title = title;
        tagObjects.push_back(tag);
    }
    for (const char* groupName : { "Library", "Shared" }) {
        auto group = ZOROutlineSourceListItem::create(groupName);
        for (const char* name : { "People", "Companies", "Archive" })
            group->silentAddChild(ZOROutlineSourceListItem::create(fmt::format("{} {}", groupName, name).c_str()));
        sourceRoot->silentAddChild(group);
    }
}

void Organiser::awakeFromNib()
{
    if (grid && !m_mainSetUp) {
        m_mainSetUp = true;
        // Without a picture the divider cannot be dragged; the program draws its own.
        split->setDivider(gfx::Image::imageWithSize({ 5, 5 }, true, [](const gfx::Rect& r) {
            gfx::Color::colorWithCalibratedWhite(0.8, 1)->setFill();
            gfx::BezierPath::fillRect(r);
            return true;
        }));
        grid->reloadData();
        scopeBar->reloadData();
        sourceList->reloadData();
        for (fnd::Index group = 0; group < sourceRoot->countOfChildren(); ++group)
            sourceList->expandItem(organiserItemValue(sourceRoot->childAtIndex(group)));
    }
    if (inspector && !m_inspectorSetUp) {
        m_inspectorSetUp = true;
        // The address fields bind their text; the tag list follows an array controller of tags.
        auto mail = std::dynamic_pointer_cast<ZORTextViewInspectorEmailField>(fields.at("mail"));
        mail->fieldAtIndex(0)->setPlaceholder(fnd::String("Address"));
        mail->bindEmailFieldToObject(*person, "mail");
        auto homepage = std::dynamic_pointer_cast<ZORTextViewInspectorURLField>(fields.at("homepage"));
        homepage->fieldAtIndex(0)->setPlaceholder(fnd::String("Address"));
        homepage->bindURLFieldToObject(*person, "homepage");
        std::dynamic_pointer_cast<ZORTextViewInspectorCountryField>(fields.at("country"))
            ->setCountryLocales({ std::make_shared<ZORCountryLocale>("AT"), std::make_shared<ZORCountryLocale>("FR"),
                std::make_shared<ZORCountryLocale>("DE") });
        auto list = std::dynamic_pointer_cast<ZORTextViewInspectorListField>(fields.at("tags"));
        list->setEntryFieldTemplate(
            ZORTextViewInspectorField::make<ZORTextViewInspectorTextField>("tag", nullptr, fnd::String("tag")));
        list->bindToObject(tags, "arrangedObjects", "title", "");
        fnd::Array content;
        for (const auto& tag : tagObjects)
            content.push_back(fnd::Value(tag));
        tags->setContent(content);
        inspector->recreateFieldTextStorage();
    }
}

fnd::Value Organiser::tableGridObjectValueForColumn(ZORTableGrid&, fnd::Index column, fnd::Index row)
{
    auto found = typed.find({ column, row });
    if (found != typed.end())
        return fnd::Value(fnd::String(found->second));
    return fnd::Value(fnd::String(fmt::format("{}{}", char('A' + column), row + 1)));
}

void Organiser::tableGridSetObjectValue(ZORTableGrid&, const fnd::Value& value, fnd::Index column, fnd::Index row)
{
    typed[{ column, row }] = value.stringValue().utf8();
}

std::uint64_t Organiser::scopeBarNumberOfObjectsInScopeBarGroup(KRScopeBar&, std::uint64_t group)
{
    return group == 0 ? 3 : 0;
}

fnd::Value Organiser::scopeBarValueForObjectInGroup(KRScopeBar&, std::uint64_t, std::uint64_t index)
{
    static const char* const titles[] = { "All", "People", "Companies" };
    return fnd::Value(fnd::String(titles[index % 3]));
}

fnd::Index Organiser::sourceListNumberOfChildrenOfItem(ZOROutlineSourceList&, const fnd::Value& item)
{
    auto node = item.isNil() ? sourceRoot : item.objectAs<ZOROutlineSourceListItem>();
    return node ? node->countOfChildren() : 0;
}

fnd::Value Organiser::sourceListChildOfItem(ZOROutlineSourceList&, fnd::Index index, const fnd::Value& item)
{
    auto node = item.isNil() ? sourceRoot : item.objectAs<ZOROutlineSourceListItem>();
    return node ? organiserItemValue(node->childAtIndex(index)) : fnd::Value();
}

fnd::Value Organiser::sourceListObjectValueForItem(ZOROutlineSourceList&, const fnd::Value& item)
{
    auto node = item.objectAs<ZOROutlineSourceListItem>();
    return node ? fnd::Value(node->title()) : fnd::Value();
}

bool Organiser::sourceListIsItemExpandable(ZOROutlineSourceList&, const fnd::Value& item)
{
    auto node = item.objectAs<ZOROutlineSourceListItem>();
    return node && node->hasChildren();
}

void Organiser::sourceListSetObjectValue(ZOROutlineSourceList&, const fnd::Value& value, const fnd::Value& item)
{
    if (auto node = item.objectAs<ZOROutlineSourceListItem>())
        node->setTitle(value.stringValue());
}
