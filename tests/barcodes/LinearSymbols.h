#pragma once

#include "barcodes/TBQGenericBarcode.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

// A symbology created by name, as the application does, with its content set.
template <typename T = TBQGenericBarcode>
std::shared_ptr<T> makeSymbol(const char* className, const std::string& content = {})
{
    auto symbol = std::dynamic_pointer_cast<T>(TBQGenericBarcode::barcodeWithClassName(className));
    EXPECT_TRUE(symbol) << className << " is not registered as that class";
    if (symbol)
        symbol->setContent(fnd::String(content));
    return symbol;
}

// "Code39 CODE-39: 100101101101..." for failure messages.
inline std::string describe(const TBQGenericBarcode& b)
{
    return b.className().utf8() + " \"" + b.content().utf8() + "\": " + b.completeEncodedBarcode();
}
