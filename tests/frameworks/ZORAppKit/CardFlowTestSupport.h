#pragma once

#include "frameworks/ZORAppKit/ZORCardFlowView/ZORCardFlowView.h"

#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/OperationQueue.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/layers/Transaction.h"

#include <chrono>
#include <cmath>
#include <thread>

namespace cardflowtest {

// Where the row's formula puts the item at index i of n, for the selection s, in a scroll layer W wide with items of
// the size: start = floor((W - n w - (n - 1) w / 10) / 2 + 12) in single precision, x = start + i (w + w / 10),
// moved towards the selection by 0.75 w (d - 0.85) at distance d; the frame is (x, h, w, h), the layer's z -0.1 d,
// the picture turned to its side (-1 left, 0 facing, 1 right).
struct CardPlace {
    gfx::Rect frame;
    double z { 0 };
    int side { 0 };
};

inline CardPlace placeByFormula(double W, gfx::Size size, std::size_t count, std::int64_t s, std::int64_t i)
{
    float w = float(size.width), h = float(size.height), n = float(count);
    float start = std::floor((float(W) - n * w - (n - 1) * w / 10) / 2 + 12);
    double x = start + double(i) * (w + w / 10);
    float d = float(i < s ? s - i : i - s);
    CardPlace place;
    if (i != s) {
        x += (i < s ? 1 : -1) * 0.75 * w * (d - 0.85f);
        place.z = -0.1 * d;
        place.side = i < s ? -1 : 1;
    }
    place.frame = { x, h, w, h };
    return place;
}

// The picture's turn on each side: -0.79 radian about (0, -1, 0) on the left, +0.79 on the right.
inline ui::Transform3D turnOfSide(int side)
{
    return side == 0 ? ui::Transform3D::identity() : ui::Transform3D::rotation(side * 0.79, 0, -1, 0);
}

// Lets the view's picture loads finish and their pictures arrive (the main run loop applies them), until none is
// left under way, for at most half a minute of real time: pictures are made on a real thread, which a busy machine
// can hold back for long. False when loads were still under way then.
inline bool drainPictures(ZORCardFlowView& view, double seconds = 30)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    for (;;) {
        // A load hands its picture to the main queue before it counts as finished: the main queue is read second.
        bool loading = view.imageLoadQueue()->operationCount() > 0;
        bool delivering = fnd::OperationQueue::mainQueue()->operationCount() > 0;
        // A pass of the run loop runs one operation of the main queue.
        ui::Transaction::flush();
        fnd::RunLoop::current().runUntilDate(fnd::Clock::current()->now());
        if (!loading && !delivering)
            return true;
        if (std::chrono::steady_clock::now() >= until)
            return false;
        if (!delivering)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

}
