#pragma once

#include <memory>

namespace fnd {
class RunLoop;
}

namespace fnd::detail {

// Binds the calling thread to a loop made before the thread started, so others can post to it early.
void setCurrentRunLoop(std::shared_ptr<RunLoop> loop);

}
