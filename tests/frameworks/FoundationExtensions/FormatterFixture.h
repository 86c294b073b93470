#pragma once

#include "platform/foundation/files/Bundle.h"
#include "platform/foundation/archiving/KeyedArchiver.h"
#include "platform/foundation/archiving/KeyedUnarchiver.h"

#include <gtest/gtest.h>

#include <memory>

// The formatters read their words from the application's bundle, as they do in the application.
class FormatterTest : public ::testing::Test {
protected:
    void SetUp() override { fnd::Bundle::setMainBundleName("Barcodes"); }
    void TearDown() override { fnd::Bundle::setMainBundleName({}); }
};

// The object after a trip through a keyed archive.
template <typename T> std::shared_ptr<T> throughArchive(const std::shared_ptr<T>& object)
{
    auto data = fnd::KeyedArchiver::archivedDataWithRootObject(fnd::Value(object));
    EXPECT_TRUE(data);
    if (!data)
        return nullptr;
    return fnd::KeyedUnarchiver::unarchiveObjectWithData(*data).objectAs<T>();
}
