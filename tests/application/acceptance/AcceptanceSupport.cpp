#include "AcceptanceSupport.h"

#include "frameworks/ZORAppKit/ZORSheetPresentation/ZORSheetPresentation.h"
#include "platform/foundation/archiving/PropertyList.h"
#include "platform/foundation/files/UserDefaults.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/ui/containers/Toolbar.h"
#include "platform/ui/containers/ToolbarView.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/panels/ColorPanel.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Event.h"

#include <functional>

#include <cmath>
#include <cstdio>
#include <functional>
#include <unistd.h>

namespace acceptance {

namespace {

fnd::UserDefaults& defaults()
{
    return fnd::UserDefaults::standardUserDefaults();
}

// Every test starts from the registered defaults: nothing the person chose, nothing on disk.
void forgetStoredDefaults()
{
    auto& d = defaults();
    for (const auto& [key, value] : d.persistentDomain())
        d.removeObjectForKey(key);
    d.synchronize();
    std::filesystem::remove(d.filePath().utf8());
}

}

ApplicationTest::ApplicationTest()
{
    m_folder = std::filesystem::temp_directory_path()
        / ("app-acceptance-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-"
            + std::to_string(::getpid()));
    std::filesystem::remove_all(m_folder);
    std::filesystem::create_directories(m_folder);
    Lumvara_TessaroAppDelegate::initialize();
    forgetStoredDefaults();
    launch();
}

ApplicationTest::~ApplicationTest()
{
    if (m_launched)
        for (const auto& w : ui::Application::shared().windows())
            w->close();
    ui::Application::shared().setDelegate(nullptr);
    m_launched.reset();
    ui::Backend::install(nullptr);
    forgetStoredDefaults();
    std::filesystem::remove_all(m_folder);
}

void ApplicationTest::launch()
{
    backend = ui::HeadlessBackend::install();
    auto launched = launchApplication();
    ASSERT_TRUE(launched) << launched.error().localizedDescription().utf8();
    m_launched = std::move(*launched);
    ASSERT_TRUE(app().window());
    ASSERT_TRUE(app().currentBarcode());
}

void ApplicationTest::quit()
{
    window().performClose();
    dispatch();
    EXPECT_TRUE(ui::Application::shared().hasTerminated()) << "closing the main window quits";
    // The process would end here, and every panel with it.
    for (const auto& w : ui::Application::shared().windows())
        w->close();
    ui::Application::shared().setDelegate(nullptr);
    m_launched.reset();
}

void ApplicationTest::restart()
{
    quit();
    launch();
}

void ApplicationTest::wait(double seconds)
{
    fnd::RunLoop::main().runUntilDate(clock->now().addingTimeInterval(seconds));
    dispatch();
}

void ApplicationTest::dispatch()
{
    backend->dispatchEvents();
}

ui::Window& ApplicationTest::windowOf(ui::View& view)
{
    auto w = view.window();
    EXPECT_TRUE(w) << view.className().utf8() << " is in no window";
    return w ? *w : window();
}

void ApplicationTest::click(ui::View& view, gfx::Point point)
{
    ASSERT_FALSE(view.isHiddenOrHasHiddenAncestor()) << "a person cannot click a hidden " << view.className().utf8();
    auto& w = windowOf(view);
    auto inWindow = view.convertPointToView(point, nullptr);
    backend->mouseDown(w, inWindow);
    backend->mouseUp(w, inWindow);
    dispatch();
}

void ApplicationTest::pointAt(ui::View& view)
{
    auto b = view.bounds();
    backend->mouseMoved(windowOf(view), view.convertPointToView({ b.midX(), b.midY() }, nullptr));
    dispatch();
}

void ApplicationTest::pointAway(ui::View& view)
{
    backend->mouseMoved(windowOf(view), { -1, -1 });
    dispatch();
}

void ApplicationTest::click(ui::View& view)
{
    auto b = view.bounds();
    click(view, { b.midX(), b.midY() });
}

void ApplicationTest::choose(ui::PopUpButton& popUp, const fnd::String& title)
{
    const long index = popUp.indexOfItemWithTitle(title);
    ASSERT_GE(index, 0) << "no item \u201c" << title.utf8() << "\u201d";
    backend->answerNextPopUpMenu(index);
    click(popUp);
}

void ApplicationTest::chooseTag(ui::PopUpButton& popUp, long tag)
{
    const long index = popUp.indexOfItemWithTag(tag);
    ASSERT_GE(index, 0) << "no item with tag " << tag;
    backend->answerNextPopUpMenu(index);
    click(popUp);
}

void ApplicationTest::pressKey(char16_t character, unsigned short keyCode, unsigned flags)
{
    auto key = ui::Application::shared().keyWindow();
    ASSERT_TRUE(key) << "no window takes the keyboard";
    backend->keyDown(*key, fnd::String(std::u16string(1, character)), keyCode, flags);
    dispatch();
}

void ApplicationTest::typeInto(ui::TextField& field, const std::u16string& text)
{
    click(field);
    // The first click into a window that is not the key window may only bring the window forward.
    if (!field.currentEditor())
        click(field);
    ASSERT_TRUE(field.currentEditor()) << "the field takes the keyboard";
    // Select All of the Edit menu, by its key.
    pressKey(u'a', ui::KeyCode::A, ui::ModifierFlags::Command);
    if (text.empty()) {
        pressKey(0x7F, ui::KeyCode::Delete);
        return;
    }
    for (char16_t c : text)
        pressKey(c, 0);
}

void ApplicationTest::typeKey(ui::TextField& field, char16_t character)
{
    if (!field.currentEditor())
        click(field);
    pressKey(character, 0);
}

void ApplicationTest::pressReturn()
{
    pressKey(u'\r', ui::KeyCode::Return);
}

void ApplicationTest::pickColour(ui::ColorWell& well, const std::string& hex)
{
    click(well);
    auto panel = ui::ColorPanel::sharedColorPanel();
    ASSERT_TRUE(panel->isVisible()) << "the well opens the colour panel";
    ASSERT_TRUE(panel->hexField());
    typeInto(*panel->hexField(), std::u16string(hex.begin(), hex.end()));
    pressReturn();

    // The well lets go of the panel, as a second click does.
    click(well);
}

std::shared_ptr<ui::ToolbarItemViewer> ApplicationTest::toolbarItemViewer(const fnd::String& identifier)
{
    auto toolbar = std::dynamic_pointer_cast<ui::Toolbar>(window().toolbar());
    if (!toolbar)
        return nullptr;
    for (const auto& viewer : toolbar->view()->viewers()) {
        if (viewer->item() && viewer->item()->itemIdentifier() == identifier)
            return viewer;
    }
    return nullptr;
}

std::shared_ptr<ui::MenuItem> ApplicationTest::menuItemFor(const char* action)
{
    std::function<std::shared_ptr<ui::MenuItem>(ui::Menu&)> find = [&](ui::Menu& menu) {
        for (const auto& item : menu.itemArray()) {
            if (item->action() == fnd::Selector(action))
                return item;
            if (item->submenu())
                if (auto found = find(*item->submenu()))
                    return found;
        }
        return std::shared_ptr<ui::MenuItem>();
    };
    auto menu = std::dynamic_pointer_cast<ui::Menu>(ui::Application::shared().mainMenu());
    return menu ? find(*menu) : nullptr;
}

bool ApplicationTest::menuItemIsEnabled(const char* action)
{
    auto item = menuItemFor(action);
    EXPECT_TRUE(item) << "no menu item sends " << action;
    if (!item)
        return false;
    if (auto menu = item->menu())
        menu->update();
    return item->isEnabled();
}

void ApplicationTest::pressToolbarItem(const fnd::String& identifier)
{
    auto viewer = toolbarItemViewer(identifier);
    ASSERT_TRUE(viewer) << "no toolbar item " << identifier.utf8();
    click(*viewer);
}

std::string ApplicationTest::exportAs(const ExportChoice& choice)
{
    pressToolbarItem(Lumvara_TessaroAppDelegate::ExportItemIdentifier);
    auto panel = app().savePanel();
    EXPECT_TRUE(panel && panel->isSheet()) << "Export shows the save sheet";
    if (!panel)
        return {};
    EXPECT_TRUE(ZORSheetPresentation::presentationViewForWindow(window())) << "the window is dimmed under the sheet";
    if (choice.fileType)
        chooseTag(*app().exportFileTypePopup(), *choice.fileType);
    if (choice.resolution)
        chooseTag(*app().exportImageResolutionPopup(), *choice.resolution);
    if (choice.colorSpace)
        chooseTag(*app().exportImageColorSpacePopup(), *choice.colorSpace);
    // The folder, then the name, as the panel's own controls take them.
    panel->setDirectory(fnd::String(m_folder.string()));
    typeInto(*panel->nameField(), std::u16string(choice.name.begin(), choice.name.end()));
    click(choice.save ? *panel->okButton() : *panel->cancelButton());
    EXPECT_FALSE(panel->isSheet()) << "the sheet is gone";
    return choice.save ? panel->path().utf8() : std::string();
}

fnd::Dictionary ApplicationTest::storedDefaults()
{
    fnd::UserDefaults fresh(defaults().suiteName());
    return fresh.persistentDomain();
}

std::string textsOf(ui::View& view)
{
    std::string texts;
    if (auto field = dynamic_cast<ui::TextField*>(&view))
        texts += field->stringValue().utf8() + "\n";
    for (const auto& child : view.subviews())
        texts += textsOf(*child);
    return texts;
}

std::string hexOf(const gfx::ColorPtr& color)
{
    if (!color)
        return "none";
    auto channel = [](double v) { return int(std::lround(v * 255)); };
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", channel(color->redComponent()), channel(color->greenComponent()),
        channel(color->blueComponent()));
    return text;
}

bool isDarkPixel(const gfx::BitmapImageRep& rep, long x, long y)
{
    std::vector<unsigned> s(std::size_t(rep.samplesPerPixel()));
    rep.getPixel(s, x, y);
    if (rep.colorModel() == gfx::BitmapColorModel::CMYK)
        return s[3] > 128;
    const bool opaque = !rep.hasAlpha() || s[3] > 128;
    return opaque && s[0] < 100 && s[1] < 100 && s[2] < 100;
}

unsigned alphaAt(const gfx::BitmapImageRep& rep, long x, long y)
{
    if (!rep.hasAlpha())
        return 255;
    std::vector<unsigned> s(std::size_t(rep.samplesPerPixel()));
    rep.getPixel(s, x, y);
    return s.back();
}

Runs darkRunsOnRow(const gfx::BitmapImageRep& rep, long row)
{
    Runs runs;
    long start = -1;
    for (long x = 0; x <= rep.pixelsWide(); ++x) {
        const bool dark = x < rep.pixelsWide() && isDarkPixel(rep, x, row);
        if (dark && start < 0)
            start = x;
        if (!dark && start >= 0) {
            runs.dark.emplace_back(start, x - start);
            start = -1;
        }
    }
    return runs;
}

}
