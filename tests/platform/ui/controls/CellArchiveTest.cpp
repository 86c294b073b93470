#include "ControlsTestSupport.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/ui/controls/ImageCell.h"
#include "platform/ui/controls/LevelIndicatorCell.h"
#include "platform/ui/controls/ProgressIndicator.h"
#include "platform/ui/controls/SegmentedCell.h"
#include "platform/ui/controls/SliderCell.h"
#include "platform/ui/controls/StepperCell.h"
#include "platform/ui/text/TextFieldCell.h"

#include <functional>
#include <limits>

using namespace ui;
using namespace controlstest;

namespace {

template <typename T> std::shared_ptr<T> roundTrip(const std::shared_ptr<T>& cell)
{
    auto data = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(cell));
    if (!data)
        return nullptr;
    auto back = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*data);
    return back ? back->template objectAs<T>() : nullptr;
}

// The archive with the first `from` after the key's name replaced by `to`, as a damaged file would hold it.
fnd::Data withValueReplaced(
    const fnd::Data& archive, const std::string& key, const std::string& from, const std::string& to)
{
    auto text = std::string(archive.view());
    auto valueAt = text.find(from, text.find("<key>" + key + "</key>"));
    EXPECT_NE(valueAt, std::string::npos) << key;
    return fnd::Data::fromString(text.replace(valueAt, from.size(), to));
}

using CellArchiveTest = ControlsTest;

TEST_F(CellArchiveTest, EveryCellComesBackWithItsSettings)
{
    {
        auto cell = fnd::makeObject<TextFieldCell>();
        cell->setStringValue("Kept");
        cell->setPlaceholderString("Hint");
        cell->setTextColor(gfx::Color::colorWithCalibratedRed(0.5, 0, 0));
        cell->setBezeled(true);
        cell->setDrawsBackground(true);
        cell->setBezelStyle(TextFieldBezelStyle::Rounded);
        cell->setAlignment(txt::TextAlignment::Right);
        auto back = roundTrip(cell);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->stringValue(), u"Kept");
        EXPECT_EQ(back->placeholderString(), u"Hint");
        EXPECT_TRUE(back->textColor()->isEqual(*cell->textColor()));
        EXPECT_TRUE(back->isBezeled() && back->drawsBackground() && back->isEditable());
        EXPECT_EQ(back->bezelStyle(), TextFieldBezelStyle::Rounded);
        EXPECT_EQ(back->alignment(), txt::TextAlignment::Right);
    }
    {
        auto cell = fnd::makeObject<SliderCell>();
        cell->setMinValue(-5);
        cell->setMaxValue(5);
        cell->setNumberOfTickMarks(11);
        cell->setAllowsTickMarkValuesOnly(true);
        cell->setDoubleValue(2.2);
        auto back = roundTrip(cell);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->minValue(), -5);
        EXPECT_EQ(back->maxValue(), 5);
        EXPECT_EQ(back->numberOfTickMarks(), 11);
        EXPECT_TRUE(back->allowsTickMarkValuesOnly());
        EXPECT_EQ(back->doubleValue(), 2);
        EXPECT_TRUE(back->isContinuous());
    }
    {
        auto cell = fnd::makeObject<StepperCell>();
        cell->setMaxValue(20);
        cell->setIncrement(4);
        cell->setValueWraps(false);
        cell->setDoubleValue(12);
        auto back = roundTrip(cell);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->maxValue(), 20);
        EXPECT_EQ(back->increment(), 4);
        EXPECT_FALSE(back->valueWraps());
        EXPECT_EQ(back->doubleValue(), 12);
    }
    {
        auto cell = fnd::makeObject<SegmentedCell>();
        cell->setSegmentCount(3);
        cell->setLabel("B", 1);
        cell->setWidth(40, 2);
        cell->setTag(7, 2);
        cell->setEnabled(false, 0);
        cell->setTrackingMode(SegmentSwitchTracking::SelectAny);
        cell->setSelected(true, 1);
        cell->setSegmentStyle(SegmentStyle::Separated);
        auto back = roundTrip(cell);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->segmentCount(), 3);
        EXPECT_EQ(back->labelForSegment(1), u"B");
        EXPECT_EQ(back->widthForSegment(2), 40);
        EXPECT_EQ(back->tagForSegment(2), 7);
        EXPECT_FALSE(back->isEnabledForSegment(0));
        EXPECT_TRUE(back->isSelectedForSegment(1));
        EXPECT_EQ(back->trackingMode(), SegmentSwitchTracking::SelectAny);
        EXPECT_EQ(back->segmentStyle(), SegmentStyle::Separated);
        EXPECT_EQ(back->selectedSegment(), 1);
    }
    {
        auto cell = fnd::makeObject<LevelIndicatorCell>();
        cell->setLevelIndicatorStyle(LevelIndicatorStyle::Rating);
        cell->setMaxValue(5);
        cell->setWarningValue(2);
        cell->setCriticalValue(1);
        cell->setDoubleValue(4);
        auto back = roundTrip(cell);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->levelIndicatorStyle(), LevelIndicatorStyle::Rating);
        EXPECT_EQ(back->maxValue(), 5);
        EXPECT_EQ(back->warningValue(), 2);
        EXPECT_EQ(back->criticalValue(), 1);
        EXPECT_EQ(back->doubleValue(), 4);
    }
    {
        auto cell = fnd::makeObject<ImageCell>();
        cell->setImageScaling(ImageScaling::AxesIndependently);
        cell->setImageAlignment(ImageAlignment::TopRight);
        cell->setImageFrameStyle(ImageFrameStyle::GrayBezel);
        auto back = roundTrip(cell);
        ASSERT_TRUE(back);
        EXPECT_EQ(back->imageScaling(), ImageScaling::AxesIndependently);
        EXPECT_EQ(back->imageAlignment(), ImageAlignment::TopRight);
        EXPECT_EQ(back->imageFrameStyle(), ImageFrameStyle::GrayBezel);
    }
}

TEST_F(CellArchiveTest, DamagedArchivesKeepValuesInRange)
{
    // A slider whose stored value lies outside its stored range, and a cell with an impossible state, come back
    // sound: in range, and on.
    auto slider = fnd::makeObject<SliderCell>();
    slider->setMaxValue(10);
    auto data = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(slider));
    ASSERT_TRUE(data);
    auto text = std::string(reinterpret_cast<const char*>(data->bytes()), data->length());
    auto patch = [&](const std::string& key, const std::string& from, const std::string& to) {
        auto at = text.find("<key>" + key + "</key>");
        ASSERT_NE(at, std::string::npos) << key;
        auto valueAt = text.find(from, at);
        ASSERT_NE(valueAt, std::string::npos) << key;
        text.replace(valueAt, from.size(), to);
    };
    patch("Value", "<real>0</real>", "<real>99</real>");
    patch("State", "<integer>0</integer>", "<integer>7</integer>");
    auto back = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(fnd::Data::fromString(text));
    ASSERT_TRUE(back) << back.error().localizedDescription();
    auto restored = back->template objectAs<SliderCell>();
    ASSERT_TRUE(restored);
    EXPECT_EQ(restored->doubleValue(), 10);
    EXPECT_EQ(restored->state(), ControlStateValue::On);
}

TEST_F(CellArchiveTest, AStepperTakesFiniteEndsAndAnswersAnyValueAsAnInteger)
{
    auto stepper = fnd::makeObject<StepperCell>();
    const auto archived = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(stepper));
    ASSERT_TRUE(archived);
    const auto patched = [&](const std::string& key, const std::string& from, const std::string& to) {
        return withValueReplaced(*archived, key, from, to);
    };
    // A range with a NaN or infinite end would let any value through: refused.
    for (const auto& [key, from] : { std::pair { "MaxValue", "<real>59</real>" }, { "MinValue", "<real>0</real>" },
             { "Increment", "<real>1</real>" } })
        for (const char* to : { "<real>nan</real>", "<real>+infinity</real>" })
            EXPECT_FALSE(fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(patched(key, from, to)))
                << key << " " << to;
    // A NaN value is taken for the minimum, as when set.
    auto back
        = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(patched("Value", "<real>0</real>", "<real>nan</real>"));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->objectAs<StepperCell>()->doubleValue(), 0);

    // Values beyond 64 bits answer the nearest integer there is.
    stepper->setMinValue(-1e300);
    stepper->setMaxValue(1e300);
    stepper->setDoubleValue(1e300);
    EXPECT_EQ(stepper->integerValue(), INT64_MAX);
    stepper->setDoubleValue(-1e300);
    EXPECT_EQ(stepper->integerValue(), INT64_MIN);
    stepper->setDoubleValue(-41.9);
    EXPECT_EQ(stepper->integerValue(), -41);
}

// A level indicator's ends and marks are finite numbers, as a slider's and a stepper's are: an archive holding NaN
// or an infinity there is refused (std::clamp let any value through such a range), and a value that is not a number
// is taken for the minimum.
TEST_F(CellArchiveTest, ALevelIndicatorTakesFiniteEndsAndMarks)
{
    auto cell = fnd::makeObject<LevelIndicatorCell>();
    cell->setMaxValue(10);
    cell->setWarningValue(6);
    cell->setCriticalValue(8);
    cell->setDoubleValue(3);
    const auto archived = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(cell));
    ASSERT_TRUE(archived);
    const auto patched = [&](const std::string& key, const std::string& from, const std::string& to) {
        return withValueReplaced(*archived, key, from, to);
    };
    for (const auto& [key, from] : { std::pair { "MinValue", "<real>0</real>" }, { "MaxValue", "<real>10</real>" },
             { "WarningValue", "<real>6</real>" }, { "CriticalValue", "<real>8</real>" } })
        for (const char* to : { "<real>nan</real>", "<real>-infinity</real>" })
            EXPECT_FALSE(fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(patched(key, from, to)))
                << key << " " << to;
    auto back
        = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(patched("Value", "<real>3</real>", "<real>nan</real>"));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->objectAs<LevelIndicatorCell>()->doubleValue(), 0);
}

// Setting an end that is not a finite number changes nothing, for every control that keeps a value in a range: a NaN
// end let any value through the range, or made every fraction NaN.
TEST_F(CellArchiveTest, EndsThatAreNoFiniteNumbersAreIgnoredBySetters)
{
    constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double Infinity = std::numeric_limits<double>::infinity();
    auto level = fnd::makeObject<LevelIndicatorCell>();
    auto stepper = fnd::makeObject<StepperCell>();
    auto progress = ProgressIndicator::create({ 0, 0, 100, 20 });
    for (double end : { NaN, Infinity, -Infinity }) {
        level->setMinValue(end);
        level->setMaxValue(end);
        level->setWarningValue(end);
        level->setCriticalValue(end);
        EXPECT_EQ(level->minValue(), 0) << end;
        EXPECT_EQ(level->maxValue(), 2) << end;
        EXPECT_EQ(level->warningValue(), 0) << end;
        EXPECT_EQ(level->criticalValue(), 0) << end;
        level->setDoubleValue(5);
        EXPECT_EQ(level->doubleValue(), 2) << end;

        stepper->setMinValue(end);
        stepper->setMaxValue(end);
        EXPECT_EQ(stepper->minValue(), 0) << end;
        EXPECT_EQ(stepper->maxValue(), 59) << end;
        stepper->setDoubleValue(100);
        EXPECT_EQ(stepper->doubleValue(), 59) << end;

        progress->setMinValue(end);
        progress->setMaxValue(end);
        EXPECT_EQ(progress->minValue(), 0) << end;
        EXPECT_EQ(progress->maxValue(), 100) << end;
        progress->setDoubleValue(150);
        EXPECT_EQ(progress->doubleValue(), 100) << end;
    }
}

TEST_F(CellArchiveTest, ASliderTakesFiniteEndsAndNoMoreTickMarksThanItCanShow)
{
    auto slider = fnd::makeObject<SliderCell>();
    slider->setNumberOfTickMarks(3);
    const auto archived = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(slider));
    ASSERT_TRUE(archived);
    // Drawing walks every tick mark: 2^62 of them never ends. Ends that are not finite let any value through.
    struct Damage {
        const char* key;
        const char* from;
        const char* to;
    };
    for (const auto& d :
        { Damage { "NumberOfTickMarks", "<integer>3</integer>", "<integer>4611686018427387904</integer>" },
            Damage { "NumberOfTickMarks", "<integer>3</integer>", "<integer>10001</integer>" },
            Damage { "NumberOfTickMarks", "<integer>3</integer>", "<integer>-1</integer>" },
            Damage { "MinValue", "<real>0</real>", "<real>nan</real>" },
            Damage { "MaxValue", "<real>1</real>", "<real>-infinity</real>" },
            Damage { "AltIncrementValue", "<real>0</real>", "<real>+infinity</real>" } })
        EXPECT_FALSE(
            fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(withValueReplaced(*archived, d.key, d.from, d.to)))
            << d.key << " " << d.to;
    auto most = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(
        withValueReplaced(*archived, "NumberOfTickMarks", "<integer>3</integer>", "<integer>10000</integer>"));
    ASSERT_TRUE(most);
    EXPECT_EQ(most->objectAs<SliderCell>()->numberOfTickMarks(), 10000);

    // Set in code or from an interface file, the count is held to the same bound and a bad end is ignored.
    slider->setNumberOfTickMarks(4611686018427387904);
    EXPECT_EQ(slider->numberOfTickMarks(), 10000);
    slider->setMinValue(std::nan(""));
    slider->setMaxValue(INFINITY);
    slider->setAltIncrementValue(-INFINITY);
    EXPECT_EQ(slider->minValue(), 0);
    EXPECT_EQ(slider->maxValue(), 1);
    EXPECT_EQ(slider->altIncrementValue(), 0);
}

}
