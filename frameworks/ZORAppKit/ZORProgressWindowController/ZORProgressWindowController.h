#pragma once

#include "frameworks/FoundationExtensions/ZORProgressDescriptor.h"

#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/foundation/runtime/OperationQueue.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/ImageView.h"
#include "platform/ui/controls/ProgressIndicator.h"
#include "platform/ui/text/TextField.h"
#include "platform/ui/controllers/WindowController.h"

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

// Shows the progress of work that runs as operations on the controller's own queue, as a sheet on a window, as an
// application-modal window or as a plain window. The work reports through progress descriptors and the three
// progress notifications: a begin notification pushes its descriptor, updates change it, an end pops it; the window
// shows the top of the stack (its texts and image are bound to "currentProgressDescriptor" in the interface file
// "ZORProgressWindow"). When the queue has run empty while the window is shown, the window goes and the completion
// block learns whether the person cancelled. Everything but the queue's work happens on the main thread.
class ZORProgressWindowController : public ui::WindowController {
    FND_OBJECT(ZORProgressWindowController)
    static void describeClass(fnd::ClassBuilder<ZORProgressWindowController>& c);

public:
    using CompletionBlock = std::function<void(bool cancelled)>;

    ZORProgressWindowController();
    ~ZORProgressWindowController() override;
    // With the window of "ZORProgressWindow".
    void init();
    static std::shared_ptr<ZORProgressWindowController> create();

    // The queue the caller adds its operations to.
    const std::shared_ptr<fnd::OperationQueue>& operationQueue() const { return m_opQueue; }
    bool closeWindowOnCompletion() const { return m_closeWindowOnCompletion; }
    CompletionBlock completionBlock() const;
    void setCompletionBlock(CompletionBlock block);
    bool isCancelled() const { return m_isCancelled; }

    // A fresh run: the stack holds only the new descriptor (a missing title is the default one; the info text is
    // the title and an ellipsis). A determinate one starts at the initial value.
    std::shared_ptr<ZORProgressDescriptor> setupAsIndeterminateWithTitle(
        const std::optional<fnd::String>& title, bool allowCancel);
    std::shared_ptr<ZORProgressDescriptor> setupAsDeterminateWithTitle(const std::optional<fnd::String>& title,
        double minValue, double maxValue, double initialValue, bool allowCancel);

    // Shows the window as a sheet (the window must not be null); with no operations queued the block gets false at
    // once and nothing shows. Main thread only.
    void beginProgressSheetForWindow(const std::shared_ptr<ui::Window>& window, CompletionBlock handler);
    // Runs the window application-modally until the work is done. Main thread only.
    void showProgressWindowWithCompletionHandler(CompletionBlock handler);
    // A plain window, and taking it away. Main thread only.
    void showProgressWindow();
    void hideProgressWindow();

    // Marks every descriptor cancelled, cancels the queue's operations and disables the button; later progress
    // notifications are ignored. Completion follows once the cancelled operations have finished.
    void cancel();
    void cancelAction(const fnd::Value& sender) { (void)sender, cancel(); }

    // The stack (each change announced as a change of "currentProgressDescriptor").
    void addProgressDescriptor(const std::shared_ptr<ZORProgressDescriptor>& descriptor);
    void removeProgressDescriptor(const std::shared_ptr<ZORProgressDescriptor>& descriptor);
    void removeAllProgressDescriptors();
    std::shared_ptr<ZORProgressDescriptor> currentProgressDescriptor() const;
    const std::vector<std::shared_ptr<ZORProgressDescriptor>>& progressDescriptors() const
    {
        return m_progressDescriptors;
    }

    // Brings indicator and cancel button in line with the current descriptor.
    void updateGUI();
    void windowDidLoad() override;

    // Outlets of the interface file.
    const std::shared_ptr<ui::ImageView>& imageView() const { return m_imageView; }
    void setImageView(std::shared_ptr<ui::ImageView> view) { m_imageView = std::move(view); }
    const std::shared_ptr<ui::TextField>& infoTextField() const { return m_infoTextField; }
    void setInfoTextField(std::shared_ptr<ui::TextField> field) { m_infoTextField = std::move(field); }
    const std::shared_ptr<ui::TextField>& progressDescriptionTextField() const
    {
        return m_progressDescriptionTextField;
    }
    void setProgressDescriptionTextField(std::shared_ptr<ui::TextField> field)
    {
        m_progressDescriptionTextField = std::move(field);
    }
    const std::shared_ptr<ui::ProgressIndicator>& progressIndicator() const { return m_progressIndicator; }
    void setProgressIndicator(std::shared_ptr<ui::ProgressIndicator> indicator)
    {
        m_progressIndicator = std::move(indicator);
    }
    const std::shared_ptr<ui::Button>& cancelButton() const { return m_cancelButton; }
    void setCancelButton(std::shared_ptr<ui::Button> button) { m_cancelButton = std::move(button); }

private:
    // How the window was shown, so completion takes it away the same way.
    enum class Presentation { None, Sheet, Modal, Plain };

    std::shared_ptr<ZORProgressDescriptor> setupWithDescriptor(std::shared_ptr<ZORProgressDescriptor> descriptor);
    void startObservingNotifications();
    void stopObservingNotifications();
    void operationCountChanged(std::size_t count);
    void handleCompletion();
    bool refusedOffMainThread(const char* method) const;
    bool hasNoOperations(const CompletionBlock& handler);
    fnd::String defaultTitle() const;

    std::shared_ptr<ui::ImageView> m_imageView;
    std::shared_ptr<ui::TextField> m_infoTextField;
    std::shared_ptr<ui::TextField> m_progressDescriptionTextField;
    std::shared_ptr<ui::ProgressIndicator> m_progressIndicator;
    std::shared_ptr<ui::Button> m_cancelButton;

    std::vector<std::shared_ptr<ZORProgressDescriptor>> m_progressDescriptors;
    std::shared_ptr<fnd::OperationQueue> m_opQueue;
    std::uint64_t m_countObserver { 0 };
    bool m_closeWindowOnCompletion { true };
    std::atomic<bool> m_shouldProcessNotifications { false };
    std::atomic<bool> m_isCancelled { false };
    mutable std::mutex m_mutex; // guards the completion block and the observer tokens
    CompletionBlock m_completionBlock;
    std::vector<fnd::NotificationObserverToken> m_observers;
    double m_defaultProgressIndicatorWidth { 0 };
    Presentation m_presentation { Presentation::None };
};
