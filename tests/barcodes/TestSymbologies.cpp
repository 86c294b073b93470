#include "TestSymbologies.h"

FND_REGISTER_CLASS(TestFixedDigits, TBQGenericBarcode)
FND_REGISTER_CLASS(TestUpperCase, TBQGenericBarcode)
FND_REGISTER_CLASS(TestMixedCase, TBQGenericBarcode)
FND_REGISTER_CLASS(TestGS1, TBQGenericBarcode)
FND_REGISTER_CLASS(TestPatterned, TBQGenericBarcode)
FND_REGISTER_CLASS(TestHeadline, TBQGenericBarcode)
