#!/usr/bin/env python3
"""Runs the frame benchmarks of two builds turn about, so that both see the same
load on a shared machine, and prints the medians side by side as a Markdown table.

  bench/compare.py BEFORE_BENCH AFTER_BENCH [--rounds 3] [--gl] [-- benchmark flags]

With --gl both run inside the current X display (use xvfb-run)."""
import argparse
import json
import os
import statistics
import subprocess
import sys
import tempfile


def run_once(binary, gl, extra):
    with tempfile.NamedTemporaryFile(suffix=".json", delete=False) as out:
        path = out.name
    cmd = [binary] + (["--gl"] if gl else []) + ["--benchmark_out=" + path, "--benchmark_out_format=json"] + extra
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL)
    with open(path) as f:
        data = json.load(f)
    os.unlink(path)
    # Columns: real, main thread's CPU, every thread's CPU, resident MB (the
    # last two only from the benchmarks that count them; NaN elsewhere).
    nan = float("nan")
    return {b["run_name"]: (b["real_time"], b["cpu_time"], b.get("all_cpu_ms", nan), b.get("rss_mb", nan))
            for b in data["benchmarks"] if b["run_type"] == "iteration"}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("before")
    parser.add_argument("after")
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--gl", action="store_true")
    args, extra = parser.parse_known_args()
    extra = [e for e in extra if e != "--"]
    runs = {"before": [], "after": []}
    for i in range(args.rounds):
        for side in ("before", "after"):
            print(f"round {i + 1}: {side}", file=sys.stderr, flush=True)
            runs[side].append(run_once(getattr(args, side), args.gl, extra))

    def median(side, name, column):
        values = [r[name][column] for r in runs[side] if name in r and r[name][column] == r[name][column]]
        return statistics.median(values) if values else float("nan")

    names = list(runs["after"][0].keys())
    print(f"Medians of {args.rounds} interleaved runs, ms per frame (real time / CPU time of the main thread).\n")
    print("| benchmark | before real | before CPU | after real | after CPU | CPU speed-up |")
    print("|---|---|---|---|---|---|")
    for name in names:
        b_real, b_cpu = median("before", name, 0), median("before", name, 1)
        a_real, a_cpu = median("after", name, 0), median("after", name, 1)
        print(f"| {name} | {b_real:.3f} | {b_cpu:.3f} | {a_real:.3f} | {a_cpu:.3f} | {b_cpu / a_cpu:.1f}x |")

    counted = [n for n in names if median("after", n, 2) == median("after", n, 2)]
    if counted:
        print("\nThe same runs, CPU of every thread (llvmpipe's rasterisers too), ms per frame, and resident MB:\n")
        print("| benchmark | before all-thread CPU | after all-thread CPU | ratio | before MB | after MB |")
        print("|---|---|---|---|---|---|")
        for name in counted:
            b_all, a_all = median("before", name, 2), median("after", name, 2)
            print(f"| {name} | {b_all:.2f} | {a_all:.2f} | {a_all / b_all:.2f}x | "
                  f"{median('before', name, 3):.1f} | {median('after', name, 3):.1f} |")

    prefix = "gl/" if args.gl else "sim/"
    print()
    for side in ("before", "after"):
        for column, label in ((0, "real"), (1, "CPU")):
            small = median(side, prefix + "frame/ships:100/real_time", column)
            big = median(side, prefix + "frame/ships:1000/real_time", column)
            huge = median(side, prefix + "frame/ships:2000/real_time", column)
            if small != small or big != big:  # NaN: the filter left these out
                continue
            print(f"{side}, {label}: 1,000 x 10,000 costs {big / small:.1f}x 100 x 1,000 (goal at most 11x); "
                  f"2,000 x 20,000 costs {huge / big:.2f}x 1,000 x 10,000; 1,000 x 10,000 = {big:.2f} ms")
        if args.gl:
            empty = median(side, "game/frame/ships:0/min_time:2.000/real_time", 0)
            crowded = median(side, "game/frame/ships:2000/min_time:2.000/real_time", 0)
            if empty == empty:
                print(f"{side}: real frame empty {empty:.1f} ms ({1000 / empty:.1f} FPS), 2,000 ships {crowded:.1f} ms "
                      f"({1000 / crowded:.1f} FPS): {100 * (crowded / empty - 1):+.1f}% (goal at most +10%)")
            for column, label in ((0, "real"), (2, "all-thread CPU")):
                zoomed = [median(side, f"game/zoomed/ships:{n}/min_time:2.000/real_time", column) for n in (0, 2000, 4000)]
                if all(z == z for z in zoomed):
                    print(f"{side}, {label}: zoomed out, 2,000 ships {zoomed[1] / zoomed[0]:.2f}x the empty view "
                          f"(goal at most 1.3x), {(zoomed[2] - zoomed[0]) * 1000 / 4000:.2f} us per visible ship "
                          f"(goal at most 1.5)")
    for column, label in ((0, "real"), (2, "all-thread CPU")):
        before = median("before", "game/empty/clicks:0/min_time:2.000/real_time", column)
        after = median("after", "game/empty/clicks:0/min_time:2.000/real_time", column)
        if before == before and after == after:
            print(f"empty game at the default zoom, {label}: after {after / before:.2f}x before (goal at most 0.75x)")


if __name__ == "__main__":
    main()
