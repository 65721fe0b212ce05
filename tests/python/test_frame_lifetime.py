"""A frame object never reaches freed memory: after the next start, close or the camera's
destruction it still reads the data it held; after its release it refuses reads and a
second release. Run under AddressSanitizer by tools/run_tests.sh --sanitize address."""
import gc

import numpy as np
import pytest

import KorvaneDepthCamera as K
from conftest import next_frame, open_virtual_camera


def test_frame_of_a_replaced_queue_keeps_its_data(camera):
    assert camera.start(K.TOFOutput.DEPTH) == K.TOFErrorCode.KorvaneSuccess
    frame = next_frame(camera)
    depth = frame.getDepthData()
    camera.stop()
    assert camera.start(K.TOFOutput.DEPTH) == K.TOFErrorCode.KorvaneSuccess  # replaces the queue
    for _ in range(5):  # the new queue's buffers are being filled meanwhile
        camera.releaseFrame(next_frame(camera))
    np.testing.assert_array_equal(frame.getDepthData(), depth)
    assert frame.getFrameFormat().width == 240
    assert camera.releaseFrame(frame) == K.TOFErrorCode.KorvaneUnkownError


def test_frame_outlives_close_and_the_camera():
    camera = open_virtual_camera()
    assert camera.start(K.TOFOutput.RAW) == K.TOFErrorCode.KorvaneSuccess
    frame = next_frame(camera)
    raw = frame.getRawData()
    camera.close()
    np.testing.assert_array_equal(frame.getRawData(), raw)
    del camera
    gc.collect()
    np.testing.assert_array_equal(frame.getRawData(), raw)
    assert frame.getFrameFormat().height == 720


def test_release_twice_returns_the_error_code(camera):
    assert camera.start(K.TOFOutput.DEPTH) == K.TOFErrorCode.KorvaneSuccess
    frame = next_frame(camera)
    assert camera.releaseFrame(frame) == K.TOFErrorCode.KorvaneSuccess
    # Meanwhile the buffer goes out again; the second release must not take it back.
    later = [next_frame(camera) for _ in range(3)]
    assert camera.releaseFrame(frame) == K.TOFErrorCode.KorvaneUnkownError
    for other in later:
        assert camera.releaseFrame(other) == K.TOFErrorCode.KorvaneSuccess


def test_released_frame_refuses_reads(camera):
    assert camera.start(K.TOFOutput.DEPTH) == K.TOFErrorCode.KorvaneSuccess
    frame = next_frame(camera)
    depth = frame.getDepthData()
    camera.releaseFrame(frame)
    with pytest.raises(RuntimeError, match="released"):
        frame.getDepthData()
    with pytest.raises(RuntimeError, match="released"):
        frame.getFrameFormat()
    assert depth.shape == (180, 240)  # arrays are copies: still valid


def test_arrays_are_independent_copies(camera):
    assert camera.start(K.TOFOutput.DEPTH) == K.TOFErrorCode.KorvaneSuccess
    frame = next_frame(camera)
    first = frame.getDepthData()
    first[:] = -1
    assert not np.array_equal(frame.getDepthData(), first)
    camera.releaseFrame(frame)
