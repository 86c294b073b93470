#include "frameworks/ZORAppKit/ZORPreferenceWindowController/ZORPreferenceWindowController.h"

#include "frameworks/ZORAppKit/ZORPreferenceWindowController/ZORPlugInPreferencePane.h"
#include "frameworks/ZORAppKit/ZORPreferenceWindowController/ZORPrefPaneIconView.h"
#include "frameworks/ZORAppKit/ZORPreferenceWindowController/detail/ZORPreferenceWindowControllerTesting.h"
#include "frameworks/ZORAppKit/ZORWindow/ZORWindow.h"

#include "frameworks/FoundationExtensions/ZORFrameworkBundle.h"
#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/files/FileManager.h"
#include "platform/foundation/files/UserDefaults.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/ui/containers/ToolbarItem.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Screen.h"
#include "platform/ui/views/detail/ViewCoordinates.h"

#include <algorithm>
#include <cmath>
#include <mutex>

FND_REGISTER_CLASS(ZORPreferenceWindowController, ui::WindowController)

void ZORPreferenceWindowController::describeClass(fnd::ClassBuilder<ZORPreferenceWindowController>& c)
{
    c.action("toolbarShowAll", &ZORPreferenceWindowController::toolbarShowAll);
    c.action("toolbarShowPane:", &ZORPreferenceWindowController::toolbarShowPane);
    c.action("applicationWillTerminate:", &ZORPreferenceWindowController::applicationWillTerminate);
}

namespace {

const fnd::String StringTable = "ZORPreferenceWindow";
constexpr long OverviewColumns = 7;

struct SharedInstance {
    std::mutex mutex;
    std::shared_ptr<ZORPreferenceWindowController> controller;
};

SharedInstance& sharedInstance()
{
    static SharedInstance instance;
    return instance;
}

fnd::String localized(const fnd::String& key)
{
    ZORFrameworkBundle::registerClassPrefixes();
    return fnd::Bundle::bundleForClass("ZORPreferenceWindowController")->localizedStringForKey(key, {}, StringTable);
}

}

namespace ZORPreferenceWindowControllerTesting {

void forgetSharedPreferenceWindowController()
{
    auto& shared = sharedInstance();
    std::shared_ptr<ZORPreferenceWindowController> gone;
    std::lock_guard lock(shared.mutex);
    gone.swap(shared.controller);
}

void restoreFrame(ZORPreferenceWindowController& controller, const std::optional<fnd::String>& saved)
{
    controller.window();
    controller.restoreFrame(saved);
}

}

// Making.

std::shared_ptr<ZORPreferenceWindowController> ZORPreferenceWindowController::sharedPreferenceWindowController()
{
    {
        auto& shared = sharedInstance();
        std::lock_guard lock(shared.mutex);
        if (shared.controller)
            return shared.controller;
    }
    // Without a name the window could keep neither its frame nor its pane.
    if (auto made = create(DefaultAutosaveName))
        return made;
    auto& shared = sharedInstance();
    std::lock_guard lock(shared.mutex);
    return shared.controller;
}

std::shared_ptr<ZORPreferenceWindowController> ZORPreferenceWindowController::create(const fnd::String& autosaveName)
{
    return create(autosaveName, ui::WindowStyleMask::Titled | ui::WindowStyleMask::Closable);
}

std::shared_ptr<ZORPreferenceWindowController> ZORPreferenceWindowController::create(
    const fnd::String& autosaveName, unsigned styleMask)
{
    auto& shared = sharedInstance();
    {
        std::lock_guard lock(shared.mutex);
        if (shared.controller)
            return nullptr;
        shared.controller = std::make_shared<ZORPreferenceWindowController>(PrivateTag {});
    }
    auto controller = shared.controller;
    controller->initWithAutosaveName(autosaveName, styleMask);
    return controller;
}

void ZORPreferenceWindowController::initWithAutosaveName(const fnd::String& autosaveName, unsigned styleMask)
{
    m_zorWindow = ZORWindow::create({ 0, 0, 200, 100 }, styleMask);
    initWithWindow(m_zorWindow);
    m_zorWindow->setDelegate(std::static_pointer_cast<ZORPreferenceWindowController>(shared_from_this()));
    m_zorWindow->setOpaque(true);
    m_zorWindow->setContentView(ui::View::create({ 0, 0, 200, 100 }));
    m_autosaveName = autosaveName;
    m_title = localized("ZORPWWindowTitle");
    createIconViewPane();
    fnd::NotificationCenter::defaultCenter().addObserver(
        *this, "applicationWillTerminate:", ui::ApplicationNotification::WillTerminate);
}

ZORPreferenceWindowController::~ZORPreferenceWindowController()
{
    fnd::NotificationCenter::defaultCenter().removeObserver(*this);
}

// The window.

std::shared_ptr<ui::Window> ZORPreferenceWindowController::window()
{
    if (m_windowIsSetUp)
        return WindowController::window();
    m_windowIsSetUp = true;
    auto self = shared_from_this();
    // Read before anything moves the window: every move is kept under the same key.
    auto savedFrame = fnd::UserDefaults::standardUserDefaults().stringForKey(FrameDefaultsKeyPrefix + m_autosaveName);
    m_settingUpWindow = true;
    buildToolbar();
    showRestoredSelection();
    restoreFrame(savedFrame);
    m_settingUpWindow = false;
    return WindowController::window();
}

void ZORPreferenceWindowController::showRestoredSelection()
{
    // A pane the program chose before showing the window stays.
    if (m_activePane)
        return;
    auto saved = fnd::UserDefaults::standardUserDefaults().stringForKey(SelectedPaneDefaultsKeyPrefix + m_autosaveName);
    if (saved && m_prefPanes.contains(*saved) && selectPaneWithIdentifier(*saved))
        return;
    if (saved && *saved == ShowAllItemIdentifier && m_usesConfigurationPane) {
        toolbarShowAll();
        return;
    }
    // Else the toolbar's first item (in the order the person may have given the items). "Show All" names no pane:
    // it shows the overview rather than leaving the window empty.
    fnd::String first;
    if (m_toolbar) {
        for (const auto& item : m_toolbar->items()) {
            if (!item->isSpace()) {
                first = item->itemIdentifier();
                break;
            }
        }
    } else if (m_usesConfigurationPane) {
        first = ShowAllItemIdentifier;
    } else if (auto identifiers = validPrefPaneIdentifiers(); !identifiers.empty()) {
        first = identifiers.front();
    }
    if (first == ShowAllItemIdentifier)
        toolbarShowAll();
    else if (!first.isEmpty())
        selectPaneWithIdentifier(first);
}

void ZORPreferenceWindowController::restoreFrame(const std::optional<fnd::String>& saved)
{
    // A frame whose numbers reach beyond any screen, or without a size, is damage (ui::Window's reader).
    auto frame = saved ? ui::Window::frameFromSavedString(*saved) : std::nullopt;
    if (saved && !frame)
        fnd::log(fnd::LogLevel::Warning, "Ignoring a malformed preference window frame \"" + *saved + "\".");
    if (!frame) {
        m_zorWindow->center();
        return;
    }
    // The saved top left corner; the window keeps the size of what it shows now.
    m_zorWindow->setFrameOrigin({ frame->minX(), frame->maxY() - m_zorWindow->frame().height() });
}

void ZORPreferenceWindowController::rememberSelection(const fnd::String& identifier)
{
    // Only what the window showed counts: a pane chosen before the window was first asked for would otherwise
    // replace the one the window is to come back to.
    if (m_windowIsSetUp && !m_autosaveName.isEmpty())
        fnd::UserDefaults::standardUserDefaults().setObject(identifier, SelectedPaneDefaultsKeyPrefix + m_autosaveName);
}

// Panes.

std::shared_ptr<ZORPrefPaneProtocol> ZORPreferenceWindowController::prefPaneWithIdentifier(
    const fnd::String& identifier) const
{
    auto found = m_prefPanes.find(identifier);
    return found == m_prefPanes.end() ? nullptr : found->second;
}

bool ZORPreferenceWindowController::addPane(
    const std::shared_ptr<ZORPrefPaneProtocol>& pane, const fnd::String& identifier)
{
    if (!pane || m_prefPanes.contains(identifier))
        return false;
    if (auto d = delegate(); d && d->shouldLoadPreferencePane(identifier) == false)
        return false;
    pane->setSortOrder(m_prefPanes.size());
    m_prefPanes.emplace(identifier, pane);
    m_iconView->addIcon(iconForPrefPane(pane));
    return true;
}

void ZORPreferenceWindowController::addPluginsOfType(const fnd::String& extension, const fnd::String& directory)
{
    auto contents = fnd::FileManager::defaultManager().contentsOfDirectory(directory);
    if (!contents) {
        fnd::log(fnd::LogLevel::Error, contents.error().localizedDescription());
        return;
    }
    auto names = *contents;
    std::sort(names.begin(), names.end());
    for (const auto& name : names) {
        if (name.pathExtension() == extension)
            addPluginFromPath(directory.stringByAppendingPathComponent(name));
    }
}

void ZORPreferenceWindowController::addPluginFromPath(const fnd::String& path)
{
    auto bundle = fnd::Bundle::bundleWithPath(path);
    if (!bundle) {
        fnd::log(fnd::LogLevel::Error, "error loading bundle: " + path);
        return;
    }
    fnd::log(fnd::LogLevel::Info, "loaded: " + bundle->bundlePath());
    auto identifier = bundle->bundleIdentifier();
    if (identifier.isEmpty()) {
        fnd::log(fnd::LogLevel::Error, "The preference pane " + path + " has no bundle identifier; it is not loaded.");
        return;
    }
    if (m_prefPanes.contains(identifier))
        return;
    auto d = delegate();
    if (d && d->shouldLoadPreferencePane(identifier) == false) {
        fnd::log(fnd::LogLevel::Info, "delegate did not approve plugin " + identifier);
        return;
    }
    // A plug-in that cannot give a pane is left out (the proxy logs why), rather than listed without a view.
    auto pane = ZORPlugInPreferencePane::create(bundle);
    if (!pane || !addPane(pane, identifier))
        return;
    if (d)
        d->didLoadPreferencePane(identifier);
}

bool ZORPreferenceWindowController::activePaneAllowsLeaving()
{
    return !m_activePane || m_activePane->shouldUnselect();
}

bool ZORPreferenceWindowController::selectPaneWithIdentifier(const fnd::String& identifier)
{
    auto pane = prefPaneWithIdentifier(identifier);
    if (!pane)
        return false;
    if (pane == m_activePane)
        return true;
    auto self = shared_from_this();
    if (!activePaneAllowsLeaving())
        return false;
    pane->loadMainView();
    auto view = pane->mainView();
    if (!view) {
        fnd::log(fnd::LogLevel::Error, "Preference Pane \"" + identifier + "\" has no view");
        return false;
    }
    auto old = m_activePane;
    auto d = delegate();
    if (old)
        old->willUnselect();
    if (d)
        d->willSelectPreferencePane(identifier);
    pane->willSelect();
    (void)pane->shouldResize();
    const auto minSize = pane->minSize();
    const auto maxSize = pane->maxSize();
    // A plug-in that failed on the way in (it threw) is given up before the window changes, and the pane shown
    // before stays.
    if (auto plugIn = std::dynamic_pointer_cast<ZORPlugInPreferencePane>(pane); plugIn && plugIn->hasFailed()) {
        fnd::log(fnd::LogLevel::Error, "Preference Pane \"" + identifier + "\" failed as it was selected");
        return false;
    }
    // A healthy pane may have given itself a new view as it was about to be shown: that is the view it shows.
    view = pane->mainView();
    if (!view) {
        fnd::log(fnd::LogLevel::Error, "Preference Pane \"" + identifier + "\" has no view");
        return false;
    }
    m_zorWindow->setTitle(pane->label());
    if (minSize)
        m_zorWindow->setMinSize(*minSize);
    if (maxSize)
        m_zorWindow->setMaxSize(*maxSize);
    changeContentView(view);
    if (old) {
        if (d)
            d->didUnselectPreferencePane(old->identifier());
        old->didUnselect();
    }
    pane->didSelect();
    m_activePane = pane;
    if (m_toolbar)
        m_toolbar->setSelectedItemIdentifier(identifier);
    rememberSelection(identifier);
    return true;
}

bool ZORPreferenceWindowController::deselectActivePane()
{
    if (!m_activePane)
        return true;
    auto self = shared_from_this();
    auto pane = m_activePane;
    pane->willUnselect();
    if (auto d = delegate())
        d->didUnselectPreferencePane(pane->identifier());
    pane->didUnselect();
    m_activePane = nullptr;
    return true;
}

bool ZORPreferenceWindowController::selectIconViewPane()
{
    if (!activePaneAllowsLeaving())
        return false;
    deselectActivePane();
    showOverview();
    return true;
}

void ZORPreferenceWindowController::toolbarShowAll()
{
    // The toolbar selected "Show All" on the click; a pane that stays takes its item back.
    if (!selectIconViewPane())
        selectShownItem();
}

void ZORPreferenceWindowController::showOverview()
{
    m_zorWindow->setTitle(m_title);
    changeContentView(m_iconView);
    m_zorWindow->setCanZoom(false);
    selectShownItem();
    rememberSelection(ShowAllItemIdentifier);
}

void ZORPreferenceWindowController::toolbarShowPane(const fnd::Value& sender)
{
    fnd::String identifier;
    if (auto item = sender.objectAs<ui::ToolbarItem>())
        identifier = item->itemIdentifier();
    else if (auto icon = sender.objectAs<ZORPrefPaneIcon>())
        identifier = icon->itemIdentifier();
    else
        return;
    if (!selectPaneWithIdentifier(identifier))
        selectShownItem();
}

// Categories.

fnd::String ZORPreferenceWindowController::categoryForPane(const ZORPrefPaneProtocol& pane) const
{
    auto category = pane.category();
    if (auto d = delegate()) {
        if (auto mapped = d->categoryForPreferencePane(pane.identifier(), category))
            return *mapped;
    }
    return category;
}

fnd::String ZORPreferenceWindowController::categoryForIdentifier(const fnd::String& identifier) const
{
    auto pane = prefPaneWithIdentifier(identifier);
    return pane ? categoryForPane(*pane) : fnd::String();
}

std::vector<fnd::String> ZORPreferenceWindowController::categories() const
{
    std::vector<fnd::String> found;
    for (const auto& [identifier, pane] : m_prefPanes) {
        auto category = categoryForPane(*pane);
        if (std::find(found.begin(), found.end(), category) == found.end())
            found.push_back(category);
    }
    return found;
}

fnd::String ZORPreferenceWindowController::categoryDisplayNameForIdentifier(const fnd::String& identifier) const
{
    auto category = categoryForIdentifier(identifier);
    if (auto d = delegate()) {
        if (auto name = d->displayNameForCategory(category))
            return *name;
    }
    if (auto pane = prefPaneWithIdentifier(identifier)) {
        if (auto name = pane->categoryDisplayName())
            return *name;
    }
    return category;
}

bool ZORPreferenceWindowController::sortByCategory() const
{
    return m_iconView->sortByCategory();
}

void ZORPreferenceWindowController::setSortByCategory(bool flag)
{
    if (flag == m_iconView->sortByCategory())
        return;
    m_iconView->setSortByCategory(flag);
    if (!m_activePane)
        showOverview();
}

std::optional<std::vector<fnd::String>> ZORPreferenceWindowController::categorySortOrder() const
{
    return m_iconView->categorySortOrder();
}

void ZORPreferenceWindowController::setCategorySortOrder(const std::optional<std::vector<fnd::String>>& order)
{
    m_iconView->setCategorySortOrder(order);
}

// The overview.

std::shared_ptr<ZORPrefPaneIcon> ZORPreferenceWindowController::iconForPrefPane(
    const std::shared_ptr<ZORPrefPaneProtocol>& pane)
{
    auto icon = ZORPrefPaneIcon::create(pane->identifier(), pane->icon(), pane->label());
    icon->setCategory(categoryForPane(*pane));
    icon->setTarget(shared_from_this());
    icon->setSelector("toolbarShowPane:");
    return icon;
}

void ZORPreferenceWindowController::createIconViewPane()
{
    if (m_iconView)
        return;
    std::vector<std::shared_ptr<ZORPrefPaneIcon>> icons;
    for (const auto& [identifier, pane] : m_prefPanes) {
        if (pane->mainView())
            icons.push_back(iconForPrefPane(pane));
    }
    m_iconView = ZORPrefPaneIconView::create(
        std::static_pointer_cast<ZORPreferenceWindowController>(shared_from_this()), icons, OverviewColumns);
}

std::vector<fnd::String> ZORPreferenceWindowController::validPrefPaneIdentifiers() const
{
    std::vector<std::pair<unsigned long, fnd::String>> ordered;
    for (const auto& [identifier, pane] : m_prefPanes)
        ordered.emplace_back(pane->sortOrder(), identifier);
    std::stable_sort(ordered.begin(), ordered.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<fnd::String> identifiers;
    for (auto& [order, identifier] : ordered)
        identifiers.push_back(std::move(identifier));
    return identifiers;
}

// Resizing.

gfx::Rect ZORPreferenceWindowController::frameForContentSize(gfx::Size size) const
{
    auto current = m_zorWindow->frame();
    auto content = m_zorWindow->contentRectForFrameRect(current);
    // A pane may answer any size. The window takes one its screen can show: a larger one shows nothing more, and
    // resizing toward it steps for as long as the way is long (for ever toward an infinite one). A length that is no
    // number leaves the window's as it is; one below zero is none.
    const auto screen = ui::Screen::screenForRect(current);
    const auto room = screen ? screen->visibleFrame().size
                             : gfx::Size { ui::detail::ViewLargestCoordinate, ui::detail::ViewLargestCoordinate };
    auto shown = [](double asked, double now, double most) {
        return std::isnan(asked) ? now : std::clamp(asked, 0.0, std::max(0.0, most));
    };
    size = { shown(size.width, content.width(), room.width - (current.width() - content.width())),
        shown(size.height, content.height(), room.height - (current.height() - content.height())) };
    auto frame = m_zorWindow->frameRectForContentRect({ content.origin, size });
    frame.origin.y += current.height() - frame.height();
    return frame;
}

void ZORPreferenceWindowController::changeContentView(const std::shared_ptr<ui::View>& view)
{
    // Sized from the view before the window takes it and fits it to the old content.
    auto frame = frameForContentSize(view->frame().size);
    m_zorWindow->setContentView(view);
    m_zorWindow->setFrame(frame, true, true);
}

// Window and application.

void ZORPreferenceWindowController::unselectActivePaneForClosing()
{
    if (!m_activePane)
        return;
    auto self = shared_from_this();
    auto pane = m_activePane;
    pane->willUnselect();
    pane->didUnselect();
}

void ZORPreferenceWindowController::windowWillClose(ui::Window&)
{
    unselectActivePaneForClosing();
}

void ZORPreferenceWindowController::applicationWillTerminate(const fnd::Value&)
{
    unselectActivePaneForClosing();
}

void ZORPreferenceWindowController::windowDidMove(ui::Window& window)
{
    // Before and while the first window call places the window, its moves are ours, not the person's.
    if (m_windowIsSetUp && !m_settingUpWindow && !m_autosaveName.isEmpty())
        window.saveFrameUsingName(m_autosaveName);
}

void ZORPreferenceWindowController::windowDidBecomeMain(ui::Window&)
{
    if (m_activePane)
        m_activePane->panelDidBecomeMain();
}

std::optional<gfx::Rect> ZORPreferenceWindowController::windowWillUseStandardFrame(ui::Window& window, gfx::Rect)
{
    if (m_activePane) {
        if (auto size = m_activePane->standardSize())
            return frameForContentSize(*size);
    }
    return window.frame();
}
