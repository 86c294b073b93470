// The pipeline that turns the validated content into modules, character by character through the hooks.
#include "barcodes/TBQGenericBarcode.h"

using namespace fnd;

ModuleString TBQGenericBarcode::encodeChar(unsigned char) const { return {}; }

ModuleString TBQGenericBarcode::encodedContent() const
{
    ModuleString out;
    const ModuleString gap = encodedInterCharacterSequence();
    auto encodeAll = [&](const std::string& bytes) {
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            if (i > 0)
                out += gap;
            out += encodeChar(static_cast<unsigned char>(bytes[i]));
        }
    };
    encodeAll(contentForEncoding().utf8());
    if (calculateChecksum() && !checksum().isEmpty()) {
        out += gap;
        encodeAll(checksum().utf8());
    }
    return out;
}

ModuleString TBQGenericBarcode::completeEncodedBarcode() const
{
    const ModuleString gap = encodedInterCharacterSequence();
    return encodedStartSequence() + gap + encodedContent() + gap + encodedStopSequence();
}
