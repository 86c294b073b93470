#pragma once

#include "platform/foundation/runtime/Object.h"
#include "platform/graphics/Geometry.h"
#include "platform/ui/views/Forward.h"

#include <memory>
#include <optional>

namespace ui {

class ImageView;
class PreviewPanel;

// What the panel shows: a list of file URLs ("file://..." strings) or paths.
class PreviewPanelDataSource {
public:
    virtual ~PreviewPanelDataSource() = default;
    virtual long numberOfPreviewItemsInPreviewPanel(PreviewPanel& panel) = 0;
    // Empty for an item that has nothing to show.
    virtual fnd::String previewPanelPreviewItemAtIndex(PreviewPanel& panel, long index) = 0;
};

// Optional answers of the panel's delegate.
class PreviewPanelDelegate {
public:
    virtual ~PreviewPanelDelegate() = default;
    // Events the panel receives (keys); true when the delegate handled them.
    virtual bool previewPanelHandleEvent(PreviewPanel&, const Event&) { return false; }
    // Where on the screen the item's picture is, for the panel to open from; nullopt for nowhere.
    virtual std::optional<gfx::Rect> previewPanelSourceFrameOnScreenForPreviewItem(PreviewPanel&, long)
    {
        return std::nullopt;
    }
};

// A responder that can take the panel over. When the panel opens, the first responder of the key window and the
// responders after it are asked in turn; the first that accepts controls the panel until another does.
class PreviewPanelController {
public:
    virtual ~PreviewPanelController() = default;
    virtual bool acceptsPreviewPanelControl(PreviewPanel& panel) = 0;
    virtual void beginPreviewPanelControl(PreviewPanel& panel) = 0;
    virtual void endPreviewPanelControl(PreviewPanel& panel) = 0;
};

// The one floating panel that shows a large picture of a file (a picture file itself, a PDF's first page, or its
// type's icon), for the responder that controls it.
class PreviewPanel : public fnd::Object {
    FND_OBJECT(PreviewPanel)

public:
    static constexpr gfx::Size PanelSize { 512, 512 };

    PreviewPanel() = default;
    ~PreviewPanel() override;
    static std::shared_ptr<PreviewPanel> sharedPreviewPanel();
    static bool sharedPreviewPanelExists();

    std::shared_ptr<PreviewPanelDataSource> dataSource() const { return m_dataSource.lock(); }
    void setDataSource(const std::shared_ptr<PreviewPanelDataSource>& dataSource);
    std::shared_ptr<PreviewPanelDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<PreviewPanelDelegate>& delegate) { m_delegate = delegate; }

    bool isVisible() const;
    // Finds the controller through the key window's responder chain, then shows the current item.
    void makeKeyAndOrderFront(const fnd::Value& sender = {});
    void orderOut(const fnd::Value& sender = {});
    // Asks the data source again and shows its current item.
    void reloadData();
    long currentPreviewItemIndex() const { return m_currentIndex; }
    // The item shown now (empty when none).
    const fnd::String& currentPreviewItem() const { return m_currentItem; }
    std::shared_ptr<Window> window() const { return m_window; }
    // Sent by the panel's own view for the keys it receives.
    bool handleEvent(const Event& event);

private:
    void ensureWindow();
    void findController();

    std::shared_ptr<Window> m_window;
    std::shared_ptr<ImageView> m_imageView;
    std::weak_ptr<PreviewPanelDataSource> m_dataSource;
    std::weak_ptr<PreviewPanelDelegate> m_delegate;
    std::weak_ptr<Responder> m_controller;
    long m_currentIndex { 0 };
    fnd::String m_currentItem;
};

}
