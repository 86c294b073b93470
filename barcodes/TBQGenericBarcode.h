#pragma once

#include "barcodes/ModuleString.h"
#include "barcodes/TBQDataEntry.h"

#include "platform/foundation/runtime/CharacterSet.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"

#include <limits>
#include <optional>

// The barcode model: content, check characters, look and layout. Every symbology is a subclass that overrides some
// of the hooks below. Lengths are points. The model never throws on content: problems become the texts
// validatedErrorString and encodingErrorString, which the view shows instead of the symbol.
//
// Setters that change geometry end in recalculateWorkAreaSize, which tells the root's delegate; setters of a main
// barcode hand the same value to its add-on (sub-entry 0).
class TBQGenericBarcode : public TBQDataEntry {
    FND_OBJECT(TBQGenericBarcode)
public:
    using BarcodePtr = std::shared_ptr<TBQGenericBarcode>;

    static void describeClass(fnd::ClassBuilder<TBQGenericBarcode>& c);

    // What a length the barcode takes may be, in points: within [minimum, maximum] (so never NaN or infinite). One
    // bound serves every path a length comes in by: the setters (and the interface-file properties that reach them)
    // ignore any other value, as they ignore a nil one, and an archive holding one is refused.
    struct LengthBound {
        double minimum;
        double maximum;
        constexpr bool holds(double v) const { return v >= minimum && v <= maximum; }
    };
    // About 3.5 m: beyond any label, and far from where the sums of the layout could overflow.
    static constexpr double MaximumLength = 10000;
    // Module width, bar height and font size: above 0, and at least the smallest normal float, since the archive
    // keeps them in single precision and what it stores must read back.
    static constexpr LengthBound PositiveLength { std::numeric_limits<float>::min(), MaximumLength };
    // Up to the widest automatic quiet zone, 11 module widths, which archives store as it was computed.
    static constexpr LengthBound QuietZoneLength { 0, 11 * MaximumLength };
    static constexpr LengthBound FontOffsetLength { -MaximumLength, MaximumLength };
    static bool isQuietZone(gfx::Rect zone);
    // The bar height: PositiveLength, unless the symbology computes it.
    virtual LengthBound heightBound() const { return PositiveLength; }

    // Makes an initialised barcode of the registered class of that name; nullptr when there is none.
    static BarcodePtr barcodeWithClassName(const fnd::String& className);

    void init() override;
    // The designated initializer, then the content: for a barcode just constructed, as init() is.
    void initWithContent(const fnd::String& content);

    // The symbology's display name from the "BarcodeStrings" table; empty for the base class.
    virtual fnd::String barcodeName() const;
    // A text of the "BarcodeStrings" table (empty when missing).
    static fnd::String localizedBarcodeString(const fnd::String& key);

    // Content
    const fnd::String& content() const { return m_content; }
    virtual void setContent(const fnd::String& content);
    const fnd::String& addOnContent() const { return m_addOnContent; }
    virtual void setAddOnContent(const fnd::String& addOnContent);
    const fnd::String& checksum() const { return m_checksum; }
    // For generateChecksum; key-value coding only reads the check characters.
    void setChecksum(const fnd::String& checksum) { m_checksum = checksum; }
    // NO when the symbology cannot make one, YES when it always does, else the user's choice.
    bool calculateChecksum() const;
    void setCalculateChecksum(bool calculate);

    // Look
    // Nil is ignored by both setters (and by decoding): a barcode always has its two colours.
    const std::shared_ptr<gfx::Color>& barColor() const { return m_barColor; }
    void setBarColor(const std::shared_ptr<gfx::Color>& color);
    const std::shared_ptr<gfx::Color>& backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const std::shared_ptr<gfx::Color>& color);
    bool shouldDrawBackground() const { return m_shouldDrawBackground; }
    void setShouldDrawBackground(bool draw);
    bool convertTextToVector() const { return m_convertTextToVector; }
    void setConvertTextToVector(bool convert);
    const std::shared_ptr<gfx::Font>& font() const { return m_font; }
    void setFont(const std::shared_ptr<gfx::Font>& font);
    std::shared_ptr<gfx::Font> headlineFont() const { return m_font; }
    double fontSize() const;
    void setFontSize(double size);
    double fontOffset() const { return m_fontOffset; }
    void setFontOffset(double offset);
    bool drawCaption() const { return m_drawCaption; }
    void setDrawCaption(bool draw);
    bool drawLightMarginIndicators() const { return m_drawLightMarginIndicators; }
    void setDrawLightMarginIndicators(bool draw);

    // Sizes
    double barWidth() const { return m_barWidth; }
    void setBarWidth(double width);
    double height() const { return m_height; }
    void setHeight(double height);
    double width() const { return m_width; }
    // Sets the module width so that the symbol is this wide; 0, a symbol without modules, or a module width outside
    // PositiveLength changes nothing.
    virtual void setWidth(double width);
    gfx::Rect quietZone() const { return m_quietZoneRect; }
    void setQuietZone(gfx::Rect zone);
    double quietZoneTop() const { return m_quietZoneRect.size.height; }
    void setQuietZoneTop(double v);
    double quietZoneBottom() const { return m_quietZoneRect.origin.y; }
    void setQuietZoneBottom(double v);
    double quietZoneRight() const { return m_quietZoneRect.size.width; }
    void setQuietZoneRight(double v);
    double quietZoneLeft() const { return m_quietZoneRect.origin.x; }
    void setQuietZoneLeft(double v);
    bool calcQuietZone() const { return m_autoCalcQuietZone; }
    void setCalcQuietZone(bool automatic);

    // Errors (empty when all is well)
    const fnd::String& validatedErrorString() const { return m_validateErrorString; }
    void setValidatedErrorString(const fnd::String& text) const { m_validateErrorString = text; }
    const fnd::String& encodingErrorString() const { return m_encodingErrorString; }
    void setEncodingErrorString(const fnd::String& text) const { m_encodingErrorString = text; }

    // Add-on: sub-entry 0 of a main barcode.
    BarcodePtr addOn() const;
    // An add-on that another barcode holds raises InvalidArgument, and the present add-on stays.
    void setAddOn(const BarcodePtr& addOn);
    bool isAddOn() const;
    bool hadAddOn() const { return addOn() != nullptr; }

    // Validation
    virtual fnd::String contentForValidation() const { return m_content; }
    virtual fnd::String contentForEncoding() const { return validatedContentString(); }
    virtual fnd::CharacterSet allowedCharacterSet() const;
    virtual fnd::String humanReadableAllowedCharacterSet() const { return "[0-9]"; }
    virtual fnd::Index maximumOfAllowedCharacters() const { return 0; }
    virtual fnd::Index minimumOfAllowedCharacters() const { return 0; }
    virtual char16_t paddingCharacter() const { return u'0'; }
    virtual bool paddingRight() const { return true; }
    virtual bool validateGS1() const { return false; }
    virtual bool contentForValidationIsPreValidated() const { return false; }
    // The content after the cleaning every symbology shares (case, allowed characters, cut to the maximum, padding),
    // before any GS1 check; a pre-validated content as it stands.
    fnd::String cleanedContentString() const;
    // The cleaned content that is encoded and shown; resets validatedErrorString first.
    virtual fnd::String validatedContentString() const;
    // The GS1 check: the reduced string with "[" for FNC1, or empty after an error (then the error text is set).
    fnd::String validateGS1ContentString() const;
    fnd::Index numberOfValidateContentCharacters() const;
    // How many more characters the content takes: the maximum less the count, never below 0, where the symbology
    // has a maximum (nullopt where it has none). A symbology whose room depends on what the content holds answers
    // for characters of the kind the content needs, so the room it promises is there.
    virtual std::optional<fnd::Index> numberOfCharactersLeft() const;

    // Encoding
    virtual ModuleString encodedContent() const;
    virtual ModuleString encodeChar(unsigned char character) const;
    virtual ModuleString encodedStartSequence() const { return {}; }
    virtual ModuleString encodedStopSequence() const { return {}; }
    virtual ModuleString encodedInterCharacterSequence() const { return {}; }
    virtual ModuleString completeEncodedBarcode() const;

    // Check characters
    virtual bool autoGenerateChecksum() const { return false; }
    virtual bool appendChecksumToCaption() const { return true; }
    virtual bool generateChecksumIsPossible() const { return true; }
    // Stores its result with setChecksum.
    virtual void generateChecksum() { }
    virtual bool supportAddOn() const { return false; }

    // Caption and headline
    virtual fnd::String caption() const;
    // 1 below the bars, 0 above.
    virtual int verticalCaptionPosition() const { return 1; }
    virtual bool simpleCaption() const { return true; }
    virtual int numberOfCaptionStrings() const { return 1; }
    virtual int numberOfCaptionsStringsLeft() const { return 0; }
    virtual int numberOfCaptionsStringsRight() const { return 0; }
    virtual fnd::String captionStringWithIndex(int index) const;
    virtual double xPositionForCaptionStringWithIndex(int index) const;
    virtual double areaWidthForCaptionStringWithIndex(int index) const;
    virtual bool drawHeadline() const { return false; }
    virtual fnd::String headline() const { return {}; }
    double captionHeight() const { return m_captionHeight; }
    virtual double captionBaselinePosition() const { return m_captionBaselinePosition; }
    double headlineHeight() const { return m_headlineHeight; }
    double headlineBaselinePosition() const { return m_headlineBaselinePosition; }

    // Light-margin indicators
    virtual bool supportLeftLightMarginIndicators() const { return false; }
    virtual bool supportRightLightMarginIndicators() const { return false; }
    bool supportLightMarginIndicators() const
    {
        return supportLeftLightMarginIndicators() || supportRightLightMarginIndicators();
    }
    fnd::String leftLightMarginIndicator() const { return "<"; }
    fnd::String rightLightMarginIndicator() const { return ">"; }
    double areaWidthForLeftLightMarginIndicator() const;
    double areaWidthForRightLightMarginIndicator() const;
    double xPositionForLeftLightMarginIndicator() const;
    double xPositionForRightLightMarginIndicator() const;

    // Geometry (points, x from the work area's left edge, y up from its bottom edge)
    virtual gfx::Rect autoCalcedQuietZone() const;
    virtual void recalculateWorkAreaSize();
    gfx::Size workAreaSize() const { return m_workAreaSize; }
    double firstBarPosition() const;
    double lastBarPosition() const;
    virtual double bottomPositionForBarIndex(fnd::Index index) const;
    virtual double topPositionForBarIndex(fnd::Index index) const;

    // A nil module width, bar height or font size (a cleared field bound to them) is ignored.
    void setNilValueForKey(const fnd::String& key) override;

    // Archive and copy
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;
    // Hands the drawing attributes (not the content) to another barcode through its setters.
    void copyAttributesToBarcode(TBQGenericBarcode& target) const;

protected:
    // A copy takes every field but the computed layout, which it makes once its sub-entries (the add-on) stand below
    // it.
    EntryPtr copyWithoutSubObjects() const override;
    void copyIsComplete() override;
    // The root's delegate callbacks.
    void notifyWorkAreaChanged();
    void notifyDrawingAttributeChanged();
    // Sets the computed layout fields; for subclasses that lay out themselves.
    void setComputedWidth(double width) { m_width = width; }
    void setComputedHeight(double height) { m_height = height; }
    void setComputedWorkAreaSize(gfx::Size size) { m_workAreaSize = size; }
    // Stores the quiet zone without recalculating (for a subclass's own recalculation).
    void setComputedQuietZone(gfx::Rect zone) { m_quietZoneRect = zone; }
    void setComputedCaption(double height, double baseline)
    {
        m_captionHeight = height;
        m_captionBaselinePosition = baseline;
    }
    void setComputedHeadline(double height, double baseline)
    {
        m_headlineHeight = height;
        m_headlineBaselinePosition = baseline;
    }
    bool storedCalculateChecksum() const { return m_calculateChecksum; }
    void storeContent(const fnd::String& content) { m_content = content; }
    // The font, replaced by the system font of 10 points when missing.
    const gfx::Font& layoutFont();

private:
    template <typename T> void forwardToAddOn(void (TBQGenericBarcode::*setter)(T), T value);

    fnd::String m_content;
    fnd::String m_addOnContent;
    fnd::String m_checksum;
    bool m_calculateChecksum { false };
    std::shared_ptr<gfx::Color> m_barColor;
    std::shared_ptr<gfx::Color> m_backgroundColor;
    bool m_shouldDrawBackground { false };
    bool m_convertTextToVector { false };
    std::shared_ptr<gfx::Font> m_font;
    double m_fontOffset { 0 };
    double m_barWidth { 0 };
    double m_height { 0 };
    double m_width { 0 };
    double m_captionBaselinePosition { 0 };
    double m_captionHeight { 0 };
    double m_headlineBaselinePosition { 0 };
    double m_headlineHeight { 0 };
    gfx::Size m_workAreaSize;
    bool m_drawCaption { false };
    bool m_drawLightMarginIndicators { false };
    gfx::Rect m_quietZoneRect;
    bool m_autoCalcQuietZone { false };
    mutable fnd::String m_validateErrorString;
    mutable fnd::String m_encodingErrorString;
};
