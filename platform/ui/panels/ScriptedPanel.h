#pragma once

#include "platform/foundation/runtime/String.h"

#include <optional>
#include <vector>

namespace ui {

// What a person does in a panel (an alert, a save or open panel), as a test script gives it to the headless
// backend: the folder to go to, the name to type, the items to select, the check box to set, and the button to
// press, named by the code it returns (1000, 1001, ... for an alert's buttons; 1 OK and 0 Cancel for a save or
// open panel).
struct PanelAnswer {
    long button { 1 };
    std::optional<fnd::String> folder;
    std::optional<fnd::String> name;
    std::vector<fnd::String> selection;
    std::optional<bool> checkBox;

    // PanelAnswer::pressing(1).inFolder(path).typing("Barcode") reads as what the person does.
    static PanelAnswer pressing(long button)
    {
        PanelAnswer answer;
        answer.button = button;
        return answer;
    }
    PanelAnswer& inFolder(const fnd::String& path) { return folder = path, *this; }
    PanelAnswer& typing(const fnd::String& text) { return name = text, *this; }
    PanelAnswer& selecting(std::vector<fnd::String> names) { return selection = std::move(names), *this; }
    PanelAnswer& ticking(bool on) { return checkBox = on, *this; }
};

// A panel window that can carry out a scripted answer through its own controls, as clicks would.
class ScriptedPanel {
public:
    virtual ~ScriptedPanel() = default;
    virtual void performScriptedAnswer(const PanelAnswer& answer) = 0;
};

}
