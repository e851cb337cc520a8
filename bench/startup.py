#!/usr/bin/env python3
"""Start-up time of the game, to the line "Done with that, now starting main loop",
against a bare SDL + GLEW program opening the same window; runs taken turn about
in one X display (use xvfb-run), medians printed.

  bench/startup.py --assets assets --bare BARE_WINDOW GAME [GAME ...] [--runs 7]"""
import argparse
import os
import statistics
import subprocess
import time


def time_to_line(cmd, line, cwd):
    start = time.perf_counter()
    proc = subprocess.Popen(cmd, cwd=cwd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    elapsed = None
    for text in proc.stdout:
        if text.rstrip("\n") == line:
            elapsed = time.perf_counter() - start
            break
    proc.kill()
    proc.wait()
    if elapsed is None:
        raise SystemExit(f"{cmd[0]} never printed {line!r}")
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
