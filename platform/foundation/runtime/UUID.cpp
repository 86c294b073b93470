#include "platform/foundation/runtime/UUID.h"

#include "platform/foundation/runtime/Exception.h"

#include <sys/random.h>

#include <cerrno>

namespace fnd {

UUID::UUID()
{
    std::size_t filled = 0;
    while (filled < m_bytes.size()) {
        auto got = getrandom(m_bytes.data() + filled, m_bytes.size() - filled, 0);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            // Without randomness an identifier could repeat; that must never pass silently.
            throw Exception::internalInconsistency("The kernel's random source is not available.");
        }
        filled += static_cast<std::size_t>(got);
    }
    m_bytes[6] = static_cast<std::uint8_t>((m_bytes[6] & 0x0F) | 0x40); // version 4
    m_bytes[8] = static_cast<std::uint8_t>((m_bytes[8] & 0x3F) | 0x80); // variant 10xx
}

String UUID::UUIDString() const
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < m_bytes.size(); ++i) {
        if (i == 4 || i == 6 || i == 8 || i == 10)
            text += '-';
        text += Hex[m_bytes[i] >> 4];
        text += Hex[m_bytes[i] & 0x0F];
    }
    return String(text);
}

}
