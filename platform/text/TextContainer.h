#pragma once

#include "platform/foundation/Object.h"
#include "platform/graphics/Geometry.h"

#include <memory>

namespace txt {

class LayoutManager;

// The area text is laid into: lines stack downwards from the top (y down) across the container's width.
class TextContainer : public fnd::Object {
    FND_OBJECT(TextContainer)
public:
    TextContainer() = default;
    explicit TextContainer(gfx::Size size)
        : m_size(size)
    {
    }

    gfx::Size containerSize() const { return m_size; }
    void setContainerSize(gfx::Size size);
    // Room kept free at both ends of each line fragment; 5 points by default.
    double lineFragmentPadding() const { return m_padding; }
    void setLineFragmentPadding(double padding);

    // The layout manager that holds the container (nullptr when none).
    std::shared_ptr<LayoutManager> layoutManager() const { return m_layoutManager.lock(); }

private:
    friend class LayoutManager;
    void invalidateLayout();

    gfx::Size m_size { 1e7, 1e7 };
    double m_padding { 5 };
    std::weak_ptr<LayoutManager> m_layoutManager;
};

}
