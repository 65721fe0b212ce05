// The two processing stages the pipeline runs, each on its own stage thread, one frame per
// step. Both take their settings through ConfigurableStage. The pipeline selects the
// buffers, carries the frame's ids and publishes the buffer states; a stage only reads and
// writes image slots.
#pragma once

#include "configurable_stage.h"
#include "image_buffer.h"
#include "status.h"

namespace ZeSdk {

class CorrectionStage : public ConfigurableStage {
public:
    // Takes a copy of the caller's calibration data for the next configuration.
    virtual Status setCaliData(const unsigned char* data, int size) = 0;

    // Turns the raw frame in input's raw slot into output's depth, gray, background,
    // amplitude and flag slots. Whatever the result, the frame then moves on to
    // post-processing: a failure is the stage's to log.
    virtual Status CorrectFrame(const ImageBuffer& input, ImageBuffer& output) = 0;
};

class PostProcessingStage : public ConfigurableStage {
public:
    // Filters the corrected images of input (it may change them in place) and writes the
    // finished images into output's slots. STATUS_OK hands output to the caller; any other
    // result leaves both buffers as they were, and the same input is offered again.
    virtual Status PostProcessFrame(ImageBuffer& input, ImageBuffer& output) = 0;
};

// The stages a pipeline runs (not owned; they must outlive its stage loops). A null stage
// is one the pipeline does not have: it will not start without both.
struct PipelineStages {
    CorrectionStage* correction = nullptr;
    PostProcessingStage* postProcessing = nullptr;

    ProcessingStages configurable() const { return {correction, postProcessing}; }
};

}  // namespace ZeSdk
