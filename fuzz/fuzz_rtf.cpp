// Reads arbitrary bytes as RTF. Whatever reads must write, and the written RTF must read back to the same text
// (attachments, which RTF leaves out, and the kinds of paragraph break aside).
#include "platform/text/RTF.h"

#include <cstdlib>
#include <string>

namespace {

std::u16string comparable(const fnd::String& text)
{
    std::u16string out;
    for (char16_t c : text.units()) {
        if (c == 0xFFFC)
            continue;
        out += (c == u'\r' || c == 0x2029) ? u'\n' : c;
    }
    return out;
}

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    auto text = txt::attributedStringFromRTF(fnd::Data(bytes, size));
    if (!text)
        return 0;
    auto written = txt::RTFFromAttributedString(*text);
    auto reread = txt::attributedStringFromRTF(written);
    if (!reread || comparable(reread->string()) != comparable(text->string()))
        std::abort();
    return 0;
}
