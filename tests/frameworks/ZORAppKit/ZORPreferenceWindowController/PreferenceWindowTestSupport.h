#pragma once

#include "frameworks/ZORAppKit/ZORPreferenceWindowController/ZORPreferenceWindowController.h"

#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/ui/UiTestSupport.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace prefstest {

// One log of everything panes and the delegate hear, in order: "<who>.<message>".
using MessageLog = std::shared_ptr<std::vector<std::string>>;

// A pane built in code that writes every optional message it gets to the log.
class RecordingPane : public fnd::Object, public ZORPrefPaneProtocol {
    FND_OBJECT(RecordingPane)

public:
    // Without a view size the pane has no view.
    static std::shared_ptr<RecordingPane> create(
        const std::string& identifier, const std::string& category, std::optional<gfx::Size> viewSize, MessageLog log);

    fnd::String identifier() const override { return m_identifier; }
    std::shared_ptr<ui::View> mainView() override { return m_view; }
    fnd::String label() const override { return m_identifier + " pane"; }
    std::shared_ptr<gfx::Image> icon() const override { return m_icon; }
    fnd::String category() const override { return m_category; }
    unsigned long sortOrder() const override { return m_sortOrder; }
    void setSortOrder(unsigned long sortOrder) override { m_sortOrder = sortOrder; }

    void loadMainView() override { note("loadMainView"); }
    void willSelect() override
    {
        note("willSelect");
        if (viewOnSelect)
            m_view = viewOnSelect();
    }
    void didSelect() override { note("didSelect"); }
    bool shouldUnselect() override { return note("shouldUnselect"), allowsLeaving; }
    void willUnselect() override { note("willUnselect"); }
    void didUnselect() override { note("didUnselect"); }
    std::optional<bool> shouldResize() override { return note("shouldResize"), true; }
    std::optional<gfx::Size> minSize() override { return note("minSize"), minimum; }
    std::optional<gfx::Size> standardSize() override { return standard; }
    void panelDidBecomeMain() override { note("panelDidBecomeMain"); }

    bool allowsLeaving { true };
    // Set: each time the pane is about to be shown, it takes the view this makes (or none) for its own.
    std::function<std::shared_ptr<ui::View>()> viewOnSelect;
    std::optional<gfx::Size> minimum;
    std::optional<gfx::Size> standard;

private:
    void note(const std::string& message) { m_log->push_back(m_identifier.utf8() + "." + message); }

    fnd::String m_identifier;
    fnd::String m_category;
    std::shared_ptr<gfx::Image> m_icon;
    std::shared_ptr<ui::View> m_view;
    unsigned long m_sortOrder { 0 };
    MessageLog m_log;
};

// A delegate that logs what it hears, refuses the identifiers it is told to and renames categories.
class RecordingDelegate : public ZORPreferenceWindowControllerDelegate {
public:
    explicit RecordingDelegate(MessageLog log)
        : m_log(std::move(log))
    {
    }
    std::optional<bool> shouldLoadPreferencePane(const fnd::String& identifier) override;
    void didLoadPreferencePane(const fnd::String& identifier) override { note("didLoad", identifier); }
    void willSelectPreferencePane(const fnd::String& identifier) override { note("willSelect", identifier); }
    void didUnselectPreferencePane(const fnd::String& identifier) override { note("didUnselect", identifier); }
    std::optional<fnd::String> categoryForPreferencePane(
        const fnd::String& identifier, const fnd::String& defaultCategory) override;
    std::optional<fnd::String> displayNameForCategory(const fnd::String& category) override;

    std::vector<std::string> refused;
    // Category → category the overview should use instead.
    std::map<std::string, std::string> categoryMap;
    // Category → its name as shown.
    std::map<std::string, std::string> displayNames;

private:
    void note(const char* what, const fnd::String& identifier)
    {
        m_log->push_back(std::string("delegate.") + what + " " + identifier.utf8());
    }
    MessageLog m_log;
};

// A fresh controller per test (as a fresh process would have), its window on the headless backend.
class PreferenceWindowTest : public uitest::UiTest {
protected:
    static inline const fnd::String AutosaveName = "Test Preferences";

    PreferenceWindowTest();
    ~PreferenceWindowTest() override;

    // Registers a pane with a view of that size (none without), in the "General" category unless told otherwise.
    std::shared_ptr<RecordingPane> addPane(
        const std::string& identifier, std::optional<gfx::Size> viewSize, const std::string& category = "General");
    // Clicks a point of the overview (its own coordinates) and lets the events run.
    void clickOverview(gfx::Point point);
    // The window drawn, written to $TMPDIR/ZORPreferenceWindow-<name>.png to be looked at.
    std::shared_ptr<gfx::BitmapImageRep> shot(const std::string& name);
    // The window made again for a new controller, as after a restart.
    void startOver();
    // Removes the defaults the controller keeps under the autosave name.
    static void forgetDefaults(const fnd::String& autosaveName);

    MessageLog messages = std::make_shared<std::vector<std::string>>();
    std::shared_ptr<ZORPreferenceWindowController> controller;
    // Frames windows took, from their resize notifications.
    std::vector<gfx::Rect> resizes;

private:
    fnd::NotificationObserverToken m_resizeObserver {};
};

}
