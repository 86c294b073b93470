#include "frameworks/ZORAppKit/ZORImageView/ZORImageView.h"

#include "frameworks/ZORAppKit/ZORSheetPresentation/ZORSheetPresentation.h"

#include "platform/ui/panels/PictureTaker.h"

#include "frameworks/AppKitExtensions/ZORNSBezierPathExtension.h"
#include "frameworks/FoundationExtensions/ZORNSObject_Extension.h"

#include "platform/foundation/runtime/ClassBuilder.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/text/AttributedString.h"
#include "platform/text/Attributes.h"
#include "platform/text/ParagraphStyle.h"
#include "platform/ui/views/Application.h"

#include <algorithm>

FND_REGISTER_CLASS(ZORImageView, ui::View)

namespace {

constexpr double ImageInset = 8;
constexpr double PlaceholderInset = 5;
constexpr double PlaceholderRadius = 15;
constexpr double PlaceholderLineWidth = 5;
constexpr double PlaceholderDash[] = { 10, 10 };
constexpr double TextInset = 10;
constexpr double TextSize = 18;

}

void ZORImageView::describeClass(fnd::ClassBuilder<ZORImageView>& c)
{
    c.property("image", &ZORImageView::image, &ZORImageView::setImage);
    c.property("editable", &ZORImageView::isEditable, &ZORImageView::setEditable);
}

std::shared_ptr<ZORImageView> ZORImageView::create(gfx::Rect frame)
{
    return ui::makeView<ZORImageView>(frame);
}

void ZORImageView::setImage(std::shared_ptr<gfx::Image> image)
{
    m_image = std::move(image);
    setNeedsDisplay(true);
}

void ZORImageView::setInfoText(std::optional<fnd::String> text)
{
    m_infoText = std::move(text);
    setNeedsDisplay(true);
}

void ZORImageView::mouseDown(const ui::Event& event)
{
    auto w = window();
    if (!m_editable || !w) {
        ui::View::mouseDown(event);
        return;
    }
    auto self = std::static_pointer_cast<ZORImageView>(shared_from_this());
    auto taker = ui::PictureTaker::sharedPictureTaker();
    taker->setInputImage(m_image);
    taker->setValueForKey(fnd::Value(true), ui::PictureTakerKey::AllowsVideoCapture);
    taker->setValueForKey(fnd::Value(true), ui::PictureTakerKey::ShowEffects);
    taker->setValueForKey(fnd::Value(true), ui::PictureTakerKey::AllowsEditing);
    ZORSheetPresentation::sharedSheetPresentation().prepareSheetPresentationForWindow(*w);
    taker->beginPictureTakerSheetForWindow(w, [self, taker](long code) { self->pictureTakerDidEnd(*taker, code); });
}

void ZORImageView::pictureTakerDidEnd(ui::PictureTaker& pictureTaker, long returnCode)
{
    auto self = shared_from_this();
    if (auto w = window())
        ZORSheetPresentation::sharedSheetPresentation().cleanUpSheetPresentationForWindow(*w);
    if (returnCode != ui::ModalResponse::OK)
        return;
    setImage(pictureTaker.outputImage());
    if (auto t = target(); t && m_action)
        ui::Application::shared().sendAction(m_action, t, selfValue());
}

gfx::Rect ZORImageView::imageRect() const
{
    if (!m_image)
        return {};
    const gfx::Rect b = bounds();
    const gfx::Size size = m_image->size();
    if (size.width <= 0 || size.height <= 0)
        return {};
    const gfx::Rect r = gfx::insetRect(b, ImageInset, ImageInset);
    // Enlarged as well as reduced.
    const double scale = std::min(r.width() / size.width, r.height() / size.height);
    const gfx::Size drawn { size.width * scale, size.height * scale };
    return { (b.width() - drawn.width) * 0.5, (b.height() - drawn.height) * 0.5, drawn.width, drawn.height };
}

void ZORImageView::drawRect(gfx::Rect)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    const gfx::Rect b = bounds();
    context->setFillColor(*gfx::Color::whiteColor());
    context->fillRect(b);

    if (m_image) {
        const gfx::Rect d = imageRect();
        context->saveGraphicsState();
        auto shade = shadow();
        if (!shade) {
            shade = fnd::makeObject<gfx::Shadow>();
            shade->setShadowOffset({ 0, -4.479167 });
            shade->setShadowBlurRadius(5.520833);
            setShadow(shade);
        }
        shade->set();
        m_image->drawInRect(d, {}, gfx::CompositingOperation::SourceOver, 1.0, true);
        context->restoreGraphicsState();
        context->setStrokeColor(*gfx::Color::lightGrayColor());
        ZORNSBezierPathExtension::strokeAsHelpPath(*gfx::BezierPath::bezierPathWithRect(d));
        return;
    }

    auto frame = ZORNSBezierPathExtension::bezierPathWithRoundedRectangle(
        gfx::insetRect(b, PlaceholderInset, PlaceholderInset), PlaceholderRadius);
    frame->setLineWidth(PlaceholderLineWidth);
    frame->setLineDash(PlaceholderDash, 0);
    context->setStrokeColor(*gfx::Color::lightGrayColor());
    frame->stroke();

    const fnd::String text = m_infoText.value_or(
        ZORNSObject_Extension::bundle(*this)->localizedStringForKey("NoImageAvailable", {}, "ZORImageView"));
    auto paragraph = txt::ParagraphStyle::defaultParagraphStyle()->mutableCopy();
    paragraph->setAlignment(txt::TextAlignment::Center);
    txt::AttributedString styled(text,
        { { txt::FontAttributeName, fnd::Value(gfx::Font::controlContentFontOfSize(TextSize)) },
            { txt::ForegroundColorAttributeName, fnd::Value(gfx::Color::lightGrayColor()) },
            { txt::ParagraphStyleAttributeName, fnd::Value(paragraph) } });
    gfx::Rect t = gfx::insetRect(b, TextInset, TextInset);
    const double height = styled.boundingRectWithSize(t.size).height();
    t.origin.y += (t.height() - height) * 0.5;
    t.size.height = height;
    styled.drawInRect(t);
}
