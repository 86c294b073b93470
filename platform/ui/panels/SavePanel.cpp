#include "platform/ui/panels/SavePanel.h"

#include "platform/foundation/files/FileManager.h"
#include "platform/foundation/files/Paths.h"
#include "platform/foundation/runtime/CharacterSet.h"
#include "platform/foundation/services/Places.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/panels/Alert.h"
#include "platform/ui/panels/detail/FilePanelViews.h"
#include "platform/ui/text/TextField.h"
#include "platform/ui/text/TextView.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/detail/FlippedView.h"
#include "platform/ui/views/detail/PanelText.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace ui {

namespace {

constexpr double SavePanelWidth = 700;
constexpr double BrowserHeight = 300;
constexpr double SavePanelMargin = 16;
constexpr double PlacesWidth = 150;
constexpr double HeaderHeight = 22;

bool sameExtension(const fnd::String& a, const fnd::String& b)
{
    return a.compare(b, fnd::StringCompareOptions::CaseInsensitive) == 0;
}

// A typed or pasted name as a person means it: the one-line field shows no line break, tab or other control
// character, so none reaches the file's name. A run of line breaks and tabs keeps the words apart as one space
// ("Batch 12" and "Line A" on two lines name "Batch 12 Line A"), any other control character goes.
fnd::String withoutControlCharacters(const fnd::String& typed)
{
    auto breaks = [](char16_t c) {
        return c == u'\n' || c == u'\r' || c == u'\t' || c == u'\v' || c == u'\f' || c == 0x85 || c == 0x2028
            || c == 0x2029;
    };
    std::u16string name;
    bool inBreak = false;
    for (char16_t c : typed.units()) {
        if (breaks(c)) {
            if (!inBreak)
                name += u' ';
            inBreak = true;
            continue;
        }
        inBreak = false;
        if (c < 0x20 || (c >= 0x7F && c <= 0x9F))
            continue;
        name += c;
    }
    return fnd::String(std::move(name));
}

// The name confirmed: blanks at either end go too (a cell copied from a spreadsheet ends in a line break).
fnd::String typedName(const fnd::String& typed)
{
    return withoutControlCharacters(typed).stringByTrimmingCharactersInSet(fnd::CharacterSet::whitespaceCharacterSet());
}

}

FND_REGISTER_CLASS(SavePanel, Window)

void SavePanel::describeClass(fnd::ClassBuilder<SavePanel>& c)
{
    c.property("message", &SavePanel::message, &SavePanel::setMessage);
    c.property("canCreateDirectories", &SavePanel::canCreateDirectories, &SavePanel::setCanCreateDirectories);
    c.property("showsHiddenFiles", &SavePanel::showsHiddenFiles, &SavePanel::setShowsHiddenFiles);
    c.action("ok:", &SavePanel::ok);
    c.action("cancel:", &SavePanel::cancel);
    c.action("newFolder:", &SavePanel::newFolder);
    c.action("toggleHiddenFiles:", &SavePanel::toggleHiddenFiles);
}

SavePanel::~SavePanel() = default;

std::shared_ptr<SavePanel> SavePanel::savePanel()
{
    auto panel = fnd::makeObject<SavePanel>();
    panel->init();
    return panel;
}

void SavePanel::init()
{
    initWithContentRect({ 0, 0, SavePanelWidth, 460 }, WindowStyleMask::Titled);
    setTitle(showsNameField() ? detail::panelText("Save", "Save") : detail::panelText("Open", "Open"));
    setLevel(WindowLevel::ModalPanel);
    auto documents = fnd::Paths::documentsDirectory();
    bool isFolder = false;
    m_directory = fnd::FileManager::defaultManager().fileExists(documents, isFolder) && isFolder
        ? documents
        : fnd::Paths::homeDirectory();
    build();
    reloadDirectory();
}

// Building and laying out.

void SavePanel::build()
{
    auto self = std::static_pointer_cast<SavePanel>(shared_from_this());
    std::weak_ptr<SavePanel> weak = self;
    auto content = detail::FlippedView::create({ 0, 0, SavePanelWidth, 460 });
    setContentView(content);

    m_messageField = TextField::wrappingLabelWithString({});
    m_messageField->setSelectable(false);
    m_nameLabel = TextField::labelWithString(detail::panelText("Save As:", "Save As:"));
    m_nameField = TextField::create({ 0, 0, 320, 24 });
    m_nameField->setAccessibilityTitleUIElement(m_nameLabel);
    m_nameField->setDelegate(self);
    m_pathBar = detail::PathBarView::create({ 0, 0, 100, 24 });
    m_pathBar->onNavigate = [weak](const fnd::String& folder) {
        if (auto p = weak.lock())
            p->setDirectory(folder);
    };
    m_places = detail::PlacesView::create({ 0, 0, PlacesWidth, BrowserHeight });
    m_places->onNavigate = m_pathBar->onNavigate;
    m_list = detail::FileListView::create({ 0, 0, 100, 100 });
    m_list->onSelectionChanged = [weak] {
        if (auto p = weak.lock())
            p->selectionChanged();
    };
    m_list->onOpen = [weak](const detail::FileEntry& entry) {
        if (auto p = weak.lock())
            p->entryOpened(entry);
    };
    m_header = detail::FileListHeaderView::create({ 0, 0, 100, HeaderHeight }, m_list);
    m_scrollView = ScrollView::create({ 0, 0, 100, 100 });
    m_scrollView->setHasVerticalScroller(true);
    m_scrollView->setAutohidesScrollers(true);
    m_scrollView->setDocumentView(m_list);
    m_newFolderButton = Button::buttonWithTitle(detail::panelText("New Folder", "New Folder"), self, "newFolder:");
    m_hiddenFiles = Button::checkboxWithTitle(
        detail::panelText("Show hidden files", "Show hidden files"), self, "toggleHiddenFiles:");
    m_cancelButton = Button::buttonWithTitle(detail::panelText("Cancel", "Cancel"), self, "cancel:");
    m_cancelButton->setKeyEquivalent(fnd::String(u"\x1b"));
    m_okButton = Button::buttonWithTitle(prompt(), self, "ok:");
    for (const std::shared_ptr<View>& v :
        std::vector<std::shared_ptr<View>> { m_messageField, m_nameLabel, m_nameField, m_pathBar, m_places, m_header,
            m_scrollView, m_newFolderButton, m_hiddenFiles, m_cancelButton, m_okButton })
        content->addSubview(v);
    setDefaultButtonCell(m_okButton->buttonCell());
    layoutPanel();
}

void SavePanel::layoutPanel()
{
    auto content = contentView();
    if (!content || !m_okButton)
        return;
    double width = SavePanelWidth;
    if (m_accessoryView)
        width = std::max(width, m_accessoryView->frame().width() + 2 * SavePanelMargin);
    double y = SavePanelMargin;
    m_messageField->setHidden(m_message.isEmpty());
    if (!m_message.isEmpty()) {
        double h
            = std::ceil(m_messageField->cell()->cellSizeForBounds({ 0, 0, width - 2 * SavePanelMargin, 1e7 }).height);
        m_messageField->setFrame({ SavePanelMargin, y, width - 2 * SavePanelMargin, h });
        y += h + 10;
    }
    bool named = showsNameField();
    m_nameLabel->setHidden(!named);
    m_nameField->setHidden(!named);
    if (named) {
        m_nameLabel->setStringValue(nameFieldLabel());
        m_nameLabel->sizeToFit();
        double fieldX = std::round(width / 2 - 120);
        m_nameLabel->setFrameOrigin({ fieldX - m_nameLabel->frame().width() - 8, y + 4 });
        m_nameField->setFrame({ fieldX, y, 320, 24 });
        y += 24 + 12;
    }
    double browserLeft = SavePanelMargin + PlacesWidth + 8;
    m_newFolderButton->setHidden(!m_canCreateDirectories);
    auto folderButton = m_newFolderButton->frame().size;
    double pathRight
        = m_canCreateDirectories ? width - SavePanelMargin - folderButton.width - 8 : width - SavePanelMargin;
    m_pathBar->setFrame({ browserLeft, y, pathRight - browserLeft, 24 });
    m_newFolderButton->setFrameOrigin({ width - SavePanelMargin - folderButton.width, y });
    y += 24 + 8;
    m_places->setFrame({ SavePanelMargin, y, PlacesWidth, BrowserHeight });
    m_header->setFrame({ browserLeft, y, width - SavePanelMargin - browserLeft, HeaderHeight });
    m_scrollView->setFrame(
        { browserLeft, y + HeaderHeight, width - SavePanelMargin - browserLeft, BrowserHeight - HeaderHeight });
    m_list->setFrameSize({ m_scrollView->contentSize().width, m_list->frame().height() });
    m_list->setEntries(m_list->entries());
    y += BrowserHeight + 12;
    if (m_accessoryView) {
        // Under the browser, centred.
        auto size = m_accessoryView->frame().size;
        m_accessoryView->setFrameOrigin({ std::round((width - size.width) / 2), y });
        y += size.height + 12;
    }
    auto ok = m_okButton->frame().size;
    auto cancel = m_cancelButton->frame().size;
    double okWidth = std::max(90.0, ok.width), cancelWidth = std::max(90.0, cancel.width);
    m_okButton->setFrame({ width - SavePanelMargin - okWidth, y, okWidth, ok.height });
    m_cancelButton->setFrame({ width - SavePanelMargin - okWidth - 12 - cancelWidth, y, cancelWidth, cancel.height });
    m_hiddenFiles->setFrameOrigin({ SavePanelMargin, y + 3 });
    y += ok.height + SavePanelMargin;
    content->setFrameSize({ width, y });
    setContentSize({ width, y });
}

// Settings.

void SavePanel::setMessage(const fnd::String& message)
{
    m_message = message;
    m_messageField->setStringValue(message);
    layoutPanel();
}

fnd::String SavePanel::prompt() const
{
    if (!m_prompt.isEmpty())
        return m_prompt;
    return showsNameField() ? detail::panelText("Save", "Save") : detail::panelText("Open", "Open");
}

void SavePanel::setPrompt(const fnd::String& prompt)
{
    m_prompt = prompt;
    m_okButton->setTitle(this->prompt());
    m_okButton->sizeToFit();
    layoutPanel();
}

fnd::String SavePanel::nameFieldLabel() const
{
    return m_nameFieldLabel.isEmpty() ? detail::panelText("Save As:", "Save As:") : m_nameFieldLabel;
}

void SavePanel::setNameFieldLabel(const fnd::String& label)
{
    m_nameFieldLabel = label;
    layoutPanel();
}

fnd::String SavePanel::nameFieldStringValue() const
{
    return m_nameField->stringValue();
}

void SavePanel::setNameFieldStringValue(const fnd::String& name)
{
    m_nameField->setStringValue(name);
}

void SavePanel::setAllowedFileTypes(const std::vector<fnd::String>& types)
{
    m_allowedFileTypes.clear();
    for (auto type : types) {
        // "pdf" and ".pdf" both name the extension.
        if (type.hasPrefix("."))
            type = type.substringFrom(1);
        if (!type.isEmpty())
            m_allowedFileTypes.push_back(type);
    }
    replaceExtensionForTypes();
    reloadDirectory();
}

void SavePanel::replaceExtensionForTypes()
{
    // The name keeps up with the type: a name whose extension the new types do not allow gets the new one.
    auto name = nameFieldStringValue();
    if (name.isEmpty() || m_allowedFileTypes.empty())
        return;
    auto extension = name.pathExtension();
    if (extension.isEmpty())
        return;
    for (const auto& allowed : m_allowedFileTypes) {
        if (sameExtension(allowed, extension))
            return;
    }
    setNameFieldStringValue(name.stringByDeletingPathExtension().stringByAppendingPathExtension(m_allowedFileTypes[0]));
}

fnd::String SavePanel::nameWithRequiredExtension(const fnd::String& typed) const
{
    if (m_allowedFileTypes.empty() || typed.isEmpty())
        return typed;
    auto extension = typed.pathExtension();
    for (const auto& allowed : m_allowedFileTypes) {
        if (!extension.isEmpty() && sameExtension(allowed, extension))
            return typed;
    }
    if (!extension.isEmpty() && m_allowsOtherFileTypes)
        return typed;
    return typed + "." + m_allowedFileTypes[0];
}

void SavePanel::setCanCreateDirectories(bool flag)
{
    m_canCreateDirectories = flag;
    layoutPanel();
}

void SavePanel::setShowsHiddenFiles(bool flag)
{
    if (flag == m_showsHiddenFiles)
        return;
    m_showsHiddenFiles = flag;
    m_hiddenFiles->setState(flag ? ControlStateValue::On : ControlStateValue::Off);
    reloadDirectory();
}

void SavePanel::setAccessoryView(const std::shared_ptr<View>& view)
{
    if (view == m_accessoryView)
        return;
    if (m_accessoryView)
        m_accessoryView->removeFromSuperview();
    m_accessoryView = view;
    if (view)
        contentView()->addSubview(view);
    layoutPanel();
}

fnd::String SavePanel::path() const
{
    return m_chosenPath;
}

// The browser.

void SavePanel::setDirectory(const fnd::String& path)
{
    bool recent = path == detail::PlacesView::recentPlacePath();
    bool isFolder = false;
    if (!recent && !(fnd::FileManager::defaultManager().fileExists(path, isFolder) && isFolder))
        return;
    m_showingRecent = recent;
    m_directory = path;
    reloadDirectory();
    if (auto d = delegate())
        d->panelDidChangeToDirectoryURL(*this, path);
}

bool SavePanel::isEnabled(const detail::FileEntry& entry) const
{
    if (entry.isDirectory)
        return true;
    auto self = const_cast<SavePanel*>(this);
    if (auto d = delegate()) {
        if (auto answer = d->panelShouldEnableURL(*self, entry.path))
            return *answer;
    }
    if (m_allowedFileTypes.empty())
        return true;
    auto extension = entry.name.pathExtension();
    return std::ranges::any_of(m_allowedFileTypes, [&](const fnd::String& t) { return sameExtension(t, extension); });
}

void SavePanel::reloadDirectory()
{
    if (!m_list)
        return;
    auto& files = fnd::FileManager::defaultManager();
    std::vector<detail::FileEntry> entries;
    auto add = [&](const fnd::String& path) {
        auto attributes = files.attributesOfItem(path);
        if (!attributes)
            return; // gone, or a dangling link
        detail::FileEntry e;
        e.name = path.lastPathComponent();
        e.path = path;
        e.isDirectory = attributes->type == fnd::FileType::Directory;
        e.size = attributes->size;
        e.modified = attributes->modificationDate;
        e.enabled = isEnabled(e);
        entries.push_back(std::move(e));
    };
    if (m_showingRecent) {
        for (const auto& path : fnd::Places::recentFiles(50))
            add(path);
    } else if (auto names = files.contentsOfDirectory(m_directory)) {
        for (const auto& name : *names) {
            if (!m_showsHiddenFiles && name.hasPrefix("."))
                continue;
            add(m_directory.stringByAppendingPathComponent(name));
        }
    }
    m_list->setEntries(std::move(entries));
    m_pathBar->setPath(m_showingRecent ? fnd::String() : m_directory);
    m_places->setCurrentPath(m_directory);
}

void SavePanel::selectionChanged()
{
    // A chosen file lends its name to the name field.
    const auto& rows = m_list->selectedRows();
    if (showsNameField() && rows.size() == 1) {
        const auto& e = m_list->entries()[rows.front()];
        if (!e.isDirectory)
            setNameFieldStringValue(e.name);
    }
    if (auto d = delegate())
        d->panelSelectionDidChange(*this);
}

void SavePanel::entryOpened(const detail::FileEntry& entry)
{
    if (entry.isDirectory)
        setDirectory(entry.path);
}

// Actions.

void SavePanel::ok(const fnd::Value&)
{
    auto self = shared_from_this();
    confirm();
}

void SavePanel::confirm()
{
    auto self = std::static_pointer_cast<SavePanel>(shared_from_this());
    auto typed = typedName(nameFieldStringValue());
    // The field shows the name the file gets, should the panel stay (a question, an error).
    if (typed != nameFieldStringValue())
        setNameFieldStringValue(typed);
    if (typed.isEmpty() || m_showingRecent) {
        Application::shared().beep();
        return;
    }
    // A typed path ("~/labels/x.png", "/tmp/x.png", "sub/x.png") names the folder too: from the home, the root or
    // the folder shown. A path to a folder goes there.
    const auto location = typedLocation(typed);
    auto& files = fnd::FileManager::defaultManager();
    bool typedFolder = false;
    typedFolder = files.fileExists(location.full, typedFolder) && typedFolder;
    if (location.name.isEmpty() || typedFolder) {
        if (typedFolder) {
            setDirectory(location.full);
            setNameFieldStringValue({});
            return;
        }
        Application::shared().beep();
        return;
    }
    bool folderExists = false;
    if (!files.fileExists(location.folder, folderExists) || !folderExists) {
        showError(
            fnd::String::format(detail::panelText("The folder “%@” doesn't exist.", "The folder “%@” doesn't exist."),
                std::vector<fnd::Value> { fnd::Value(location.folder) }),
            detail::panelText("Please choose another folder.", "Please choose another folder."));
        return;
    }
    if (auto d = delegate())
        d->panelUserEnteredFilename(*this, location.name);
    auto name = nameWithRequiredExtension(location.name);
    auto path = location.folder.stringByAppendingPathComponent(name);
    if (auto d = delegate()) {
        if (auto error = d->panelValidateURL(*this, path)) {
            showError(error->localizedDescription(), {});
            return;
        }
    }
    bool isFolder = false;
    if (!fnd::FileManager::defaultManager().fileExists(path, isFolder)) {
        m_chosenPath = path;
        finish(ModalResponse::OK);
        return;
    }
    if (isFolder) {
        showError(fnd::String::format(
                      detail::panelText("A folder named “%@” already exists.", "A folder named “%@” already exists."),
                      std::vector<fnd::Value> { fnd::Value(name) }),
            detail::panelText("Please choose another name.", "Please choose another name."));
        return;
    }
    // Replacing is asked first; Cancel, the default, keeps the panel open and writes nothing.
    auto alert = Alert::create();
    alert->setAlertStyle(AlertStyle::Warning);
    alert->setMessageText(fnd::String::format(detail::panelText("“%@” already exists. Do you want to replace it?",
                                                  "“%@” already exists. Do you want to replace it?"),
        std::vector<fnd::Value> { fnd::Value(name) }));
    alert->setInformativeText(fnd::String::format(
        detail::panelText("A file with the same name already exists in “%@”. Replacing it will overwrite its contents.",
            "A file with the same name already exists in “%@”. Replacing it will overwrite its contents."),
        std::vector<fnd::Value> { fnd::Value(location.folder.lastPathComponent()) }));
    alert->addButtonWithTitle(detail::panelText("Cancel", "Cancel"));
    alert->addButtonWithTitle(detail::panelText("Replace", "Replace"));
    std::weak_ptr<SavePanel> weak = self;
    alert->beginSheetModalForWindow(self, [weak, path](long code) {
        auto panel = weak.lock();
        if (!panel || code != AlertReturn::SecondButton)
            return;
        panel->m_chosenPath = path;
        panel->finish(ModalResponse::OK);
    });
}

void SavePanel::controlTextDidChange(const fnd::Object& notification)
{
    const auto* note = dynamic_cast<const fnd::Notification*>(&notification);
    auto editor = note ? note->userInfo().get(ControlNotification::FieldEditorKey).objectAs<TextView>() : nullptr;
    if (!editor || note->object().objectAs<TextField>() != m_nameField)
        return;
    // Pasted lines show as one line with the breaks unseen: the field shows the name they make, the caret where it
    // was in it. Ends are trimmed only when the name is confirmed: a space typed last starts the next word.
    const auto text = editor->string();
    const auto cleaned = withoutControlCharacters(text);
    if (cleaned == text)
        return;
    const auto caret = std::min(text.length(), editor->selectedRange().location + editor->selectedRange().length);
    const auto cleanedCaret = withoutControlCharacters(text.substringTo(caret)).length();
    editor->setString(cleaned);
    editor->setSelectedRange({ std::min(cleanedCaret, cleaned.length()), 0 });
}

SavePanel::TypedLocation SavePanel::typedLocation(const fnd::String& typed) const
{
    fnd::String full;
    if (typed == fnd::String("~") || typed.hasPrefix("~/"))
        full = fnd::Paths::homeDirectory().stringByAppendingPathComponent(typed.substringFrom(1));
    else if (typed.hasPrefix("/"))
        full = typed;
    else
        full = m_directory.stringByAppendingPathComponent(typed);
    // "a/../b" and "./b" name the folder they lead to; a trailing "/" names the folder itself.
    auto normal = std::filesystem::path(full.utf8()).lexically_normal().string();
    while (normal.size() > 1 && normal.back() == '/')
        normal.pop_back();
    full = fnd::String(normal);
    if (typed.hasSuffix("/"))
        return { full, full, {} };
    return { full, full.stringByDeletingLastPathComponent(), full.lastPathComponent() };
}

void SavePanel::cancel(const fnd::Value&)
{
    finish(ModalResponse::Cancel);
}

void SavePanel::finish(long code)
{
    auto self = std::static_pointer_cast<Window>(shared_from_this());
    if (code != ModalResponse::OK)
        m_chosenPath = {};
    if (auto parent = sheetParent()) {
        parent->endSheet(self, code);
    } else if (m_runningModal) {
        orderOut();
        Application::shared().stopModalWithCode(code);
    }
}

void SavePanel::showError(const fnd::String& message, const fnd::String& detailText)
{
    if (attachedSheet()) {
        Application::shared().beep();
        return;
    }
    auto alert = Alert::create();
    alert->setAlertStyle(AlertStyle::Critical);
    alert->setMessageText(message);
    alert->setInformativeText(detailText);
    alert->beginSheetModalForWindow(std::static_pointer_cast<Window>(shared_from_this()), nullptr);
}

void SavePanel::newFolder(const fnd::Value&)
{
    if (!m_canCreateDirectories || m_showingRecent || attachedSheet()) {
        Application::shared().beep();
        return;
    }
    auto self = std::static_pointer_cast<SavePanel>(shared_from_this());
    auto alert = Alert::create();
    alert->setAlertStyle(AlertStyle::Informational);
    alert->setMessageText(detail::panelText("New Folder", "New Folder"));
    alert->setInformativeText(detail::panelText("Name of the new folder:", "Name of the new folder:"));
    auto field = TextField::create({ 0, 0, 280, 24 });
    field->setStringValue(detail::panelText("untitled folder", "untitled folder"));
    alert->setAccessoryView(field);
    alert->addButtonWithTitle(detail::panelText("Create", "Create"));
    alert->addButtonWithTitle(detail::panelText("Cancel", "Cancel"));
    std::weak_ptr<SavePanel> weak = self;
    alert->beginSheetModalForWindow(self, [weak, field](long code) {
        auto panel = weak.lock();
        if (!panel || code != AlertReturn::FirstButton)
            return;
        auto name = typedName(field->stringValue());
        if (name.isEmpty() || name.rangeOfString("/").location != fnd::NotFound || name == fnd::String(".")
            || name == fnd::String("..")) {
            Application::shared().beep();
            return;
        }
        auto path = panel->m_directory.stringByAppendingPathComponent(name);
        auto made = fnd::FileManager::defaultManager().createDirectory(path, fnd::Intermediates::No);
        if (!made) {
            panel->showError(detail::panelText("The folder could not be created.", "The folder could not be created."),
                made.error().localizedDescription());
            return;
        }
        panel->setDirectory(path);
    });
}

void SavePanel::toggleHiddenFiles(const fnd::Value&)
{
    setShowsHiddenFiles(m_hiddenFiles->state() == ControlStateValue::On);
}

// Running.

long SavePanel::runModal()
{
    auto self = std::static_pointer_cast<SavePanel>(shared_from_this());
    m_chosenPath = {};
    reloadDirectory();
    center();
    makeKeyAndOrderFront();
    m_runningModal = true;
    long code = Application::shared().runModalForWindow(self);
    m_runningModal = false;
    orderOut();
    if (code != ModalResponse::OK)
        m_chosenPath = {};
    return code;
}

void SavePanel::beginSheetModalForWindow(const std::shared_ptr<Window>& window, std::function<void(long)> handler)
{
    if (!window) {
        long code = runModal();
        if (handler)
            handler(code);
        return;
    }
    auto self = std::static_pointer_cast<SavePanel>(shared_from_this());
    m_chosenPath = {};
    reloadDirectory();
    window->beginSheet(self, [self, handler = std::move(handler)](long code) {
        if (handler)
            handler(code);
    });
}

void SavePanel::performScriptedAnswer(const PanelAnswer& answer)
{
    auto self = shared_from_this();
    if (answer.folder)
        setDirectory(*answer.folder);
    if (answer.name)
        setNameFieldStringValue(*answer.name);
    if (!answer.selection.empty()) {
        std::vector<std::size_t> rows;
        for (const auto& name : answer.selection) {
            if (long row = m_list->rowOfName(name); row >= 0)
                rows.push_back(std::size_t(row));
        }
        m_list->selectRows(rows);
    }
    if (answer.checkBox)
        setShowsHiddenFiles(*answer.checkBox);
    (answer.button == ModalResponse::OK ? m_okButton : m_cancelButton)->performClick();
}

}
