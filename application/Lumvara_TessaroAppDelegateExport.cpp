// The barcode leaving the application: the clipboard, and the export sheet with its accessory view.
#include "application/Lumvara_TessaroAppDelegate.h"

#include "application/ApplicationSupport.h"
#include "application/BarcodeExporter.h"
#include "application/PreferencesKeys.h"
#include "application/TessaroBarcodeView.h"

#include "frameworks/ZORAppKit/ZORSheetPresentation/ZORSheetPresentation.h"
#include "platform/foundation/files/UserDefaults.h"
#include "platform/ui/controls/PopUpButton.h"
#include "platform/ui/panels/Alert.h"
#include "platform/ui/panels/SavePanel.h"
#include "platform/ui/text/TextField.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Window.h"

namespace {

long selectedTag(const std::shared_ptr<ui::PopUpButton>& popUp)
{
    return popUp && popUp->selectedItem() ? popUp->selectedTag() : 0;
}

void selectTag(const std::shared_ptr<ui::PopUpButton>& popUp, long tag)
{
    if (popUp)
        popUp->selectItemWithTag(tag);
}

void showAndEnable(const std::shared_ptr<ui::Control>& control, bool shown, bool enabled)
{
    if (!control)
        return;
    control->setHidden(!shown);
    control->setEnabled(enabled);
}

}

bool Lumvara_TessaroAppDelegate::canExportBarcode() const
{
    return m_currentBarcode && TBQBarcodeView::errorTextOfBarcode(*m_currentBarcode).isEmpty();
}

void Lumvara_TessaroAppDelegate::exportToPasteboard(const fnd::Value& sender)
{
    if (!m_previewView || !m_previewView->barcode() || !canExportBarcode()) {
        ui::Application::shared().beep();
        return;
    }
    // The view draws its PDF in export mode itself.
    m_previewView->copy(sender);
}

void Lumvara_TessaroAppDelegate::copy(const fnd::Value& sender)
{
    exportToPasteboard(sender);
}

void Lumvara_TessaroAppDelegate::exportBarcode(const fnd::Value&)
{
    if (!m_window || !canExportBarcode() || m_window->attachedSheet()) {
        ui::Application::shared().beep();
        return;
    }
    m_savePanel = ui::SavePanel::savePanel();
    m_savePanel->setDelegate(self());
    selectTag(m_exportFileTypePopup, long(defaults().integerForKey(LMVExportFileTypeTag)));
    selectTag(m_exportImageResolutionPopup, long(defaults().integerForKey(LMVExportResolutionTag)));
    selectTag(m_exportImageColorSpacePopup, long(defaults().integerForKey(LMVExportColorSpaceTag)));
    m_savePanel->setCanCreateDirectories(true);
    // Where the last export went, under a name made from the barcode.
    if (auto folder = defaults().stringForKey(LMVExportFolderKey); folder && !folder->isEmpty())
        m_savePanel->setDirectory(*folder);
    updateAccessoryViewUI();
    m_savePanel->setNameFieldStringValue(
        m_savePanel->nameWithRequiredExtension(BarcodeExporter::proposedFileName(*m_currentBarcode)));
    m_savePanel->setAccessoryView(m_exportAccessoryView);

    ZORSheetPresentation::sharedSheetPresentation().prepareSheetPresentationForWindow(*m_window);
    std::weak_ptr<Lumvara_TessaroAppDelegate> weakSelf = self();
    auto panel = m_savePanel;
    m_savePanel->beginSheetModalForWindow(m_window, [weakSelf, panel](long code) {
        if (auto delegate = weakSelf.lock())
            delegate->exportSavePanelDidEnd(*panel, code);
    });
    // The person names the file first.
    if (m_savePanel && m_savePanel->isSheet())
        m_savePanel->makeFirstResponder(m_savePanel->nameField());
}

void Lumvara_TessaroAppDelegate::exportSavePanelDidEnd(ui::SavePanel& panel, long returnCode)
{
    auto keep = m_savePanel;
    panel.makeFirstResponder(nullptr);
    // The accessory view serves the next panel too.
    panel.setAccessoryView(nullptr);
    if (m_window)
        ZORSheetPresentation::sharedSheetPresentation().cleanUpSheetPresentationForWindow(*m_window);
    m_savePanel.reset();
    if (returnCode != ui::ModalResponse::OK || !m_currentBarcode)
        return;

    const long fileType = selectedTag(m_exportFileTypePopup);
    const long resolution = selectedTag(m_exportImageResolutionPopup);
    const long colorSpace = selectedTag(m_exportImageColorSpacePopup);
    auto& d = defaults();
    d.setInteger(fileType, LMVExportFileTypeTag);
    d.setInteger(resolution, LMVExportResolutionTag);
    d.setInteger(colorSpace, LMVExportColorSpaceTag);
    d.setObject(panel.path().stringByDeletingLastPathComponent(), LMVExportFolderKey);

    auto written
        = BarcodeExporter::exportBarcode(m_currentBarcode, fileType, double(resolution), colorSpace, panel.path());
    if (written || !m_window)
        return;
    // The person learns which file was not written and why; the file keeps what it had.
    auto alert = ui::Alert::create();
    alert->setAlertStyle(ui::AlertStyle::Warning);
    alert->setMessageText(written.error().localizedDescription());
    alert->setInformativeText(written.error().localizedFailureReason());
    ZORSheetPresentation::sharedSheetPresentation().prepareSheetPresentationForWindow(*m_window);
    std::weak_ptr<ui::Window> weakWindow = m_window;
    alert->beginSheetModalForWindow(m_window, [weakWindow](long) {
        if (auto window = weakWindow.lock())
            ZORSheetPresentation::sharedSheetPresentation().cleanUpSheetPresentationForWindow(*window);
    });
}

void Lumvara_TessaroAppDelegate::updateAccessoryViewUI()
{
    const long fileType = selectedTag(m_exportFileTypePopup);
    const auto settings = BarcodeExporter::settingsForFileType(fileType);
    showAndEnable(m_exportImageResolutionPopup, settings.resolutionShown, settings.resolutionEnabled);
    showAndEnable(m_exportImageResolutionTitle, settings.resolutionShown, settings.resolutionEnabled);
    showAndEnable(m_exportImageColorSpacePopup, settings.colorSpaceShown, settings.colorSpaceEnabled);
    showAndEnable(m_exportImageColorSpaceTitle, settings.colorSpaceShown, settings.colorSpaceEnabled);
    if (settings.colorSpaceResetToRGB)
        selectTag(m_exportImageColorSpacePopup, BarcodeExporter::RGBColorSpaceTag);
    // A name may end in any of the format's extensions ("x.jpeg"); one without gets the required one.
    if (m_savePanel)
        m_savePanel->setAllowedFileTypes(BarcodeExporter::extensionsForFileType(fileType));
}

void Lumvara_TessaroAppDelegate::panelUserEnteredFilename(ui::SavePanel& panel, const fnd::String& filename)
{
    if (&panel != m_savePanel.get() || !m_exportFileTypePopup)
        return;
    // As a save panel does with its format pop-up: the extension typed chooses the format it names.
    auto named = BarcodeExporter::fileTypeForExtension(filename.pathExtension());
    if (!named || *named == selectedTag(m_exportFileTypePopup))
        return;
    selectTag(m_exportFileTypePopup, *named);
    updateAccessoryViewUI();
}

void Lumvara_TessaroAppDelegate::fileTypePopupChanged(const fnd::Value&)
{
    updateAccessoryViewUI();
}

void Lumvara_TessaroAppDelegate::colorSpacePopupChanged(const fnd::Value&)
{
    updateAccessoryViewUI();
}
