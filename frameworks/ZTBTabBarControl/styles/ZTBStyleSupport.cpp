#include "frameworks/ZTBTabBarControl/styles/ZTBStyleSupport.h"

#include "frameworks/FoundationExtensions/ZORFrameworkBundle.h"
#include "frameworks/ZTBTabBarControl/ZTBTabBarCell.h"
#include "frameworks/ZTBTabBarControl/ZTBTabBarControlBase.h"
#include "frameworks/tab-bar-core/TabLabels.h"
#include "frameworks/tab-bar-core/TabResources.h"
#include "platform/foundation/files/Bundle.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/graphics/FontManager.h"
#include "platform/graphics/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/text/Attributes.h"
#include "platform/text/ParagraphStyle.h"
#include "platform/ui/containers/TabViewItem.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Window.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace ztbstyle {

std::shared_ptr<gfx::Image> image(const fnd::String& name)
{
    return tbcore::namedImage("ZTBTabBarControl", name);
}

gfx::Size sizeOf(const std::shared_ptr<gfx::Image>& image)
{
    return image ? image->size() : gfx::Size {};
}

std::shared_ptr<txt::AttributedString> counterText(const ZTBTabBarCell& cell)
{
    return tbcore::countString(static_cast<unsigned long>(cell.count()));
}

std::shared_ptr<txt::AttributedString> plainTitle(const ZTBTabBarCell& cell, bool centred)
{
    // Made once: a title is made for every layout and draw.
    static const auto makeAttributes = [](bool centre) {
        auto p = txt::ParagraphStyle::defaultParagraphStyle()->mutableCopy();
        p->setLineBreakMode(txt::LineBreakMode::ByTruncatingTail);
        if (centre)
            p->setAlignment(txt::TextAlignment::Center);
        return txt::Attributes { { txt::FontAttributeName, fnd::Value(gfx::Font::systemFontOfSize(11.0)) },
            { txt::ParagraphStyleAttributeName, fnd::Value(p) } };
    };
    static const txt::Attributes centredAttributes = makeAttributes(true);
    static const txt::Attributes leftAttributes = makeAttributes(false);
    return std::make_shared<txt::AttributedString>(cell.stringValue(), centred ? centredAttributes : leftAttributes);
}

gfx::Rect counterRect(const ZTBTabBarCell& cell, double counterPadding, double margin, double indicatorShift)
{
    if (cell.count() == 0)
        return {};
    const gfx::Rect f = cell.frame();
    const double width = std::max(20.0, counterText(cell)->size().width + counterPadding);
    double x = f.minX() + f.width() - margin - width;
    if (cell.isIndicatorShown())
        x -= indicatorShift;
    return { x, f.minY() + 3.0 + 1.0, width, 14.0 };
}

double sixPointWidth(const ZTBTabBarCell& cell, double closeWidth, double titleWidth, double counterWidth)
{
    double width = 6.0;
    if (cell.hasCloseButton() && !cell.isCloseButtonSuppressed())
        width = closeWidth + 4.0 + 6.0;
    if (cell.hasIcon())
        width += 20.0;
    width += titleWidth;
    if (cell.count() > 0)
        width += counterWidth + 4.0;
    if (cell.isIndicatorShown())
        width += 20.0;
    width += 6.0;
    return std::ceil(width);
}

void drawCounter(const ZTBTabBarCell& cell, gfx::Rect c, const std::shared_ptr<gfx::Color>& fallback)
{
    tbcore::drawCountCapsule(c, cell.countColor() ? cell.countColor() : fallback, *counterText(cell), 0.5);
}

std::shared_ptr<gfx::Image> identifierImage(const ZTBTabBarCell& cell, const char* key)
{
    auto item = cell.representedObject();
    auto identifier = item ? item->identifier().object() : nullptr;
    if (!identifier || !identifier->classInfo().findProperty(key))
        return nullptr;
    return identifier->valueForKey(key).objectAs<gfx::Image>();
}

void drawImage(const std::shared_ptr<gfx::Image>& image, gfx::Rect rect)
{
    if (image)
        image->drawInRect({ rect.origin, image->size() }, {}, gfx::CompositingOperation::SourceOver, 1.0);
}

void drawIcon(const std::shared_ptr<gfx::Image>& image, gfx::Rect rect)
{
    if (!image)
        return;
    const gfx::Size s = image->size();
    const double dx = s.width < 16.0 ? (16.0 - s.width) / 2 : 0;
    const double dy = s.height < 16.0 ? (16.0 - s.height) / 2 : 0;
    drawImage(image, { rect.minX() + dx, rect.minY() + dy, s.width, s.height });
}

void drawCells(ZTBTabBarControlBase& bar, gfx::Rect rect)
{
    if (!bar.tabView()) {
        // Not connected yet: the bar names itself.
        ZORFrameworkBundle::registerClassPrefixes();
        auto bundle = fnd::Bundle::bundleForClass("ZTBTabBarControl");
        const fnd::String title = bundle ? bundle->localizedStringForKey("ZTBTabBarControl", {}, "ZTBTabBarControl")
                                         : fnd::String("ZTBTabBarControl");
        static const auto paragraph = [] {
            auto p = txt::ParagraphStyle::defaultParagraphStyle()->mutableCopy();
            p->setAlignment(txt::TextAlignment::Center);
            return p;
        }();
        txt::AttributedString text(title,
            txt::Attributes { { txt::FontAttributeName, fnd::Value(gfx::Font::systemFontOfSize(11.0)) },
                { txt::ParagraphStyleAttributeName, fnd::Value(paragraph) } });
        text.drawInRect({ rect.minX(), rect.minY() + 4.0, rect.width(), rect.height() - 4.0 });
        return;
    }
    const bool animating = bar.isAnimating();
    // A copy: drawing may lay the bar out again.
    for (const auto& cell : std::vector(bar.cells())) {
        if (!animating && (cell->isInOverflowMenu() || !gfx::intersectsRect(cell->frame(), rect)))
            continue;
        cell->drawWithFrame(cell->frame());
    }
}

bool isInKeyWindow(const ui::View* view)
{
    auto window = view ? view->window() : nullptr;
    return window && window->isKeyWindow();
}

bool isApplicationActive()
{
    return ui::Application::shared().isActive();
}

}
