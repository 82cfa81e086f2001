#!/usr/bin/python3
"""Loading big lists, 10^4 to 10^7 lines of 12 to 30 ASCII bytes, into the real window:

  read     ReadLinesInto of top20.bin into List1 up to its next paint, against the floor of any
           reader (reading the file and counting its line feeds) measured in the same process;
  second   a second file of the same size read into the same list;
  scroll/select  bringing the list's end to the screen, and selecting its last row there;
  find     a typed letter that no entry starts with, so that every entry is looked at;
  memory   resident memory of the window before, at the peak of the read, and after it;
  start-up the whole start-up load (top-20 request to "Loading Complete") from a local HTTP
           server, against the floor of reading, splitting and decoding the file into strings,
           and the program's peak memory during it.

    python3 bench/lists.py [--build DIR] [--largest 7]
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
    names = ["".join(rng.choice(letters) for _ in range(rng.randint(12, 30) - 8)) + ".example\n"
             for _ in range(min(count, 100000))]
    with open(path, "w", newline="") as out:
        for i in range(count):
            out.write(names[i % len(names)])


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def run(binary, *args):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    words = subprocess.run([binary, *map(str, args)], env=env, capture_output=True, text=True,
                           timeout=1200).stdout.split()
    return {k: float(v) for k, v in zip(words[::2], words[1::2]) if k != "failed"}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build")
    parser.add_argument("--largest", type=int, default=7)
    args = parser.parse_args()
    bench = os.path.join(args.build, "bench", "bench_lists")
    rng = random.Random(20)
    print(f"{'lines':>9}{'MiB':>7}{'floor s':>9}{'read s':>9}{'read/floor':>11}{'second s':>10}"
          f"{'scroll ms':>10}{'select ms':>10}{'find ms':>9}{'window MiB':>11}{'peak +file':>11}{'after +file':>12}")
    with tempfile.TemporaryDirectory() as root:
        for exponent in range(4, args.largest + 1):
            count = 10 ** exponent
            d = os.path.join(root, str(count))
            prx = os.path.join(d, "prx")
            os.makedirs(prx)
            for name in ("top20.bin", "second.bin", "top30.bin", *(f"list{n}.bin" for n in range(1, 6))):
                write_list(os.path.join(prx, name), count if name in ("top20.bin", "second.bin") else 30, rng)
            open(os.path.join(prx, "info.bin"), "w").close()
            size = os.path.getsize(os.path.join(prx, "top20.bin")) / 2**10
            r = run(bench, "read", d)
            window = r["window_kib"]
            print(f"{count:>9}{size / 1024:>7.1f}{r['floor']:>9.3f}{r['read']:>9.3f}{r['read'] / r['floor']:>11.2f}"
                  f"{r['second']:>10.3f}{r['scroll_ms']:>10.1f}{r['select_ms']:>10.1f}{r['find_ms']:>9.1f}{window / 1024:>11.1f}"
                  f"{(r['peak_kib'] - window) / size:>10.2f}x{(r['after_kib'] - window) / size:>11.2f}x")
            if count == 10 ** 6:
                port = free_port()
                server = subprocess.Popen(["python3", "-m", "http.server", "--bind", "127.0.0.1", str(port),
                                           "--directory", d], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                try:
                    time.sleep(0.5)
                    s = run(bench, "startup", d, port)
                finally:
                    server.terminate()
                startup = (f"start-up load of 10^6 lines: {s['load']:.3f} s against {s['floor']:.3f} s to read, split "
                           f"and decode them ({s['load'] / s['floor']:.2f}x); program peak = window "
                           f"{s['window_kib'] / 1024:.1f} MiB + {(s['peak_kib'] - s['window_kib']) / size:.2f}x the file")
    print("\n" + startup)
    long = run(bench, "long", "-")
    for encoding in ("ascii", "windows1252"):
        print(f"a screenful of 10 MiB lines, {encoding}: drawn in {long[encoding + '_first_ms']:.1f} ms, "
              f"again in {long[encoding + '_again_ms']:.1f} ms")


if __name__ == "__main__":
    main()
