#include "PanelsTestSupport.h"

#include "platform/foundation/TestSupport.h"
#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/files/FileManager.h"
#include "platform/foundation/files/Paths.h"
#include "platform/foundation/services/Places.h"
#include "platform/ui/containers/ScrollView.h"
#include "platform/ui/controls/Button.h"
#include "platform/ui/controls/PopUpButton.h"
#include "platform/ui/panels/OpenPanel.h"
#include "platform/ui/panels/SavePanel.h"
#include "platform/ui/panels/detail/FilePanelViews.h"
#include "platform/ui/text/TextField.h"

#include <fstream>
#include <utime.h>

using namespace ui;
using panelstest::PanelsTest;

namespace {

class SavePanelTest : public PanelsTest {
protected:
    SavePanelTest()
    {
        // Sizes and dates that sort differently from the names.
        make("b-small.pdf", "x", 300);
        make("a-large.pdf", std::string(5000, 'x'), 100);
        make("c-middle.txt", std::string(200, 'x'), 200);
        make(".hidden.pdf", "x", 50);
        std::filesystem::create_directory(folder / "Archive");
    }
    void make(const std::string& name, const std::string& contents, long age)
    {
        auto path = folder.write(name, contents);
        struct utimbuf times {
            1700000000 - age, 1700000000 - age
        };
        utime(path.c_str(), &times);
    }
    std::vector<std::string> names(const SavePanel& panel) const
    {
        std::vector<std::string> out;
        for (const auto& e : panel.fileList()->entries())
            out.push_back(e.name.utf8());
        return out;
    }
    fnd::String dir() const { return fnd::String(folder.path()); }
    // The PDF export a caller runs on OK.
    long exportWith(const std::shared_ptr<SavePanel>& panel)
    {
        long code = panel->runModal();
        if (code == ModalResponse::OK)
            std::ofstream(panel->path().utf8()) << "new";
        return code;
    }
    void clickRow(SavePanel& panel, long row, long clicks = 1)
    {
        auto& list = *panel.fileList();
        auto r = list.rectOfRow(std::size_t(row));
        gfx::Point p { 30, r.midY() };
        backend->mouseDown(panel, at(list, p), 0, clicks);
        backend->mouseUp(panel, at(list, p), 0, clicks);
        dispatch();
    }

    testsupport::TemporaryFolder folder;
};

}

TEST_F(SavePanelTest, TheChosenPathGetsTheRequiredExtension)
{
    auto panel = SavePanel::savePanel();
    panel->setAllowedFileTypes({ "pdf" });
    backend->answerNextPanel(PanelAnswer::pressing(ModalResponse::OK).inFolder(dir()).typing("Barcode"));
    EXPECT_EQ(exportWith(panel), ModalResponse::OK);
    EXPECT_EQ(panel->path().utf8(), folder / "Barcode.pdf");
    EXPECT_EQ(testsupport::readFile(folder / "Barcode.pdf"), "new");

    EXPECT_EQ(panel->nameWithRequiredExtension("a").utf8(), "a.pdf");
    EXPECT_EQ(panel->nameWithRequiredExtension("a.PDF").utf8(), "a.PDF");
    EXPECT_EQ(panel->nameWithRequiredExtension("a.txt").utf8(), "a.txt.pdf");
    panel->setAllowsOtherFileTypes(true);
    EXPECT_EQ(panel->nameWithRequiredExtension("a.txt").utf8(), "a.txt");
    // A new type keeps the name and changes its extension.
    panel->setNameFieldStringValue("Barcode 2.pdf");
    panel->setAllowedFileTypes({ ".png" });
    EXPECT_EQ(panel->nameFieldStringValue().utf8(), "Barcode 2.png");

    backend->answerNextPanel(PanelAnswer::pressing(ModalResponse::Cancel).typing("Other"));
    EXPECT_EQ(exportWith(panel), ModalResponse::Cancel);
    EXPECT_TRUE(panel->path().isEmpty());
    EXPECT_FALSE(std::filesystem::exists(folder / "Other.png"));
}

TEST_F(SavePanelTest, ARefusedOverwriteWritesNothingAndReplacingIsAsked)
{
    auto panel = SavePanel::savePanel();
    panel->setAllowedFileTypes({ "pdf" });
    // The panel, the question (Cancel is the first button), and the panel again, cancelled.
    backend->answerNextPanel(PanelAnswer::pressing(ModalResponse::OK).inFolder(dir()).typing("b-small"));
    backend->answerNextPanel(PanelAnswer::pressing(1000));
    backend->answerNextPanel(PanelAnswer::pressing(ModalResponse::Cancel));
    EXPECT_EQ(exportWith(panel), ModalResponse::Cancel);
    EXPECT_EQ(testsupport::readFile(folder / "b-small.pdf"), "x");
    EXPECT_EQ(backend->pendingPanelAnswers(), 0u);

    backend->answerNextPanel(PanelAnswer::pressing(ModalResponse::OK).inFolder(dir()).typing("b-small.pdf"));
    backend->answerNextPanel(PanelAnswer::pressing(1001));
    EXPECT_EQ(exportWith(panel), ModalResponse::OK);
    EXPECT_EQ(testsupport::readFile(folder / "b-small.pdf"), "new");
}

TEST_F(SavePanelTest, AsASheetTheHandlerGetsTheCodeAndThePath)
{
    auto panel = SavePanel::savePanel();
    panel->setAllowedFileTypes({ "pdf" });
    std::vector<long> codes;
    backend->answerNextPanel(PanelAnswer::pressing(ModalResponse::OK).inFolder(dir()).typing("a-large"));
    backend->answerNextPanel(PanelAnswer::pressing(1001));
    panel->beginSheetModalForWindow(window, [&](long code) { codes.push_back(code); });
    EXPECT_EQ(window->attachedSheet(), panel);
    settle();
    EXPECT_EQ(codes, (std::vector<long> { ModalResponse::OK }));
    EXPECT_EQ(panel->path().utf8(), folder / "a-large.pdf");
    EXPECT_EQ(window->attachedSheet(), nullptr);
}

TEST_F(SavePanelTest, TheBrowserSortsHidesAndDimsAndFollowsClicks)
{
    auto panel = SavePanel::savePanel();
    panel->setAllowedFileTypes({ "pdf" });
    panel->setDirectory(dir());
    panel->makeKeyAndOrderFront();
    EXPECT_EQ(names(*panel), (std::vector<std::string> { "a-large.pdf", "Archive", "b-small.pdf", "c-middle.txt" }));
    auto& header = *panel->fileListHeader();
    auto sizeX = header.bounds().width() - detail::FileListView::dateColumnWidth() - 20;
    backend->click(*panel, at(header, { sizeX, 10 }));
    dispatch();
    EXPECT_EQ(names(*panel), (std::vector<std::string> { "Archive", "b-small.pdf", "c-middle.txt", "a-large.pdf" }))
        << "folders have no size";
    backend->click(*panel, at(header, { sizeX, 10 }));
    dispatch();
    EXPECT_EQ(names(*panel).front(), "a-large.pdf") << "a second click turns the order round";
    backend->click(*panel, at(header, { header.bounds().width() - 20, 10 }));
    dispatch();
    EXPECT_EQ(names(*panel), (std::vector<std::string> { "b-small.pdf", "c-middle.txt", "a-large.pdf", "Archive" }))
        << "by date, oldest first; the folder was made last";
    backend->click(*panel, at(header, { 20, 10 }));
    dispatch();

    auto& entries = panel->fileList()->entries();
    EXPECT_FALSE(entries[3].enabled) << "a text file cannot be chosen for a PDF";
    clickRow(*panel, 3);
    EXPECT_TRUE(panel->fileList()->selectedRows().empty());
    clickRow(*panel, 2);
    EXPECT_EQ(panel->nameFieldStringValue().utf8(), "b-small.pdf") << "a chosen file lends its name";

    panel->hiddenFilesCheckBox()->performClick();
    EXPECT_EQ(names(*panel).front(), ".hidden.pdf");
    panel->hiddenFilesCheckBox()->performClick();

    clickRow(*panel, 1, 2);
    EXPECT_EQ(panel->directory().utf8(), folder / "Archive") << "a double click opens a folder";
    EXPECT_TRUE(panel->fileList()->entries().empty());
    auto segments = panel->pathBar()->segments();
    ASSERT_GE(segments.size(), 2u);
    auto parent = segments[segments.size() - 2];
    EXPECT_EQ(parent.first, dir());
    backend->click(*panel, at(*panel->pathBar(), { parent.second.midX(), parent.second.midY() }));
    dispatch();
    EXPECT_EQ(panel->directory(), dir()) << "the path bar goes back up";

    auto& places = panel->places()->places();
    ASSERT_GE(places.size(), 2u);
    EXPECT_EQ(places[0].path, fnd::Paths::homeDirectory());
    EXPECT_EQ(places.back().path, detail::PlacesView::recentPlacePath());
    backend->click(*panel, at(*panel->places(), { 40, detail::PlacesView::RowHeight * 1.5 }));
    dispatch();
    EXPECT_EQ(panel->directory(), fnd::Paths::homeDirectory());
}

TEST_F(SavePanelTest, NewFoldersAreMadeAndEntered)
{
    auto panel = SavePanel::savePanel();
    panel->setCanCreateDirectories(true);
    panel->setDirectory(dir());
    panel->makeKeyAndOrderFront();
    backend->answerNextPanel(PanelAnswer::pressing(1000).typing("Exports"));
    panel->newFolderButton()->performClick();
    settle();
    EXPECT_TRUE(std::filesystem::is_directory(folder / "Exports"));
    EXPECT_EQ(panel->directory().utf8(), folder / "Exports");

    // A folder of that name already there: an error, and the panel stays where it is.
    panel->setDirectory(dir());
    backend->answerNextPanel(PanelAnswer::pressing(1000).typing("Exports"));
    backend->answerNextPanel(PanelAnswer::pressing(1000));
    panel->newFolderButton()->performClick();
    settle();
    EXPECT_EQ(panel->directory(), dir());
    EXPECT_EQ(backend->pendingPanelAnswers(), 0u) << "the error was shown and answered";
}

TEST_F(SavePanelTest, TheAccessoryViewSitsUnderTheBrowser)
{
    auto panel = SavePanel::savePanel();
    auto accessory = PopUpButton::create({ 0, 0, 200, 26 });
    accessory->addItemsWithTitles({ "PDF", "PNG", "TIFF" });
    panel->setAccessoryView(accessory);
    panel->setAllowedFileTypes({ "pdf" });
    panel->setCanCreateDirectories(true);
    panel->setMessage("Export the barcode");
    panel->setNameFieldStringValue("Barcode.pdf");
    panel->setDirectory(dir());
    auto browser = panel->fileList()->enclosingScrollView()->frame();
    EXPECT_GT(accessory->frame().minY(), browser.maxY());
    EXPECT_LT(accessory->frame().maxY(), panel->okButton()->frame().minY());
    EXPECT_NEAR(accessory->frame().midX(), panel->contentView()->bounds().midX(), 1);
    panel->makeKeyAndOrderFront();
    panel->fileList()->selectRows({ 0 });
    snapshot(*panel, "save-panel");
    // The panels' texts come from the platform's string table, which must stay readable.
    auto bundle = fnd::Bundle::bundleWithName("Foundation");
    ASSERT_TRUE(bundle);
    EXPECT_EQ(bundle->localizedStringForKey("Don't Save", "missing", "Panels").utf8(), "Don't Save");
    EXPECT_EQ(
        bundle->localizedStringForKey("“%@” already exists. Do you want to replace it?", "missing", "Panels").utf8(),
        "“%@” already exists. Do you want to replace it?");
}

TEST_F(SavePanelTest, OpenPanelsChooseFilesOfTheTypesOrFolders)
{
    auto panel = OpenPanel::openPanel();
    panel->setAllowedFileTypes({ "pdf" });
    panel->setAllowsMultipleSelection(true);
    EXPECT_TRUE(panel->nameField()->isHidden());
    backend->answerNextPanel(
        PanelAnswer::pressing(ModalResponse::OK)
            .inFolder(dir())
            .selecting({ fnd::String("a-large.pdf"), fnd::String("c-middle.txt"), fnd::String("b-small.pdf") }));
    EXPECT_EQ(panel->runModal(), ModalResponse::OK);
    ASSERT_EQ(panel->paths().size(), 2u) << "the text file was not selectable";
    EXPECT_EQ(panel->paths()[0].utf8(), folder / "a-large.pdf");

    // Folders wanted: the selected folder, or the current one when nothing is selected.
    panel->setCanChooseDirectories(true);
    panel->setCanChooseFiles(false);
    backend->answerNextPanel(
        PanelAnswer::pressing(ModalResponse::OK).inFolder(dir()).selecting({ fnd::String("Archive") }));
    EXPECT_EQ(panel->runModal(), ModalResponse::OK);
    EXPECT_EQ(panel->paths(), (std::vector<fnd::String> { dir().stringByAppendingPathComponent("Archive") }));
    backend->answerNextPanel(PanelAnswer::pressing(ModalResponse::OK).inFolder(dir()));
    EXPECT_EQ(panel->runModal(), ModalResponse::OK);
    EXPECT_EQ(panel->paths(), (std::vector<fnd::String> { dir() }));
}

TEST_F(SavePanelTest, RecentFilesComeFromTheDesktopsListNewestFirstAndOnlyWhenTheyExist)
{
    testsupport::TemporaryFolder data;
    testsupport::ScopedEnvironment dataHome { "XDG_DATA_HOME", data.path() };
    auto uri = [&](const char* name) { return "file://" + (folder / name); };
    // One file visited long ago, one lately, one gone and one not on this machine.
    data.write("recently-used.xbel",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<xbel version=\"1.0\" xmlns:bookmark=\"http://www.freedesktop.org/standards/desktop-bookmarks\">\n"
        "<bookmark href=\""
            + uri("b-small.pdf")
            + "\" added=\"2020-01-01T00:00:00Z\" "
              "modified=\"2020-01-01T00:00:00Z\" visited=\"2020-01-01T00:00:00Z\"/>\n"
              "<bookmark href=\""
            + uri("c-middle.txt")
            + "\" added=\"2023-05-01T00:00:00Z\" "
              "modified=\"2023-05-01T00:00:00Z\" visited=\"2023-05-01T00:00:00Z\"/>\n"
              "<bookmark href=\""
            + uri("gone.pdf")
            + "\" added=\"2024-01-01T00:00:00Z\" "
              "modified=\"2024-01-01T00:00:00Z\" visited=\"2024-01-01T00:00:00Z\"/>\n"
              "<bookmark href=\"https://example.org/remote.pdf\" added=\"2024-01-01T00:00:00Z\" "
              "modified=\"2024-01-01T00:00:00Z\" visited=\"2024-01-01T00:00:00Z\"/>\n"
              "</xbel>\n");
    auto recent = fnd::Places::recentFiles(10);
    ASSERT_EQ(recent.size(), 2u);
    EXPECT_EQ(recent[0].utf8(), folder / "c-middle.txt");
    EXPECT_EQ(recent[1].utf8(), folder / "b-small.pdf");
    EXPECT_EQ(fnd::Places::recentFiles(1).size(), 1u);

    // The Recent place lists them; nothing can be saved "into" it.
    auto panel = SavePanel::savePanel();
    panel->setDirectory(detail::PlacesView::recentPlacePath());
    EXPECT_EQ(names(*panel).size(), 2u);
    panel->setNameFieldStringValue("Barcode.pdf");
    int beeps = backend->beepCount();
    panel->okButton()->performClick();
    EXPECT_EQ(backend->beepCount(), beeps + 1);
    EXPECT_TRUE(panel->path().isEmpty());

    // A damaged list gives no recent files rather than an error.
    data.write("recently-used.xbel", "this is not a list of bookmarks");
    EXPECT_TRUE(fnd::Places::recentFiles(10).empty());
}

TEST_F(SavePanelTest, OpenPanelsChooseAFileByDoubleClickAndCancelWithEscape)
{
    auto panel = OpenPanel::openPanel();
    panel->setDirectory(dir());
    backend->answerNextModal([&](Window& w) {
        auto& list = *panel->fileList();
        auto r = list.rectOfRow(std::size_t(list.rowOfName("b-small.pdf")));
        backend->mouseDown(w, at(list, { 30, r.midY() }), 0, 2);
        backend->mouseUp(w, at(list, { 30, r.midY() }), 0, 2);
    });
    EXPECT_EQ(panel->runModal(), ModalResponse::OK);
    EXPECT_EQ(panel->paths(), (std::vector<fnd::String> { dir().stringByAppendingPathComponent("b-small.pdf") }));
    backend->answerNextModal([&](Window& w) { backend->keyDown(w, fnd::String(u"\x1b"), KeyCode::Escape); });
    EXPECT_EQ(panel->runModal(), ModalResponse::Cancel);
}

// A name pasted from a spreadsheet or a text ends in a line break, or holds several lines: characters no one sees in
// the one-line field never reach the file's name. Line breaks and tabs between words become a space, other control
// characters go, and what is left at either end is trimmed.
TEST_F(SavePanelTest, ControlCharactersTypedOrPastedAreNotPartOfTheName)
{
    auto panel = SavePanel::savePanel();
    panel->setAllowedFileTypes({ "pdf" });
    struct Case {
        std::u16string typed;
        const char* saved;
    };
    for (const auto& c : { Case { u"4006381333931\n", "4006381333931.pdf" },
             Case { u"Batch 12\r\nLine A", "Batch 12 Line A.pdf" }, Case { u"\tTab\tbetween\n\n", "Tab between.pdf" },
             Case { u"bell\u0007 and \u007f delete", "bell and  delete.pdf" },
             Case { u"next\u0085line\u2028and\u2029paragraph", "next line and paragraph.pdf" },
             Case { u"esc\u001b[0m.pdf", "esc[0m.pdf" } }) {
        SCOPED_TRACE(fnd::String(c.typed).utf8());
        backend->answerNextPanel(PanelAnswer::pressing(ModalResponse::OK).inFolder(dir()).typing(fnd::String(c.typed)));
        EXPECT_EQ(exportWith(panel), ModalResponse::OK);
        EXPECT_EQ(panel->path().utf8(), folder / c.saved);
        EXPECT_TRUE(std::filesystem::exists(folder / c.saved));
    }
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        const auto name = entry.path().filename().string();
        EXPECT_TRUE(std::ranges::none_of(name, [](char c) { return static_cast<unsigned char>(c) < 0x20; })) << name;
    }

    // Nothing but control characters is no name: the panel stays.
    panel->setDirectory(dir());
    panel->setNameFieldStringValue(u"\n\t\u0007");
    std::vector<long> codes;
    panel->beginSheetModalForWindow(window, [&](long code) { codes.push_back(code); });
    panel->okButton()->performClick();
    EXPECT_TRUE(codes.empty());
    panel->cancel({});

    // A new folder's name is cleaned alike.
    panel->setCanCreateDirectories(true);
    panel->makeKeyAndOrderFront();
    backend->answerNextPanel(PanelAnswer::pressing(1000).typing(u"Labels\nMay\n"));
    panel->newFolderButton()->performClick();
    settle();
    EXPECT_TRUE(std::filesystem::is_directory(folder / "Labels May"));
}

TEST_F(SavePanelTest, TypedPathsNameTheFolderTooAndAFolderIsEntered)
{
    auto panel = SavePanel::savePanel();
    panel->setAllowedFileTypes({ "pdf" });
    // Relative to the folder shown, from the root, and from the home.
    backend->answerNextPanel(PanelAnswer::pressing(ModalResponse::OK).inFolder(dir()).typing("Archive/relative"));
    EXPECT_EQ(exportWith(panel), ModalResponse::OK);
    EXPECT_EQ(panel->path().utf8(), folder / "Archive/relative.pdf");
    backend->answerNextPanel(
        PanelAnswer::pressing(ModalResponse::OK).typing(fnd::String(folder / "Archive/../absolute.pdf")));
    EXPECT_EQ(exportWith(panel), ModalResponse::OK);
    EXPECT_EQ(panel->path().utf8(), folder / "absolute.pdf");
    {
        testsupport::ScopedEnvironment home("HOME", folder.path());
        backend->answerNextPanel(PanelAnswer::pressing(ModalResponse::OK).typing("~/Archive/home"));
        EXPECT_EQ(exportWith(panel), ModalResponse::OK);
        EXPECT_EQ(panel->path().utf8(), folder / "Archive/home.pdf");
    }

    // A folder that is not there is said so, and the panel stays; a folder typed is entered.
    panel->setDirectory(dir());
    panel->setNameFieldStringValue("Missing/x");
    std::vector<long> codes;
    panel->beginSheetModalForWindow(window, [&](long code) { codes.push_back(code); });
    panel->okButton()->performClick();
    ASSERT_TRUE(panel->attachedSheet()) << "an alert says the folder is missing";
    panel->attachedSheet()->close();
    EXPECT_TRUE(codes.empty());
    panel->setNameFieldStringValue("Archive/");
    panel->okButton()->performClick();
    EXPECT_EQ(panel->directory().utf8(), folder / "Archive");
    EXPECT_TRUE(panel->nameFieldStringValue().isEmpty());
    EXPECT_TRUE(codes.empty()) << "entering a folder saves nothing";
    panel->cancel({});
    EXPECT_EQ(codes, (std::vector<long> { ModalResponse::Cancel }));
}

TEST_F(SavePanelTest, TheKeyboardReachesThePlacesAndTheListWhichFollowArrowsAndTyping)
{
    auto panel = SavePanel::savePanel();
    panel->setAllowedFileTypes({ "pdf" });
    panel->setDirectory(dir());
    panel->beginSheetModalForWindow(window, nullptr);
    panel->makeFirstResponder(panel->nameField());
    auto reached = [&](const std::shared_ptr<View>& wanted) {
        for (int tab = 0; tab < 20; ++tab) {
            backend->keyDown(*panel, u"\t", KeyCode::Tab);
            dispatch();
            if (panel->firstResponder() == wanted)
                return true;
        }
        return false;
    };
    EXPECT_TRUE(reached(panel->places()));
    EXPECT_TRUE(reached(panel->fileList()));
    // Type-ahead finds a row by the start of its name; arrows skip the rows that cannot be chosen (c-middle.txt).
    backend->keyDown(*panel, u"b", 11);
    dispatch();
    auto selectedName = [&] {
        const auto& rows = panel->fileList()->selectedRows();
        return rows.empty() ? std::string() : panel->fileList()->entries()[rows.front()].name.utf8();
    };
    EXPECT_EQ(selectedName(), "b-small.pdf");
    EXPECT_EQ(panel->nameFieldStringValue().utf8(), "b-small.pdf");
    backend->keyDown(*panel, fnd::String(std::u16string(1, FunctionKey::DownArrow)), KeyCode::DownArrow);
    dispatch();
    EXPECT_EQ(selectedName(), "b-small.pdf") << "the text file after it cannot be chosen";
    backend->keyDown(*panel, fnd::String(std::u16string(1, FunctionKey::UpArrow)), KeyCode::UpArrow);
    dispatch();
    EXPECT_EQ(selectedName(), "Archive");
    panel->cancel({});
}

TEST_F(SavePanelTest, DocumentsIsOfferedOnlyWhereItExists)
{
    // (The desktop folder is found the same way, through GLib, which reads the environment once per process.)
    testsupport::ScopedEnvironment home("HOME", folder.path());
    testsupport::ScopedEnvironment config("XDG_CONFIG_HOME", folder / "config");
    auto placeNames = [](const detail::PlacesView& places) {
        std::vector<std::string> names;
        for (const auto& place : places.places())
            names.push_back(place.name.utf8());
        return names;
    };
    auto panel = SavePanel::savePanel();
    auto names = placeNames(*panel->places());
    EXPECT_EQ(std::ranges::count(names, "Documents"), 0);
    std::filesystem::create_directory(folder / "Documents");
    panel->places()->reload();
    names = placeNames(*panel->places());
    EXPECT_EQ(std::ranges::count(names, "Documents"), 1);
}

TEST_F(SavePanelTest, ASheetNobodyKeepsLeavesNoWindowBehind)
{
    dispatch();
    const auto windowsBefore = app().windows().size();
    const auto surfacesBefore = backend->surfaceCount();
    std::weak_ptr<SavePanel> gone;
    for (int sheet = 0; sheet < 5; ++sheet) {
        auto panel = SavePanel::savePanel();
        panel->beginSheetModalForWindow(window, nullptr);
        window->displayIfNeeded();
        panel->displayIfNeeded();
        EXPECT_EQ(backend->surfaceCount(), surfacesBefore + 1);
        panel->cancel({});
        gone = panel;
    }
    EXPECT_TRUE(gone.expired());
    EXPECT_EQ(app().windows().size(), windowsBefore);
    EXPECT_EQ(backend->surfaceCount(), surfacesBefore);
}
