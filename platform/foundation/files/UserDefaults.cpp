#include "platform/foundation/files/UserDefaults.h"

#include "platform/foundation/archiving/PropertyList.h"
#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/files/FileManager.h"
#include "platform/foundation/files/Paths.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/foundation/runtime/Log.h"
#include "platform/foundation/runtime/NotificationCenter.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/foundation/runtime/Timer.h"

#include <fmt/format.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace fnd {

FND_REGISTER_CLASS(UserDefaults, Object)

namespace {

bool isPropertyListValue(const Value& value)
{
    switch (value.type()) {
    case Value::Type::Number:
    case Value::Type::String:
    case Value::Type::Data:
    case Value::Type::Date:
        return true;
    case Value::Type::Array:
        for (const auto& element : *value.array()) {
            if (!isPropertyListValue(element))
                return false;
        }
        return true;
    case Value::Type::Dictionary:
        for (const auto& [key, element] : *value.dictionary()) {
            if (!isPropertyListValue(element))
                return false;
        }
        return true;
    default:
        return false;
    }
}

// An exclusive lock on the file beside the defaults that every writer of the suite takes around its
// read-merge-write, held while it lives. A holder that does not let go within the wait (a stopped process) is
// passed by: this process's changes are written rather than lost.
class UserDefaultsFileLock {
public:
    explicit UserDefaultsFileLock(const String& path)
    {
        constexpr auto Wait = std::chrono::seconds(2);
        constexpr auto Step = std::chrono::milliseconds(5);
        m_fd = ::open(path.utf8().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (m_fd < 0) {
            // Where no file can be made the write fails as well, and that failure is told.
            if (errno != EACCES && errno != EPERM && errno != EROFS && errno != ENOSPC && errno != EDQUOT)
                logf(LogLevel::Warning, "The defaults lock \u201c{}\u201d could not be opened: {}", path.utf8(),
                    std::strerror(errno));
            return;
        }
        const auto end = std::chrono::steady_clock::now() + Wait;
        while (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR)
                break;
            if (std::chrono::steady_clock::now() >= end) {
                logf(LogLevel::Warning, "Another process holds the defaults lock \u201c{}\u201d; writing without it.",
                    path.utf8());
                break;
            }
            std::this_thread::sleep_for(Step);
        }
    }
    ~UserDefaultsFileLock()
    {
        if (m_fd >= 0)
            ::close(m_fd); // closing lets go of the lock
    }
    UserDefaultsFileLock(const UserDefaultsFileLock&) = delete;
    UserDefaultsFileLock& operator=(const UserDefaultsFileLock&) = delete;

private:
    int m_fd { -1 };
};

// A stored value as a log line may show it: numbers and short strings in full, anything else by its kind.
std::string describeStoredValue(const Value& value)
{
    constexpr Index MaximumShown = 40;
    if (value.isNumber())
        return value.number()->stringValue().utf8();
    if (const auto* text = value.string(); text && text->length() <= MaximumShown)
        return "\u201c" + text->utf8() + "\u201d";
    switch (value.type()) {
    case Value::Type::String:
        return "a long text";
    case Value::Type::Data:
        return fmt::format("{} bytes of data", value.data()->length());
    case Value::Type::Array:
        return fmt::format("a list of {}", value.array()->size());
    case Value::Type::Dictionary:
        return "a dictionary";
    case Value::Type::Date:
        return "a date";
    default:
        return "a value";
    }
}

String timestampForFileName()
{
    std::time_t now = std::time(nullptr);
    std::tm utc {};
    gmtime_r(&now, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%dT%H%M%SZ", &utc);
    return String(text);
}

}

UserDefaults& UserDefaults::standardUserDefaults()
{
    // Held by a shared_ptr, so that notifications can name it as their object.
    static const std::shared_ptr<UserDefaults> defaults = [] {
        auto identifier = Bundle::mainBundle()->bundleIdentifier();
        if (!identifier.isEmpty())
            return std::make_shared<UserDefaults>(identifier);
        String name(program_invocation_short_name);
        logf(LogLevel::Info, "\u201c{}\u201d has no bundle identifier: its defaults are kept in memory, not saved.",
            name.utf8());
        return std::make_shared<UserDefaults>(name.isEmpty() ? String("defaults") : name, InMemory {});
    }();
    return *defaults;
}

UserDefaults::UserDefaults(String suiteName)
    : UserDefaults(suiteName, Paths::configHome().stringByAppendingPathComponent(suiteName))
{
}

UserDefaults::UserDefaults(String suiteName, String folder)
    : m_suiteName(std::move(suiteName))
    , m_filePath(folder.stringByAppendingPathComponent(m_suiteName + ".plist"))
{
    if (m_suiteName.isEmpty() || m_suiteName.view().find(u'/') != std::u16string_view::npos)
        throw Exception::invalidArgument(
            String(fmt::format("\u201c{}\u201d is not a defaults suite name.", m_suiteName.utf8())));
}

UserDefaults::UserDefaults(String suiteName, InMemory)
    : m_suiteName(std::move(suiteName))
{
}

std::optional<UserDefaults::FileStamp> UserDefaults::stampOf(const String& path)
{
    struct stat info { };
    if (stat(path.utf8().c_str(), &info) != 0)
        return std::nullopt;
    return FileStamp { static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino),
        static_cast<std::int64_t>(info.st_mtim.tv_sec), static_cast<std::int64_t>(info.st_mtim.tv_nsec),
        static_cast<std::int64_t>(info.st_size) };
}

void UserDefaults::load() const
{
    m_loaded = true;
    if (m_filePath.isEmpty())
        return;
    m_writeBlocked = false;
    auto read = [this]() -> Dictionary {
        m_stamp = stampOf(m_filePath);
        if (!m_stamp)
            return {};
        auto data = FileManager::defaultManager().contentsAtPath(m_filePath);
        if (!data) {
            if (data.error().code() == ENOENT) {
                m_stamp.reset();
                return {};
            }
            moveDamagedFileAside(data.error().localizedDescription());
            return {};
        }
        auto root = PropertyList::read(*data);
        if (!root) {
            moveDamagedFileAside(root.error().localizedDescription());
            return {};
        }
        if (!root->isDictionary()) {
            moveDamagedFileAside("its top level is not a dictionary");
            return {};
        }
        return std::move(*root->dictionary());
    };
    m_persistent = read();
    // What this process changed and has not written yet stays above what the file holds.
    for (const auto& [key, value] : m_unwritten) {
        if (value)
            m_persistent.set(key, *value);
        else
            m_persistent.remove(key);
    }
}

void UserDefaults::moveDamagedFileAside(const String& why) const
{
    auto& files = FileManager::defaultManager();
    auto base = m_filePath + ".damaged-" + timestampForFileName();
    auto aside = base;
    for (int n = 2; files.fileExists(aside) && n < 1000; ++n)
        aside = base + String(fmt::format("-{}", n));

    if (auto moved = files.moveItem(m_filePath, aside); !moved) {
        // Writing now would replace the only copy of the user's settings: keep them in memory only.
        m_writeBlocked = true;
        m_writeBlockedBecause = Error::make(ErrorDomain::POSIX, moved.error().code(),
            String(fmt::format("The settings file \u201c{}\u201d could not be read ({}) nor moved aside ({}).",
                m_filePath.utf8(), why.utf8(), moved.error().localizedFailureReason().utf8())),
            moved.error().localizedFailureReason());
        logf(LogLevel::Error,
            "The defaults file \u201c{}\u201d could not be read ({}) nor moved aside ({}); changes "
            "will not be saved.",
            m_filePath.utf8(), why.utf8(), moved.error().localizedDescription().utf8());
        return;
    }
    m_stamp.reset();
    logf(LogLevel::Warning,
        "The defaults file \u201c{}\u201d could not be read ({}); it was moved to \u201c{}\u201d and the registered "
        "values are used.",
        m_filePath.utf8(), why.utf8(), aside.utf8());
    m_setAside.push_back({ m_filePath, aside, why });
    // Told on the run loop, never from inside the read that found the damage.
    RunLoop::main().post(
        [] { NotificationCenter::defaultCenter().postNotificationName(DidSetAsideDamagedFileNotification, Value()); });
}

void UserDefaults::reloadIfChangedOnDisk() const
{
    if (!m_loaded || (!m_filePath.isEmpty() && stampOf(m_filePath) != m_stamp))
        load();
}

std::vector<UserDefaults::SetAsideFile> UserDefaults::takeFilesSetAside()
{
    std::lock_guard lock(m_mutex);
    return std::exchange(m_setAside, {});
}

std::vector<UserDefaults::WriteFailure> UserDefaults::takeWriteFailures()
{
    std::lock_guard lock(m_mutex);
    return std::exchange(m_writeFailures, {});
}

bool UserDefaults::lastWriteFailed() const
{
    std::lock_guard lock(m_mutex);
    return m_writeFailing.has_value();
}

std::optional<UserDefaults::WriteFailure> UserDefaults::currentWriteFailure() const
{
    std::lock_guard lock(m_mutex);
    return m_writeFailing;
}

bool UserDefaults::writeFailed(const Error& error)
{
    // Each change tries again; the person hears of the first failure, not of every keystroke after it.
    if (m_writeFailing)
        return false;
    m_writeFailing = WriteFailure { m_filePath, error };
    logf(LogLevel::Error,
        "The defaults could not be saved to \u201c{}\u201d: {} Changes are kept in memory and written at the next "
        "change that can be.",
        m_filePath.utf8(), error.localizedDescription().utf8());
    m_writeFailures.push_back({ m_filePath, error });
    // Told on the run loop, never from inside the change that failed.
    RunLoop::main().post(
        [] { NotificationCenter::defaultCenter().postNotificationName(DidFailToWriteNotification, Value()); });
    return false;
}

bool UserDefaults::store()
{
    if (m_filePath.isEmpty()) {
        m_unwritten.clear();
        return true;
    }
    auto& files = FileManager::defaultManager();
    auto fail = [&](const Error& error) { return writeFailed(error); };
    if (auto made = files.createDirectory(m_filePath.stringByDeletingLastPathComponent()); !made)
        return fail(made.error());
    // Read, merge and write as one step among the processes sharing the file: the changes of this process go over
    // what the file holds now, so another process's changes since the last read stay.
    UserDefaultsFileLock lock(m_filePath + ".lock");
    // An unreadable file that stayed in place may have been dealt with since: try once more to set it aside.
    if (m_writeBlocked)
        load();
    else
        reloadIfChangedOnDisk();
    if (m_writeBlocked)
        return fail(m_writeBlockedBecause.value_or(Error::make(ErrorDomain::POSIX, EIO,
            String(fmt::format("The settings file \u201c{}\u201d could not be read.", m_filePath.utf8())))));
    auto data = PropertyList::writeXML(Value(m_persistent));
    if (!data)
        return fail(data.error());
    if (auto written = files.writeAtomically(m_filePath, *data); !written)
        return fail(written.error());
    m_unwritten.clear();
    m_stamp = stampOf(m_filePath);
    if (std::exchange(m_writeFailing, std::nullopt))
        logf(LogLevel::Info, "The defaults were saved to \u201c{}\u201d again.", m_filePath.utf8());
    return true;
}

void UserDefaults::changed()
{
    if (m_writeDelay > 0)
        scheduleDelayedWrite();
    else
        store();
}

void UserDefaults::scheduleDelayedWrite()
{
    if (m_writeTimer && m_writeTimer->isValid())
        return;
    if (weak_from_this().expired()) {
        // Not held by a shared_ptr: a timer could not reach it later, so write now.
        store();
        return;
    }
    // The timer holds the defaults weakly: it may outlive a suite made for a moment.
    std::weak_ptr<Object> weakSelf = weak_from_this();
    UserDefaults* self = this;
    m_writeTimer = Timer::create(m_writeDelay, false, [weakSelf, self](Timer&) {
        if (auto alive = weakSelf.lock())
            self->synchronize();
    });
    RunLoop::main().addTimer(m_writeTimer, RunLoopMode::Common);
}

double UserDefaults::writeDelay() const
{
    std::lock_guard lock(m_mutex);
    return m_writeDelay;
}

void UserDefaults::setWriteDelay(double seconds)
{
    {
        std::lock_guard lock(m_mutex);
        m_writeDelay = seconds > 0 ? seconds : 0;
        if (m_writeDelay > 0 || m_unwritten.empty())
            return;
    }
    // Back to writing at once: what waits is written now.
    synchronize();
}

bool UserDefaults::hasUnwrittenChanges() const
{
    std::lock_guard lock(m_mutex);
    return !m_unwritten.empty();
}

void UserDefaults::postChange()
{
    Value object;
    if (auto self = weak_from_this().lock())
        object = Value(std::move(self));
    NotificationCenter::defaultCenter().postNotificationName(DidChangeNotification, object);
}

void UserDefaults::registerDefaults(const Dictionary& registrationDictionary)
{
    for (const auto& [key, value] : registrationDictionary) {
        if (!isPropertyListValue(value))
            throw Exception::invalidArgument(String(
                fmt::format("The registered value of \u201c{}\u201d is not a property-list value.", key.utf8())));
    }
    std::lock_guard lock(m_mutex);
    for (const auto& [key, value] : registrationDictionary)
        m_registration.set(key, value);
}

void UserDefaults::registerValueCheck(const String& key, ValueCheck check)
{
    std::lock_guard lock(m_mutex);
    m_checks[key] = std::move(check);
    m_verdicts.erase(key);
}

const Value* UserDefaults::acceptedValue(const String& key) const
{
    const auto* value = m_persistent.find(key);
    if (!value)
        return nullptr;
    auto check = m_checks.find(key);
    if (check == m_checks.end() || !check->second)
        return value;
    if (auto known = m_verdicts.find(key); known != m_verdicts.end() && known->second.value == *value)
        return known->second.accepted ? value : nullptr;
    const bool accepted = check->second(*value);
    m_verdicts[key] = { *value, accepted };
    if (!accepted)
        logf(LogLevel::Warning, "The stored value of \u201c{}\u201d ({}) is out of its range; the default is used.",
            key.utf8(), describeStoredValue(*value));
    return accepted ? value : nullptr;
}

Value UserDefaults::objectForKey(const String& key) const
{
    std::lock_guard lock(m_mutex);
    reloadIfChangedOnDisk();
    if (const auto* value = acceptedValue(key))
        return *value;
    return m_registration.get(key);
}

std::optional<String> UserDefaults::stringForKey(const String& key) const
{
    auto value = objectForKey(key);
    if (const auto* s = value.string())
        return *s;
    if (const auto* n = value.number())
        return n->stringValue();
    return std::nullopt;
}

std::optional<Data> UserDefaults::dataForKey(const String& key) const
{
    auto value = objectForKey(key);
    if (const auto* d = value.data())
        return *d;
    return std::nullopt;
}

std::optional<Array> UserDefaults::arrayForKey(const String& key) const
{
    // The value is this call's own copy: its contents move out rather than being copied again.
    auto value = objectForKey(key);
    if (auto* a = value.array())
        return std::move(*a);
    return std::nullopt;
}

std::optional<Dictionary> UserDefaults::dictionaryForKey(const String& key) const
{
    auto value = objectForKey(key);
    if (auto* d = value.dictionary())
        return std::move(*d);
    return std::nullopt;
}

bool UserDefaults::boolForKey(const String& key) const
{
    auto value = objectForKey(key);
    return (value.isNumber() || value.isString()) && value.boolValue();
}

std::int64_t UserDefaults::integerForKey(const String& key) const
{
    auto value = objectForKey(key);
    return value.isNumber() || value.isString() ? value.integerValue() : 0;
}

float UserDefaults::floatForKey(const String& key) const
{
    return static_cast<float>(doubleForKey(key));
}

double UserDefaults::doubleForKey(const String& key) const
{
    auto value = objectForKey(key);
    return value.isNumber() || value.isString() ? value.doubleValue() : 0.0;
}

void UserDefaults::setObject(const Value& value, const String& key)
{
    if (value.isNil()) {
        removeObjectForKey(key);
        return;
    }
    if (!isPropertyListValue(value))
        throw Exception::invalidArgument(String(fmt::format(
            "Attempt to store a value that is not a property-list value for the defaults key \u201c{}\u201d.",
            key.utf8())));
    {
        std::lock_guard lock(m_mutex);
        reloadIfChangedOnDisk();
        m_unwritten[key] = value;
        m_persistent.set(key, value);
        changed();
    }
    postChange();
}

void UserDefaults::removeObjectForKey(const String& key)
{
    {
        std::lock_guard lock(m_mutex);
        reloadIfChangedOnDisk();
        if (!m_persistent.contains(key))
            return;
        m_unwritten[key] = std::nullopt;
        m_persistent.remove(key);
        changed();
    }
    postChange();
}

bool UserDefaults::synchronize()
{
    std::lock_guard lock(m_mutex);
    // Nothing waits once this has run: a delayed write still pending has nothing left to do.
    if (auto timer = std::exchange(m_writeTimer, nullptr))
        timer->invalidate();
    if (!m_unwritten.empty())
        return store();
    reloadIfChangedOnDisk();
    return true;
}

Dictionary UserDefaults::dictionaryRepresentation() const
{
    std::lock_guard lock(m_mutex);
    reloadIfChangedOnDisk();
    Dictionary merged = m_registration;
    for (const auto& [key, value] : m_persistent)
        if (acceptedValue(key))
            merged.set(key, value);
    return merged;
}

Dictionary UserDefaults::persistentDomain() const
{
    std::lock_guard lock(m_mutex);
    reloadIfChangedOnDisk();
    return m_persistent;
}

Dictionary UserDefaults::registrationDomain() const
{
    std::lock_guard lock(m_mutex);
    return m_registration;
}

}
