"""Streams a depth camera for a few seconds, prints one line of statistics per second and
writes colourised depth, amplitude and confidence images (PNG).

Without arguments it opens the default camera of the USB connection; with no adapter
attached that is the virtual 240 x 180 camera, so the demo runs on any machine:

    tools/run_demo.sh                      # 5 s, images in demo_output/
    tools/run_demo.sh --seconds 10 --range 2000 --output /tmp/tof
    tools/run_demo.sh --connect csi --index 0   # a camera on /dev/video0
"""
import argparse
import sys
import time
from pathlib import Path

import numpy as np
from PIL import Image

import KorvaneDepthCamera as K

# Colour ramp from dark blue (near / weak) over green and yellow to dark red (far / strong).
RAMP = np.array([[0.19, 0.07, 0.23], [0.27, 0.50, 0.93], [0.10, 0.90, 0.65], [0.64, 0.99, 0.24],
                 [0.98, 0.73, 0.22], [0.89, 0.27, 0.05], [0.48, 0.02, 0.01]])


def colourise(values, low, high, invalid=None):
    """RGB image of `values` mapped linearly from low..high onto RAMP; `invalid` pixels black."""
    span = max(high - low, 1e-6)
    position = np.clip((values - low) / span, 0.0, 1.0) * (len(RAMP) - 1)
    stops = np.arange(len(RAMP))
    rgb = np.stack([np.interp(position, stops, RAMP[:, c]) for c in range(3)], axis=-1)
    if invalid is not None:
        rgb[invalid] = 0.0
    return Image.fromarray((rgb * 255).astype(np.uint8), "RGB")


def open_camera(args):
    camera = K.KorvaneCamera()
    if args.config:
        result = camera.openWithFile(args.config, args.index)
    else:
        result = camera.open(K.TOFConnect.CSI if args.connect == "csi" else K.TOFConnect.USB, args.index)
    if result != K.TOFErrorCode.KorvaneSuccess:
        sys.exit(f"demo: cannot open the camera: {result.str()} ({int(result)})")
    return camera


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--seconds", type=float, default=5.0, help="streaming time (default 5)")
    parser.add_argument("--connect", choices=["usb", "csi"], default="usb", help="connection (default usb)")
    parser.add_argument("--index", type=int, default=0, help="device index (CSI: /dev/videoN)")
    parser.add_argument("--config", help="camera configuration file of the USB adapter")
    parser.add_argument("--range", type=int, choices=[2000, 4000], default=4000, help="range in mm (default 4000)")
    parser.add_argument("--output", type=Path, default=Path("demo_output"), help="image folder (default demo_output)")
    args = parser.parse_args()

    camera = open_camera(args)
    info = camera.getCameraInfo()
    print(f"camera: {info.device_type.name} {info.width} x {info.height}, {info.bit_width}-bit, "
          f"{info.connect.name} {info.index}")
    camera.setControl(K.TOFControl.RANGE, args.range)
    result = camera.start(K.TOFOutput.DEPTH)
    if result != K.TOFErrorCode.KorvaneSuccess:
        sys.exit(f"demo: cannot start streaming: {result.str()} ({int(result)})")

    total, last_planes = 0, None
    begin = second_begin = time.monotonic()
    frames, low, high = 0, np.inf, -np.inf
    try:
        while time.monotonic() - begin < args.seconds:
            frame = camera.requestFrame(1000)
            if frame is None:
                print("no frame within 1 s")
                continue
            depth, amplitude = frame.getDepthData(), frame.getAmplitudeData()
            confidence = frame.getConfidenceData()
            camera.releaseFrame(frame)
            last_planes = (depth, amplitude, confidence)
            frames += 1
            total += 1
            measured = depth[amplitude > 0]
            if measured.size:
                low, high = min(low, float(measured.min())), max(high, float(measured.max()))
            now = time.monotonic()
            if now - second_begin >= 1.0 or now - begin >= args.seconds:
                depth_text = f"{low:.0f} - {high:.0f} mm" if high >= low else "no signal"
                print(f"{now - begin:5.1f} s  {frames / (now - second_begin):5.1f} fps  depth {depth_text}  "
                      f"dropped {camera.getStatistics().recycled}", flush=True)
                second_begin, frames, low, high = now, 0, np.inf, -np.inf
    finally:
        statistics = camera.getStatistics()
        camera.stop()
        camera.close()

    if last_planes is None:
        sys.exit("demo: the camera delivered no frame")
    depth, amplitude, confidence = last_planes
    args.output.mkdir(parents=True, exist_ok=True)
    no_signal = amplitude <= 0
    strong = float(np.percentile(amplitude, 99)) or 1.0
    images = {
        "depth.png": colourise(depth, 0.0, float(args.range), invalid=no_signal),
        "amplitude.png": colourise(amplitude, 0.0, strong),
        "confidence.png": colourise(confidence, 0.0, strong),
    }
    for name, image in images.items():
        image.save(args.output / name)
    print(f"{total} frames, {statistics.recycled} dropped; images written to "
          f"{', '.join(str(args.output / name) for name in images)}")


if __name__ == "__main__":
    main()
