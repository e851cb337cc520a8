"""The game starts up in order, opens its window over a starfield and quits on "q"
with status 0; with no usable audio driver it says so once and plays on."""
import gamerun
import scenes

STARTUP_LINES = [
    "Starting this thing",
    "SDL initialized",
    "Glew is initialized",
    "Ver17",
    "Player initialized",
    "Loading LUA",
    "Loading font",
    "Initializing stars",
    "Done slotting XML into real world data",
    "Add:",  # the game API is installed, with the galaxy's address, before the XML outline
    " x universe type 1",
    "Done with that, now starting main loop",
]


def startup_lines_in_order(lines):
    """The start-up lines missing from lines, or out of their order."""
    position, missing = 0, []
    for expected in STARTUP_LINES:
        found = [i for i in range(position, len(lines))
                 if lines[i] == expected or (expected.endswith(":") and lines[i].startswith(expected))]
        if found:
            position = found[0] + 1
        else:
            missing.append(expected)
    return missing


# The field of view away from the HUD: a band between the radar and the map, and
# everything below them down to the text lines, short of the frame graph's right end.
FIELD = [(210, 0, 860, 210), (0, 210, 1130, 620)]


def check_starfield(session, shot):
    """Sharp point stars over a dark background, not a few blurred blocks."""
    centre = (scenes.SCREEN_W / 2, scenes.SCREEN_H / 2)  # the ship and the pointer
    stars = [p for box in FIELD for p in scenes.sharp_points(shot, box)
             if max(abs(p[0] - centre[0]), abs(p[1] - centre[1])) > 40]
    mean = shot.mean(FIELD[1])
    glare = shot.lit(FIELD[1], threshold=60) / (FIELD[1][2] * FIELD[1][3])
    scenes.note("background: point stars, mean colour, share of pixels above 60", len(stars), mean, glare)
    session.check(len(stars) >= 100, "only %d sharp point stars in the background" % len(stars))
    session.check(max(mean) < 30 and glare < 0.02,
                  "the background is not dark: mean %s, %.1f%% of pixels above 60" % (mean, glare * 100))


def scenario(session):
    game = session.game().start()
    missing = startup_lines_in_order(game.lines())
    session.check(not missing, "start-up lines missing or out of order: %s" % missing)

    game.window()
    game.wait_frames(2)
    shot = game.screenshot("running")
    session.check(shot.size == (1280, 1024), "screen is %dx%d, not 1280x1024" % shot.size)
    check_starfield(session, shot)

    status = game.quit()
    session.check(status == 0, "q ended the game with status %s, not 0" % status)

    # A UI script that never returns is stopped with one line, and the game starts.
    looping = session.game(files={"ui.lua": "while true do end\n"}).start()
    stopped = [l for l in looping.lines("stderr") if l.startswith("Lua ui.lua stopped:")]
    # The instruction budget or the clock, whichever a loaded machine meets first.
    session.check(len(stopped) == 1 and stopped[0].startswith("Lua ui.lua stopped: ui.lua:1: ran past its "),
                  "endless ui.lua not stopped with one line: %s" % stopped)
    session.check(looping.quit() == 0, "q did not end the game after an endless ui.lua")

    # No usable audio driver: one line says so, and the game plays on in silence.
    silent = session.game(env={"SDL_AUDIODRIVER": "no-such-driver"}).start()
    silent.wait_frames(3)
    said = [l for l in silent.errors() if "audio" in l.lower() or "sound" in l.lower()]
    session.check(len(said) == 1 and said[0].startswith("No audio device:"),
                  "no audio driver not said once on stderr: %s" % said)
    session.check(silent.quit() == 0, "q did not end the silent game with status 0")


if __name__ == "__main__":
    gamerun.main(scenario)
