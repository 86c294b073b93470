#include "frameworks/QFTabBarView/QFTabBarViewExtensions.h"

#include "frameworks/QFTabBarView/QFTabBarButton.h"
#include "frameworks/QFTabBarView/QFTabBarView.h"
#include "platform/graphics/Color.h"
#include "platform/foundation/runtime/AssociatedObjects.h"
#include "platform/graphics/Image.h"
#include "platform/ui/containers/TabViewItem.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Event.h"

#include <algorithm>
#include <cmath>
#include <mutex>

FND_REGISTER_CLASS(QFTabBarItemProperties, fnd::Object)

void QFTabBarItemProperties::describeClass(fnd::ClassBuilder<QFTabBarItemProperties>& c)
{
    c.property("largeImage", &QFTabBarItemProperties::largeImage);
    c.property("icon", &QFTabBarItemProperties::icon);
    c.property("isProcessing", &QFTabBarItemProperties::isProcessing);
    c.property("objectCount", &QFTabBarItemProperties::objectCount);
    c.property("objectCountColor", &QFTabBarItemProperties::objectCountColor);
    c.property("isEdited", &QFTabBarItemProperties::isEdited);
    c.property("hasCloseButton", &QFTabBarItemProperties::hasCloseButton);
}

namespace QFTabBarViewExtensions {

std::shared_ptr<QFTabBarItemProperties> properties(const ui::TabViewItem& item)
{
    // The item holds its properties, so they go with it. The lock makes looking up and attaching one step: two
    // threads asking at once get the same properties.
    static const char key = 0;
    static std::mutex lock;
    std::lock_guard guard(lock);
    if (auto attached = fnd::associatedObject(item, &key).objectAs<QFTabBarItemProperties>())
        return attached;
    auto made = fnd::makeObject<QFTabBarItemProperties>();
    fnd::setAssociatedObject(item, &key, fnd::Value(made));
    return made;
}

bool dragShouldBeginFromMouseDown(
    ui::View& view, const ui::Event& mouseDown, fnd::Date expiration, double xHysteresis, double yHysteresis)
{
    auto window = view.window();
    if (!window)
        return false;
    const gfx::Point start = mouseDown.locationInWindow();
    auto& application = ui::Application::shared();
    std::shared_ptr<ui::Event> first;
    std::shared_ptr<ui::Event> lastDrag;
    std::shared_ptr<ui::Event> ending;
    bool answer = false;
    while (true) {
        auto event = application.nextEvent(ui::EventMasks::LeftMouseDragged | ui::EventMasks::LeftMouseUp, expiration,
            fnd::RunLoopMode::EventTracking, true);
        if (!event)
            break;
        if (!first)
            first = event;
        if (event->type() == ui::EventType::LeftMouseUp) {
            ending = event;
            break;
        }
        const gfx::Point p = event->locationInWindow();
        if (std::fabs(p.x - start.x) >= xHysteresis || std::fabs(p.y - start.y) >= yHysteresis) {
            ending = event;
            answer = true;
            break;
        }
        lastDrag = event;
    }
    // Everything taken goes back to the front of the queue in the order it came, so that the caller's own tracking
    // sees the whole gesture, the release included.
    if (ending)
        application.postEvent(ending, true);
    if (lastDrag)
        application.postEvent(lastDrag, true);
    if (first && first != lastDrag && first != ending)
        application.postEvent(first, true);
    return answer;
}

std::shared_ptr<ui::View> superviewOfClass(const ui::View& view, const fnd::ClassInfo& viewClass)
{
    for (auto parent = view.superview(); parent; parent = parent->superview())
        if (parent->isKindOf(viewClass))
            return parent;
    return nullptr;
}

std::shared_ptr<QFTabBarView> enclosingTabBarView(const ui::View& view)
{
    return superviewOfClass<QFTabBarView>(view);
}

std::shared_ptr<QFTabBarButton> enclosingTabBarButton(const ui::View& view)
{
    return superviewOfClass<QFTabBarButton>(view);
}

void orderFront(ui::View& view)
{
    auto parent = view.superview();
    if (!parent)
        return;
    auto self = std::static_pointer_cast<ui::View>(view.shared_from_this());
    auto views = parent->subviews();
    std::erase(views, self);
    views.push_back(self);
    parent->setSubviews(views);
}

fnd::String stringByTruncatingToLength(const fnd::String& string, fnd::Index length)
{
    // Below ten units the cut would keep nothing (or a negative count): the title is then cut to "…" alone.
    if (string.length() < length)
        return string;
    const fnd::Index kept = length > 10 ? length - 10 : 0;
    return string.substringTo(kept) + fnd::String(u"\u2026");
}

}
