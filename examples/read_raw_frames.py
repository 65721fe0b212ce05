"""Reads raw frames: the four phase images of each 240 x 180 frame, interleaved by row
(output row 4r + k is sensor row r of phase image k), as signed 16-bit samples. Saves the
phase images of the last frame as a .npy array of shape (4, 180, 240).

    PYTHONPATH=build/lib /usr/bin/python3 examples/read_raw_frames.py raw_phases.npy
"""
import argparse

import numpy as np

import KorvaneDepthCamera as K


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("output", help=".npy file for the phase images of the last frame")
    parser.add_argument("--frames", type=int, default=10)
    args = parser.parse_args()

    camera = K.KorvaneCamera()
    if camera.open(K.TOFConnect.USB) != K.TOFErrorCode.KorvaneSuccess:
        raise SystemExit("cannot open the camera")
    camera.start(K.TOFOutput.RAW)
    phases = None
    try:
        for _ in range(args.frames):
            frame = camera.requestFrame(1000)
            if frame is None:
                continue
            raw = frame.getRawData()  # (720, 240) int16
            camera.releaseFrame(frame)
            phases = np.stack([raw[k::4] for k in range(4)])  # (4, 180, 240)
            means = ", ".join(f"Q{k} {phases[k].mean():8.1f}" for k in range(4))
            print(f"raw {raw.shape} {raw.dtype}: {means}")
    finally:
        camera.stop()
        camera.close()
    if phases is None:
        raise SystemExit("no raw frame arrived")
    np.save(args.output, phases)
    print(f"phase images saved to {args.output}")


if __name__ == "__main__":
    main()
