#include "platform/ui/panels/OpenPanel.h"

#include "platform/ui/controls/Button.h"
#include "platform/ui/panels/detail/FilePanelViews.h"
#include "platform/ui/views/Application.h"

namespace ui {

FND_REGISTER_CLASS(OpenPanel, SavePanel)

std::shared_ptr<OpenPanel> OpenPanel::openPanel()
{
    auto panel = fnd::makeObject<OpenPanel>();
    panel->init();
    panel->selectionChanged();
    return panel;
}

void OpenPanel::setCanChooseFiles(bool flag)
{
    m_canChooseFiles = flag;
    reloadDirectory();
}

void OpenPanel::setCanChooseDirectories(bool flag)
{
    m_canChooseDirectories = flag;
    reloadDirectory();
}

bool OpenPanel::allowsMultipleSelection() const
{
    return fileList()->allowsMultipleSelection();
}

void OpenPanel::setAllowsMultipleSelection(bool flag)
{
    fileList()->setAllowsMultipleSelection(flag);
}

bool OpenPanel::isEnabled(const detail::FileEntry& entry) const
{
    // Folders can always be entered; files only chosen when files are wanted and of an allowed type.
    if (entry.isDirectory)
        return true;
    return m_canChooseFiles && SavePanel::isEnabled(entry);
}

void OpenPanel::selectionChanged()
{
    const auto& rows = fileList()->selectedRows();
    bool choosable = rows.empty() ? m_canChooseDirectories : true;
    for (auto row : rows) {
        const auto& e = fileList()->entries()[row];
        if (e.isDirectory && !m_canChooseDirectories && rows.size() > 1)
            choosable = false;
    }
    okButton()->setEnabled(choosable);
    if (auto d = delegate())
        d->panelSelectionDidChange(*this);
}

void OpenPanel::entryOpened(const detail::FileEntry& entry)
{
    if (entry.isDirectory)
        setDirectory(entry.path);
    else
        confirm();
}

void OpenPanel::confirm()
{
    auto self = shared_from_this();
    const auto& rows = fileList()->selectedRows();
    const auto& entries = fileList()->entries();
    // One folder chosen where folders are not wanted: go into it.
    if (rows.size() == 1 && entries[rows.front()].isDirectory && !m_canChooseDirectories) {
        setDirectory(entries[rows.front()].path);
        return;
    }
    std::vector<fnd::String> chosen;
    for (auto row : rows) {
        const auto& e = entries[row];
        if (e.isDirectory ? m_canChooseDirectories : (m_canChooseFiles && e.enabled))
            chosen.push_back(e.path);
    }
    if (chosen.empty() && rows.empty() && m_canChooseDirectories)
        chosen.push_back(directory());
    if (chosen.empty()) {
        Application::shared().beep();
        return;
    }
    if (auto d = delegate()) {
        for (const auto& path : chosen) {
            if (auto error = d->panelValidateURL(*this, path)) {
                showError(error->localizedDescription(), {});
                return;
            }
        }
    }
    m_paths = chosen;
    m_chosenPath = chosen.front();
    finish(ModalResponse::OK);
}

}
