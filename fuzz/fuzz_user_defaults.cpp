// Reads arbitrary bytes as the application's settings file, as a start of the program does: through the user
// defaults (a damaged file is set aside and reported), the checks of every registered key and the application's
// readers of lists, and of colours, fonts and lengths under every registered key. Then a change is written over the
// file (the lock, the merge with what the file holds, the atomic replace) and must read back.
#include "FuzzEnvironment.h"

#include "application/Preferences.h"

#include "platform/foundation/archiving/PropertyList.h"
#include "platform/foundation/files/UserDefaults.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

const char* const FuzzSuite = "org.barcodes.FuzzSettings";

// On a memory file system where there is one: every write syncs its file, which a disk makes slow.
const std::filesystem::path& fuzzSettingsFolder()
{
    static const std::filesystem::path folder = [] {
        std::string pattern
            = std::filesystem::exists("/dev/shm") ? "/dev/shm/fuzz-settings-XXXXXX" : "/tmp/fuzz-settings-XXXXXX";
        if (!mkdtemp(pattern.data()))
            std::abort();
        return std::filesystem::path(pattern);
    }();
    return folder;
}

struct FuzzSettingsCleanup {
    ~FuzzSettingsCleanup()
    {
        std::error_code ignored;
        std::filesystem::remove_all(fuzzSettingsFolder(), ignored);
    }
} fuzzSettingsCleanup;

// Property-list values compare by their written form: a stored NaN equals itself there.
bool sameValue(const fnd::Value& a, const fnd::Value& b)
{
    auto x = fnd::PropertyList::writeXML(a), y = fnd::PropertyList::writeXML(b);
    return x && y && *x == *y;
}

// The application's readers, over the standard defaults (in memory here) holding what the file held.
void readAsTheApplication(const fnd::Dictionary& stored)
{
    Preferences::initialize();
    auto& standard = fnd::UserDefaults::standardUserDefaults();
    for (const auto& [key, value] : stored)
        standard.setObject(value, key);
    (void)Preferences::fontHeightArray();
    (void)Preferences::modulWidthArray();
    (void)Preferences::barcodeHeightArray();
    // Every registered key through each reader of stored objects and lengths: a file may hold any of them anywhere.
    for (const auto& [key, registered] : Preferences::registeredDefaults()) {
        (void)Preferences::colorForKey(key);
        (void)Preferences::fontForKey(key);
        (void)Preferences::lengthForKey(key);
    }
    for (const auto& [key, value] : stored)
        standard.removeObjectForKey(key);
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    // A fresh folder: what an input set aside goes with it.
    const auto folder = fuzzSettingsFolder() / "settings";
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    std::filesystem::create_directories(folder);
    const fnd::String folderPath(folder.string());
    const auto file = folder / (std::string(FuzzSuite) + ".plist");
    std::ofstream(file, std::ios::binary).write(reinterpret_cast<const char*>(bytes), std::streamsize(size));

    fnd::Dictionary stored;
    {
        fnd::UserDefaults defaults(FuzzSuite, folderPath);
        Preferences::registerIn(defaults);
        // Every registered key read as the program reads it, checks and all.
        auto merged = defaults.dictionaryRepresentation();
        for (const auto& [key, registered] : Preferences::registeredDefaults()) {
            auto value = defaults.objectForKey(key);
            if (value.isNil() || !sameValue(value, merged.get(key)))
                std::abort();
        }
        stored = defaults.persistentDomain();
        // A change over the file: written with what the file held (nothing, when it was set aside).
        defaults.setObject("fuzz", "FuzzWrittenKey");
        if (!defaults.synchronize())
            std::abort();
        (void)defaults.takeFilesSetAside();
    }
    fnd::UserDefaults reread(FuzzSuite, folderPath);
    auto back = reread.persistentDomain();
    if (back.get("FuzzWrittenKey") != fnd::Value("fuzz"))
        std::abort();
    for (const auto& [key, value] : stored)
        if (key != fnd::String("FuzzWrittenKey") && !sameValue(back.get(key), value)) {
            std::fprintf(stderr, "the write lost \"%s\"\n", key.utf8().c_str());
            std::abort();
        }
    readAsTheApplication(stored);
    // The report of a file set aside is posted to the run loop: it goes with the input.
    fuzzEndInputAsARunLoopPass();
    return 0;
}
