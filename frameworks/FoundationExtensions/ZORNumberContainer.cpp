#include "frameworks/FoundationExtensions/ZORNumberContainer.h"

#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"

FND_REGISTER_CLASS(ZORNumberContainer, fnd::Object)

namespace {

std::optional<fnd::Number> numberOf(const fnd::Value& value)
{
    if (auto* number = value.number())
        return *number;
    if (auto container = value.objectAs<ZORNumberContainer>())
        return container->numberObject();
    return std::nullopt;
}

std::optional<fnd::String> optionalString(const fnd::Value& value)
{
    if (auto* string = value.string())
        return *string;
    return std::nullopt;
}

fnd::Value valueOf(const std::optional<fnd::String>& string)
{
    return string ? fnd::Value(*string) : fnd::Value();
}

}

void ZORNumberContainer::describeClass(fnd::ClassBuilder<ZORNumberContainer>& c)
{
    c.property(
        "numberObject", [](const ZORNumberContainer& self) { return fnd::Value(self.m_number); },
        [](ZORNumberContainer& self, const fnd::Value& value) {
            self.setNumberObject(value.number() ? *value.number() : fnd::Number(value.doubleValue()));
        });
    c.property(
        "infoString", [](const ZORNumberContainer& self) { return valueOf(self.m_infoString); },
        [](ZORNumberContainer& self, const fnd::Value& value) { self.m_infoString = optionalString(value); });
}

std::shared_ptr<ZORNumberContainer> ZORNumberContainer::numberContainerWithNumber(
    fnd::Number number, std::optional<fnd::String> infoString)
{
    auto container = std::make_shared<ZORNumberContainer>();
    container->m_number = number;
    container->m_infoString = std::move(infoString);
    return container;
}

void ZORNumberContainer::mapArchivedClassName()
{
    fnd::KeyedArchiver::setGlobalClassName(ArchivedClassName, staticClassInfo());
    fnd::KeyedUnarchiver::setGlobalClass(staticClassInfo(), ArchivedClassName);
}

std::partial_ordering ZORNumberContainer::compare(const fnd::Value& other) const
{
    if (auto number = numberOf(other))
        return m_number <=> *number;
    return std::partial_ordering::unordered;
}

bool ZORNumberContainer::isEqualToValue(const fnd::Value& other) const
{
    return compare(other) == 0;
}

bool ZORNumberContainer::isEqual(const fnd::Object& other) const
{
    auto* container = dynamic_cast<const ZORNumberContainer*>(&other);
    return container && m_number == container->m_number;
}

std::size_t ZORNumberContainer::hash() const
{
    // Equal numbers of any kind (2 and 2.0) must hash alike.
    return std::hash<double>()(m_number.doubleValue());
}

fnd::String ZORNumberContainer::description() const
{
    auto text = m_number.stringValue();
    return m_infoString ? text + " " + *m_infoString : text;
}

std::shared_ptr<ZORNumberContainer> ZORNumberContainer::copy() const
{
    return numberContainerWithNumber(m_number, m_infoString);
}

void ZORNumberContainer::encodeWithCoder(fnd::Coder& coder) const
{
    if (coder.allowsKeyedCoding()) {
        coder.encodeObject(fnd::Value(m_number), "numberObject");
        coder.encodeObject(valueOf(m_infoString), "infoString");
    } else {
        coder.encodeObject(fnd::Value(m_number));
        coder.encodeObject(valueOf(m_infoString));
    }
}

bool ZORNumberContainer::initWithCoder(fnd::Coder& coder)
{
    auto number = coder.allowsKeyedCoding() ? coder.decodeObjectForKey("numberObject") : coder.decodeObject();
    auto info = coder.allowsKeyedCoding() ? coder.decodeObjectForKey("infoString") : coder.decodeObject();
    m_number = fnd::Number(0.0f);
    if (number.number())
        setNumberObject(*number.number());
    m_infoString = optionalString(info);
    return true;
}
