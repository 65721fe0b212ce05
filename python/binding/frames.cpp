// Frames and their planes. Every plane comes back as a new numpy array holding a copy,
// so arrays stay valid after the frame is released.
#include <pybind11/numpy.h>

#include <cstring>
#include <memory>

#include "binding.h"
#include "frame_handle.h"

namespace py = pybind11;

namespace Korvane::binding {

namespace {

// A (height, width) array copied from one plane; the shape comes from `formatType`'s format.
template <typename T>
py::array_t<T> copyPlane(const FrameHandle& frame, FrameType planeType, FrameType formatType) {
    KorvaneFrameBuffer& buffer = frame.readable();
    FrameDataFormat format{};
    const void* plane = buffer.getData(planeType);
    if (plane == nullptr || buffer.getFormat(formatType, &format) != 0) {
        throw std::runtime_error("the frame has no such plane");
    }
    py::array_t<T> array({static_cast<py::ssize_t>(format.height), static_cast<py::ssize_t>(format.width)});
    std::memcpy(array.mutable_data(), plane, sizeof(T) * static_cast<size_t>(array.size()));
    return array;
}

FrameDataFormat formatOf(const FrameHandle& frame, FrameType type) {
    FrameDataFormat format{};
    if (frame.readable().getFormat(type, &format) != 0) throw std::runtime_error("the frame has no such format");
    return format;
}

}  // namespace

void bindFrames(py::module_& m) {
    py::class_<FrameDataFormat>(m, "KorvaneFormat",
                                "Size and time of one frame plane (no constructor: returned by getFrameFormat).")
        .def_readwrite("width", &FrameDataFormat::width)
        .def_readwrite("height", &FrameDataFormat::height)
        .def_readwrite("timestamp", &FrameDataFormat::timestamp);

    py::class_<FrameHandle, std::shared_ptr<FrameHandle>>(
        m, "KorvaneFrame",
        "A frame from requestFrame (no constructor). It keeps its memory alive after the\n"
        "camera's next start, close or destruction; after releaseFrame its data can no longer\n"
        "be read (RuntimeError).");

    py::class_<RawFrameHandle, FrameHandle, std::shared_ptr<RawFrameHandle>>(m, "RawData")
        .def(
            "getRawData", [](const RawFrameHandle& f) { return copyPlane<int16_t>(f, RAW, RAW); },
            "Get raw data from the frame")
        .def(
            "getFrameFormat", [](const RawFrameHandle& f) { return formatOf(f, RAW); },
            "Get the information of this frame");

    py::class_<DepthFrameHandle, FrameHandle, std::shared_ptr<DepthFrameHandle>>(m, "DepthData")
        .def(
            "getDepthData", [](const DepthFrameHandle& f) { return copyPlane<float>(f, DEPTH, DEPTH); },
            "Get depth data from the frame")
        .def(
            "getConfidenceData", [](const DepthFrameHandle& f) { return copyPlane<float>(f, CONFIDENCE, DEPTH); },
            "Get confidence data from the frame")
        .def(
            "getAmplitudeData", [](const DepthFrameHandle& f) { return copyPlane<float>(f, AMPLITUDE, DEPTH); },
            "Get amplitude data from the frame")
        .def(
            "getFrameFormat", [](const DepthFrameHandle& f) { return formatOf(f, DEPTH); },
            "Get the information of this frame");
}

}  // namespace Korvane::binding
