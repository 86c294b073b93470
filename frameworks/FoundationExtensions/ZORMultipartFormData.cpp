#include "frameworks/FoundationExtensions/ZORMultipartFormData.h"

#include <random>

namespace {

fnd::String randomBoundary()
{
    static constexpr char Digits[] = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";
    thread_local std::mt19937_64 generator { std::random_device {}() };
    std::uniform_int_distribution<int> pick(0, 61);
    std::string boundary = "ZORFormBoundary";
    for (int i = 0; i < 24; ++i)
        boundary += Digits[pick(generator)];
    return fnd::String(boundary);
}

}

fnd::Data ZORMultipartFormData::body()
{
    auto occursInContent = [this](const fnd::String& boundary) {
        for (const auto& [name, value] : m_fields) {
            if (value.rangeOfString(boundary).location != fnd::NotFound)
                return true;
        }
        return false;
    };
    do
        m_boundary = randomBoundary();
    while (occursInContent(m_boundary));

    fnd::String text = m_contentTypePreamble ? "Content-Type: " + contentType() + "\r\n\r\n" : fnd::String();
    for (const auto& [name, value] : m_fields) {
        text
            += "--" + m_boundary + "\r\nContent-Disposition: form-data; name=\"" + name + "\"\r\n\r\n" + value + "\r\n";
    }
    text += "--" + m_boundary + "--\r\n";
    return fnd::Data::fromString(text.utf8());
}
