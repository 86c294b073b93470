#include "PreferenceWindowTestSupport.h"

#include "frameworks/ZORAppKit/ZORPreferenceWindowController/ZORPrefPaneIconView.h"
#include "frameworks/ZORAppKit/ZORPreferenceWindowController/detail/ZORPreferenceWindowControllerTesting.h"

#include "platform/foundation/files/UserDefaults.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Image.h"
#include "support/MainBundleIdentifier.h"

#include <filesystem>

namespace prefstest {

namespace {

// The pane and frame a restarted window comes back to are read from the defaults file.
const testsupport::MainBundleIdentifier preferenceWindowTestBundle("org.example.preference-window-tests");

std::shared_ptr<gfx::Image> iconImage(double hue)
{
    auto image = gfx::Image::imageWithSize({ 32, 32 });
    image->lockFocus();
    gfx::Color::colorWithCalibratedHue(hue, 0.8, 0.85, 1)->setFill();
    gfx::BezierPath::bezierPathWithRoundedRect({ 2, 2, 28, 28 }, 6, 6)->fill();
    image->unlockFocus();
    return image;
}

}

FND_REGISTER_CLASS(RecordingPane, fnd::Object)

std::shared_ptr<RecordingPane> RecordingPane::create(
    const std::string& identifier, const std::string& category, std::optional<gfx::Size> viewSize, MessageLog log)
{
    auto pane = fnd::makeObject<RecordingPane>();
    pane->m_identifier = fnd::String(identifier);
    pane->m_category = fnd::String(category);
    pane->m_log = std::move(log);
    pane->m_icon = iconImage(double(std::hash<std::string>()(identifier) % 360) / 360);
    if (viewSize)
        pane->m_view = ui::View::create({ {}, *viewSize });
    return pane;
}

std::optional<bool> RecordingDelegate::shouldLoadPreferencePane(const fnd::String& identifier)
{
    note("shouldLoad", identifier);
    return std::find(refused.begin(), refused.end(), identifier.utf8()) == refused.end();
}

std::optional<fnd::String> RecordingDelegate::categoryForPreferencePane(
    const fnd::String&, const fnd::String& defaultCategory)
{
    if (auto found = categoryMap.find(defaultCategory.utf8()); found != categoryMap.end())
        return fnd::String(found->second);
    return std::nullopt;
}

std::optional<fnd::String> RecordingDelegate::displayNameForCategory(const fnd::String& category)
{
    if (auto found = displayNames.find(category.utf8()); found != displayNames.end())
        return fnd::String(found->second);
    return std::nullopt;
}

PreferenceWindowTest::PreferenceWindowTest()
{
    ZORPreferenceWindowControllerTesting::forgetSharedPreferenceWindowController();
    forgetDefaults(AutosaveName);
    controller = ZORPreferenceWindowController::create(AutosaveName);
    m_resizeObserver = fnd::NotificationCenter::defaultCenter().addObserverForName(
        ui::WindowNotification::DidResize, {}, [this](const fnd::Notification& notification) {
            if (auto window = notification.object().objectAs<ui::Window>())
                resizes.push_back(window->frame());
        });
}

PreferenceWindowTest::~PreferenceWindowTest()
{
    fnd::NotificationCenter::defaultCenter().removeObserver(m_resizeObserver);
    controller.reset();
    ZORPreferenceWindowControllerTesting::forgetSharedPreferenceWindowController();
    forgetDefaults(AutosaveName);
}

void PreferenceWindowTest::forgetDefaults(const fnd::String& autosaveName)
{
    auto& defaults = fnd::UserDefaults::standardUserDefaults();
    defaults.removeObjectForKey(ZORPreferenceWindowController::FrameDefaultsKeyPrefix + autosaveName);
    defaults.removeObjectForKey(ZORPreferenceWindowController::SelectedPaneDefaultsKeyPrefix + autosaveName);
    defaults.removeObjectForKey("NSToolbar Configuration " + ZORPreferenceWindowController::ToolbarIdentifier);
}

std::shared_ptr<RecordingPane> PreferenceWindowTest::addPane(
    const std::string& identifier, std::optional<gfx::Size> viewSize, const std::string& category)
{
    auto pane = RecordingPane::create(identifier, category, viewSize, messages);
    EXPECT_TRUE(controller->addPane(pane, fnd::String(identifier))) << identifier;
    return pane;
}

void PreferenceWindowTest::clickOverview(gfx::Point point)
{
    auto& view = *controller->iconView();
    auto inWindow = view.convertPointToView(point, nullptr);
    backend->mouseDown(*controller->window(), inWindow);
    backend->mouseUp(*controller->window(), inWindow);
    backend->dispatchEvents();
}

std::shared_ptr<gfx::BitmapImageRep> PreferenceWindowTest::shot(const std::string& name)
{
    auto image = backend->imageOfWindow(*controller->window());
    auto path = std::filesystem::temp_directory_path() / ("ZORPreferenceWindow-" + name + ".png");
    if (image)
        (void)image->writeToFile(fnd::String(path.string()), gfx::BitmapImageFileType::PNG);
    return image;
}

void PreferenceWindowTest::startOver()
{
    if (controller)
        controller->window()->close();
    controller.reset();
    ZORPreferenceWindowControllerTesting::forgetSharedPreferenceWindowController();
    controller = ZORPreferenceWindowController::create(AutosaveName);
}

}
