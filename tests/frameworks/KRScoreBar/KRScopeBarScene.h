#pragma once

#include "frameworks/KRScoreBar/KRScopeBar.h"
#include "frameworks/KRScoreBar/KRScopeBarGroupHelper.h"

#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/runtime/NotificationCenter.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace krtest {

// Items per group, as strings; plain values, so the bar compares them by equality.
class ScopeSource : public fnd::Object, public KRScopeBarDataSource, public fnd::Coding {
    FND_OBJECT(ScopeSource)
public:
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;
    std::uint64_t scopeBarNumberOfObjectsInScopeBarGroup(KRScopeBar&, std::uint64_t group) override
    {
        return group < items.size() ? items[group].size() : 0;
    }
    fnd::Value scopeBarValueForObjectInGroup(KRScopeBar&, std::uint64_t group, std::uint64_t index) override
    {
        return fnd::Value(fnd::String(items.at(group).at(index)));
    }
    std::vector<std::vector<std::string>> items;
};

// A delegate that answers every question of the bar and records what it heard.
class ScopeDelegate : public fnd::Object, public fnd::Coding {
    FND_OBJECT(ScopeDelegate)
    static void describeClass(fnd::ClassBuilder<ScopeDelegate>& c);

public:
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;
    bool shouldSelect(const fnd::Value& bar, const fnd::Value& object);
    bool shouldCollapse(const fnd::Value& bar, const fnd::Value& group);
    bool shouldExpand(const fnd::Value& bar, const fnd::Value& group);
    void selectionDidChange(const fnd::Value& notification);

    // Objects (titles) the delegate refuses to select, groups (identifiers) it keeps expanded.
    std::vector<std::string> refusedObjects;
    std::vector<std::string> keptExpanded;
    // The objects (titles) the delegate was asked about, in order.
    std::vector<std::string> askedToSelect;
    // Identifiers of the groups whose selection changed, with the posting bar.
    std::vector<std::string> heard;
    std::vector<const fnd::Object*> heardFrom;
};

// A delegate that only listens.
class ScopeListener : public fnd::Object {
    FND_OBJECT(ScopeListener)
    static void describeClass(fnd::ClassBuilder<ScopeListener>& c);

public:
    void selectionDidChange(const fnd::Value& notification);
    int heard { 0 };
};

// Counts the selection notifications posted while it lives.
class SelectionRecorder {
public:
    SelectionRecorder();
    ~SelectionRecorder();
    std::vector<std::string> identifiers;
    std::vector<fnd::Value> bars;

private:
    fnd::NotificationObserverToken m_token;
};

// The bar the layout, drawing and display tests share: three labelled groups of items from a data source.
struct Scene {
    std::shared_ptr<KRScopeBar> bar;
    std::shared_ptr<ScopeSource> source;
    std::shared_ptr<ScopeDelegate> delegate;
};
Scene makeScene(gfx::Rect frame);

// The layout state in words, one group per entry: "E3" (expanded, 3 shown), "C" (collapsed), "C0" (collapsed and
// wholly in the overflow menu), "E1/3" (expanded, 1 of 3 shown).
std::string layoutState(KRScopeBar& bar);
// The overflow menu's titles below its image item ("-" for a separator).
std::vector<std::string> overflowTitles(KRScopeBar& bar);

}
