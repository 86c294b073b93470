// A server application for the EditLink tests: started as the application of the bundle given as the first argument,
// it publishes the server "Barcode", marks every item it is sent as edited, sends it back, and quits when the link
// closes (or after two minutes, longer than any wait of the test that talks to it).
#include "frameworks/FoundationExtensions/ui/EditLink.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/ui/dragging/Pasteboard.h"

#include <cstdlib>

namespace {

class Editor : public EditLinkDelegate {
public:
    void editLinkClientDidRequestEdit(EditLink& link) override
    {
        auto data = link.pasteboard()->propertyListForType(EditLinkPboardType);
        if (!data.dictionary())
            return;
        auto edited = *data.dictionary();
        edited.set("appData", EditLinkAppDataOf(edited).stringValue() + " (edited by " + link.sourceName() + ")");
        link.pasteboard()->declareTypes({ EditLinkPboardType });
        link.pasteboard()->setPropertyList(edited, EditLinkPboardType);
        link.sendEdit();
    }
    void editLinkDidClose(EditLink&) override { done = true; }
    bool done { false };
};

}

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    fnd::Bundle::setMainBundlePath(argv[1]);
    auto editor = std::make_shared<Editor>();
    if (!EditLink::publishServerWithName("Barcode", editor))
        return 1;
    auto limit = fnd::Date::now().addingTimeInterval(120);
    while (!editor->done && fnd::Date::now() < limit)
        fnd::RunLoop::main().runUntilDate(fnd::Date::now().addingTimeInterval(0.05));
    // Let the last answer leave before the process ends.
    fnd::RunLoop::main().runUntilDate(fnd::Date::now().addingTimeInterval(0.2));
    return 0;
}
