#include "frameworks/ZORAppKit/ZORNumberTextField/ZORNumberTextField.h"

#include "frameworks/FoundationExtensions/detail/FormatPattern.h"

#include "platform/foundation/locale/NumberFormatter.h"
#include "platform/foundation/runtime/ClassBuilder.h"

FND_REGISTER_CLASS(ZORNumberTextField, ui::TextField)

void ZORNumberTextField::describeClass(fnd::ClassBuilder<ZORNumberTextField>& c)
{
    c.property("showNumberType", &ZORNumberTextField::showNumberType, &ZORNumberTextField::setShowNumberType);
    // Read as a whole number of any size and clamped, so -1 or 2^40 in an interface file become 0 or the bound
    // rather than wrapping into the 32-bit setter.
    c.property(
        "numberOfDigitsAfterPoint",
        [](const ZORNumberTextField& field) { return std::int64_t { field.numberOfDigitsAfterPoint() }; },
        [](ZORNumberTextField& field, std::int64_t digits) {
            field.setNumberOfDigitsAfterPoint(ZORFormatPattern::clampedDigitsAfterPoint(digits));
        });
    c.property(
        "formatter", [](const ZORNumberTextField& field) { return field.formatter(); },
        [](ZORNumberTextField& field, const std::shared_ptr<fnd::Formatter>& formatter) {
            field.setFormatter(formatter);
        });
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
    m_numberOfDigitsAfterPoint = ZORFormatPattern::clampedDigitsAfterPoint(digits);
    setNewFormatString();
}

void ZORNumberTextField::setFormatter(std::shared_ptr<fnd::Formatter> formatter)
{
    ui::TextField::setFormatter(std::move(formatter));
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
    // A field laid out in an interface file shows one line, as a decoded one does.
    cell()->setWraps(false);
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
    if (coder.allowsKeyedCoding()) {
        m_showType = coder.decodeInt32ForKey("showType");
        if (!ZORFormatPattern::decodeDigitsAfterPoint(coder, m_numberOfDigitsAfterPoint))
            return false;
    }
    // Only a field made in code wraps.
    cell()->setWraps(false);
    setNewFormatString();
    return true;
}
