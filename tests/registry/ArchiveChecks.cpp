#include "registry/ArchiveChecks.h"

#include "registry/RegistrySupport.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/archiving/PropertyList.h"
#include "platform/foundation/runtime/Exception.h"
#include "platform/ui/views/View.h"

#include <fmt/format.h>

#include <cmath>

namespace registrytest {

namespace {

bool archiveChecksFinite(gfx::Rect r)
{
    return std::isfinite(r.origin.x) && std::isfinite(r.origin.y) && std::isfinite(r.size.width)
        && std::isfinite(r.size.height);
}

// Where a value holds a real or geometry that is not finite (arrays and dictionaries looked into).
std::optional<std::string> archiveChecksNonFinite(const fnd::Value& value, const std::string& path)
{
    if (auto* number = value.number(); number && number->isReal() && !std::isfinite(number->doubleValue()))
        return fmt::format("{} = {}", path, number->doubleValue());
    if (auto point = value.point(); point && !(std::isfinite(point->x) && std::isfinite(point->y)))
        return path + " = " + value.description().utf8();
    if (auto size = value.size(); size && !(std::isfinite(size->width) && std::isfinite(size->height)))
        return path + " = " + value.description().utf8();
    if (auto rect = value.rect(); rect && !archiveChecksFinite(*rect))
        return path + " = " + value.description().utf8();
    if (auto* date = value.date(); date && !std::isfinite(date->timeIntervalSinceReferenceDate()))
        return path + " is a date that is not finite";
    if (auto* items = value.array()) {
        for (std::size_t i = 0; i < items->size(); ++i)
            if (auto where = archiveChecksNonFinite((*items)[i], fmt::format("{}[{}]", path, i)))
                return where;
    }
    if (auto* entries = value.dictionary()) {
        for (const auto& [key, entry] : *entries)
            if (auto where = archiveChecksNonFinite(entry, path + "." + key.utf8()))
                return where;
    }
    return std::nullopt;
}

std::optional<std::string> archiveChecksViewTree(const ui::View& view, const std::string& path)
{
    if (!archiveChecksFinite(view.frame()) || !archiveChecksFinite(view.bounds()))
        return fmt::format("{} ({}) has the frame {} and the bounds {}", path, view.className().utf8(),
            fnd::Value(view.frame()).description().utf8(), fnd::Value(view.bounds()).description().utf8());
    const auto subviews = view.subviews();
    for (std::size_t i = 0; i < subviews.size(); ++i)
        if (auto where = archiveChecksViewTree(*subviews[i], fmt::format("{}.subviews[{}]", path, i)))
            return where;
    return std::nullopt;
}

std::string archiveChecksShort(const fnd::Value& value)
{
    std::string text = value.description().utf8();
    return text.size() > 200 ? text.substr(0, 200) + "..." : text;
}

// A key holding nil reads back as a key not written: a conditional object (a control's target) that nothing else
// archives is written as nil, and its decoded owner, which has no target, writes no key.
bool archiveChecksIsNilSlot(const fnd::Value& slot)
{
    const auto* entries = slot.dictionary();
    return entries && entries->count() == 1 && entries->contains("$nil");
}

std::optional<std::string> archiveChecksDifference(const fnd::Value& a, const fnd::Value& b, const std::string& path)
{
    if (a.type() != b.type())
        return fmt::format("{}: {} against {}", path, archiveChecksShort(a), archiveChecksShort(b));
    if (auto* left = a.dictionary()) {
        const auto& right = *b.dictionary();
        for (const auto& [key, entry] : *left) {
            const fnd::Value* other = right.find(key);
            if (!other && archiveChecksIsNilSlot(entry))
                continue;
            if (!other)
                return fmt::format("{}.{} only in the first", path, key.utf8());
            if (auto where = archiveChecksDifference(entry, *other, path + "." + key.utf8()))
                return where;
        }
        for (const auto& [key, entry] : right)
            if (!left->contains(key) && !archiveChecksIsNilSlot(entry))
                return fmt::format("{}.{} only in the second", path, key.utf8());
        return std::nullopt;
    }
    if (auto* left = a.array()) {
        const auto& right = *b.array();
        for (std::size_t i = 0; i < std::min(left->size(), right.size()); ++i)
            if (auto where = archiveChecksDifference((*left)[i], right[i], fmt::format("{}[{}]", path, i)))
                return where;
        if (left->size() != right.size())
            return fmt::format("{}: {} items against {}", path, left->size(), right.size());
        return std::nullopt;
    }
    if (!(a == b))
        return fmt::format("{}: {} against {}", path, archiveChecksShort(a), archiveChecksShort(b));
    return std::nullopt;
}

}

std::optional<std::string> nonFiniteState(const fnd::Object& object)
{
    for (const auto* cls = &object.classInfo(); cls; cls = cls->superclass) {
        for (const auto& [key, accessors] : cls->members.properties) {
            fnd::Value value;
            try {
                value = accessors.get(object);
            } catch (const std::exception& error) {
                return fmt::format("the getter of {} threw: {}", key.utf8(), error.what());
            }
            if (auto where = archiveChecksNonFinite(value, key.utf8()))
                return where;
        }
    }
    if (auto* view = dynamic_cast<const ui::View*>(&object))
        return archiveChecksViewTree(*view, "the view");
    return std::nullopt;
}

std::optional<std::string> nonFiniteInArchive(const fnd::Data& archive)
{
    auto list = fnd::PropertyList::read(archive);
    if (!list)
        return "the archive is no property list: " + list.error().localizedDescription().utf8();
    return archiveChecksNonFinite(*list, "$");
}

std::optional<std::string> archiveDifference(const fnd::Data& first, const fnd::Data& second)
{
    auto a = fnd::PropertyList::read(first);
    auto b = fnd::PropertyList::read(second);
    if (!a || !b)
        return "an archive is no property list";
    return archiveChecksDifference(*a, *b, "$");
}

std::optional<std::string> archiveReadBackProblem(const std::shared_ptr<fnd::Object>& object)
{
    auto first = fnd::KeyedArchiver::archivedDataWithRootObject(object);
    if (!first)
        return "cannot be archived: " + first.error().localizedDescription().utf8();
    if (auto where = nonFiniteInArchive(*first))
        return "archives a number that is not finite at " + *where;
    auto decoded = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*first);
    if (!decoded)
        return "its archive does not read back: " + decoded.error().localizedDescription().utf8();
    auto copy = decoded->object();
    if (!copy || &copy->classInfo() != &object->classInfo())
        return "its archive reads back as another class";
    if (auto where = nonFiniteState(*copy))
        return "decoded, " + *where;
    // What decoding sets of its own, the original takes before the two archives are compared.
    if (auto view = std::dynamic_pointer_cast<ui::View>(object))
        takeValuesSetByDecoding(*view, static_cast<const ui::View&>(*copy));
    first = fnd::KeyedArchiver::archivedDataWithRootObject(object);
    auto second = fnd::KeyedArchiver::archivedDataWithRootObject(copy);
    if (!first || !second)
        return "cannot be archived again once decoded";
    if (auto difference = archiveDifference(*first, *second))
        return "decoded, archives otherwise: " + *difference;
    return std::nullopt;
}

}
