#include "RuntimeModel.h"

#include "platform/foundation/bindings/Binding.h"
#include "platform/foundation/archiving/PropertyList.h"
#include "platform/foundation/TestSupport.h"
#include "platform/foundation/bindings/UserDefaultsController.h"

#include <gtest/gtest.h>

using namespace fnd;
using namespace rtmodel;
using testsupport::TemporaryFolder;

TEST(UserDefaultsController, ValuesReadWriteAtOnceAndFollowEveryChange)
{
    TemporaryFolder folder;
    auto defaults = std::make_shared<UserDefaults>("org.example.Controllers", folder.path());
    defaults->registerDefaults({ { "Units", 2 } });
    auto controller
        = std::make_shared<UserDefaultsController>(defaults, Dictionary { { "Zoom", 1.5 }, { "Units", 9 } });

    auto values = controller->values().object();
    ASSERT_TRUE(values);
    EXPECT_EQ(controller->valueForKeyPath("values.Units"), Value(2)) << "the defaults' value wins";
    EXPECT_EQ(controller->valueForKeyPath("values.Zoom"), Value(1.5)) << "else the initial value";
    EXPECT_TRUE(controller->valueForKeyPath("values.Missing").isNil());

    // A view bound to a value follows changes made by anyone, and writes to the defaults file at once.
    auto view = std::make_shared<TestView>();
    view->bind("title", *controller, "values.Units");
    auto recorder = std::make_shared<Recorder>();
    controller->addObserver(*recorder, "values.Theme", KeyValueObservingOptions::Old | KeyValueObservingOptions::New);
    EXPECT_EQ(view->title, Value(2));
    defaults->setInteger(4, "Units");
    EXPECT_EQ(view->title, Value(4));
    ASSERT_TRUE(writeBackBindingValue(*view, "title", 3));
    EXPECT_EQ(defaults->integerForKey("Units"), 3);
    EXPECT_EQ(view->title, Value(3));
    auto stored = PropertyList::read(Data::fromString(testsupport::readFile(defaults->filePath().utf8())));
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->dictionary()->get("Units"), Value(3));

    EXPECT_TRUE(recorder->seen.empty()) << "another key changed";
    defaults->setObject("Dark", "Theme");
    ASSERT_EQ(recorder->seen.size(), 1u) << "observed without ever being read";
    EXPECT_TRUE(recorder->seen[0].change.oldValue.isNil());
    EXPECT_EQ(recorder->seen[0].change.newValue, Value("Dark"));
    values->setValueForKey(Value(), "Theme");
    EXPECT_FALSE(defaults->objectForKey("Theme"));
    ASSERT_EQ(recorder->seen.size(), 2u);
    EXPECT_EQ(recorder->seen[1].change.oldValue, Value("Dark"));
    controller->removeObserver(*recorder, "values.Theme");

    // Removing a default shows the initial value again.
    defaults->removeObjectForKey("Units");
    EXPECT_EQ(view->title, Value(2));
    controller->setInitialValues({});
    EXPECT_EQ(controller->valueForKeyPath("values.Zoom"), Value());
    EXPECT_TRUE(controller->appliesImmediately());
}
