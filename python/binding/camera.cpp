// KorvaneCamera and its KorvaneInfo record.
//
// The interpreter lock is released while a call waits: requestFrame's wait and stop's
// join could otherwise freeze every other Python thread for seconds. With the lock gone,
// a second Python thread may call into the same camera meanwhile, so the camera's
// operations are serialised by a mutex of their own; requestFrame and releaseFrame do
// not take it (the frame queue guards itself), so a thread waiting for a frame never
// blocks stop or close.
#include <algorithm>
#include <cstdint>
#include <chrono>
#include <memory>
#include <mutex>
#include <string>

#include "binding.h"
#include "frame_handle.h"
#include "korvane_tof_camera.h"

namespace py = pybind11;

namespace Korvane::binding {

namespace {

// A long wait is cut into slices so that Ctrl-C (a pending signal) can interrupt it.
constexpr std::chrono::milliseconds kWaitSlice{100};

class CameraBinding {
public:
    // Runs one camera operation without the interpreter lock, after any other thread's.
    template <typename Operation>
    auto run(Operation operation) {
        py::gil_scoped_release unlocked;
        std::lock_guard<std::mutex> lock(operations_);
        return operation(camera_);
    }

    // Null (None) on time-out.
    std::shared_ptr<FrameHandle> requestFrame(int16_t timeoutMs) {
        std::shared_ptr<FrameQueue> queue = camera_.frameQueue();
        if (!queue) return nullptr;  // never started: nothing will ever arrive
        using Clock = std::chrono::steady_clock;
        const auto deadline = Clock::now() + std::chrono::milliseconds(std::max<int16_t>(timeoutMs, 0));
        for (;;) {
            auto slice = kWaitSlice;
            if (timeoutMs >= 0) {
                const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
                slice = std::clamp(left, std::chrono::milliseconds(0), kWaitSlice);
            }
            KorvaneFrameBuffer* frame = nullptr;
            {
                py::gil_scoped_release unlocked;
                frame = queue->requestFrame(static_cast<int16_t>(slice.count()));
            }
            // The handle keeps the frame's own queue, whatever the camera holds by now.
            if (frame != nullptr) return FrameHandle::wrap(queue, frame);
            if (PyErr_CheckSignals() != 0) throw py::error_already_set();
            if (timeoutMs >= 0 && Clock::now() >= deadline) return nullptr;
        }
    }

    TofErrorCode releaseFrame(FrameHandle& frame) { return static_cast<TofErrorCode>(frame.releaseTo(camera_)); }

private:
    KorvaneTOFCamera camera_;
    std::mutex operations_;
};

TofErrorCode code(int result) { return static_cast<TofErrorCode>(result); }

// What getStatistics reports: the capture counters of the current streaming session and
// the measured frame rate.
struct StreamStatistics {
    uint64_t delivered;
    uint64_t skipped;
    uint64_t failed;
    uint64_t recycled;
    float fps;
};

}  // namespace

void bindCamera(py::module_& m) {
    py::class_<CameraInfo>(m, "KorvaneInfo", "The open camera (no constructor: returned by getCameraInfo, a copy).")
        .def_readwrite("index", &CameraInfo::index)
        .def_readwrite("connect", &CameraInfo::connect)
        .def_readwrite("device_type", &CameraInfo::device_type)
        .def_readwrite("width", &CameraInfo::width)
        .def_readwrite("height", &CameraInfo::height)
        .def_readwrite("bit_width", &CameraInfo::bit_width)
        .def_readwrite("bpp", &CameraInfo::bpp);

    py::class_<StreamStatistics>(m, "KorvaneStatistics",
                                 "Counters of the stream since the last start (no constructor: returned by "
                                 "getStatistics).")
        .def_readonly("delivered", &StreamStatistics::delivered, "frames published to the queue")
        .def_readonly("skipped", &StreamStatistics::skipped, "frames dropped by SKIP_FRAME / SKIP_FRAME_LOOP")
        .def_readonly("failed", &StreamStatistics::failed, "captures (time-outs included) that produced no frame")
        .def_readonly("recycled", &StreamStatistics::recycled,
                      "published frames overwritten before anyone requested them (dropped)")
        .def_readonly("fps", &StreamStatistics::fps, "frames per second measured by the capture thread");

    py::class_<CameraBinding>(m, "KorvaneCamera")
        .def(py::init<>())
        .def(
            "open",
            [](CameraBinding& c, Connection mode, int index) {
                return code(c.run([&](KorvaneTOFCamera& camera) { return camera.open(mode, index); }));
            },
            "Initialize the camera configuration and turn on the camera, set the initialization frame according to "
            "the mode.\n\n- mode Specify the connection method.\n- index Device node, the default value is video0.",
            py::arg("mode"), py::arg("index") = 0)
        .def(
            "openWithFile",
            [](CameraBinding& c, const std::string& path, int index) {
                return code(c.run([&](KorvaneTOFCamera& camera) { return camera.openWithFile(path.c_str(), index); }));
            },
            "Initialize the camera configuration and turn on the camera, set the initialization frame according to "
            "the mode.\n\n- path Specify the config file path.\n- index Device node, the default value is video0.",
            py::arg("path"), py::arg("index") = 0)
        .def(
            "close",
            [](CameraBinding& c) { return code(c.run([](KorvaneTOFCamera& camera) { return camera.close(); })); },
            "Close the camera")
        .def(
            "start",
            [](CameraBinding& c, FrameType type) {
                return code(c.run([&](KorvaneTOFCamera& camera) { return camera.start(type); }));
            },
            "Start the camera stream and start processing.", py::arg("type"))
        .def(
            "stop",
            // Raises RuntimeError when no capture thread is running.
            [](CameraBinding& c) { return code(c.run([](KorvaneTOFCamera& camera) { return camera.stop(); })); },
            "Stop camera stream and processing.")
        .def(
            "setControl",
            [](CameraBinding& c, CameraCtrl ctrl, int value) {
                return code(c.run([&](KorvaneTOFCamera& camera) { return camera.setControl(ctrl, value); }));
            },
            "Set camera parameters.", py::arg("ctrl"), py::arg("value"))
        .def(
            "getControl",
            [](CameraBinding& c, CameraCtrl ctrl) {
                return c.run([&](KorvaneTOFCamera& camera) {
                    int value = 0;
                    camera.getControl(ctrl, &value);
                    return value;
                });
            },
            "Get camera parameters.", py::arg("ctrl"))
        .def(
            "getCameraInfo",
            [](CameraBinding& c) { return c.run([](KorvaneTOFCamera& camera) { return camera.getCameraInfo(); }); },
            "Get camera information.")
        .def(
            "getStatistics",
            [](CameraBinding& c) {
                return c.run([](KorvaneTOFCamera& camera) {
                    const CaptureStatistics counts = camera.statistics();
                    return StreamStatistics{counts.delivered, counts.skipped, counts.failed, counts.recycled,
                                            camera.fps()};
                });
            },
            "Counters of the stream since the last start and the measured frame rate.")
        .def("requestFrame", &CameraBinding::requestFrame, "Request a frame of data from the frame processing thread.",
             py::arg("timeout"))
        .def("releaseFrame", &CameraBinding::releaseFrame, "Free the memory space of the frame.", py::arg("frame"));
}

}  // namespace Korvane::binding
