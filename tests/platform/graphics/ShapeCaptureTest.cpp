// A shape-capturing context keeps fills of opaque colours as outlines that draw the same pixels again, and gives up
// on anything whose pixels its outline does not tell.
#include "platform/graphics/BezierPath.h"
#include "platform/graphics/GraphicsContext.h"
#include "platform/graphics/Shadow.h"

#include "support/Canvas.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace gfx;

namespace {

std::optional<std::vector<CapturedFill>> captured(const std::function<void(GraphicsContext&)>& draw)
{
    auto capture = GraphicsContext::createForShapeCapture();
    {
        CurrentContextScope scope(capture);
        draw(*capture);
    }
    auto fills = capture->capturedFills();
    if (!fills)
        return std::nullopt;
    return std::vector<CapturedFill>(fills->begin(), fills->end());
}

}

TEST(ShapeCapture, FillsAreKeptWithTheirTransformAndDrawTheSamePixelsAgain)
{
    auto draw = [](GraphicsContext& context) {
        context.translateCTM(3.5, 2);
        context.fillRect({ 1, 1, 10, 6 });
        context.rotateCTM(0.3);
        context.setShouldAntialias(false);
        BezierPath::bezierPathWithOvalInRect({ 8, 2, 9, 7 })->fill();
    };
    const auto fills = captured(draw);
    ASSERT_TRUE(fills);
    ASSERT_EQ(fills->size(), 2u);
    EXPECT_FALSE((*fills)[0].path);
    EXPECT_EQ((*fills)[0].rect, (Rect { 1, 1, 10, 6 }));
    EXPECT_EQ((*fills)[0].ctm, AffineTransform::translation(3.5, 2));
    EXPECT_TRUE((*fills)[0].antialias);
    ASSERT_TRUE((*fills)[1].path);
    EXPECT_FALSE((*fills)[1].antialias);

    // Drawn directly, and drawn again from the record, in a canvas of its own: the same pixels.
    Canvas direct(30, 20);
    draw(direct.context());
    Canvas replayed(30, 20);
    for (const auto& fill : *fills) {
        replayed.context().setCTM(fill.ctm);
        replayed.context().setShouldAntialias(fill.antialias);
        if (fill.path)
            replayed.context().fillPath(*fill.path);
        else
            replayed.context().fillRect(fill.rect);
    }
    EXPECT_EQ(direct.picture(), replayed.picture());
    EXPECT_NE(direct.picture().find('#'), std::string::npos);
}

TEST(ShapeCapture, GivesUpOnWhatAnOutlineDoesNotTell)
{
    const std::vector<std::pair<const char*, std::function<void(GraphicsContext&)>>> cases {
        { "a translucent colour",
            [](GraphicsContext& c) {
                c.setFillColor(*Color::colorWithDeviceRed(0, 0, 0, 0.5));
                c.fillRect({ 0, 0, 4, 4 });
            } },
        { "alpha",
            [](GraphicsContext& c) {
                c.setAlpha(0.5);
                c.fillRect({ 0, 0, 4, 4 });
            } },
        { "another operator",
            [](GraphicsContext& c) {
                c.fillRectUsingOperation({ 0, 0, 4, 4 }, CompositingOperation::Copy);
            } },
        { "a shadow",
            [](GraphicsContext&) {
                Shadow shadow;
                shadow.setShadowBlurRadius(2);
                shadow.set();
                GraphicsContext::current()->fillRect({ 0, 0, 4, 4 });
            } },
        { "a clip",
            [](GraphicsContext& c) {
                c.clipToRect({ 0, 0, 2, 2 });
            } },
        { "a stroke",
            [](GraphicsContext&) {
                BezierPath::strokeRect({ 0, 0, 4, 4 });
            } },
        { "an image",
            [](GraphicsContext& c) {
                const std::uint32_t pixel = 0xFF000000;
                c.drawImage({ reinterpret_cast<const std::uint8_t*>(&pixel), 1, 1, 4 }, { 0, 0, 4, 4 }, {},
                    CompositingOperation::SourceOver, 1);
            } },
        { "a gradient",
            [](GraphicsContext& c) {
                const GradientStop stops[] = { { 0, { 0, 0, 0, 1 } }, { 1, { 1, 1, 1, 1 } } };
                c.drawLinearGradient(stops, { 0, 0 }, { 4, 0 }, 0);
            } },
    };
    for (const auto& [what, draw] : cases) {
        EXPECT_FALSE(captured([&](GraphicsContext& c) {
            c.fillRect({ 5, 5, 2, 2 });
            draw(c);
            c.fillRect({ 8, 8, 2, 2 });
        })) << what;
    }
    // Other contexts record nothing, and a capture draws nothing of its own.
    Canvas canvas(4, 4);
    EXPECT_FALSE(canvas.context().capturedFills());
    EXPECT_FALSE(GraphicsContext::createForShapeCapture()->pixelBuffer());
}
