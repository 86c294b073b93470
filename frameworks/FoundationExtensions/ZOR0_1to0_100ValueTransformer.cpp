#include "frameworks/FoundationExtensions/ZOR0_1to0_100ValueTransformer.h"

FND_REGISTER_CLASS(ZOR0_1to0_100ValueTransformer, fnd::ValueTransformer)

fnd::Value ZOR0_1to0_100ValueTransformer::transformedValue(const fnd::Value& value) const
{
    return fnd::Value(value.floatValue() * 100.0f);
}

fnd::Value ZOR0_1to0_100ValueTransformer::reverseTransformedValue(const fnd::Value& value) const
{
    return fnd::Value(value.floatValue() / 100.0f);
}
