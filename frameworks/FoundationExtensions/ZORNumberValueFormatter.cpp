#include "frameworks/FoundationExtensions/ZORNumberValueFormatter.h"

#include "frameworks/FoundationExtensions/detail/FormatPattern.h"

FND_REGISTER_CLASS(ZORNumberValueFormatter, fnd::NumberFormatter)

ZORNumberValueFormatter::ZORNumberValueFormatter()
{
    setNewFormatString();
}

void ZORNumberValueFormatter::setShowNumberType(std::int32_t type)
{
    m_showType = type;
    setNewFormatString();
}

void ZORNumberValueFormatter::setNumberOfDigitsAfterPoint(std::uint32_t digits)
{
    m_numberOfDigitsAfterPoint = ZORFormatPattern::clampedDigitsAfterPoint(digits);
    setNewFormatString();
}

void ZORNumberValueFormatter::setNewFormatString()
{
    ZORFormatPattern::setSuffixedNumberFormat(*this, m_showType, m_numberOfDigitsAfterPoint);
}

std::shared_ptr<fnd::Formatter> ZORNumberValueFormatter::copy() const
{
    return std::make_shared<ZORNumberValueFormatter>(*this);
}

void ZORNumberValueFormatter::encodeWithCoder(fnd::Coder& coder) const
{
    // Decoding makes the format from the settings: the archive holds that format, not one set directly since, so it
    // reads back as it was written.
    auto made = std::static_pointer_cast<ZORNumberValueFormatter>(copy());
    made->setNewFormatString();
    made->fnd::NumberFormatter::encodeWithCoder(coder);
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeInt32(m_showType, "showType");
    coder.encodeInt64(m_numberOfDigitsAfterPoint, "numberOfDigitsAfterPoint");
}

bool ZORNumberValueFormatter::initWithCoder(fnd::Coder& coder)
{
    if (!fnd::NumberFormatter::initWithCoder(coder))
        return false;
    if (coder.allowsKeyedCoding()) {
        if (coder.containsValueForKey("showType"))
            m_showType = coder.decodeInt32ForKey("showType");
        if (!ZORFormatPattern::decodeDigitsAfterPoint(coder, m_numberOfDigitsAfterPoint))
            return false;
    }
    setNewFormatString();
    return true;
}
