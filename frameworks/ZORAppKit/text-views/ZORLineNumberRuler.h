#pragma once

#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Font.h"
#include "platform/text/Attributes.h"
#include "platform/ui/containers/RulerView.h"

#include <map>
#include <memory>
#include <vector>

namespace ui {
class TableHeaderView;
}

// A marker standing for one (1-based) line of a line-number ruler.
class ZORLineNumberRulerMarker : public ui::RulerMarker {
    FND_OBJECT(ZORLineNumberRulerMarker)

public:
    ZORLineNumberRulerMarker() = default;
    static std::shared_ptr<ZORLineNumberRulerMarker> create(const std::shared_ptr<ui::RulerView>& ruler,
        double lineNumber, std::shared_ptr<gfx::Image> image, gfx::Point imageOrigin);
    std::uint64_t lineNumber() const { return m_lineNumber; }
    void setLineNumber(std::uint64_t line) { m_lineNumber = line; }
    std::shared_ptr<ui::RulerMarker> copy() const override;
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    std::uint64_t m_lineNumber { 0 };
};

// Four small triangles for the edges of a ruler.
class ZORRulerMarker : public ui::RulerMarker {
    FND_OBJECT(ZORRulerMarker)

public:
    ZORRulerMarker() = default;
    static std::shared_ptr<ZORRulerMarker> leftEdgeRulerMarkerForRulerView(const std::shared_ptr<ui::RulerView>& ruler);
    static std::shared_ptr<ZORRulerMarker> rightEdgeRulerMarkerForRulerView(
        const std::shared_ptr<ui::RulerView>& ruler);
    static std::shared_ptr<ZORRulerMarker> topEdgeRulerMarkerForRulerView(const std::shared_ptr<ui::RulerView>& ruler);
    static std::shared_ptr<ZORRulerMarker> bottomEdgeRulerMarkerForRulerView(
        const std::shared_ptr<ui::RulerView>& ruler);
};

// A vertical ruler numbering the lines of a text view (or the rows of a table view) beside its scroll view. It is
// as wide as the digits need, follows the text's edits and shows line markers.
class ZORLineNumberRuler : public ui::RulerView {
    FND_OBJECT(ZORLineNumberRuler)

public:
    ZORLineNumberRuler() = default;
    ~ZORLineNumberRuler() override;
    static std::shared_ptr<ZORLineNumberRuler> create(const std::shared_ptr<ui::View>& scrollView);
    void initWithFrame(gfx::Rect frame) override;
    void initWithScrollView(const std::shared_ptr<ui::View>& scrollView);
    void awakeFromNib() override;

    std::shared_ptr<gfx::Font> font() const;
    void setFont(std::shared_ptr<gfx::Font> font);
    gfx::ColorPtr textColor() const { return m_textColor ? m_textColor : gfx::Color::blackColor(); }
    void setTextColor(gfx::ColorPtr color);
    gfx::ColorPtr alternateTextColor() const
    {
        return m_alternateTextColor ? m_alternateTextColor : gfx::Color::whiteColor();
    }
    void setAlternateTextColor(gfx::ColorPtr color);
    const gfx::ColorPtr& backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(gfx::ColorPtr color);
    const std::shared_ptr<ui::View>& tableHeaderView() const { return m_tableHeaderView; }
    void setTableHeaderView(std::shared_ptr<ui::View> view) { m_tableHeaderView = std::move(view); }

    void setClientView(const std::shared_ptr<ui::View>& client) override;
    void textDidChange(const fnd::Value& notification);
    void invalidateLineIndices();
    // The first character of each line (text client) or the row indexes (table client); built when asked.
    const std::vector<fnd::Index>& lineIndices();
    std::size_t lineNumberForCharacterIndex(fnd::Index index);
    // 1-based; NotFound when no line is there.
    fnd::Index lineNumberForLocation(double location);

    std::shared_ptr<ZORLineNumberRulerMarker> markerAtLine(std::uint64_t line) const;
    void addMarker(const std::shared_ptr<ui::RulerMarker>& marker) override;
    void removeMarker(const std::shared_ptr<ui::RulerMarker>& marker) override;
    void setMarkers(const std::vector<std::shared_ptr<ui::RulerMarker>>& markers) override;
    std::vector<std::shared_ptr<ui::RulerMarker>> markers() const override;
    void removeAllMarker();

    txt::Attributes textAttributes() const;
    txt::Attributes markerTextAttributes() const;
    double requiredThickness() const override;
    // Counts the lines; a width that no longer fits them is asked for from the layout pass.
    void calculateLines();
    // Takes the width the lines need.
    void layout() override;
    void drawHashMarksAndLabelsInRect(gfx::Rect rect) override;
    void drawMarkersInRect(gfx::Rect) override { }
    bool isFlipped() const override { return true; }

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    std::size_t lineCount();
    void drawLabel(std::size_t line, double y, double height);

    std::optional<std::vector<fnd::Index>> m_lineIndices;
    std::map<std::uint64_t, std::shared_ptr<ZORLineNumberRulerMarker>> m_linesToMarkers;
    std::shared_ptr<gfx::Font> m_font;
    gfx::ColorPtr m_textColor;
    gfx::ColorPtr m_alternateTextColor;
    gfx::ColorPtr m_backgroundColor;
    std::shared_ptr<ui::View> m_tableHeaderView;
    fnd::NotificationObserverToken m_textObserver;
};

// A line-number ruler on which a click toggles a bookmark-like marker on the line.
class ZORLineNumberRulerWithMarker : public ZORLineNumberRuler {
    FND_OBJECT(ZORLineNumberRulerWithMarker)

public:
    ZORLineNumberRulerWithMarker() = default;
    static std::shared_ptr<ZORLineNumberRulerWithMarker> create(const std::shared_ptr<ui::View>& scrollView);
    void initWithFrame(gfx::Rect frame) override;
    bool isEditable() const { return m_editable; }
    void setEditable(bool flag) { m_editable = flag; }
    void setRuleThickness(double thickness) override;
    std::shared_ptr<gfx::Image> markerImageWithSize(gfx::Size size);
    void mouseDown(const ui::Event& event) override;
    void addMarkerWithLineNumber(std::uint64_t line);
    void addSingleMarkerWithLineNumber(std::uint64_t line);
    // The tag: a rounded shape pointing right.
    static void drawMarkerImageIntoRep(gfx::Size size);

private:
    std::shared_ptr<gfx::Image> m_markerImage;
    bool m_editable { false };
};
