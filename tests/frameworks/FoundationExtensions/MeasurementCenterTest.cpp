#include "frameworks/FoundationExtensions/ZORApplicationMeasurementCenter.h"

#include "platform/foundation/files/UserDefaults.h"

#include <gtest/gtest.h>

namespace {

using namespace ZORMeasurementUnit;

class MeasurementCenter : public ::testing::Test {
protected:
    void SetUp() override
    {
        for (DVNAppUnitType type = 0; type < 4; ++type)
            defaults().removeObjectForKey(ZORApplicationMeasurementCenter::defaultsKeyForDVNAppUnitType(type));
        m_token = fnd::NotificationCenter::defaultCenter().addObserverForName(
            ZORApplicationMeasurementCenterZORAppUnitDidChangedNotification, {},
            [this](const fnd::Notification& n) { posted.push_back(n.object()); });
    }
    void TearDown() override { fnd::NotificationCenter::defaultCenter().removeObserver(m_token); }

    static fnd::UserDefaults& defaults() { return fnd::UserDefaults::standardUserDefaults(); }
    static ZORApplicationMeasurementCenter& centre() { return ZORApplicationMeasurementCenter::informationCenter(); }

    std::vector<fnd::Value> posted;

private:
    fnd::NotificationObserverToken m_token;
};

TEST_F(MeasurementCenter, FreshInstallationHasTheRegisteredUnits)
{
    ZORApplicationMeasurementCenter::initializeInformationCenter();
    EXPECT_EQ(centre().measurementUnitTypeForDVNAppUnitType(DVNAppUnit::Page), Centimeter);
    EXPECT_EQ(centre().measurementUnitTypeForDVNAppUnitType(DVNAppUnit::Font), Point);
    EXPECT_EQ(centre().measurementUnitTypeForDVNAppUnitType(DVNAppUnit::Line), Millimeter);
    EXPECT_EQ(centre().measurementUnitTypeForDVNAppUnitType(DVNAppUnit::TextRuler), Millimeter);
    EXPECT_EQ(centre().measurementUnitTypeForDVNAppUnitType(7), Point);
    EXPECT_EQ(&centre(), &ZORApplicationMeasurementCenter::informationCenter());
}

TEST_F(MeasurementCenter, StoresTheChoiceAndAnnouncesTheType)
{
    centre().setMeasurementUnitType(Inch, DVNAppUnit::Line);
    EXPECT_EQ(defaults().persistentDomain().get("ZORICLineUnitMeasurementType"), fnd::Value(4));
    EXPECT_EQ(centre().measurementUnitTypeForDVNAppUnitType(DVNAppUnit::Line), Inch);
    EXPECT_EQ(centre().measurementUnitTypeForDVNAppUnitType(DVNAppUnit::Page), Centimeter);
    EXPECT_EQ(posted, std::vector<fnd::Value> { fnd::Value(2) });
}

TEST_F(MeasurementCenter, UnknownTypeStoresNothingButStillAnnounces)
{
    auto before = defaults().persistentDomain();
    centre().setMeasurementUnitType(Inch, 7);
    EXPECT_EQ(defaults().persistentDomain(), before);
    EXPECT_EQ(posted, std::vector<fnd::Value> { fnd::Value(7) });
}

}
