// The symbols as an independent reader sees them.
#include "LinearSymbols.h"

#include "support/DecoderCheck.h"

#include <filesystem>
#include <string>

namespace {

struct Case {
    const char* className;
    const char* content;
    bool check; // the user's choice where there is one
    const char* read; // what zbarimg reports
};

void expectRead(const Case& c, int index)
{
    auto b = makeSymbol(c.className, c.content);
    ASSERT_TRUE(b);
    b->setCalculateChecksum(c.check);
    auto modules = b->completeEncodedBarcode();
    auto path = DecoderCheck::scratchPath(std::string("linear-") + c.className + "-" + std::to_string(index));
    ASSERT_TRUE(DecoderCheck::renderLinear(modules, path));
    auto read = DecoderCheck::zbarimg(path);
    if (!read)
        GTEST_SKIP() << "zbarimg is not installed";
    EXPECT_EQ(*read, c.read) << describe(*b);
    std::filesystem::remove(path);
}

void expectAllRead(const Case* begin, const Case* end)
{
    for (const Case* c = begin; c != end; ++c)
        expectRead(*c, static_cast<int>(c - begin));
}

}

TEST(LinearDecoder, Code39Family)
{
    const Case cases[] = {
        { "Code39", "HELLO WORLD", false, "CODE-39:HELLO WORLD" },
        { "Code39", "hello world", true, "CODE-39:HELLO WORLD." },
        { "Code39", "CODE39", true, "CODE-39:CODE39W" },
        { "Code39", "0123456789", false, "CODE-39:0123456789" },
        { "Code39", "ABCDEFGHIJKLMNOPQRSTUVWXYZ", false, "CODE-39:ABCDEFGHIJKLMNOPQRSTUVWXYZ" },
        { "Code39", "A-1.$/+%", true, "CODE-39:A-1.$/+%V" },
        { "Code39", "A*B", false, "CODE-39:AB" },
        // zbarimg shows full ASCII as the raw pairs.
        { "Code39FullASCII", "ab*/@_", false, "CODE-39:+A+B/J/O%V%O" },
        { "Code39FullASCII", "ab*/@_", true, "CODE-39:+A+B/J/O%V%OL" },
        { "Code39FullASCII", "Mixed Case 42!", false, "CODE-39:M+I+X+E+D C+A+S+E 42/A" },
        { "PZN", "1234562", true, "CODE-39:-12345626" },
        { "PZN", "0123458", true, "CODE-39:-01234585" },
        { "PZN", "2758089", true, "CODE-39:-27580899" },
    };
    expectAllRead(std::begin(cases), std::end(cases));
}

// zbarimg verifies both check characters and leaves them out.
TEST(LinearDecoder, Code93)
{
    const Case cases[] = {
        { "Code93", "TEST93", true, "CODE-93:TEST93" },
        { "Code93", "HELLO WORLD", true, "CODE-93:HELLO WORLD" },
        { "Code93", "0123456789", true, "CODE-93:0123456789" },
        { "Code93", "ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%", true, "CODE-93:ABCDEFGHIJKLMNOPQRSTUVWXYZ-. $/+%" },
        { "Code93", "1+", true, "CODE-93:1+" }, // the checks are the four shift characters
        { "Code93", "1%", true, "CODE-93:1%" },
        { "Code93", "2+", true, "CODE-93:2+" },
        { "Code93", "2%", true, "CODE-93:2%" },
        { "Code93", "$D", true, "CODE-93:$D" },
    };
    expectAllRead(std::begin(cases), std::end(cases));
}

TEST(LinearDecoder, Codabar)
{
    const Case cases[] = {
        { "Codabar", "A0123456789B", false, "Codabar:A0123456789B" },
        { "Codabar", "A0123456789B", true, "Codabar:A01234567892B" },
        { "Codabar", "C-$:/.+D", true, "Codabar:C-$:/.+0D" },
        { "Codabar", "D31117013206375C", true, "Codabar:D311170132063753C" },
        { "Codabar", "B40156B", true, "Codabar:B40156.B" },
    };
    expectAllRead(std::begin(cases), std::end(cases));
}

TEST(LinearDecoder, InterleavedTwoOfFive)
{
    const Case cases[] = {
        { "CodeTwoOfFiveInterleaved", "123456", false, "I2/5:123456" },
        { "CodeTwoOfFiveInterleaved", "1234567", true, "I2/5:12345670" },
        { "CodeTwoOfFiveInterleaved", "12345678", true, "I2/5:0123456784" }, // odd with its check: a leading 0
        { "CodeTwoOfFiveInterleaved", "9876543210", true, "I2/5:098765432105" },
        { "ITF14", "1234567890123", true, "I2/5:12345678901231" },
        { "ITF14", "0061414100001", true, "I2/5:00614141000012" },
        { "Identcode", "56310243031", true, "I2/5:563102430313" },
        { "Identcode", "21348075016", true, "I2/5:213480750167" },
        { "Leitcode", "1234567890123", true, "I2/5:12345678901236" },
        { "Leitcode", "9876543210987", true, "I2/5:98765432109874" },
        { "OPC", "123456789", true, "I2/5:1234567897" },
        { "OPC", "987654321", true, "I2/5:9876543217" },
    };
    expectAllRead(std::begin(cases), std::end(cases));
}
