#!/usr/bin/python3
"""Times tivenor-convert against what a user would reach for instead, on one disc picture.

The converter is timed as a whole process (start-up, reading the file, the analysis, the MIDI
file); OpenCV inside this process, as the least it takes to do the same kind of work: read the
picture, threshold its red channel and label the 4-connected bright patches with their sizes.
Runs alternate, so that both see the same machine; the medians and their ratio are printed.

  bench/compare_opencv.py [--build DIR] [--dpi N] [--runs N] [PICTURE.bmp [CONVERTER OPTION...]]

Without a picture, the benchmarks' disc is drawn at --dpi (default 600) as a 24-bit BMP, and
the converter gets the hole sizes that fit it; with one, the options after it go to the
converter. Installs Debian's python3-opencv when it is missing.
"""

import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

DEBIAN_PYTHON = "/usr/bin/python3"


def import_opencv():
    try:
        import cv2  # noqa: F401
    except ImportError:
        # Debian's OpenCV belongs to Debian's Python, which another Python on the path hides.
        if sys.executable != DEBIAN_PYTHON and os.path.exists(DEBIAN_PYTHON):
            os.execv(DEBIAN_PYTHON, [DEBIAN_PYTHON, *sys.argv])
        print("Installing python3-opencv", file=sys.stderr)
        sudo = [] if os.geteuid() == 0 else ["sudo"]
        env = dict(os.environ, DEBIAN_FRONTEND="noninteractive")
        subprocess.run(sudo + ["apt-get", "update", "-qq"], check=True, env=env)
        subprocess.run(sudo + ["apt-get", "install", "-y", "-qq", "--no-install-recommends",
                               "python3-opencv"], check=True, env=env)
    import cv2
    return cv2


def opencv_once(cv2, picture, threshold):
    start = time.perf_counter()
    image = cv2.imread(picture, cv2.IMREAD_COLOR)
    red = cv2.extractChannel(image, 2)
    _, bright = cv2.threshold(red, threshold, 255, cv2.THRESH_BINARY)
    count, _, _, _ = cv2.connectedComponentsWithStats(bright, connectivity=4)
    elapsed = time.perf_counter() - start
    if count < 2:
        sys.exit("OpenCV found no bright patches: is this a disc picture?")
    return elapsed


def converter_once(command):
    start = time.perf_counter()
    result = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    elapsed = time.perf_counter() - start
    if result.returncode != 0:
        sys.exit("tivenor-convert failed:\n" + result.stderr.decode(errors="replace"))
    return elapsed


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("picture", nargs="?", help="a 24-bit BMP of a disc")
    parser.add_argument("options", nargs=argparse.REMAINDER, help="options for the converter")
    parser.add_argument("--build", default=os.path.join(root, "build"), help="build folder")
    parser.add_argument("--dpi", type=int, default=600, help="resolution of the drawn disc")
    parser.add_argument("--runs", type=int, default=21, help="runs of each (default 21)")
    parser.add_argument("--threshold", type=int, default=100)
    parser.add_argument("--opencv-threads", type=int, default=0,
                        help="threads OpenCV may use (default: its own choice, as a user gets)")
    arguments = parser.parse_args()

    cv2 = import_opencv()
    if arguments.opencv_threads > 0:
        cv2.setNumThreads(arguments.opencv_threads)
    targets = ["tivenor-convert"] + ([] if arguments.picture else ["tivenor-bench-disc"])
    subprocess.run(["cmake", "--build", arguments.build, "-j2", "--target", *targets],
                   check=True, stdout=subprocess.DEVNULL)
    binaries = os.path.join(arguments.build, "bin")
    folder = tempfile.mkdtemp(prefix="tivenor-compare-")
    try:
        options = arguments.options
        picture = arguments.picture
        if picture is None:
            picture = os.path.join(folder, f"disc{arguments.dpi}.bmp")
            options = subprocess.run(
                [os.path.join(binaries, "tivenor-bench-disc"), str(arguments.dpi), picture],
                check=True, capture_output=True, text=True).stdout.split()
        command = [os.path.join(binaries, "tivenor-convert"), "--threshold",
                   str(arguments.threshold), *options, "-o", os.path.join(folder, "disc.mid"),
                   picture]

        converter_once(command)  # both once, untimed, so that the file and libraries are cached
        opencv_once(cv2, picture, arguments.threshold)
        converter, opencv = [], []
        for _ in range(arguments.runs):
            converter.append(converter_once(command))
            opencv.append(opencv_once(cv2, picture, arguments.threshold))

        size = os.path.getsize(picture) / 1e6
        tivenor_ms = statistics.median(converter) * 1e3
        opencv_ms = statistics.median(opencv) * 1e3
        print(f"picture: {picture} ({size:.1f} MB)")
        print(f"tivenor-convert, whole process:  {tivenor_ms:7.1f} ms (median of {len(converter)})")
        print(f"OpenCV in-process:               {opencv_ms:7.1f} ms (median of {len(opencv)})")
        print(f"ratio: {tivenor_ms / opencv_ms:.2f}")
    finally:
        shutil.rmtree(folder)


if __name__ == "__main__":
    main()
