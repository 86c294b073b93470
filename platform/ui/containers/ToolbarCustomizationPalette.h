#pragma once

#include "platform/ui/dragging/Dragging.h"
#include "platform/ui/containers/Toolbar.h"
#include "platform/ui/views/Window.h"

namespace ui {

class Button;
class PopUpButton;

// One allowed item in the customisation sheet; dragging it to the toolbar adds it there.
class ToolbarPaletteItemView : public View, public DraggingSource {
    FND_OBJECT(ToolbarPaletteItemView)
public:
    static std::shared_ptr<ToolbarPaletteItemView> create(gfx::Rect frame, const std::shared_ptr<ToolbarItem>& item);
    const std::shared_ptr<ToolbarItem>& item() const { return m_item; }

    bool isFlipped() const override { return true; }
    void drawRect(gfx::Rect dirtyRect) override;
    void mouseDown(const Event& event) override;

private:
    std::shared_ptr<ToolbarItem> m_item;
};

// The default set in the customisation sheet; dragging it to the toolbar puts the default items back.
class ToolbarDefaultSetView : public View, public DraggingSource {
    FND_OBJECT(ToolbarDefaultSetView)
public:
    static std::shared_ptr<ToolbarDefaultSetView> create(
        gfx::Rect frame, std::vector<std::shared_ptr<ToolbarItem>> items);

    bool isFlipped() const override { return true; }
    void drawRect(gfx::Rect dirtyRect) override;
    void mouseDown(const Event& event) override;

private:
    std::vector<std::shared_ptr<ToolbarItem>> m_items;
};

// The sheet a toolbar is customised in: every allowed item to drag into the toolbar, the default set, the display
// mode, small size, and Done. While it is up, items in the toolbar can be dragged along it or out of it.
class ToolbarCustomizationPalette : public Window {
    FND_OBJECT(ToolbarCustomizationPalette)
    static void describeClass(fnd::ClassBuilder<ToolbarCustomizationPalette>& c);

public:
    static std::shared_ptr<ToolbarCustomizationPalette> create(const std::shared_ptr<Toolbar>& toolbar);

    const std::vector<std::shared_ptr<ToolbarPaletteItemView>>& paletteItems() const { return m_paletteItems; }
    std::shared_ptr<ToolbarPaletteItemView> paletteItemWithIdentifier(const fnd::String& identifier) const;
    const std::shared_ptr<ToolbarDefaultSetView>& defaultSetView() const { return m_defaultSet; }
    const std::shared_ptr<PopUpButton>& displayModePopUp() const { return m_displayMode; }
    const std::shared_ptr<Button>& smallSizeCheckBox() const { return m_smallSize; }
    const std::shared_ptr<Button>& doneButton() const { return m_done; }

    // Actions of the sheet's controls.
    void done(const fnd::Value& sender);
    void displayModeChanged(const fnd::Value& sender);
    void sizeModeChanged(const fnd::Value& sender);

private:
    void build();

    std::weak_ptr<Toolbar> m_toolbar;
    std::vector<std::shared_ptr<ToolbarPaletteItemView>> m_paletteItems;
    std::shared_ptr<ToolbarDefaultSetView> m_defaultSet;
    std::shared_ptr<PopUpButton> m_displayMode;
    std::shared_ptr<Button> m_smallSize;
    std::shared_ptr<Button> m_done;
};

}
