#pragma once

#include "platform/layers/Layer.h"

#include <array>

namespace ui {

// Draws its sublayers instanceCount times. Instance k is moved by instanceTransform applied k times about the
// layer's bounds centre, and coloured by instanceColor plus k times the colour offsets (clamped to 0..1, multiplying
// the instance's colours and alpha). So scale (1, −1, 1) then translate (0, −h, 0) mirrors the bounds' y range 0..h
// onto −h..0: a reflection below. With preservesDepth the instances keep their depth in the superlayer's 3-D space
// (and are sorted by it) instead of being flattened into this layer's plane. Hit testing sees only the sublayers
// themselves.
class ReplicatorLayer : public Layer {
    UI_LAYER_OBJECT(ReplicatorLayer)
    static void describeClass(fnd::ClassBuilder<ReplicatorLayer>& c);

public:
    ReplicatorLayer() = default;
    static std::shared_ptr<ReplicatorLayer> layer() { return std::make_shared<ReplicatorLayer>(); }
    void initWithLayer(const Layer& layer) override;

    long instanceCount() const;
    void setInstanceCount(long count);
    Transform3D instanceTransform() const;
    void setInstanceTransform(const Transform3D& transform);
    gfx::ColorPtr instanceColor() const;
    void setInstanceColor(gfx::ColorPtr color);
    double instanceRedOffset() const;
    void setInstanceRedOffset(double offset);
    double instanceGreenOffset() const;
    void setInstanceGreenOffset(double offset);
    double instanceBlueOffset() const;
    void setInstanceBlueOffset(double offset);
    double instanceAlphaOffset() const;
    void setInstanceAlphaOffset(double offset);
    bool preservesDepth() const;
    void setPreservesDepth(bool flag);

    // The colour multiplier (r, g, b, a) of instance k.
    std::array<double, 4> colorOfInstance(long k) const;
    // The transform of instance k in the layer's coordinates.
    Transform3D transformOfInstance(long k) const;

protected:
    bool preservesSublayerDepth() const override { return preservesDepth(); }

private:
    struct Replication {
        long count { 1 };
        Transform3D transform;
        gfx::ColorPtr color;
        double redOffset { 0 };
        double greenOffset { 0 };
        double blueOffset { 0 };
        double alphaOffset { 0 };
        bool preservesDepth { false };
    };
    Replication m_r;
};

}
