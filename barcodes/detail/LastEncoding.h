#pragma once

#include <optional>
#include <string>
#include <string_view>

// The last content a matrix symbology encoded, with its symbol (or nullopt: too much data). A matrix depends on the
// content alone, yet every change of bar width, quiet zone or caption recalculates the work area, which encodes
// again: a slider dragged over the bar width would encode the same content at every step.
template <typename Symbol> class LastEncoding {
public:
    template <typename Encode> const std::optional<Symbol>& of(std::string_view content, Encode&& encode)
    {
        if (!m_content || *m_content != content) {
            m_symbol = encode(content);
            m_content = std::string(content);
        }
        return m_symbol;
    }

private:
    std::optional<std::string> m_content;
    std::optional<Symbol> m_symbol;
};
