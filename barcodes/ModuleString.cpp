#include "barcodes/ModuleString.h"

#include <algorithm>

namespace BarcodeExtension {

ModuleString swapHandedness(std::string_view modules)
{
    ModuleString out(modules.size(), '0');
    for (std::size_t i = 0; i < modules.size(); ++i)
        out[i] = modules[i] == '0' ? '1' : '0';
    return out;
}

ModuleString swapParity(std::string_view modules)
{
    auto out = swapHandedness(modules);
    std::reverse(out.begin(), out.end());
    return out;
}

ModuleString expandWidthPattern(std::string_view widths)
{
    ModuleString out;
    for (std::size_t i = 0; i < widths.size(); ++i) {
        char c = widths[i];
        if (c >= '1' && c <= '4')
            out.append(static_cast<std::size_t>(c - '0'), i % 2 == 0 ? '1' : '0');
    }
    return out;
}

}

int barcodeDigitValue(char c)
{
    return c >= '0' && c <= '9' ? c - '0' : c - 55;
}

int barcodeIndexOfChar(std::string_view text, char c)
{
    auto i = text.find(c);
    return i == std::string_view::npos ? 0 : static_cast<int>(i);
}

void barcodeAppendString(std::string& destination, std::string_view source)
{
    destination.append(source);
}

bool barcodeIsDigitPair(std::string_view text, std::size_t index)
{
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    return index + 1 < text.size() && isDigit(text[index]) && isDigit(text[index + 1]);
}

char gs1DigitToChar(int value)
{
    return static_cast<char>(value < 10 ? '0' + value : 'A' + value - 10);
}

std::string gs1AIToString(int ai)
{
    std::string out = "(";
    if (ai >= 1000)
        out += static_cast<char>('0' + ai / 1000 % 10);
    if (ai > 99)
        out += static_cast<char>('0' + ai / 100 % 10);
    out += static_cast<char>('0' + ai / 10 % 10);
    out += static_cast<char>('0' + ai % 10);
    return out + ")";
}
