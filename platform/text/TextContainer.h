#pragma once

#include "platform/foundation/runtime/Object.h"
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

    // Whether the text view showing the container keeps the container's width (height) equal to its own, less the
    // text container inset.
    bool widthTracksTextView() const { return m_widthTracksTextView; }
    void setWidthTracksTextView(bool flag) { m_widthTracksTextView = flag; }
    bool heightTracksTextView() const { return m_heightTracksTextView; }
    void setHeightTracksTextView(bool flag) { m_heightTracksTextView = flag; }

    // The layout manager that holds the container (nullptr when none).
    std::shared_ptr<LayoutManager> layoutManager() const { return m_layoutManager.lock(); }

private:
    friend class LayoutManager;
    void invalidateLayout();

    gfx::Size m_size { 1e7, 1e7 };
    double m_padding { 5 };
    bool m_widthTracksTextView { false };
    bool m_heightTracksTextView { false };
    std::weak_ptr<LayoutManager> m_layoutManager;
};

}
