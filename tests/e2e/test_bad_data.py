"""A modder's worst day: every value the loaders once let through to a crash, a
NaN for good, an endless stream of lines or unbounded memory, all at once. The
game names each at start-up, then takes scripted flying, firing, zooming and
camera keys without a crash, a sanitizer report or a line repeated every frame.
VUMTAL_BAD_DATA_SECONDS makes the play longer (a minute for a soak by hand)."""
import os
import re
import subprocess
import time

import gamerun
import scenes

GALAXY = scenes.galaxy([
    # infinite density: with a frame of dt 0 its pull was NaN
    '<star name="Inf" xcoord="3000" ycoord="0" radius="300" density="inf" texture="3e9"/>',
    # negative radius and density: a pull reaches its very centre
    '<star name="Odd" xcoord="-3000" ycoord="0" radius="-5" density="-10" texture="21"/>',
    # a gate round the player: NaN radius caught from anywhere, NaN target stranded the player at NaN
    '<wormhole xcoord="0" ycoord="-1500" radius="nan" targetWorld="nan" targetXcoord="nan"'
    ' targetYcoord="inf" emitter="nan"/>',
    scenes.wormhole(0, 5000, 200, 5, 0, 0),  # to a world that does not exist
])

WEAPONS = scenes.projectiles(
    scenes.projectile(name="Flood", cooldown=100, numProjectiles="1e9", spread="1e30", uniformSpread=0,
                      lifetime=400),
    scenes.projectile(name="Beam", damage="nan"),
    scenes.projectile(name="Dud", cooldown=100, lifetime=200, onDeathEffect=7, onHitEffect=9),
    scenes.projectile(name="Lost", speed="inf", spread="nan", numProjectiles=3, lifetime=300),
)

# A shared ui.lua that tries to make a file through every way out of the script's
# sandbox, at load time and again in addUI, which then never returns. Neither the
# game nor vumtal-check may run any of them; the game stops addUI and plays on.
ESCAPES = """
local function try(way, f) pcall(f, "escaped-" .. way) end
local function escape()
    try("execute", function(name) os.execute("touch " .. name) end)
    try("popen", function(name) io.popen("touch " .. name):close() end)
    try("open", function(name) io.open(name, "w"):close() end)
    try("loadlib", function(name) package.loadlib("libc.so.6", "system")("touch " .. name) end)
    try("require", function(name) require("io").open(name, "w"):close() end)
    try("environment", function(name) getfenv(0).os.execute("touch " .. name) end)
    try("sethook", function(name) debug.sethook() os.execute("touch " .. name) end)
    try("dofile", function(name) dofile(name) end)
    try("bytecode", function(name)
        loadstring(string.dump(function(n) os.execute("touch " .. n) end))(name)
    end)
end
escape()
function addUI() escape() while true do end end
"""

FILES = {
    "test.xml": GALAXY,
    "projectiles.xml": WEAPONS,
    "playerdata.txt": "0 -1500 0.001 junk nan\n",  # garbage, NaN and a short row
    "shipdata.txt": "0 0 0.5 60 30\n3e9 0.01 inf 100 50\n",  # ai beyond int, infinite top speed
    "laser.png": None,  # the beam is drawn untextured
    "ui.lua": ESCAPES,  # and no updateUI
}


# What vumtal-check says about the same directory, one line per kind of fault.
CHECKER_FINDS = ['test.xml: wormhole 1 of world 0 leads to world 5, which does not exist',
                 'test.xml: world 0 star "Inf": texture', 'projectiles.xml: projectile 0 "Flood": numProjectiles',
                 'shipdata.txt: ai 3e+09 of row 1', 'laser.png: file: missing image',
                 'ui.lua: updateUI: no global function "updateUI"']


def check_content(session, workdir):
    """The modder's checker on the staged directory: status 1 and every fault named."""
    checker = os.path.join(os.path.dirname(session.binary), "vumtal-check")
    result = subprocess.run([checker, workdir], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                            timeout=60)
    session.check(result.returncode == 1, "vumtal-check status %d:\n%s" % (result.returncode, result.stderr))
    session.check(not result.stdout, "vumtal-check wrote to stdout: %s" % result.stdout[:500])
    for expected in CHECKER_FINDS:
        session.check(expected in result.stderr, "vumtal-check did not say %r:\n%s" % (expected, result.stderr))

# A start-up line for each file (the unit tests pin every line).
EXPECTED = ['test.xml: wormhole 0 of world 0: radius="nan"', 'projectiles.xml: projectile 0 "Flood": numProjectiles',
            'playerdata.txt: the first row has 5 of 7', 'shipdata.txt: ai 3e+09 of row 1']


def play(game, seconds):
    """Flies, fires every slot and pushes every camera and spawn factor to its bound."""
    game.key("equal")  # focuses the window; the rest go in one xdotool call each
    gamerun.xdotool("key", "--delay", "10", *["equal"] * 9)     # 500 ms down to the 1 ms bound
    gamerun.xdotool("click", "--repeat", "32", "--delay", "10", "5")  # zoom out to the 1000000 bound
    gamerun.xdotool("key", "--delay", "10", *["n", "c"] * 24)  # near and far factors to 64 and 1/64
    game.move(0, -80)
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        for slot in "1234":
            game.key(slot)
            game.hold("space", 0.4)
        game.hold("w", 0.3)
        game.hold("d", 0.2)
        game.wheel(4)
        game.key("m", "x")
    game.wait_frames(5)


def scenario(session):
    files = dict(FILES)
    with open(os.path.join(session.assets, "rock.png"), "rb") as f:
        whole = f.read()
    files["rock.png"] = whole[:len(whole) // 2]  # cut off mid-image: refused, drawn untextured
    game = session.game(name="bad-data", files=files).start()
    check_content(session, game.workdir)
    lines = game.lines() + game.lines("stderr")  # the loaders' diagnostics are on stderr
    for expected in EXPECTED + ["rock.png: unreadable image: "]:
        session.check(any(expected in line for line in lines), "no line %r at start-up" % expected)

    escaped = [name for name in os.listdir(game.workdir) if name.startswith("escaped")]
    session.check(not escaped, "vumtal-check ran a script escape: %s" % escaped)
    game.key("e")
    game.wait_for("addUI ran past its")

    play(game, float(os.environ.get("VUMTAL_BAD_DATA_SECONDS", "4")))
    shot = game.screenshot("after-play")
    scenes.note("bad data: lit pixels after play", shot.lit())
    session.check(game.running(), "the game ended during play")
    session.check(game.quit() == 0, "q did not end the game with status 0")
    escaped = [name for name in os.listdir(game.workdir) if name.startswith("escaped")]
    session.check(not escaped, "the script escaped its sandbox: %s" % escaped)
    # The data's faults are said on stderr; anything a sanitizer says is not one of them.
    reports = [line for line in game.errors() if re.search(r"Sanitizer|runtime error|^==\d+==", line)]
    session.check(not reports, "a sanitizer report on stderr: %s" % "\n".join(reports[:20]))


if __name__ == "__main__":
    gamerun.main(scenario)
