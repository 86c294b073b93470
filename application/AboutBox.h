#pragma once

#include "platform/ui/controllers/WindowController.h"

namespace ui {
class TextField;
}

// The About window: the application's name, version and build, and its copyright, from the interface file
// "AboutBox". Its frame is kept under "AboutBoxWindow".
class AboutBox : public ui::WindowController {
    FND_OBJECT(AboutBox)
    static void describeClass(fnd::ClassBuilder<AboutBox>& c);

public:
    static inline const fnd::String FrameAutosaveName = "AboutBoxWindow";

    AboutBox() = default;
    void init();
    void awakeFromNib();
    // The file's texts are keys of the string table "AboutBox".
    void windowDidLoad() override;
    void closeDialog(const fnd::Value& sender);

    // "<name> <short version> (<build>)".
    static fnd::String versionLine();
    const std::shared_ptr<ui::TextField>& versionString() const { return m_versionString; }
    const std::shared_ptr<ui::TextField>& copyrightString() const { return m_copyrightString; }

private:
    std::shared_ptr<ui::TextField> m_versionString;
    std::shared_ptr<ui::TextField> m_copyrightString;
};
