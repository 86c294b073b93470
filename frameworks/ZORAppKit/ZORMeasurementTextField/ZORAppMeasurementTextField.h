#pragma once

#include "frameworks/ZORAppKit/ZORMeasurementTextField/ZORMeasurementTextField.h"

#include "frameworks/FoundationExtensions/ZORApplicationMeasurementCenter.h"

#include "platform/foundation/archiving/Coding.h"

#include <cstdint>

// A measurement field that follows one of the application's unit types: when the person chooses another unit for
// that type, the field shows its value again in the new unit (its formatter, an application measurement formatter,
// takes the unit; the field then redisplays the same length).
//
// Archived under "_calUnitType" (keyed) or as one raw integer (sequential).
class ZORAppMeasurementTextField : public ZORMeasurementTextField {
    FND_OBJECT(ZORAppMeasurementTextField)
    static void describeClass(fnd::ClassBuilder<ZORAppMeasurementTextField>& c);

public:
    ZORAppMeasurementTextField() = default;
    ~ZORAppMeasurementTextField() override;
    static std::shared_ptr<ZORAppMeasurementTextField> create(gfx::Rect frame = {});
    void initWithFrame(gfx::Rect frame) override;

    std::int64_t calUnitType() const { return m_calUnitType; }
    void setCalUnitType(std::int64_t type);

    void handleZORApplicationMeasurementCenterZORAppUnitDidChangedNotification(const fnd::Notification& notification);

    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    void setup();

    std::int64_t m_calUnitType { DVNAppUnit::Page };
    fnd::NotificationObserverToken m_observer {};
};
