#include "frameworks/FoundationExtensions/ZORAppMeasurementNumberFormatter.h"

#include "frameworks/FoundationExtensions/ZORNumberContainer.h"

FND_REGISTER_CLASS(ZORAppMeasurementNumberFormatter, ZORMeasurementNumberFormatter)

ZORAppMeasurementNumberFormatter::ZORAppMeasurementNumberFormatter()
{
    observeUnitChanges();
    setAppUnitType(DVNAppUnit::Page);
}

ZORAppMeasurementNumberFormatter::ZORAppMeasurementNumberFormatter(const ZORAppMeasurementNumberFormatter& other)
    : ZORMeasurementNumberFormatter(other)
    , m_appUnitType(other.m_appUnitType)
{
    observeUnitChanges();
}

ZORAppMeasurementNumberFormatter::~ZORAppMeasurementNumberFormatter()
{
    fnd::NotificationCenter::defaultCenter().removeObserver(m_observer);
}

void ZORAppMeasurementNumberFormatter::observeUnitChanges()
{
    // The token is removed in the destructor, so the block never outlives the formatter.
    m_observer = fnd::NotificationCenter::defaultCenter().addObserverForName(
        ZORApplicationMeasurementCenterZORAppUnitDidChangedNotification, {}, [this](const fnd::Notification& n) {
            handleZORApplicationMeasurementCenterDVNAppUnitDidChangedNotification(n);
        });
}

void ZORAppMeasurementNumberFormatter::setAppUnitType(DVNAppUnitType type)
{
    m_appUnitType = type;
    ZORMeasurementNumberFormatter::setShowType(
        ZORApplicationMeasurementCenter::informationCenter().measurementUnitTypeForDVNAppUnitType(type));
}

void ZORAppMeasurementNumberFormatter::handleZORApplicationMeasurementCenterDVNAppUnitDidChangedNotification(
    const fnd::Notification& notification)
{
    if (notification.object() == fnd::Value(m_appUnitType))
        setAppUnitType(m_appUnitType);
}

std::optional<fnd::String> ZORAppMeasurementNumberFormatter::stringForObjectValue(const fnd::Value& value) const
{
    auto container = value.objectAs<ZORNumberContainer>();
    if (!container)
        return ZORMeasurementNumberFormatter::stringForObjectValue(value);
    auto text = ZORMeasurementNumberFormatter::stringForObjectValue(fnd::Value(container->numberObject()));
    if (text && container->infoString() && !container->infoString()->isEmpty())
        return *text + " " + *container->infoString();
    return text;
}

std::shared_ptr<fnd::Formatter> ZORAppMeasurementNumberFormatter::copy() const
{
    return std::make_shared<ZORAppMeasurementNumberFormatter>(*this);
}

void ZORAppMeasurementNumberFormatter::encodeWithCoder(fnd::Coder& coder) const
{
    ZORMeasurementNumberFormatter::encodeWithCoder(coder);
    if (coder.allowsKeyedCoding())
        coder.encodeInt32(m_appUnitType, "appUnitType");
}

bool ZORAppMeasurementNumberFormatter::initWithCoder(fnd::Coder& coder)
{
    if (!ZORMeasurementNumberFormatter::initWithCoder(coder))
        return false;
    m_appUnitType = coder.allowsKeyedCoding() && coder.containsValueForKey("appUnitType")
        ? coder.decodeInt32ForKey("appUnitType")
        : m_appUnitType;
    // The centre's unit for the type now; the archived format stands while it is the same unit.
    const auto unit
        = ZORApplicationMeasurementCenter::informationCenter().measurementUnitTypeForDVNAppUnitType(m_appUnitType);
    if (unit != showType())
        ZORMeasurementNumberFormatter::setShowType(unit);
    return true;
}
