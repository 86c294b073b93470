#pragma once

#include "platform/layers/Layer.h"

#include <atomic>
#include <cstdint>

// An item layer of the card-flow view: a plain layer whose "index" (its content position) is a value of its own
// rather than one of its value bag, since a change of the content renumbers thousands of items at once and nothing
// draws or animates it.
class ZORCardFlowItemLayer : public ui::Layer {
    UI_LAYER_OBJECT(ZORCardFlowItemLayer)
    static void describeClass(fnd::ClassBuilder<ZORCardFlowItemLayer>& c);

public:
    // A presentation copy answers its layer's.
    std::int64_t index() const;
    void setIndex(std::int64_t index) { m_index = index; }
    void initWithLayer(const ui::Layer& layer) override;

private:
    std::atomic<std::int64_t> m_index { 0 };
};
