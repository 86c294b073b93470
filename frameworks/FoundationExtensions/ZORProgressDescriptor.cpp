#include "frameworks/FoundationExtensions/ZORProgressDescriptor.h"

#include "platform/graphics/Image.h"

#include <fmt/format.h>

FND_REGISTER_CLASS(ZORProgressDescriptor, fnd::Object)

void ZORProgressDescriptor::describeClass(fnd::ClassBuilder<ZORProgressDescriptor>& c)
{
    c.property("isCancelled", &ZORProgressDescriptor::isCancelled, &ZORProgressDescriptor::setIsCancelled);
    c.property("allowCancel", &ZORProgressDescriptor::allowCancel);
    c.property("isIndeterminate", &ZORProgressDescriptor::isIndeterminate);
    c.property("title", &ZORProgressDescriptor::title, &ZORProgressDescriptor::setTitle);
    c.property("infoText", &ZORProgressDescriptor::infoText, &ZORProgressDescriptor::setInfoText);
    c.property("minValue", &ZORProgressDescriptor::minValue, &ZORProgressDescriptor::setMinValue);
    c.property("maxValue", &ZORProgressDescriptor::maxValue, &ZORProgressDescriptor::setMaxValue);
    c.property("currentValue", &ZORProgressDescriptor::currentValue, &ZORProgressDescriptor::setCurrentValue);
    // Nil while unset, as the update notification's "progressDescription" may leave it.
    c.property(
        "progressDescription",
        [](const ZORProgressDescriptor& d) {
            auto text = d.progressDescription();
            return text ? fnd::Value(*text) : fnd::Value();
        },
        [](ZORProgressDescriptor& d, const fnd::Value& value) {
            d.setProgressDescription(
                value.isNil() || value.isNull() ? std::nullopt : std::optional<fnd::String>(value.stringValue()));
        });
    c.property("image", &ZORProgressDescriptor::image, &ZORProgressDescriptor::setImage);
}

std::shared_ptr<ZORProgressDescriptor> ZORProgressDescriptor::initWithTitle(
    const fnd::String& title, const fnd::String& infoText, bool allowCancel)
{
    auto descriptor = std::make_shared<ZORProgressDescriptor>();
    descriptor->m_title = title;
    descriptor->m_infoText = infoText;
    descriptor->m_allowCancel = allowCancel;
    descriptor->m_isIndeterminate = true;
    return descriptor;
}

std::shared_ptr<ZORProgressDescriptor> ZORProgressDescriptor::initWithTitle(
    const fnd::String& title, const fnd::String& infoText, double minValue, double maxValue, bool allowCancel)
{
    auto descriptor = initWithTitle(title, infoText, allowCancel);
    descriptor->m_isIndeterminate = false;
    descriptor->m_minValue = minValue;
    descriptor->m_maxValue = maxValue;
    descriptor->m_currentValue = minValue;
    return descriptor;
}

std::shared_ptr<gfx::Image> ZORProgressDescriptor::image() const
{
    return locked(m_image);
}

void ZORProgressDescriptor::setImage(std::shared_ptr<gfx::Image> image)
{
    setLocked(m_image, std::move(image));
}

fnd::String ZORProgressDescriptor::title() const
{
    return locked(m_title);
}

void ZORProgressDescriptor::setTitle(const fnd::String& title)
{
    setLocked(m_title, title);
}

fnd::String ZORProgressDescriptor::infoText() const
{
    return locked(m_infoText);
}

void ZORProgressDescriptor::setInfoText(const fnd::String& infoText)
{
    setLocked(m_infoText, infoText);
}

std::optional<fnd::String> ZORProgressDescriptor::progressDescription() const
{
    return locked(m_progressDescription);
}

void ZORProgressDescriptor::setProgressDescription(std::optional<fnd::String> description)
{
    setLocked(m_progressDescription, std::move(description));
}

double ZORProgressDescriptor::minValue() const
{
    return locked(m_minValue);
}

void ZORProgressDescriptor::setMinValue(double value)
{
    setLocked(m_minValue, value);
}

double ZORProgressDescriptor::maxValue() const
{
    return locked(m_maxValue);
}

void ZORProgressDescriptor::setMaxValue(double value)
{
    setLocked(m_maxValue, value);
}

double ZORProgressDescriptor::currentValue() const
{
    return locked(m_currentValue);
}

void ZORProgressDescriptor::setCurrentValue(double value)
{
    setLocked(m_currentValue, value);
}

bool ZORProgressDescriptor::isCancelled() const
{
    return locked(m_isCancelled);
}

void ZORProgressDescriptor::setIsCancelled(bool cancelled)
{
    setLocked(m_isCancelled, cancelled);
}

fnd::String ZORProgressDescriptor::description() const
{
    std::lock_guard lock(m_mutex);
    return fnd::String(fmt::format("<ZORProgressDescriptor \u201c{}\u201d {} of {}..{}{}>", m_title.utf8(),
        m_currentValue, m_minValue, m_maxValue, m_isCancelled ? ", cancelled" : ""));
}
