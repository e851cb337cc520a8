"""The head-up display: the short-range radar top-left with the player's blip at
its centre and the nearby enemy's where it belongs, the map top-right with its
star and planet markers, the six text lines bottom-left and the frame-time
graph above its grid."""
import gamerun
import scenes
from scenes import blob, box_around, near

ENEMY = (50.0, 50.0)                       # where start-up puts the first enemy ship
PLAYER = (ENEMY[0] - 2400, ENEMY[1] + 1800)  # 3000 units from it: right and down on the radar
STAR_EAST = (PLAYER[0] + 40000, PLAYER[1])
STAR_SOUTH = (PLAYER[0] - 30000, PLAYER[1] - 40000)
PLANET_ORBIT = 20000                       # the planet sits due north of its star
PLANET = (STAR_SOUTH[0], STAR_SOUTH[1] + PLANET_ORBIT)

SKY = scenes.galaxy([
    scenes.star(STAR_EAST[0], STAR_EAST[1], 400, texture=21, name="East"),
    scenes.star(STAR_SOUTH[0], STAR_SOUTH[1], 400, texture=22, name="South",
                planets=[scenes.planet(PLANET_ORBIT, 0, 200, init_loc=90, texture=23)]),
])


def greyish(pixel):
    r, g, b = pixel
    return 35 < r < 90 and abs(r - g) < 12 and abs(r - b) < 12


def check_radar(session, shot):
    frame = blob(shot, (0, 0, 200, 200), scenes.greenish)
    scenes.note("radar frame", frame)
    session.check(frame.count > 1000, "no radar frame top-left: %r" % frame)

    centre = scenes.RADAR_CENTRE
    me = blob(shot, box_around(centre, 8), scenes.radar_player)
    scenes.note("radar: player blip", me)
    session.check(me.count >= 2 and near(me, centre, 2),
                  "the player's blip is not at the radar's centre %s: %r" % (centre, me))

    spot = scenes.radar_spot(ENEMY, PLAYER)
    enemy = blob(shot, box_around(spot, 8), scenes.radar_enemy)
    scenes.note("radar: enemy blip, expected near (%.1f, %.1f)" % spot, enemy)
    session.check(enemy.count >= 2 and near(enemy, spot, 3),
                  "no enemy blip near (%.1f, %.1f) on the radar: %r" % (spot[0], spot[1], enemy))
    anywhere = blob(shot, (0, 0, 200, 200), scenes.radar_enemy)
    session.check(anywhere.count == enemy.count,
                  "red blips elsewhere on the radar (only one ship is within range): %r" % anywhere)


def check_map(session, shot):
    frame = blob(shot, (scenes.SCREEN_W - 200, 0, 200, 200), scenes.lit)
    session.check(frame.count > 2000, "no map frame top-right: %r" % frame)
    me = blob(shot, box_around(scenes.MAP_ORIGIN, 6), scenes.radar_player)
    session.check(me.count >= 4, "no player marker at the map's origin %s: %r" % (scenes.MAP_ORIGIN, me))
    for name, where, test in (("east star", STAR_EAST, scenes.reddish),
                              ("south star", STAR_SOUTH, scenes.reddish),
                              ("planet", PLANET, scenes.greenish)):
        spot = scenes.map_spot(where, PLAYER)
        marker = blob(shot, box_around(spot, 8), test)
        scenes.note("map: %s marker, expected near (%.1f, %.1f)" % ((name,) + spot), marker)
        session.check(marker.count >= 20 and near(marker, spot, 3),
                      "no %s marker near (%.1f, %.1f) on the map: %r" % (name, spot[0], spot[1], marker))


def check_text_and_graph(session, shot):
    bottom = scenes.SCREEN_H
    # FPS, ships, projectiles, timers, hit points, landed planet: 30 px apart from the bottom.
    for line, name in enumerate(("FPS", "ships", "projectiles", "timers", "hit points", "landed planet")):
        band = (0, bottom - 30 * (line + 1), 160, 30)
        text = blob(shot, band, scenes.white_text)
        scenes.note("text: %s line" % name, text)
        session.check(text.count > 40, "the %s line (band %s) is not lit: %r" % (name, band, text))
    above = blob(shot, (0, bottom - 240, 400, 50), scenes.white_text)
    session.check(above.count == 0, "text drawn above the six lines: %r" % above)

    grid = blob(shot, (400, bottom - 33, 400, 30), greyish)
    session.check(grid.count > 1500, "no grey grid along the bottom: %r" % grid)
    graph = blob(shot, (scenes.SCREEN_W - 130, 200, 130, bottom - 200 - 36), scenes.graph_blue)
    scenes.note("grid and frame-time graph", grid, graph)
    session.check(graph.count > 5, "no frame-time graph above the grid near the right edge: %r" % graph)


def scenario(session):
    game = scenes.start(session, "hud", SKY, PLAYER)
    game.pause(1.2)  # the FPS line shows once a second of frames has been summed
    game.wait_frames(2)
    shot = game.screenshot("hud")
    check_radar(session, shot)
    check_map(session, shot)
    check_text_and_graph(session, shot)
    session.check(game.quit() == 0, "q did not end the game with status 0")


if __name__ == "__main__":
    gamerun.main(scenario)
