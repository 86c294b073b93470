#pragma once

#include "platform/foundation/runtime/RunLoop.h"

#include <memory>

// GLib's context type, declared only so this header need not include GLib.
typedef struct _GMainContext GMainContext;

namespace fnd {

// Lets a GLib main context drive a run loop: a source in the context fires the loop's due timers and posted work
// in its active mode, and the loop's nested runs (tracking loops, modal sessions) iterate the context while they
// wait, so the context's other sources (window events) keep flowing. Use it on the loop's own thread, which must
// be the thread that iterates the context. Detaches on destruction.
class GLibRunLoopSource {
public:
    GLibRunLoopSource(std::shared_ptr<RunLoop> loop, GMainContext* context);
    ~GLibRunLoopSource();
    GLibRunLoopSource(const GLibRunLoopSource&) = delete;
    GLibRunLoopSource& operator=(const GLibRunLoopSource&) = delete;

private:
    class Impl;
    std::unique_ptr<Impl> m_impl;
};

}
