"""The game starts up in order, opens its window and quits on "q" with status 0."""
import gamerun

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


def scenario(session):
    game = session.game().start()
    missing = startup_lines_in_order(game.lines())
    session.check(not missing, "start-up lines missing or out of order: %s" % missing)

    game.window()
    game.wait_frames(2)
    shot = game.screenshot("running")
    session.check(shot.size == (1280, 1024), "screen is %dx%d, not 1280x1024" % shot.size)

    status = game.quit()
    session.check(status == 0, "q ended the game with status %s, not 0" % status)

    # A UI script that never returns is stopped with one line, and the game starts.
    looping = session.game(files={"ui.lua": "while true do end\n"}).start()
    stopped = [l for l in looping.lines() if l.startswith("Lua ui.lua stopped:")]
    session.check(stopped == ["Lua ui.lua stopped: ui.lua:1: ran past its instruction budget"],
                  "endless ui.lua not stopped with one line: %s" % stopped)
    session.check(looping.quit() == 0, "q did not end the game after an endless ui.lua")


if __name__ == "__main__":
    gamerun.main(scenario)
