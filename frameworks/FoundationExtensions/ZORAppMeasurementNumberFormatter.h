#pragma once

#include "frameworks/FoundationExtensions/ZORApplicationMeasurementCenter.h"
#include "frameworks/FoundationExtensions/ZORMeasurementNumberFormatter.h"

// A measurement formatter whose display unit is the one the user chose for an application unit type; it follows
// every change of that choice. It also shows preset containers as their length and their name.
class ZORAppMeasurementNumberFormatter : public ZORMeasurementNumberFormatter {
    FND_OBJECT(ZORAppMeasurementNumberFormatter)

public:
    // Tied to the page unit.
    ZORAppMeasurementNumberFormatter();
    ZORAppMeasurementNumberFormatter(const ZORAppMeasurementNumberFormatter& other);
    ZORAppMeasurementNumberFormatter& operator=(const ZORAppMeasurementNumberFormatter&) = delete;
    ~ZORAppMeasurementNumberFormatter() override;

    DVNAppUnitType appUnitType() const { return m_appUnitType; }
    // Ties the formatter to the type and takes the type's current unit.
    void setAppUnitType(DVNAppUnitType type);
    // The unit is the measurement centre's for the app unit type: a unit set directly is ignored.
    void setShowType(ZORMeasurementUnitType) override { }

    // Takes the new unit when the notification is about this formatter's type.
    void handleZORApplicationMeasurementCenterDVNAppUnitDidChangedNotification(const fnd::Notification& notification);

    // A ZORNumberContainer shows as its number's text, a blank and its info text (when it has one).
    std::optional<fnd::String> stringForObjectValue(const fnd::Value& value) const override;
    std::shared_ptr<fnd::Formatter> copy() const override;

    // Keeps the type ("appUnitType"); a decoded formatter takes the type's unit as the user has it now.
    void encodeWithCoder(fnd::Coder& coder) const override;
    bool initWithCoder(fnd::Coder& coder) override;

private:
    void observeUnitChanges();

    DVNAppUnitType m_appUnitType { DVNAppUnit::Page };
    fnd::NotificationObserverToken m_observer;
};
