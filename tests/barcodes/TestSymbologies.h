#pragma once

#include "barcodes/TBQGenericBarcode.h"

// Small symbologies that exercise the shared pipeline without depending on a real one.

// Twelve digits, padded on the right, as the UPC/EAN family validates.
class TestFixedDigits : public TBQGenericBarcode {
    FND_OBJECT(TestFixedDigits)
public:
    fnd::Index maximumOfAllowedCharacters() const override { return 12; }
    fnd::Index minimumOfAllowedCharacters() const override { return 12; }
};

// Upper-case letters and digits: lower-case input is upper-cased.
class TestUpperCase : public TBQGenericBarcode {
    FND_OBJECT(TestUpperCase)
public:
    fnd::CharacterSet allowedCharacterSet() const override
    {
        return fnd::CharacterSet::characterSetWithCharactersInString("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ");
    }
};

// Every ASCII letter: the case is kept.
class TestMixedCase : public TBQGenericBarcode {
    FND_OBJECT(TestMixedCase)
public:
    fnd::CharacterSet allowedCharacterSet() const override
    {
        return fnd::CharacterSet::characterSetWithCharactersInString(
            "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    }
};

// GS1 element strings.
class TestGS1 : public TBQGenericBarcode {
    FND_OBJECT(TestGS1)
public:
    bool validateGS1() const override { return true; }
    fnd::CharacterSet allowedCharacterSet() const override
    {
        return fnd::CharacterSet::characterSetWithRange({ 32, 95 });
    }
};

// Digits as "1010", between characters "0", start "11", stop "111", and the check character "3" always.
class TestPatterned : public TBQGenericBarcode {
    FND_OBJECT(TestPatterned)
public:
    ModuleString encodeChar(unsigned char c) const override
    {
        return c >= '0' && c <= '9' ? ModuleString("10") + static_cast<char>(c) : ModuleString();
    }
    ModuleString encodedStartSequence() const override { return "11"; }
    ModuleString encodedStopSequence() const override { return "111"; }
    ModuleString encodedInterCharacterSequence() const override { return "0"; }
    bool autoGenerateChecksum() const override { return true; }
    void generateChecksum() override { setChecksum("3"); }
};

// A headline above the bars, as the book-number symbologies draw.
class TestHeadline : public TBQGenericBarcode {
    FND_OBJECT(TestHeadline)
public:
    bool drawHeadline() const override { return true; }
    fnd::String headline() const override { return "HEAD"; }
};
