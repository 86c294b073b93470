#pragma once

#include "barcodes/TBQGenericBarcode.h"

#include "platform/ui/dragging/Dragging.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/views/View.h"

#include <memory>

class TBQGeneric2DBarcode;
class ZORBezierLayoutManager;

namespace gfx {
class Image;
}
namespace txt {
class LayoutManager;
class TextContainer;
class TextStorage;
}
namespace ui {
class Pasteboard;
}

// Draws one barcode: its bars or matrix modules, captions, light-margin indicators and headline over its
// background, or in their place the barcode's error text or a placeholder. The frame is the barcode's work area
// (plus its add-on), so the drawn symbol fills the view exactly and the view's bounds are the symbol; all geometry
// comes from the model. The same class serves the preview on screen, the pasteboard and drags, and exports, which
// draw in export mode: transparent instead of a checkerboard where the barcode has no background.
//
// Drawing only reads the barcode.
class TBQBarcodeView : public ui::View, public ui::DraggingSource, public ui::MenuItemValidation {
    FND_OBJECT(TBQBarcodeView)
    static void describeClass(fnd::ClassBuilder<TBQBarcodeView>& c);

public:
    using BarcodePtr = TBQGenericBarcode::BarcodePtr;

    // The frame used without a barcode or with an erroneous one.
    static constexpr gfx::Rect DefaultFrame { 0, 0, 160, 160 };
    // The side of the checkerboard tile behind a barcode without background.
    static constexpr double CheckerboardSize = 10;

    TBQBarcodeView();
    ~TBQBarcodeView() override;
    static std::shared_ptr<TBQBarcodeView> create(gfx::Rect frame = DefaultFrame);
    // A view whose frame is the barcode's work area (the default frame for nullptr).
    static std::shared_ptr<TBQBarcodeView> createWithBarcode(const BarcodePtr& barcode);
    void initWithBarcode(const BarcodePtr& barcode);

    const BarcodePtr& barcode() const { return m_barcode; }
    void setBarcode(const BarcodePtr& barcode);
    bool isMultiplySelection() const { return m_placeHolderIsMultiplySelection; }
    void setMultiplySelection(bool multiple);
    bool drawForExport() const { return m_drawForExport; }
    // No redisplay: exports switch it around a single drawing.
    void setDrawForExport(bool flag) { m_drawForExport = flag; }
    const fnd::String& noBarcodeText() const { return m_noBarcodeTextString; }
    void setNoBarcodeText(const fnd::String& text) { m_noBarcodeTextString = text; }

    // Takes the barcode's current work area as the frame and has the superview redrawn; the barcode's delegate calls
    // it after every change of the barcode.
    void setNeedsUpdate();
    // The frame setNeedsUpdate applies: the work area plus the add-on's width, at the larger of the two heights;
    // the default frame without a barcode or when it has an error.
    gfx::Rect frameForBarcode() const;
    // The text shown instead of the symbol: the validation error, else the encoding error (content a matrix symbol
    // cannot hold); empty when the barcode draws.
    static fnd::String errorTextOfBarcode(const TBQGenericBarcode& barcode);

    bool acceptsFirstResponder() const override { return true; }
    bool becomeFirstResponder() override;
    bool resignFirstResponder() override;

    // Always draws the whole bounds.
    void drawRect(gfx::Rect dirtyRect) override;
    // A linear symbol (bars, captions, indicators, headline), shifted right by offset.x (the add-on's place).
    void drawBarCode(const TBQGenericBarcode& barcode, gfx::Point offset);
    // A matrix symbol, its lower-left module at offset.
    void draw2DBarcode(const TBQGeneric2DBarcode& barcode, gfx::Point offset);
    // Text whose baseline is at position.y, set into the area from position.x that is width wide: centred when
    // narrower; justified spreads the characters by equal steps of at most one average character; wider text
    // overflows both sides evenly, or shrinks to the width when allowDownScale is set. convertToVector draws
    // glyph outlines instead of glyphs.
    void drawText(const fnd::String& text, gfx::Point position, double width, bool justify,
        const std::shared_ptr<gfx::Font>& font, const std::shared_ptr<gfx::Color>& color, bool allowDownScale,
        bool convertToVector);

    // The name the application's EditLink server goes by.
    static constexpr const char* EditLinkServerName = "Lumvara";

    // Pasteboard and drags: the PDF of the bounds in export mode, and under "EditLinkData" the EditLink dictionary
    // whose application data is the barcode's keyed archive. Only a barcode that draws leaves the view: its error
    // text is no barcode, so then Copy is disabled (and beeps when sent) and a drag does not start.
    bool hasExportableBarcode() const;
    void copy(const fnd::Value& sender);
    bool validateMenuItem(ui::MenuItem& item) override;
    virtual void copyBarcode(const BarcodePtr& barcode, ui::Pasteboard& pasteboard);
    // The EditLink dictionary of server "Lumvara" for the barcode (without application data for nullptr).
    static fnd::Dictionary editLinkData(const BarcodePtr& barcode);
    // The PDF a copy or drag carries: the bounds drawn in export mode.
    fnd::Expected<fnd::Data> exportPDFData();
    ui::DragOperation draggingSourceOperationMaskForLocal(bool isLocal) override;
    // Drags the barcode out as PDF with a half-transparent picture of it centred on the pointer.
    void mouseDragged(const ui::Event& event) override;
    // The picture a drag shows: the bounds as on screen (checkerboard included) at half opacity; nullptr when the
    // view cannot be drawn.
    std::shared_ptr<gfx::Image> dragImage();

    // Accessibility (TBQBarcodeViewAccessibility.cpp): an image described by the symbology and what it encodes, or
    // by the text shown in its place.
    bool accessibilityIsIgnored() const override { return false; }
    std::vector<fnd::String> accessibilityAttributeNames() const override;
    fnd::Value accessibilityAttributeValue(const fnd::String& attribute) const override;

private:
    void drawPlaceholder(const fnd::String& text, const std::shared_ptr<gfx::Color>& color);
    // Draws the glyph range with its first glyph's baseline at baselineY, the line starting at x.
    void drawGlyphRange(fnd::Range range, double x, double baselineY, bool vector,
        const std::vector<std::shared_ptr<gfx::BezierPath>>& outlines, const gfx::Color& color);

    BarcodePtr m_barcode;
    std::shared_ptr<txt::TextStorage> m_textStorage;
    std::shared_ptr<txt::LayoutManager> m_layoutManager;
    std::shared_ptr<ZORBezierLayoutManager> m_glyphLayoutManager;
    std::shared_ptr<txt::TextContainer> m_textContainer;
    std::shared_ptr<txt::TextContainer> m_glyphTextContainer;
    bool m_placeHolderIsMultiplySelection { false };
    fnd::String m_noBarcodeTextString;
    std::shared_ptr<gfx::Image> m_backgroundImage;
    bool m_drawForExport { false };
};
