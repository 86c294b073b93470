#pragma once

#include "application/FormRows.h"

#include "barcodes/TBQDataEntryDelegate.h"
#include "barcodes/TBQGenericBarcode.h"

#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/foundation/runtime/Object.h"
#include "platform/ui/containers/Toolbar.h"
#include "platform/ui/controls/Control.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/panels/SavePanel.h"
#include "platform/ui/text/ComboBoxCell.h"
#include "platform/ui/views/Application.h"

#include <memory>

class AboutBox;
class TessaroBarcodeView;
class ZORColorBackgroundView;
class ZORScrollView;

namespace ui {
class Button;
class ColorWell;
class ComboBox;
class PopUpButton;
class SavePanel;
class TextField;
class View;
class Window;
}

// The application's delegate and the controller of its one window: it keeps the barcode being edited, applies every
// control to it at once, remembers each choice in the user defaults and shows the barcode in the preview. The main
// window, its preferences sheet and the export sheet's accessory view come from the interface file "MainMenu",
// whose owner it is; their controls are its outlets and send its actions.
//
// Its work is split by subject: start-up, barcode creation and the refresh of the controls here; the control
// actions, the combo boxes' lists and the barcode's callbacks in ...Actions.cpp; the toolbar in ...Toolbar.cpp;
// clipboard and export in ...Export.cpp; preferences, About and the links in ...Preferences.cpp.
class Lumvara_TessaroAppDelegate : public fnd::Object,
                                   public ui::ApplicationDelegate,
                                   public ui::ToolbarDelegate,
                                   public ui::ComboBoxDataSource,
                                   public ui::ControlTextEditingDelegate,
                                   public ui::MenuItemValidation,
                                   public ui::OpenSavePanelDelegate,
                                   public TBQDataEntryDelegate {
    FND_OBJECT(Lumvara_TessaroAppDelegate)
    static void describeClass(fnd::ClassBuilder<Lumvara_TessaroAppDelegate>& c);

public:
    using BarcodePtr = TBQGenericBarcode::BarcodePtr;

    // The symbologies of the pop-up by class name, in menu order; an empty name stands for a separator.
    static const std::vector<fnd::String>& symbologyClassNames();
    // Seconds the defaults gather changes before they are written (typing changes them at every keystroke).
    static constexpr double DefaultsWriteDelay = 1.0;
    // Refreshes of the controls after a unit change and after a font height change.
    static constexpr double UnitChangeRefreshDelay = 0.1;
    static constexpr double FontHeightRefreshDelay = 1.0;

    // The class's own initialisation: the registered defaults, the size lists and the measurement units. Runs once,
    // before the first delegate is made.
    static void initialize();

    Lumvara_TessaroAppDelegate();
    ~Lumvara_TessaroAppDelegate() override;
    void init();
    void awakeFromNib();

    // Start-up and the barcode.
    const BarcodePtr& currentBarcode() const { return m_currentBarcode; }
    void setCurrentBarcode(const BarcodePtr& barcode) { m_currentBarcode = barcode; }
    bool didFinishLaunching() const { return m_didFinishLaunching; }
    double scaleFactor() const { return m_scaleFactor; }
    // A class name that is not one of the symbologies makes an EAN-13.
    void setBarcodeWithClassName(const fnd::String& className);
    void setDefaultParameterToBarcode(TBQGenericBarcode& barcode);
    void zoomFactorPopupChanged(const fnd::Value& sender);
    // Every control shows the current barcode (nothing without one). A field being edited keeps what is typed.
    void updateUI();
    void handleZORApplicationMeasurementCenterDVNAppUnitDidChangedNotification(const fnd::Notification& notification);

    // Application delegate.
    void applicationDidFinishLaunching(ui::Application& application) override;
    bool applicationShouldTerminateAfterLastWindowClosed(ui::Application&) override { return true; }
    // Settings that cannot be saved when the person quits (or closes the window, which quits) are told first, as
    // while running: Don't Quit stays (the window comes back if it was closed), Quit Anyway ends without them.
    ui::TerminateReply applicationShouldTerminate(ui::Application& application) override;
    // Writes the defaults that still wait, so nothing typed is lost.
    void applicationWillTerminate(ui::Application& application) override;

    // Control actions (Lumvara_TessaroAppDelegateActions.cpp).
    void barcodePopupButtonChanged(const fnd::Value& sender);
    void contentChanged(const fnd::Value& sender);
    void calculateChecksumButtonChanged(const fnd::Value& sender);
    void addOnChanged(const fnd::Value& sender);
    void modulWidthChanged(const fnd::Value& sender);
    void barcodeHeightChanged(const fnd::Value& sender);
    void barcodeColorChanged(const fnd::Value& sender);
    void backgroundColorChanged(const fnd::Value& sender);
    void drawBackgroundStateChanged(const fnd::Value& sender);
    void autoCalcQuietZoneStateChanged(const fnd::Value& sender);
    void drawCaptionButtonChanged(const fnd::Value& sender);
    void fontHeightChanged(const fnd::Value& sender);
    void changeFont(const fnd::Value& sender);
    void chooseFontButtonAction(const fnd::Value& sender);
    void barcodeWidthChanged(const fnd::Value& sender);
    long validModesForFontPanel(const fnd::Value& fontPanel);
    void controlTextDidChange(const fnd::Object& notification) override;
    // The size fields (Lumvara_TessaroAppDelegateSizeFields.cpp): text that is no length, and Escape, put the length
    // in use back into the field.
    bool controlDidFailToFormatString(
        ui::Control& control, const fnd::String& string, const fnd::String& error) override;
    bool controlDoCommandBySelector(ui::Control& control, ui::View& fieldEditor, fnd::Selector selector) override;

    // The size combo boxes' lists; any other combo box has none.
    long numberOfItemsInComboBox(ui::ComboBox& comboBox) override;
    fnd::Value comboBoxObjectValueForItemAtIndex(ui::ComboBox& comboBox, long index) override;
    std::optional<long> comboBoxIndexOfItemWithStringValue(ui::ComboBox& comboBox, const fnd::String& string) override;

    // The barcode's callbacks.
    void barcodeWorkAreaChanged(TBQGenericBarcode& barcode) override;
    void drawingAttributeChanged(TBQGenericBarcode& barcode) override;
    void attributesChangedOfDataEntry(TBQDataEntry& entry) override;

    // Toolbar (Lumvara_TessaroAppDelegateToolbar.cpp).
    static inline const fnd::String ToolbarIdentifier = "LumvaraTessaroMainToolbar";
    static inline const fnd::String ExportItemIdentifier = "Export";
    static inline const fnd::String ClipboardItemIdentifier = "Clipboard";
    static inline const fnd::String PreferencesItemIdentifier = "Preferences";
    void setupToolbar();
    std::shared_ptr<ui::ToolbarItem> toolbarItemForItemIdentifier(
        ui::Toolbar& toolbar, const fnd::String& identifier, bool willBeInserted) override;
    std::vector<fnd::String> toolbarDefaultItemIdentifiers(ui::Toolbar& toolbar) override;
    std::vector<fnd::String> toolbarAllowedItemIdentifiers(ui::Toolbar& toolbar) override;
    // The toolbar's items are valid as their menu items are (validateUserInterfaceAction).
    bool validateToolbarItem(const fnd::Value& item);

    // Clipboard and export (Lumvara_TessaroAppDelegateExport.cpp).
    // Whether the barcode can leave the application (Export, Copy, a drag): there is one, and it shows no error in
    // place of its symbol. While it cannot, those actions are disabled and the preview says why.
    bool canExportBarcode() const;
    void exportToPasteboard(const fnd::Value& sender);
    // The Edit menu's Copy when nothing before this in the responder chain copies (no text is selected): the
    // barcode goes to the clipboard as the toolbar's Clipboard item puts it there.
    void copy(const fnd::Value& sender);
    void exportBarcode(const fnd::Value& sender);
    void exportSavePanelDidEnd(ui::SavePanel& panel, long returnCode);
    void updateAccessoryViewUI();
    void fileTypePopupChanged(const fnd::Value& sender);
    void colorSpacePopupChanged(const fnd::Value& sender);
    // A confirmed name whose extension names another format ("label.png" while PDF is chosen) chooses that format,
    // so the file is not named "label.png.pdf".
    void panelUserEnteredFilename(ui::SavePanel& panel, const fnd::String& filename) override;
    // The export panel while it is shown.
    const std::shared_ptr<ui::SavePanel>& savePanel() const { return m_savePanel; }

    // Preferences, About and links (Lumvara_TessaroAppDelegatePreferences.cpp).
    void showPreferences(const fnd::Value& sender);
    void abortPreferencesDialog(const fnd::Value& sender);
    void showAboutBox(const fnd::Value& sender);
    void showSendFeedbackDialog(const fnd::Value& sender);
    void visitURL(const fnd::Value& sender);
    // Feedback needs a receiver and the link an address; Export and Copy a barcode that can be exported, Export and
    // Preferences no open sheet; without them their items are disabled.
    bool validateMenuItem(ui::MenuItem& item) override;
    bool validateUserInterfaceAction(fnd::Selector action) const;
    // A settings file that could not be read and was set aside is told to the person, once, in an alert.
    void reportSettingsSetAside();
    // Settings that could not be written (a read-only folder, a full disk) are told alike, once until they can be
    // written again; the changes serve meanwhile and each later change tries again.
    void reportSettingsNotSaved();
    // The menu's Quit.
    void terminate(const fnd::Value& sender);
    const std::shared_ptr<AboutBox>& aboutBox() const { return m_aboutBoxWindow; }

    // Outlets.
    const std::shared_ptr<ui::Window>& window() const { return m_window; }
    void setWindow(const std::shared_ptr<ui::Window>& window) { m_window = window; }
    const std::shared_ptr<TessaroBarcodeView>& previewView() const { return m_previewView; }
    const std::shared_ptr<ZORScrollView>& previewScrollView() const { return m_previewScrollView; }
    const std::shared_ptr<ui::PopUpButton>& zoomPopupButton() const { return m_zoomPopupButton; }
    const std::shared_ptr<ui::PopUpButton>& barcodePopupButton() const { return m_barcodePopupButton; }
    const std::shared_ptr<ui::TextField>& contentTextField() const { return m_contentTextField; }
    const std::shared_ptr<ui::TextField>& contentInfoTextField() const { return m_contentInfoTextField; }
    const std::shared_ptr<ui::Button>& calculateChecksumButton() const { return m_calculateChecksumButton; }
    const std::shared_ptr<ui::TextField>& addOnTextField() const { return m_addOnTextField; }
    const std::shared_ptr<ui::TextField>& addOnTextFieldLabel() const { return m_addonTextFieldLabel; }
    const std::shared_ptr<ui::ComboBox>& modulWidthComboBox() const { return m_modulWidthComboBox; }
    const std::shared_ptr<ui::ComboBox>& barcodeHeightComboBox() const { return m_barcodeHeightComboBox; }
    const std::shared_ptr<ui::TextField>& barcodeHeightComboBoxLabel() const { return m_barcodeHeightComboBoxLabel; }
    const std::shared_ptr<ui::ColorWell>& textColorWell() const { return m_textColorWell; }
    const std::shared_ptr<ui::ColorWell>& barcodeColorWell() const { return m_barcodeColorWell; }
    const std::shared_ptr<ui::ColorWell>& backgroundColorWell() const { return m_backgroundColorWell; }
    const std::shared_ptr<ui::Button>& drawBackgroundButton() const { return m_drawBackgroundButton; }
    const std::shared_ptr<ui::Button>& autoCalcQuietZoneButton() const { return m_autoCalcQuietZoneButton; }
    const std::shared_ptr<ui::ComboBox>& fontHeightComboBox() const { return m_fontHeightComboBox; }
    const std::shared_ptr<ui::TextField>& fontHeightComboBoxLabel() const { return m_fontHeightComboBoxLabel; }
    const std::shared_ptr<ui::Button>& chooseFontButton() const { return m_chooseFontButton; }
    const std::shared_ptr<ui::TextField>& chooseFontButtonLabel() const { return m_chooseFontButtonLabel; }
    const std::shared_ptr<ui::Button>& drawCaptionButton() const { return m_drawCaptionButton; }
    const std::shared_ptr<ui::TextField>& barcodeWidthTextField() const { return m_barcodeWidthTextField; }
    const std::shared_ptr<ui::Window>& prefWindow() const { return m_prefWindow; }
    const std::shared_ptr<ui::PopUpButton>& prefFontSizePopupButton() const { return m_prefFontSizePopupButton; }
    const std::shared_ptr<ui::PopUpButton>& prefLineSizePopupButton() const { return m_prefLineSizePopupButton; }
    const std::shared_ptr<ui::View>& exportAccessoryView() const { return m_exportAccessoryView; }
    const std::shared_ptr<ui::PopUpButton>& exportFileTypePopup() const { return m_exportFileTypePopup; }
    const std::shared_ptr<ui::TextField>& exportImageResolutionTitle() const { return m_exportImageResolutionTitle; }
    const std::shared_ptr<ui::PopUpButton>& exportImageResolutionPopup() const { return m_exportImageResolutionPopup; }
    const std::shared_ptr<ui::TextField>& exportImageColorSpaceTitle() const { return m_exportImageColorSpaceTitle; }
    const std::shared_ptr<ui::PopUpButton>& exportImageColorSpacePopup() const { return m_exportImageColorSpacePopup; }

private:
    std::shared_ptr<Lumvara_TessaroAppDelegate> self();
    // An alert about the settings: on the window when it can take a sheet, else on its own.
    void showSettingsAlert(const fnd::String& message, const fnd::String& informative);
    // Whether the window can show an alert as a sheet now.
    bool windowCanTakeSheet() const;
    // The preview redraws when the changed barcode is its barcode or that barcode's add-on.
    void barcodeChanged(TBQGenericBarcode& barcode);
    // The list a size combo box offers; nullopt for any other combo box.
    std::optional<fnd::Array> sizeListForComboBox(const ui::ComboBox& comboBox) const;
    void showSizeInComboBox(ui::ComboBox& comboBox, const fnd::Array& list, double value);
    void updateContentInfo();
    void applyFont(const std::shared_ptr<gfx::Font>& font);
    // Whether a switch's state is remembered at once or only once launching is over (launching sets the switch).
    enum class Remember { Always, AfterLaunching };
    // A check box's state given to the barcode through the setter, and remembered under the key.
    void applySwitch(const fnd::Value& sender, void (TBQGenericBarcode::*set)(bool), const fnd::String& key,
        Remember remember = Remember::Always);
    // A colour well's colour given to the barcode through the setter, and remembered under the key.
    void applyColor(const fnd::Value& sender, void (TBQGenericBarcode::*set)(const std::shared_ptr<gfx::Color>&),
        const fnd::String& key);
    // The length a size field holds, when there is a barcode to take it and it is above 0; otherwise nullopt, and
    // the controls show the barcode's own values again.
    std::optional<double> acceptedLength(const fnd::Value& sender);
    // A size field's length given to the barcode through the setter; the size the barcode keeps (read back through
    // the getter) goes into the field's list (`used`) and is remembered under the key.
    void applySize(const fnd::Value& sender, void (TBQGenericBarcode::*set)(double),
        double (TBQGenericBarcode::*get)() const, void (*used)(float), const fnd::String& key);
    void scheduleUpdateUI(double delay);
    std::vector<std::shared_ptr<ui::TextField>> sizeFields() const;
    // What a size field shows when it shows the barcode: the barcode's length (as its size-list entry when the list
    // has it); nullopt for other controls or without a barcode.
    std::optional<fnd::Value> appliedSizeOf(const ui::Control& control) const;
    // Puts that length into the field, or into its editor while it is edited; false for other controls.
    bool showAppliedSize(ui::Control& control);
    // After a change of units, fields being edited show their length in the new unit too.
    void showAppliedSizesInEditedFields();

    std::shared_ptr<ui::Window> m_window;
    std::shared_ptr<ZORColorBackgroundView> m_backgroundView;
    std::shared_ptr<ZORScrollView> m_previewScrollView;
    std::shared_ptr<TessaroBarcodeView> m_previewView;
    std::shared_ptr<ui::PopUpButton> m_zoomPopupButton;
    std::shared_ptr<ui::PopUpButton> m_barcodePopupButton;
    std::shared_ptr<ui::TextField> m_contentTextField;
    std::shared_ptr<ui::TextField> m_contentInfoTextField;
    std::shared_ptr<ui::Button> m_calculateChecksumButton;
    std::shared_ptr<ui::TextField> m_addOnTextField;
    std::shared_ptr<ui::TextField> m_addonTextFieldLabel;
    std::shared_ptr<ui::ComboBox> m_modulWidthComboBox;
    std::shared_ptr<ui::ComboBox> m_barcodeHeightComboBox;
    std::shared_ptr<ui::TextField> m_barcodeHeightComboBoxLabel;
    std::shared_ptr<ui::ColorWell> m_textColorWell;
    std::shared_ptr<ui::ColorWell> m_barcodeColorWell;
    std::shared_ptr<ui::ColorWell> m_backgroundColorWell;
    std::shared_ptr<ui::Button> m_drawBackgroundButton;
    std::shared_ptr<ui::Button> m_autoCalcQuietZoneButton;
    std::shared_ptr<ui::ComboBox> m_fontHeightComboBox;
    std::shared_ptr<ui::TextField> m_fontHeightComboBoxLabel;
    std::shared_ptr<ui::Button> m_chooseFontButton;
    std::shared_ptr<ui::TextField> m_chooseFontButtonLabel;
    std::shared_ptr<ui::Button> m_drawCaptionButton;
    // The heading of the caption's controls, hidden with them.
    std::shared_ptr<ui::TextField> m_captionSectionLabel;
    std::shared_ptr<ui::TextField> m_barcodeWidthTextField;
    std::shared_ptr<ui::Window> m_prefWindow;
    std::shared_ptr<ui::PopUpButton> m_prefFontSizePopupButton;
    std::shared_ptr<ui::PopUpButton> m_prefLineSizePopupButton;
    std::shared_ptr<ui::View> m_exportAccessoryView;
    std::shared_ptr<ui::PopUpButton> m_exportFileTypePopup;
    std::shared_ptr<ui::TextField> m_exportImageResolutionTitle;
    std::shared_ptr<ui::PopUpButton> m_exportImageResolutionPopup;
    std::shared_ptr<ui::TextField> m_exportImageColorSpaceTitle;
    std::shared_ptr<ui::PopUpButton> m_exportImageColorSpacePopup;

    std::vector<fnd::String> m_barcodeArray;
    BarcodePtr m_currentBarcode;
    double m_scaleFactor { 1 };
    std::shared_ptr<ui::SavePanel> m_savePanel;
    std::shared_ptr<AboutBox> m_aboutBoxWindow;
    bool m_didFinishLaunching { false };
    // The colour the add-on label shows now (nullopt before the first refresh).
    std::optional<bool> m_addOnLabelMarkedEnabled;
    // The form's rows as laid out, so that hidden controls leave no hole.
    FormRows m_formRows;
    fnd::NotificationObserverToken m_unitObserver;
    fnd::NotificationObserverToken m_settingsSetAsideObserver;
    fnd::NotificationObserverToken m_settingsNotSavedObserver;
    // While the question whether to quit without the settings waits for its answer.
    bool m_askingToQuit { false };
    // Whether Export and Copy were available at the last refresh: the toolbar validates again when it changes.
    std::optional<bool> m_barcodeWasExportable;
};
