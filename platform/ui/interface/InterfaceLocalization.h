#pragma once

#include "platform/ui/interface/InterfaceFile.h"

namespace fnd {
class Bundle;
}

namespace ui {

// The texts of an interface file are keys of a string table: every window title, button title, label, placeholder,
// box title, combo box item, matrix cell title and menu item title the table has a value for gets that value;
// texts the table lacks stay as written. Walks the top-level objects and everything they hold.
void localizeInterface(const InterfaceFile::Contents& contents, const fnd::Bundle& bundle, const fnd::String& table);

}
