// The KorvaneDepthCamera extension module.
#include "binding.h"

PYBIND11_MODULE(KorvaneDepthCamera, m) {
    m.doc() = "Time-of-flight depth cameras: depth, amplitude and confidence as numpy arrays";
    m.attr("__version__") = "dev";
    Korvane::binding::bindEnums(m);
    Korvane::binding::bindFrames(m);
    Korvane::binding::bindCamera(m);
}
