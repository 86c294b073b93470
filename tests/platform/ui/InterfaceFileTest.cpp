#include "platform/ui/interface/InterfaceFile.h"
#include "UiTestSupport.h"

#include "platform/foundation/runtime/Exception.h"
#include "platform/graphics/Color.h"
#include "platform/ui/menus/Menu.h"
#include "platform/ui/views/View.h"

#include <gtest/gtest.h>

namespace ifmodel {

using fnd::String;
using fnd::Value;

// Every object made notes what it could see when it was awoken, so the tests can tell that awakeFromNib came after
// every connection.
std::vector<std::string>& awakeLog()
{
    static std::vector<std::string> log;
    return log;
}

class IfWidget : public fnd::Object {
    FND_OBJECT(IfWidget)
    static void describeClass(fnd::ClassBuilder<IfWidget>& c);

public:
    void addSubview(const std::shared_ptr<IfWidget>& child)
    {
        if (!child)
            throw fnd::Exception::invalidArgument("A widget holds only widgets.");
        children.push_back(child);
        child->parent = std::static_pointer_cast<IfWidget>(shared_from_this());
    }
    void awakeFromNib()
    {
        awakeLog().push_back(name.utf8() + " sees target " + (target.lock() ? "set" : "nil") + ", action "
            + action.utf8() + ", " + std::to_string(children.size()) + " children");
    }

    String name;
    gfx::Rect frame;
    bool enabled { true };
    long count { 0 };
    double scale { 0 };
    Value extra;
    std::shared_ptr<gfx::Color> color;
    std::shared_ptr<IfWidget> accessory;
    std::weak_ptr<fnd::Object> target;
    String action;
    std::vector<std::shared_ptr<IfWidget>> children;
    std::weak_ptr<IfWidget> parent;
};

FND_REGISTER_CLASS(IfWidget, fnd::Object)

// A class made only by a designated initialiser with arguments: made by name, it raises, as such classes do.
class IfNeedsArguments : public fnd::Object {
    FND_OBJECT(IfNeedsArguments)
public:
    void init() { throw fnd::Exception("IfModelException", "IfNeedsArguments needs initWithThing:"); }
};
FND_REGISTER_CLASS(IfNeedsArguments, fnd::Object)

void IfWidget::describeClass(fnd::ClassBuilder<IfWidget>& c)
{
    c.property("name", &IfWidget::name);
    c.property("frame", &IfWidget::frame);
    c.property("enabled", &IfWidget::enabled);
    c.property("count", &IfWidget::count);
    c.property("scale", &IfWidget::scale);
    c.property("extra", &IfWidget::extra);
    c.property("color", &IfWidget::color);
    c.property("accessory", &IfWidget::accessory);
    c.property(
        "target", [](const IfWidget& w) { return w.target.lock(); },
        [](IfWidget& w, const std::shared_ptr<fnd::Object>& t) { w.target = t; });
    c.property("action", &IfWidget::action);
    c.property("childCount", [](const IfWidget& w) { return static_cast<long>(w.children.size()); });
    c.action("addSubview:", &IfWidget::addSubview);
    c.action("awakeFromNib", &IfWidget::awakeFromNib);
}

// Owns the file: outlets to what it loads, and an action its widgets send.
class IfController : public fnd::Object {
    FND_OBJECT(IfController)
    static void describeClass(fnd::ClassBuilder<IfController>& c);

public:
    void awakeFromNib() { awakeLog().push_back("owner sees window " + std::string(window ? "set" : "nil")); }
    void save(const Value&) { }

    std::shared_ptr<IfWidget> window;
    std::weak_ptr<IfWidget> okButton;
};

FND_REGISTER_CLASS(IfController, fnd::Object)

void IfController::describeClass(fnd::ClassBuilder<IfController>& c)
{
    c.property("window", &IfController::window);
    c.property(
        "okButton", [](const IfController& o) { return o.okButton.lock(); },
        [](IfController& o, const std::shared_ptr<IfWidget>& w) { o.okButton = w; });
    c.action("save:", &IfController::save);
    c.action("awakeFromNib", &IfController::awakeFromNib);
}

// A view with a target and an action, as controls have.
class IfButton : public ui::View {
    FND_OBJECT(IfButton)
    static void describeClass(fnd::ClassBuilder<IfButton>& c)
    {
        c.property(
            "target", [](const IfButton& b) { return b.target.lock(); },
            [](IfButton& b, const std::shared_ptr<fnd::Object>& t) { b.target = t; });
        c.property("action", &IfButton::action);
    }

public:
    void awakeFromNib() override
    {
        auto w = window();
        awakeLog().push_back(std::string("button in ") + (w ? w->title().utf8() : "no window") + ", target "
            + (target.lock() ? "set" : "nil"));
    }
    std::weak_ptr<fnd::Object> target;
    String action;
};

FND_REGISTER_CLASS(IfButton, ui::View)

fnd::Data xml(std::string_view text)
{
    return fnd::Data::fromString(text);
}

TEST(InterfaceFile, BuildsNestedObjectsAndConnectsBeforeAwaking)
{
    awakeLog().clear();
    auto owner = fnd::makeObject<IfController>();
    auto loaded = ui::InterfaceFile::load(xml(R"(<?xml version="1.0" encoding="UTF-8"?>
<interface version="1">
  <object id="window" class="IfWidget">
    <string key="name">window</string>
    <rect key="frame" x="10" y="20" width="300" height="200"/>
    <object key="accessory" id="accessory" class="IfWidget">
      <string key="name">accessory</string>
      <reference key="accessory" ref="ok"/>
    </object>
    <subviews>
      <object id="box" class="IfWidget">
        <string key="name">box</string>
        <subviews>
          <object id="ok" class="IfWidget">
            <string key="name">ok</string>
            <bool key="enabled">false</bool>
            <integer key="count">-42</integer>
            <real key="scale">0.5</real>
            <color key="color" red="1" green="0.5" blue="0" alpha="0.25"/>
            <dictionary key="extra">
              <array key="list"><integer>1</integer><string>two</string><nil/></array>
              <point key="at" x="1.5" y="-2"/>
              <size key="size" width="3" height="4"/>
              <range key="range" location="2" length="5"/>
            </dictionary>
          </object>
        </subviews>
      </object>
    </subviews>
  </object>
  <object class="Menu">
    <string key="title">Context</string>
    <items>
      <object id="copyItem" class="MenuItem"><string key="title">Copy</string></object>
    </items>
  </object>
  <connections>
    <outlet source="owner" key="window" destination="window"/>
    <outlet source="owner" key="okButton" destination="ok"/>
    <action source="ok" selector="save:" destination="owner"/>
    <action source="copyItem" selector="copy:"/>
  </connections>
</interface>)"),
        owner);
    ASSERT_TRUE(loaded) << loaded.error().localizedDescription().utf8();

    ASSERT_EQ(loaded->topLevelObjects.size(), 2u);
    auto window = std::dynamic_pointer_cast<IfWidget>(loaded->topLevelObjects[0]);
    ASSERT_TRUE(window);
    EXPECT_EQ(owner->window, window);
    EXPECT_EQ(window->frame, (gfx::Rect { { 10, 20 }, { 300, 200 } }));
    ASSERT_EQ(window->children.size(), 1u);
    auto box = window->children[0];
    ASSERT_EQ(box->children.size(), 1u);
    auto ok = box->children[0];
    EXPECT_EQ(ok->parent.lock(), box);
    EXPECT_EQ(owner->okButton.lock(), ok);
    EXPECT_EQ(window->accessory->accessory, ok) << "references may point forwards";
    EXPECT_EQ(ok->name, String("ok"));
    EXPECT_FALSE(ok->enabled);
    EXPECT_EQ(ok->count, -42);
    EXPECT_EQ(ok->scale, 0.5);
    ASSERT_TRUE(ok->color);
    EXPECT_NEAR(ok->color->alphaComponent(), 0.25, 1e-9);
    const auto* extra = ok->extra.dictionary();
    ASSERT_TRUE(extra);
    EXPECT_EQ(extra->get("list"), Value(fnd::Array { 1, "two", Value() }));
    EXPECT_EQ(extra->get("at").point(), (gfx::Point { 1.5, -2 }));
    EXPECT_EQ(extra->get("size").size(), (gfx::Size { 3, 4 }));
    EXPECT_EQ(extra->get("range").range(), (fnd::Range { 2, 5 }));
    EXPECT_EQ(ok->target.lock(), owner);
    EXPECT_EQ(ok->action, String("save:"));

    auto menu = std::dynamic_pointer_cast<ui::Menu>(loaded->topLevelObjects[1]);
    ASSERT_TRUE(menu);
    ASSERT_EQ(menu->numberOfItems(), 1);
    EXPECT_EQ(menu->itemAtIndex(0)->action(), fnd::Selector("copy:"));
    EXPECT_FALSE(menu->itemAtIndex(0)->target()) << "no destination is the nil target";
    EXPECT_EQ(loaded->objectsById.at("copyItem"), menu->itemAtIndex(0));

    // Awoken in document order, each after every connection; the owner last.
    EXPECT_EQ(awakeLog(),
        (std::vector<std::string> { "window sees target nil, action , 1 children",
            "accessory sees target nil, action , 0 children", "box sees target nil, action , 1 children",
            "ok sees target set, action save:, 0 children", "owner sees window set" }));
}

// Menus in a file get separators.
TEST(InterfaceFile, MenusGetSeparators)
{
    auto loaded = ui::InterfaceFile::load(xml(R"(<interface>
  <object id="menu" class="Menu">
    <items>
      <object class="MenuItem"><string key="title">About</string><string key="keyEquivalent">i</string></object>
      <object class="MenuItem"><bool key="isSeparatorItem">true</bool></object>
      <object class="MenuItem"><string key="title">Quit</string></object>
    </items>
  </object>
</interface>)"));
    ASSERT_TRUE(loaded) << loaded.error().localizedDescription().utf8();
    auto menu = std::dynamic_pointer_cast<ui::Menu>(loaded->objectsById.at("menu"));
    ASSERT_EQ(menu->numberOfItems(), 3);
    EXPECT_FALSE(menu->itemAtIndex(0)->isSeparatorItem());
    EXPECT_TRUE(menu->itemAtIndex(1)->isSeparatorItem());
    EXPECT_FALSE(menu->itemAtIndex(1)->isEnabled()) << "a separator is never chosen";
    EXPECT_TRUE(menu->itemAtIndex(1)->title().isEmpty());
}

TEST(InterfaceFile, BrokenFilesFailNamingTheElement)
{
    struct Case {
        const char* title;
        std::string body; // inside <interface>
        std::int64_t code;
        const char* mentioned;
    };
    const Case cases[] = {
        { "unknown class", R"(<object id="a" class="NoSuchClass"/>)", ui::InterfaceFile::UnknownClassError,
            R"(<object id="a" class="NoSuchClass"> on line 2)" },
        { "class made only with arguments", R"(<object id="a" class="IfNeedsArguments"/>)",
            ui::InterfaceFile::UnknownClassError, "names a class that cannot be made: IfNeedsArguments needs" },
        { "unknown key", "<object class=\"IfWidget\">\n<string key=\"colour\">red</string></object>",
            ui::InterfaceFile::UnknownKeyError, R"(<string key="colour"> on line 3)" },
        { "read-only key", "<object class=\"IfWidget\">\n<integer key=\"childCount\">2</integer></object>",
            ui::InterfaceFile::ReadOnlyKeyError, "sets a key a IfWidget has only to read" },
        { "key without a name", R"(<object class="IfWidget"><string>x</string></object>)",
            ui::InterfaceFile::MalformedError, "has no key" },
        { "bad integer", R"(<object class="IfWidget"><integer key="count">12a</integer></object>)",
            ui::InterfaceFile::InvalidValueError, R"(<integer key="count">)" },
        { "bad rect", R"(<object class="IfWidget"><rect key="frame" x="1" y="2" width="w" height="4"/></object>)",
            ui::InterfaceFile::InvalidValueError, "needs a number for width" },
        { "font of a size no text is set in",
            R"(<object class="IfWidget"><font key="extra" name="DejaVu Sans" size="10001"/></object>)",
            ui::InterfaceFile::InvalidValueError, "has a size no text is set in" },
        { "bad bool", R"(<object class="IfWidget"><bool key="enabled">yes</bool></object>)",
            ui::InterfaceFile::InvalidValueError, "neither true nor false" },
        { "wrong type for a key", R"(<object class="IfWidget"><string key="frame">x</string></object>)",
            ui::InterfaceFile::InvalidValueError, R"(<string key="frame">)" },
        { "dangling outlet",
            R"(<object id="a" class="IfWidget"/><connections><outlet source="a" key="accessory" destination="zz"/></connections>)",
            ui::InterfaceFile::UnknownObjectError, R"(refers to "zz")" },
        { "duplicate id", R"(<object id="a" class="IfWidget"/><object id="a" class="IfWidget"/>)",
            ui::InterfaceFile::MalformedError, "repeats an id" },
        { "owner is reserved", R"(<object id="owner" class="IfWidget"/>)", ui::InterfaceFile::MalformedError,
            "repeats an id" },
        { "children the parent cannot take",
            R"(<object class="Menu"><subviews><object class="IfWidget"/></subviews></object>)",
            ui::InterfaceFile::UnknownKeyError, "does not answer addSubview:" },
        { "a child the parent refuses",
            R"(<object class="IfWidget"><subviews><object class="Menu"/></subviews></object>)",
            ui::InterfaceFile::InvalidValueError, R"(<object class="Menu">)" },
        { "unknown element", R"(<object class="IfWidget"><blob key="x"/></object>)", ui::InterfaceFile::MalformedError,
            R"(<blob key="x">)" },
        { "stray element", R"(<widget/>)", ui::InterfaceFile::MalformedError, "<widget>" },
        { "action without selector",
            R"(<object id="a" class="IfWidget"/><connections><action source="a"/></connections>)",
            ui::InterfaceFile::MalformedError, "has no selector" },
    };
    for (const auto& c : cases) {
        awakeLog().clear();
        const std::string text = "<interface>\n" + c.body + "\n</interface>";
        auto loaded = ui::InterfaceFile::load(xml(text));
        ASSERT_FALSE(loaded) << c.title;
        EXPECT_EQ(loaded.error().domain(), ui::InterfaceFile::ErrorDomain) << c.title;
        EXPECT_EQ(loaded.error().code(), c.code) << c.title << ": " << loaded.error().localizedDescription().utf8();
        EXPECT_NE(loaded.error().localizedDescription().utf8().find(c.mentioned), std::string::npos)
            << c.title << ": " << loaded.error().localizedDescription().utf8();
        EXPECT_TRUE(awakeLog().empty()) << c.title << ": nothing is awoken from a failed load";
    }

    const std::pair<const char*, std::string> malformed[] = {
        { "not XML", "<interface><object" },
        { "empty", "" },
        { "wrong root", "<plist/>" },
        { "entities", R"(<!DOCTYPE interface [<!ENTITY e "x">]><interface/>)" },
        { "future version", R"(<interface version="2"/>)" },
    };
    for (const auto& [title, text] : malformed) {
        auto loaded = ui::InterfaceFile::load(xml(text));
        ASSERT_FALSE(loaded) << title;
        EXPECT_EQ(loaded.error().code(), ui::InterfaceFile::MalformedError) << title;
    }
    auto missing = ui::InterfaceFile::loadFile("/nonexistent/file.interface");
    ASSERT_FALSE(missing);
    EXPECT_EQ(missing.error().code(), ui::InterfaceFile::FileReadError);
}

class InterfaceFileWindowTest : public uitest::UiTest { };

// A window is made before the objects nested in it: an object given as its content rect or style mask, directly or
// inside an array, is refused instead of being read before it exists (which ended the program).
TEST_F(InterfaceFileWindowTest, AWindowsContentRectAndStyleMaskArePlainValues)
{
    const char* bodies[] = {
        R"(<object class="Window"><object key="contentRect" class="IfWidget"/></object>)",
        R"(<object class="Window"><array key="styleMask"><object class="IfWidget"/></array></object>)",
        R"(<object class="Window"><string key="contentRect">0 0 10 10</string></object>)",
    };
    for (const char* body : bodies) {
        auto loaded = ui::InterfaceFile::load(xml(std::string("<interface>\n") + body + "\n</interface>"));
        ASSERT_FALSE(loaded) << body;
        EXPECT_EQ(loaded.error().code(), ui::InterfaceFile::InvalidValueError) << body;
        EXPECT_NE(loaded.error().localizedDescription().utf8().find("wrong kind for its key"), std::string::npos)
            << loaded.error().localizedDescription().utf8();
    }
    auto plain = ui::InterfaceFile::load(xml(R"(<interface><object class="Window">
        <rect key="contentRect" x="0" y="0" width="120" height="80"/><integer key="styleMask">3</integer>
        </object></interface>)"));
    ASSERT_TRUE(plain) << plain.error().localizedDescription().utf8();
}

TEST_F(InterfaceFileWindowTest, BuildsAWindowWithNestedViewsConnectedBeforeAwaking)
{
    awakeLog().clear();
    auto owner = fnd::makeObject<IfController>();
    auto loaded = ui::InterfaceFile::load(xml(R"(<interface>
  <object id="window" class="Window">
    <rect key="contentRect" x="100" y="200" width="400" height="300"/>
    <integer key="styleMask">3</integer>
    <string key="title">Settings</string>
    <object key="contentView" class="View">
      <subviews>
        <object id="box" class="View">
          <rect key="frame" x="20" y="30" width="200" height="100"/>
          <integer key="autoresizingMask">18</integer>
          <subviews>
            <object id="ok" class="IfButton"><rect key="frame" x="5" y="6" width="80" height="24"/></object>
          </subviews>
        </object>
      </subviews>
    </object>
  </object>
  <connections>
    <action source="ok" selector="save:" destination="owner"/>
  </connections>
</interface>)"),
        owner);
    ASSERT_TRUE(loaded) << loaded.error().localizedDescription().utf8();
    auto window = std::dynamic_pointer_cast<ui::Window>(loaded->topLevelObjects.at(0));
    ASSERT_TRUE(window);
    EXPECT_EQ(window->title(), String("Settings"));
    EXPECT_EQ(window->styleMask(), 3u);
    EXPECT_EQ(window->contentRectForFrameRect(window->frame()), (gfx::Rect { 100, 200, 400, 300 }));
    auto box = std::dynamic_pointer_cast<ui::View>(loaded->objectsById.at("box"));
    auto ok = std::dynamic_pointer_cast<IfButton>(loaded->objectsById.at("ok"));
    ASSERT_TRUE(box && ok);
    EXPECT_EQ(box->superview(), window->contentView());
    EXPECT_EQ(ok->superview(), box);
    EXPECT_EQ(box->autoresizingMask(), 18u);
    // Frames nest: the button's origin in the window is the box's plus its own.
    EXPECT_EQ(ok->convertPointToView({ 0, 0 }, nullptr), (gfx::Point { 25, 36 }));
    EXPECT_EQ(ok->target.lock(), owner);
    EXPECT_EQ(ok->action, String("save:"));
    EXPECT_EQ(awakeLog(), (std::vector<std::string> { "button in Settings, target set", "owner sees window nil" }));

    // A window's content view must be a view.
    auto broken = ui::InterfaceFile::load(xml(R"(<interface><object class="Window">
<object key="contentView" class="Menu"/></object></interface>)"));
    ASSERT_FALSE(broken);
    EXPECT_NE(broken.error().localizedDescription().utf8().find(R"(<object class="Menu" key="contentView"> on line 2)"),
        std::string::npos)
        << broken.error().localizedDescription().utf8();
}

}
