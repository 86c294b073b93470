// Start-up, barcode creation from the remembered settings, the zoom, and the refresh of every control.
#include "application/Lumvara_TessaroAppDelegate.h"

#include "application/AboutBox.h"
#include "application/ApplicationSupport.h"
#include "application/Preferences.h"
#include "application/PreferencesKeys.h"
#include "application/TessaroBarcodeView.h"

#include "barcodes/TBQGeneric2DBarcode.h"
#include "frameworks/AppKitExtensions/ZORNSTextFieldExtension.h"
#include "frameworks/FoundationExtensions/ZORAppMeasurementNumberFormatter.h"
#include "frameworks/FoundationExtensions/ZORApplicationMeasurementCenter.h"
#include "frameworks/FoundationExtensions/ZORNumberContainer.h"
#include "frameworks/FoundationExtensions/ui/ZORCrashReporter.h"
#include "frameworks/ZORAppKit/ZORCenteringClipView/ZORCenteringClipView.h"
#include "frameworks/ZORAppKit/ZORColorBackgroundView/ZORColorBackgroundView.h"
#include "frameworks/ZORAppKit/ZORScrollView/ZORScrollView.h"
#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/files/UserDefaults.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/Perform.h"
#include "platform/foundation/runtime/StringFormat.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/FontManager.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/ColorWell.h"
#include "platform/ui/controls/PopUpButton.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/panels/ColorPanel.h"
#include "platform/ui/panels/SavePanel.h"
#include "platform/ui/text/ComboBox.h"
#include "platform/ui/text/TextField.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <mutex>

FND_REGISTER_CLASS(Lumvara_TessaroAppDelegate, fnd::Object)

namespace {

// How much narrower than laid out the window may become (the preview's width).
constexpr double MaximumPreviewShrink = 300;

// Shows the value unless the person is typing in the control: a field being edited keeps what is typed.
template <typename Control, typename Apply> void showUnlessEditing(const std::shared_ptr<Control>& control, Apply apply)
{
    if (control && !control->currentEditor())
        apply(*control);
}

// Every keystroke refreshes the controls: only what changes is set, so only that is drawn again.
void setState(const std::shared_ptr<ui::Button>& button, bool on)
{
    const auto state = on ? ui::ControlStateValue::On : ui::ControlStateValue::Off;
    if (button && button->state() != state)
        button->setState(state);
}

// Controls ignore a state they already have.
void setEnabled(const std::shared_ptr<ui::Control>& control, bool enabled)
{
    if (control)
        control->setEnabled(enabled);
}

void setObjectValue(ui::Control& control, const fnd::Value& value)
{
    if (control.objectValue() != value)
        control.setObjectValue(value);
}

std::shared_ptr<ZORAppMeasurementNumberFormatter> lengthFormatter(DVNAppUnitType type, std::uint32_t digits)
{
    auto formatter = fnd::makeObject<ZORAppMeasurementNumberFormatter>();
    formatter->setAppUnitType(type);
    formatter->setNumberOfDigitsAfterPoint(digits);
    return formatter;
}

}

void Lumvara_TessaroAppDelegate::describeClass(fnd::ClassBuilder<Lumvara_TessaroAppDelegate>& c)
{
    using T = Lumvara_TessaroAppDelegate;
    // Outlets, connected by the interface file.
    c.property("window", &T::m_window);
    c.property("backgroundView", &T::m_backgroundView);
    c.property("previewScrollView", &T::m_previewScrollView);
    c.property("zoomPopupButton", &T::m_zoomPopupButton);
    c.property("barcodePopupButton", &T::m_barcodePopupButton);
    c.property("contentTextField", &T::m_contentTextField);
    c.property("contentInfoTextField", &T::m_contentInfoTextField);
    c.property("calculateChecksumButton", &T::m_calculateChecksumButton);
    c.property("addOnTextField", &T::m_addOnTextField);
    c.property("addonTextFieldLabel", &T::m_addonTextFieldLabel);
    c.property("modulWidthComboBox", &T::m_modulWidthComboBox);
    c.property("barcodeHeightComboBox", &T::m_barcodeHeightComboBox);
    c.property("barcodeHeightComboBoxLabel", &T::m_barcodeHeightComboBoxLabel);
    c.property("textColorWell", &T::m_textColorWell);
    c.property("barcodeColorWell", &T::m_barcodeColorWell);
    c.property("backgroundColorWell", &T::m_backgroundColorWell);
    c.property("drawBackgroundButton", &T::m_drawBackgroundButton);
    c.property("autoCalcQuietZoneButton", &T::m_autoCalcQuietZoneButton);
    c.property("fontHeightComboBox", &T::m_fontHeightComboBox);
    c.property("fontHeightComboBoxLabel", &T::m_fontHeightComboBoxLabel);
    c.property("chooseFontButton", &T::m_chooseFontButton);
    c.property("chooseFontButtonLabel", &T::m_chooseFontButtonLabel);
    c.property("drawCaptionButton", &T::m_drawCaptionButton);
    c.property("captionSectionLabel", &T::m_captionSectionLabel);
    c.property("barcodeWidthTextField", &T::m_barcodeWidthTextField);
    c.property("prefWindow", &T::m_prefWindow);
    c.property("prefFontSizePopupButton", &T::m_prefFontSizePopupButton);
    c.property("prefLineSizePopupButton", &T::m_prefLineSizePopupButton);
    c.property("exportAccessoryView", &T::m_exportAccessoryView);
    c.property("exportFileTypePopup", &T::m_exportFileTypePopup);
    c.property("exportImageResolutionTitle", &T::m_exportImageResolutionTitle);
    c.property("exportImageResolutionPopup", &T::m_exportImageResolutionPopup);
    c.property("exportImageColorSpaceTitle", &T::m_exportImageColorSpaceTitle);
    c.property("exportImageColorSpacePopup", &T::m_exportImageColorSpacePopup);

    c.action("awakeFromNib", &T::awakeFromNib);
    c.action("zoomFactorPopupChanged:", &T::zoomFactorPopupChanged);
    c.action("barcodePopupButtonChanged:", &T::barcodePopupButtonChanged);
    c.action("contentChanged:", &T::contentChanged);
    c.action("calculateChecksumButtonChanged:", &T::calculateChecksumButtonChanged);
    c.action("addOnChanged:", &T::addOnChanged);
    c.action("modulWidthChanged:", &T::modulWidthChanged);
    c.action("barcodeHeightChanged:", &T::barcodeHeightChanged);
    c.action("barcodeColorChanged:", &T::barcodeColorChanged);
    c.action("backgroundColorChanged:", &T::backgroundColorChanged);
    c.action("drawBackgroundStateChanged:", &T::drawBackgroundStateChanged);
    c.action("autoCalcQuietZoneStateChanged:", &T::autoCalcQuietZoneStateChanged);
    c.action("drawCaptionButtonChanged:", &T::drawCaptionButtonChanged);
    c.action("fontHeightChanged:", &T::fontHeightChanged);
    c.action("changeFont:", &T::changeFont);
    c.action("chooseFontButtonAction:", &T::chooseFontButtonAction);
    c.action("barcodeWidthChanged:", &T::barcodeWidthChanged);
    c.action("validModesForFontPanel:", &T::validModesForFontPanel);
    c.action("validateToolbarItem:", &T::validateToolbarItem);
    c.action("exportToPasteboard:", &T::exportToPasteboard);
    c.action("copy:", &T::copy);
    c.action("export:", &T::exportBarcode);
    c.action("fileTypePopupChanged:", &T::fileTypePopupChanged);
    c.action("colorSpacePopupChanged:", &T::colorSpacePopupChanged);
    c.action("showPreferences:", &T::showPreferences);
    c.action("abortPreferencesDialog:", &T::abortPreferencesDialog);
    c.action("showAboutBox:", &T::showAboutBox);
    c.action("showSendFeedbackDialog:", &T::showSendFeedbackDialog);
    c.action("visitURL:", &T::visitURL);
    c.action("terminate:", &T::terminate);
}

const std::vector<fnd::String>& Lumvara_TessaroAppDelegate::symbologyClassNames()
{
    static const std::vector<fnd::String> names { "EAN13", "EAN128", "EAN18", "EAN8", "EAN5", "EAN2", "EANVelocity", "",
        "ISBN13", "ISSN", "ISMN", "", "UPC_A", "UPC_E", "", "PZN", "ITF14", "", "Identcode", "Leitcode", "",
        "CodeTwoOfFiveInterleaved", "CodeTwoOfFiveIndustrial", "CodeTwoOfFiveMatrix", "Codabar", "Code11", "",
        "MSIPlessey", "Telepen", "TelepenNum", "OPC", "", "Code39", "Code39FullASCII", "Code93", "Code128", "", "QR",
        "DataMatrix" };
    return names;
}

void Lumvara_TessaroAppDelegate::initialize()
{
    static std::once_flag once;
    std::call_once(once, [] {
        Preferences::initialize();
        (void)Preferences::fontHeightArray();
        ZORApplicationMeasurementCenter::initializeInformationCenter();
        // Every keystroke changes a default: they are written together, and at quit.
        defaults().setWriteDelay(DefaultsWriteDelay);
    });
}

Lumvara_TessaroAppDelegate::Lumvara_TessaroAppDelegate()
{
    initialize();
}

Lumvara_TessaroAppDelegate::~Lumvara_TessaroAppDelegate()
{
    for (const auto& token : { m_unitObserver, m_settingsSetAsideObserver, m_settingsNotSavedObserver })
        if (token)
            fnd::NotificationCenter::defaultCenter().removeObserver(token);
}

void Lumvara_TessaroAppDelegate::init()
{
    m_barcodeArray = symbologyClassNames();
    m_scaleFactor = 1;
    m_didFinishLaunching = false;
}

std::shared_ptr<Lumvara_TessaroAppDelegate> Lumvara_TessaroAppDelegate::self()
{
    return std::static_pointer_cast<Lumvara_TessaroAppDelegate>(shared_from_this());
}

void Lumvara_TessaroAppDelegate::awakeFromNib()
{
    auto me = self();
    std::weak_ptr<Lumvara_TessaroAppDelegate> weakSelf = me;

    // 1. The units the person chooses in the preferences.
    if (!m_unitObserver)
        m_unitObserver = fnd::NotificationCenter::defaultCenter().addObserverForName(
            ZORApplicationMeasurementCenterZORAppUnitDidChangedNotification, {},
            [weakSelf](const fnd::Notification& notification) {
                if (auto delegate = weakSelf.lock())
                    delegate->handleZORApplicationMeasurementCenterDVNAppUnitDidChangedNotification(notification);
            });

    // 2. Colours with their opacity.
    ui::ColorPanel::sharedColorPanel()->setShowsAlpha(true);

    // 3. The window's background.
    if (m_backgroundView && m_window) {
        auto color = m_window->backgroundColor() ? m_window->backgroundColor() : gfx::Color::windowBackgroundColor();
        m_backgroundView->setBackgroundColor(color);
        m_backgroundView->setBlended(true);
    }

    // 4. The preview stays centred in its scroll view.
    if (m_previewScrollView) {
        auto oldClip = m_previewScrollView->contentView();
        auto clip = ZORCenteringClipView::create(oldClip ? oldClip->frame() : m_previewScrollView->bounds());
        m_previewScrollView->setContentView(clip);
        m_previewScrollView->setBackgroundColor(gfx::Color::lightGrayColor());
        m_previewScrollView->setDrawsBackground(true);
        m_previewScrollView->setBorderType(ui::BorderType::LineBorder);
    }

    // 5. The zoom pop-up sits beside the scroller, small and without a border.
    if (m_zoomPopupButton) {
        m_zoomPopupButton->setBordered(false);
        m_zoomPopupButton->setFont(gfx::Font::labelFontOfSize(gfx::Font::labelFontSize()));
    }

    // 6. The preview, and the zoom in the scroll view's slot right of the horizontal scroller.
    m_previewView = TessaroBarcodeView::createWithBarcode(nullptr);
    if (m_previewScrollView) {
        m_previewScrollView->setDocumentView(m_previewView);
        if (m_zoomPopupButton)
            m_previewScrollView->addView(m_zoomPopupButton, ZORScrollView::HorRight);
    }

    // 7. The symbologies, by their names.
    if (m_barcodePopupButton) {
        auto menu = ui::Menu::create();
        for (const auto& className : m_barcodeArray) {
            if (className.isEmpty()) {
                menu->addItem(ui::MenuItem::separatorItem());
                continue;
            }
            auto prototype = TBQGenericBarcode::barcodeWithClassName(className);
            auto item = ui::MenuItem::create(prototype ? prototype->barcodeName() : className);
            item->setTarget(me);
            item->setRepresentedObject(className);
            menu->addItem(item);
        }
        m_barcodePopupButton->setMenu(menu);
    }

    // 8. Lengths in the units the person chose: font sizes with two decimals, lines with three.
    if (m_fontHeightComboBox)
        m_fontHeightComboBox->setFormatter(lengthFormatter(DVNAppUnit::Font, 2));
    for (const auto& control : { std::static_pointer_cast<ui::TextField>(m_modulWidthComboBox),
             std::static_pointer_cast<ui::TextField>(m_barcodeHeightComboBox), m_barcodeWidthTextField })
        if (control)
            control->setFormatter(lengthFormatter(DVNAppUnit::Line, 3));
    // The size lists come from here; content and add-on follow every keystroke.
    for (const auto& box : { m_fontHeightComboBox, m_modulWidthComboBox, m_barcodeHeightComboBox }) {
        if (!box)
            continue;
        box->setUsesDataSource(true);
        box->setDataSource(me);
    }
    for (const auto& field : { m_contentTextField, m_addOnTextField })
        if (field)
            field->setDelegate(me);
    for (const auto& field : sizeFields())
        field->setDelegate(me);

    // Escape cancels the preferences sheet (an interface file cannot hold the Escape character).
    if (m_prefWindow && m_prefWindow->contentView())
        for (const auto& view : m_prefWindow->contentView()->subviews())
            if (auto button = std::dynamic_pointer_cast<ui::Button>(view); button && button->tag() == 0)
                button->setKeyEquivalent(u"\x1b");

    // The form closes up around the rows a symbology hides.
    if (m_backgroundView)
        m_formRows.capture(*m_backgroundView, { m_previewScrollView });

    // 9.
    setupToolbar();
    // F6 takes the keyboard from the form to the preview to the toolbar.
    if (m_window)
        m_window->setKeyViewAreas({ m_backgroundView, m_previewView, m_window->toolbarView() });
    // The controls keep their column; the preview gives way when the window narrows, down to a small one.
    if (m_window) {
        const gfx::Size size = m_window->frame().size;
        m_window->setMinSize({ size.width - MaximumPreviewShrink, size.height });
    }

    // 10. The remembered zoom.
    if (m_zoomPopupButton) {
        m_zoomPopupButton->selectItemWithTag(long(defaults().integerForKey(DefaultBarcodeZoomScaleKey)));
        zoomFactorPopupChanged(fnd::Value(m_zoomPopupButton));
    }
    updateUI();
}

void Lumvara_TessaroAppDelegate::applicationDidFinishLaunching(ui::Application&)
{
    setBarcodeWithClassName(defaults().stringForKey(DefaultBarcodeClassNameKey).value_or(fnd::String()));
    ZORCrashReporter::checkForCrash();
    m_didFinishLaunching = true;
    // Settings found damaged so far (reading them above), and any found later.
    std::weak_ptr<Lumvara_TessaroAppDelegate> weakSelf = self();
    if (!m_settingsSetAsideObserver)
        m_settingsSetAsideObserver = fnd::NotificationCenter::defaultCenter().addObserverForName(
            fnd::UserDefaults::DidSetAsideDamagedFileNotification, {}, [weakSelf](const fnd::Notification&) {
                if (auto delegate = weakSelf.lock())
                    delegate->reportSettingsSetAside();
            });
    reportSettingsSetAside();
    if (!m_settingsNotSavedObserver)
        m_settingsNotSavedObserver = fnd::NotificationCenter::defaultCenter().addObserverForName(
            fnd::UserDefaults::DidFailToWriteNotification, {}, [weakSelf](const fnd::Notification&) {
                if (auto delegate = weakSelf.lock())
                    delegate->reportSettingsNotSaved();
            });
    reportSettingsNotSaved();
}

void Lumvara_TessaroAppDelegate::applicationWillTerminate(ui::Application&)
{
    defaults().synchronize();
}

void Lumvara_TessaroAppDelegate::handleZORApplicationMeasurementCenterDVNAppUnitDidChangedNotification(
    const fnd::Notification&)
{
    scheduleUpdateUI(UnitChangeRefreshDelay);
    // A field being edited would otherwise keep its text in the old unit, and the next Return would read it in the
    // new one.
    std::weak_ptr<Lumvara_TessaroAppDelegate> weakSelf = self();
    fnd::performAfterDelay(
        self(),
        [weakSelf] {
            if (auto delegate = weakSelf.lock())
                delegate->showAppliedSizesInEditedFields();
        },
        UnitChangeRefreshDelay);
}

void Lumvara_TessaroAppDelegate::scheduleUpdateUI(double delay)
{
    std::weak_ptr<Lumvara_TessaroAppDelegate> weakSelf = self();
    fnd::performAfterDelay(
        self(),
        [weakSelf] {
            if (auto delegate = weakSelf.lock())
                delegate->updateUI();
        },
        delay);
}

void Lumvara_TessaroAppDelegate::setBarcodeWithClassName(const fnd::String& className)
{
    const auto& known = symbologyClassNames();
    BarcodePtr barcode;
    if (!className.isEmpty() && std::find(known.begin(), known.end(), className) != known.end())
        barcode = TBQGenericBarcode::barcodeWithClassName(className);
    if (!barcode) {
        // A name from another version or a damaged file would leave the window without a barcode.
        fnd::logf(fnd::LogLevel::Warning, "There is no barcode type \u201c{}\u201d; EAN-13 is shown instead.",
            className.utf8());
        barcode = TBQGenericBarcode::barcodeWithClassName("EAN13");
    }
    m_currentBarcode = barcode;
    barcode->setDelegate(self());
    setDefaultParameterToBarcode(*barcode);
    if (m_previewView)
        m_previewView->setBarcode(barcode);
    updateUI();
}

void Lumvara_TessaroAppDelegate::setDefaultParameterToBarcode(TBQGenericBarcode& barcode)
{
    auto& d = defaults();
    if (auto color = Preferences::colorForKey(DefaultBarcodeValueBarColorKey))
        barcode.setBarColor(color);
    if (auto color = Preferences::colorForKey(DefaultBarcodeValueBackgroundColorKey))
        barcode.setBackgroundColor(color);
    barcode.setShouldDrawBackground(d.boolForKey(DefaultBarcodeValueShouldDrawBackgroundKey));
    // The check box's choice holds for every new barcode, before the content is checked.
    barcode.setCalculateChecksum(d.boolForKey(DefaultBarcodeValueCalculateChecksumKey));
    barcode.setContent(d.stringForKey(DefaultBarcodeContentKey).value_or(fnd::String()));
    if (barcode.supportAddOn())
        barcode.setAddOnContent(d.stringForKey(DefaultBarcodeAddOnContentKey).value_or(fnd::String()));
    else if (!d.stringForKey(DefaultBarcodeAddOnContentKey).value_or(fnd::String()).isEmpty())
        d.setObject(fnd::String(), DefaultBarcodeAddOnContentKey);
    barcode.setQuietZone({});
    barcode.setCalcQuietZone(d.boolForKey(DefaultBarcodeValueAutoCalcQuietZoneKey));
    barcode.setDrawCaption(d.boolForKey(DefaultBarcodeValueDrawCaptionKey));
    auto font = Preferences::fontForKey(DefaultBarcodeValueFontKey);
    barcode.setFont(font ? font : gfx::Font::systemFontOfSize(10));
    barcode.setBarWidth(Preferences::lengthForKey(DefaultBarcodeValueBarWidthKey));
    barcode.setHeight(Preferences::lengthForKey(DefaultBarcodeValueHeightKey));
}

void Lumvara_TessaroAppDelegate::zoomFactorPopupChanged(const fnd::Value& sender)
{
    auto popUp = sender.objectAs<ui::PopUpButton>();
    if (!popUp)
        popUp = m_zoomPopupButton;
    if (!popUp || !popUp->selectedItem())
        return;
    const long tag = popUp->selectedTag();
    const double factor = double(tag) / 100.0;
    if (factor == m_scaleFactor || !(factor > 0))
        return;
    if (m_previewScrollView && m_previewScrollView->contentView())
        m_previewScrollView->contentView()->scaleUnitSquareToSize({ factor / m_scaleFactor, factor / m_scaleFactor });
    m_scaleFactor = factor;
    defaults().setInteger(tag, DefaultBarcodeZoomScaleKey);
}

void Lumvara_TessaroAppDelegate::updateUI()
{
    const auto barcode = m_currentBarcode;
    if (!barcode)
        return;

    // 1. The symbology.
    if (m_barcodePopupButton) {
        long index = m_barcodePopupButton->indexOfItemWithRepresentedObject(barcode->className());
        if (index >= 0 && index != m_barcodePopupButton->indexOfSelectedItem())
            m_barcodePopupButton->selectItemAtIndex(index);
    }

    // 2. Everything takes input, but what the symbology does not offer (step 5): each control is set once, to its
    // final state, so a control whose state stays is left alone (no redraw, no state change for assistive
    // technologies at every keystroke).
    const bool checksumChoice = !barcode->autoGenerateChecksum() && barcode->generateChecksumIsPossible();
    const bool addOnOffered = barcode->supportAddOn();
    for (const auto& control : std::initializer_list<std::shared_ptr<ui::Control>> { m_contentTextField,
             m_modulWidthComboBox, m_barcodeHeightComboBox, m_textColorWell, m_barcodeColorWell, m_backgroundColorWell,
             m_autoCalcQuietZoneButton, m_fontHeightComboBox, m_chooseFontButton, m_drawCaptionButton,
             m_barcodeWidthTextField, m_drawBackgroundButton })
        setEnabled(control, true);

    // 3. A matrix symbol has no bar height and no caption.
    const bool matrix = std::dynamic_pointer_cast<TBQGeneric2DBarcode>(barcode) != nullptr;
    for (const auto& view : std::initializer_list<std::shared_ptr<ui::View>> { m_barcodeHeightComboBox,
             m_barcodeHeightComboBoxLabel, m_fontHeightComboBox, m_fontHeightComboBoxLabel, m_chooseFontButton,
             m_chooseFontButtonLabel, m_drawCaptionButton, m_captionSectionLabel })
        if (view)
            view->setHidden(matrix);
    if (m_backgroundView)
        m_formRows.closeUp(*m_backgroundView);

    // 4. The values.
    showUnlessEditing(m_contentTextField, [&](ui::TextField& field) {
        if (field.stringValue() != barcode->content())
            field.setStringValue(barcode->content());
    });
    setState(m_calculateChecksumButton, barcode->calculateChecksum());
    showUnlessEditing(m_addOnTextField, [&](ui::TextField& field) {
        if (field.stringValue() != barcode->addOnContent())
            field.setStringValue(barcode->addOnContent());
    });
    if (m_barcodeColorWell && barcode->barColor())
        m_barcodeColorWell->setColor(barcode->barColor());
    if (m_backgroundColorWell && barcode->backgroundColor())
        m_backgroundColorWell->setColor(barcode->backgroundColor());
    setState(m_drawBackgroundButton, barcode->shouldDrawBackground());
    showUnlessEditing(
        m_barcodeWidthTextField, [&](ui::TextField& field) { setObjectValue(field, fnd::Value(barcode->width())); });
    setState(m_autoCalcQuietZoneButton, barcode->calcQuietZone());
    setState(m_drawCaptionButton, barcode->drawCaption());
    showUnlessEditing(m_fontHeightComboBox, [&](ui::ComboBox& box) {
        if (barcode->font())
            setObjectValue(box, fnd::Value(barcode->font()->pointSize()));
    });

    // 5. What the symbology offers.
    setEnabled(m_calculateChecksumButton, checksumChoice);
    setEnabled(m_addOnTextField, addOnOffered);

    // 6. The font panel shows the caption font and sends its changes here.
    auto& fonts = gfx::FontManager::shared();
    fonts.setSelectedFont(barcode->font(), false);
    fonts.setDelegate(self());
    fonts.setTarget(self());
    fonts.setAction("changeFont:");

    // 7. Sizes, as their preset when one holds them.
    if (m_modulWidthComboBox)
        showSizeInComboBox(*m_modulWidthComboBox, Preferences::modulWidthArray(), barcode->barWidth());
    if (m_barcodeHeightComboBox)
        showSizeInComboBox(*m_barcodeHeightComboBox, Preferences::barcodeHeightArray(), barcode->height());

    // 8, 9.
    updateContentInfo();
    if (m_addonTextFieldLabel)
        ZORNSTextFieldExtension::markTextField(
            *m_addonTextFieldLabel, barcode->supportAddOn() ? gfx::Color::blackColor() : gfx::Color::lightGrayColor());

    // 10. Export and Copy follow the content: the toolbar shows at once whether they can be used.
    if (const bool exportable = canExportBarcode(); exportable != m_barcodeWasExportable) {
        m_barcodeWasExportable = exportable;
        if (auto toolbar = std::dynamic_pointer_cast<ui::Toolbar>(m_window ? m_window->toolbar() : nullptr))
            toolbar->validateVisibleItems();
    }
}

void Lumvara_TessaroAppDelegate::showSizeInComboBox(ui::ComboBox& comboBox, const fnd::Array& list, double value)
{
    if (comboBox.currentEditor())
        return;
    const fnd::Value number(static_cast<float>(value));
    fnd::Value shown = number;
    for (const auto& entry : list)
        if (auto container = entry.objectAs<ZORNumberContainer>(); container && container->isEqualToValue(number))
            shown = entry;
    setObjectValue(comboBox, shown);
}

namespace {

// Lines of the content: a pasted address or card has several, which the one-line field cannot show.
long long lineCount(const fnd::String& text)
{
    long long lines = 1;
    const auto& units = text.units();
    for (std::size_t i = 0; i < units.size(); ++i) {
        const char16_t c = units[i];
        if (c == u'\r' && i + 1 < units.size() && units[i + 1] == u'\n')
            continue; // one break, counted at its \n
        if (c == u'\n' || c == u'\r' || c == 0x2028 || c == 0x2029)
            ++lines;
    }
    return lines;
}

}

void Lumvara_TessaroAppDelegate::updateContentInfo()
{
    if (!m_contentInfoTextField || !m_currentBarcode)
        return;
    const auto& barcode = *m_currentBarcode;
    const long long count = barcode.numberOfValidateContentCharacters();
    // Content of several lines shows its first in the field: the line under it says there are more, and the field's
    // tool tip shows them all.
    const long long lines = lineCount(barcode.content());
    fnd::String info
        = fnd::stringWithFormat(applicationText("AllowedCharactersDisplay"), barcode.humanReadableAllowedCharacterSet())
        + "\n"
        + (lines > 1 ? fnd::stringWithFormat(applicationText("NumberOfValidateCharactersOnLines"), count, lines)
                     : fnd::stringWithFormat(applicationText("NumberOfValidateCharacters"), count));
    if (m_contentTextField) {
        const auto tip = lines > 1 ? barcode.content() : fnd::String();
        if (m_contentTextField->toolTip() != tip)
            m_contentTextField->setToolTip(tip);
    }
    // The room the symbology really has for more of what is typed: none beside a content that is too long.
    if (const auto left = barcode.numberOfCharactersLeft())
        info = info + " \u00b7 " + fnd::stringWithFormat(applicationText("NumberOfCharactersLeft"), (long long)*left);
    if (m_contentInfoTextField->stringValue() != info)
        m_contentInfoTextField->setStringValue(info);
    // A refused content is told on the field itself: invalid, and described by the preview (which shows why) and
    // the hint, so a screen reader says why where the person types.
    if (m_contentTextField) {
        const bool invalid = !TBQBarcodeView::errorTextOfBarcode(barcode).isEmpty();
        fnd::Array describedBy { m_contentInfoTextField->selfValue() };
        if (invalid && m_previewView)
            describedBy.insert(describedBy.begin(), m_previewView->selfValue());
        m_contentTextField->accessibilitySetOverrideValue(invalid, ui::AccessibilityAttribute::Invalid);
        m_contentTextField->accessibilitySetOverrideValue(describedBy, ui::AccessibilityAttribute::DescribedBy);
    }
}
