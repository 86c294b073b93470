#pragma once

#include "platform/foundation/runtime/Value.h"

#include <utility>
#include <vector>

// A multipart/form-data body of text fields, UTF-8 throughout. The boundary is random and checked against every
// value, so no content can end a part early.
class ZORMultipartFormData {
public:
    void addField(const fnd::String& name, const fnd::String& value) { m_fields.emplace_back(name, value); }
    // Starts the body with a copy of its content-type line and a blank line, before the first boundary (receivers
    // ignore it as the body's preamble).
    void setContentTypePreamble(bool flag) { m_contentTypePreamble = flag; }

    // Chooses the boundary and builds the body; contentType() names the same boundary afterwards.
    fnd::Data body();
    fnd::String contentType() const { return "multipart/form-data; boundary=" + m_boundary; }
    const fnd::String& boundary() const { return m_boundary; }

private:
    std::vector<std::pair<fnd::String, fnd::String>> m_fields;
    bool m_contentTypePreamble { false };
    fnd::String m_boundary;
};
