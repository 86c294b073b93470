#include "frameworks/ZORAppKit/ZORNumberTextField/ZORNumberTextField.h"

#include "frameworks/FoundationExtensions/detail/FormatPattern.h"

#include "platform/foundation/locale/NumberFormatter.h"
#include "platform/foundation/runtime/ClassBuilder.h"

FND_REGISTER_CLASS(ZORNumberTextField, ui::TextField)

void ZORNumberTextField::describeClass(fnd::ClassBuilder<ZORNumberTextField>& c)
{
    c.property("showNumberType", &ZORNumberTextField::showNumberType, &ZORNumberTextField::setShowNumberType);
    c.property("numberOfDigitsAfterPoint", &ZORNumberTextField::numberOfDigitsAfterPoint,
        &ZORNumberTextField::setNumberOfDigitsAfterPoint);
}

std::shared_ptr<ZORNumberTextField> ZORNumberTextField::create(gfx::Rect frame)
{
    return ui::makeView<ZORNumberTextField>(frame);
}

void ZORNumberTextField::initWithFrame(gfx::Rect frame)
{
    ui::TextField::initWithFrame(frame);
    auto formatter = fnd::makeObject<fnd::NumberFormatter>();
    formatter->setLocalizesFormat(true);
    setFormatter(formatter);
    m_showType = Percent;
    m_numberOfDigitsAfterPoint = 4;
    cell()->setWraps(true);
    setNewFormatString();
    setObjectValue(0);
}

void ZORNumberTextField::setShowNumberType(std::int32_t type)
{
    m_showType = type;
    setNewFormatString();
}

void ZORNumberTextField::setNumberOfDigitsAfterPoint(std::uint32_t digits)
{
    m_numberOfDigitsAfterPoint = digits;
    setNewFormatString();
}

void ZORNumberTextField::setNewFormatString()
{
    auto formatter = std::dynamic_pointer_cast<fnd::NumberFormatter>(this->formatter());
    if (!formatter)
        return;
    ZORFormatPattern::setSuffixedNumberFormat(*formatter, m_showType, m_numberOfDigitsAfterPoint);
    // The text shown is made again with the new format.
    setNeedsDisplay(true);
}

std::optional<double> ZORNumberTextField::maximum() const
{
    auto formatter = std::dynamic_pointer_cast<fnd::NumberFormatter>(this->formatter());
    return formatter ? formatter->maximum() : std::nullopt;
}

void ZORNumberTextField::setMaximum(std::optional<double> maximum)
{
    if (auto formatter = std::dynamic_pointer_cast<fnd::NumberFormatter>(this->formatter()))
        formatter->setMaximum(maximum);
}

std::optional<double> ZORNumberTextField::minimum() const
{
    auto formatter = std::dynamic_pointer_cast<fnd::NumberFormatter>(this->formatter());
    return formatter ? formatter->minimum() : std::nullopt;
}

void ZORNumberTextField::setMinimum(std::optional<double> minimum)
{
    if (auto formatter = std::dynamic_pointer_cast<fnd::NumberFormatter>(this->formatter()))
        formatter->setMinimum(minimum);
}

void ZORNumberTextField::awakeFromNib()
{
    ui::TextField::awakeFromNib();
    setNewFormatString();
}

void ZORNumberTextField::encodeWithCoder(fnd::Coder& coder) const
{
    ui::TextField::encodeWithCoder(coder);
    if (!coder.allowsKeyedCoding())
        return;
    coder.encodeInt32(m_showType, "showType");
    coder.encodeInt64(m_numberOfDigitsAfterPoint, "numberOfDigitsAfterPoint");
}

bool ZORNumberTextField::initWithCoder(fnd::Coder& coder)
{
    if (!ui::TextField::initWithCoder(coder))
        return false;
    if (!coder.allowsKeyedCoding())
        return true;
    // The archived cell keeps its wrapping: a field does not change its look by being archived.
    m_showType = coder.decodeInt32ForKey("showType");
    m_numberOfDigitsAfterPoint = static_cast<std::uint32_t>(
        fnd::decodeBoundedIntegerForKey(coder, "numberOfDigitsAfterPoint", 0, 15, m_numberOfDigitsAfterPoint));
    if (coder.hasFailed())
        return false;
    setNewFormatString();
    return true;
}
