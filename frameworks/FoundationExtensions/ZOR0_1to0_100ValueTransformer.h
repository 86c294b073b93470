#pragma once

#include "platform/foundation/bindings/ValueTransformer.h"

// Fractions (0 to 1) to percentages (0 to 100) for bindings, and back. Computed in single precision.
class ZOR0_1to0_100ValueTransformer : public fnd::ValueTransformer {
    FND_OBJECT(ZOR0_1to0_100ValueTransformer)

public:
    // The class of the values it answers, as classNameOf names it.
    static fnd::String transformedValueClass() { return "NSNumber"; }
    bool allowsReverseTransformation() const override { return true; }
    fnd::Value transformedValue(const fnd::Value& value) const override;
    fnd::Value reverseTransformedValue(const fnd::Value& value) const override;
};
