"""Small staged worlds and picture measurements shared by the scenario tests.

The scenarios stage their own data files so that every body sits at a known
place: the helpers here write those files and turn game positions into screen
pixels for the camera the game starts with (zoom 4000: the 1024 rows of the
screen cover 4000 game units, y up, the player at the centre).
"""

SCREEN_W, SCREEN_H = 1280, 1024
START_ZOOM = 4000.0
ZOOM_STEP = 1.2  # one wheel click divides (up) or multiplies (down) the zoom by this

def note(label, *values):
    """One line of what a scenario measured, for the test log."""
    print("  %s: %s" % (label, ", ".join(str(v) for v in values)), flush=True)


def player_data(x, y, thrust=0.001, reverse=0.0005, turn=0.004, health=1000, radius=25):
    return "%g %g %g %g %g %g %g\n" % (x, y, thrust, reverse, turn, health, radius)


def ship_data(mode=0, accel=0, top=0, health=60, ram=0):
    """Ship types 0 and 1 alike (type 1 is the one the game spawns and puts at
    (50, 50) at start-up). The defaults drift where they are put and never ram."""
    row = "%g %g %g %g %g\n" % (mode, accel, top, health, ram)
    return row + row


def star(x, y, radius, texture=21, density=0, planets=(), name="Beacon"):
    """A star element; density 0 keeps it from pulling anything."""
    return ('<star name="%s" xcoord="%g" ycoord="%g" radius="%g" density="%g" texture="%d">%s</star>'
            % (name, x, y, radius, density, texture, "".join(planets)))


def planet(orbit_radius, orbit_speed, radius, init_loc=0, texture=10, density=0, name="Orbiter"):
    return ('<planet name="%s" radius="%g" density="%g" orbitRadius="%g" orbitSpeed="%g" initLoc="%g"'
            ' rotationalSpeed="0" initRot="0" texture="%d"/>'
            % (name, radius, density, orbit_radius, orbit_speed, init_loc, texture))


def wormhole(x, y, radius, target_world, target_x, target_y):
    return ('<wormhole xcoord="%g" ycoord="%g" radius="%g" targetWorld="%d" targetXcoord="%g"'
            ' targetYcoord="%g" emitter="1"/>' % (x, y, radius, target_world, target_x, target_y))


def galaxy(*worlds):
    """test.xml with one world per argument, each a list of element strings."""
    return "<universe>\n%s\n</universe>\n" % "\n".join(
        "  <world>%s</world>" % "".join(world) for world in worlds)


def projectile(**attributes):
    return "<projectile %s/>" % " ".join('%s="%s"' % item for item in attributes.items())


def projectiles(*slots):
    return "<projectiles>\n  %s\n</projectiles>\n" % "\n  ".join(slots)


def start(session, name, galaxy_xml, player_at, ships=None, weapons=None, **game_options):
    """Starts the game on a staged galaxy with the player at player_at and ship
    types from ship_data() unless given (and projectiles.xml when weapons is
    given), and lets a few frames pass: the first
    frame's time covers all of start-up. game_options (args, env) go to session.game."""
    files = {
        "test.xml": galaxy_xml,
        "playerdata.txt": player_data(*player_at),
        "shipdata.txt": ships if ships is not None else ship_data(),
    }
    if weapons is not None:
        files["projectiles.xml"] = weapons
    game = session.game(name=name, files=files, **game_options).start()
    game.wait_frames(3)
    return game


def zoom_after(clicks):
    """The zoom after that many wheel clicks from the start (positive = up = in)."""
    return START_ZOOM / ZOOM_STEP ** clicks


def to_screen(pos, player, zoom=START_ZOOM):
    """Screen pixel (column, row from the top) of a game position."""
    scale = SCREEN_H / zoom
    return (SCREEN_W / 2 + (pos[0] - player[0]) * scale,
            SCREEN_H / 2 - (pos[1] - player[1]) * scale)


def box_around(centre, half_w, half_h=None):
    """(x, y, width, height) centred on a pixel position."""
    half_h = half_w if half_h is None else half_h
    return (int(centre[0] - half_w), int(centre[1] - half_h), int(2 * half_w), int(2 * half_h))


class Blob:
    """The pixels of a picture region that pass a colour test."""

    def __init__(self, count, sum_x, sum_y, x0, y0, x1, y1):
        self.count = count
        self.centre = (sum_x / count, sum_y / count) if count else None
        self.width = x1 - x0 + 1 if count else 0
        self.height = y1 - y0 + 1 if count else 0

    def __repr__(self):
        if not self.count:
            return "Blob(none)"
        return "Blob(%d px, centre (%.0f, %.0f), %dx%d)" % (
            self.count, self.centre[0], self.centre[1], self.width, self.height)


def near(found, spot, tolerance):
    """Whether a blob was found with its centre within tolerance px of spot on both axes."""
    return bool(found.count) and all(abs(c - s) <= tolerance for c, s in zip(found.centre, spot))


def blob(image, box, test):
    """The pixels in box = (x, y, width, height) whose (r, g, b) passes test."""
    x0, y0, w, h = box
    x0, y0 = max(0, x0), max(0, y0)
    x1, y1 = min(image.width, x0 + w), min(image.height, y0 + h)
    count = sum_x = sum_y = 0
    min_x, min_y, max_x, max_y = x1, y1, -1, -1
    for y in range(y0, y1):
        start = (y * image.width + x0) * 3
        row = image.data[start:start + (x1 - x0) * 3]
        for i, pixel in enumerate(zip(row[0::3], row[1::3], row[2::3])):
            if not test(pixel):
                continue
            x = x0 + i
            count += 1
            sum_x += x
            sum_y += y
            min_x, max_x = min(min_x, x), max(max_x, x)
            min_y, max_y = min(min_y, y), max(max_y, y)
    return Blob(count, sum_x, sum_y, min_x, min_y, max_x, max_y)


def bright(pixel):
    """Near-white: the core of a star."""
    return min(pixel) > 200


def lit(pixel):
    return max(pixel) > 60


def reddish(pixel):
    r, g, b = pixel
    return r > 150 and r > g + 40 and r > b + 40


def rusty(pixel):
    """The lit side of the red planet image (mars)."""
    r, g, b = pixel
    return r > 80 and r > g + 20 and r > b + 30


def greenish(pixel):
    r, g, b = pixel
    return g > 150 and g > r + 60 and g > b + 60


def fiery(pixel):
    """The engine flame: hot orange to white, never blue-tinged."""
    r, g, b = pixel
    return r > 200 and g > 60 and r > b + 60


def cyan_trail(pixel):
    """The player's trail: green and blue with no red in it."""
    r, g, b = pixel
    return g > 60 and b > 60 and r < min(g, b) - 40


def red_trail(pixel):
    """An enemy's trail: pure red, however faint."""
    r, g, b = pixel
    return r > 25 and r > 2.5 * max(g, b)


def swirl(pixel):
    """The wormhole's effect: violet to pale blue, brighter than the purple sky."""
    r, g, b = pixel
    return b > 150 and b > g + 30


def white_text(pixel):
    return min(pixel) > 150


def graph_blue(pixel):
    r, g, b = pixel
    return b > 180 and r < 140 and g < 140


def radar_enemy(pixel):
    """The enemy marker of the short-range radar: light red, unlike the green frame."""
    r, g, b = pixel
    return r > 180 and r > g + 30 and r > b + 30


def radar_player(pixel):
    """The player marker of the radar: pale cyan, bluer than anything in the frame's inside."""
    r, g, b = pixel
    return g > 180 and b > 150


# The short-range radar: a 200 x 200 pixel frame in the top-left corner, centred
# on the player; one game unit is 0.00825 pixels.
RADAR_CENTRE = (100, 100)
RADAR_SCALE = 0.00825


def radar_spot(pos, player):
    """Where a ship at pos shows on the short-range radar."""
    return (RADAR_CENTRE[0] + (pos[0] - player[0]) * RADAR_SCALE,
            RADAR_CENTRE[1] - (pos[1] - player[1]) * RADAR_SCALE)


# The long-range map: the player's marker 86.5 px from the right edge and 83.7 px
# from the top; one game unit is 0.00084 * 1280 / 1480 px across and
# 0.00084 * 1024 / 1224 px up.
MAP_ORIGIN = (SCREEN_W - 86.5, 83.7)


def map_spot(pos, player):
    return (MAP_ORIGIN[0] + (pos[0] - player[0]) * 0.00084 * SCREEN_W / (SCREEN_W + 200),
            MAP_ORIGIN[1] - (pos[1] - player[1]) * 0.00084 * SCREEN_H / (SCREEN_H + 200))


def sharp_points(image, box, threshold=90, ring=3):
    """Centres of the small bright points in box = (x, y, width, height): pixels whose
    brightest channel reaches threshold and tops their eight neighbours, with
    everything ring px away under half as bright. A star is one; a sprite, a
    glyph or a line is not."""
    data, width = image.data, image.width

    def level(x, y):
        i = (y * width + x) * 3
        return max(data[i], data[i + 1], data[i + 2])

    x0, y0, w, h = box
    x0, x1 = max(x0, ring), min(x0 + w, width - ring)
    found = []
    for y in range(max(y0, ring), min(y0 + h, image.height - ring)):
        row = data[(y * width + x0) * 3:(y * width + x1) * 3]
        for x in sorted({x0 + i // 3 for i, c in enumerate(row) if c >= threshold}):
            v = level(x, y)
            # Ties go to the first pixel met, so a flat-topped point counts once.
            before = (level(x - 1, y - 1), level(x, y - 1), level(x + 1, y - 1), level(x - 1, y))
            after = (level(x + 1, y), level(x - 1, y + 1), level(x, y + 1), level(x + 1, y + 1))
            if max(before) >= v or max(after) > v:
                continue
            edge = [(x + d, y + s * ring) for d in range(-ring, ring + 1) for s in (-1, 1)] + \
                   [(x + s * ring, y + d) for d in range(-ring + 1, ring) for s in (-1, 1)]
            if all(2 * level(ex, ey) < v for ex, ey in edge):
                found.append((x, y))
    return found


# Panels: UI units run 0..100 across and up the window; the game's own pointer
# starts at (50, 50) and moves 0.15 units per mouse count (screen y down).
POINTER_START = (50.0, 50.0)
POINTER_STEP = 0.15


def ui_box(x1, y1, x2, y2):
    """(x, y, width, height) in screen pixels of a rectangle in UI units."""
    return (int(x1 * SCREEN_W / 100), int((100 - y2) * SCREEN_H / 100),
            int((x2 - x1) * SCREEN_W / 100), int((y2 - y1) * SCREEN_H / 100))


def pointer_to(game, here, there):
    """Moves the game's pointer from UI position here to there; returns there."""
    game.move(round((there[0] - here[0]) / POINTER_STEP), round((here[1] - there[1]) / POINTER_STEP))
    return there


def panel_grey(pixel):
    """The light grey of a panel box's border."""
    r, g, b = pixel
    return r > 170 and abs(r - g) < 10 and abs(r - b) < 10


def panel_red(pixel):
    """The red of a bar's or slider's fill."""
    r, g, b = pixel
    return r > 200 and g < 60 and b < 60
