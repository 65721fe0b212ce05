"""Turns one depth frame into a point cloud and saves it as an ASCII PLY file.

The four-phase depth of the 240 x 180 camera is the distance along each pixel's ray. The
rays come from a pinhole model with the field of view given on the command line (set it
to your lens); the principal point is the image centre.

    PYTHONPATH=build/lib /usr/bin/python3 examples/save_point_cloud.py cloud.ply --hfov 70
"""
import argparse

import numpy as np

import KorvaneDepthCamera as K


def pixel_rays(width, height, hfov_deg):
    """Unit ray of every pixel, shape (height, width, 3); x right, y down, z forward."""
    focal = (width / 2) / np.tan(np.radians(hfov_deg) / 2)
    u, v = np.meshgrid(np.arange(width) - (width - 1) / 2, np.arange(height) - (height - 1) / 2)
    rays = np.stack([u / focal, v / focal, np.ones_like(u, dtype=float)], axis=-1)
    return rays / np.linalg.norm(rays, axis=-1, keepdims=True)


def write_ply(path, points, amplitude):
    with open(path, "w") as out:
        out.write("ply\nformat ascii 1.0\n")
        out.write(f"element vertex {len(points)}\n")
        out.write("property float x\nproperty float y\nproperty float z\nproperty float amplitude\n")
        out.write("end_header\n")
        np.savetxt(out, np.column_stack([points, amplitude]), fmt="%.2f")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("output", help="PLY file to write")
    parser.add_argument("--hfov", type=float, default=70.0, help="horizontal field of view in degrees")
    parser.add_argument("--min-amplitude", type=float, default=1.0, help="drop weaker pixels")
    args = parser.parse_args()

    camera = K.KorvaneCamera()
    if camera.open(K.TOFConnect.USB) != K.TOFErrorCode.KorvaneSuccess:
        raise SystemExit("cannot open the camera")
    camera.start(K.TOFOutput.DEPTH)
    try:
        frame = camera.requestFrame(3000)
        if frame is None:
            raise SystemExit("no frame within 3 s")
        depth, amplitude = frame.getDepthData(), frame.getAmplitudeData()
        camera.releaseFrame(frame)
    finally:
        camera.stop()
        camera.close()

    height, width = depth.shape
    points = pixel_rays(width, height, args.hfov) * depth[..., None]  # millimetres
    keep = amplitude >= args.min_amplitude
    write_ply(args.output, points[keep], amplitude[keep])
    print(f"{keep.sum()} points written to {args.output}")


if __name__ == "__main__":
    main()
