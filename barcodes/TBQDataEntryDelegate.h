#pragma once

#include "platform/foundation/runtime/Range.h"

#include <memory>
#include <vector>

class TBQDataEntry;
class TBQGenericBarcode;

// What a tree of entries tells the delegate of its root. Every callback is optional: the defaults do nothing, so a
// delegate overrides only what it listens to. The argument is the entry that changed (an add-on reports itself).
class TBQDataEntryDelegate {
public:
    virtual ~TBQDataEntryDelegate() = default;

    virtual void barcodeWorkAreaChanged(TBQGenericBarcode&) { }
    virtual void drawingAttributeChanged(TBQGenericBarcode&) { }
    virtual void attributesChangedOfDataEntry(TBQDataEntry&) { }

    virtual void dataEntryDidAddEntry(TBQDataEntry& /*entry*/, TBQDataEntry& /*child*/) { }
    virtual void dataEntryDidInsertEntrys(
        TBQDataEntry& /*entry*/, const std::vector<std::shared_ptr<TBQDataEntry>>& /*children*/, fnd::Index /*index*/)
    {
    }
    virtual void dataEntryDidRemoveEntry(TBQDataEntry& /*entry*/, TBQDataEntry& /*child*/) { }
    virtual void dataEntryDidRemoveEntryInRange(TBQDataEntry& /*entry*/, fnd::Range /*range*/) { }
};
