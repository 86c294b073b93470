#pragma once

#include "platform/ui/panels/SavePanel.h"

namespace ui {

// A panel for choosing files (or folders) to open: the save panel's places and browser without the name field.
// Files of other types than the allowed ones are dimmed; a double click opens a folder or chooses a file.
class OpenPanel : public SavePanel {
    FND_OBJECT(OpenPanel)
public:
    OpenPanel() = default;
    static std::shared_ptr<OpenPanel> openPanel();

    bool canChooseFiles() const { return m_canChooseFiles; }
    void setCanChooseFiles(bool flag);
    bool canChooseDirectories() const { return m_canChooseDirectories; }
    void setCanChooseDirectories(bool flag);
    bool allowsMultipleSelection() const;
    void setAllowsMultipleSelection(bool flag);
    // The chosen files or folders, once the panel ended with OK.
    const std::vector<fnd::String>& paths() const { return m_paths; }

protected:
    void confirm() override;
    bool isEnabled(const detail::FileEntry& entry) const override;
    bool showsNameField() const override { return false; }
    void selectionChanged() override;
    void entryOpened(const detail::FileEntry& entry) override;

private:
    bool m_canChooseFiles { true };
    bool m_canChooseDirectories { false };
    std::vector<fnd::String> m_paths;
};

}
