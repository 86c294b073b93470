#include "application/TBQBarcodeView.h"

#include "barcodes/TBQGeneric2DBarcode.h"
#include "frameworks/AppKitExtensions/ZORBezierLayoutManager.h"
#include "platform/foundation/archiving/Coding.h"
#include "platform/foundation/files/Bundle.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextStorage.h"

#include <algorithm>

FND_REGISTER_CLASS(TBQBarcodeView, ui::View)

namespace {

// The view shares its class-name prefix with the framework, but its texts are the application's.
const bool textsFromTheApplication = [] {
    fnd::Bundle::registerClass("TBQBarcodeView", "Barcodes");
    fnd::setClassVersion(TBQBarcodeView::staticClassInfo(), 1);
    return true;
}();

constexpr double TextContainerSide = 1e7;

std::shared_ptr<gfx::Image> makeCheckerboard()
{
    constexpr double s = TBQBarcodeView::CheckerboardSize, h = s / 2;
    return gfx::Image::imageWithSize({ s, s }, false, [](const gfx::Rect&) {
        gfx::Color::lightGrayColor()->setFill();
        gfx::BezierPath::fillRect({ 0, 0, h, h });
        gfx::BezierPath::fillRect({ h, h, h, h });
        gfx::Color::whiteColor()->setFill();
        gfx::BezierPath::fillRect({ 0, h, h, h });
        gfx::BezierPath::fillRect({ h, 0, h, h });
        return true;
    });
}

}

void TBQBarcodeView::describeClass(fnd::ClassBuilder<TBQBarcodeView>& c)
{
    c.action("copy:", &TBQBarcodeView::copy);
}

TBQBarcodeView::TBQBarcodeView()
    : m_textStorage(std::make_shared<txt::TextStorage>("Here's"))
    , m_layoutManager(std::make_shared<txt::LayoutManager>())
    , m_glyphLayoutManager(std::make_shared<ZORBezierLayoutManager>())
    , m_textContainer(std::make_shared<txt::TextContainer>(gfx::Size { TextContainerSide, TextContainerSide }))
    , m_glyphTextContainer(std::make_shared<txt::TextContainer>(gfx::Size { TextContainerSide, TextContainerSide }))
    , m_backgroundImage(makeCheckerboard())
{
    (void)textsFromTheApplication;
    m_layoutManager->setUsesScreenFonts(false);
    m_textContainer->setLineFragmentPadding(0);
    m_layoutManager->addTextContainer(m_textContainer);
    m_textStorage->addLayoutManager(m_layoutManager);
    m_glyphLayoutManager->setShouldFlip(false);
    m_glyphTextContainer->setLineFragmentPadding(0);
    m_glyphLayoutManager->addTextContainer(m_glyphTextContainer);
    m_textStorage->addLayoutManager(m_glyphLayoutManager);
    m_noBarcodeTextString = fnd::Bundle::bundleForClass("TBQBarcodeView")
                                ->localizedStringForKey("PleaseSelectABarcode", {}, "DocumentStrings");
}

TBQBarcodeView::~TBQBarcodeView() = default;

std::shared_ptr<TBQBarcodeView> TBQBarcodeView::create(gfx::Rect frame)
{
    return ui::makeView<TBQBarcodeView>(frame);
}

std::shared_ptr<TBQBarcodeView> TBQBarcodeView::createWithBarcode(const BarcodePtr& barcode)
{
    auto view = std::make_shared<TBQBarcodeView>();
    view->initWithBarcode(barcode);
    return view;
}

void TBQBarcodeView::initWithBarcode(const BarcodePtr& barcode)
{
    // Setting the barcode sizes the view to it.
    initWithFrame(DefaultFrame);
    setBarcode(barcode);
}

void TBQBarcodeView::setBarcode(const BarcodePtr& barcode)
{
    m_barcode = barcode;
    setNeedsUpdate();
}

void TBQBarcodeView::setMultiplySelection(bool multiple)
{
    if (m_placeHolderIsMultiplySelection == multiple)
        return;
    m_placeHolderIsMultiplySelection = multiple;
    setNeedsUpdate();
}

fnd::String TBQBarcodeView::errorTextOfBarcode(const TBQGenericBarcode& barcode)
{
    if (!barcode.validatedErrorString().isEmpty())
        return barcode.validatedErrorString();
    return barcode.encodingErrorString();
}

gfx::Rect TBQBarcodeView::frameForBarcode() const
{
    if (!m_barcode || !errorTextOfBarcode(*m_barcode).isEmpty())
        return DefaultFrame;
    gfx::Size size = m_barcode->workAreaSize();
    if (auto addOn = m_barcode->addOn()) {
        size.width += addOn->workAreaSize().width;
        size.height = std::max(size.height, addOn->workAreaSize().height);
    }
    return { {}, size };
}

void TBQBarcodeView::setNeedsUpdate()
{
    setFrame(frameForBarcode());
    if (auto super = superview())
        super->setNeedsDisplay(true);
    setNeedsDisplay(true);
    ui::accessibilityPostNotification(*this, ui::AccessibilityNotification::ValueChanged);
}

bool TBQBarcodeView::becomeFirstResponder()
{
    setNeedsDisplay(true);
    return true;
}

bool TBQBarcodeView::resignFirstResponder()
{
    setNeedsDisplay(true);
    return true;
}
