#include "frameworks/FoundationExtensions/ZORCountryLocale.h"
#include "frameworks/FoundationExtensions/ZORLanguageLocale.h"
#include "frameworks/FoundationExtensions/ui/ZOREncodingManager.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/files/UserDefaults.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/controls/Matrix.h"
#include "platform/ui/controls/PopUpButton.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/views/Application.h"
#include "platform/ui/views/Window.h"

#include "DialogDriving.h"

#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace {

using Encoding = fnd::StringEncoding;
constexpr auto NoTag = static_cast<long>(ZOREncodingManager::NoEncodingTag);

std::uint64_t value(Encoding e)
{
    return static_cast<std::uint64_t>(e);
}

class EncodingManager : public ::testing::Test {
protected:
    void SetUp() override
    {
        backend = ui::HeadlessBackend::install();
        fnd::UserDefaults::standardUserDefaults().removeObjectForKey(ZOREncodingManager::DefaultsKey);
    }
    void TearDown() override { ui::Backend::install(nullptr); }
    std::shared_ptr<ui::HeadlessBackend> backend;
};

TEST_F(EncodingManager, NamesAndNumbersConvertBothWays)
{
    EXPECT_EQ(ZOREncodingManager::stringEncodingForMIMEEncoding("utf-8"), 4u);
    EXPECT_EQ(ZOREncodingManager::stringEncodingForMIMEEncoding("ISO-8859-1"), 5u);
    EXPECT_EQ(fnd::localizedNameOfStringEncoding(
                  static_cast<Encoding>(ZOREncodingManager::stringEncodingForMIMEEncoding("shift_jis"))),
        "Japanese (Shift JIS)");
    EXPECT_EQ(ZOREncodingManager::stringEncodingForMIMEEncoding(""), 0u);
    EXPECT_EQ(ZOREncodingManager::stringEncodingForMIMEEncoding("no-such-charset"), 0u);
    EXPECT_EQ(ZOREncodingManager::MIMEEncodingForStringEncoding(12), "windows-1252");
}

TEST_F(EncodingManager, DefaultListAndSortedAvailableEncodings)
{
    auto list = ZOREncodingManager::defaultEncodings();
    // The Mac script encodings this system cannot convert are left out.
    ASSERT_GE(list.size(), 6u);
    EXPECT_EQ(
        std::vector<std::uint64_t>(list.begin(), list.begin() + 4), (std::vector<std::uint64_t> { 10, 4, 30, 12 }));
    const auto shiftJIS = ZOREncodingManager::stringEncodingForMIMEEncoding("Shift_JIS");
    EXPECT_NE(std::find(list.begin(), list.end(), shiftJIS), list.end());
    EXPECT_NE(std::find(list.begin(), list.end(), value(fnd::defaultCStringEncoding())), list.end());

    ZOREncodingManager manager;
    EXPECT_EQ(manager.enabledEncodings(), list);
    fnd::UserDefaults::standardUserDefaults().setObject(fnd::Array { 4u, 12u }, ZOREncodingManager::DefaultsKey);
    ZOREncodingManager stored;
    EXPECT_EQ(stored.enabledEncodings(), (std::vector<std::uint64_t> { 4, 12 }));

    const auto& all = ZOREncodingManager::allAvailableStringEncodings();
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all.front(), 4u) << "Unicode forms first, by value";
    auto isUnicode = [](std::uint64_t e) {
        return fnd::mostCompatibleMacStringEncoding(static_cast<Encoding>(e)) == fnd::CFStringEncodings::Unicode;
    };
    EXPECT_TRUE(std::is_partitioned(all.begin(), all.end(), isUnicode));
}

TEST_F(EncodingManager, PopUpsListTheEnabledEncodingsAroundTheSelection)
{
    auto& manager = ZOREncodingManager::sharedInstance();
    manager.revertToDefault({});
    auto popUp = ui::PopUpButton::create({ { 0, 0 }, { 200, 24 } });

    manager.setupPopUp(*popUp, value(Encoding::ISOLatin2), true);
    auto items = popUp->itemArray();
    const auto count = manager.enabledEncodings().size();
    ASSERT_EQ(items.size(), count + 3);
    EXPECT_EQ(items.front()->title(), "Automatic");
    EXPECT_EQ(items.front()->tag(), NoTag);
    EXPECT_EQ(items[1]->tag(), 10);
    EXPECT_EQ(items[1]->title(), fnd::localizedNameOfStringEncoding(Encoding::Unicode));
    EXPECT_TRUE(items[count + 1]->isSeparatorItem());
    EXPECT_EQ(items.back()->title(), "Customise Encodings List\u2026");
    EXPECT_EQ(items.back()->action(), fnd::Selector("showPanel:"));
    EXPECT_EQ(items.back()->tag(), NoTag);
    EXPECT_EQ(popUp->indexOfSelectedItem(), 0) << "an encoding not enabled selects Automatic";

    manager.setupPopUp(*popUp, value(Encoding::UTF8), false);
    EXPECT_EQ(popUp->selectedTag(), 4);
    EXPECT_EQ(popUp->numberOfItems(), static_cast<long>(count + 2));

    // With nothing enabled the selected encoding is still offered, for this pop-up only.
    manager.clearAll({});
    manager.setupPopUp(*popUp, value(Encoding::ISOLatin1), false);
    ASSERT_EQ(popUp->numberOfItems(), 3);
    EXPECT_EQ(popUp->itemAtIndex(0)->tag(), 5);
    EXPECT_TRUE(popUp->itemAtIndex(1)->isSeparatorItem());
    EXPECT_EQ(popUp->indexOfSelectedItem(), 0);
    EXPECT_TRUE(manager.enabledEncodings().empty());
    manager.revertToDefault({});
}

TEST_F(EncodingManager, ThePanelEditsTheListSavesItAndTellsEveryone)
{
    auto& manager = ZOREncodingManager::sharedInstance();
    manager.revertToDefault({});
    int changes = 0;
    auto token = fnd::NotificationCenter::defaultCenter().addObserverForName(
        EncodingsListChanged, {}, [&](const fnd::Notification&) { ++changes; });

    manager.showPanel({});
    auto panel = manager.panel();
    ASSERT_TRUE(panel);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(panel->title(), "Text Encodings");
    EXPECT_EQ(panel->level(), ui::WindowLevel::ModalPanel);
    auto matrix = manager.encodingMatrix();
    ASSERT_TRUE(matrix);
    auto scrollView = matrix->enclosingScrollView();
    ASSERT_TRUE(scrollView);
    EXPECT_GT(matrix->frame().height(), scrollView->contentSize().height) << "more boxes than fit: the list scrolls";
    const auto& all = ZOREncodingManager::allAvailableStringEncodings();
    ASSERT_EQ(matrix->cells().size(), all.size());
    auto enabled = manager.enabledEncodings();
    for (std::size_t i = 0; i < all.size(); ++i) {
        const auto& box = matrix->cells()[i];
        EXPECT_EQ(static_cast<std::uint64_t>(box->tag()), all[i]);
        EXPECT_EQ(box->title(), fnd::localizedNameOfStringEncoding(static_cast<Encoding>(all[i])));
        bool isEnabled = std::find(enabled.begin(), enabled.end(), all[i]) != enabled.end();
        EXPECT_EQ(box->state() == ui::ControlStateValue::On, isEnabled) << box->title();
    }

    // Ticking Latin 2 and unticking UTF-8 as a person would: scrolled into sight, then clicked.
    auto clickBox = [&](Encoding e) {
        auto cell = matrix->cellWithTag(static_cast<long>(e));
        long row = 0, column = 0;
        ASSERT_TRUE(cell && matrix->getRowColumnOfCell(*cell, row, column));
        auto frame = matrix->cellFrameAtRowColumn(row, column);
        matrix->scrollRectToVisible(frame);
        dialogs::clickAt(*backend, *matrix, { frame.minX() + 8, frame.midY() });
        backend->dispatchEvents();
    };
    clickBox(Encoding::ISOLatin2);
    clickBox(Encoding::UTF8);
    auto edited = manager.enabledEncodings();
    EXPECT_NE(std::find(edited.begin(), edited.end(), value(Encoding::ISOLatin2)), edited.end());
    EXPECT_EQ(std::find(edited.begin(), edited.end(), value(Encoding::UTF8)), edited.end());
    auto stored = fnd::UserDefaults::standardUserDefaults().arrayForKey(ZOREncodingManager::DefaultsKey);
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->size(), edited.size());
    EXPECT_EQ(changes, 2);

    // The panel keeps working while another window runs modally: Space ticks the box with the focus.
    auto dialog = ui::Window::create({ { 100, 100 }, { 200, 100 } }, ui::WindowStyleMask::Titled);
    backend->answerNextModal([&](ui::Window&) {
        panel->makeKeyAndOrderFront();
        panel->makeFirstResponder(matrix);
        backend->keyDown(*panel, " ", ui::KeyCode::Space);
        backend->after(0, [] { ui::Application::shared().stopModal(); });
    });
    ui::Application::shared().runModalForWindow(dialog);
    EXPECT_EQ(matrix->cellWithTag(static_cast<long>(Encoding::UTF8))->state(), ui::ControlStateValue::On)
        << "the box last clicked has the focus";
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(backend->beepCount(), 0);

    dialogs::click(*backend, *dialogs::buttonTitled(*panel, "Select All"));
    backend->dispatchEvents();
    EXPECT_TRUE(std::all_of(matrix->cells().begin(), matrix->cells().end(),
        [](auto& b) { return b->state() == ui::ControlStateValue::On; }));
    dialogs::click(*backend, *dialogs::buttonTitled(*panel, "Use Defaults"));
    backend->dispatchEvents();
    EXPECT_FALSE(fnd::UserDefaults::standardUserDefaults().objectForKey(ZOREncodingManager::DefaultsKey));
    EXPECT_EQ(manager.enabledEncodings(), ZOREncodingManager::defaultEncodings());
    EXPECT_EQ(changes, 5);

    scrollView->contentView()->scrollToPoint({ 0, 0 });
    scrollView->reflectScrolledClipView(*scrollView->contentView());
    auto image = dialogs::snapshot(*backend, *panel, "encodings-panel");
    // UTF-8 (first row, on by default) shows a ticked box, UTF-7 (third row, off) an empty one.
    ASSERT_EQ(matrix->cells()[0]->tag(), static_cast<long>(Encoding::UTF8));
    ASSERT_EQ(matrix->cells()[2]->state(), ui::ControlStateValue::Off);
    auto box = [&](long row) {
        auto frame = matrix->cellFrameAtRowColumn(row, 0);
        return gfx::Rect { frame.minX(), frame.minY(), frame.height(), frame.height() };
    };
    EXPECT_GT(dialogs::blueShare(*image, *matrix, box(0)), 0.3);
    EXPECT_LT(dialogs::blueShare(*image, *matrix, box(2)), 0.02);
    fnd::NotificationCenter::defaultCenter().removeObserver(token);
    panel->orderOut();
}

TEST_F(EncodingManager, APanelWithoutItsInterfaceFileIsLoggedAndNotShown)
{
    fnd::Bundle::registerClass("ZOREncodingManager", "TestBundle");
    std::vector<std::string> logged;
    auto previous = fnd::setLogSink([&](fnd::LogLevel, const fnd::String& line) { logged.push_back(line.utf8()); });
    auto manager = std::make_shared<ZOREncodingManager>();
    manager->showPanel({});
    fnd::setLogSink(previous);
    fnd::Bundle::registerClass("ZOREncodingManager", "ZORFramework");
    EXPECT_FALSE(manager->panel());
    EXPECT_FALSE(manager->encodingMatrix());
    ASSERT_FALSE(logged.empty());
    EXPECT_EQ(logged.front(), "Failed to load ZORSelectEncodingsPanel");
    // Without the panel its actions change nothing.
    auto before = manager->enabledEncodings();
    manager->encodingListChanged({});
    EXPECT_EQ(manager->enabledEncodings(), before);
}

TEST_F(EncodingManager, DetectsTheEncodingOfFilesAndData)
{
    testsupport::TemporaryFolder folder;
    const fnd::String german = "Gr\u00fc\u00dfe aus M\u00fcnchen: \u00c4rger \u00fcber \u00d6l, s\u00fc\u00df und "
                               "sch\u00f6n. Die B\u00e4ren tr\u00e4umen von gro\u00dfen F\u00e4ssern voller Honig.";
    auto latin1 = *fnd::dataUsingEncoding(german, Encoding::ISOLatin1);
    auto utf8 = *fnd::dataUsingEncoding(german, Encoding::UTF8);
    auto utf16 = *fnd::dataUsingEncoding(german, Encoding::Unicode);
    auto write = [&](const char* name, const fnd::Data& data) { return folder.write(name, std::string(data.view())); };

    EXPECT_EQ(ZOREncodingManager::encodingForFile(write("utf8.txt", utf8).c_str()), Encoding::UTF8);
    EXPECT_EQ(ZOREncodingManager::encodingForFile(write("utf16.txt", utf16).c_str()), Encoding::Unicode);
    auto guessed = ZOREncodingManager::encodingForFile(write("latin1.txt", latin1).c_str());
    EXPECT_TRUE(guessed == Encoding::ISOLatin1 || guessed == Encoding::WindowsCP1252) << static_cast<int>(guessed);
    EXPECT_EQ(ZOREncodingManager::encodingForFile(folder.file("missing.txt").c_str()), Encoding::UTF8);

    const fnd::String japanese = "\u65e5\u672c\u8a9e\u306e\u6587\u7ae0\u3067\u3059\u3002\u3053\u308c\u306f\u6587\u5b57"
                                 "\u30b3\u30fc\u30c9\u3092\u5224\u5b9a\u3059\u308b\u305f\u3081\u306e\u30c6\u30b9\u30c8"
                                 "\u3067\u3059\u3002\u6771\u4eac\u3068\u5927\u962a\u3068\u4eac\u90fd\u3002";
    auto sjis = *fnd::dataUsingEncoding(japanese, Encoding::ShiftJIS);
    EXPECT_EQ(value(ZOREncodingManager::autoDetectedStringEncodingOfData(sjis)),
        ZOREncodingManager::stringEncodingForMIMEEncoding("Shift_JIS"));
}

TEST(LocaleLists, EntriesShowNamesCompareByCodeAndSortByName)
{
    setenv("LC_ALL", "en_US.UTF-8", 1);
    ZORCountryLocale germany("DE");
    EXPECT_EQ(germany.displayName(), "Germany");
    EXPECT_EQ(germany.UTF8String(), "DE");
    EXPECT_TRUE(germany.isEqual(ZORCountryLocale("DE")));
    EXPECT_FALSE(germany.isEqual(ZORCountryLocale("AT")));
    EXPECT_FALSE(germany.isEqual(ZORLanguageLocale("DE")));
    EXPECT_TRUE(germany.isEqualToString("DE"));
    EXPECT_EQ(ZORLanguageLocale("de_CH").displayName(), "German (Switzerland)");

    auto countries = ZORCountryLocale::supportedCountryLocalesSortedByDisplayName();
    ASSERT_GT(countries.size(), 200u);
    for (std::size_t i = 1; i < countries.size(); ++i)
        EXPECT_TRUE(countries[i - 1]->caseInsensitiveDisplayNameCompare(*countries[i]) <= 0)
            << countries[i]->displayName();
    auto copy = ZORCountryLocale::supportedCountryLocales();
    copy.clear();
    EXPECT_EQ(ZORCountryLocale::supportedCountryLocales().size(), countries.size());

    auto languages = ZORLanguageLocale::supportedLanguageLocales();
    EXPECT_TRUE(std::any_of(languages.begin(), languages.end(), [](auto& l) { return l->localeIdentifier() == "fr"; }));
    unsetenv("LC_ALL");
}

// Entry names are kept between lookups; a change of the user's locale must still show in the next one.
TEST(LocaleLists, NamesFollowTheCurrentLocale)
{
    setenv("LC_ALL", "en_US.UTF-8", 1);
    EXPECT_EQ(ZORCountryLocale("DE").displayName(), "Germany");
    EXPECT_EQ(ZORLanguageLocale("fr").displayName(), "French");
    setenv("LC_ALL", "de_DE.UTF-8", 1);
    EXPECT_EQ(ZORCountryLocale("DE").displayName(), "Deutschland");
    EXPECT_EQ(ZORLanguageLocale("fr").displayName(), "Franz\u00f6sisch");
    setenv("LC_ALL", "en_US.UTF-8", 1);
    EXPECT_EQ(ZORCountryLocale("DE").description(), "Germany");
    unsetenv("LC_ALL");
}

}
