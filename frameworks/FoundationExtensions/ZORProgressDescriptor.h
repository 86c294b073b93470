#pragma once

#include "platform/foundation/runtime/Object.h"

#include <memory>
#include <mutex>
#include <optional>
#include <utility>

namespace gfx {
class Image;
}

// One run of long work as the progress window shows it: texts, an optional icon, a value range and position, and
// whether the person may cancel it and has. The window cancels through key-value coding (key "isCancelled"); the
// work polls isCancelled(). The texts and the image may be read and written from any thread.
class ZORProgressDescriptor : public fnd::Object {
    FND_OBJECT(ZORProgressDescriptor)
    static void describeClass(fnd::ClassBuilder<ZORProgressDescriptor>& c);

public:
    ZORProgressDescriptor() = default;
    // Indeterminate: minimum, maximum and current value 0.
    static std::shared_ptr<ZORProgressDescriptor> initWithTitle(
        const fnd::String& title, const fnd::String& infoText, bool allowCancel);
    // Determinate, starting at the minimum.
    static std::shared_ptr<ZORProgressDescriptor> initWithTitle(
        const fnd::String& title, const fnd::String& infoText, double minValue, double maxValue, bool allowCancel);

    bool allowCancel() const { return m_allowCancel; }
    bool isIndeterminate() const { return m_isIndeterminate; }

    std::shared_ptr<gfx::Image> image() const;
    void setImage(std::shared_ptr<gfx::Image> image);
    fnd::String title() const;
    void setTitle(const fnd::String& title);
    fnd::String infoText() const;
    void setInfoText(const fnd::String& infoText);
    // nullopt until set.
    std::optional<fnd::String> progressDescription() const;
    void setProgressDescription(std::optional<fnd::String> description);

    double minValue() const;
    void setMinValue(double value);
    double maxValue() const;
    void setMaxValue(double value);
    double currentValue() const;
    void setCurrentValue(double value);

    bool isCancelled() const;
    void setIsCancelled(bool cancelled);

    fnd::String description() const override;

private:
    // A copy of the field, read under the lock.
    template <typename T> T locked(const T& field) const
    {
        std::lock_guard lock(m_mutex);
        return field;
    }
    // The field set under the lock.
    template <typename T, typename U> void setLocked(T& field, U&& value)
    {
        std::lock_guard lock(m_mutex);
        field = std::forward<U>(value);
    }

    mutable std::mutex m_mutex;
    bool m_allowCancel { false };
    bool m_isIndeterminate { true };
    std::shared_ptr<gfx::Image> m_image;
    fnd::String m_title;
    fnd::String m_infoText;
    std::optional<fnd::String> m_progressDescription;
    double m_minValue { 0 };
    double m_maxValue { 0 };
    double m_currentValue { 0 };
    bool m_isCancelled { false };
};
