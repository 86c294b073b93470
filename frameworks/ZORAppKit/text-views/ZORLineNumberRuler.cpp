#include "frameworks/ZORAppKit/text-views/ZORLineNumberRuler.h"

#include "platform/foundation/archiving/Coding.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Image.h"
#include "platform/text/AttributedString.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/TextContainer.h"
#include "platform/text/TextRanges.h"
#include "platform/text/TextStorage.h"
#include "platform/ui/containers/ClipView.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/tables/TableHeaderView.h"
#include "platform/ui/tables/TableView.h"
#include "platform/ui/text/TextView.h"
#include "platform/ui/views/Event.h"

#include <algorithm>
#include <cmath>
#include <optional>

FND_REGISTER_CLASS(ZORLineNumberRulerMarker, ui::RulerMarker)
FND_REGISTER_CLASS(ZORRulerMarker, ui::RulerMarker)
FND_REGISTER_CLASS(ZORLineNumberRuler, ui::RulerView)
FND_REGISTER_CLASS(ZORLineNumberRulerWithMarker, ZORLineNumberRuler)

namespace {

bool ZORLineNumberRulerIsTerminator(char16_t c)
{
    return c == u'\n' || c == u'\r' || c == 0x2028 || c == 0x2029 || c == 0x0085;
}

std::shared_ptr<gfx::Image> ZORLineNumberRulerTriangle(gfx::Point a, gfx::Point b, gfx::Point c)
{
    return gfx::Image::imageWithSize({ 8, 8 }, false, [a, b, c](const gfx::Rect&) {
        gfx::BezierPath path;
        path.moveToPoint(a);
        path.lineToPoint(b);
        path.lineToPoint(c);
        path.closePath();
        path.setLineWidth(1.0);
        gfx::Color::colorWithCalibratedRed(0.141, 0.141, 0.141, 1.0)->set();
        path.fill();
        path.stroke();
        return true;
    });
}

std::shared_ptr<ZORRulerMarker> ZORLineNumberRulerEdgeMarker(
    const std::shared_ptr<ui::RulerView>& ruler, gfx::Point a, gfx::Point b, gfx::Point c, gfx::Point origin)
{
    auto marker = fnd::makeObject<ZORRulerMarker>();
    marker->setRuler(ruler);
    marker->setMarkerLocation(0);
    marker->setImage(ZORLineNumberRulerTriangle(a, b, c));
    marker->setImageOrigin(origin);
    return marker;
}

}

// Line markers.

std::shared_ptr<ZORLineNumberRulerMarker> ZORLineNumberRulerMarker::create(const std::shared_ptr<ui::RulerView>& ruler,
    double lineNumber, std::shared_ptr<gfx::Image> image, gfx::Point imageOrigin)
{
    auto marker = fnd::makeObject<ZORLineNumberRulerMarker>();
    marker->setRuler(ruler);
    marker->setMarkerLocation(0);
    marker->setImage(std::move(image));
    marker->setImageOrigin(imageOrigin);
    marker->m_lineNumber = lineNumber > 0 ? static_cast<std::uint64_t>(lineNumber) : 0;
    return marker;
}

std::shared_ptr<ui::RulerMarker> ZORLineNumberRulerMarker::copy() const
{
    auto copied = std::make_shared<ZORLineNumberRulerMarker>(*this);
    copied->m_lineNumber = m_lineNumber;
    return copied;
}

void ZORLineNumberRulerMarker::encodeWithCoder(fnd::Coder& coder) const
{
    ui::RulerMarker::encodeWithCoder(coder);
    fnd::Value line(static_cast<unsigned long long>(m_lineNumber));
    if (coder.allowsKeyedCoding())
        coder.encodeObject(line, "line");
    else
        coder.encodeObject(line);
}

bool ZORLineNumberRulerMarker::initWithCoder(fnd::Coder& coder)
{
    if (!ui::RulerMarker::initWithCoder(coder))
        return false;
    auto line = coder.allowsKeyedCoding() ? coder.decodeObjectForKey("line") : coder.decodeObject();
    if (!line.isNil() && !line.number()) {
        fnd::failDecoding(coder, "a line marker's line is not a number");
        return false;
    }
    m_lineNumber = line.number() && line.number()->doubleValue() > 0 ? line.number()->unsignedValue() : 0;
    return !coder.hasFailed();
}

// Edge markers.

std::shared_ptr<ZORRulerMarker> ZORRulerMarker::leftEdgeRulerMarkerForRulerView(
    const std::shared_ptr<ui::RulerView>& ruler)
{
    return ZORLineNumberRulerEdgeMarker(ruler, { 0.5, 7.5 }, { 7.5, 7.5 }, { 0.5, 0.5 }, { 0, 0 });
}

std::shared_ptr<ZORRulerMarker> ZORRulerMarker::rightEdgeRulerMarkerForRulerView(
    const std::shared_ptr<ui::RulerView>& ruler)
{
    return ZORLineNumberRulerEdgeMarker(ruler, { 7.5, 7.5 }, { 0.5, 7.5 }, { 7.5, 0.5 }, { 7, 0 });
}

std::shared_ptr<ZORRulerMarker> ZORRulerMarker::topEdgeRulerMarkerForRulerView(
    const std::shared_ptr<ui::RulerView>& ruler)
{
    return ZORLineNumberRulerEdgeMarker(ruler, { 0.5, 7.5 }, { 7.5, 7.5 }, { 0.5, 0.5 }, { 8, 8 });
}

std::shared_ptr<ZORRulerMarker> ZORRulerMarker::bottomEdgeRulerMarkerForRulerView(
    const std::shared_ptr<ui::RulerView>& ruler)
{
    return ZORLineNumberRulerEdgeMarker(ruler, { 0.5, 0.5 }, { 7.5, 0.5 }, { 0.5, 7.5 }, { 8, 0 });
}

// The ruler.

ZORLineNumberRuler::~ZORLineNumberRuler()
{
    if (m_textObserver)
        fnd::NotificationCenter::defaultCenter().removeObserver(m_textObserver);
}

std::shared_ptr<ZORLineNumberRuler> ZORLineNumberRuler::create(const std::shared_ptr<ui::View>& scrollView)
{
    auto ruler = std::make_shared<ZORLineNumberRuler>();
    ruler->initWithScrollView(scrollView);
    return ruler;
}

void ZORLineNumberRuler::initWithFrame(gfx::Rect frame)
{
    ui::RulerView::initWithFrame(frame);
    // Line numbers run down the side, also for a ruler made by class name.
    setOrientation(ui::RulerOrientation::Vertical);
    // The width follows the number of lines, worked out in the first layout pass whatever frame it was made with.
    invalidateLineIndices();
}

void ZORLineNumberRuler::initWithScrollView(const std::shared_ptr<ui::View>& scrollView)
{
    ui::RulerView::initWithScrollView(scrollView, ui::RulerOrientation::Vertical);
    m_linesToMarkers.clear();
    if (auto scroll = std::dynamic_pointer_cast<ui::ScrollView>(scrollView))
        setClientView(scroll->documentView());
}

void ZORLineNumberRuler::awakeFromNib()
{
    m_linesToMarkers.clear();
    if (auto scroll = std::dynamic_pointer_cast<ui::ScrollView>(scrollView()))
        setClientView(scroll->documentView());
}

std::shared_ptr<gfx::Font> ZORLineNumberRuler::font() const
{
    if (m_font)
        return m_font;
    return gfx::Font::labelFontOfSize(gfx::Font::systemFontSizeForControlSize(gfx::ControlSize::Mini));
}

void ZORLineNumberRuler::setFont(std::shared_ptr<gfx::Font> font)
{
    m_font = std::move(font);
    setNeedsDisplay(true);
}

void ZORLineNumberRuler::setTextColor(gfx::ColorPtr color)
{
    m_textColor = std::move(color);
    setNeedsDisplay(true);
}

void ZORLineNumberRuler::setAlternateTextColor(gfx::ColorPtr color)
{
    m_alternateTextColor = std::move(color);
    setNeedsDisplay(true);
}

void ZORLineNumberRuler::setBackgroundColor(gfx::ColorPtr color)
{
    m_backgroundColor = std::move(color);
    setNeedsDisplay(true);
}

void ZORLineNumberRuler::setClientView(const std::shared_ptr<ui::View>& client)
{
    auto& center = fnd::NotificationCenter::defaultCenter();
    if (m_textObserver) {
        center.removeObserver(m_textObserver);
        m_textObserver = {};
    }
    ui::RulerView::setClientView(client);
    if (auto text = std::dynamic_pointer_cast<ui::TextView>(client); text && text->textStorage()) {
        std::weak_ptr<ZORLineNumberRuler> weak = std::static_pointer_cast<ZORLineNumberRuler>(shared_from_this());
        m_textObserver = center.addObserverForName(txt::TextStorageDidProcessEditingNotification,
            text->textStorage()->selfValue(), [weak](const fnd::Notification&) {
                if (auto ruler = weak.lock())
                    ruler->textDidChange({});
            });
    }
    invalidateLineIndices();
}

void ZORLineNumberRuler::textDidChange(const fnd::Value&)
{
    invalidateLineIndices();
    setNeedsDisplay(true);
}

void ZORLineNumberRuler::invalidateLineIndices()
{
    m_lineIndices.reset();
    // The number of lines decides the width.
    setNeedsLayout();
}

void ZORLineNumberRuler::layout()
{
    ui::RulerView::layout();
    (void)lineIndices();
    if (std::abs(ruleThickness() - requiredThickness()) > 1.0)
        setRuleThickness(requiredThickness());
}

const std::vector<fnd::Index>& ZORLineNumberRuler::lineIndices()
{
    if (!m_lineIndices)
        calculateLines();
    if (!m_lineIndices)
        m_lineIndices.emplace();
    return *m_lineIndices;
}

std::size_t ZORLineNumberRuler::lineCount()
{
    return lineIndices().size();
}

void ZORLineNumberRuler::calculateLines()
{
    auto client = clientView();
    if (auto text = std::dynamic_pointer_cast<ui::TextView>(client)) {
        std::vector<fnd::Index> starts;
        const auto string = text->string();
        const auto n = string.length();
        fnd::Index index = 0;
        do {
            starts.push_back(index);
            index = txt::lineRangeForRange(string, { index, 0 }).max();
        } while (index < n);
        if (n > 0 && ZORLineNumberRulerIsTerminator(string.characterAt(n - 1)))
            starts.push_back(n);
        m_lineIndices = std::move(starts);
    } else if (auto table = std::dynamic_pointer_cast<ui::TableView>(client)) {
        std::vector<fnd::Index> rows;
        for (long row = 0; row < table->numberOfRows(); ++row)
            rows.push_back(row);
        m_lineIndices = std::move(rows);
    }
    // A new width takes effect in the layout pass, never in the middle of drawing.
    if (std::abs(ruleThickness() - requiredThickness()) > 1.0)
        setNeedsLayout();
}

double ZORLineNumberRuler::requiredThickness() const
{
    auto count = m_lineIndices ? m_lineIndices->size() : 1;
    int digits = count > 0 ? static_cast<int>(std::log10(static_cast<double>(count))) + 1 : 1;
    txt::AttributedString sample(fnd::String(std::string(static_cast<std::size_t>(digits), '8')), textAttributes());
    double width = sample.size().width;
    if (width + 12 <= 24)
        return 24;
    return std::ceil(static_cast<float>(width + 12));
}

std::size_t ZORLineNumberRuler::lineNumberForCharacterIndex(fnd::Index index)
{
    const auto& starts = lineIndices();
    std::size_t lo = 0, hi = starts.size();
    while (hi - lo >= 2) {
        auto mid = (lo + hi) / 2;
        if (starts[mid] > index)
            hi = mid;
        else if (starts[mid] == index)
            return mid;
        else
            lo = mid;
    }
    return lo;
}

fnd::Index ZORLineNumberRuler::lineNumberForLocation(double location)
{
    auto scroll = std::dynamic_pointer_cast<ui::ScrollView>(scrollView());
    double y = location + (scroll && scroll->contentView() ? scroll->contentView()->bounds().minY() : 0);
    auto client = clientView();
    if (auto text = std::dynamic_pointer_cast<ui::TextView>(client)) {
        auto manager = text->layoutManager();
        auto container = text->textContainer();
        if (!manager || !container)
            return fnd::NotFound;
        const auto& starts = lineIndices();
        const double top = text->textContainerOrigin().y;
        auto rectsOfLine = [&](std::size_t i) { return manager->rectsForCharacterRange({ starts[i], 0 }, *container); };
        auto spans = [&](const std::vector<gfx::Rect>& rects) {
            return std::ranges::any_of(
                rects, [&](const gfx::Rect& rect) { return y >= rect.minY() + top && y < rect.maxY() + top; });
        };
        // The lines stand one below the other, so the first line whose rect spans y is the last one whose rect
        // starts at or above y: found by halving, a click costs the same in a long text as in a short one. A
        // line without a rect leaves the order unknown; then each line is asked in turn.
        std::size_t low = 0, high = starts.size();
        bool ordered = true;
        while (low < high) {
            const std::size_t mid = low + (high - low) / 2;
            const auto rects = rectsOfLine(mid);
            if (rects.empty()) {
                ordered = false;
                break;
            }
            if (rects.front().minY() + top <= y)
                low = mid + 1;
            else
                high = mid;
        }
        if (ordered)
            return low > 0 && spans(rectsOfLine(low - 1)) ? static_cast<fnd::Index>(low) : fnd::NotFound;
        for (std::size_t i = 0; i < starts.size(); ++i)
            if (spans(rectsOfLine(i)))
                return static_cast<fnd::Index>(i + 1);
        return fnd::NotFound;
    }
    if (auto table = std::dynamic_pointer_cast<ui::TableView>(client)) {
        auto row = table->rowAtPoint({ 1.0, y });
        return row < 0 ? fnd::NotFound : static_cast<fnd::Index>(row + 1);
    }
    return fnd::NotFound;
}

std::shared_ptr<ZORLineNumberRulerMarker> ZORLineNumberRuler::markerAtLine(std::uint64_t line) const
{
    if (line == 0)
        return nullptr;
    auto found = m_linesToMarkers.find(line - 1);
    return found == m_linesToMarkers.end() ? nullptr : found->second;
}

void ZORLineNumberRuler::addMarker(const std::shared_ptr<ui::RulerMarker>& marker)
{
    if (auto line = std::dynamic_pointer_cast<ZORLineNumberRulerMarker>(marker)) {
        if (line->lineNumber() > 0)
            m_linesToMarkers[line->lineNumber() - 1] = line;
        return;
    }
    ui::RulerView::addMarker(marker);
}

void ZORLineNumberRuler::removeMarker(const std::shared_ptr<ui::RulerMarker>& marker)
{
    if (auto line = std::dynamic_pointer_cast<ZORLineNumberRulerMarker>(marker)) {
        if (line->lineNumber() > 0)
            m_linesToMarkers.erase(line->lineNumber() - 1);
        return;
    }
    ui::RulerView::removeMarker(marker);
}

void ZORLineNumberRuler::setMarkers(const std::vector<std::shared_ptr<ui::RulerMarker>>& markers)
{
    m_linesToMarkers.clear();
    ui::RulerView::setMarkers({});
    for (const auto& marker : markers)
        addMarker(marker);
}

std::vector<std::shared_ptr<ui::RulerMarker>> ZORLineNumberRuler::markers() const
{
    auto all = ui::RulerView::markers();
    for (const auto& [line, marker] : m_linesToMarkers)
        all.push_back(marker);
    return all;
}

void ZORLineNumberRuler::removeAllMarker()
{
    for (const auto& marker : markers())
        removeMarker(marker);
    setNeedsDisplay(true);
}

txt::Attributes ZORLineNumberRuler::textAttributes() const
{
    return { { txt::FontAttributeName, fnd::Value(font()) },
        { txt::ForegroundColorAttributeName, fnd::Value(textColor()) } };
}

txt::Attributes ZORLineNumberRuler::markerTextAttributes() const
{
    return { { txt::FontAttributeName, fnd::Value(font()) },
        { txt::ForegroundColorAttributeName, fnd::Value(alternateTextColor()) } };
}

void ZORLineNumberRuler::drawLabel(std::size_t line, double y, double height)
{
    const auto b = bounds();
    auto marker = m_linesToMarkers.find(line);
    if (marker != m_linesToMarkers.end() && marker->second->image()) {
        const auto& image = marker->second->image();
        auto size = image->size();
        image->drawInRect(
            { b.width() - size.width - 1, y + height * 0.5 - marker->second->imageOrigin().y, size.width, size.height },
            {}, gfx::CompositingOperation::SourceOver, 1.0);
    }
    txt::AttributedString label(fnd::String(std::to_string(line + 1)),
        marker != m_linesToMarkers.end() ? markerTextAttributes() : textAttributes());
    auto size = label.size();
    label.drawInRect({ b.width() - size.width - 6, y + (height - size.height) * 0.5, b.width() - 12, height });
}

void ZORLineNumberRuler::drawHashMarksAndLabelsInRect(gfx::Rect)
{
    auto* context = gfx::GraphicsContext::current();
    if (!context)
        return;
    const auto b = bounds();
    // The edge by the text: an upright hairline in the last column, outside the numbers' clip.
    auto edge = [&] {
        gfx::Color::darkGrayColor()->set();
        gfx::BezierPath::strokeLineFromPoint({ b.maxX() - 0.5, b.minY() }, { b.maxX() - 0.5, b.maxY() });
    };
    std::optional<gfx::GraphicsStateGuard> clipped;
    clipped.emplace();
    context->clipToRect({ b.minX(), b.minY() + 1, b.width() - 1, b.height() - 1 });
    if (m_backgroundColor) {
        m_backgroundColor->set();
        gfx::BezierPath::fillRect(b);
        edge();
    }
    auto scroll = std::dynamic_pointer_cast<ui::ScrollView>(scrollView());
    gfx::Rect visible = scroll && scroll->contentView() ? scroll->contentView()->bounds() : b;
    auto client = clientView();
    if (auto text = std::dynamic_pointer_cast<ui::TextView>(client)) {
        auto manager = text->layoutManager();
        auto container = text->textContainer();
        if (manager && container) {
            const auto& starts = lineIndices();
            auto origin = text->textContainerOrigin();
            gfx::Rect inContainer { visible.minX() - origin.x, visible.minY() - origin.y, visible.width(),
                visible.height() };
            auto glyphs = manager->glyphRangeForBoundingRect(inContainer, *container);
            auto characters = manager->characterRangeForGlyphRange(glyphs);
            for (auto line = lineNumberForCharacterIndex(characters.location);
                 line < starts.size() && starts[line] - characters.location <= characters.length; ++line) {
                if (starts[line] < characters.location)
                    continue;
                auto rects = manager->rectsForCharacterRange({ starts[line], 0 }, *container);
                if (rects.empty())
                    continue;
                drawLabel(
                    line, rects[0].minY() + text->textContainerInset().height - visible.minY(), rects[0].height());
            }
        }
    } else if (auto table = std::dynamic_pointer_cast<ui::TableView>(client)) {
        double headerHeight = table->headerView() ? table->headerView()->frame().height() : 0;
        auto rows = table->rowsInRect(visible);
        for (auto row = rows.location; row < rows.max(); ++row) {
            auto rect = table->rectOfRow(static_cast<long>(row));
            drawLabel(static_cast<std::size_t>(row), rect.minY() - visible.minY() + headerHeight, rect.height());
        }
        if (m_tableHeaderView) {
            gfx::GraphicsStateGuard header;
            auto frame = m_tableHeaderView->frame();
            context->translateCTM(frame.minX(), frame.minY());
            m_tableHeaderView->drawRect(m_tableHeaderView->bounds());
        }
    }
    clipped.reset();
    edge();
}

void ZORLineNumberRuler::encodeWithCoder(fnd::Coder& coder) const
{
    ui::RulerView::encodeWithCoder(coder);
    const fnd::Value values[]
        = { m_font ? fnd::Value(m_font) : fnd::Value(), m_textColor ? fnd::Value(m_textColor) : fnd::Value(),
              m_alternateTextColor ? fnd::Value(m_alternateTextColor) : fnd::Value(),
              m_backgroundColor ? fnd::Value(m_backgroundColor) : fnd::Value() };
    const char* const keys[] = { "font", "textColor", "alternateTextColor", "backgroundColor" };
    for (std::size_t i = 0; i < std::size(keys); ++i) {
        if (coder.allowsKeyedCoding())
            coder.encodeObject(values[i], keys[i]);
        else
            coder.encodeObject(values[i]);
    }
}

bool ZORLineNumberRuler::initWithCoder(fnd::Coder& coder)
{
    if (!ui::RulerView::initWithCoder(coder))
        return false;
    const bool keyed = coder.allowsKeyedCoding();
    m_font = keyed ? fnd::decodeObjectOfClass<gfx::Font>(coder, "font") : fnd::decodeObjectOfClass<gfx::Font>(coder);
    gfx::ColorPtr* colors[] = { &m_textColor, &m_alternateTextColor, &m_backgroundColor };
    const char* const keys[] = { "textColor", "alternateTextColor", "backgroundColor" };
    for (std::size_t i = 0; i < std::size(keys); ++i)
        *colors[i] = keyed ? fnd::decodeObjectOfClass<gfx::Color>(coder, keys[i])
                           : fnd::decodeObjectOfClass<gfx::Color>(coder);
    m_linesToMarkers.clear();
    return !coder.hasFailed();
}

// The ruler with markers.

std::shared_ptr<ZORLineNumberRulerWithMarker> ZORLineNumberRulerWithMarker::create(
    const std::shared_ptr<ui::View>& scrollView)
{
    auto ruler = std::make_shared<ZORLineNumberRulerWithMarker>();
    ruler->initWithScrollView(scrollView);
    return ruler;
}

void ZORLineNumberRulerWithMarker::initWithFrame(gfx::Rect frame)
{
    ZORLineNumberRuler::initWithFrame(frame);
    m_editable = true;
}

void ZORLineNumberRulerWithMarker::setRuleThickness(double thickness)
{
    ZORLineNumberRuler::setRuleThickness(thickness);
    if (m_markerImage)
        m_markerImage->setSize({ thickness, 13 });
}

std::shared_ptr<gfx::Image> ZORLineNumberRulerWithMarker::markerImageWithSize(gfx::Size size)
{
    if (!m_markerImage)
        // The image may outlive the ruler (markers keep it), so its handler keeps nothing of the ruler.
        m_markerImage = gfx::Image::imageWithSize(size, false, [](const gfx::Rect& destination) {
            gfx::GraphicsStateGuard guard;
            if (auto* context = gfx::GraphicsContext::current())
                context->translateCTM(destination.minX(), destination.minY());
            drawMarkerImageIntoRep(destination.size);
            return true;
        });
    return m_markerImage;
}

void ZORLineNumberRulerWithMarker::drawMarkerImageIntoRep(gfx::Size size)
{
    const double a = size.width - 1;
    const double b = size.height - 3;
    gfx::BezierPath path;
    path.moveToPoint({ a, b * 0.5 + 2 });
    path.lineToPoint({ a - 5, b + 2 });
    path.appendBezierPathWithArcWithCenter({ 4, b - 1 }, 3, 90, 180);
    path.appendBezierPathWithArcWithCenter({ 4, 5 }, 3, 180, 270);
    path.lineToPoint({ a - 5, 2 });
    path.closePath();
    gfx::Color::colorWithCalibratedRed(0.003, 0.56, 0.85, 1.0)->set();
    path.fill();
    path.setLineWidth(2.0);
    gfx::Color::colorWithCalibratedRed(0.0, 0.44, 0.8, 1.0)->set();
    path.stroke();
}

void ZORLineNumberRulerWithMarker::mouseDown(const ui::Event& event)
{
    if (!m_editable)
        return;
    auto point = convertPointFromView(event.locationInWindow(), nullptr);
    double headerHeight = 0;
    if (auto table = std::dynamic_pointer_cast<ui::TableView>(clientView()); table && table->headerView())
        headerHeight = table->headerView()->frame().height();
    auto line = lineNumberForLocation(point.y - headerHeight);
    if (line == fnd::NotFound)
        return;
    if (auto marker = markerAtLine(static_cast<std::uint64_t>(line)))
        removeMarker(marker);
    else
        addMarkerWithLineNumber(static_cast<std::uint64_t>(line));
    setNeedsDisplay(true);
}

void ZORLineNumberRulerWithMarker::addMarkerWithLineNumber(std::uint64_t line)
{
    if (line == 0 || markerAtLine(line))
        return;
    auto marker = ZORLineNumberRulerMarker::create(std::static_pointer_cast<ui::RulerView>(shared_from_this()),
        static_cast<double>(line), markerImageWithSize({ ruleThickness(), 13 }), { 0, 6.5 });
    addMarker(marker);
    setNeedsDisplay(true);
}

void ZORLineNumberRulerWithMarker::addSingleMarkerWithLineNumber(std::uint64_t line)
{
    removeAllMarker();
    addMarkerWithLineNumber(line);
}
