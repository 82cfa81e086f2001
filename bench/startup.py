#!/usr/bin/python3
"""Start-up speed: time from launching a process to its window's first frame, and resident
memory then, for a bare Qt window with 19 plain children, the same with one line of text (the
font database's share), and Quillmere's window.

    python3 bench/startup.py [--runs N] [--build DIR] [--platform offscreen|xcb]

With --platform xcb it needs a display (e.g. under xvfb-run). Prints medians and the ratios.
"""
import argparse
import os
import random
import statistics
import subprocess
import time


def run_once(binary, platform):
    env = dict(os.environ, QT_QPA_PLATFORM=platform)
    start = time.time_ns()
    out = subprocess.run([binary], env=env, capture_output=True, text=True, timeout=30).stdout.split()
    fields = dict(zip(out[::2], out[1::2]))
    return (int(fields["first_frame_ns"]) - start) / 1e6, int(fields["rss_kib"]) / 1024


def measure(binaries, platform, runs):
    """Medians for each binary, run in turn in a new order each round, so that a machine that
    slows down for a while, or one run that slows the next, weighs on all of them alike."""
    samples = {name: [] for name in binaries}
    order = list(binaries)
    for _ in range(runs):
        random.shuffle(order)
        for name in order:
            samples[name].append(run_once(binaries[name], platform))
    return {name: (statistics.median(t for t, _ in runs), statistics.median(r for _, r in runs))
            for name, runs in samples.items()}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=15)
    parser.add_argument("--build", default="build")
    parser.add_argument("--platform", default="offscreen")
    args = parser.parse_args()
    bench = os.path.join(args.build, "bench")
    rows = measure({name: os.path.join(bench, "bench_startup_" + name) for name in ("bare", "bare_text", "quillmere")},
                   args.platform, args.runs)
    print(f"platform {args.platform}, median of {args.runs} runs")
    print(f"{'window':<26}{'first frame ms':>16}{'resident MiB':>14}")
    for name, (ms, mib) in rows.items():
        print(f"{name:<26}{ms:>16.1f}{mib:>14.1f}")
    for base in ("bare", "bare_text"):
        ms, mib = rows["quillmere"][0] / rows[base][0], rows["quillmere"][1] / rows[base][1]
        print(f"{'ratio quillmere / ' + base:<26}{ms:>16.2f}{mib:>14.2f}")


if __name__ == "__main__":
    main()
