"""KorvaneCamera, frames and value records as Python sees them, without a camera source:
names, keywords, defaults, docstrings and the errors the binding raises."""
import time

import pytest

import KorvaneDepthCamera as K

OPEN_DOC = ("Initialize the camera configuration and turn on the camera, set the initialization frame according to "
            "the mode.\n\n- {first}\n- index Device node, the default value is video0.")

METHODS = {
    (K.KorvaneCamera, "open"): ("(mode, index=0)", OPEN_DOC.format(first="mode Specify the connection method.")),
    (K.KorvaneCamera, "openWithFile"): ("(path, index=0)", OPEN_DOC.format(first="path Specify the config file path.")),
    (K.KorvaneCamera, "close"): ("()", "Close the camera"),
    (K.KorvaneCamera, "start"): ("(type)", "Start the camera stream and start processing."),
    (K.KorvaneCamera, "stop"): ("()", "Stop camera stream and processing."),
    (K.KorvaneCamera, "setControl"): ("(ctrl, value)", "Set camera parameters."),
    (K.KorvaneCamera, "getControl"): ("(ctrl)", "Get camera parameters."),
    (K.KorvaneCamera, "getCameraInfo"): ("()", "Get camera information."),
    (K.KorvaneCamera, "getStatistics"): ("()", "Counters of the stream since the last start and the measured "
                                              "frame rate."),
    (K.KorvaneCamera, "requestFrame"): ("(timeout)", "Request a frame of data from the frame processing thread."),
    (K.KorvaneCamera, "releaseFrame"): ("(frame)", "Free the memory space of the frame."),
    (K.RawData, "getRawData"): ("()", "Get raw data from the frame"),
    (K.RawData, "getFrameFormat"): ("()", "Get the information of this frame"),
    (K.DepthData, "getDepthData"): ("()", "Get depth data from the frame"),
    (K.DepthData, "getConfidenceData"): ("()", "Get confidence data from the frame"),
    (K.DepthData, "getAmplitudeData"): ("()", "Get amplitude data from the frame"),
    (K.DepthData, "getFrameFormat"): ("()", "Get the information of this frame"),
}


def parameters(function):
    """'(mode, index=0)' from pybind11's signature line, types left out."""
    signature = function.__doc__.split("\n", 1)[0]
    inner = signature[signature.index("(") + 1:signature.rindex(") ->")]
    names = []
    for part in inner.split(", ")[1:]:
        name, _, rest = part.partition(": ")
        default = rest.partition(" = ")[2]
        names.append(f"{name}={default}" if default else name)
    return "(" + ", ".join(names) + ")"


@pytest.mark.parametrize("cls,name", METHODS, ids=lambda v: getattr(v, "__name__", v))
def test_keywords_defaults_and_docstring(cls, name):
    function = getattr(cls, name)
    expected_parameters, expected_doc = METHODS[(cls, name)]
    assert parameters(function) == expected_parameters
    assert function.__doc__.split("\n\n", 1)[1].rstrip("\n") == expected_doc


def test_only_the_published_methods():
    assert {n for n in vars(K.KorvaneCamera) if not n.startswith("_")} == \
        {name for cls, name in METHODS if cls is K.KorvaneCamera}
    assert not {n for n in vars(K.KorvaneFrame) if not n.startswith("_")}
    assert issubclass(K.RawData, K.KorvaneFrame) and issubclass(K.DepthData, K.KorvaneFrame)


@pytest.mark.parametrize("cls", [K.KorvaneFormat, K.KorvaneInfo, K.KorvaneStatistics, K.KorvaneFrame, K.RawData,
                                 K.DepthData])
def test_values_and_frames_have_no_constructor(cls):
    with pytest.raises(TypeError):
        cls()


def test_camera_info_fields_are_readable_and_writable_on_the_copy():
    camera = K.KorvaneCamera()
    info = camera.getCameraInfo()
    assert (info.index, info.width, info.height, info.bit_width, info.bpp) == (0, 0, 0, 0, 0)
    assert info.connect == K.TOFConnect.CSI and info.device_type == K.TOFDeviceType.VGA
    info.width = 99
    info.connect = K.TOFConnect.USB
    assert (info.width, info.connect) == (99, K.TOFConnect.USB)
    assert camera.getCameraInfo().width == 0
    assert not hasattr(info, "frame_type")


def test_keywords_are_accepted():
    camera = K.KorvaneCamera()
    assert isinstance(camera.open(mode=K.TOFConnect.CSI, index=97), K.TOFErrorCode)
    assert isinstance(camera.setControl(ctrl=K.TOFControl.SKIP_FRAME, value=0), K.TOFErrorCode)
    assert camera.requestFrame(timeout=0) is None


@pytest.mark.parametrize("call", [
    lambda c: c.requestFrame(32768),
    lambda c: c.requestFrame(-32769),
    lambda c: c.requestFrame("10"),
    lambda c: c.open(K.TOFControl.RANGE),
    lambda c: c.start(K.TOFConnect.USB),
    lambda c: c.setControl(K.TOFControl.RANGE, "2000"),
    lambda c: c.releaseFrame(None),
])
def test_wrong_arguments_raise_type_error(call):
    with pytest.raises(TypeError):
        call(K.KorvaneCamera())


def test_stop_without_capture_thread_raises_runtime_error():
    with pytest.raises(RuntimeError):
        K.KorvaneCamera().stop()


def test_statistics_are_zero_and_read_only_before_streaming():
    statistics = K.KorvaneCamera().getStatistics()
    assert (statistics.delivered, statistics.skipped, statistics.failed, statistics.recycled) == (0, 0, 0, 0)
    with pytest.raises(AttributeError):
        statistics.delivered = 1


def test_calls_before_open_answer_with_codes():
    camera = K.KorvaneCamera()
    assert camera.getControl(K.TOFControl.MODE) == 0
    assert camera.setControl(K.TOFControl.SKIP_FRAME, 1) == K.TOFErrorCode.KorvaneSuccess
    assert camera.getControl(K.TOFControl.SKIP_FRAME) == 0
    assert camera.start(K.TOFOutput.DEPTH) == K.TOFErrorCode.KorvaneUnkownDevice
    begin = time.monotonic()
    assert camera.requestFrame(100) is None  # no stream was ever started: nothing to wait for
    assert time.monotonic() - begin < 0.05
