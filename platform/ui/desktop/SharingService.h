#pragma once

#include "platform/foundation/runtime/Error.h"
#include "platform/foundation/runtime/Object.h"
#include "platform/foundation/runtime/Value.h"

#include <functional>
#include <memory>
#include <vector>

namespace gfx {
class Image;
}

namespace ui {

class SharingService;

// Hears what becomes of the items a service was asked to share. Every method is optional.
class SharingServiceDelegate {
public:
    virtual ~SharingServiceDelegate() = default;
    virtual void sharingServiceWillShareItems(SharingService&, const std::vector<fnd::Value>&) { }
    virtual void sharingServiceDidShareItems(SharingService&, const std::vector<fnd::Value>&) { }
    virtual void sharingServiceDidFailToShareItems(SharingService&, const std::vector<fnd::Value>&, const fnd::Error&)
    {
    }
};

// A way to hand items to the rest of the desktop: a new e-mail through the desktop's mail handler (xdg-email), the
// files opened by another application (every application whose desktop entry declares their types), or the
// clipboard.
//
// Items are strings (text; a "file://" address names a file; an http, https, ftp or mailto address is a link),
// attributed strings (their text) and images. Images travel as PNG files written for the purpose into a fresh
// folder under $XDG_CACHE_HOME/barcodes-share/; the clipboard takes them as PNG data.
class SharingService : public fnd::Object {
    FND_OBJECT(SharingService)

public:
    enum class Kind { ComposeEmail, OpenWithApplication, CopyToPasteboard };

    SharingService() = default;

    // The services that can take all the items, as a menu lists them: e-mail, the applications by name, copy.
    // None for no items or for an item of another kind.
    static std::vector<std::shared_ptr<SharingService>> sharingServicesForItems(const std::vector<fnd::Value>& items);

    Kind kind() const { return m_kind; }
    // "Email", "Open With <application>", "Copy".
    const fnd::String& title() const { return m_title; }
    // The application's icon where its desktop entry names one the icon theme has; nullptr otherwise.
    const std::shared_ptr<gfx::Image>& image() const { return m_image; }
    // For an application: its desktop entry's path.
    const fnd::String& desktopEntryPath() const { return m_entryPath; }

    std::shared_ptr<SharingServiceDelegate> delegate() const { return m_delegate.lock(); }
    void setDelegate(const std::shared_ptr<SharingServiceDelegate>& delegate) { m_delegate = delegate; }

    bool canPerformWithItems(const std::vector<fnd::Value>& items) const;
    // Hands the items over now; the delegate hears before, then of the success or the failure.
    void performWithItems(const std::vector<fnd::Value>& items);

    // Runs a program: waits for it (returning its status) when asked, else starts it and returns 0. Tests put their
    // own in place so nothing is started; nullptr restores the real one. Returns the previous runner.
    using ProgramRunner = std::function<fnd::Expected<int>(const fnd::StringArray& arguments, bool wait)>;
    static ProgramRunner setProgramRunner(ProgramRunner runner);

private:
    fnd::Expected<void> share(const std::vector<fnd::Value>& items) const;

    Kind m_kind { Kind::CopyToPasteboard };
    fnd::String m_title;
    std::shared_ptr<gfx::Image> m_image;
    fnd::String m_entryPath;
    fnd::StringArray m_mimeTypes;
    std::weak_ptr<SharingServiceDelegate> m_delegate;
};

}
