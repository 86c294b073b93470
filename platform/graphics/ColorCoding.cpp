#include "platform/graphics/Color.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace gfx {

namespace {

// Archive numbers of the colour spaces.
struct SpaceCode {
    int code;
    Color::Model model;
    const fnd::String* name;
};

const SpaceCode* spaceCodes()
{
    static const SpaceCode codes[] = {
        { 1, Color::Model::RGB, &ColorSpaceName::CalibratedRGB },
        { 2, Color::Model::RGB, &ColorSpaceName::DeviceRGB },
        { 3, Color::Model::Gray, &ColorSpaceName::CalibratedWhite },
        { 4, Color::Model::Gray, &ColorSpaceName::DeviceWhite },
        { 5, Color::Model::CMYK, &ColorSpaceName::DeviceCMYK },
        { 10, Color::Model::Pattern, &ColorSpaceName::Pattern },
        { 0, Color::Model::Gray, nullptr },
    };
    return codes;
}

int codeOf(const fnd::String& spaceName)
{
    for (const SpaceCode* c = spaceCodes(); c->name; ++c)
        if (*c->name == spaceName)
            return c->code;
    return 1;
}

const SpaceCode* spaceFor(std::int64_t code)
{
    for (const SpaceCode* c = spaceCodes(); c->name; ++c)
        if (c->code == code)
            return c;
    return nullptr;
}

int componentCount(Color::Model model)
{
    switch (model) {
    case Color::Model::Gray:
        return 1;
    case Color::Model::RGB:
        return 3;
    case Color::Model::CMYK:
        return 4;
    case Color::Model::Pattern:
        return 0;
    }
    return 0;
}

}

void Color::encodeWithCoder(fnd::Coder& coder) const
{
    int count = componentCount(m_model);
    std::shared_ptr<fnd::Object> image;
    if (m_model == Model::Pattern) {
        // Only an image that is itself an archivable object can travel with the colour.
        auto object = std::dynamic_pointer_cast<const fnd::Object>(m_pattern);
        if (object && dynamic_cast<const fnd::Coding*>(object.get()))
            image = std::const_pointer_cast<fnd::Object>(object);
    }
    if (coder.allowsKeyedCoding()) {
        coder.encodeInt(codeOf(colorSpaceName()), "NSColorSpace");
        fnd::Array components;
        for (int i = 0; i < count; ++i)
            components.emplace_back(m_c[static_cast<std::size_t>(i)]);
        components.emplace_back(m_alpha);
        coder.encodeObject(fnd::Value(std::move(components)), "NSComponents");
        if (!m_name.isEmpty())
            coder.encodeObject(fnd::Value(m_name), "NSColorName");
        if (image)
            coder.encodeObject(fnd::Value(image), "NSImage");
        return;
    }
    coder.encodeValueOfObjCType('i', codeOf(colorSpaceName()));
    for (int i = 0; i < count; ++i)
        coder.encodeValueOfObjCType('d', m_c[static_cast<std::size_t>(i)]);
    coder.encodeValueOfObjCType('d', m_alpha);
    if (m_model == Model::Pattern)
        coder.encodeObject(image ? fnd::Value(image) : fnd::Value());
}

bool Color::initWithCoder(fnd::Coder& coder)
{
    bool keyed = coder.allowsKeyedCoding();
    std::int64_t code
        = keyed ? coder.decodeInt64ForKey("NSColorSpace") : coder.decodeValueOfObjCType('i').integerValue();
    const SpaceCode* space = spaceFor(code);
    if (!space) {
        if (!coder.hasFailed())
            coder.failWithError(fnd::Error::make(fnd::ErrorDomain::Cocoa, fnd::CoderError::ReadCorrupt,
                fnd::String(fmt::format("The archive holds a colour in an unknown colour space ({}).", code))));
        return false;
    }
    int count = componentCount(space->model);
    std::array<double, 5> values { 0, 0, 0, 0, 1 };
    values[static_cast<std::size_t>(count)] = 1;
    fnd::Value image;
    if (keyed) {
        auto components = coder.decodeObjectForKey("NSComponents");
        const fnd::Array* list = components.array();
        if (!list || list->size() != static_cast<std::size_t>(count + 1)) {
            if (!coder.hasFailed())
                coder.failWithError(fnd::Error::make(fnd::ErrorDomain::Cocoa, fnd::CoderError::ReadCorrupt,
                    "The archive holds a colour with the wrong number of components."));
            return false;
        }
        for (int i = 0; i <= count; ++i)
            values[static_cast<std::size_t>(i)] = (*list)[static_cast<std::size_t>(i)].doubleValue();
        if (auto name = coder.decodeObjectForKey("NSColorName"); name.string())
            m_name = *name.string();
        if (space->model == Model::Pattern)
            image = coder.decodeObjectForKey("NSImage");
    } else {
        for (int i = 0; i <= count; ++i)
            values[static_cast<std::size_t>(i)] = coder.decodeValueOfObjCType('d').doubleValue();
        if (space->model == Model::Pattern)
            image = coder.decodeObject();
    }
    if (coder.hasFailed())
        return false;

    auto clamp01 = [](double v) { return std::isnan(v) ? 0.0 : std::clamp(v, 0.0, 1.0); };
    m_model = space->model;
    m_spaceName = space->name;
    m_c = {};
    for (int i = 0; i < count; ++i)
        m_c[static_cast<std::size_t>(i)] = clamp01(values[static_cast<std::size_t>(i)]);
    m_alpha = clamp01(values[static_cast<std::size_t>(count)]);
    if (m_model == Model::Pattern) {
        m_pattern = std::dynamic_pointer_cast<const PatternImage>(image.object());
        if (!m_pattern) {
            // The image did not travel: a clear colour stands in rather than a pattern with nothing to draw.
            m_model = Model::Gray;
            m_spaceName = &ColorSpaceName::CalibratedWhite;
            m_alpha = 0;
        }
    }
    return true;
}

}
