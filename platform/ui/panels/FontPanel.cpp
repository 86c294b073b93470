#include "platform/ui/panels/FontPanel.h"

#include "platform/graphics/BezierPath.h"
#include "platform/graphics/FontManager.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/look/ControlLook.h"
#include "platform/ui/panels/detail/ChoiceListView.h"
#include "platform/ui/panels/detail/StandardPanels.h"
#include "platform/ui/text/TextField.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/detail/FlippedView.h"
#include "platform/ui/views/detail/PanelText.h"

#include <algorithm>
#include <cmath>

namespace ui {

namespace {

constexpr double FontPanelWidth = 480;
constexpr double FontPanelMargin = 10;
constexpr double ListTop = 94;
constexpr double ListHeight = 200;
constexpr double StandardSizes[] = { 9, 10, 11, 12, 13, 14, 18, 24, 36, 48, 64, 72, 96, 144, 288 };

fnd::String sizeText(double size)
{
    return fnd::String::format(std::round(size) == size ? "%.0f" : "%.1f", { size });
}

// The chosen font, drawn in itself with its name and size.
class FontPreviewView : public View {
    FND_OBJECT(FontPreviewView)
public:
    std::weak_ptr<FontPanel> panel;
    bool isFlipped() const override { return true; }
    void drawRect(gfx::Rect) override
    {
        auto b = bounds();
        gfx::Color::whiteColor()->setFill();
        gfx::BezierPath::fillRect(b);
        ControlLook::borderColor()->setStroke();
        gfx::BezierPath::bezierPathWithRect(gfx::insetRect(b, 0.5, 0.5))->stroke();
        auto p = panel.lock();
        auto font = p ? p->panelFont() : nullptr;
        if (!font)
            return;
        // Large sizes are previewed at a size that fits.
        auto shown = font->pointSize() > 36 ? font->fontWithSize(36) : font;
        auto text = fnd::String::format(
            "%@ %@ – %@ pt", { font->familyName(), font->styleName(), sizeText(font->pointSize()) });
        detail::drawLabel(
            text, gfx::insetRect(b, 8, 2), shown, ControlLook::textColor(true), txt::TextAlignment::Center);
    }
};

}

FND_REGISTER_CLASS(FontPreviewView, View)
FND_REGISTER_CLASS(FontPanel, Window)

void FontPanel::describeClass(fnd::ClassBuilder<FontPanel>& c)
{
    c.action("orderFrontFontPanel:", &FontPanel::orderFrontFontPanel);
    c.action("sizeFieldChanged:", &FontPanel::sizeFieldChanged);
}

FontPanel::~FontPanel()
{
    if (m_selectedFontObserver)
        fnd::NotificationCenter::defaultCenter().removeObserver(m_selectedFontObserver);
}

std::shared_ptr<FontPanel> FontPanel::sharedFontPanel()
{
    auto& panel = detail::sharedPanelSlot<FontPanel>();
    if (!panel || panel->isClosed()) {
        panel = fnd::makeObject<FontPanel>();
        panel->init();
    }
    return panel;
}

bool FontPanel::sharedFontPanelExists()
{
    return detail::sharedPanelSlot<FontPanel>() && !detail::sharedPanelSlot<FontPanel>()->isClosed();
}

void FontPanel::init()
{
    initWithContentRect(
        { 0, 0, FontPanelWidth, 300 }, WindowStyleMask::Titled | WindowStyleMask::Closable | WindowStyleMask::Utility);
    setTitle(detail::panelText("Fonts", "Fonts"));
    setLevel(WindowLevel::Floating);
    build();
    std::weak_ptr<FontPanel> weak = std::static_pointer_cast<FontPanel>(shared_from_this());
    m_selectedFontObserver = fnd::NotificationCenter::defaultCenter().addObserverForName(
        gfx::FontManagerSelectedFontDidChangeNotification, {}, [weak](const fnd::Notification&) {
            auto& manager = gfx::FontManager::shared();
            if (auto panel = weak.lock())
                panel->setPanelFont(manager.selectedFont(), manager.isMultiple());
        });
    auto& manager = gfx::FontManager::shared();
    setPanelFont(
        manager.selectedFont() ? manager.selectedFont() : gfx::Font::systemFontOfSize(0), manager.isMultiple());
}

void FontPanel::build()
{
    auto self = std::static_pointer_cast<FontPanel>(shared_from_this());
    std::weak_ptr<FontPanel> weak = self;
    auto content = detail::FlippedView::create({ 0, 0, FontPanelWidth, 300 });
    setContentView(content);
    auto preview
        = makeView<FontPreviewView>({ FontPanelMargin, FontPanelMargin, FontPanelWidth - 2 * FontPanelMargin, 56 });
    preview->panel = self;
    m_preview = preview;
    content->addSubview(preview);

    auto list
        = [&](gfx::Rect frame, std::shared_ptr<detail::ChoiceListView>& view, std::shared_ptr<ScrollView>& scroll) {
              view = detail::ChoiceListView::create({ 0, 0, frame.width(), frame.height() });
              scroll = ScrollView::create(frame);
              scroll->setHasVerticalScroller(true);
              scroll->setAutohidesScrollers(true);
              scroll->setBorderType(BorderType::LineBorder);
              scroll->setDocumentView(view);
              content->addSubview(scroll);
          };
    double familyWidth = 200, faceWidth = 150;
    double sizeX = FontPanelMargin + familyWidth + 6 + faceWidth + 6;
    list({ FontPanelMargin, ListTop, familyWidth, ListHeight }, m_families, m_familyScroll);
    list({ FontPanelMargin + familyWidth + 6, ListTop, faceWidth, ListHeight }, m_faces, m_faceScroll);
    list({ sizeX, ListTop + 30, FontPanelWidth - FontPanelMargin - sizeX, ListHeight - 30 }, m_sizes, m_sizeScroll);
    m_sizeField = TextField::create({ sizeX, ListTop, FontPanelWidth - FontPanelMargin - sizeX, 24 });
    m_sizeField->setTarget(self);
    m_sizeField->setAction("sizeFieldChanged:");
    content->addSubview(m_sizeField);
    struct Title {
        const char* text;
        double x;
    };
    for (auto t : { Title { "Family", FontPanelMargin }, Title { "Typeface", FontPanelMargin + familyWidth + 6 },
             Title { "Size", sizeX } }) {
        auto title = TextField::labelWithString(detail::panelText(t.text, t.text));
        title->setFont(gfx::Font::boldSystemFontOfSize(11));
        title->sizeToFit();
        title->setFrameOrigin({ t.x, ListTop - 20 });
        content->addSubview(title);
        m_titles.push_back(title);
    }
    // Each list (and the size field) is named by the title above it.
    m_families->setAccessibilityTitleUIElement(m_titles[0]);
    m_faces->setAccessibilityTitleUIElement(m_titles[1]);
    m_sizes->setAccessibilityTitleUIElement(m_titles[2]);
    m_sizeField->setAccessibilityTitleUIElement(m_titles[2]);

    auto families = gfx::FontManager::shared().availableFontFamilies();
    std::ranges::sort(families, [](const fnd::String& a, const fnd::String& b) {
        return a.compare(b, fnd::StringCompareOptions::CaseInsensitive) < 0;
    });
    m_families->setTitles(families);
    std::vector<fnd::String> sizes;
    for (double s : StandardSizes)
        sizes.push_back(sizeText(s));
    m_sizes->setTitles(sizes);
    m_families->onSelect = [weak](long row) {
        if (auto p = weak.lock())
            p->familyChosen(row);
    };
    m_faces->onSelect = [weak](long row) {
        if (auto p = weak.lock())
            p->faceChosen(row);
    };
    m_sizes->onSelect = [weak](long row) {
        if (auto p = weak.lock())
            p->sizeChosen(StandardSizes[row]);
    };
    content->setFrameSize({ FontPanelWidth, ListTop + ListHeight + FontPanelMargin });
    setContentSize({ FontPanelWidth, ListTop + ListHeight + FontPanelMargin });
}

// Showing a font.

void FontPanel::showFaces(const fnd::String& family)
{
    m_facePostScriptNames.clear();
    std::vector<fnd::String> styles;
    for (const auto& member : gfx::FontManager::shared().availableMembersOfFontFamily(family)) {
        const auto* fields = member.array();
        if (!fields || fields->size() < 2)
            continue;
        m_facePostScriptNames.push_back((*fields)[0].stringValue());
        styles.push_back((*fields)[1].stringValue());
    }
    m_faces->setTitles(styles);
}

void FontPanel::setPanelFont(const std::shared_ptr<gfx::Font>& font, bool isMultiple)
{
    if (!font)
        return;
    m_font = font;
    m_isMultiple = isMultiple;
    auto family = font->familyName();
    if (m_families->titles().empty() || m_families->selectedRow() < 0
        || m_families->titles()[std::size_t(m_families->selectedRow())] != family)
        showFaces(family);
    m_families->selectRow(m_families->rowOfTitle(family));
    // Several fonts selected: no face or size stands for all of them.
    auto face = std::ranges::find(m_facePostScriptNames, font->fontName());
    m_faces->selectRow(
        isMultiple || face == m_facePostScriptNames.end() ? -1 : long(face - m_facePostScriptNames.begin()));
    m_sizeField->setStringValue(isMultiple ? fnd::String() : sizeText(font->pointSize()));
    m_sizes->selectRow(isMultiple ? -1 : m_sizes->rowOfTitle(sizeText(font->pointSize())));
    m_preview->setNeedsDisplay(true);
}

std::shared_ptr<gfx::Font> FontPanel::panelConvertFont(const std::shared_ptr<gfx::Font>& font) const
{
    return gfx::FontManager::shared().convertFont(font);
}

void FontPanel::reloadValidModes()
{
    auto& manager = gfx::FontManager::shared();
    fnd::Selector ask = "validModesForFontPanel:";
    auto answerer = Application::shared().targetForAction(ask, manager.target(), selfValue());
    if (!answerer) {
        if (auto d = manager.delegate(); d && d->respondsTo(ask))
            answerer = d;
    }
    m_modes = FontPanelModeMask::Standard;
    if (answerer) {
        auto answer = answerer->perform(ask, selfValue());
        if (answer.isNumber())
            m_modes = unsigned(answer.integerValue());
    }
    bool faces = m_modes & FontPanelModeMask::Face;
    bool sizes = m_modes & FontPanelModeMask::Size;
    m_familyScroll->setHidden(!faces);
    m_faceScroll->setHidden(!faces);
    m_titles[0]->setHidden(!faces);
    m_titles[1]->setHidden(!faces);
    m_sizeScroll->setHidden(!sizes);
    m_sizeField->setHidden(!sizes);
    m_titles[2]->setHidden(!sizes);
}

// Choices.

void FontPanel::familyChosen(long row)
{
    if (row < 0 || row >= long(m_families->titles().size()))
        return;
    auto family = m_families->titles()[std::size_t(row)];
    showFaces(family);
    gfx::FontManager::shared().setPanelChoice({ family, {}, 0 });
    sendChange();
}

void FontPanel::faceChosen(long row)
{
    if (row < 0 || row >= long(m_facePostScriptNames.size()))
        return;
    gfx::FontManager::shared().setPanelChoice({ {}, m_facePostScriptNames[std::size_t(row)], 0 });
    sendChange();
}

void FontPanel::sizeChosen(double size)
{
    if (!(size > 0) || !std::isfinite(size))
        return;
    gfx::FontManager::shared().setPanelChoice({ {}, {}, size });
    sendChange();
}

void FontPanel::sizeFieldChanged(const fnd::Value&)
{
    double size = m_sizeField->stringValue().doubleValue();
    if (!(size > 0) || !std::isfinite(size)) {
        Application::shared().beep();
        setPanelFont(m_font, m_isMultiple);
        return;
    }
    sizeChosen(size);
}

void FontPanel::sendChange()
{
    auto self = shared_from_this();
    auto& manager = gfx::FontManager::shared();
    Application::shared().sendAction(manager.action(), manager.target(), selfValue());
    // What the panel shows follows the choice, whether or not anyone took the action.
    setPanelFont(panelConvertFont(m_font), false);
}

void FontPanel::orderFrontFontPanel(const fnd::Value&)
{
    reloadValidModes();
    detail::orderFrontBesideMainWindow(*this);
    // The keyboard starts in the families, unless it is already somewhere in the panel.
    if (!std::dynamic_pointer_cast<View>(firstResponder()))
        makeFirstResponder(m_families);
}

}
