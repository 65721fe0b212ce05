// The module's enumerations. Members are reached through their class only
// (TOFConnect.CSI); AMPLITUDE and AUTO_FRAME_RATE stay internal.
#include <string>

#include "binding.h"
#include "korvane_types.h"

namespace py = pybind11;

namespace Korvane::binding {

namespace {

// An explicit __int__ in place of the one every enumeration has, not beside it.
template <typename Enum>
void defineInt(py::enum_<Enum>& cls) {
    cls.attr("__int__") = py::cpp_function([](Enum value) { return static_cast<int>(value); }, py::name("__int__"),
                                           py::is_method(cls));
}

}  // namespace

void bindEnums(py::module_& m) {
    py::enum_<DeviceType>(m, "TOFDeviceType").value("VGA", VGA).value("HQVGA", HQVGA);

    py::enum_<FrameType>(m, "TOFOutput")
        .value("RAW", RAW)
        .value("DEPTH", DEPTH)
        .value("CONFIDENCE", CONFIDENCE)
        .value("CACHE", CACHE);

    py::enum_<Connection>(m, "TOFConnect").value("CSI", CSI).value("USB", USB);

    py::enum_<CameraCtrl>(m, "TOFControl")
        .value("RANGE", RANGE)
        .value("FMT_WIDTH", FMT_WIDTH)
        .value("FMT_HEIGHT", FMT_HEIGHT)
        .value("MODE", MODE)
        .value("FRAME_MODE", FRAME_MODE)
        .value("EXPOSURE", EXPOSURE)
        .value("FRAME_RATE", FRAME_RATE)
        .value("SKIP_FRAME", SKIP_FRAME)
        .value("SKIP_FRAME_LOOP", SKIP_FRAME_LOOP)
        .value("CONFIG_DIR_EXT", CONFIG_DIR_EXT);

    py::enum_<TofWorkMode> workMode(m, "TofWorkMode");
    workMode
        .value("SINGLE_FREQ", SINGLE_FREQ)
        .value("DOUBLE_FREQ", DOUBLE_FREQ)
        .value("TRIPLE_FREQ", TRIPLE_FREQ)
        .value("QUAD_FREQ", QUAD_FREQ)
        .value("DISTANCE", DISTANCE)
        .value("HDR", HDR)
        .value("AE", AE)
        .value("BG_OUTDOOR", BG_OUTDOOR)
        .value("GRAY_ONLY", GRAY_ONLY)
        .value("CUSTOM1", CUSTOM1)
        .value("CUSTOM2", CUSTOM2)
        .value("CUSTOM3", CUSTOM3);
    defineInt(workMode);

    using F = TofFrameWorkMode;
    py::enum_<F> frameWorkMode(m, "TofFrameWorkMode");
    frameWorkMode
        .value("SINGLE_FREQ_2PHASE", F::SINGLE_FREQ_2PHASE)
        .value("SINGLE_FREQ_4PHASE", F::SINGLE_FREQ_4PHASE)
        .value("SINGLE_FREQ_4PHASE_GRAY", F::SINGLE_FREQ_4PHASE_GRAY)
        .value("SINGLE_FREQ_4PHASE_BG", F::SINGLE_FREQ_4PHASE_BG)
        .value("SINGLE_FREQ_4PHASE_4BG", F::SINGLE_FREQ_4PHASE_4BG)
        .value("SINGLE_FREQ_4PHASE_GRAY_5BG", F::SINGLE_FREQ_4PHASE_GRAY_5BG)
        .value("SINGLE_FREQ_GRAY_BG_4PHASE_GRAY_BG", F::SINGLE_FREQ_GRAY_BG_4PHASE_GRAY_BG)
        .value("SINGLE_FREQ_GRAY_BG_4PHASE_BG", F::SINGLE_FREQ_GRAY_BG_4PHASE_BG)
        .value("SINGLE_FREQ_BG_GRAY_BG_4PHASE", F::SINGLE_FREQ_BG_GRAY_BG_4PHASE)
        .value("SINGLE_FREQ_BG_4PHASE_BG_GRAY", F::SINGLE_FREQ_BG_4PHASE_BG_GRAY)
        .value("DOUBLE_FREQ_4PHASE", F::DOUBLE_FREQ_4PHASE)
        .value("DOUBLE_FREQ_4PHASE_GRAY_4PHASE_BG", F::DOUBLE_FREQ_4PHASE_GRAY_4PHASE_BG)
        .value("DOUBLE_FREQ_4PHASE_4BG", F::DOUBLE_FREQ_4PHASE_4BG)
        .value("DOUBLE_FREQ_4PHASE_GRAY_5BG", F::DOUBLE_FREQ_4PHASE_GRAY_5BG)
        .value("TRIPLE_FREQ_4PHASE", F::TRIPLE_FREQ_4PHASE)
        .value("TRIPLE_FREQ_4PHASE_GRAY_4PHASE_GRAY_4PHASE_BG", F::TRIPLE_FREQ_4PHASE_GRAY_4PHASE_GRAY_4PHASE_BG)
        .value("QUAD_FREQ_4PHASE", F::QUAD_FREQ_4PHASE)
        .value("QUAD_FREQ_4PHASE_GRAY_4PHASE_BG_4PHASE_GRAY_4PHASE_BG",
               F::QUAD_FREQ_4PHASE_GRAY_4PHASE_BG_4PHASE_GRAY_4PHASE_BG)
        .value("BG_OUTDOOR", F::BG_OUTDOOR)
        .value("GRAY_ONLY", F::GRAY_ONLY)
        .value("CUSTOM", F::CUSTOM);
    defineInt(frameWorkMode);

    py::enum_<TofErrorCode>(m, "TOFErrorCode")
        .value("KorvaneSuccess", KorvaneSuccess)
        .value("KorvaneInvalidParameter", KorvaneInvalidParameter)
        .value("KorvaneNoCache", KorvaneNoCache)
        .value("KorvaneUnkownDevice", KorvaneUnkownDevice)
        .value("KorvaneNotImplemented", KorvaneNotImplemented)
        .value("KorvaneSkipFrame", KorvaneSkipFrame)
        .value("KorvaneSystemError", KorvaneSystemError)
        .value("KorvaneUnkownError", KorvaneUnkownError)
        .def("str", [](TofErrorCode code) { return std::string(to_str(code)); });
}

}  // namespace Korvane::binding
