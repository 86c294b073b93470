#include "platform/ui/panels/CameraCapture.h"

#include "platform/ui/views/detail/PanelText.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>

#include <chrono>
#include <mutex>

namespace ui {

namespace {

// Frames let by before the picture: cameras adjust their exposure over the first ones.
constexpr int CameraSettlingFrames = 3;

std::mutex& cameraCaptureMutex()
{
    static std::mutex mutex;
    return mutex;
}

fnd::String& cameraCaptureSource()
{
    static fnd::String source;
    return source;
}

void cameraCaptureInit()
{
    static std::once_flag once;
    std::call_once(once, [] { gst_init(nullptr, nullptr); });
}

struct CameraCaptureUnref {
    void operator()(gpointer object) const
    {
        if (object)
            gst_object_unref(object);
    }
};
using CameraCaptureElement = std::unique_ptr<GstElement, CameraCaptureUnref>;
using CameraCaptureDevice = std::unique_ptr<GstDevice, CameraCaptureUnref>;

fnd::Error cameraCaptureError(const fnd::String& description)
{
    return fnd::Error::make("CameraCapture", 1, description);
}

// The first video source of the device monitor, or nullptr.
CameraCaptureDevice cameraCaptureFirstCamera()
{
    cameraCaptureInit();
    GstDeviceMonitor* monitor = gst_device_monitor_new();
    gst_device_monitor_add_filter(monitor, "Video/Source", nullptr);
    GList* devices = gst_device_monitor_get_devices(monitor);
    CameraCaptureDevice first(devices ? GST_DEVICE(gst_object_ref(devices->data)) : nullptr);
    g_list_free_full(devices, gst_object_unref);
    gst_object_unref(monitor);
    return first;
}

// The first error the pipeline posted, as text.
fnd::String cameraCaptureBusError(GstElement* pipeline)
{
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* message = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR);
    gst_object_unref(bus);
    if (!message)
        return {};
    GError* error = nullptr;
    gst_message_parse_error(message, &error, nullptr);
    fnd::String text(error && error->message ? error->message : "");
    g_clear_error(&error);
    gst_message_unref(message);
    return text;
}

// A sample of BGRx frames as an opaque premultiplied ARGB32 bitmap.
std::shared_ptr<gfx::BitmapImageRep> cameraCaptureBitmap(GstSample* sample)
{
    GstVideoInfo info;
    if (!gst_video_info_from_caps(&info, gst_sample_get_caps(sample)))
        return nullptr;
    const int width = GST_VIDEO_INFO_WIDTH(&info), height = GST_VIDEO_INFO_HEIGHT(&info);
    const int stride = GST_VIDEO_INFO_PLANE_STRIDE(&info, 0);
    auto bitmap = gfx::BitmapImageRep::create(width, height, gfx::BitmapLayout::ARGB32Premultiplied);
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstMapInfo map;
    if (!bitmap || !buffer || !gst_buffer_map(buffer, &map, GST_MAP_READ))
        return nullptr;
    auto pixels = bitmap->pixelBuffer();
    if (map.size >= std::size_t(stride) * std::size_t(height - 1) + std::size_t(width) * 4) {
        for (int y = 0; y < height; ++y) {
            const auto* in = map.data + std::size_t(y) * std::size_t(stride);
            auto* out = pixels.row(y);
            // Bytes B, G, R, x.
            for (int x = 0; x < width; ++x)
                out[x] = 0xff000000u | std::uint32_t(in[4 * x + 2]) << 16 | std::uint32_t(in[4 * x + 1]) << 8
                    | std::uint32_t(in[4 * x]);
        }
    } else {
        bitmap = nullptr;
    }
    gst_buffer_unmap(buffer, &map);
    if (bitmap)
        bitmap->setSize({ double(width), double(height) });
    return bitmap;
}

}

bool CameraCapture::isCameraAvailable()
{
    if (!sourceDescription().isEmpty())
        return true;
    return cameraCaptureFirstCamera() != nullptr;
}

fnd::Expected<std::shared_ptr<gfx::BitmapImageRep>> CameraCapture::takeSnapshot(double timeoutSeconds)
{
    cameraCaptureInit();
    const auto description = sourceDescription();
    GstElement* source = nullptr;
    if (!description.isEmpty()) {
        GError* error = nullptr;
        source = gst_parse_bin_from_description(description.utf8().c_str(), TRUE, &error);
        if (!source) {
            auto text = fnd::String(error ? error->message : "");
            g_clear_error(&error);
            return std::unexpected(cameraCaptureError(text));
        }
        g_clear_error(&error);
    } else {
        auto camera = cameraCaptureFirstCamera();
        if (!camera)
            return std::unexpected(cameraCaptureError(detail::panelText("CameraNone", "No camera found")));
        source = gst_device_create_element(camera.get(), nullptr);
    }
    CameraCaptureElement pipeline(gst_pipeline_new("snapshot"));
    GstElement* convert = gst_element_factory_make("videoconvert", nullptr);
    GstElement* sink = gst_element_factory_make("appsink", nullptr);
    if (!source || !convert || !sink) {
        for (GstElement* element : { source, convert, sink })
            if (element)
                gst_object_unref(gst_object_ref_sink(element));
        return std::unexpected(cameraCaptureError(
            detail::panelText("CameraMissingElements", "The camera cannot be read: video elements are missing.")));
    }
    GstCaps* caps = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGRx", nullptr);
    g_object_set(sink, "caps", caps, "sync", FALSE, nullptr);
    gst_caps_unref(caps);
    gst_bin_add_many(GST_BIN(pipeline.get()), source, convert, sink, nullptr);
    if (!gst_element_link_many(source, convert, sink, nullptr))
        return std::unexpected(cameraCaptureError(
            detail::panelText("CameraNoPictures", "The camera gives no pictures this program can read.")));

    auto failure = [&](const char* key, const char* english) {
        auto reason = cameraCaptureBusError(pipeline.get());
        gst_element_set_state(pipeline.get(), GST_STATE_NULL);
        auto text = detail::panelText(key, english);
        return std::unexpected(cameraCaptureError(reason.isEmpty() ? text : text + " " + reason));
    };
    if (gst_element_set_state(pipeline.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
        return failure("CameraNotStarted", "The camera could not be started.");

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    GstSample* sample = nullptr;
    for (int frame = 0; frame <= CameraSettlingFrames; ++frame) {
        if (sample)
            gst_sample_unref(sample);
        const auto left
            = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - std::chrono::steady_clock::now());
        sample
            = left.count() > 0 ? gst_app_sink_try_pull_sample(GST_APP_SINK(sink), GstClockTime(left.count())) : nullptr;
        if (!sample)
            return failure("CameraNoPicture", "The camera gave no picture in time.");
    }
    auto bitmap = cameraCaptureBitmap(sample);
    gst_sample_unref(sample);
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    if (!bitmap)
        return std::unexpected(cameraCaptureError(
            detail::panelText("CameraNoPictures", "The camera gives no pictures this program can read.")));
    return bitmap;
}

void CameraCapture::setSourceDescription(const fnd::String& description)
{
    std::lock_guard lock(cameraCaptureMutex());
    cameraCaptureSource() = description;
}

fnd::String CameraCapture::sourceDescription()
{
    std::lock_guard lock(cameraCaptureMutex());
    return cameraCaptureSource();
}

}
