#include "frameworks/ZORAppKit/ZORMeasurementTextField/ZORAppMeasurementTextField.h"

#include "frameworks/FoundationExtensions/ZORAppMeasurementNumberFormatter.h"

#include "platform/foundation/runtime/ClassBuilder.h"

FND_REGISTER_CLASS(ZORAppMeasurementTextField, ZORMeasurementTextField)

void ZORAppMeasurementTextField::describeClass(fnd::ClassBuilder<ZORAppMeasurementTextField>& c)
{
    c.property("calUnitType", &ZORAppMeasurementTextField::calUnitType, &ZORAppMeasurementTextField::setCalUnitType);
}

ZORAppMeasurementTextField::~ZORAppMeasurementTextField()
{
    if (m_observer)
        fnd::NotificationCenter::defaultCenter().removeObserver(m_observer);
}

std::shared_ptr<ZORAppMeasurementTextField> ZORAppMeasurementTextField::create(gfx::Rect frame)
{
    return ui::makeView<ZORAppMeasurementTextField>(frame);
}

void ZORAppMeasurementTextField::initWithFrame(gfx::Rect frame)
{
    ZORMeasurementTextField::initWithFrame(frame);
    setup();
}

void ZORAppMeasurementTextField::setup()
{
    if (m_observer)
        return;
    // Held weakly: the field stops listening when it goes.
    std::weak_ptr<ZORAppMeasurementTextField> weak
        = std::static_pointer_cast<ZORAppMeasurementTextField>(shared_from_this());
    m_observer = fnd::NotificationCenter::defaultCenter().addObserverForName(
        ZORApplicationMeasurementCenterZORAppUnitDidChangedNotification, {}, [weak](const fnd::Notification& n) {
            if (auto field = weak.lock())
                field->handleZORApplicationMeasurementCenterZORAppUnitDidChangedNotification(n);
        });
}

void ZORAppMeasurementTextField::setCalUnitType(std::int64_t type)
{
    m_calUnitType = type;
}

void ZORAppMeasurementTextField::handleZORApplicationMeasurementCenterZORAppUnitDidChangedNotification(
    const fnd::Notification& notification)
{
    if (notification.object().integerValue() != m_calUnitType)
        return;
    setCalUnitType(m_calUnitType);
    // The formatter may hear of the change after the field: it takes the unit now, then the same length is shown in
    // it (editing in progress is taken first, so nothing typed is lost).
    if (auto formatter = std::dynamic_pointer_cast<ZORAppMeasurementNumberFormatter>(this->formatter()))
        formatter->setAppUnitType(formatter->appUnitType());
    setObjectValue(objectValue());
    setNeedsDisplay(true);
}

void ZORAppMeasurementTextField::encodeWithCoder(fnd::Coder& coder) const
{
    ZORMeasurementTextField::encodeWithCoder(coder);
    if (coder.allowsKeyedCoding())
        coder.encodeInt64(m_calUnitType, "_calUnitType");
    else
        coder.encodeValueOfObjCType('i', fnd::Number(static_cast<long long>(m_calUnitType)));
}

bool ZORAppMeasurementTextField::initWithCoder(fnd::Coder& coder)
{
    if (!ZORMeasurementTextField::initWithCoder(coder))
        return false;
    setCalUnitType(coder.allowsKeyedCoding() ? coder.decodeInt64ForKey("_calUnitType")
                                             : coder.decodeValueOfObjCType('i').integerValue());
    setup();
    return true;
}
