// Reads arbitrary bytes as a keyed archive of a scope bar or a scope bar group (as an interface file would hold
// them), lays the bar out at several widths over a small data source, prepares and draws its cells, and archives
// whatever came back again.
#include "frameworks/KRScoreBar/KRScopeBar.h"
#include "frameworks/KRScoreBar/KRScopeBarGroup.h"
#include "frameworks/KRScoreBar/KRScopeBarGroupHelper.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/ui/controls/ButtonCell.h"
#include "platform/ui/controls/PopUpButtonCell.h"

#include <cstdint>
#include <vector>

namespace {

class FuzzScopeSource final : public fnd::Object, public KRScopeBarDataSource {
public:
    std::uint64_t scopeBarNumberOfObjectsInScopeBarGroup(KRScopeBar&, std::uint64_t group) override
    {
        return group % 4;
    }
    fnd::Value scopeBarValueForObjectInGroup(KRScopeBar&, std::uint64_t group, std::uint64_t index) override
    {
        return fnd::Value(fnd::String("Item " + std::to_string(group) + "." + std::to_string(index)));
    }
};

void exerciseBar(KRScopeBar& bar)
{
    auto source = std::make_shared<FuzzScopeSource>();
    if (!bar.dataSourceInterface())
        bar.setDataSource(source);
    for (double width : { 900.0, 400.0, 120.0, 0.0 }) {
        bar.setFrame({ 0, 0, width, 30 });
        bar.adjustSubviews();
        bar.calcSize();
    }
    for (std::uint64_t g = 0; g < bar.numberOfGroups() && g < 64; ++g) {
        auto group = bar.groupAtIndex(g);
        (void)group->selectedObject();
        (void)bar.preparedPopUpCellForGroup(g);
        for (std::uint64_t i = 0; i < group->numberOfObjects(); ++i)
            (void)bar.preparedButtonCellForGroup(g, i);
        if (group->numberOfObjects() > 0)
            group->didClickObject(0);
    }
    bar.setFrame({ 0, 0, 300, 30 });
    if (auto bitmap = bar.bitmapImageRepForCachingDisplayInRect(bar.bounds()))
        bar.cacheDisplayInRect(bar.bounds(), *bitmap);
}

void exercise(const fnd::Value& value, int depth)
{
    if (depth > 2)
        return;
    if (auto bar = value.objectAs<KRScopeBar>()) {
        exerciseBar(*bar);
    } else if (auto group = value.objectAs<KRScopeBarGroup>()) {
        (void)group->attributedLabel();
        (void)group->noSelectionPlaceholder();
        (void)group->selectedObjects();
        auto bar = KRScopeBar::create({ 0, 0, 400, 30 });
        if (!group->scopeBar()) {
            bar->addGroup(group);
            exerciseBar(*bar);
        }
    } else if (const auto* array = value.array()) {
        for (std::size_t i = 0; i < array->size() && i < 8; ++i)
            exercise((*array)[i], depth + 1);
    }
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    fnd::Data data(bytes, size);
    auto root = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(data);
    if (!root)
        return 0;
    exercise(*root, 0);
    (void)fnd::KeyedArchiver::archivedDataWithRootObject(*root);
    return 0;
}
