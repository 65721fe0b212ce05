"""Waiting calls release the interpreter lock: other Python threads (a GUI, a network
loop) keep running while one thread waits in requestFrame or in stop."""
import signal
import threading
import time

import pytest

import KorvaneDepthCamera as K
from conftest import next_frame


def count_while(call):
    """How often another Python thread got to run while `call` ran."""
    ticks = 0
    done = threading.Event()

    def ticker():
        nonlocal ticks
        while not done.is_set():
            ticks += 1
            time.sleep(0.001)

    thread = threading.Thread(target=ticker)
    thread.start()
    try:
        time.sleep(0.02)
        before = ticks
        result = call()
        during = ticks - before
    finally:
        done.set()
        thread.join()
    return result, during


def skip_every_frame(camera):
    # One frame skipped in every loop of one: the stream runs, nothing is ever delivered.
    camera.setControl(K.TOFControl.SKIP_FRAME_LOOP, 1)
    camera.setControl(K.TOFControl.SKIP_FRAME, 1)


def test_other_threads_run_while_request_frame_waits(camera):
    skip_every_frame(camera)
    assert camera.start(K.TOFOutput.DEPTH) == K.TOFErrorCode.KorvaneSuccess
    begin = time.monotonic()
    frame, ticks = count_while(lambda: camera.requestFrame(500))
    assert frame is None
    assert time.monotonic() - begin >= 0.45
    # A thread frozen by the waiting call would not have ticked at all.
    assert ticks >= 50, f"the other thread ran only {ticks} times in 500 ms"


def test_request_frame_times_out_after_the_timeout(camera):
    skip_every_frame(camera)
    assert camera.start(K.TOFOutput.DEPTH) == K.TOFErrorCode.KorvaneSuccess
    begin = time.monotonic()
    assert camera.requestFrame(200) is None
    assert 0.19 <= time.monotonic() - begin < 0.6


def test_a_frame_arrives_in_a_waiting_thread(camera):
    assert camera.start(K.TOFOutput.DEPTH) == K.TOFErrorCode.KorvaneSuccess
    frames = []
    waiter = threading.Thread(target=lambda: frames.append(camera.requestFrame(5000)))
    waiter.start()
    waiter.join(10)
    assert not waiter.is_alive()
    assert isinstance(frames[0], K.DepthData)
    assert camera.releaseFrame(frames[0]) == K.TOFErrorCode.KorvaneSuccess


SLOW_CAMERA = """\
[camera parameter]
SIZE = 240, 180
BIT_WIDTH = 12

[virtual device]
KIND = SIMULATED_HQVGA
FRAME_RATE = 1
"""


def test_other_threads_run_while_stop_joins(tmp_path):
    """At one frame per second the capture thread waits up to a second for the sensor,
    and stop waits for it; a thread frozen meanwhile would not tick."""
    path = tmp_path / "slow.cfg"
    path.write_text(SLOW_CAMERA)
    camera = K.KorvaneCamera()
    if camera.openWithFile(str(path)) == K.TOFErrorCode.KorvaneNotImplemented:
        pytest.skip("this build has no USB transport, so no virtual camera")
    assert camera.start(K.TOFOutput.DEPTH) == K.TOFErrorCode.KorvaneSuccess
    camera.releaseFrame(next_frame(camera))
    time.sleep(0.05)  # the capture thread now waits for the next frame
    begin = time.monotonic()
    result, ticks = count_while(camera.stop)
    elapsed = time.monotonic() - begin
    assert result == K.TOFErrorCode.KorvaneSuccess
    assert elapsed > 0.3, "stop returned before the capture thread's wait ended: nothing to show"
    assert ticks >= 50 * (elapsed - 0.05), f"the other thread ran only {ticks} times in {elapsed:.2f} s"
    with pytest.raises(RuntimeError):
        camera.stop()
    camera.close()


def test_stop_from_another_thread_while_one_waits(camera):
    skip_every_frame(camera)
    assert camera.start(K.TOFOutput.DEPTH) == K.TOFErrorCode.KorvaneSuccess
    results = []
    waiter = threading.Thread(target=lambda: results.append(camera.requestFrame(1000)))
    waiter.start()
    time.sleep(0.1)
    assert camera.stop() == K.TOFErrorCode.KorvaneSuccess  # must not wait for the waiter
    waiter.join(5)
    assert results == [None]


def test_a_wait_without_limit_can_be_interrupted(camera):
    skip_every_frame(camera)
    assert camera.start(K.TOFOutput.DEPTH) == K.TOFErrorCode.KorvaneSuccess

    class Interrupted(Exception):
        pass

    def interrupt(signum, stack):
        raise Interrupted

    previous = signal.signal(signal.SIGALRM, interrupt)
    try:
        signal.setitimer(signal.ITIMER_REAL, 0.3)
        begin = time.monotonic()
        with pytest.raises(Interrupted):
            camera.requestFrame(-1)
        assert time.monotonic() - begin < 2
    finally:
        signal.setitimer(signal.ITIMER_REAL, 0)
        signal.signal(signal.SIGALRM, previous)
