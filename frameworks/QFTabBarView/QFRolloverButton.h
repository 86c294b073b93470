#pragma once

#include "platform/foundation/archiving/Coding.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/ButtonCell.h"

// A button cell that shows a second picture while the pointer is over its button.
class QFRolloverButtonCell : public ui::ButtonCell {
    FND_OBJECT(QFRolloverButtonCell)

public:
    std::shared_ptr<ui::Cell> cloneCell() const override;

    std::shared_ptr<gfx::Image> rolloverImage() const { return m_rolloverImage; }
    void setRolloverImage(std::shared_ptr<gfx::Image> image) { m_rolloverImage = std::move(image); }
    bool mouseHovered() const { return m_mouseHovered; }
    unsigned long rolloverButtonType() const { return m_rolloverButtonType; }
    // Type 0 also makes the cell a momentary-change button that pushes in and shows no state.
    void setRolloverButtonType(unsigned long type);
    bool simulateClickOnMouseHovered() const { return m_simulateClickOnMouseHovered; }
    void setSimulateClickOnMouseHovered(bool flag) { m_simulateClickOnMouseHovered = flag; }

    void drawImage(const std::shared_ptr<gfx::Image>& image, gfx::Rect frame, ui::View& controlView) override;
    void addTrackingAreasForView(ui::View& view, gfx::Rect rect, fnd::Value userInfo, gfx::Point mouseLocation);
    // With the Option key and simulateClickOnMouseHovered, entering clicks the button instead of hovering.
    void mouseEntered(const ui::Event& event) override;
    void mouseExited(const ui::Event& event) override;
    // Leaves the hover state without an event (the tracking areas are being rebuilt).
    void clearHover();

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

protected:
    void updateControlView();

private:
    std::shared_ptr<gfx::Image> m_rolloverImage;
    bool m_mouseHovered { false };
    unsigned long m_rolloverButtonType { 0 };
    bool m_simulateClickOnMouseHovered { false };
};

class QFRolloverButton : public ui::Button {
    FND_OBJECT(QFRolloverButton)

public:
    static std::shared_ptr<QFRolloverButton> create(gfx::Rect frame = {});
    // Without a title.
    void initWithFrame(gfx::Rect frame) override;
    std::shared_ptr<ui::Cell> makeCell() const override;
    std::shared_ptr<QFRolloverButtonCell> rolloverCell() const
    {
        return std::dynamic_pointer_cast<QFRolloverButtonCell>(cell());
    }

    std::shared_ptr<gfx::Image> rolloverImage() const;
    void setRolloverImage(std::shared_ptr<gfx::Image> image);
    unsigned long rolloverButtonType() const;
    void setRolloverButtonType(unsigned long type);
    bool mouseHovered() const;
    bool simulateClickOnMouseHovered() const;
    void setSimulateClickOnMouseHovered(bool flag);

    void mouseEntered(const ui::Event& event) override;
    void mouseExited(const ui::Event& event) override;
    // Rebuilds the button's own hover area; a pointer already inside leaves the hover state until it goes out and
    // comes back.
    void updateTrackingAreas() override;
};
