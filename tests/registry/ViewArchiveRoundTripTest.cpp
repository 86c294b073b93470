#include "registry/RegistrySupport.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/ui/UiTestSupport.h"

#include <fmt/format.h>

#include <map>
#include <sstream>
#include <vector>

// Every registered view class, made with a frame, archived, decoded and archived again: the two archives are the
// same bytes and the decoded view draws the pixels of the original, in a window, shown and resized.
namespace {

using registrytest::differingPixels;

constexpr gfx::Rect ViewArchiveRoundTripContent { 100, 100, 300, 220 };
constexpr gfx::Rect ViewArchiveRoundTripFrame { 20, 20, 240, 160 };

// The first line where two archives (XML text) part, with a little around it, for the failure message.
std::string viewArchiveRoundTripDifference(const fnd::Data& a, const fnd::Data& b)
{
    std::istringstream left { std::string(a.view()) }, right { std::string(b.view()) };
    std::string l, r;
    for (int line = 1;; ++line) {
        bool moreLeft = bool(std::getline(left, l)), moreRight = bool(std::getline(right, r));
        if (!moreLeft && !moreRight)
            return "no difference";
        if (l != r || moreLeft != moreRight)
            return fmt::format("line {}:\n  first:  {}\n  second: {}", line, l, r);
    }
}

class ViewArchiveRoundTrip : public uitest::UiTest, public ::testing::WithParamInterface<std::string> {
protected:
    std::shared_ptr<gfx::BitmapImageRep> shownInAWindow(const std::shared_ptr<ui::View>& view)
    {
        auto window = ui::Window::create(ViewArchiveRoundTripContent);
        window->contentView()->addSubview(view);
        view->setAutoresizingMask(ui::AutoresizingMask::WidthSizable | ui::AutoresizingMask::HeightSizable);
        window->makeKeyAndOrderFront();
        backend->dispatchEvents();
        window->setContentSize({ 360, 250 });
        backend->dispatchEvents();
        auto image = backend->imageOfWindow(*window);
        view->removeFromSuperview();
        window->close();
        backend->dispatchEvents();
        return image;
    }
};

TEST_P(ViewArchiveRoundTrip, ArchivedAndDecodedItArchivesAndDrawsTheSame)
{
    const std::string& className = GetParam();
    auto original = registrytest::viewMadeInCode(className, ViewArchiveRoundTripFrame);
    ASSERT_NE(original, nullptr) << className << " cannot be made";

    auto first = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(original));
    ASSERT_TRUE(first) << className << " cannot be archived: " << first.error().localizedDescription().utf8();
    auto decoded = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*first);
    ASSERT_TRUE(decoded) << className << " cannot be decoded: " << decoded.error().localizedDescription().utf8();
    auto view = decoded->objectAs<ui::View>();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->className().utf8(), className);
    EXPECT_EQ(view->frame(), original->frame()) << className;

    // What decoding sets of its own, the original takes before both are archived and drawn again.
    registrytest::takeValuesSetByDecoding(*original, *view);
    first = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(original));
    ASSERT_TRUE(first);
    auto second = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(view));
    ASSERT_TRUE(second) << className << " decoded cannot be archived: " << second.error().localizedDescription().utf8();
    EXPECT_TRUE(*first == *second) << className << " archives otherwise once decoded, "
                                   << viewArchiveRoundTripDifference(*first, *second);

    auto before = shownInAWindow(original);
    auto after = shownInAWindow(view);
    uitest::keepSnapshot(before, (className + "-archived").c_str());
    uitest::keepSnapshot(after, (className + "-decoded").c_str());
    EXPECT_EQ(differingPixels(*before, *after), 0) << className << " decoded draws otherwise than the original";
}

INSTANTIATE_TEST_SUITE_P(EveryViewClass, ViewArchiveRoundTrip, ::testing::ValuesIn(registrytest::viewClassNames()),
    registrytest::testNameOf);

}
