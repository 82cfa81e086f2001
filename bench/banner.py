#!/usr/bin/python3
"""The banner's cost: reading the demo movie (a headline blurred in and drop-shadowed, a glowing
sparkle, stripes multiplied over it, a star a script draws and turns), playing a frame and drawing
one frame into the 449 x 65 area (mean and busiest frame, in microseconds), the same for a 550 x
400 scene of gradients, strokes and text and for a scripted banner (the cost of its scripts apart
from that of drawing), then the real program's share of one core while the demo
banner plays in an idle window, measured from /proc over a quiet stretch after the lists have
loaded.

    python3 bench/banner.py [--build DIR] [--seconds N]
"""
import argparse
import os
import socket
import subprocess
import time

HERE = os.path.dirname(os.path.abspath(__file__))
DEMO = os.path.join(HERE, "..", "demo")


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build")
    parser.add_argument("--seconds", type=float, default=20)
    args = parser.parse_args()
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")

    out = subprocess.run([os.path.join(args.build, "bench", "bench_banner"), os.path.join(DEMO, "prx", "banner.swf")],
                         env=env, capture_output=True, text=True, check=True).stdout.split()
    r = dict(zip(out[::2], out[1::2]))
    print(f"demo banner, blurred, glowing and multiplied ({r['frames']} frames): "
          f"read {float(r['read_us']):.0f} us, play a frame {float(r['tick_us']):.0f} us, draw a frame "
          f"{float(r['draw_us']):.0f} us (busiest {float(r['busiest_draw_us']):.0f} us)")
    out = subprocess.run([os.path.join(args.build, "bench", "bench_banner"), "--scene"],
                         env=env, capture_output=True, text=True, check=True).stdout.split()
    r = dict(zip(out[::2], out[1::2]))
    print(f"550 x 400 scene of gradients, strokes and text ({r['frames']} frames): draw a frame "
          f"{float(r['draw_us']):.0f} us (busiest {float(r['busiest_draw_us']):.0f} us)")
    out = subprocess.run([os.path.join(args.build, "bench", "bench_banner"), "--scripted"],
                         env=env, capture_output=True, text=True, check=True).stdout.split()
    r = dict(zip(out[::2], out[1::2]))
    print(f"scripted banner, twelve drawn stars tweened by onEnterFrame: play a frame, scripts included, "
          f"{float(r['tick_us']):.0f} us (busiest {float(r['busiest_tick_us']):.0f} us); draw a frame "
          f"{float(r['draw_us']):.0f} us (busiest {float(r['busiest_draw_us']):.0f} us)")

    # The program is built with the demo server's address; it is started here on that port.
    with socket.socket() as probe:
        busy = probe.connect_ex(("127.0.0.1", 8642)) == 0
    server = None if busy else subprocess.Popen(
        ["python3", "-m", "http.server", "--bind", "127.0.0.1", "8642", "--directory", DEMO],
        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    program = None
    try:
        time.sleep(0.5)
        program = subprocess.Popen([os.path.join(args.build, "src", "quillmere")], env=env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        time.sleep(3)  # start-up, the lists and the banner's download
        before, start = cpu_seconds(program.pid), time.monotonic()
        time.sleep(args.seconds)
        share = (cpu_seconds(program.pid) - before) / (time.monotonic() - start)
        print(f"program idle with the banner playing: {100 * share:.1f}% of one core over {args.seconds:.0f} s")
    finally:
        if program:
            program.terminate()
            program.wait()
        if server:
            server.terminate()


if __name__ == "__main__":
    main()
