"""Shared fixtures: the default virtual camera (USB without a configuration file opens a
simulated 240 x 180 sensor)."""
import pytest

import KorvaneDepthCamera as K


def open_virtual_camera():
    camera = K.KorvaneCamera()
    result = camera.open(K.TOFConnect.USB)
    if result == K.TOFErrorCode.KorvaneNotImplemented:
        pytest.skip("this build has no USB transport, so no virtual camera")
    assert result == K.TOFErrorCode.KorvaneSuccess, result.str()
    return camera


@pytest.fixture
def camera():
    """An open virtual HQVGA camera, stopped (if still streaming) and closed afterwards."""
    camera = open_virtual_camera()
    yield camera
    try:
        camera.stop()
    except RuntimeError:
        pass  # was not streaming
    camera.close()


def next_frame(camera, timeout_ms=3000):
    frame = camera.requestFrame(timeout_ms)
    assert frame is not None, f"no frame within {timeout_ms} ms"
    return frame
