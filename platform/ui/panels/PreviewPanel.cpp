#include "platform/ui/panels/PreviewPanel.h"

#include "platform/foundation/files/FileURL.h"
#include "platform/graphics/Image.h"
#include "platform/graphics/Thumbnailer.h"
#include "platform/ui/controls/ImageView.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Event.h"
#include "platform/ui/views/View.h"
#include "platform/ui/views/Window.h"

#include <filesystem>

namespace ui {

FND_REGISTER_CLASS(PreviewPanel, fnd::Object)

namespace {

std::shared_ptr<PreviewPanel>& PreviewPanelShared()
{
    static std::shared_ptr<PreviewPanel> panel;
    return panel;
}

// The panel's content: takes the keys and offers them to the panel's delegate first.
class PreviewPanelContentView : public View {
public:
    std::weak_ptr<PreviewPanel> panel;
    bool acceptsFirstResponder() const override { return true; }
    void keyDown(const Event& event) override
    {
        if (auto p = panel.lock(); p && p->handleEvent(event))
            return;
        View::keyDown(event);
    }
};

}

PreviewPanel::~PreviewPanel()
{
    if (m_window)
        m_window->close();
}

std::shared_ptr<PreviewPanel> PreviewPanel::sharedPreviewPanel()
{
    auto& panel = PreviewPanelShared();
    if (!panel)
        panel = fnd::makeObject<PreviewPanel>();
    return panel;
}

bool PreviewPanel::sharedPreviewPanelExists()
{
    return PreviewPanelShared() != nullptr;
}

void PreviewPanel::setDataSource(const std::shared_ptr<PreviewPanelDataSource>& dataSource)
{
    m_dataSource = dataSource;
    reloadData();
}

bool PreviewPanel::isVisible() const
{
    return m_window && m_window->isVisible();
}

void PreviewPanel::ensureWindow()
{
    if (m_window)
        return;
    m_window = Window::create({ { 200, 200 }, PanelSize }, WindowStyleMask::Titled | WindowStyleMask::Closable);
    auto content = std::make_shared<PreviewPanelContentView>();
    content->initWithFrame({ {}, PanelSize });
    content->panel = std::static_pointer_cast<PreviewPanel>(shared_from_this());
    m_window->setContentView(content);
    m_imageView = ImageView::create({ { 8, 8 }, { PanelSize.width - 16, PanelSize.height - 16 } });
    m_imageView->setImageScaling(ImageScaling::ProportionallyUpOrDown);
    content->addSubview(m_imageView);
}

void PreviewPanel::findController()
{
    auto key = Application::shared().keyWindow();
    if (!key || key == m_window)
        return;
    for (auto responder = key->firstResponder(); responder; responder = responder->nextResponder()) {
        auto* controller = dynamic_cast<PreviewPanelController*>(responder.get());
        if (!controller || !controller->acceptsPreviewPanelControl(*this))
            continue;
        if (auto old = m_controller.lock(); old && old != responder)
            if (auto* previous = dynamic_cast<PreviewPanelController*>(old.get()))
                previous->endPreviewPanelControl(*this);
        m_controller = responder;
        controller->beginPreviewPanelControl(*this);
        return;
    }
}

void PreviewPanel::makeKeyAndOrderFront(const fnd::Value& sender)
{
    ensureWindow();
    findController();
    reloadData();
    if (auto source = delegate())
        if (auto frame = source->previewPanelSourceFrameOnScreenForPreviewItem(*this, m_currentIndex))
            m_window->setFrameOrigin({ frame->midX() - PanelSize.width / 2, frame->maxY() + 20 });
    m_window->makeKeyAndOrderFront(sender);
    m_window->makeFirstResponder(m_window->contentView());
}

void PreviewPanel::orderOut(const fnd::Value& sender)
{
    if (!m_window)
        return;
    m_window->orderOut(sender);
    if (auto controller = m_controller.lock())
        if (auto* c = dynamic_cast<PreviewPanelController*>(controller.get()))
            c->endPreviewPanelControl(*this);
    m_controller.reset();
}

void PreviewPanel::reloadData()
{
    m_currentItem = {};
    auto source = dataSource();
    long count = source ? source->numberOfPreviewItemsInPreviewPanel(*this) : 0;
    if (m_currentIndex >= count)
        m_currentIndex = 0;
    if (count > 0)
        m_currentItem = source->previewPanelPreviewItemAtIndex(*this, m_currentIndex);
    if (!m_imageView)
        return;
    std::shared_ptr<gfx::BitmapImageRep> picture;
    if (!m_currentItem.isEmpty()) {
        auto path = fnd::isFileURL(m_currentItem) ? fnd::pathOfFileURL(m_currentItem) : std::optional(m_currentItem);
        if (path) {
            picture = gfx::Thumbnailer::thumbnailOfFile(*path, { PanelSize.width * 2, PanelSize.height * 2 });
            m_window->setTitle(fnd::String(std::filesystem::path(path->utf8()).filename().string()));
        }
    }
    m_imageView->setImage(picture ? gfx::Image::imageWithRepresentation(picture) : nullptr);
}

bool PreviewPanel::handleEvent(const Event& event)
{
    auto d = delegate();
    return d && d->previewPanelHandleEvent(*this, event);
}

}
