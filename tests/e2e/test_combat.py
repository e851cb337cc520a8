"""Fighting: the gun, the beam and a shockwave each kill the drifting ship that
start-up puts at (50, 50), straight above the player; the kill shows on the
short-range radar (its red blip goes) and where the ship was on screen."""
import time

import gamerun
import scenes
from scenes import blob, box_around, to_screen

ENEMY = (50.0, 50.0)            # where start-up puts the first enemy ship (type 1)
PLAYER = (50.0, -1200.0)        # 1250 units straight below it
ENEMY_HEALTH = 50

WEAPONS = scenes.projectiles(
    # slot 0, key "1": five hits kill; tiny shots, so that only the explosion
    # lights up the spot where the enemy was
    scenes.projectile(name="Test gun", cooldown=150, speed=2.5, lifetime=1500, damage=10, texture=0, size=6),
    # slot 1, key "2": the beam, 50 hit points in a second of contact
    scenes.projectile(name="Test beam", damage=0.05),
    # slot 2, key "3": one slow pod a trigger pull; a hit bursts into a shockwave,
    # which deals this damage per ms
    scenes.projectile(name="Test pod", cooldown=5000, speed=1.5, lifetime=2000, damage=0.3,
                      onHitEffect=1, texture=2, size=30),
    # slot 3, key "4": events that do not exist; each shot names its event once and goes
    scenes.projectile(name="Test dud", cooldown=200, speed=2.5, lifetime=300, onDeathEffect=5, onHitEffect=5),
)
DUD_LINE = "Bad eventNum value in projectileEvent 5"

RADAR_BLIP = box_around(scenes.radar_spot(ENEMY, PLAYER), 6)
ENEMY_ON_SCREEN = box_around(to_screen(ENEMY, PLAYER), 16)


def start(session, name):
    game = scenes.start(session, name, scenes.galaxy([]), PLAYER,
                        ships=scenes.ship_data(health=ENEMY_HEALTH), weapons=WEAPONS)
    game.key("minus", "minus", "minus")  # fewer spawns; they appear 20000+ units away anyway
    game.move(0, -60)                      # the pointer 360 units straight above the ship
    game.wait_frames(3)
    return game


def enemy_blip(shot):
    return blob(shot, RADAR_BLIP, scenes.radar_enemy)


def enemy_body(shot):
    return blob(shot, ENEMY_ON_SCREEN, scenes.lit)


def check_enemy_there(session, game):
    shot = game.screenshot("aimed")
    radar, body = enemy_blip(shot), enemy_body(shot)
    scenes.note("%s: enemy blip and body" % game.name, radar, body)
    session.check(radar.count > 0, "no red blip of the enemy on the radar at %s: %r (%s)"
                  % (RADAR_BLIP, radar, shot.path))
    session.check(body.count > 40, "no enemy ship drawn at %s: %r (%s)" % (ENEMY_ON_SCREEN, body, shot.path))
    return shot


def fire_until_blip_gone(game, label, seconds=8):
    """Holds space, photographing, until the enemy's radar blip is gone; returns
    the first shot without it and one more taken at once, still firing. (The
    first may show the very frame of the death, drawn before the ship left the
    list: the beam still ends on it and its explosion is not drawn yet.)"""
    game.key_down("space")
    try:
        return wait_until_blip_gone(game, label, seconds)
    finally:
        game.key_up("space")


def wait_until_blip_gone(game, label, seconds):
    """Screenshots until the enemy's radar blip is gone; that shot and the next."""
    deadline = time.monotonic() + seconds
    count = 0
    while time.monotonic() < deadline:
        count += 1
        shot = game.screenshot("%s-%d" % (label, count))
        if enemy_blip(shot).count == 0:
            scenes.note("%s: blip gone" % game.name, "shot %d" % count)
            return shot, game.screenshot("%s-%d" % (label, count + 1))
    raise gamerun.Failure("the enemy's radar blip was still there after %gs of %s (%s)"
                          % (seconds, label, shot.path))


def check_gone_for_good(session, game, label):
    """A second later the blip is still gone and the explosion has burnt out."""
    game.pause(1.2)
    game.wait_frames(2)
    shot = game.screenshot(label)
    radar, body = enemy_blip(shot), enemy_body(shot)
    scenes.note("%s: a second later, blip and body" % game.name, radar, body)
    session.check(radar.count == 0, "the enemy's blip came back: %r (%s)" % (radar, shot.path))
    session.check(body.count < 20, "something is still drawn where the enemy was: %r (%s)" % (body, shot.path))


def check_clean_exit(session, game):
    bad = [line for line in game.lines() if ("Bad " in line or "error" in line.lower()) and line != DUD_LINE]
    session.check(not bad, "the game complained: %s" % bad[:5])
    session.check(game.quit() == 0, "q did not end the game with status 0")


def gun_burst_kills(session):
    game = start(session, "gun")
    check_enemy_there(session, game)
    game.key("1")
    # The explosion shrinks to nothing in a second from the frame after the death.
    flash, shot = max(((enemy_body(shot), shot) for shot in fire_until_blip_gone(game, "gun")),
                      key=lambda seen: seen[0].count)
    scenes.note("gun: explosion", flash)
    session.check(flash.count > 30, "no explosion where the enemy died: %r (%s)" % (flash, shot.path))
    check_gone_for_good(session, game, "gun-after")
    dud_shots_leave(session, game)
    check_clean_exit(session, game)


def dud_shots_leave(session, game):
    """A shot whose event does not exist says so once and leaves, instead of
    staying in the list and saying it every frame."""
    game.key("4")
    game.hold("space", 1.0)  # at most 6 shots at one per 200 ms
    game.pause(0.6)          # each lives 300 ms
    fired = sum(1 for line in game.lines() if line == DUD_LINE)
    game.wait_frames(20)
    later = sum(1 for line in game.lines() if line == DUD_LINE)
    scenes.note("dud: event lines after firing, and 20 frames later", fired, later)
    session.check(1 <= fired <= 6, "%d \"%s\" lines for at most 6 shots" % (fired, DUD_LINE))
    session.check(later == fired, "the duds kept talking: %d lines, then %d" % (fired, later))


def shockwave_pod(session):
    game = start(session, "shockwave")
    check_enemy_there(session, game)
    game.key("3")
    mark = game.mark()
    game.hold("space", 0.3)  # one pod; the next would need 5 s
    fired = game.wait_for("Shockwave fired", timeout=10, since=mark)
    triggered = game.wait_for("Triggered", timeout=10, since=fired)
    scenes.note("shockwave: output lines", "\"Shockwave fired\" at %d, first \"Triggered\" at %d" % (fired, triggered))
    game.pause(0.5)
    shot = game.screenshot("shockwave")
    # Half a second in, the ring round the enemy is some 40 px across.
    wave = blob(shot, box_around(to_screen(ENEMY, PLAYER), 90), scenes.lit)
    scenes.note("shockwave: lit round the enemy", wave)
    session.check(wave.count > 150, "no shockwave drawn round the enemy: %r (%s)" % (wave, shot.path))
    # The hit itself deals only 0.3; the wave's 0.3 per ms finishes the ship.
    wait_until_blip_gone(game, "wave", 6)
    lines = game.lines()
    session.check(sum(1 for line in lines if line == "Shockwave fired") == 1,
                  "one pod should burst once, got %d \"Shockwave fired\" lines"
                  % sum(1 for line in lines if line == "Shockwave fired"))
    check_gone_for_good(session, game, "shockwave-after")
    check_clean_exit(session, game)


def beam_kills(session):
    game = start(session, "beam")
    check_enemy_there(session, game)
    game.key("2")
    game.key_down("space")
    try:
        game.wait_frames(2)
        beam = game.screenshot("beam-on")
    finally:
        game.key_up("space")
    # The beam runs up from the ship to the enemy, along the screen's middle column.
    ship_y = scenes.SCREEN_H / 2
    enemy_y = to_screen(ENEMY, PLAYER)[1]
    stretch = (int(scenes.SCREEN_W / 2 - 8), int(enemy_y + 30), 16, int(ship_y - enemy_y - 60))
    ray = blob(beam, stretch, scenes.lit)
    scenes.note("beam: lit pixels between ship and enemy", ray)
    session.check(ray.count > 0.5 * stretch[3], "no beam between the ship and the enemy: %r (%s)"
                  % (ray, beam.path))
    if enemy_blip(beam).count:
        # While the enemy lives the beam ends on it: nothing lit above it.
        beyond = blob(beam, (stretch[0], 0, stretch[2], int(enemy_y - 30)), scenes.lit)
        scenes.note("beam: lit pixels beyond the living enemy", beyond)
        session.check(beyond.count < 10, "the beam went on past the enemy: %r (%s)" % (beyond, beam.path))
    kill = fire_until_blip_gone(game, "beam")[1]
    # With the ship gone the beam runs on to the edge of the playfield.
    beyond = blob(kill, (stretch[0], 0, stretch[2], int(enemy_y - 30)), scenes.lit)
    scenes.note("beam: lit pixels beyond where the enemy was", beyond)
    session.check(beyond.count > 0.5 * (enemy_y - 30), "the beam stops short of the screen's top edge after the kill:"
                  " %r (%s)" % (beyond, kill.path))
    check_gone_for_good(session, game, "beam-after")
    check_clean_exit(session, game)


def hunter_leaves_a_red_trail(session):
    """The first enemy, made a hunter, dives from the top of the screen at the
    player and draws a red ribbon behind it. The trail spans only 0.4 s of
    flight, less on a slow display, so it reaches a little way above the hull,
    which alone is some 15 px tall."""
    below = (ENEMY[0], ENEMY[1] - 1850)
    game = scenes.start(session, "hunter", scenes.galaxy([]), below,
                        ships=scenes.ship_data(mode=1, accel=0.3, top=0.6, health=ENEMY_HEALTH))
    game.key("minus", "minus", "minus")
    lane = (int(scenes.SCREEN_W / 2 - 60), 0, 120, int(scenes.SCREEN_H / 2 - 60))
    deadline = time.monotonic() + 15
    best, shot, count = None, None, 0
    while time.monotonic() < deadline:
        count += 1
        shot = game.screenshot("hunting-%d" % count)
        best = blob(shot, lane, scenes.red_trail)
        if best.count > 70 and best.height > 24:
            break
    scenes.note("hunter: red pixels in its lane", best, "shot %d" % count)
    session.check(best.count > 70 and best.height > 24, "no red trail behind the diving enemy: %r (%s)"
                  % (best, shot.path))
    check_clean_exit(session, game)


def scenario(session):
    hunter_leaves_a_red_trail(session)
    gun_burst_kills(session)
    shockwave_pod(session)
    beam_kills(session)


if __name__ == "__main__":
    gamerun.main(scenario)
