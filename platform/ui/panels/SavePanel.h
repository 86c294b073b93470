#pragma once

#include "platform/ui/controls/Control.h"
#include "platform/ui/panels/ScriptedPanel.h"
#include "platform/ui/views/Window.h"

#include <functional>
#include <optional>
#include <vector>

namespace ui {

class Button;
class ScrollView;
class SavePanel;
class TextField;

namespace detail {
class FileListView;
class FileListHeaderView;
class PathBarView;
class PlacesView;
struct FileEntry;
}

// Optional questions a save or open panel asks its delegate. Files and folders are absolute paths.
class OpenSavePanelDelegate {
public:
    virtual ~OpenSavePanelDelegate() = default;
    // Whether the file can be chosen (nullopt: as the allowed types say).
    virtual std::optional<bool> panelShouldEnableURL(SavePanel&, const fnd::String&) { return std::nullopt; }
    // The name the person confirmed, before the panel gives it a required extension: the delegate may change the
    // allowed types to suit it (a name ending in another offered format's extension choosing that format).
    virtual void panelUserEnteredFilename(SavePanel&, const fnd::String&) { }
    // A last check of the chosen file: an error keeps the panel open and is shown to the person.
    virtual std::optional<fnd::Error> panelValidateURL(SavePanel&, const fnd::String&) { return std::nullopt; }
    virtual void panelDidChangeToDirectoryURL(SavePanel&, const fnd::String&) { }
    virtual void panelSelectionDidChange(SavePanel&) { }
};

// A panel for choosing where to save a file, our own: places beside a folder browser (a sortable list with name,
// size and date, a path bar above), the name field, an accessory view under the browser, "New Folder", hidden files
// on request, and Cancel and Save. A name without an allowed extension gets the first allowed one; choosing a file
// that exists asks before it is replaced. A name holds no control character: a line break or tab between words is a
// space, others go, as soon as they are typed or pasted. Runs application-modally (runModal) or as a sheet. Paths stand
// for the platform's file URLs.
class SavePanel : public Window, public ScriptedPanel, public ControlTextEditingDelegate {
    FND_OBJECT(SavePanel)
    static void describeClass(fnd::ClassBuilder<SavePanel>& c);

public:
    SavePanel() = default;
    ~SavePanel() override;
    static std::shared_ptr<SavePanel> savePanel();

    // Texts.
    const fnd::String& message() const { return m_message; }
    void setMessage(const fnd::String& message);
    fnd::String prompt() const;
    void setPrompt(const fnd::String& prompt);
    fnd::String nameFieldLabel() const;
    void setNameFieldLabel(const fnd::String& label);

    // Where and what.
    const fnd::String& directory() const { return m_directory; }
    void setDirectory(const fnd::String& path);
    fnd::String nameFieldStringValue() const;
    void setNameFieldStringValue(const fnd::String& name);
    // Extensions (without the dot) a saved file may have; empty allows any.
    const std::vector<fnd::String>& allowedFileTypes() const { return m_allowedFileTypes; }
    void setAllowedFileTypes(const std::vector<fnd::String>& types);
    bool allowsOtherFileTypes() const { return m_allowsOtherFileTypes; }
    void setAllowsOtherFileTypes(bool flag) { m_allowsOtherFileTypes = flag; }
    bool canCreateDirectories() const { return m_canCreateDirectories; }
    void setCanCreateDirectories(bool flag);
    bool showsHiddenFiles() const { return m_showsHiddenFiles; }
    void setShowsHiddenFiles(bool flag);
    const std::shared_ptr<View>& accessoryView() const { return m_accessoryView; }
    void setAccessoryView(const std::shared_ptr<View>& view);
    std::shared_ptr<OpenSavePanelDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<OpenSavePanelDelegate>& delegate) { m_delegate = delegate; }

    // The chosen file, once the panel ended with OK (the name with the extension it gets).
    fnd::String path() const;

    // Running: OK (1) or Cancel (0).
    long runModal();
    void beginSheetModalForWindow(const std::shared_ptr<Window>& window, std::function<void(long)> handler);

    // Actions of the panel's controls.
    void ok(const fnd::Value& sender);
    void cancel(const fnd::Value& sender);
    void newFolder(const fnd::Value& sender);
    void toggleHiddenFiles(const fnd::Value& sender);

    // Parts, for the owner and for tests.
    const std::shared_ptr<detail::FileListView>& fileList() const { return m_list; }
    const std::shared_ptr<detail::FileListHeaderView>& fileListHeader() const { return m_header; }
    const std::shared_ptr<detail::PathBarView>& pathBar() const { return m_pathBar; }
    const std::shared_ptr<detail::PlacesView>& places() const { return m_places; }
    const std::shared_ptr<TextField>& nameField() const { return m_nameField; }
    const std::shared_ptr<Button>& okButton() const { return m_okButton; }
    const std::shared_ptr<Button>& cancelButton() const { return m_cancelButton; }
    const std::shared_ptr<Button>& newFolderButton() const { return m_newFolderButton; }
    const std::shared_ptr<Button>& hiddenFilesCheckBox() const { return m_hiddenFiles; }

    // The name the file gets: the typed one, with the first allowed extension when it has none allowed.
    fnd::String nameWithRequiredExtension(const fnd::String& typed) const;
    // What the name field holds, read as a path: the whole path, its folder and its last component (empty when
    // the text ends with "/"). "~" starts at the home folder, "/" at the root, anything else in the folder shown.
    struct TypedLocation {
        fnd::String full;
        fnd::String folder;
        fnd::String name;
    };
    TypedLocation typedLocation(const fnd::String& typed) const;

    void performScriptedAnswer(const PanelAnswer& answer) override;
    // The name field's text as it is typed or pasted: what the one-line field cannot show goes at once (below).
    void controlTextDidChange(const fnd::Object& notification) override;

protected:
    void init();
    // What the OK button does in this kind of panel.
    virtual void confirm();
    // Whether a list entry can be chosen (open panels choose differently).
    virtual bool isEnabled(const detail::FileEntry& entry) const;
    virtual bool showsNameField() const { return true; }
    virtual void selectionChanged();
    virtual void entryOpened(const detail::FileEntry& entry);
    // Ends the panel with the code.
    void finish(long code);
    void reloadDirectory();
    void layoutPanel();
    void showError(const fnd::String& message, const fnd::String& detail);

    fnd::String m_chosenPath;

private:
    void build();
    void replaceExtensionForTypes();

    fnd::String m_message;
    fnd::String m_prompt;
    fnd::String m_nameFieldLabel;
    fnd::String m_directory;
    std::vector<fnd::String> m_allowedFileTypes;
    bool m_allowsOtherFileTypes { false };
    bool m_canCreateDirectories { false };
    bool m_showsHiddenFiles { false };
    std::weak_ptr<OpenSavePanelDelegate> m_delegate;
    std::shared_ptr<View> m_accessoryView;
    bool m_runningModal { false };
    bool m_showingRecent { false };

    std::shared_ptr<TextField> m_messageField;
    std::shared_ptr<TextField> m_nameLabel;
    std::shared_ptr<TextField> m_nameField;
    std::shared_ptr<detail::PathBarView> m_pathBar;
    std::shared_ptr<detail::PlacesView> m_places;
    std::shared_ptr<detail::FileListHeaderView> m_header;
    std::shared_ptr<detail::FileListView> m_list;
    std::shared_ptr<ScrollView> m_scrollView;
    std::shared_ptr<Button> m_newFolderButton;
    std::shared_ptr<Button> m_hiddenFiles;
    std::shared_ptr<Button> m_okButton;
    std::shared_ptr<Button> m_cancelButton;
};

}
