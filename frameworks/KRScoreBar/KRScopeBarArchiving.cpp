#include "frameworks/KRScoreBar/KRScopeBarArchiving.h"

#include "platform/foundation/archiving/Coding.h"
#include "platform/graphics/Color.h"
#include "platform/graphics/Gradient.h"
#include "platform/text/AttributedString.h"

#include <cmath>

namespace KRScopeBarArchiving {

namespace {

// Selections index items of a bar; anything past this is damage, not data.
constexpr fnd::Index KRScopeBarArchivingLargestIndex = fnd::Index(1) << 40;

bool krScopeBarArchivable(const fnd::Value& value)
{
    switch (value.type()) {
    case fnd::Value::Type::String:
    case fnd::Value::Type::Number:
        return true;
    case fnd::Value::Type::Object:
        return dynamic_cast<const fnd::Coding*>(value.object().get()) != nullptr;
    default:
        return false;
    }
}

}

fnd::Value indexSetToValue(const fnd::IndexSet& indexes)
{
    fnd::Array ranges;
    for (const auto& range : indexes.ranges())
        ranges.push_back(fnd::Value(range));
    return fnd::Value(std::move(ranges));
}

fnd::IndexSet indexSetFromValue(const fnd::Value& value)
{
    fnd::IndexSet indexes;
    const auto* ranges = value.array();
    if (!ranges)
        return indexes;
    for (const auto& element : *ranges) {
        auto range = element.range();
        if (!range || range->location < 0 || range->length < 0 || range->location > KRScopeBarArchivingLargestIndex
            || range->length > KRScopeBarArchivingLargestIndex - range->location)
            return {};
        if (range->length > 0)
            indexes.add(*range);
    }
    return indexes;
}

fnd::Value attributedStringToValue(const std::shared_ptr<txt::AttributedString>& text)
{
    if (!text)
        return {};
    fnd::Array runs;
    fnd::Index at = 0;
    while (at < text->length()) {
        fnd::Range effective;
        const auto& attributes = text->attributesAtIndex(at, &effective);
        fnd::Dictionary kept;
        for (const auto& [name, value] : attributes) {
            if (krScopeBarArchivable(value))
                kept.set(name, value);
        }
        fnd::Dictionary run;
        run.set("range", fnd::Value(effective));
        run.set("attributes", fnd::Value(std::move(kept)));
        runs.push_back(fnd::Value(std::move(run)));
        at = effective.max() > at ? effective.max() : at + 1;
    }
    fnd::Dictionary result;
    result.set("string", fnd::Value(text->string()));
    result.set("runs", fnd::Value(std::move(runs)));
    return fnd::Value(std::move(result));
}

std::shared_ptr<txt::AttributedString> attributedStringFromValue(const fnd::Value& value)
{
    const auto* dictionary = value.dictionary();
    if (!dictionary)
        return nullptr;
    const auto stringValue = dictionary->get("string");
    const auto* string = stringValue.string();
    if (!string)
        return nullptr;
    auto text = std::make_shared<txt::AttributedString>(*string);
    const auto runsValue = dictionary->get("runs");
    if (const auto* runs = runsValue.array()) {
        for (const auto& run : *runs) {
            const auto* fields = run.dictionary();
            if (!fields)
                continue;
            auto range = fields->get("range").range();
            const auto attributesValue = fields->get("attributes");
            const auto* attributes = attributesValue.dictionary();
            if (!range || !attributes || range->location < 0 || range->length <= 0 || range->location > text->length()
                || range->length > text->length() - range->location)
                continue;
            text->setAttributes(*attributes, *range);
        }
    }
    return text;
}

fnd::Value gradientToValue(const std::shared_ptr<gfx::Gradient>& gradient)
{
    if (!gradient)
        return {};
    fnd::Array stops;
    for (std::int64_t i = 0; i < gradient->numberOfColorStops(); ++i) {
        auto stop = gradient->colorStopAtIndex(i);
        fnd::Dictionary entry;
        entry.set("color", stop.color ? fnd::Value(stop.color) : fnd::Value());
        entry.set("location", fnd::Value(stop.location));
        stops.push_back(fnd::Value(std::move(entry)));
    }
    return fnd::Value(std::move(stops));
}

std::shared_ptr<gfx::Gradient> gradientFromValue(const fnd::Value& value)
{
    const auto* stops = value.array();
    if (!stops || stops->empty())
        return nullptr;
    std::vector<gfx::Gradient::ColorStop> colorStops;
    for (const auto& entry : *stops) {
        const auto* fields = entry.dictionary();
        if (!fields)
            return nullptr;
        auto color = fields->get("color").objectAs<gfx::Color>();
        double location = fields->get("location").doubleValue();
        if (!color || !std::isfinite(location))
            return nullptr;
        colorStops.push_back({ color, location });
    }
    return std::make_shared<gfx::Gradient>(std::move(colorStops));
}

}
