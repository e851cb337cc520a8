#!/usr/bin/env python3
"""Start-up time of the game, to the line "Done with that, now starting main loop",
against a bare SDL + GLEW program opening the same window; runs taken turn about
in one X display (use xvfb-run), medians printed.

  bench/startup.py --assets assets --bare BARE_WINDOW GAME [GAME ...] [--runs 7]"""
import argparse
import os
import statistics
import subprocess
import threading
import time

TIMEOUT_S = 60  # per run, to the line


def time_to_line(cmd, line, cwd, timeout=TIMEOUT_S):
    start = time.perf_counter()
    proc = subprocess.Popen(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    # A program that hangs before the line would block the read below for ever;
    # killing it closes its output and ends the read.
    timed_out = threading.Event()

    def give_up():
        timed_out.set()
        proc.kill()

    watchdog = threading.Timer(timeout, give_up)
    watchdog.start()
    elapsed = None
    try:
        for text in proc.stdout:
            if text.rstrip("\n") == line:
                elapsed = time.perf_counter() - start
                break
    finally:
        watchdog.cancel()
        proc.kill()
        proc.wait()
    if timed_out.is_set() and elapsed is None:
        raise SystemExit(f"{cmd[0]} did not print {line!r} within {timeout:g} s; killed it")
    if elapsed is None:
        raise SystemExit(f"{cmd[0]} never printed {line!r} (exit status {proc.returncode})")
    return elapsed * 1000


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("games", nargs="+")
    parser.add_argument("--bare", required=True)
    parser.add_argument("--assets", required=True)
    parser.add_argument("--runs", type=int, default=7)
    args = parser.parse_args()
    assets = os.path.abspath(args.assets)
    times = {name: [] for name in [args.bare] + args.games}
    for _ in range(args.runs):
        times[args.bare].append(time_to_line([os.path.abspath(args.bare)], "Window ready", assets))
        for game in args.games:
            times[game].append(
                time_to_line([os.path.abspath(game)], "Done with that, now starting main loop", assets))
    bare = statistics.median(times[args.bare])
    print(f"Medians of {args.runs} runs taken turn about, ms from start to the line:")
    print(f"  bare SDL + GLEW window: {bare:.1f} ms")
    print("    runs: " + " ".join(f"{t:.0f}" for t in times[args.bare]))
    for game in args.games:
        median = statistics.median(times[game])
        print(f"  {game}: {median:.1f} ms, {median / bare:.2f}x the bare window (goal at most 1.4x)")
        print("    runs: " + " ".join(f"{t:.0f}" for t in times[game]))


if __name__ == "__main__":
    main()
