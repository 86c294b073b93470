#include "platform/layers/detail/PlaneRasterCache.h"

#include <algorithm>
#include <vector>

namespace ui::detail {

PlaneRasterCache& PlaneRasterCache::forThread()
{
    thread_local PlaneRasterCache cache;
    return cache;
}

const PlaneRaster* PlaneRasterCache::find(const Layer& model, const PlaneRasterKey& key, double wanted)
{
    auto at = m_entries.find(&model);
    if (at == m_entries.end())
        return nullptr;
    auto& entry = at->second;
    if (entry.model.expired() || entry.model.lock().get() != &model) {
        m_entries.erase(at);
        return nullptr;
    }
    if (!(entry.key == key) || entry.raster.scale < wanted * 0.999 || entry.raster.scale > wanted * 2)
        return nullptr;
    entry.lastUsed = ++m_clock;
    return &entry.raster;
}

void PlaneRasterCache::insert(const std::shared_ptr<Layer>& model, const PlaneRasterKey& key, PlaneRaster raster,
    std::shared_ptr<const gfx::BitmapImageRep> contents)
{
    if (!model || !raster.pixels)
        return;
    auto& entry = m_entries[model.get()];
    entry.model = model;
    entry.key = key;
    entry.contents = std::move(contents);
    entry.raster = std::move(raster);
    entry.lastUsed = ++m_clock;
    trim();
}

void PlaneRasterCache::trim()
{
    std::erase_if(m_entries, [](const auto& e) { return e.second.model.expired(); });
    std::size_t pixels = 0;
    for (const auto& [layer, entry] : m_entries)
        pixels += std::size_t(entry.raster.pixels->pixelsWide()) * std::size_t(entry.raster.pixels->pixelsHigh());
    if (pixels <= PixelBudget)
        return;
    std::vector<std::pair<std::uint64_t, const Layer*>> byAge;
    for (const auto& [layer, entry] : m_entries)
        byAge.emplace_back(entry.lastUsed, layer);
    std::sort(byAge.begin(), byAge.end());
    for (const auto& [age, layer] : byAge) {
        if (pixels <= PixelBudget * 3 / 4)
            break;
        auto& raster = m_entries[layer].raster;
        pixels -= std::size_t(raster.pixels->pixelsWide()) * std::size_t(raster.pixels->pixelsHigh());
        m_entries.erase(layer);
    }
}

}
