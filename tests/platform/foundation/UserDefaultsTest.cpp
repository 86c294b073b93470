#include "platform/foundation/files/UserDefaults.h"

#include "platform/foundation/TestSupport.h"
#include "platform/foundation/archiving/PropertyList.h"
#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/files/FileManager.h"
#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/foundation/runtime/Object.h"
#include "platform/foundation/runtime/RunLoop.h"

#include "support/ReadOnlyFolder.h"
#include "support/Waiting.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

using namespace fnd;
using testsupport::CapturedLog;
using testsupport::ScopedEnvironment;
using testsupport::TemporaryFolder;

namespace {

// Each test keeps its defaults in its own configuration folder.
struct DefaultsFolder {
    TemporaryFolder folder;
    ScopedEnvironment config { "XDG_CONFIG_HOME", folder.path() };
    std::string file(const std::string& suite) const { return folder / (suite + "/" + suite + ".plist"); }
};

const char* const Suite = "org.example.Barcodes";

}

TEST(UserDefaults, StoredValuesSitAboveRegisteredOnesAndRemovalRevealsThem)
{
    DefaultsFolder config;
    UserDefaults defaults(Suite);
    defaults.registerDefaults({ { "ZORICPageUnitMeasurementType", 2 }, { "ShowCaption", true },
        { "Symbology", "EAN13" }, { "ModuleWidth", 0.33 } });

    EXPECT_EQ(defaults.integerForKey("ZORICPageUnitMeasurementType"), 2);
    defaults.setInteger(4, "ZORICPageUnitMeasurementType");
    EXPECT_EQ(defaults.integerForKey("ZORICPageUnitMeasurementType"), 4);
    defaults.removeObjectForKey("ZORICPageUnitMeasurementType");
    EXPECT_EQ(defaults.integerForKey("ZORICPageUnitMeasurementType"), 2) << "removal falls back to the registration";

    // A later registration changes what a missing key gives, never what is stored.
    defaults.setObject("QR", "Symbology");
    defaults.registerDefaults({ { "Symbology", "Code128" }, { "ShowCaption", false } });
    EXPECT_EQ(defaults.stringForKey("Symbology")->utf8(), "QR");
    EXPECT_FALSE(defaults.boolForKey("ShowCaption"));

    EXPECT_TRUE(defaults.objectForKey("Unknown").isNil());
    EXPECT_FALSE(defaults.stringForKey("Unknown"));
    EXPECT_EQ(defaults.integerForKey("Unknown"), 0);

    auto merged = defaults.dictionaryRepresentation();
    EXPECT_EQ(merged.get("Symbology").stringValue().utf8(), "QR");
    EXPECT_EQ(merged.get("ModuleWidth"), Value(0.33));
    EXPECT_EQ(defaults.persistentDomain().count(), 1u);
}

TEST(UserDefaults, TypedGettersConvertLikeThePlatform)
{
    DefaultsFolder config;
    UserDefaults defaults(Suite);
    defaults.registerDefaults(
        { { "Number", 12.75 }, { "Text", "42.5" }, { "Yes", "YES" }, { "List", Array { 1, "two" } },
            { "Table", Dictionary { { "k", 1 } } }, { "Blob", Data::fromString("\x01\x02") } });
    struct Case {
        const char* key;
        bool asBool;
        std::int64_t asInteger;
        double asDouble;
        std::optional<std::string> asString;
    };
    const Case cases[] = {
        { "Number", true, 12, 12.75, "12.75" },
        { "Text", true, 42, 42.5, "42.5" },
        { "Yes", true, 0, 0, "YES" },
        { "List", false, 0, 0, std::nullopt },
        { "Blob", false, 0, 0, std::nullopt },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(defaults.boolForKey(c.key), c.asBool) << c.key;
        EXPECT_EQ(defaults.integerForKey(c.key), c.asInteger) << c.key;
        EXPECT_DOUBLE_EQ(defaults.doubleForKey(c.key), c.asDouble) << c.key;
        auto s = defaults.stringForKey(c.key);
        EXPECT_EQ(s ? std::optional<std::string>(s->utf8()) : std::nullopt, c.asString) << c.key;
    }
    EXPECT_EQ(defaults.floatForKey("Number"), 12.75f);
    EXPECT_EQ(defaults.arrayForKey("List")->size(), 2u);
    EXPECT_FALSE(defaults.arrayForKey("Table"));
    EXPECT_EQ(defaults.dictionaryForKey("Table")->get("k"), Value(1));
    EXPECT_EQ(defaults.dataForKey("Blob")->length(), 2u);
}

TEST(UserDefaults, ValuesThatAreNotPropertyListsAreRefused)
{
    DefaultsFolder config;
    UserDefaults defaults(Suite);
    EXPECT_THROW(defaults.setObject(gfx::Point { 1, 2 }, "Point"), Exception);
    EXPECT_THROW(defaults.setObject(Array { Null {} }, "Nested"), Exception);
    EXPECT_THROW(defaults.setObject(std::make_shared<Object>(), "Object"), Exception);
    EXPECT_THROW(defaults.registerDefaults({ { "Range", Range { 1, 2 } } }), Exception);
    EXPECT_THROW(UserDefaults("a/b"), Exception);
    EXPECT_TRUE(defaults.persistentDomain().isEmpty());
}

TEST(UserDefaults, ChangesAreWrittenAtOnceAndSurviveAReload)
{
    DefaultsFolder config;
    auto date = Date::fromUnixTime(1'700'000'000);
    {
        UserDefaults defaults(Suite);
        defaults.setObject("Code 39", "Symbology");
        defaults.setFloat(0.5f, "ZORCrashReporterLastCrashReportDate");
        defaults.setBool(true, "ShowCaption");
        defaults.setObject(Array { 0.33, 0.5 }, "ModuleWidths");
        defaults.setObject(Dictionary { { "alert.delete", false } }, "TBQAppKitSuppressedAlertsIdentifierDictionary");
        defaults.setObject(Data::fromString("colour"), "BarColor");
        defaults.setObject(date, "LastExport");
        defaults.setObject("gone", "Temporary");
        defaults.removeObjectForKey("Temporary");
        // No synchronize: every change is already on disk.
    }
    ASSERT_TRUE(FileManager::defaultManager().fileExists(String(config.file(Suite))));
    auto onDisk = PropertyList::read(Data::fromString(testsupport::readFile(config.file(Suite))));
    ASSERT_TRUE(onDisk) << "the file must be a property list another reader understands";
    EXPECT_EQ(onDisk->dictionary()->get("Symbology").stringValue().utf8(), "Code 39");

    UserDefaults reloaded(Suite);
    EXPECT_EQ(reloaded.stringForKey("Symbology")->utf8(), "Code 39");
    EXPECT_FLOAT_EQ(reloaded.floatForKey("ZORCrashReporterLastCrashReportDate"), 0.5f);
    EXPECT_TRUE(reloaded.boolForKey("ShowCaption"));
    EXPECT_EQ(*reloaded.arrayForKey("ModuleWidths"), (Array { 0.33, 0.5 }));
    EXPECT_EQ(
        reloaded.dictionaryForKey("TBQAppKitSuppressedAlertsIdentifierDictionary")->get("alert.delete"), Value(false));
    EXPECT_EQ(reloaded.dataForKey("BarColor")->view(), "colour");
    EXPECT_EQ(reloaded.objectForKey("LastExport"), Value(date));
    EXPECT_TRUE(reloaded.objectForKey("Temporary").isNil());
}

TEST(UserDefaults, SynchronizePicksUpWhatAnotherInstanceWrote)
{
    DefaultsFolder config;
    UserDefaults first(Suite);
    UserDefaults second(Suite);
    first.setInteger(1, "A");
    EXPECT_EQ(second.integerForKey("A"), 1) << "the first read loads the file";
    first.setInteger(2, "A");
    ASSERT_TRUE(second.synchronize());
    EXPECT_EQ(second.integerForKey("A"), 2);
    // A write merges into what is on disk instead of overwriting the other instance's keys.
    second.setInteger(3, "B");
    UserDefaults third(Suite);
    EXPECT_EQ(third.integerForKey("A"), 2);
    EXPECT_EQ(third.integerForKey("B"), 3);
}

TEST(UserDefaults, ADamagedFileIsMovedAsideWithAWarningAndRegisteredValuesServe)
{
    DefaultsFolder config;
    config.folder.write(std::string(Suite) + "/" + Suite + ".plist", "<?xml version=\"1.0\"?><plist><dict><key>");
    CapturedLog log;
    int told = 0;
    auto token = NotificationCenter::defaultCenter().addObserverForName(
        UserDefaults::DidSetAsideDamagedFileNotification, {}, [&](const Notification&) { ++told; });
    UserDefaults defaults(Suite);
    defaults.registerDefaults({ { "Symbology", "EAN13" } });
    EXPECT_EQ(defaults.stringForKey("Symbology")->utf8(), "EAN13");
    EXPECT_TRUE(log.contains(LogLevel::Warning, "moved to"));
    EXPECT_EQ(told, 0) << "told from inside the read that found the damage";
    // Told on the main run loop, within this test: work left there would run in whichever test turns the loop next.
    EXPECT_TRUE(testsupport::runLoopUntil([&] { return told == 1; }));
    NotificationCenter::defaultCenter().removeObserver(token);

    auto names = *FileManager::defaultManager().contentsOfDirectory(String(config.folder / Suite));
    ASSERT_EQ(names.size(), 1u);
    EXPECT_TRUE(names[0].utf8().starts_with(std::string(Suite) + ".plist.damaged-")) << names[0];
    EXPECT_EQ(testsupport::readFile(config.folder / (std::string(Suite) + "/" + names[0].utf8())),
        "<?xml version=\"1.0\"?><plist><dict><key>")
        << "the damaged file keeps its bytes";

    defaults.setObject("QR", "Symbology");
    EXPECT_EQ(UserDefaults(Suite).stringForKey("Symbology")->utf8(), "QR") << "a fresh file replaces the damaged one";
    auto after = *FileManager::defaultManager().contentsOfDirectory(String(config.folder / Suite));
    std::erase_if(after, [](const String& name) { return name.hasSuffix(".lock"); });
    EXPECT_EQ(after.size(), 2u);

    // The person hears of it once: the report names where the file went.
    auto reports = defaults.takeFilesSetAside();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].path.utf8(), config.file(Suite));
    EXPECT_EQ(reports[0].movedTo.utf8(), config.folder / (std::string(Suite) + "/" + names[0].utf8()));
    EXPECT_FALSE(reports[0].reason.isEmpty());
    EXPECT_TRUE(defaults.takeFilesSetAside().empty()) << "each file is reported once";
}

// Settings that cannot be written (a read-only folder, a disk that is full) are not lost in silence: the changes
// serve from memory, the first failure is kept for the person to be told and logged once, every later change tries
// again, and the first write that can be takes them all. A failure after that is told again.
TEST(UserDefaults, AWriteThatFailsIsToldOnceAndTheNextChangeThatCanWritesEverything)
{
    DefaultsFolder config;
    auto clock = std::make_shared<VirtualClock>();
    ScopedClock scopedClock(clock);
    auto defaults = std::make_shared<UserDefaults>(Suite);
    auto onDisk = [&](const char* key) { return UserDefaults(Suite).objectForKey(key); };
    int posted = 0;
    auto token = NotificationCenter::defaultCenter().addObserverForName(
        UserDefaults::DidFailToWriteNotification, {}, [&](const Notification&) { ++posted; });
    auto deliver = [&] { RunLoop::main().runUntilDate(clock->now().addingTimeInterval(0.01)); };
    defaults->setObject("first", "Content");
    const std::string folder = config.folder / Suite;

    {
        CapturedLog log;
        testsupport::ReadOnlyFolder readOnly(folder);
        defaults->setObject("second", "Content");
        defaults->setObject("third", "Content");
        defaults->setObject("A", "Symbology");
        deliver();
        EXPECT_EQ(defaults->stringForKey("Content")->utf8(), "third") << "the change serves from memory";
        EXPECT_TRUE(defaults->hasUnwrittenChanges());
        EXPECT_TRUE(defaults->lastWriteFailed());
        EXPECT_EQ(onDisk("Content").stringValue().utf8(), "first");
        EXPECT_EQ(posted, 1) << "told once, not at every change";
        auto failures = defaults->takeWriteFailures();
        ASSERT_EQ(failures.size(), 1u);
        EXPECT_EQ(failures[0].path.utf8(), config.file(Suite));
        EXPECT_EQ(failures[0].error.code(), EACCES);
        EXPECT_TRUE(defaults->takeWriteFailures().empty());
        const auto current = defaults->currentWriteFailure();
        ASSERT_TRUE(current) << "still known once its report was taken (to tell at quit)";
        EXPECT_EQ(current->error.code(), EACCES);
        const auto lines = log.lines();
        EXPECT_EQ(std::ranges::count_if(lines, [](const auto& line) { return line.level == LogLevel::Error; }), 1);
        EXPECT_EQ(std::ranges::count_if(lines, [](const auto& line) { return line.level == LogLevel::Warning; }), 0)
            << "nothing more about the lock beside the file";
    }

    // Writable again: the next change writes every change that waited.
    defaults->setObject("fourth", "Other");
    EXPECT_FALSE(defaults->hasUnwrittenChanges());
    EXPECT_FALSE(defaults->lastWriteFailed());
    EXPECT_FALSE(defaults->currentWriteFailure());
    EXPECT_EQ(onDisk("Content").stringValue().utf8(), "third");
    EXPECT_EQ(onDisk("Symbology").stringValue().utf8(), "A");
    EXPECT_EQ(onDisk("Other").stringValue().utf8(), "fourth");

    // A disk that fills up half way through a write is a new failure, told again; the file keeps what it had.
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old {};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 64;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    defaults->setObject(String(std::string(1000, 'x')), "Content");
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    deliver();
    EXPECT_EQ(posted, 2);
    auto failures = defaults->takeWriteFailures();
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].error.code(), EFBIG);
    EXPECT_EQ(onDisk("Content").stringValue().utf8(), "third");
    EXPECT_TRUE(defaults->synchronize()) << "at quit, what waits is written";
    EXPECT_EQ(onDisk("Content").stringValue().utf8(), std::string(1000, 'x'));
    NotificationCenter::defaultCenter().removeObserver(token);
}

TEST(UserDefaults, ATopLevelThatIsNotADictionaryCountsAsDamaged)
{
    DefaultsFolder config;
    auto array = PropertyList::writeXML(Value(Array { 1, 2 }));
    ASSERT_TRUE(array);
    config.folder.write(std::string(Suite) + "/" + Suite + ".plist", std::string(array->view()));
    CapturedLog log;
    int told = 0;
    auto token = NotificationCenter::defaultCenter().addObserverForName(
        UserDefaults::DidSetAsideDamagedFileNotification, {}, [&](const Notification&) { ++told; });
    UserDefaults defaults(Suite);
    EXPECT_TRUE(defaults.persistentDomain().isEmpty());
    EXPECT_TRUE(log.contains(LogLevel::Warning, "not a dictionary"));
    EXPECT_TRUE(testsupport::runLoopUntil([&] { return told == 1; })) << "set aside like any damaged file";
    NotificationCenter::defaultCenter().removeObserver(token);
}

TEST(UserDefaults, EachChangePostsTheChangeNotificationWithTheDefaultsAsObject)
{
    DefaultsFolder config;
    auto defaults = std::make_shared<UserDefaults>(Suite);
    std::vector<std::pair<Value, std::int64_t>> seen;
    auto token = NotificationCenter::defaultCenter().addObserverForName(UserDefaults::DidChangeNotification, {},
        [&](const Notification& n) { seen.emplace_back(n.object(), defaults->integerForKey("Zoom")); });

    defaults->setInteger(200, "Zoom");
    defaults->removeObjectForKey("Zoom");
    defaults->removeObjectForKey("Zoom"); // nothing to remove: no notification
    defaults->registerDefaults({ { "Zoom", 100 } });
    NotificationCenter::defaultCenter().removeObserver(token);

    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].first, Value(std::static_pointer_cast<Object>(defaults)));
    EXPECT_EQ(seen[0].second, 200) << "observers see the new value";
    EXPECT_EQ(seen[1].second, 0);
}

// With a write delay the changes of a burst reach the file together, by a timer of the main run loop; nothing is
// lost: synchronize and a return to immediate writes flush what waits.
TEST(UserDefaults, DelayedWritesGatherABurstOfChangesAndLoseNone)
{
    DefaultsFolder config;
    auto clock = std::make_shared<VirtualClock>();
    ScopedClock scopedClock(clock);
    auto defaults = std::make_shared<UserDefaults>(Suite);
    auto onDisk = [&](const char* key) {
        auto fresh = std::make_shared<UserDefaults>(Suite);
        return fresh->objectForKey(key);
    };
    defaults->setWriteDelay(0.5);
    defaults->setObject("4", "Content");
    defaults->setObject("40", "Content");
    defaults->setObject("400", "Content");
    EXPECT_TRUE(defaults->hasUnwrittenChanges());
    EXPECT_EQ(defaults->stringForKey("Content")->utf8(), "400") << "readers see the change at once";
    EXPECT_TRUE(onDisk("Content").isNil()) << "the burst waits for its delay";

    RunLoop::main().runUntilDate(clock->now().addingTimeInterval(0.6));
    EXPECT_FALSE(defaults->hasUnwrittenChanges());
    EXPECT_EQ(onDisk("Content").stringValue().utf8(), "400");

    defaults->setObject("4000", "Content");
    EXPECT_TRUE(defaults->synchronize());
    EXPECT_EQ(onDisk("Content").stringValue().utf8(), "4000") << "synchronize writes what waits";

    defaults->setObject("40000", "Content");
    defaults->setWriteDelay(0);
    EXPECT_EQ(onDisk("Content").stringValue().utf8(), "40000") << "dropping the delay writes what waits";
    defaults->setObject("5", "Content");
    EXPECT_EQ(onDisk("Content").stringValue().utf8(), "5");
    // The timer of the burst before is harmless once it fires.
    RunLoop::main().runUntilDate(clock->now().addingTimeInterval(1));
    EXPECT_EQ(onDisk("Content").stringValue().utf8(), "5");
}

TEST(UserDefaults, AProgramWithoutABundleIdentifierKeepsItsDefaultsInMemory)
{
    DefaultsFolder config;
    ASSERT_TRUE(Bundle::mainBundle()->bundleIdentifier().isEmpty()) << "this test binary has no Info.plist";
    auto& defaults = UserDefaults::standardUserDefaults();
    EXPECT_EQ(defaults.suiteName().utf8(), program_invocation_short_name);
    EXPECT_TRUE(defaults.filePath().isEmpty());

    defaults.registerDefaults({ { "ShowCaption", true } });
    defaults.setObject("Code 39", "Symbology");
    defaults.setBool(false, "ShowCaption");
    EXPECT_TRUE(defaults.synchronize());
    EXPECT_EQ(defaults.stringForKey("Symbology")->utf8(), "Code 39") << "a synchronize keeps what is in memory";
    EXPECT_FALSE(defaults.boolForKey("ShowCaption"));
    defaults.removeObjectForKey("ShowCaption");
    EXPECT_TRUE(defaults.boolForKey("ShowCaption"));
    defaults.removeObjectForKey("Symbology");

    std::error_code error;
    EXPECT_TRUE(std::filesystem::is_empty(config.folder.path(), error)) << "nothing is written to the user's folder";
}

// Two copies of a program on one profile, each gathering its changes for a moment: each write lays only its own
// changed keys over what the file holds then, so neither loses what the other changed in the same second.
TEST(UserDefaults, TwoWritersSharingAFileKeepEachOthersChanges)
{
    DefaultsFolder config;
    auto clock = std::make_shared<VirtualClock>();
    ScopedClock scopedClock(clock);
    {
        UserDefaults seed(Suite);
        seed.setObject("400638133393", "Content");
        seed.setInteger(100, "Zoom");
        seed.setObject("EAN13", "Symbology");
        seed.setObject("old", "Gone");
    }
    auto first = std::make_shared<UserDefaults>(Suite);
    auto second = std::make_shared<UserDefaults>(Suite);
    first->setWriteDelay(1);
    second->setWriteDelay(1);
    ASSERT_EQ(first->integerForKey("Zoom"), 100);
    ASSERT_EQ(second->stringForKey("Content")->utf8(), "400638133393");

    first->setObject("Preis 5", "Content");
    first->removeObjectForKey("Gone");
    second->setInteger(200, "Zoom");
    ASSERT_TRUE(second->synchronize());
    EXPECT_EQ(first->integerForKey("Zoom"), 200) << "a read takes what the other copy wrote, waiting changes aside";
    EXPECT_EQ(first->stringForKey("Content")->utf8(), "Preis 5") << "its own waiting change stays above the file";
    ASSERT_TRUE(first->synchronize());

    UserDefaults onDisk(Suite);
    EXPECT_EQ(onDisk.stringForKey("Content")->utf8(), "Preis 5");
    EXPECT_EQ(onDisk.integerForKey("Zoom"), 200) << "the first copy's write kept the second copy's zoom";
    EXPECT_EQ(onDisk.stringForKey("Symbology")->utf8(), "EAN13");
    EXPECT_TRUE(onDisk.objectForKey("Gone").isNil()) << "a removal is a change like a value";

    // The other way round: a key the second copy never touched is not written back stale by it.
    first->setObject("QR", "Symbology");
    ASSERT_TRUE(first->synchronize());
    second->setInteger(300, "Zoom");
    ASSERT_TRUE(second->synchronize());
    UserDefaults again(Suite);
    EXPECT_EQ(again.stringForKey("Symbology")->utf8(), "QR");
    EXPECT_EQ(again.stringForKey("Content")->utf8(), "Preis 5");
    EXPECT_EQ(again.integerForKey("Zoom"), 300);
}

// Every writer holds the lock beside the file from its read to its rename: a write waits while another process
// holds it.
TEST(UserDefaults, AWriteWaitsForTheLockBesideTheFile)
{
    DefaultsFolder config;
    auto clock = std::make_shared<VirtualClock>();
    ScopedClock scopedClock(clock);
    auto defaults = std::make_shared<UserDefaults>(Suite);
    defaults->setWriteDelay(1);
    defaults->setObject("waits", "Content");
    std::filesystem::create_directories(config.folder / Suite);
    const std::string lockPath = config.file(Suite) + ".lock";
    int held = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    ASSERT_GE(held, 0);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);

    // The writer opens the lock file just before it asks for the lock: once this process holds the file open twice,
    // the writer waits for the lock, and nothing may be written while it does.
    const auto lockFile = std::filesystem::canonical(lockPath);
    auto lockFileOpenings = [&] {
        int openings = 0;
        for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
            std::error_code error;
            openings += std::filesystem::read_symlink(entry.path(), error) == lockFile;
        }
        return openings;
    };
    std::thread writer([&] { EXPECT_TRUE(defaults->synchronize()); });
    EXPECT_TRUE(testsupport::waitUntil([&] { return lockFileOpenings() == 2; }))
        << "the writer never asked for the lock";
    EXPECT_FALSE(std::filesystem::exists(config.file(Suite))) << "nothing is written while another holds the lock";
    ::close(held);
    writer.join();
    EXPECT_EQ(testsupport::readFile(config.file(Suite)).find("waits") != std::string::npos, true);
}

// A value that fails its key's check (a unit no program knows, a height of 1e30 points) reads as the registered
// value, and the warning is logged once per such value however often it is read.
TEST(UserDefaults, StoredValuesOutOfTheirRangeGiveTheRegisteredValueWithOneWarning)
{
    DefaultsFolder config;
    {
        UserDefaults seed(Suite);
        seed.setInteger(17, "Unit");
        seed.setDouble(1e30, "Height");
        seed.setObject("pt", "Label");
    }
    UserDefaults defaults(Suite);
    defaults.registerDefaults({ { "Unit", 2 }, { "Height", 74.4 } });
    defaults.registerValueCheck("Unit", [](const Value& v) {
        return v.isNumber() && v.doubleValue() >= 0 && v.doubleValue() <= 4 && v.doubleValue() == v.integerValue();
    });
    defaults.registerValueCheck("Height", [](const Value& v) { return v.isNumber() && v.doubleValue() <= 10000; });
    CapturedLog log;
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(defaults.integerForKey("Unit"), 2);
        EXPECT_DOUBLE_EQ(defaults.doubleForKey("Height"), 74.4);
        EXPECT_EQ(defaults.dictionaryRepresentation().get("Unit"), Value(2));
    }
    EXPECT_EQ(defaults.stringForKey("Label")->utf8(), "pt") << "a key without a check reads as stored";
    auto warnings = [&] {
        return std::ranges::count_if(log.lines(), [](const auto& l) { return l.level == LogLevel::Warning; });
    };
    EXPECT_EQ(warnings(), 2) << "one line for each value";
    EXPECT_TRUE(log.contains(LogLevel::Warning, "\u201cUnit\u201d (17)"));

    defaults.setInteger(3, "Unit");
    EXPECT_EQ(defaults.integerForKey("Unit"), 3) << "a value in range reads as it is";
    defaults.setInteger(-1, "Unit");
    EXPECT_EQ(defaults.integerForKey("Unit"), 2);
    EXPECT_EQ(warnings(), 3) << "a new wrong value is told again";
    EXPECT_EQ(defaults.persistentDomain().get("Height"), Value(1e30)) << "the stored value itself stays";
}
