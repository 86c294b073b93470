// What every fuzz target shares beyond its set-up (FuzzEnvironment.cpp).
#pragma once

// Ends an input as the application ends a pass of its run loop: a frame's worth of time (time moves only when a
// target moves it) and one turn of the loop, so what the input scheduled (displays, implicit transactions,
// animations) runs or lets go of what it holds, and no input's leftovers are counted against the next.
void fuzzEndInputAsARunLoopPass();
