"""Flying: thrust moves the ship (the world slides past the centred camera), "a"
turns it in place, the wheel zooms, planets orbit while the ship sits still,
a wormhole carries the ship into another world, and a soft landing on the
shipped galaxy's Terra opens the shipped market panel on "e"."""
import math

from audio import Capture
import gamerun
import scenes
from scenes import blob, box_around, near, to_screen

# Far from the ship that start-up puts at (50, 50), so it is neither seen nor met.
HOME = (30000.0, 30000.0)
BEACON = (HOME[0] + 900, HOME[1] - 500)    # a still star below right of the ship
BEACON_RADIUS = 250
HUB = (HOME[0] - 1100, HOME[1] - 500)      # a speck of a star with a planet round it
ORBIT_RADIUS = 600
PLANET_RADIUS = 100

SKY = scenes.galaxy([
    scenes.star(BEACON[0], BEACON[1], BEACON_RADIUS, texture=21, name="Beacon"),
    scenes.star(HUB[0], HUB[1], 2, texture=21, name="Hub",
                planets=[scenes.planet(ORBIT_RADIUS, 0.03, PLANET_RADIUS, init_loc=90, texture=10)]),
])


def beacon_blob(shot, zoom=scenes.START_ZOOM, player=HOME, reach_px=300):
    """The star's white core, searched from its place up to reach_px to the left,
    where thrust along +x slides it."""
    expected = to_screen(BEACON, player, zoom)
    radius = BEACON_RADIUS * scenes.SCREEN_H / zoom
    box = (int(expected[0] - reach_px), int(expected[1] - radius), int(reach_px + radius), int(2 * radius))
    return blob(shot, box, scenes.bright)


def planet_blob(shot):
    """The planet, searched over the square holding its whole orbit."""
    hub = to_screen(HUB, HOME)
    half = (ORBIT_RADIUS + PLANET_RADIUS * 1.5) * scenes.SCREEN_H / scenes.START_ZOOM
    return blob(shot, box_around(hub, half), scenes.rusty)


def still_planets_and_zoom_and_thrust(session):
    game = scenes.start(session, "beacon", SKY, HOME)

    first = game.screenshot("still-1")
    game.pause(0.8)
    game.wait_frames(2)
    second = game.screenshot("still-2")

    star1, star2 = beacon_blob(first), beacon_blob(second)
    expected = to_screen(BEACON, HOME)
    scenes.note("star core while still", star1, star2)
    session.check(star1.count > 50, "no star core near %s: %r (%s)" % (expected, star1, first.path))
    session.check(near(star1, expected, 15), "star core at %r, expected near %s (%s)" % (star1, expected, first.path))
    session.check(near(star2, star1.centre, 3), "the untouched ship drifted: star core %r then %r (%s)"
                  % (star1, star2, second.path))

    planet1, planet2 = planet_blob(first), planet_blob(second)
    scenes.note("orbiting planet", planet1, planet2)
    session.check(planet1.count > 300 and planet2.count > 300,
                  "no planet on its orbit: %r, %r (%s)" % (planet1, planet2, second.path))
    moved = ((planet2.centre[0] - planet1.centre[0]) ** 2 + (planet2.centre[1] - planet1.centre[1]) ** 2) ** 0.5
    session.check(moved > 20, "the planet stayed put (%.1f px): %r then %r" % (moved, planet1, planet2))

    game.wheel(3)
    game.wait_frames(3)
    zoomed = game.screenshot("zoomed-in-3")
    near_zoom = scenes.zoom_after(3)
    star3 = beacon_blob(zoomed, near_zoom)
    scenes.note("star core zoomed in", star3)
    session.check(star3.count > 2 * star2.count,
                  "three wheel clicks up did not enlarge the star: %r, then %r (%s)" % (star2, star3, zoomed.path))
    expected = to_screen(BEACON, HOME, near_zoom)
    session.check(near(star3, expected, 20), "zoomed star core at %r, expected near %s" % (star3, expected))
    game.wheel(-3)
    game.wait_frames(3)

    game.hold("w", 0.4)
    game.wait_frames(4)
    after = game.screenshot("after-thrust")
    star4 = beacon_blob(after)
    scenes.note("star core after thrust", star4)
    session.check(star4.count > 50, "star lost after thrusting: %r (%s)" % (star4, after.path))
    session.check(star4.centre[0] < star2.centre[0] - 15,
                  "thrust along +x did not slide the star left: %r then %r" % (star2, star4))
    session.check(abs(star4.centre[1] - star2.centre[1]) < 10,
                  "thrust along +x moved the star up or down: %r then %r" % (star2, star4))
    session.check(game.quit() == 0, "q did not end the game with status 0")


def turning_in_place(session):
    game = scenes.start(session, "turn", scenes.galaxy([]), HOME)
    game.wheel(12)           # the ship's 50-unit square becomes about 114 px wide
    game.move(100, 0)        # the pointer 15 % of the width to the right, off the ship
    game.wait_frames(3)
    before = game.screenshot("zoomed-ship")
    game.hold("a", 0.4)      # about 90 degrees counter-clockwise at 0.004 rad/ms
    game.wait_frames(3)
    after = game.screenshot("after-turn")

    centre = (scenes.SCREEN_W / 2, scenes.SCREEN_H / 2)
    region = box_around(centre, 90)
    hull1, hull2 = blob(before, region, scenes.lit), blob(after, region, scenes.lit)
    scenes.note("ship sprite before and after turning", hull1, hull2)
    for name, hull, shot in (("before", hull1, before), ("after", hull2, after)):
        session.check(hull.count > 1500, "no ship sprite at the centre %s turning: %r (%s)" % (name, hull, shot.path))
        session.check(near(hull, centre, 12), "ship not centred %s turning: %r (%s)" % (name, hull, shot.path))

    changed = sum(1 for y in range(region[1], region[1] + region[3])
                  for x in range(region[0], region[0] + region[2])
                  if scenes.lit(before.pixel(x, y)) != scenes.lit(after.pixel(x, y)))
    session.check(changed > hull1.count // 3,
                  "holding a hardly changed the sprite: %d of %d pixels" % (changed, hull1.count))

    # The light fuselage lies along the heading: level before, upright after a quarter turn.
    body1, body2 = blob(before, region, scenes.white_text), blob(after, region, scenes.white_text)
    scenes.note("fuselage before and after turning", body1, body2)
    session.check(body1.width > 1.5 * body1.height,
                  "the fuselage should lie along +x before turning: %r" % body1)
    session.check(body2.height > 1.2 * body2.width,
                  "the fuselage should stand upright after turning left: %r (%s)" % (body2, after.path))

    # Nose up: the flame and the trail lie straight below the centred ship.
    behind = (int(centre[0] - 120), int(centre[1] + 62), 240, 420)  # below the hull and its nozzles
    flame0 = blob(after, behind, scenes.fiery)
    game.key_down("w")
    game.wait_frames(4)
    burning = game.screenshot("thrusting")
    game.key_up("w")
    game.wait_frames(4)
    coasting = game.screenshot("coasting")
    flame1, flame2 = blob(burning, behind, scenes.fiery), blob(coasting, behind, scenes.fiery)
    scenes.note("flame at rest, thrusting, coasting", flame0, flame1, flame2)
    session.check(flame0.count == 0 and flame2.count == 0,
                  "a flame without thrust: %r, %r (%s)" % (flame0, flame2, coasting.path))
    session.check(flame1.count > 300 and abs(flame1.centre[0] - centre[0]) < 80 and flame1.centre[1] > centre[1] + 60,
                  "no flame below the thrusting ship: %r (%s)" % (flame1, burning.path))
    near_half = (behind[0], behind[1], behind[2], behind[3] // 2)
    far_half = (behind[0], behind[1] + behind[3] // 2, behind[2], behind[3] // 2)
    trail_near, trail_far = blob(coasting, near_half, scenes.cyan_trail), blob(coasting, far_half, scenes.cyan_trail)
    scenes.note("trail near and far from the ship", trail_near, trail_far)
    session.check(trail_near.count > 100, "no trail behind the ship: %r (%s)" % (trail_near, coasting.path))
    session.check(trail_near.count > trail_far.count,
                  "the trail does not fade away from the ship: %r then %r" % (trail_near, trail_far))
    session.check(game.quit() == 0, "q did not end the game with status 0")


# Through the wormhole: world 1 keeps a red star beside the arrival point, and a
# far one that shows on the map; world 0 has nothing but the gate.
GATE = (HOME[0] + 300, HOME[1])
ARRIVAL = (60000.0, 60000.0)
RUBY = (ARRIVAL[0] + 800, ARRIVAL[1] + 700)
FAR_STAR = (ARRIVAL[0] + 40000, ARRIVAL[1])
TWO_WORLDS = scenes.galaxy(
    [scenes.wormhole(GATE[0], GATE[1], 250, 1, ARRIVAL[0], ARRIVAL[1])],
    [scenes.star(RUBY[0], RUBY[1], 250, texture=22, name="Ruby"),
     scenes.star(FAR_STAR[0], FAR_STAR[1], 300, texture=14, name="Faraway")],
)


def ruby_region(player):
    spot = to_screen(RUBY, player)
    return (int(spot[0] - 300), int(spot[1] - 90), 380, 180)


def through_the_wormhole(session):
    game = scenes.start(session, "wormhole", TWO_WORLDS, HOME)
    before = game.screenshot("world0")
    gate = to_screen(GATE, HOME)
    reach = 1.4 * 250 * scenes.SCREEN_H / scenes.START_ZOOM
    effect = blob(before, box_around(gate, reach), scenes.swirl)
    everywhere = blob(before, (200, 200, scenes.SCREEN_W - 400, scenes.SCREEN_H - 400), scenes.swirl)
    scenes.note("wormhole effect", effect, everywhere)
    session.check(effect.count > 1000 and near(effect, gate, 15),
                  "no swirl round the wormhole at %s: %r (%s)" % (gate, effect, before.path))
    session.check(everywhere.count == effect.count, "swirl outside the wormhole: %r" % everywhere)
    game.hold("w", 0.5)      # 50 units to the gate's rim take about 0.32 s
    game.wait_frames(4)
    after = game.screenshot("world1")

    # The same screen region, where world 1's red star (white core, red halo)
    # sits beside the arrival point.
    region = ruby_region(ARRIVAL)
    core0, core1 = blob(before, region, scenes.bright), blob(after, region, scenes.bright)
    red0, red1 = blob(before, region, scenes.reddish), blob(after, region, scenes.reddish)
    scenes.note("red star region in world 0 then 1", core0, red0, core1, red1)
    session.check(core0.count + red0.count < 20,
                  "world 0 should show nothing there: %r, %r (%s)" % (core0, red0, before.path))
    session.check(core1.count > 300 and red1.count > 150,
                  "no red star of world 1 after flying into the gate: core %r, halo %r (%s)"
                  % (core1, red1, after.path))

    marker = box_around(scenes.map_spot(FAR_STAR, ARRIVAL), 6)
    map0, map1 = blob(before, marker, scenes.reddish), blob(after, marker, scenes.reddish)
    scenes.note("far star's map marker in world 0 then 1", map0, map1)
    session.check(map0.count == 0, "world 0's map shows a star at %s: %r" % (marker, map0))
    session.check(map1.count > 10, "world 1's map lacks its far star at %s: %r (%s)" % (marker, map1, after.path))

    # The trail starts again at the arrival point: no streak back across the jump.
    centre = (scenes.SCREEN_W / 2, scenes.SCREEN_H / 2)
    streak = sum(1 for y in range(200, scenes.SCREEN_H - 200, 2) for x in range(200, scenes.SCREEN_W - 200, 2)
                 if scenes.cyan_trail(after.pixel(x, y)) and abs(x - centre[0]) + abs(y - centre[1]) > 150)
    session.check(streak == 0, "%d trail pixels far from the ship after the warp (%s)" % (streak, after.path))
    session.check(game.quit() == 0, "q did not end the game with status 0")


# The shipped galaxy and ui.lua: the ship starts still, 1000 units above Terra
# (planet 2), out of every other pull, and falls onto it softly in about 4 s.
# Ships drift and never ram, so nothing cuts the visit short.
TERRA_START = (-20000 + 6000 * math.cos(30 * 3.14 / 180), 6000 * math.sin(30 * 3.14 / 180))
ABOVE_TERRA = (TERRA_START[0], TERRA_START[1] + 1000)
CHAR_PX = 14.7  # one character of panel text at scale 1

# Where ui.lua puts the market's elements, in UI units.
TITLE = scenes.ui_box(51, 73.5, 95, 77)
CREDITS = scenes.ui_box(51, 70, 95, 73)
BAR = scenes.ui_box(51, 33, 95, 36)
NOTICE = scenes.ui_box(51, 70, 95, 75)
FRAME_RIGHT = scenes.ui_box(95.5, 10, 96.5, 76)
NOTICE_CLOSE = (87, 61.5)
SLIDER_FROM, SLIDER_TO = (60, 38), (75, 38)
BUY = (57, 25.5)
CLOSE = (87, 11.5)


def text_width(shot, box):
    return blob(shot, box, scenes.white_text).width


def click_at(game, here, there, answer):
    """Moves the pointer from here to there, clicks, and waits until the game
    writes the answer line and draws a few frames; returns there."""
    scenes.pointer_to(game, here, there)
    game.wait_frames(2)
    mark = game.mark()
    game.click()
    game.wait_for(answer, since=mark)
    game.wait_frames(3)
    return there


def land_and_open_market(game):
    """Waits out the soft fall onto Terra, then opens the market with "e" and
    waits until it lists its goods and is drawn."""
    game.pause(4.5)
    mark = game.mark()
    game.key("e")
    game.wait_for("Pushing: Grain x 10", since=mark)
    game.wait_for("Event completed", since=mark)
    game.wait_frames(3)


def drag_slider(game, here):
    """Drags the market's quantity slider from 1 toward 6, the pointer coming
    from here; returns where the pointer ends."""
    here = scenes.pointer_to(game, here, SLIDER_FROM)
    game.wait_frames(2)
    game.mouse_down()
    game.wait_frames(2)
    here = scenes.pointer_to(game, here, SLIDER_TO)
    game.wait_frames(3)
    game.mouse_up()
    game.wait_frames(3)
    return here


def market_after_landing(session):
    capture = Capture(session, "market")
    game = session.game(name="market", env=capture.env, files={
        "playerdata.txt": scenes.player_data(*ABOVE_TERRA), "shipdata.txt": scenes.ship_data()}).start()
    game.wait_frames(3)

    # In flight: the notice, then its Close button takes the panel away.
    game.key("e")
    game.wait_for("Event completed")
    game.wait_frames(3)
    flying = game.screenshot("e-in-flight")
    notice = text_width(flying, NOTICE)
    scenes.note("not-landed notice width (px)", notice)
    session.check(abs(notice - 22 * CHAR_PX) < 20,
                  "no 22-character notice of not being landed: %d px wide (%s)" % (notice, flying.path))
    here = click_at(game, scenes.POINTER_START, NOTICE_CLOSE, "Deleting close")
    closed = game.screenshot("notice-closed")
    session.check(text_width(closed, NOTICE) == 0, "the notice stayed after Close (%s)" % closed.path)

    # Landed on Terra: the market with its name and goods.
    land_and_open_market(game)
    market = game.screenshot("market")
    title, credits = text_width(market, TITLE), text_width(market, CREDITS)
    rows = blob(market, scenes.ui_box(51, 45, 88.5, 69), scenes.white_text)
    bar = blob(market, BAR, scenes.panel_red)
    scenes.note("title, credits width (px); goods rows; bar fill", title, credits, rows, bar)
    session.check(abs(title - len("Market of Terra") * CHAR_PX) < 20,
                  "no title naming Terra: %d px wide (%s)" % (title, market.path))
    session.check(abs(credits - len("Credits: 1000") * CHAR_PX) < 20, "no credits line: %d px" % credits)
    session.check(rows.count > 2000 and rows.height > 100, "too few goods rows: %r (%s)" % (rows, market.path))

    # Dragging the quantity slider fills the bar further.
    here = drag_slider(game, here)
    dragged = game.screenshot("slider-dragged")
    bar2 = blob(dragged, BAR, scenes.panel_red)
    scenes.note("bar fill after the drag", bar2)
    session.check(bar2.width > bar.width + 150, "the bar did not follow the slider: %r then %r (%s)"
                  % (bar, bar2, dragged.path))

    # Buy takes the cost off the credits: one digit fewer, and the till rings.
    quiet = capture.record(game, 0.3)
    before_buying = capture.size()
    here = click_at(game, here, BUY, "Table match buy")
    game.pause(0.3)
    ring = capture.since(before_buying)
    bought = game.screenshot("bought")
    credits2 = text_width(bought, CREDITS)
    changed = sum(1 for y in range(CREDITS[1], CREDITS[1] + CREDITS[3])
                  for x in range(CREDITS[0], CREDITS[0] + CREDITS[2])
                  if scenes.white_text(market.pixel(x, y)) != scenes.white_text(bought.pixel(x, y)))
    scenes.note("credits width after buying; pixels changed", credits2, changed)
    session.check(changed > 100 and credits2 < credits - CHAR_PX / 2,
                  "Buy left the credits text as it was: %d then %d px (%s)" % (credits, credits2, bought.path))
    scenes.note("landed and quiet, then buying", quiet, ring)
    # Terra's sky is not silent (a wormhole hums on the right): the ring is a peak above it.
    session.check(ring.peak > 2000 and ring.peak > 4 * quiet.peak,
                  "no click and ring on buying: %s, then %s" % (quiet, ring))

    # Close deletes every element: the panel's frame goes.
    click_at(game, here, CLOSE, "Deleting frame")
    gone = game.screenshot("market-closed")
    before, after = blob(bought, FRAME_RIGHT, scenes.panel_grey), blob(gone, FRAME_RIGHT, scenes.panel_grey)
    scenes.note("panel frame before and after Close", before, after)
    session.check(before.height > 500 and after.count < 20, "Close left the panel: %r then %r (%s)"
                  % (before, after, gone.path))
    session.check(text_width(gone, TITLE) == 0, "Close left the title (%s)" % gone.path)
    session.check(game.quit() == 0, "q did not end the game with status 0")


def scenario(session):
    still_planets_and_zoom_and_thrust(session)
    turning_in_place(session)
    through_the_wormhole(session)
    market_after_landing(session)


if __name__ == "__main__":
    gamerun.main(scenario)
