#include "frameworks/FoundationExtensions/ZORCSVExport.h"

#include "frameworks/FoundationExtensions/ZORCSVParser.h"

#include "platform/foundation/runtime/Object.h"

namespace {

bool needsQuotes(const fnd::String& value)
{
    for (char16_t c : value.units()) {
        if (ZORCSVSeparator::withCharacter(c))
            return true;
        switch (c) {
        case u'\n':
        case u'\r':
        case u' ':
        case u'\\':
        case 0x0B:
        case 0x0C:
        case 0x85:
        case 0x2028:
        case 0x2029:
            return true;
        default:
            break;
        }
    }
    // "#" would make the line a comment; a byte-order mark at the start of a file would be dropped.
    return !value.isEmpty() && (value.characterAt(0) == u'#' || value.characterAt(0) == 0xFEFF);
}

fnd::String fieldText(const fnd::Value& value)
{
    if (auto string = value.string())
        return *string;
    static const fnd::Selector stringRepresentation("stringRepresentation");
    if (auto object = value.object(); object && object->respondsTo(stringRepresentation))
        return object->perform(stringRepresentation).stringValue();
    return value.description();
}

}

fnd::String ZORCSVExport::escapeString(const fnd::String& value) const
{
    // Searched literally: a quote that a combining mark follows is one character with it, and a search by
    // characters would miss it, leaving a field whose quote the reader takes as an opening one.
    if (value.rangeOfString("\"", fnd::StringCompareOptions::Literal).location != fnd::NotFound) {
        auto doubled = value.stringByReplacingOccurrencesOfString("\"", "\"\"", fnd::StringCompareOptions::Literal);
        return "\"" + doubled + "\"";
    }
    if (m_forceQuotes || needsQuotes(value))
        return "\"" + value + "\"";
    return value;
}

fnd::Expected<fnd::Data> ZORCSVExport::encodeString(const fnd::String& string) const
{
    return fnd::dataUsingEncoding(string, m_encoding);
}

fnd::Expected<void> ZORCSVExport::writeRow(const fnd::Array& values)
{
    fnd::String line;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0)
            line.append(m_delimiterString);
        line.append(escapeString(fieldText(values[i])));
    }
    // A row of one empty value would be a blank line, which readers skip or join to the next row.
    if (values.size() == 1 && line.isEmpty())
        line = "\"\"";
    line.append(m_lineEndString);
    auto data = encodeString(line);
    if (!data)
        return std::unexpected(data.error());
    if (!m_filehandle)
        return std::unexpected(
            fnd::Error::make(fnd::ErrorDomain::Cocoa, 4, "The CSV exporter has no file to write to."));
    return m_filehandle->writeData(*data);
}

fnd::Expected<void> ZORCSVExport::writeRows(const std::vector<fnd::Array>& rows)
{
    const auto* separator = ZORCSVSeparator::withCode(m_separatorType);
    const char delimiter = separator ? separator->character : ',';
    m_delimiterString = fnd::String(std::string_view(&delimiter, 1));
    m_lineEndString = m_lineEndType == 1 ? "\r" : m_lineEndType == 2 ? "\n" : "\r\n";
    for (const auto& row : rows) {
        if (auto written = writeRow(row); !written)
            return written;
    }
    return {};
}
