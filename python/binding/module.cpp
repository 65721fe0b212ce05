// The KorvaneDepthCamera extension module.
#include <pybind11/pybind11.h>

namespace py = pybind11;

PYBIND11_MODULE(KorvaneDepthCamera, m) {
    m.doc() = "Time-of-flight depth cameras: depth, amplitude and confidence as numpy arrays";
    m.attr("__version__") = "dev";
}
