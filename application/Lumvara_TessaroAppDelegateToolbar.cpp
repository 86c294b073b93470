// The main window's toolbar: Export, Clipboard and Preferences beside the standard items, arranged by the person
// and kept in the defaults.
#include "application/Lumvara_TessaroAppDelegate.h"

#include "platform/foundation/files/Bundle.h"
#include "platform/graphics/Image.h"
#include "platform/ui/views/Window.h"

namespace {

struct OwnItem {
    const fnd::String& identifier;
    const char* label;
    const char* image;
    const char* action;
    const char* toolTip;
};

const std::vector<OwnItem>& ownItems()
{
    using D = Lumvara_TessaroAppDelegate;
    static const std::vector<OwnItem> items {
        { D::ExportItemIdentifier, "LSExport", "Export", "export:", "LSExportToolTip" },
        { D::ClipboardItemIdentifier, "LSClipboardAction", "clipboard_add",
            "exportToPasteboard:", "LSClipboardActionToolTip" },
        { D::PreferencesItemIdentifier, "LSPreferences", "General_Prefs", "showPreferences:", "LSPreferencesToolTip" },
    };
    return items;
}

}

void Lumvara_TessaroAppDelegate::setupToolbar()
{
    if (!m_window)
        return;
    auto toolbar = ui::Toolbar::create(ToolbarIdentifier);
    toolbar->setDelegate(self());
    toolbar->setAllowsUserCustomization(true);
    toolbar->setAutosavesConfiguration(true);
    toolbar->attachToWindow(m_window);
}

std::shared_ptr<ui::ToolbarItem> Lumvara_TessaroAppDelegate::toolbarItemForItemIdentifier(
    ui::Toolbar&, const fnd::String& identifier, bool)
{
    auto bundle = fnd::Bundle::bundleForClass(className());
    for (const auto& own : ownItems()) {
        if (own.identifier != identifier)
            continue;
        auto item = ui::ToolbarItem::create(identifier);
        const auto label = bundle->localizedStringForKey(own.label, {}, "Localizable");
        item->setLabel(label);
        item->setPaletteLabel(label);
        item->setImage(gfx::Image::imageNamed(own.image));
        item->setTarget(self());
        item->setAction(own.action);
        item->setToolTip(bundle->localizedStringForKey(own.toolTip, {}, "Localizable"));
        return item;
    }
    return nullptr;
}

std::vector<fnd::String> Lumvara_TessaroAppDelegate::toolbarAllowedItemIdentifiers(ui::Toolbar&)
{
    using namespace ui::ToolbarItemIdentifier;
    return { ShowFonts, ShowColors, Separator, Space, FlexibleSpace, CustomizeToolbar, ExportItemIdentifier,
        PreferencesItemIdentifier, ClipboardItemIdentifier };
}

std::vector<fnd::String> Lumvara_TessaroAppDelegate::toolbarDefaultItemIdentifiers(ui::Toolbar&)
{
    using namespace ui::ToolbarItemIdentifier;
    return { ExportItemIdentifier, ClipboardItemIdentifier, FlexibleSpace, ShowFonts, ShowColors, FlexibleSpace,
        PreferencesItemIdentifier };
}
