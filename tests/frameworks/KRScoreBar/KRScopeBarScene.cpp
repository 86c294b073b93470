#include "KRScopeBarScene.h"

#include "frameworks/KRScoreBar/KRScopeBarGroup.h"

#include "platform/foundation/runtime/ClassBuilder.h"
#include "platform/ui/controls/PopUpButtonCell.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"

#include <algorithm>

namespace krtest {

FND_REGISTER_CLASS(ScopeSource, fnd::Object)
FND_REGISTER_CLASS(ScopeDelegate, fnd::Object)
FND_REGISTER_CLASS(ScopeListener, fnd::Object)

void ScopeSource::encodeWithCoder(fnd::Coder& coder) const
{
    fnd::Array groups;
    for (const auto& group : items) {
        fnd::Array titles;
        for (const auto& title : group)
            titles.push_back(fnd::Value(fnd::String(title)));
        groups.push_back(fnd::Value(titles));
    }
    coder.encodeObject(fnd::Value(groups), "items");
}

bool ScopeSource::initWithCoder(fnd::Coder& coder)
{
    items.clear();
    auto groups = coder.decodeObjectForKey("items");
    if (const auto* list = groups.array()) {
        for (const auto& group : *list) {
            items.emplace_back();
            if (const auto* titles = group.array())
                for (const auto& title : *titles)
                    items.back().push_back(title.stringValue().utf8());
        }
    }
    return true;
}

void ScopeDelegate::encodeWithCoder(fnd::Coder& coder) const
{
    fnd::Array refused;
    for (const auto& title : refusedObjects)
        refused.push_back(fnd::Value(fnd::String(title)));
    coder.encodeObject(fnd::Value(refused), "refused");
}

bool ScopeDelegate::initWithCoder(fnd::Coder& coder)
{
    auto refused = coder.decodeObjectForKey("refused");
    if (const auto* list = refused.array())
        for (const auto& title : *list)
            refusedObjects.push_back(title.stringValue().utf8());
    return true;
}

void ScopeDelegate::describeClass(fnd::ClassBuilder<ScopeDelegate>& c)
{
    c.action("scopeBar:shouldSelectObject:", &ScopeDelegate::shouldSelect);
    c.action("scopeBar:shouldCollapseGroup:", &ScopeDelegate::shouldCollapse);
    c.action("scopeBar:shouldExpandGroup:", &ScopeDelegate::shouldExpand);
    c.action("scopeBarSelectionDidChange:", &ScopeDelegate::selectionDidChange);
}

bool ScopeDelegate::shouldSelect(const fnd::Value&, const fnd::Value& object)
{
    askedToSelect.push_back(object.stringValue().utf8());
    return std::find(refusedObjects.begin(), refusedObjects.end(), object.stringValue().utf8()) == refusedObjects.end();
}

bool ScopeDelegate::shouldCollapse(const fnd::Value&, const fnd::Value& group)
{
    auto g = group.objectAs<KRScopeBarGroup>();
    auto id = g && g->identifier() ? g->identifier()->utf8() : std::string();
    return std::find(keptExpanded.begin(), keptExpanded.end(), id) == keptExpanded.end();
}

bool ScopeDelegate::shouldExpand(const fnd::Value&, const fnd::Value&)
{
    return true;
}

void ScopeDelegate::selectionDidChange(const fnd::Value& notification)
{
    auto n = notification.objectAs<fnd::Notification>();
    if (!n)
        return;
    heard.push_back(n->userInfo().get(KRGroupIdentifierKey).stringValue().utf8());
    heardFrom.push_back(n->object().object().get());
}

void ScopeListener::describeClass(fnd::ClassBuilder<ScopeListener>& c)
{
    c.action("scopeBarSelectionDidChange:", &ScopeListener::selectionDidChange);
}

void ScopeListener::selectionDidChange(const fnd::Value&)
{
    ++heard;
}

SelectionRecorder::SelectionRecorder()
{
    m_token = fnd::NotificationCenter::defaultCenter().addObserverForName(
        KRScopeBarSelectionDidChangeNotification, {}, [this](const fnd::Notification& n) {
            identifiers.push_back(n.userInfo().get(KRGroupIdentifierKey).stringValue().utf8());
            bars.push_back(n.object());
        });
}

SelectionRecorder::~SelectionRecorder()
{
    fnd::NotificationCenter::defaultCenter().removeObserver(m_token);
}

Scene makeScene(gfx::Rect frame)
{
    Scene scene;
    scene.bar = KRScopeBar::create(frame);
    scene.source = std::make_shared<ScopeSource>();
    scene.source->items = {
        { "All", "Documents", "Pictures" },
        { "Today", "This Week", "Older" },
        { "Name", "Kind", "Size" },
    };
    scene.delegate = std::make_shared<ScopeDelegate>();
    scene.bar->setDataSource(scene.source);
    scene.bar->setDelegate(scene.delegate);
    const char* labels[] = { "Show:", "Date:", "Sort:" };
    const char* ids[] = { "show", "date", "sort" };
    for (int i = 0; i < 3; ++i) {
        auto group = KRScopeBarGroup::create(fnd::String(ids[i]),
            i == 0 ? KRScopeBarGroupSelectionStyleRadio : (i == 1 ? KRScopeBarGroupSelectionStyleMultiple : 0));
        group->setLabel(fnd::String(labels[i]));
        // A group made on its own shows its separator; the first one of a bar usually does not.
        group->setShowsSeparator(i != 0);
        scene.bar->addGroup(group);
    }
    scene.bar->reloadData();
    return scene;
}

std::string layoutState(KRScopeBar& bar)
{
    std::string state;
    for (const auto& helper : bar.groupHelpers()) {
        if (!state.empty())
            state += " ";
        auto group = helper->group();
        auto count = group->numberOfObjects();
        if (group->isCollapsed()) {
            state += helper->isPeeled() ? "C0" : "C";
            continue;
        }
        auto visible = helper->numberOfVisibleItems();
        state += "E" + std::to_string(visible);
        if (visible != count)
            state += "/" + std::to_string(count);
    }
    return state;
}

std::vector<std::string> overflowTitles(KRScopeBar& bar)
{
    std::vector<std::string> titles;
    auto menu = bar.overflowPullDownCell() ? bar.overflowPullDownCell()->menu() : nullptr;
    if (!menu)
        return titles;
    for (long i = 1; i < menu->numberOfItems(); ++i) {
        auto item = menu->itemAtIndex(i);
        titles.push_back(item->isSeparatorItem() ? "-" : item->title().utf8());
    }
    return titles;
}

}
