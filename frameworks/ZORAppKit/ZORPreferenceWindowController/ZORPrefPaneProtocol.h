#pragma once

#include "platform/foundation/runtime/String.h"
#include "platform/graphics/Geometry.h"

#include <memory>
#include <optional>

namespace fnd {
class Bundle;
}
namespace gfx {
class Image;
}
namespace ui {
class View;
}

// What the preference window asks of a pane. The first seven operations are required; the others are optional:
// their default bodies do nothing, and the ones whose answer matters return nullopt for "does not answer".
class ZORPrefPaneProtocol {
public:
    virtual ~ZORPrefPaneProtocol() = default;

    virtual fnd::String identifier() const = 0;
    virtual std::shared_ptr<ui::View> mainView() = 0;
    virtual fnd::String label() const = 0;
    virtual std::shared_ptr<gfx::Image> icon() const = 0;
    virtual fnd::String category() const = 0;
    virtual unsigned long sortOrder() const = 0;
    virtual void setSortOrder(unsigned long sortOrder) = 0;

    virtual void loadMainView() { }
    virtual void willSelect() { }
    virtual void didSelect() { }
    // Asked before the window leaves the pane for another pane or the overview; false keeps the pane shown.
    virtual bool shouldUnselect() { return true; }
    virtual void willUnselect() { }
    virtual void didUnselect() { }
    virtual std::optional<bool> shouldResize() { return std::nullopt; }
    virtual std::optional<gfx::Size> minSize() { return std::nullopt; }
    virtual std::optional<gfx::Size> maxSize() { return std::nullopt; }
    virtual std::optional<gfx::Size> standardSize() { return std::nullopt; }
    virtual std::optional<fnd::String> categoryDisplayName() { return std::nullopt; }
    virtual void panelDidBecomeMain() { }
};

// What the principal class of a plug-in pane adds: it is made by name through the class registry and then
// initialised with its bundle; false means it could not set itself up.
class ZORPrefPaneBundleProtocol {
public:
    virtual ~ZORPrefPaneBundleProtocol() = default;
    virtual bool initWithBundle(const std::shared_ptr<fnd::Bundle>& bundle) = 0;
};
