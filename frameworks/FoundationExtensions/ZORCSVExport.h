#pragma once

#include "platform/foundation/runtime/Error.h"
#include "platform/foundation/files/FileHandle.h"
#include "platform/foundation/runtime/StringEncoding.h"

#include <cstdint>
#include <memory>
#include <vector>

// Writes rows of values to a file handle as delimiter-separated text that the CSV reader and other programs read
// back as the same rows. A value is quoted when it holds a quote (each doubled), a separator of any kind, a line
// break, a blank or a backslash, when it starts with "#" (which would make its line a comment), when it is the only
// and empty value of its row (which would make a blank line), or always with forceQuotes.
class ZORCSVExport {
public:
    ZORCSVExport() = default;
    explicit ZORCSVExport(std::shared_ptr<fnd::FileHandle> filehandle)
        : m_filehandle(std::move(filehandle))
    {
    }

    const std::shared_ptr<fnd::FileHandle>& filehandle() const { return m_filehandle; }
    void setFilehandle(std::shared_ptr<fnd::FileHandle> filehandle) { m_filehandle = std::move(filehandle); }
    fnd::StringEncoding encoding() const { return m_encoding; }
    void setEncoding(fnd::StringEncoding encoding) { m_encoding = encoding; }
    // 0 ",", 1 ";", 2 tab; applied by writeRows.
    std::int64_t separatorType() const { return m_separatorType; }
    void setSeparatorType(std::int64_t type) { m_separatorType = type; }
    // 0 CR LF, 1 CR, 2 LF; applied by writeRows.
    std::int32_t lineEndType() const { return m_lineEndType; }
    void setLineEndType(std::int32_t type) { m_lineEndType = type; }
    bool forceQuotes() const { return m_forceQuotes; }
    void setForceQuotes(bool force) { m_forceQuotes = force; }

    fnd::String escapeString(const fnd::String& value) const;
    fnd::Expected<fnd::Data> encodeString(const fnd::String& string) const;

    // Strings as they are; other values by their "stringRepresentation" when they answer it, else their
    // description. A fresh exporter writes "," and "\r" until writeRows sets the strings from the types.
    fnd::Expected<void> writeRow(const fnd::Array& values);
    fnd::Expected<void> writeRows(const std::vector<fnd::Array>& rows);

private:
    std::shared_ptr<fnd::FileHandle> m_filehandle;
    // UTF-8 unless the caller chooses.
    fnd::StringEncoding m_encoding { fnd::StringEncoding::UTF8 };
    std::int64_t m_separatorType { 0 };
    std::int32_t m_lineEndType { 0 };
    bool m_forceQuotes { false };
    fnd::String m_delimiterString { "," };
    fnd::String m_lineEndString { "\r" };
};
