#pragma once

#include "platform/graphics/Font.h"
#include "platform/text/LayoutManager.h"
#include "platform/text/TextAttachment.h"
#include "platform/text/Typesetter.h"

#include <memory>

namespace ui {
class View;
}
class ZORTextViewInspector;
class ZORTextViewInspectorViewField;

// An attachment cell that reserves room for a hosted view in the inspector's text and places it vertically on the
// label's line; the layout manager moves and shows the view when it draws the cell.
class ZORTextViewInspectorViewTextAttachmentCell : public txt::TextAttachmentCell {
    FND_OBJECT(ZORTextViewInspectorViewTextAttachmentCell)

public:
    ZORTextViewInspectorViewTextAttachmentCell() = default;

    const std::shared_ptr<ui::View>& view() const { return m_view; }
    void setView(std::shared_ptr<ui::View> view) { m_view = std::move(view); }
    const std::shared_ptr<gfx::Font>& labelFont() const { return m_labelFont; }
    void setLabelFont(std::shared_ptr<gfx::Font> font) { m_labelFont = std::move(font); }
    gfx::Size overrideCellSize() const { return m_overrideCellSize; }
    void setOverrideCellSize(gfx::Size size) { m_overrideCellSize = size; }
    bool viewShouldNotShowAtAttachmentPosition() const { return m_viewShouldNotShowAtAttachmentPosition; }
    void setViewShouldNotShowAtAttachmentPosition(bool flag) { m_viewShouldNotShowAtAttachmentPosition = flag; }
    bool wantsToTrackMouse() const { return true; }

    gfx::Size cellSize() const override;
    gfx::Point cellBaselineOffset() const override;
    gfx::Rect cellFrameForTextContainer(const txt::TextContainer& container, const gfx::Rect& lineFragment,
        gfx::Point glyphPosition, fnd::Index characterIndex) override;

private:
    gfx::Size m_overrideCellSize;
    std::shared_ptr<ui::View> m_view;
    bool m_viewShouldNotShowAtAttachmentPosition { false };
    std::shared_ptr<gfx::Font> m_labelFont;
};

// The cell of a view field: its view and placement come from the field.
class ZORTextViewInspectorFieldTextAttachmentCell : public ZORTextViewInspectorViewTextAttachmentCell {
    FND_OBJECT(ZORTextViewInspectorFieldTextAttachmentCell)

public:
    const std::shared_ptr<ZORTextViewInspectorViewField>& field() const { return m_field; }
    void setField(const std::shared_ptr<ZORTextViewInspectorViewField>& field);

private:
    std::shared_ptr<ZORTextViewInspectorViewField> m_field;
};

// Shows hosted views where their cells are drawn, and limits the background (the selection included) to the value
// run being edited.
class ZORTextViewInspectorLayoutManager : public txt::LayoutManager {
    FND_OBJECT(ZORTextViewInspectorLayoutManager)

public:
    ZORTextViewInspectorLayoutManager() = default;
    std::shared_ptr<ZORTextViewInspector> inspector() const { return m_inspector.lock(); }
    void setInspector(const std::shared_ptr<ZORTextViewInspector>& inspector) { m_inspector = inspector; }

    void drawBackgroundForGlyphRange(fnd::Range glyphRange, gfx::Point origin) override;
    void showAttachmentCell(const std::shared_ptr<txt::TextAttachmentCell>& cell, const gfx::Rect& rect,
        fnd::Index characterIndex) override;

private:
    std::weak_ptr<ZORTextViewInspector> m_inspector;
};

// Gives fields their minimum line heights and insets, and records each field's line fragment.
class ZORTextViewInspectorTypesetter : public txt::Typesetter {
    FND_OBJECT(ZORTextViewInspectorTypesetter)

public:
    ZORTextViewInspectorTypesetter() = default;
    std::shared_ptr<ZORTextViewInspector> inspector() const { return m_inspector.lock(); }
    void setInspector(const std::shared_ptr<ZORTextViewInspector>& inspector) { m_inspector = inspector; }

    void willSetLineFragmentRect(
        gfx::Rect& lineRect, fnd::Range glyphRange, gfx::Rect& usedRect, double& baselineOffset) override;
    // Only minimum heights look back at earlier lines; without them an edit lays out its own paragraph alone.
    bool lineFragmentsDependOnEarlierLines() const override;

private:
    std::weak_ptr<ZORTextViewInspector> m_inspector;
};
