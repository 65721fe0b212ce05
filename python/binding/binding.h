// The pieces of the KorvaneDepthCamera module, one per API area, registered in this
// order by module.cpp (each area uses the types of the ones before it).
#pragma once

#include <pybind11/pybind11.h>

namespace Korvane::binding {

void bindEnums(pybind11::module_& m);
void bindFrames(pybind11::module_& m);
void bindCamera(pybind11::module_& m);

}  // namespace Korvane::binding
