// Reads arbitrary bytes as a keyed archive of any class that adopts keyed coding (the seeds hold a default instance
// of each; fuzz/tools/MakeFuzzSeeds.cpp writes them and the dictionary of every key they hold). Whatever decodes
// answers every key its class declares, and is archived again into an archive that reads back: a decoder that takes
// a value its own object cannot live with, or writes what it would refuse, fails here.
#include "EdgeNumbers.h"
#include "FuzzEnvironment.h"
#include "RegisteredClasses.h"

#include "platform/backend/headless/HeadlessBackend.h"
#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/detail/PropertyListText.h"
#include "platform/text/detail/ParagraphCache.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// Ends the run with what went wrong, for whoever reads the failure.
template <typename T>
void classArchivesCheck(const fnd::Object& object, const char* what, const fnd::Expected<T>& result)
{
    if (result)
        return;
    std::fprintf(stderr, "%s %s: %s\n", object.className().utf8().c_str(), what,
        result.error().localizedDescription().utf8().c_str());
    std::abort();
}

// Every key the object's class and its superclasses declare, read once: the getters are what callers meet first,
// and each must cope with whatever the decoder let in.
void classArchivesReadKeys(const fnd::Object& object)
{
    for (const auto* cls = &object.classInfo(); cls; cls = cls->superclass)
        for (const auto& [key, accessors] : cls->members.properties)
            (void)accessors.get(object);
}

void classArchivesRead(const std::uint8_t* bytes, std::size_t size)
{
    static auto* backend = [] {
        auto* installed = new std::shared_ptr<ui::HeadlessBackend>(ui::HeadlessBackend::install());
        // Nothing here reads pixels: a view that asks for display costs no drawing.
        (*installed)->setDrawsWindows(false);
        return installed;
    }();
    (void)backend;

    auto decoded = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(fnd::Data(bytes, size));
    if (!decoded || !decoded->isObject())
        return;
    auto object = decoded->object();
    classArchivesReadKeys(*object);
    auto archive = fnd::KeyedArchiver::archivedDataWithRootObject(*decoded);
    classArchivesCheck(*object, "decoded cannot be archived again", archive);
    classArchivesCheck(*object, "decoded is archived into what it refuses",
        fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*archive));
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    classArchivesRead(bytes, size);
    fuzzEndInputAsARunLoopPass();
    // The layout caches keep a text from the second time they meet it (a decoded title measured by a getter): an
    // input's second run would leave it there, read as a leak.
    txt::detail::forgetThreadLayouts();
    return 0;
}

// Now and then the archive of a default instance of a class drawn from the registry, as its seed would hold; else a
// mutation. Archives spell reals as their writer does ("nan", "+infinity").
extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, std::size_t maxSize, unsigned seed)
{
    if (const auto* cls = registeredclasses::drawn(seed))
        if (auto object = fuzznames::seedableInstance(*cls))
            if (auto archive = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(object)))
                if (std::size_t length = registeredclasses::replaceInput(data, maxSize, archive->view()))
                    return length;
    return edgenumbers::mutate(data, size, maxSize, seed, fnd::PropertyList::detail::formatReal);
}
