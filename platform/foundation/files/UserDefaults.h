#pragma once

#include "platform/foundation/runtime/Error.h"
#include "platform/foundation/runtime/Object.h"
#include "platform/foundation/runtime/Value.h"

#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <vector>

namespace fnd {

class Timer;

// Settings by key, in two layers: the persistent domain, kept as an XML property list at
// <folder>/<suite>.plist, over a registration domain held in memory. A key missing from the persistent domain gives
// the registered value. Every change is written to disk at once (atomically), so nothing waits for a save at quit,
// unless a write delay is set: then the changes of that many seconds are written together by one timer on the main
// run loop (for settings that change at every keystroke), and synchronize() writes them at once (call it at quit).
//
// Several processes may share the file (two copies of a program on one profile). A write takes only the keys this
// object changed (set or removed) since its last write and lays them over what the file holds at that moment, under
// an exclusive lock on <suite>.plist.lock beside it, so no process loses another's changes. Reads notice a file
// another process replaced and take its values, keeping this object's own unwritten changes above them. A damaged
// file is moved aside, never dropped, and remembered until someone takes the report (to tell the person). A write
// that fails (a read-only folder, a full disk) keeps the changes in memory, where they serve, and each later change
// tries again; the first failure after a good write is remembered until someone takes the report, and logged.
//
// Each change posts DidChangeNotification on the default notification center, after the change is stored, on the
// changing thread; its object is the defaults object when it is held by a shared_ptr (as the standard one is).
//
// Values must be property-list values (numbers, strings, data, dates, arrays, dictionaries); anything else is a
// programming error and raises an invalid-argument exception.
class UserDefaults : public Object {
    FND_OBJECT(UserDefaults)
public:
    static inline const String DidChangeNotification = "NSUserDefaultsDidChangeNotification";
    // Posted on the main run loop after a damaged file was moved aside; takeFilesSetAside() tells which.
    static inline const String DidSetAsideDamagedFileNotification = "UserDefaultsDidSetAsideDamagedFileNotification";
    // Posted on the main run loop when a write fails after the last one went well; takeWriteFailures() tells why.
    static inline const String DidFailToWriteNotification = "UserDefaultsDidFailToWriteNotification";

    // The application's defaults: the main bundle's identifier as suite, in $XDG_CONFIG_HOME/<identifier>/. A
    // program without an identifier keeps them in memory under its executable's name: a file named after the
    // executable could be another program's of the same name.
    static UserDefaults& standardUserDefaults();

    // A suite in $XDG_CONFIG_HOME/<suite>/ (the variable read now), or in the given folder.
    explicit UserDefaults(String suiteName);
    UserDefaults(String suiteName, String folder);
    // A suite that is never read from or written to a file.
    struct InMemory { };
    UserDefaults(String suiteName, InMemory);
    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;

    void registerDefaults(const Dictionary& registrationDictionary);
    // What a stored value of the key must satisfy (a type, a range, a readable archive). A stored value that fails
    // counts as absent: the registered value serves in its place, and a warning naming the key is logged once per
    // such value. The stored value itself stays in the file until the key is set again.
    using ValueCheck = std::function<bool(const Value&)>;
    void registerValueCheck(const String& key, ValueCheck check);

    // nil when the key has no value in either layer.
    Value objectForKey(const String& key) const;
    // A string value, or a number's text; nullopt otherwise.
    std::optional<String> stringForKey(const String& key) const;
    std::optional<Data> dataForKey(const String& key) const;
    std::optional<Array> arrayForKey(const String& key) const;
    std::optional<Dictionary> dictionaryForKey(const String& key) const;
    // Numbers and numeric strings convert; anything else gives false or 0.
    bool boolForKey(const String& key) const;
    std::int64_t integerForKey(const String& key) const;
    float floatForKey(const String& key) const;
    double doubleForKey(const String& key) const;

    // A nil value removes the key.
    void setObject(const Value& value, const String& key);
    void setBool(bool value, const String& key) { setObject(value, key); }
    void setInteger(std::int64_t value, const String& key) { setObject(static_cast<long long>(value), key); }
    void setFloat(float value, const String& key) { setObject(value, key); }
    void setDouble(double value, const String& key) { setObject(value, key); }
    // Afterwards the key gives its registered value again, if it has one.
    void removeObjectForKey(const String& key);

    // Writes what could not be written yet and reads what another process changed; false when the file could not be
    // written.
    bool synchronize();
    // Seconds a change may wait before it is written, so that the changes within them are written once (0, the
    // default: each change at once). The write is a timer on the main run loop, in the common modes.
    double writeDelay() const;
    void setWriteDelay(double seconds);
    // Whether changes wait to be written.
    bool hasUnwrittenChanges() const;

    // A file that could not be read and was moved aside: where it was, where it is now and why.
    struct SetAsideFile {
        String path;
        String movedTo;
        String reason;
    };
    // The files set aside since the last call, each reported once.
    std::vector<SetAsideFile> takeFilesSetAside();

    // A write of the file that failed: the file and why. One is kept for each run of failed writes, the first.
    struct WriteFailure {
        String path;
        Error error;
    };
    // The failures since the last call, each reported once.
    std::vector<WriteFailure> takeWriteFailures();
    // Whether the last write failed (the changes since wait in memory).
    bool lastWriteFailed() const;
    // The first failure of the run of failed writes going on (also once its report was taken); nullopt once a write
    // went well. What a program tells at quit, when the changes waiting would be lost.
    std::optional<WriteFailure> currentWriteFailure() const;

    // Both layers merged, the persistent values winning (where they pass their key's check).
    Dictionary dictionaryRepresentation() const;
    Dictionary persistentDomain() const;
    Dictionary registrationDomain() const;

    const String& suiteName() const { return m_suiteName; }
    // Where the persistent domain lives; empty for a suite kept in memory.
    const String& filePath() const { return m_filePath; }

private:
    // Reads the file; the unwritten changes stay above what it holds.
    void load() const;
    void moveDamagedFileAside(const String& why) const;
    bool store();
    // Remembers and announces the first failure of a run of them; later ones of the run are only counted.
    bool writeFailed(const Error& error);
    // The stored value of the key when it passes the key's check; nullptr otherwise.
    const Value* acceptedValue(const String& key) const;
    // Stores the change (now, or by the delayed write); the caller posts the notification once the lock is released.
    void changed();
    void scheduleDelayedWrite();
    void postChange();

    String m_suiteName;
    String m_filePath;

    mutable std::recursive_mutex m_mutex;
    Dictionary m_registration;
    // What the file held when last read or written, with the unwritten changes laid over it.
    mutable Dictionary m_persistent;
    // The keys changed since the last write: their value, or nullopt for a removal.
    std::map<String, std::optional<Value>> m_unwritten;
    std::map<String, ValueCheck> m_checks;
    // The verdict on the last stored value checked for each key, so a value is checked, and refused aloud, once.
    struct Verdict {
        Value value;
        bool accepted;
    };
    mutable std::map<String, Verdict> m_verdicts;
    mutable std::vector<SetAsideFile> m_setAside;
    mutable bool m_loaded { false };
    double m_writeDelay { 0 };
    // The pending delayed write; a timer someone invalidated (a run loop torn down) counts as none.
    std::shared_ptr<Timer> m_writeTimer;
    // Set when a file that could not be read stayed in place: writing would then destroy it. Why it stayed.
    mutable bool m_writeBlocked { false };
    mutable std::optional<Error> m_writeBlockedBecause;
    // Whether the last write failed, and the failures not yet taken.
    // The first failure of the run going on; nullopt while writes go well.
    std::optional<WriteFailure> m_writeFailing;
    std::vector<WriteFailure> m_writeFailures;
    // The version of the file last read or written: an atomic replace gives a new inode, an edit in place a new
    // time or size.
    struct FileStamp {
        std::uint64_t device { 0 };
        std::uint64_t inode { 0 };
        std::int64_t seconds { 0 };
        std::int64_t nanoseconds { 0 };
        std::int64_t size { 0 };
        bool operator==(const FileStamp&) const = default;
    };
    static std::optional<FileStamp> stampOf(const String& path);
    // Reads the file again when another process replaced it since.
    void reloadIfChangedOnDisk() const;
    mutable std::optional<FileStamp> m_stamp;
};

}
