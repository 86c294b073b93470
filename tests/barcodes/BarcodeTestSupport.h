#pragma once

#include "barcodes/TBQGenericBarcode.h"

#include <string>
#include <vector>

// A delegate that writes down every callback as "<callback> <class of the argument>".
class RecordingDelegate : public TBQDataEntryDelegate {
public:
    void barcodeWorkAreaChanged(TBQGenericBarcode& b) override { calls.push_back("workArea " + name(b)); }
    void drawingAttributeChanged(TBQGenericBarcode& b) override { calls.push_back("drawing " + name(b)); }
    void attributesChangedOfDataEntry(TBQDataEntry& e) override { calls.push_back("attributes " + name(e)); }
    void dataEntryDidAddEntry(TBQDataEntry&, TBQDataEntry& child) override { calls.push_back("add " + name(child)); }
    void dataEntryDidRemoveEntry(TBQDataEntry&, TBQDataEntry& child) override
    {
        calls.push_back("remove " + name(child));
    }

    std::vector<std::string> calls;

private:
    static std::string name(const TBQDataEntry& e) { return e.name().isEmpty() ? e.className().utf8() : e.name().utf8(); }
};
