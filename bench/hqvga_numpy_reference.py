"""numpy implementation of the 240 x 180 four-phase depth arithmetic, timed per frame as
the reference for bench/hqvga_depth_bench (run it with /usr/bin/python3).

Same input as the C++ benchmark's scene: a slanted wall with noise, four phase planes of
unsigned 16-bit samples, back to back.
"""
import argparse
import timeit

import numpy as np

WIDTH, HEIGHT, PHASES = 240, 180, 4
TWO_PI = np.float32(6.2831855)
FOUR_PI = np.float32(12.566371)


def convert_samples(staging, shift=0):
    """Bits 0..10 of (sample >> shift) as a signed 11-bit number, times 16."""
    widened = ((staging >> np.uint16(shift)) << np.uint16(5)).astype(np.uint16)
    return widened.view(np.int16) >> np.int16(1)


def depth_scale(frequency_hz):
    """Millimetres per radian of phase, in float32 like the module."""
    return np.float32(3e8) / (FOUR_PI * np.float32(frequency_hz))


def compute_depth(staging, frequency_hz=37.5e6, rotated=False, shift=0):
    """Depth (mm), amplitude and confidence planes of one frame, shape (180, 240) float32."""
    q = convert_samples(staging, shift).astype(np.int32).reshape(PHASES, HEIGHT, WIDTH)
    if rotated:
        a, b = q[1] - q[3], q[2] - q[0]
    else:
        a, b = q[2] - q[0], q[3] - q[1]
    phase = np.arctan2(a, b).astype(np.float32)
    phase[phase < 0] += TWO_PI
    depth = phase * depth_scale(frequency_hz) * np.float32(1000)
    amplitude = (0.5 * np.sqrt(a.astype(np.float64) ** 2 + b.astype(np.float64) ** 2)).astype(np.float32)
    return depth, amplitude, amplitude.copy()


def scene_frame(seed=1):
    rng = np.random.default_rng(seed)
    r, c = np.mgrid[0:HEIGHT, 0:WIDTH]
    phase = 0.5 + 4.5 * c / WIDTH + 0.5 * r / HEIGHT
    dx, dy = (c - 120) / 120.0, (r - 90) / 90.0
    amplitude = 300.0 * (1.0 - 0.4 * (dx * dx + dy * dy))
    planes = [512.0 + amplitude * np.cos(phase + k * np.pi / 2) + rng.normal(0.0, 4.0, phase.shape)
              for k in range(PHASES)]
    return np.rint(np.stack(planes)).astype(np.uint16).ravel()


def random_frame(seed=2):
    return np.random.default_rng(seed).integers(0, 0x800, PHASES * HEIGHT * WIDTH, dtype=np.uint16)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--repeat", type=int, default=7)
    parser.add_argument("--number", type=int, default=50)
    args = parser.parse_args()
    for name, frame in (("scene", scene_frame()), ("random", random_frame())):
        for range_mm, frequency in ((4000, 37.5e6), (2000, 75e6)):
            timer = timeit.Timer(lambda: compute_depth(frame, frequency, range_mm == 2000))
            best = min(timer.repeat(repeat=args.repeat, number=args.number)) / args.number
            print(f"numpy HQVGA depth, {name} frame, range {range_mm}: {best * 1e3:.3f} ms per frame")


if __name__ == "__main__":
    main()
