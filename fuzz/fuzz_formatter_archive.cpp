// Decodes keyed archives of formatters, built from the input: the first byte picks the class from every formatter
// the class registry offers that adopts keyed coding (the foundation extensions' and the platform's), and the number
// container those formatters read; then each record sets one of the keys that class writes (harvested by archiving
// one of it) to a value of any kind, extreme numbers included. Whatever decodes must format values and parse texts
// without raising, keep its digits after the point within their bound, and archive again into an archive that
// decodes.
#include "frameworks/FoundationExtensions/ZORMeasurementNumberFormatter.h"
#include "frameworks/FoundationExtensions/ZORNumberValueFormatter.h"
#include "frameworks/FoundationExtensions/detail/FormatPattern.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"
#include "platform/foundation/archiving/PropertyList.h"
#include "platform/foundation/locale/Formatter.h"
#include "platform/foundation/locale/Locale.h"
#include "platform/foundation/runtime/Exception.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <set>
#include <string_view>
#include <vector>

namespace {

// The value object the application's measurement formatter reads, beside the formatters.
const char* const FormatterArchiveValueClass = "ZORNumberContainer";

// Keys a decoder reads that a freshly made object does not write (the number formatter's optional state), and the
// names of the number formatter's settings.
constexpr std::array<const char*, 4> FormatterArchiveExtraKeys
    = { "minimum", "maximum", "positiveFormat", "negativeFormat" };
constexpr std::array<const char*, 7> FormatterArchiveSettings
    = { "minimumFractionDigits", "maximumFractionDigits", "minimumIntegerDigits", "maximumSignificantDigits",
          "usesSignificantDigits", "roundingIncrement", "positiveSuffix" };

const std::array<fnd::Value, 20> FormatterArchiveNumbers
    = { fnd::Value(-1), fnd::Value(0), fnd::Value(1), fnd::Value(2), fnd::Value(4), fnd::Value(15), fnd::Value(16),
          fnd::Value(200'000'000), fnd::Value(std::int64_t { 1 } << 31), fnd::Value(4'000'000'000LL),
          fnd::Value(std::int64_t { 1 } << 48), fnd::Value(std::numeric_limits<std::int64_t>::max()),
          fnd::Value(std::numeric_limits<std::int64_t>::min()), fnd::Value(std::numeric_limits<std::uint64_t>::max()),
          fnd::Value(0.5), fnd::Value(-120.0), fnd::Value(1e300), fnd::Value(std::numeric_limits<double>::quiet_NaN()),
          fnd::Value(std::numeric_limits<double>::infinity()), fnd::Value(-std::numeric_limits<double>::infinity()) };

const std::array<const char*, 10> FormatterArchiveTexts
    = { "%@", "%@ %@", "%2$@ %1$@", "%@ %@ %@", "%%", "%d", "#0.00", "#,##0.0 'in'", "in", "" };

class FuzzFormatterArchive final : public fnd::Object, public fnd::Coding {
    FND_OBJECT(FuzzFormatterArchive)

public:
    void encodeWithCoder(fnd::Coder& coder) const override
    {
        for (const auto& [key, value] : entries)
            coder.encodeObject(value, key);
    }
    bool initWithCoder(fnd::Coder&) override { return false; }

    std::vector<std::pair<fnd::String, fnd::Value>> entries;
};
FND_REGISTER_CLASS(FuzzFormatterArchive, fnd::Object)

void check(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "%s\n", what);
        std::abort();
    }
}

// A class to decode and the keys it writes, found by archiving one as it is made, with the keys a decoder reads that
// a fresh object leaves out.
struct FormatterArchiveClass {
    fnd::String name;
    std::vector<fnd::String> keys;
};

FormatterArchiveClass formatterArchiveClass(const fnd::String& name)
{
    std::set<fnd::String> found(FormatterArchiveExtraKeys.begin(), FormatterArchiveExtraKeys.end());
    auto object = fnd::ClassRegistry::shared().create(name);
    check(object != nullptr, "a registered formatter cannot be made by name");
    auto archive = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(object));
    check(archive.has_value(), "a fresh formatter cannot be archived");
    auto plist = fnd::PropertyList::read(*archive);
    check(plist.has_value() && plist->dictionary(), "an archive is no property list");
    const fnd::Value* objects = plist->dictionary()->find("$objects");
    for (const fnd::Value& entry : *objects->array()) {
        if (const auto* dictionary = entry.dictionary()) {
            for (const auto& [key, value] : *dictionary) {
                if (!key.hasPrefix("$"))
                    found.insert(key);
            }
        }
    }
    return { name, std::vector<fnd::String>(found.begin(), found.end()) };
}

// Every formatter the registry makes by name that adopts keyed coding, then the value class, in the order of their
// names: a formatter added later is decoded here without an edit.
const std::vector<FormatterArchiveClass>& formatterArchiveClasses()
{
    static const std::vector<FormatterArchiveClass> classes = [] {
        std::vector<FormatterArchiveClass> made;
        auto& registry = fnd::ClassRegistry::shared();
        for (const auto* info : registry.classesDerivedFrom(fnd::Formatter::staticClassInfo())) {
            std::shared_ptr<fnd::Object> object;
            try {
                object = registry.create(info->name);
            } catch (const fnd::Exception&) {
                continue; // made only by a designated initialiser with arguments
            }
            if (object && &object->classInfo() == info && dynamic_cast<const fnd::Coding*>(object.get()))
                made.push_back(formatterArchiveClass(info->name));
        }
        check(!made.empty(), "the registry holds no formatter that archives");
        made.push_back(formatterArchiveClass(FormatterArchiveValueClass));
        return made;
    }();
    return classes;
}

class FormatterArchiveInput {
public:
    FormatterArchiveInput(const std::uint8_t* data, std::size_t size)
        : m_data(data)
        , m_size(size)
    {
    }
    bool atEnd() const { return m_at >= m_size; }
    std::uint8_t byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    template <typename T> T scalar()
    {
        T value {};
        const std::size_t count = std::min(sizeof value, m_size - std::min(m_at, m_size));
        std::memcpy(&value, m_data + m_at, count);
        m_at += count;
        return value;
    }
    fnd::String text()
    {
        const std::size_t length = std::min<std::size_t>(byte() % 33, m_size - std::min(m_at, m_size));
        fnd::String string(std::string_view(reinterpret_cast<const char*>(m_data + m_at), length));
        m_at += length;
        return string;
    }

    fnd::Value value()
    {
        switch (byte() % 9) {
        case 0:
            return FormatterArchiveNumbers[byte() % FormatterArchiveNumbers.size()];
        case 1:
            return fnd::Value(scalar<std::int64_t>());
        case 2:
            return fnd::Value(scalar<double>());
        case 3:
            return fnd::Value(text());
        case 4:
            return fnd::Value(byte() % 2 == 1);
        case 5:
            return fnd::Value(fnd::String(FormatterArchiveTexts[byte() % FormatterArchiveTexts.size()]));
        case 6: {
            fnd::Array settings;
            for (int n = byte() % 4; n > 0; --n) {
                // The value moves in after: a braced dictionary copies what it holds, nested ones at every level.
                const fnd::String name = FormatterArchiveSettings[byte() % FormatterArchiveSettings.size()];
                fnd::Dictionary setting { { name, fnd::Value() } };
                *setting.find(name) = value();
                settings.push_back(fnd::Value(std::move(setting)));
            }
            return fnd::Value(std::move(settings));
        }
        case 7: {
            // Any locale the system has, by its identifier.
            static const auto locales = fnd::Locale::availableLocaleIdentifiers();
            const std::size_t pick = std::size_t(byte()) << 8 | byte();
            return locales.empty() ? fnd::Value() : fnd::Value(locales[pick % locales.size()]);
        }
        default:
            return fnd::Value();
        }
    }

private:
    const std::uint8_t* m_data;
    std::size_t m_size;
    std::size_t m_at { 0 };
};

void exerciseFormatter(const fnd::Formatter& formatter)
{
    const fnd::Value values[] = { fnd::Value(), fnd::Value(0), fnd::Value(72), fnd::Value(-120.5), fnd::Value(1e300),
        fnd::Value(std::numeric_limits<double>::quiet_NaN()), fnd::Value(fnd::String("12.5")) };
    for (const auto& value : values) {
        if (auto text = formatter.stringForObjectValue(value))
            (void)formatter.getObjectValue(*text);
    }
    for (const char* text : { "", "1.5", "2 in", "abc", "-0,5 %" })
        (void)formatter.getObjectValue(fnd::String(text));
    (void)formatter.copy();
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto& classes = formatterArchiveClasses();
    FormatterArchiveInput input(data, size);
    const auto& [className, keys] = classes[input.byte() % classes.size()];
    auto made = std::make_shared<FuzzFormatterArchive>();
    for (int records = 0; !input.atEnd() && records < 24; ++records) {
        const fnd::String& key = keys[input.byte() % keys.size()];
        made->entries.emplace_back(key, input.value());
    }
    fnd::KeyedArchiver archiver;
    archiver.setClassName(className, FuzzFormatterArchive::staticClassInfo());
    archiver.encodeObject(fnd::Value(made), "root");
    auto archive = archiver.encodedData();
    if (!archive)
        return 0;

    auto decoded = fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*archive);
    if (!decoded || !decoded->isObject())
        return 0;
    auto object = decoded->object();
    if (auto* formatter = dynamic_cast<const ZORNumberValueFormatter*>(object.get()))
        check(formatter->numberOfDigitsAfterPoint() <= ZORFormatPattern::MaximumDigitsAfterPoint,
            "a number value formatter kept more digits than its bound");
    if (auto* formatter = dynamic_cast<const ZORMeasurementNumberFormatter*>(object.get()))
        check(formatter->numberOfDigitsAfterPoint() <= ZORFormatPattern::MaximumDigitsAfterPoint,
            "a measurement formatter kept more digits than its bound");
    if (auto* formatter = dynamic_cast<const fnd::Formatter*>(object.get()))
        exerciseFormatter(*formatter);
    (void)object->description();

    // What was accepted once is accepted again.
    auto again = fnd::KeyedArchiver::archivedDataWithRootObject(*decoded);
    check(again.has_value(), "a decoded object cannot be archived");
    check(fnd::KeyedUnarchiver::unarchiveTopLevelObjectWithData(*again).has_value(),
        "a decoded object's archive cannot be decoded");
    return 0;
}
