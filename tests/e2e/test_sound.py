"""The game is heard: SDL's disk audio driver records what the mixer plays, and
the recording is quiet at rest, louder while firing and while thrusting, louder
on the left for a wormhole to the left of the ship, and silent with --mute
until the sound key turns it on."""
from audio import Capture, rms
import gamerun
import scenes

LEFT_GATE = scenes.wormhole(-2000, 0, 200, 0, 0, 0)  # 2000 units left of the ship: within the view


def while_held(game, capture, key, seconds=1.0):
    game.key_down(key)
    try:
        return capture.record(game, seconds)
    finally:
        game.key_up(key)


def rest_fire_thrust(session):
    capture = Capture(session, "flight")
    game = scenes.start(session, "flight", scenes.galaxy([]), (0, 0), env=capture.env)
    game.move(0, -60)  # aim above the ship
    rest = capture.record(game, 1.0)
    firing = while_held(game, capture, "space")
    game.pause(1.0)  # the last shot dies away
    thrusting = while_held(game, capture, "w")
    scenes.note("at rest", rest)
    scenes.note("firing the pulse gun", firing)
    scenes.note("thrusting", thrusting)
    session.check(rest.seconds > 0.5, "the disk driver recorded only %.2f s in a second" % rest.seconds)
    session.check(rest.rms() < 20, "not quiet at rest: %s" % rest)
    session.check(firing.rms() > 300 and firing.rms() > 10 * max(rest.rms(), 1), "firing is not heard: %s" % firing)
    session.check(thrusting.rms() > 200 and thrusting.rms() > 10 * max(rest.rms(), 1),
                  "thrusting is not heard: %s" % thrusting)
    session.check(game.quit() == 0, "q did not end the game with status 0")


def wormhole_on_the_left(session):
    capture = Capture(session, "wormhole")
    game = scenes.start(session, "wormhole", scenes.galaxy([LEFT_GATE]), (0, 0), env=capture.env)
    hum = capture.record(game, 1.0)
    scenes.note("wormhole hum from the left", hum)
    session.check(hum.rms() > 200, "the wormhole's hum is not heard: %s" % hum)
    session.check(rms(hum.left) > 1.5 * rms(hum.right), "the hum is not louder on the left: %s" % hum)
    session.check(game.quit() == 0, "q did not end the game with status 0")


def muted_until_toggled(session):
    capture = Capture(session, "muted")
    game = scenes.start(session, "muted", scenes.galaxy([LEFT_GATE]), (0, 0), args=["--mute"], env=capture.env)
    game.move(0, -60)
    firing = while_held(game, capture, "space")
    thrusting = while_held(game, capture, "w")
    scenes.note("muted, firing then thrusting beside a wormhole", firing, thrusting)
    session.check(firing.peak == 0 and thrusting.peak == 0, "--mute is not silent: %s; %s" % (firing, thrusting))
    since = game.mark("stderr")
    game.key("o")
    game.wait_for("Sound on", stream="stderr", since=since)
    unmuted = capture.record(game, 0.5)
    scenes.note("after the sound key", unmuted)
    session.check(unmuted.rms() > 200, "the sound key did not turn sound on: %s" % unmuted)
    session.check(game.quit() == 0, "q did not end the game with status 0")


def scenario(session):
    rest_fire_thrust(session)
    wormhole_on_the_left(session)
    muted_until_toggled(session)


if __name__ == "__main__":
    gamerun.main(scenario)
