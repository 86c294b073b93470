// The small application's own code: the person its inspector edits, and the owner of its three interface files,
// which serves the grid, the scope bar and the source list and sets up what the files cannot say.
#pragma once

#include "frameworks/KRScoreBar/KRScopeBar.h"
#include "frameworks/KeyComboRecorder/KRRecorderControl.h"
#include "frameworks/ZORAppKit/source-list/ZOROutlineSourceList.h"
#include "frameworks/ZORAppKit/source-list/ZOROutlineSourceListItem.h"
#include "frameworks/ZORAppKit/table-grid/ZORTableGrid.h"
#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspector.h"
#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorCompoundField.h"
#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorListField.h"
#include "frameworks/ZORAppKit/text-inspector/ZORTextViewInspectorViewFieldKinds.h"
#include "frameworks/ZTBTabBarControl/ZTBTabBarControl.h"
#include "frameworks/proportional-split-view/KJSplitView.h"
#include "frameworks/small-date-control/ZORSmallDateControl.h"

#include "platform/foundation/bindings/ArrayController.h"
#include "platform/ui/containers/TabView.h"
#include "platform/ui/views/Window.h"

#include <map>
#include <string>
#include <utility>

// Every key the inspector binds, kept in one dictionary.
class OrganiserPerson : public fnd::Object {
    FND_OBJECT(OrganiserPerson)
    static void describeClass(fnd::ClassBuilder<OrganiserPerson>& c);

public:
    fnd::Dictionary values;
};

// One tag of the person: a row of the inspector's tag list.
class OrganiserTag : public fnd::Object {
    FND_OBJECT(OrganiserTag)
    static void describeClass(fnd::ClassBuilder<OrganiserTag>& c);

public:
    fnd::String title;
};

class Organiser : public fnd::Object,
                  public ZORTableGridDataSource,
                  public KRScopeBarDataSource,
                  public ZOROutlineSourceListDataSource {
    FND_OBJECT(Organiser)
    static void describeClass(fnd::ClassBuilder<Organiser>& c);

public:
    static constexpr fnd::Index GridColumns = 5;
    static constexpr fnd::Index GridRows = 1000;

    Organiser();
    // Sent after each of the three files is loaded; sets up what that file brought.
    void awakeFromNib();

    // The grid: what was typed, else a value made from the cell's place.
    std::optional<fnd::Index> numberOfColumnsInTableGrid(ZORTableGrid&) override { return GridColumns; }
    std::optional<fnd::Index> numberOfRowsInTableGrid(ZORTableGrid&) override { return GridRows; }
    fnd::Value tableGridObjectValueForColumn(ZORTableGrid&, fnd::Index column, fnd::Index row) override;
    bool tableGridTakesObjectValues(ZORTableGrid&) override { return true; }
    void tableGridSetObjectValue(ZORTableGrid&, const fnd::Value& value, fnd::Index column, fnd::Index row) override;

    // The scope bar's one group.
    std::uint64_t scopeBarNumberOfObjectsInScopeBarGroup(KRScopeBar&, std::uint64_t group) override;
    fnd::Value scopeBarValueForObjectInGroup(KRScopeBar&, std::uint64_t group, std::uint64_t index) override;

    // The source list: groups of items.
    fnd::Index sourceListNumberOfChildrenOfItem(ZOROutlineSourceList&, const fnd::Value& item) override;
    fnd::Value sourceListChildOfItem(ZOROutlineSourceList&, fnd::Index index, const fnd::Value& item) override;
    fnd::Value sourceListObjectValueForItem(ZOROutlineSourceList&, const fnd::Value& item) override;
    bool sourceListIsItemExpandable(ZOROutlineSourceList&, const fnd::Value& item) override;
    void sourceListSetObjectValue(ZOROutlineSourceList&, const fnd::Value& value, const fnd::Value& item) override;

    // Outlets.
    std::shared_ptr<ui::Window> mainWindow, inspectorWindow, panel;
    std::shared_ptr<ZTBTabBarControl> tabBar;
    std::shared_ptr<ui::TabView> tabView;
    std::shared_ptr<KRScopeBar> scopeBar;
    std::shared_ptr<KJSplitView> split;
    std::shared_ptr<ZOROutlineSourceList> sourceList;
    std::shared_ptr<ZORTableGrid> grid;
    std::shared_ptr<ZORTextViewInspector> inspector;
    std::map<std::string, std::shared_ptr<ZORTextViewInspectorField>> fields;
    std::shared_ptr<KRRecorderControl> recorder;
    std::shared_ptr<ZORSmallDateControl> reviewDate;

    // The model.
    std::shared_ptr<OrganiserPerson> person { fnd::makeObject<OrganiserPerson>() };
    std::shared_ptr<fnd::ArrayController> tags { fnd::makeObject<fnd::ArrayController>() };
    std::vector<std::shared_ptr<OrganiserTag>> tagObjects;
    std::map<std::pair<fnd::Index, fnd::Index>, std::string> typed;
    ZOROutlineSourceListItem::Ptr sourceRoot { ZOROutlineSourceListItem::create("root") };

private:
    bool m_mainSetUp { false };
    bool m_inspectorSetUp { false };
};
