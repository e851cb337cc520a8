#!/usr/bin/env python3
"""Compares what two asset directories cost the real game: start-up time,
resident memory and frame rate, with the runs interleaved (A, B, A, B, ...)
so that the load of a shared machine falls on both alike; prints every run
and the medians.

Run under an X display with the game built, for example to weigh a new image
against the one in git:
    mkdir -p /tmp/old && cp -r assets/. /tmp/old && git show HEAD~1:assets/dust.png > /tmp/old/dust.png
    xvfb-run -a -s "-screen 0 1280x1024x24" python3 tools/measure_assets.py /tmp/old assets --runs 6

Start-up is the time from launch to the line that opens the main loop; the
frame rate counts the empty line the game writes each frame, over a window
that opens a few seconds into the run; memory is VmRSS and VmHWM at its end.
"""
import argparse
import os
import shutil
import statistics
import subprocess
import tempfile
import threading
import time

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
READY_LINE = "Done with that, now starting main loop"


def memory_kb(pid):
    fields = {}
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            key, _, value = line.partition(":")
            if key in ("VmRSS", "VmHWM"):
                fields[key] = int(value.split()[0])
    return fields


def cpu_seconds(pid):
    """User and system time of the process and its threads (llvmpipe draws on threads of its own)."""
    with open("/proc/%d/stat" % pid) as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def run_once(game, assets, settle, window):
    """One run of the game on a copy of assets: start-up in s of wall and of CPU time,
    frames per s, CPU ms per frame, VmRSS and VmHWM in MB."""
    with tempfile.TemporaryDirectory() as work:
        workdir = os.path.join(work, "assets")
        shutil.copytree(assets, workdir)
        stamps = []  # (time, line) as the game writes them
        began = time.monotonic()
        proc = subprocess.Popen([game], cwd=workdir, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL, text=True, bufsize=1)

        def read():
            for line in proc.stdout:
                stamps.append((time.monotonic(), line.rstrip("\n")))

        reader = threading.Thread(target=read, daemon=True)
        reader.start()
        try:
            while not any(line == READY_LINE for _, line in stamps):
                if proc.poll() is not None or time.monotonic() - began > 120:
                    raise SystemExit("the game did not reach its main loop in %s" % assets)
                time.sleep(0.005)
            ready = next(t for t, line in stamps if line == READY_LINE)
            startup_cpu = cpu_seconds(proc.pid)  # read a few ms late at most: the loop has begun
            time.sleep(max(0.0, ready + settle - time.monotonic()))
            cpu0 = cpu_seconds(proc.pid)
            time.sleep(max(0.0, ready + settle + window - time.monotonic()))
            cpu1 = cpu_seconds(proc.pid)
            mem = memory_kb(proc.pid)
        finally:
            proc.terminate()
            proc.wait(timeout=20)
            reader.join(timeout=5)
        frames = sum(1 for t, line in stamps if not line and ready + settle <= t < ready + settle + window)
        return (ready - began, startup_cpu, frames / window, 1000.0 * (cpu1 - cpu0) / max(frames, 1),
                mem["VmRSS"] / 1024.0, mem["VmHWM"] / 1024.0)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("a", help="asset directory A (the baseline)")
    parser.add_argument("b", help="asset directory B")
    parser.add_argument("--runs", type=int, default=6, help="runs of each")
    parser.add_argument("--settle", type=float, default=3.0, help="seconds before the frame count opens")
    parser.add_argument("--window", type=float, default=8.0, help="seconds of frames counted")
    parser.add_argument("--game", default=os.path.join(REPO, "build", "vumtal"))
    args = parser.parse_args()
    results = {"A": [], "B": []}
    print("run  start_s  start_cpu_s  fps    cpu_ms/frame  rss_MB  peak_MB")
    for i in range(args.runs):
        for label, assets in (("A", args.a), ("B", args.b)):
            r = run_once(os.path.abspath(args.game), os.path.abspath(assets), args.settle, args.window)
            results[label].append(r)
            print("%s%-3d %7.3f  %11.3f  %5.1f  %12.1f  %6.1f  %7.1f" % ((label, i + 1) + r), flush=True)
    medians = {k: [statistics.median(col) for col in zip(*v)] for k, v in results.items()}
    for label in "AB":
        print("median %s  start %.3f s (%.3f s CPU)  %.1f fps (%.1f CPU ms a frame)  %.1f MB (%.1f MB peak)"
              % ((label,) + tuple(medians[label])))
    a, b = medians["A"], medians["B"]
    print("B - A     start %+.3f s (%+.3f s CPU)  %+.1f%% fps (%+.1f%% CPU a frame)  %+.1f MB (%+.1f MB peak)"
          % (b[0] - a[0], b[1] - a[1], 100.0 * (b[2] - a[2]) / a[2], 100.0 * (b[3] - a[3]) / a[3],
             b[4] - a[4], b[5] - a[5]))


if __name__ == "__main__":
    main()
