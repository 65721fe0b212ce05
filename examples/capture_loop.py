"""The smallest capture loop: open the camera, stream depth, read a few frames, stop.

    PYTHONPATH=build/lib /usr/bin/python3 examples/capture_loop.py
"""
import KorvaneDepthCamera as K

camera = K.KorvaneCamera()
# USB without a configuration file: the default camera (the virtual one when no adapter
# is attached). A CSI camera on /dev/video0 would be camera.open(K.TOFConnect.CSI, 0).
result = camera.open(K.TOFConnect.USB)
if result != K.TOFErrorCode.KorvaneSuccess:
    raise SystemExit(f"open failed: {result.str()}")
camera.start(K.TOFOutput.DEPTH)
try:
    for _ in range(30):
        frame = camera.requestFrame(1000)  # wait up to 1000 ms; None on time-out
        if frame is None:
            continue
        depth = frame.getDepthData()  # (height, width) float32 millimetres, a copy
        amplitude = frame.getAmplitudeData()
        timestamp = frame.getFrameFormat().timestamp  # milliseconds
        camera.releaseFrame(frame)  # give the buffer back as soon as the copies are made
        h, w = depth.shape
        print(f"{timestamp} ms: centre {depth[h // 2, w // 2]:.0f} mm, "
              f"mean amplitude {amplitude.mean():.1f}")
finally:
    camera.stop()
    camera.close()
