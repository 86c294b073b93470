#include "frameworks/FoundationExtensions/QFProgressWindowController.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Records the progress notifications posted on a private centre.
struct ProgressRecorder {
    struct Posted {
        fnd::String name;
        std::shared_ptr<ZORProgressDescriptor> descriptor;
        fnd::Dictionary userInfo;
    };

    ProgressRecorder()
    {
        for (const auto& name : { QFWillBeginProcessingWithProgressDescriptor, QFUpdateProcessingWithProgressDescriptor,
                 QFDidEndProcessingWithProgressDescriptor })
            center.addObserverForName(name, {}, [this](const fnd::Notification& n) {
                posted.push_back({ n.name(), n.object().objectAs<ZORProgressDescriptor>(), n.userInfo() });
            });
    }

    fnd::NotificationCenter center;
    std::vector<Posted> posted;
};

TEST(ProgressDescriptor, RunIsAnnouncedBeginUpdateEndWithTheDescriptorAsObject)
{
    ProgressRecorder recorder;
    namespace QF = QFProgressWindowController;
    auto descriptor = QF::postWillBeginProcessingWithTitle(recorder.center, "Export", "3 files", 0, 3, 1, true);
    QF::postUpdateProgressDescriptor(
        recorder.center, descriptor, fnd::String("Title"), fnd::String("Info"), 2.5, fnd::String("file 2"));
    QF::postDidEndProcessingWithProgressDescriptor(recorder.center, descriptor);

    ASSERT_EQ(recorder.posted.size(), 3u);
    EXPECT_EQ(recorder.posted[0].name, QFWillBeginProcessingWithProgressDescriptor);
    EXPECT_EQ(recorder.posted[1].name, QFUpdateProcessingWithProgressDescriptor);
    EXPECT_EQ(recorder.posted[2].name, QFDidEndProcessingWithProgressDescriptor);
    for (const auto& p : recorder.posted)
        EXPECT_EQ(p.descriptor, descriptor);
    EXPECT_TRUE(recorder.posted[0].userInfo.isEmpty());

    const auto& change = recorder.posted[1].userInfo;
    EXPECT_EQ(change.get("title"), fnd::Value("Title"));
    EXPECT_EQ(change.get("infoText"), fnd::Value("Info"));
    EXPECT_EQ(change.get("progressDescription"), fnd::Value("file 2"));
    ASSERT_TRUE(change.get("currentValue").number());
    EXPECT_EQ(change.get("currentValue").number()->kind(), fnd::Number::Kind::Float);
    EXPECT_EQ(change.get("currentValue").doubleValue(), 2.5);
    // Posting an update leaves applying it to the observer.
    EXPECT_EQ(descriptor->title(), "Export");
    EXPECT_EQ(descriptor->currentValue(), 1);
}

TEST(ProgressDescriptor, IndeterminateUpdatesNeverCarryAValue)
{
    ProgressRecorder recorder;
    namespace QF = QFProgressWindowController;
    auto descriptor = QF::postWillBeginProcessingWithTitle(recorder.center, "Scan", "", false);
    EXPECT_TRUE(descriptor->isIndeterminate());
    QF::postUpdateProgressDescriptor(recorder.center, descriptor, std::nullopt, std::nullopt, 7, std::nullopt);
    QF::postUpdateProgressDescriptor(recorder.center, descriptor, 7, fnd::String("half"));
    QF::postUpdateProgressDescriptor(recorder.center, descriptor, std::optional<fnd::String>());
    QF::postUpdateProgressDescriptorWithProgressDescription(recorder.center, descriptor, fnd::String("done"));

    ASSERT_EQ(recorder.posted.size(), 5u);
    EXPECT_TRUE(recorder.posted[1].userInfo.isEmpty());
    EXPECT_EQ(recorder.posted[2].userInfo, fnd::Dictionary({ { "progressDescription", "half" } }));
    EXPECT_TRUE(recorder.posted[3].userInfo.isEmpty());
    EXPECT_EQ(recorder.posted[4].userInfo, fnd::Dictionary({ { "progressDescription", "done" } }));
}

TEST(ProgressDescriptor, DeterminateStartsAtTheMinimumAndCancelsThroughKeyValueCoding)
{
    auto descriptor = ZORProgressDescriptor::initWithTitle("Copy", "info", 10, 20, true);
    EXPECT_FALSE(descriptor->isIndeterminate());
    EXPECT_EQ(descriptor->currentValue(), 10);
    EXPECT_FALSE(descriptor->progressDescription());

    ProgressRecorder recorder;
    auto started
        = QFProgressWindowController::postWillBeginProcessingWithTitle(recorder.center, "t", "i", 0, 9, 4, true);
    EXPECT_EQ(started->currentValue(), 4);

    descriptor->setValueForKey(true, "isCancelled");
    EXPECT_TRUE(descriptor->isCancelled());
    EXPECT_EQ(descriptor->valueForKey("isCancelled"), fnd::Value(true));
}

}
