#include "platform/ui/containers/Toolbar.h"

#include "platform/foundation/files/UserDefaults.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/ui/containers/ToolbarCustomizationPalette.h"
#include "platform/ui/containers/ToolbarView.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/menus/MenuItem.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Window.h"
#include "platform/ui/views/detail/PanelText.h"

#include <algorithm>
#include <set>

namespace ui {

namespace {

// The keys of a kept configuration, as the platform names them.
const fnd::String ItemIdentifiersKey = "TB Item Identifiers";
const fnd::String DisplayModeKey = "TB Display Mode";
const fnd::String SizeModeKey = "TB Size Mode";
const fnd::String IsShownKey = "TB Is Shown";

bool isStandard(const fnd::String& id)
{
    return std::ranges::find(ToolbarItemIdentifier::standardIdentifiers(), id)
        != ToolbarItemIdentifier::standardIdentifiers().end();
}

}

FND_REGISTER_CLASS(Toolbar, fnd::Object)

void Toolbar::describeClass(fnd::ClassBuilder<Toolbar>& c)
{
    c.property("displayMode", &Toolbar::displayMode, &Toolbar::setDisplayMode);
    c.property("sizeMode", &Toolbar::sizeMode, &Toolbar::setSizeMode);
    c.property("visible", &Toolbar::isVisible, &Toolbar::setVisible);
    c.property("selectedItemIdentifier", &Toolbar::selectedItemIdentifier, &Toolbar::setSelectedItemIdentifier);
    c.action("runCustomizationPalette:", &Toolbar::runCustomizationPalette);
    c.action("toggleToolbarShown:", &Toolbar::toggleToolbarShown);
    c.action("changeDisplayMode:", &Toolbar::changeDisplayMode);
    c.action("validateMenuItem:", &Toolbar::validateMenuItem);
    c.action("windowSheetChanged:", &Toolbar::windowSheetChanged);
}

Toolbar::~Toolbar()
{
    if (m_observesSheets)
        fnd::NotificationCenter::defaultCenter().removeObserver(*this);
}

std::shared_ptr<Toolbar> Toolbar::create(const fnd::String& identifier)
{
    auto toolbar = fnd::makeObject<Toolbar>();
    toolbar->initWithIdentifier(identifier);
    return toolbar;
}

void Toolbar::initWithIdentifier(const fnd::String& identifier)
{
    m_identifier = identifier;
}

void Toolbar::setDelegate(const std::shared_ptr<ToolbarDelegate>& delegate)
{
    m_delegate = delegate;
}

fnd::String Toolbar::defaultsKey() const
{
    return fnd::String("NSToolbar Configuration ") + m_identifier;
}

// Items.

std::shared_ptr<ToolbarItem> Toolbar::makeItem(const fnd::String& identifier, bool willBeInserted)
{
    if (isStandard(identifier))
        return ToolbarItem::create(identifier);
    auto d = delegate();
    return d ? d->toolbarItemForItemIdentifier(*this, identifier, willBeInserted) : nullptr;
}

void Toolbar::ensureItems() const
{
    if (m_itemsMade)
        return;
    auto self = std::const_pointer_cast<Toolbar>(std::static_pointer_cast<const Toolbar>(shared_from_this()));
    self->m_itemsMade = true;
    std::vector<fnd::String> identifiers;
    std::optional<fnd::Dictionary> kept;
    if (m_autosavesConfiguration && !m_identifier.isEmpty())
        kept = fnd::UserDefaults::standardUserDefaults().dictionaryForKey(defaultsKey());
    const fnd::Value* list = kept ? kept->find(ItemIdentifiersKey) : nullptr;
    if (list && list->isArray())
        identifiers = self->keptIdentifiers(*list);
    else
        identifiers = self->defaultItemIdentifiers();
    if (long(identifiers.size()) > MaximumItemCount)
        identifiers.resize(std::size_t(MaximumItemCount));
    self->m_loading = true;
    for (const auto& id : identifiers) {
        if (auto item = self->makeItem(id, true))
            self->insertItem(item, long(m_items.size()));
    }
    self->m_loading = false;
}

std::vector<fnd::String> Toolbar::keptIdentifiers(const fnd::Value& list)
{
    std::vector<fnd::String> identifiers;
    const auto* entries = list.array();
    if (!entries)
        return identifiers;
    auto allowed = allowedItemIdentifiers();
    std::set<fnd::String> taken;
    for (const auto& entry : *entries) {
        if (long(identifiers.size()) >= MaximumItemCount)
            break;
        const auto* id = entry.string();
        // What the program no longer offers is left out, and so is a second copy of an item.
        if (!id || (std::ranges::find(allowed, *id) == allowed.end() && !isStandard(*id)))
            continue;
        if (!ToolbarItemIdentifier::isRepeatable(*id) && !taken.insert(*id).second)
            continue;
        identifiers.push_back(*id);
    }
    return identifiers;
}

const std::vector<std::shared_ptr<ToolbarItem>>& Toolbar::items() const
{
    ensureItems();
    return m_items;
}

std::vector<std::shared_ptr<ToolbarItem>> Toolbar::visibleItems() const
{
    ensureItems();
    if (!m_view)
        return m_items;
    std::vector<std::shared_ptr<ToolbarItem>> shown;
    for (const auto& viewer : m_view->viewers()) {
        if (!viewer->isHidden())
            shown.push_back(viewer->item());
    }
    return shown;
}

std::vector<fnd::String> Toolbar::itemIdentifiers() const
{
    const auto& made = items();
    std::vector<fnd::String> ids;
    ids.reserve(made.size());
    for (const auto& item : made)
        ids.push_back(item->itemIdentifier());
    return ids;
}

std::vector<fnd::String> Toolbar::allowedItemIdentifiers()
{
    auto d = delegate();
    return d ? d->toolbarAllowedItemIdentifiers(*this) : std::vector<fnd::String> {};
}

std::vector<fnd::String> Toolbar::defaultItemIdentifiers()
{
    auto d = delegate();
    return d ? d->toolbarDefaultItemIdentifiers(*this) : std::vector<fnd::String> {};
}

void Toolbar::insertItem(const std::shared_ptr<ToolbarItem>& item, long index)
{
    auto self = std::static_pointer_cast<Toolbar>(shared_from_this());
    fnd::Dictionary userInfo;
    userInfo.set(ToolbarNotification::ItemKey, item);
    auto notification
        = std::make_shared<fnd::Notification>(ToolbarNotification::WillAddItem, selfValue(), std::move(userInfo));
    if (auto d = delegate())
        d->toolbarWillAddItem(*notification);
    fnd::NotificationCenter::defaultCenter().postNotification(notification);
    m_items.insert(m_items.begin() + std::clamp(index, 0L, long(m_items.size())), item);
    item->setToolbar(self);
    configurationChanged();
}

void Toolbar::insertItemWithItemIdentifier(const fnd::String& identifier, long index)
{
    ensureItems();
    if (index < 0 || index > long(m_items.size()))
        throw fnd::Exception(fnd::ExceptionName::Range,
            fnd::String::format("Index %ld is beyond the toolbar's %ld items", { index, long(m_items.size()) }));
    if (long(m_items.size()) >= MaximumItemCount) {
        fnd::log("A toolbar holds at most 256 items; the new one is refused.");
        return;
    }
    if (auto item = makeItem(identifier, true))
        insertItem(item, index);
}

void Toolbar::removeItemAtIndex(long index)
{
    ensureItems();
    if (index < 0 || index >= long(m_items.size()))
        throw fnd::Exception(fnd::ExceptionName::Range,
            fnd::String::format("Index %ld is beyond the toolbar's %ld items", { index, long(m_items.size()) }));
    auto self = shared_from_this();
    auto item = m_items[std::size_t(index)];
    m_items.erase(m_items.begin() + index);
    item->setToolbar(nullptr);
    auto notification = std::make_shared<fnd::Notification>(
        ToolbarNotification::DidRemoveItem, selfValue(), fnd::Dictionary { { ToolbarNotification::ItemKey, item } });
    if (auto d = delegate())
        d->toolbarDidRemoveItem(*notification);
    fnd::NotificationCenter::defaultCenter().postNotification(notification);
    configurationChanged();
}

void Toolbar::moveItem(long from, long to)
{
    ensureItems();
    long count = long(m_items.size());
    if (from < 0 || from >= count)
        return;
    to = std::clamp(to, 0L, count - 1);
    if (from == to)
        return;
    auto item = m_items[std::size_t(from)];
    m_items.erase(m_items.begin() + from);
    m_items.insert(m_items.begin() + to, item);
    configurationChanged();
}

void Toolbar::setItemIdentifiers(const std::vector<fnd::String>& identifiers)
{
    ensureItems();
    bool loading = m_loading;
    m_loading = true;
    while (!m_items.empty())
        removeItemAtIndex(long(m_items.size()) - 1);
    for (const auto& id : identifiers) {
        if (long(m_items.size()) >= MaximumItemCount)
            break;
        if (auto item = makeItem(id, true))
            insertItem(item, long(m_items.size()));
    }
    m_loading = loading;
    configurationChanged();
}

// Modes.

void Toolbar::setDisplayMode(ToolbarDisplayMode mode)
{
    if (mode == m_displayMode)
        return;
    m_displayMode = mode;
    configurationChanged();
}

void Toolbar::setSizeMode(ToolbarSizeMode mode)
{
    if (mode == m_sizeMode)
        return;
    m_sizeMode = mode;
    configurationChanged();
}

void Toolbar::setVisible(bool flag)
{
    if (flag == m_visible)
        return;
    willChangeValueForKey("visible");
    m_visible = flag;
    configurationChanged();
    didChangeValueForKey("visible");
}

void Toolbar::toggleToolbarShown(const fnd::Value&)
{
    // The strip is where the customisation sheet drops items.
    if (m_customizing) {
        Application::shared().beep();
        return;
    }
    setVisible(!m_visible);
}

void Toolbar::setShowsBaselineSeparator(bool flag)
{
    m_showsBaselineSeparator = flag;
    if (m_view)
        m_view->setNeedsDisplay(true);
}

void Toolbar::setSelectedItemIdentifier(const fnd::String& identifier)
{
    if (identifier == m_selectedItemIdentifier)
        return;
    m_selectedItemIdentifier = identifier;
    if (m_view) {
        for (const auto& viewer : m_view->viewers())
            viewer->setNeedsDisplay(true);
    }
}

// Configuration.

fnd::Dictionary Toolbar::configurationDictionary() const
{
    const auto& made = items();
    fnd::Array ids;
    ids.reserve(made.size());
    for (const auto& item : made)
        ids.emplace_back(item->itemIdentifier());
    // Set one by one: a braced list would copy the identifiers twice more.
    fnd::Dictionary configuration;
    configuration.set(ItemIdentifiersKey, std::move(ids));
    configuration.set(DisplayModeKey, static_cast<long long>(m_displayMode));
    configuration.set(SizeModeKey, static_cast<long long>(m_sizeMode));
    configuration.set(IsShownKey, m_visible);
    return configuration;
}

void Toolbar::setConfigurationFromDictionary(const fnd::Dictionary& configuration)
{
    bool loading = m_loading;
    m_loading = true;
    applyModes(configuration);
    if (const auto* list = configuration.find(ItemIdentifiersKey); list && list->isArray())
        setItemIdentifiers(keptIdentifiers(*list));
    m_loading = loading;
    configurationChanged();
}

void Toolbar::setAutosavesConfiguration(bool flag)
{
    if (flag == m_autosavesConfiguration)
        return;
    m_autosavesConfiguration = flag;
    if (!flag || m_identifier.isEmpty())
        return;
    auto kept = fnd::UserDefaults::standardUserDefaults().dictionaryForKey(defaultsKey());
    if (!kept) {
        if (m_itemsMade)
            saveConfiguration();
        return;
    }
    if (m_itemsMade) {
        setConfigurationFromDictionary(*kept);
        return;
    }
    // The items come from the kept identifiers when they are first needed; the modes apply now.
    applyModes(*kept);
    updateWindow();
}

void Toolbar::applyModes(const fnd::Dictionary& configuration)
{
    auto mode = [](const fnd::Value& v, long highest) {
        long n = v.isNil() ? 0 : long(v.integerValue());
        return n >= 0 && n <= highest ? n : 0;
    };
    m_displayMode = ToolbarDisplayMode(mode(configuration.get(DisplayModeKey), 3));
    m_sizeMode = ToolbarSizeMode(mode(configuration.get(SizeModeKey), 2));
    if (auto shown = configuration.get(IsShownKey); !shown.isNil())
        m_visible = shown.boolValue();
}

void Toolbar::saveConfiguration() const
{
    if (!m_autosavesConfiguration || m_identifier.isEmpty() || !m_itemsMade)
        return;
    fnd::UserDefaults::standardUserDefaults().setObject(configurationDictionary(), defaultsKey());
}

void Toolbar::configurationChanged()
{
    if (m_loading)
        return;
    saveConfiguration();
    // In a window, updateWindow lays the strip out.
    if (m_view)
        m_view->reloadItems(!window());
    updateWindow();
}

void Toolbar::itemDidChange(ToolbarItem&)
{
    if (m_view && !m_loading)
        m_view->layoutItems();
}

// The window.

double Toolbar::height() const
{
    if (!m_visible)
        return 0;
    auto m = ToolbarMetrics::forModes(m_displayMode, m_sizeMode);
    double row = m.itemHeight;
    for (const auto& item : items()) {
        if (item->view()) {
            double view = std::max(item->minSize().height, item->view()->frame().height());
            row = std::max(row, 10 + view + (m.showsLabel ? m.labelHeight + 2 : 0));
        }
    }
    return row + 1; // the baseline
}

void Toolbar::attachToWindow(const std::shared_ptr<Window>& window)
{
    auto self = std::static_pointer_cast<Toolbar>(shared_from_this());
    if (window && !m_observesSheets) {
        // Any window's: the window is not kept by the centre, and the notification tells which one it is.
        auto& centre = fnd::NotificationCenter::defaultCenter();
        centre.addObserver(*this, "windowSheetChanged:", WindowNotification::WillBeginSheet);
        centre.addObserver(*this, "windowSheetChanged:", WindowNotification::DidEndSheet);
        m_observesSheets = true;
    }
    if (auto old = m_window.lock(); old && old != window) {
        old->setToolbarView(nullptr);
        old->setToolbar(nullptr, 0);
    }
    m_window = window;
    if (!window)
        return;
    if (!m_view)
        m_view = ToolbarView::create(self);
    window->setToolbarView(m_view);
    updateWindow();
}

void Toolbar::updateWindow()
{
    auto w = window();
    if (!w || !m_view)
        return;
    // A new size lays the strip out as the window places it; otherwise it is laid out here.
    const auto size = m_view->frame().size;
    w->setToolbar(shared_from_this(), height());
    if (m_view->frame().size == size || !m_view->autoresizesSubviews())
        m_view->layoutItems();
}

bool Toolbar::windowHasSheet() const
{
    auto w = window();
    return w && w->attachedSheet();
}

void Toolbar::windowSheetChanged(const fnd::Value& notification)
{
    auto posted = notification.objectAs<fnd::Notification>();
    auto w = window();
    if (!posted || !w || !m_view || posted->object().object() != w)
        return;
    // The strip validates its items as it draws, by then with the sheet in place (or gone).
    m_view->setNeedsDisplay(true);
}

void Toolbar::validateVisibleItems()
{
    auto self = shared_from_this();
    for (const auto& item : visibleItems()) {
        if (item->autovalidates())
            item->validate();
    }
}

// The context menu.

std::shared_ptr<Menu> Toolbar::contextMenu()
{
    if (m_customizing)
        return nullptr;
    auto self = std::static_pointer_cast<Toolbar>(shared_from_this());
    auto menu = Menu::create();
    const std::pair<ToolbarDisplayMode, fnd::String> modes[] {
        { ToolbarDisplayMode::IconAndLabel, detail::panelText("Icon and Text", "Icon and Text") },
        { ToolbarDisplayMode::IconOnly, detail::panelText("Icon Only", "Icon Only") },
        { ToolbarDisplayMode::LabelOnly, detail::panelText("Text Only", "Text Only") },
    };
    // The default mode shows icons and labels.
    const auto shown = m_displayMode == ToolbarDisplayMode::Default ? ToolbarDisplayMode::IconAndLabel : m_displayMode;
    // The arrangement is the person's to change only where customisation is allowed; hiding, always.
    if (m_allowsUserCustomization) {
        for (const auto& [mode, title] : modes) {
            auto item = menu->addItemWithTitle(title, "changeDisplayMode:");
            item->setTarget(self);
            item->setTag(long(mode));
            item->setState(mode == shown ? ControlStateValue::On : ControlStateValue::Off);
        }
        menu->addItem(MenuItem::separatorItem());
        menu->addItemWithTitle(
                detail::panelText("Customise Toolbar…", "Customise Toolbar…"), "runCustomizationPalette:")
            ->setTarget(self);
    }
    menu->addItemWithTitle(detail::panelText("Hide Toolbar", "Hide Toolbar"), "toggleToolbarShown:")->setTarget(self);
    return menu;
}

void Toolbar::changeDisplayMode(const fnd::Value& sender)
{
    auto item = sender.objectAs<MenuItem>();
    if (!item || item->tag() < long(ToolbarDisplayMode::IconAndLabel)
        || item->tag() > long(ToolbarDisplayMode::LabelOnly))
        return;
    setDisplayMode(ToolbarDisplayMode(item->tag()));
}

bool Toolbar::validateMenuItem(const fnd::Value& value)
{
    auto item = value.objectAs<MenuItem>();
    if (!item || windowHasSheet())
        return false;
    if (item->action() == fnd::Selector("runCustomizationPalette:"))
        return m_allowsUserCustomization && !m_customizing && window();
    return true;
}

// Customisation.

void Toolbar::runCustomizationPalette(const fnd::Value&)
{
    auto w = window();
    if (!m_allowsUserCustomization || m_customizing || !w || w->attachedSheet()) {
        Application::shared().beep();
        return;
    }
    auto self = std::static_pointer_cast<Toolbar>(shared_from_this());
    m_customizing = true;
    m_palette = ToolbarCustomizationPalette::create(self);
    w->setToolbarViewTakesMouseWhileBlocked(true);
    std::weak_ptr<Toolbar> weak = self;
    std::weak_ptr<Window> weakWindow = w;
    w->beginSheet(m_palette, [weak, weakWindow](long) {
        auto toolbar = weak.lock();
        if (auto parent = weakWindow.lock())
            parent->setToolbarViewTakesMouseWhileBlocked(false);
        if (!toolbar)
            return;
        toolbar->m_customizing = false;
        toolbar->m_palette.reset();
        toolbar->saveConfiguration();
        if (toolbar->m_view)
            toolbar->m_view->setNeedsDisplay(true);
    });
}

void Toolbar::endCustomization()
{
    auto w = window();
    // A copy: ending the sheet lets go of m_palette.
    if (auto palette = m_palette; w && palette)
        w->endSheet(palette, ModalResponse::OK);
}

}
