#!/usr/bin/python3
"""Loading big lists: for top-20 files of 10^4, 10^5 and 10^6 lines (12 to 30 ASCII bytes each)
prints the floor (reading, splitting and decoding the file into strings), ReadLinesInto into
the real window's list up to its next paint, a second file of the same size read into the same
list, and a whole reload from the click to "Loading Complete" against a local HTTP server; then
the peak memory of a 10^6-line list.

    python3 bench/lists.py [--build DIR]
"""
import argparse
import os
import random
import socket
import subprocess
import tempfile
import time


def write_list(path, count, rng):
    letters = "abcdefghijklmnopqrstuvwxyz0123456789-"
    with open(path, "w", newline="") as out:
        for _ in range(count):
            size = rng.randint(12, 30) - len(".example")
            out.write("".join(rng.choice(letters) for _ in range(size)) + ".example\n")


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def run(binary, *args):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    words = subprocess.run([binary, *map(str, args)], env=env, capture_output=True, text=True,
                           timeout=600).stdout.split()
    return {k: float(v) for k, v in zip(words[::2], words[1::2])}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build")
    args = parser.parse_args()
    bench = os.path.join(args.build, "bench", "bench_lists")
    rng = random.Random(20)
    print(f"{'lines':>9}{'file MiB':>10}{'floor s':>10}{'read s':>10}{'read/floor':>12}{'second s':>10}{'reload s':>10}")
    with tempfile.TemporaryDirectory() as root:
        for count in (10**4, 10**5, 10**6):
            d = os.path.join(root, str(count))
            prx = os.path.join(d, "prx")
            os.makedirs(prx)
            for name in ("top20.bin", "second.bin", "top30.bin", *(f"list{n}.bin" for n in range(1, 6))):
                write_list(os.path.join(prx, name), count if name in ("top20.bin", "second.bin") else 30, rng)
            open(os.path.join(prx, "info.bin"), "w").close()
            port = free_port()
            server = subprocess.Popen(["python3", "-m", "http.server", "--bind", "127.0.0.1", str(port),
                                       "--directory", d], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            try:
                time.sleep(0.5)
                r = run(bench, "speed", d, port)
            finally:
                server.terminate()
            size = os.path.getsize(os.path.join(prx, "top20.bin")) / 2**20
            print(f"{count:>9}{size:>10.1f}{r['floor']:>10.3f}{r['read']:>10.3f}{r['read'] / r['floor']:>12.2f}"
                  f"{r['second']:>10.3f}{r['reload']:>10.3f}")
        m = run(bench, "memory", os.path.join(root, str(10**6)))
        bare = run(os.path.join(args.build, "bench", "bench_startup_bare"))
        size = os.path.getsize(os.path.join(root, str(10**6), "prx", "top20.bin")) / 2**10
        print(f"\n10^6 lines, file {size / 1024:.1f} MiB: window before reading {m['window_rss_kib'] / 1024:.1f} MiB, "
              f"peak {m['peak_kib'] / 1024:.1f} MiB; bare window {bare['rss_kib'] / 1024:.1f} MiB + 4 x file = "
              f"{(bare['rss_kib'] + 4 * size) / 1024:.1f} MiB")


if __name__ == "__main__":
    main()
