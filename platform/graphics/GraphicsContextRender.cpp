#include "platform/graphics/detail/GraphicsContextImpl.h"

#include "platform/graphics/Color.h"
#include "platform/graphics/detail/CairoAccess.h"

#include <algorithm>
#include <cmath>
#include <cstring>

// How a primitive reaches the target: straight through Cairo when it can, otherwise drawn into a group that gets
// the shadow beneath it, the image masks, the global alpha and finally the compositing operator.

namespace gfx {

namespace {

bool isPlainOp(cairo_operator_t op)
{
    return op != CAIRO_OPERATOR_SOURCE && op != CAIRO_OPERATOR_CLEAR;
}

}

std::shared_ptr<cairo_surface_t> GraphicsContext::Impl::tileFor(
    const std::shared_ptr<const PatternImage>& image, double scale)
{
    std::erase_if(tiles, [](const auto& tile) { return tile.first.expired(); });
    for (const auto& [key, surface] : tiles)
        if (key.lock() == image)
            return surface;
    Size size = image->patternSize();
    if (!(size.width > 0 && size.height > 0) || size.width * scale > 4096 || size.height * scale > 4096)
        return nullptr;
    int w = std::max(1, static_cast<int>(std::ceil(size.width * scale)));
    int h = std::max(1, static_cast<int>(std::ceil(size.height * scale)));
    auto tileContext = GraphicsContext::createForBitmap(w, h, size);
    if (!tileContext)
        return nullptr;
    {
        CurrentContextScope scope(tileContext);
        image->drawPatternTile(*tileContext);
    }
    auto pixels = *tileContext->pixelBuffer();
    std::shared_ptr<cairo_surface_t> surface(
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h), cairo_surface_destroy);
    cairo_surface_flush(surface.get());
    unsigned char* dst = cairo_image_surface_get_data(surface.get());
    int dstStride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < h; ++y)
        std::memcpy(dst + y * dstStride, pixels.data + y * pixels.stride, std::size_t(w) * 4);
    cairo_surface_mark_dirty(surface.get());
    tiles.emplace_back(image, surface);
    return surface;
}

void GraphicsContext::Impl::setSource(cairo_t* c, const Color& color)
{
    cairo_set_antialias(c, state().antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
    if (auto rgba = color.rgbaIfAvailable()) {
        cairo_set_source_rgba(c, (*rgba)[0], (*rgba)[1], (*rgba)[2], (*rgba)[3]);
        return;
    }
    // A pattern tile repeats from the base-space origin, at the device's resolution.
    double scale = hasPixels() ? std::max(scaleX, scaleY) : 4.0;
    auto tile = color.patternImage() ? tileFor(color.patternImage(), scale) : nullptr;
    if (!tile) {
        cairo_set_source_rgba(c, 0, 0, 0, 0);
        return;
    }
    Size size = color.patternImage()->patternSize();
    double rx = cairo_image_surface_get_width(tile.get()) / size.width;
    double ry = cairo_image_surface_get_height(tile.get()) / size.height;
    AffineTransform m = state().ctm;
    m.appendTransform(AffineTransform::scaling(1 / scaleX, 1 / scaleY));
    m.appendTransform({ rx, 0, 0, -ry, 0, double(cairo_image_surface_get_height(tile.get())) });
    CairoPatternPtr pattern(cairo_pattern_create_for_surface(tile.get()));
    cairo_pattern_set_extend(pattern.get(), CAIRO_EXTEND_REPEAT);
    cairo_pattern_set_filter(pattern.get(), CAIRO_FILTER_NEAREST);
    cairo_matrix_t cm = toCairo(m);
    cairo_pattern_set_matrix(pattern.get(), &cm);
    cairo_set_source(c, pattern.get());
}

void GraphicsContext::Impl::render(const CairoDraw& draw)
{
    // Whatever reaches the pipeline on a shape-capturing context is more than an outline.
    if (abandonsCapture())
        return;
    cairo_t* c = cr.get();
    const State& s = state();
    // A singular transform squashes everything to nothing (Cairo keeps the last usable matrix meanwhile).
    double det = s.ctm.determinant();
    if (det == 0 || !std::isfinite(det))
        return;
    cairo_operator_t op = toCairo(s.op);
    bool pixelBlend = s.op == CompositingOperation::PlusDarker && hasPixels();
    bool group = s.alpha < 1 || !s.masks.empty() || s.shadow || pixelBlend;
    if (!group) {
        draw(c, op);
        return;
    }
    cairo_save(c);
    cairo_push_group(c);
    if (s.shadow)
        paintShadow(draw);
    draw(c, CAIRO_OPERATOR_OVER);
    cairo_pattern_t* content = cairo_pop_group(c);
    for (const auto& mask : s.masks) {
        cairo_push_group(c);
        cairo_set_source(c, content);
        cairo_save(c);
        cairo_identity_matrix(c);
        cairo_mask(c, mask.get());
        cairo_restore(c);
        cairo_pattern_destroy(content);
        content = cairo_pop_group(c);
    }
    if (pixelBlend) {
        blendPlusDarker(content);
    } else if (isPlainOp(op)) {
        // FIXME: the operators Cairo treats as unbounded (source in/out, destination in/atop) change the whole clip
        // area here, where a direct draw changes only what it covers.
        cairo_set_source(c, content);
        cairo_set_operator(c, op);
        cairo_paint_with_alpha(c, s.alpha);
    } else {
        // Copy and clear replace only what the drawing covers: the content's alpha stands in for the coverage.
        cairo_push_group_with_content(c, CAIRO_CONTENT_ALPHA);
        cairo_set_source(c, content);
        cairo_paint_with_alpha(c, s.alpha);
        cairo_pattern_t* coverage = cairo_pop_group(c);
        cairo_set_source(c, content);
        cairo_set_operator(c, op);
        cairo_mask(c, coverage);
        cairo_pattern_destroy(coverage);
    }
    cairo_pattern_destroy(content);
    cairo_restore(c);
}

void GraphicsContext::Impl::paintShadow(const CairoDraw& draw)
{
    const ShadowSpec& shadow = *state().shadow;
    cairo_t* c = cr.get();
    // Vector targets get a raster shadow at twice the page resolution.
    double s = hasPixels() ? 1.0 : 2.0;
    double sigma = shadow.blurRadius / 2 * s * (scaleX + scaleY) / 2;
    double ox = shadow.offset.width * scaleX * s;
    double oy = -shadow.offset.height * scaleY * s;
    int margin = static_cast<int>(std::ceil(3 * sigma)) + 2;
    // Only shadow that lands in the clip shows: the mask covers the clip's device box (scaled), plus the blur's reach.
    double cx1 = 0, cy1 = 0, cx2 = deviceWidth, cy2 = deviceHeight;
    cairo_save(c);
    cairo_identity_matrix(c);
    cairo_clip_extents(c, &cx1, &cy1, &cx2, &cy2);
    cairo_restore(c);
    cx1 = std::max(cx1, 0.0);
    cy1 = std::max(cy1, 0.0);
    cx2 = std::min(cx2, double(deviceWidth));
    cy2 = std::min(cy2, double(deviceHeight));
    if (cx2 <= cx1 || cy2 <= cy1)
        return;
    int left = static_cast<int>(std::floor(cx1 * s)) - margin;
    int top = static_cast<int>(std::floor(cy1 * s)) - margin;
    int w = static_cast<int>(std::ceil(cx2 * s)) + margin - left;
    int h = static_cast<int>(std::ceil(cy2 * s)) + margin - top;

    // The shape is recorded first, placed where its shadow falls (scaled device space, offset applied), so the mask
    // and its blur cover only what the shape reaches plus the blur's spread, not the whole clip: a shadowed line or
    // title in a large view blurs a few hundred pixels instead of the view.
    CairoSurfacePtr recording(cairo_recording_surface_create(CAIRO_CONTENT_ALPHA, nullptr));
    {
        CairoPtr rc(cairo_create(recording.get()));
        cairo_matrix_t user;
        cairo_get_matrix(c, &user);
        cairo_matrix_t place;
        cairo_matrix_init_scale(&place, s, s);
        place.x0 = ox;
        place.y0 = oy;
        cairo_matrix_t m;
        cairo_matrix_multiply(&m, &user, &place);
        cairo_set_matrix(rc.get(), &m);
        draw(rc.get(), CAIRO_OPERATOR_OVER);
    }
    double inkX = 0, inkY = 0, inkW = 0, inkH = 0;
    cairo_recording_surface_ink_extents(recording.get(), &inkX, &inkY, &inkW, &inkH);
    if (!(inkW > 0 && inkH > 0) || !std::isfinite(inkX + inkY + inkW + inkH))
        return;
    const double inkLeft = std::max(double(left), std::floor(inkX) - margin);
    const double inkTop = std::max(double(top), std::floor(inkY) - margin);
    const double inkRight = std::min(double(left + w), std::ceil(inkX + inkW) + margin);
    const double inkBottom = std::min(double(top + h), std::ceil(inkY + inkH) + margin);
    if (inkRight <= inkLeft || inkBottom <= inkTop)
        return;
    left = static_cast<int>(inkLeft);
    top = static_cast<int>(inkTop);
    w = static_cast<int>(inkRight) - left;
    h = static_cast<int>(inkBottom) - top;
    if (w > 16384 || h > 16384)
        return;

    // Mask pixel q shows what the shape covers at scaled device position q + (left, top) − offset.
    CairoSurfacePtr mask(cairo_image_surface_create(CAIRO_FORMAT_A8, w, h));
    {
        CairoPtr mc(cairo_create(mask.get()));
        cairo_set_source_surface(mc.get(), recording.get(), -left, -top);
        cairo_paint(mc.get());
    }
    cairo_surface_flush(mask.get());
    if (sigma > 0)
        blurAlpha(mask.get(), sigma);

    cairo_save(c);
    cairo_identity_matrix(c);
    cairo_scale(c, 1 / s, 1 / s);
    cairo_set_operator(c, CAIRO_OPERATOR_OVER);
    cairo_set_source_rgba(c, shadow.rgba[0], shadow.rgba[1], shadow.rgba[2], shadow.rgba[3]);
    cairo_mask_surface(c, mask.get(), left, top);
    cairo_restore(c);
}

void GraphicsContext::Impl::blendPlusDarker(cairo_pattern_t* content)
{
    cairo_surface_t* source = nullptr;
    if (cairo_pattern_get_surface(content, &source) != CAIRO_STATUS_SUCCESS
        || cairo_surface_get_type(source) != CAIRO_SURFACE_TYPE_IMAGE)
        return;
    cairo_surface_flush(source);
    cairo_surface_flush(surface.get());
    double offsetX = 0, offsetY = 0;
    cairo_surface_get_device_offset(source, &offsetX, &offsetY);
    int sw = cairo_image_surface_get_width(source);
    int sh = cairo_image_surface_get_height(source);
    int sstride = cairo_image_surface_get_stride(source);
    const unsigned char* sdata = cairo_image_surface_get_data(source);
    auto scale = static_cast<unsigned>(std::lround(state().alpha * 255));
    // Group pixel (gx, gy) lies over target pixel (gx − offset).
    int dx0 = static_cast<int>(std::lround(-offsetX));
    int dy0 = static_cast<int>(std::lround(-offsetY));
    for (int gy = 0; gy < sh; ++gy) {
        int ty = gy + dy0;
        if (ty < 0 || ty >= pixels.height)
            continue;
        auto* srow = reinterpret_cast<const std::uint32_t*>(sdata + gy * sstride);
        std::uint32_t* drow = pixels.row(ty);
        for (int gx = 0; gx < sw; ++gx) {
            int tx = gx + dx0;
            if (tx < 0 || tx >= pixels.width)
                continue;
            std::uint32_t sp = srow[gx];
            if (sp == 0)
                continue;
            auto channel = [&](int shift) { return ((sp >> shift & 0xFF) * scale + 127) / 255; };
            unsigned sa = channel(24), sr = channel(16), sg = channel(8), sb = channel(0);
            std::uint32_t dp = drow[tx];
            unsigned da = alphaOf(dp), dr = redOf(dp), dg = greenOf(dp), db = blueOf(dp);
            unsigned ra = std::min(255u, sa + da);
            // Darkness adds up: each side contributes alpha − colour.
            auto mix = [&](unsigned s, unsigned d) {
                int v = int(ra) - int(sa - s) - int(da - d);
                return static_cast<std::uint8_t>(std::clamp(v, 0, int(ra)));
            };
            drow[tx] = packPixel(static_cast<std::uint8_t>(ra), mix(sr, dr), mix(sg, dg), mix(sb, db));
        }
    }
    cairo_surface_mark_dirty(surface.get());
}

void GraphicsContext::clipToMask(ConstPixelBufferView mask, const Rect& rect, bool maskFlipped)
{
    auto& i = *m_impl;
    if (!i.isLive() || !mask.isValid() || rect.isEmpty())
        return;
    if (i.abandonsCapture())
        return;
    // Our own copy of the alpha: the caller's pixels may go before the state does.
    std::shared_ptr<cairo_surface_t> alpha(
        cairo_image_surface_create(CAIRO_FORMAT_A8, mask.width, mask.height), cairo_surface_destroy);
    cairo_surface_flush(alpha.get());
    unsigned char* a = cairo_image_surface_get_data(alpha.get());
    int stride = cairo_image_surface_get_stride(alpha.get());
    for (int y = 0; y < mask.height; ++y)
        for (int x = 0; x < mask.width; ++x)
            a[y * stride + x] = alphaOf(mask.pixel(x, y));
    cairo_surface_mark_dirty(alpha.get());

    cairo_matrix_t userToDevice;
    cairo_get_matrix(i.cr.get(), &userToDevice);
    AffineTransform deviceToUser = fromCairo(userToDevice);
    if (!deviceToUser.invert())
        return;
    AffineTransform toImage = deviceToUser;
    toImage.appendTransform(AffineTransform::translation(-rect.minX(), -rect.minY()));
    toImage.appendTransform(AffineTransform::scaling(mask.width / rect.width(), mask.height / rect.height()));
    if (!maskFlipped)
        toImage.appendTransform({ 1, 0, 0, -1, 0, double(mask.height) });
    cairo_pattern_t* pattern = cairo_pattern_create_for_surface(alpha.get());
    cairo_matrix_t m = toCairo(toImage);
    cairo_pattern_set_matrix(pattern, &m);
    cairo_pattern_set_extend(pattern, CAIRO_EXTEND_NONE);
    cairo_pattern_set_filter(pattern, toCairo(i.state().interpolation));
    i.state().masks.emplace_back(pattern, cairo_pattern_destroy);
}

void blurAlpha(cairo_surface_t* a8, double sigma)
{
    int w = cairo_image_surface_get_width(a8);
    int h = cairo_image_surface_get_height(a8);
    int stride = cairo_image_surface_get_stride(a8);
    unsigned char* data = cairo_image_surface_get_data(a8);

    // Three box widths whose repeated application has the Gaussian's variance.
    double ideal = std::sqrt(12 * sigma * sigma / 3 + 1);
    int wl = static_cast<int>(std::floor(ideal));
    if (wl % 2 == 0)
        --wl;
    int wu = wl + 2;
    int m = static_cast<int>(std::lround((12 * sigma * sigma - 3.0 * wl * wl - 12.0 * wl - 9) / (-4.0 * wl - 4)));
    int radii[3];
    for (int k = 0; k < 3; ++k)
        radii[k] = ((k < m ? wl : wu) - 1) / 2;

    std::vector<float> a(std::size_t(w) * h), b(a.size());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            a[std::size_t(y) * w + x] = data[y * stride + x];

    auto pass = [](const float* in, float* out, int count, int step, int r) {
        if (r <= 0) {
            for (int k = 0; k < count; ++k)
                out[k * step] = in[k * step];
            return;
        }
        double sum = 0;
        double norm = 1.0 / (2 * r + 1);
        // Pixels beyond the edge are transparent.
        for (int k = 0; k <= r && k < count; ++k)
            sum += in[k * step];
        for (int k = 0; k < count; ++k) {
            out[k * step] = static_cast<float>(sum * norm);
            int add = k + r + 1, drop = k - r;
            if (add < count)
                sum += in[add * step];
            if (drop >= 0)
                sum -= in[drop * step];
        }
    };
    for (int r : radii) {
        for (int y = 0; y < h; ++y)
            pass(&a[std::size_t(y) * w], &b[std::size_t(y) * w], w, 1, r);
        for (int x = 0; x < w; ++x)
            pass(&b[x], &a[x], h, w, r);
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            data[y * stride + x]
                = static_cast<unsigned char>(std::clamp(std::lround(a[std::size_t(y) * w + x]), 0L, 255L));
    cairo_surface_mark_dirty(a8);
}

}

namespace gfx::detail {

void drawWithCairo(GraphicsContext& context, const std::function<void(cairo_t*)>& draw)
{
    auto& i = context.impl();
    if (!i.isLive() || !draw)
        return;
    if (i.abandonsCapture())
        return;
    i.render([&](cairo_t* c, cairo_operator_t op) {
        cairo_save(c);
        cairo_set_operator(c, op);
        cairo_set_antialias(c, i.state().antialias ? CAIRO_ANTIALIAS_DEFAULT : CAIRO_ANTIALIAS_NONE);
        draw(c);
        cairo_restore(c);
    });
}

void setFillSource(GraphicsContext& context, cairo_t* c)
{
    auto& i = context.impl();
    i.setSource(c, *i.state().fill);
}

}
