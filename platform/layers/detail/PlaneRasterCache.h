#pragma once

// Private to the layers module: each layer's drawn plane (background, contents, border, shadow, tint) kept between
// frames while none of what it is drawn from changes, so a moving or turning layer is only composited again.

#include "platform/graphics/BitmapImageRep.h"
#include "platform/graphics/Geometry.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>

namespace ui {
class Layer;
}

namespace ui::detail {

// What a plane's raster is drawn from. Colours are compared by value; a pattern colour makes a plane uncacheable.
struct PlaneRasterKey {
    gfx::Rect bounds;
    const gfx::BitmapImageRep* contents { nullptr };
    gfx::Rect contentsRect; // where the contents go in the bounds
    std::optional<std::array<double, 4>> background;
    std::optional<std::array<double, 4>> border;
    double borderWidth { 0 };
    double cornerRadius { 0 };
    bool masksToBounds { false };
    std::optional<std::array<double, 4>> shadowColor;
    double shadowOpacity { 0 };
    double shadowRadius { 0 };
    gfx::Size shadowOffset;
    std::array<double, 4> tint { 1, 1, 1, 1 };

    bool operator==(const PlaneRasterKey&) const = default;
};

// A raster of a whole plane: region (layer coordinates) at scale pixels per unit, inside a margin of repeated edges.
struct PlaneRaster {
    std::shared_ptr<gfx::BitmapImageRep> pixels;
    gfx::Rect region;
    double scale { 1 };
};

// Per thread, by model layer; the least recently used go first beyond the pixel budget.
class PlaneRasterCache {
public:
    static PlaneRasterCache& forThread();

    // The raster kept for the layer when it was drawn from the same key at a scale from wanted up to twice wanted
    // (sharp enough, and not wastefully large).
    const PlaneRaster* find(const Layer& model, const PlaneRasterKey& key, double wanted);
    void insert(const std::shared_ptr<Layer>& model, const PlaneRasterKey& key, PlaneRaster raster,
        std::shared_ptr<const gfx::BitmapImageRep> contents);
    void clear() { m_entries.clear(); }
    std::size_t count() const { return m_entries.size(); }

    // About 64 MB of pixels.
    static constexpr std::size_t PixelBudget = 16 * 1024 * 1024;

private:
    struct Entry {
        std::weak_ptr<Layer> model;
        PlaneRasterKey key;
        PlaneRaster raster;
        // Keeps the contents alive, so its address cannot come back as another picture's.
        std::shared_ptr<const gfx::BitmapImageRep> contents;
        std::uint64_t lastUsed { 0 };
    };
    void trim();

    std::unordered_map<const Layer*, Entry> m_entries;
    std::uint64_t m_clock { 0 };
};

}
