#pragma once

#include "platform/foundation/runtime/Error.h"
#include "platform/graphics/BitmapImageRep.h"

#include <memory>

namespace ui {

// Still pictures from a camera, through GStreamer: the first video source the desktop's device monitor lists (a
// camera the kernel's video drivers serve), or a GStreamer source description set in its place.
class CameraCapture {
public:
    // Whether there is a camera to take a picture with.
    static bool isCameraAvailable();
    // One picture at the camera's own resolution (a point per pixel), taken after a few frames so that the camera
    // has settled; an error saying why when there is no camera or it gives no picture in time.
    static fnd::Expected<std::shared_ptr<gfx::BitmapImageRep>> takeSnapshot(double timeoutSeconds = 5);

    // A source description ("videotestsrc pattern=red") that stands for the camera, ending in an element; empty for
    // the real cameras.
    static void setSourceDescription(const fnd::String& description);
    static fnd::String sourceDescription();
};

}
