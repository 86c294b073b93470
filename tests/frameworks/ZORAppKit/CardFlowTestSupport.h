#pragma once

#include "frameworks/ZORAppKit/ZORCardFlowView/ZORCardFlowView.h"

#include "platform/foundation/runtime/Clock.h"
#include "platform/foundation/runtime/OperationQueue.h"
#include "platform/foundation/runtime/RunLoop.h"
#include "platform/layers/Transaction.h"

#include <chrono>
#include <thread>

namespace cardflowtest {

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
