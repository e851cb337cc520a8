"""Soak: the real game on the shipped data, starting above Terra: it lands, opens
the market, drags its slider, buys and closes it, takes off, then plays a steady
loop of scripted input (thrust, turn, reverse, every weapon slot fired, spawning sped up),
sampling the game's resident memory and its entity counts (the "p" key prints
them) every 10 s and printing the series. It fails when the game dies, stops
answering or does not quit cleanly. 60 s in the test command; scripts/soak
runs it for longer (VUMTAL_SOAK_SECONDS)."""
import os
import re
import time

import gamerun
import scenes
import test_flight as flight  # the shipped market: its layout, the landing start and the steps through it

SECONDS = float(os.environ.get("VUMTAL_SOAK_SECONDS", "60"))
SAMPLE_EVERY = 10.0
COUNTS = re.compile(r"Counts: ships (\d+), projectiles (\d+), timers (\d+), world (-?\d+)")
SLOTS = "1234567"


def rss_kib(pid):
    with open("/proc/%d/status" % pid) as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    raise gamerun.Failure("no VmRSS for pid %d" % pid)


def sample(game, elapsed):
    since = game.mark()
    game.key("p")
    found = game.wait_for("Counts: ", timeout=20, since=since)
    line = game.lines()[found]
    ships, projectiles, timers, world = COUNTS.search(line).groups()
    row = (elapsed, rss_kib(game.process.pid) / 1024.0, int(ships), int(projectiles), int(timers), int(world))
    print("  soak: t=%4ds rss=%7.1f MB ships=%4d projectiles=%4d timers=%3d world=%d" % row, flush=True)
    return row


def play_a_round(game, round_number):
    """About two seconds of flying and fighting with one weapon slot."""
    game.key(SLOTS[round_number % len(SLOTS)])
    game.move(*((35, -20) if round_number % 2 else (-35, 20)))
    game.key_down("space")
    try:
        game.hold("a" if round_number % 4 < 2 else "d", 0.25)
        game.hold("w", 0.3)
        game.pause(0.6)
        game.hold("s", 0.3)
    finally:
        game.key_up("space")
    game.pause(0.3)


def use_market(game):
    """Lands on Terra, trades once in the market and takes off again."""
    flight.land_and_open_market(game)
    here = flight.drag_slider(game, scenes.POINTER_START)
    here = flight.click_at(game, here, flight.BUY, "Table match buy")
    flight.click_at(game, here, flight.CLOSE, "Deleting frame")
    game.hold("s", 1.0)  # charges the launch
    game.hold("w", 0.5)


def scenario(session):
    game = session.game(name="soak", files={"playerdata.txt": scenes.player_data(*flight.ABOVE_TERRA)}).start()
    use_market(game)
    game.key("equal")  # enemies come twice as often
    series = []
    started = time.monotonic()
    next_sample = 0.0
    round_number = 0
    while True:
        elapsed = time.monotonic() - started
        done = elapsed >= SECONDS
        if elapsed >= next_sample or done:
            series.append(sample(game, int(round(elapsed))))
            next_sample += SAMPLE_EVERY
        if done:
            break
        session.check(game.running(), "the game ended during the soak (status %s)\n%s"
                      % (game.process.returncode, game.err.tail()))
        play_a_round(game, round_number)
        round_number += 1
    reports = [l for l in game.lines("stderr") if "Sanitizer" in l or "runtime error" in l]
    session.check(not reports, "sanitizer reports during the soak:\n%s" % "\n".join(reports[:10]))
    after_minute = next((row for row in series if row[0] >= 60), series[-1])
    last = series[-1]
    print("  soak: RSS %.1f MB at %ds with %d ships, %.1f MB at %ds with %d ships (%+.1f%%)"
          % (after_minute[1], after_minute[0], after_minute[2], last[1], last[0], last[2],
             100.0 * (last[1] - after_minute[1]) / after_minute[1]), flush=True)
    session.check(game.quit() == 0, "q did not end the game cleanly after the soak")


if __name__ == "__main__":
    gamerun.main(scenario)
