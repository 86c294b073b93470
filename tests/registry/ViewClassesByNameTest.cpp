#include "registry/RegistrySupport.h"

#include "platform/ui/UiTestSupport.h"
#include "platform/ui/interface/InterfaceFile.h"

#include <fmt/format.h>

// Every registered view class, made by name in an interface file inside a window, is set up like the same class made
// in code with the same frame: shown, resized and drawn, both draw the same pixels, and both leave their window
// cleanly.
namespace {

using registrytest::differingPixels;

constexpr gfx::Rect ViewClassesByNameContent { 100, 100, 300, 220 };
constexpr gfx::Rect ViewClassesByNameFrame { 20, 20, 240, 160 };
constexpr gfx::Size ViewClassesByNameResized { 380, 280 };

class ViewClassesByName : public uitest::UiTest, public ::testing::WithParamInterface<std::string> {
protected:
    struct Pictures {
        std::shared_ptr<gfx::BitmapImageRep> shown;
        std::shared_ptr<gfx::BitmapImageRep> resized;
    };

    // Shows the window with the view (sizable both ways, so a resize moves or sizes it), draws it, resizes the
    // window and draws again, then removes the view and draws the window without it.
    Pictures exercise(const std::shared_ptr<ui::Window>& window, const std::shared_ptr<ui::View>& view)
    {
        view->setAutoresizingMask(ui::AutoresizingMask::WidthSizable | ui::AutoresizingMask::HeightSizable);
        window->makeKeyAndOrderFront();
        backend->dispatchEvents();
        Pictures pictures;
        pictures.shown = backend->imageOfWindow(*window);
        window->setContentSize(ViewClassesByNameResized);
        backend->dispatchEvents();
        pictures.resized = backend->imageOfWindow(*window);
        view->removeFromSuperview();
        EXPECT_EQ(view->window(), nullptr) << GetParam() << " still thinks it is in its window";
        EXPECT_EQ(view->superview(), nullptr);
        (void)backend->imageOfWindow(*window);
        window->close();
        backend->dispatchEvents();
        return pictures;
    }

    std::string interfaceFileText() const
    {
        const auto content = ViewClassesByNameContent;
        const auto frame = ViewClassesByNameFrame;
        return fmt::format(R"(<?xml version="1.0" encoding="UTF-8"?>
<interface version="1">
  <object id="window" class="Window">
    <rect key="contentRect" x="{}" y="{}" width="{}" height="{}"/>
    <object key="contentView" class="View">
      <rect key="frame" x="0" y="0" width="{}" height="{}"/>
      <subviews>
        <object id="view" class="{}">
          <rect key="frame" x="{}" y="{}" width="{}" height="{}"/>
        </object>
      </subviews>
    </object>
  </object>
</interface>)",
            content.minX(), content.minY(), content.width(), content.height(), content.width(), content.height(),
            GetParam(), frame.minX(), frame.minY(), frame.width(), frame.height());
    }

    void keep(const Pictures& pictures, const char* how)
    {
        uitest::keepSnapshot(pictures.shown, fmt::format("{}-{}", GetParam(), how).c_str());
        uitest::keepSnapshot(pictures.resized, fmt::format("{}-{}-resized", GetParam(), how).c_str());
    }
};

TEST_P(ViewClassesByName, MadeByNameInAWindowDrawsAsWhenMadeInCode)
{
    const std::string& className = GetParam();

    auto loaded = ui::InterfaceFile::load(fnd::Data::fromString(interfaceFileText()));
    ASSERT_TRUE(loaded) << className << ": " << loaded.error().localizedDescription().utf8();
    auto fileWindow = std::dynamic_pointer_cast<ui::Window>(loaded->objectsById.at("window"));
    auto fileView = std::dynamic_pointer_cast<ui::View>(loaded->objectsById.at("view"));
    ASSERT_NE(fileWindow, nullptr);
    ASSERT_NE(fileView, nullptr);

    auto codeWindow = ui::Window::create(ViewClassesByNameContent);
    auto codeView = registrytest::viewMadeInCode(className, ViewClassesByNameFrame);
    ASSERT_NE(codeView, nullptr) << className << " cannot be made";
    registrytest::takeValuesSetByDecoding(*codeView, *fileView);
    // Some classes fit their frame to their content or size; both ways of making them must agree.
    const gfx::Rect codeFrame = codeView->frame();
    codeWindow->contentView()->addSubview(codeView);
    auto inCode = exercise(codeWindow, codeView);

    EXPECT_EQ(fileView->className().utf8(), className);
    EXPECT_EQ(fileView->frame(), codeFrame) << className << " made by name has another frame";
    EXPECT_EQ(fileView->window(), fileWindow) << className << " made by name is not in its window";
    auto byName = exercise(fileWindow, fileView);

    keep(inCode, "code");
    keep(byName, "name");
    EXPECT_EQ(differingPixels(*inCode.shown, *byName.shown), 0)
        << className << " made by name draws otherwise than made in code";
    EXPECT_EQ(differingPixels(*inCode.resized, *byName.resized), 0)
        << className << " made by name draws otherwise than made in code once resized";
}

INSTANTIATE_TEST_SUITE_P(
    EveryViewClass, ViewClassesByName, ::testing::ValuesIn(registrytest::viewClassNames()), registrytest::testNameOf);

TEST(ViewClassRegistry, HoldsTheFrameworksViewClasses)
{
    // The registry is enumerated, not listed; this only guards against the enumeration finding too little (a library
    // that did not load).
    auto names = registrytest::viewClassNames();
    EXPECT_GE(names.size(), 110u);
    for (const char* name : { "QFTabBarView", "ZTBTabBarControl", "KRScopeBar", "ZORTableGrid", "TBQBarcodeView" })
        EXPECT_NE(std::ranges::find(names, name), names.end()) << name;
}

}
