"""The game installed as a user installs it: `cmake --install` into a scratch
DESTDIR, then moved, passes the desktop and AppStream validators, renders its
man pages without a warning, names no folder of the build machine, and plays
from an unrelated working directory, with a mod folder that replaces only
ui.lua, while the installed checker finds the installed data clean."""
import glob
import os
import shutil
import subprocess

import gamerun
import scenes
import test_startup

# The mod's panel: one box, well away from the HUD and from the shipped panel.
MOD_BOX = (30, 35, 45, 48)
MOD_UI = ("function addUI() return {type = 'box', name = 'frame', x1 = %g, y1 = %g, x2 = %g, y2 = %g,"
          " text = ''}, 'modpanel' end\n"
          "function updateUI(panel, ...) return ... end\n") % MOD_BOX


def run(session, command, env=None, cwd=None):
    """Runs command; returns (status, stdout, stderr)."""
    result = subprocess.run(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True,
                            env=dict(os.environ, **(env or {})), cwd=cwd, timeout=120)
    return result.returncode, result.stdout, result.stderr


def install(session, build_dir):
    """Installs into a scratch DESTDIR and moves the tree; returns its /usr."""
    root = os.path.join(session.artifacts, "root")
    status, _, err = run(session, ["cmake", "--install", build_dir, "--prefix", "/usr"], env={"DESTDIR": root})
    session.check(status == 0, "cmake --install failed: %s" % err)
    moved = os.path.join(session.artifacts, "moved")
    os.rename(root, moved)  # a relocatable tree plays wherever it is put
    return os.path.join(moved, "usr")


def check_desktop_files(session, usr):
    desktop = glob.glob(os.path.join(usr, "share/applications/*.desktop"))
    metainfo = glob.glob(os.path.join(usr, "share/metainfo/*.metainfo.xml"))
    session.check(len(desktop) == 1 and len(metainfo) == 1, "desktop entry or metainfo missing")
    for command in (["desktop-file-validate", desktop[0]], ["appstreamcli", "validate", "--no-net", metainfo[0]]):
        status, out, err = run(session, command)
        session.check(status == 0, "%s: status %d\n%s%s" % (command[0], status, out, err))
    for size in (16, 32, 48, 64, 128, 256):
        icon = os.path.join(usr, "share/icons/hicolor/%dx%d/apps/vumtal.png" % (size, size))
        session.check(os.path.isfile(icon), "no %d px icon" % size)
    for page in ("man6/vumtal.6", "man1/vumtal-check.1"):
        status, out, err = run(session, ["man", "--warnings", "-l", os.path.join(usr, "share/man", page)],
                               env={"MANWIDTH": "80"})
        session.check(status == 0 and not err and "NAME" in out, "man %s: status %d: %s" % (page, status, err))


def check_no_build_paths(session, usr, build_dir):
    """No installed file names the source or the build tree."""
    marks = [os.path.realpath(p).encode() for p in (gamerun._REPO, build_dir)]
    for folder, _, names in os.walk(usr):
        for name in names:
            with open(os.path.join(folder, name), "rb") as f:
                data = f.read()
            found = [m for m in marks if m in data]
            session.check(not found, "%s names %s" % (os.path.join(folder, name), found))


def panel_edge(shot):
    """Pixels of the mod's box border along its top edge."""
    x, y, width, _ = scenes.ui_box(*MOD_BOX)
    return sum(1 for px in range(x, x + width) for py in range(y - 3, y + 4)
               if scenes.panel_grey(shot.pixel(px, py)))


def scenario(session):
    build_dir = os.path.dirname(session.binary)
    usr = install(session, build_dir)
    check_desktop_files(session, usr)
    check_no_build_paths(session, usr, build_dir)
    game_binary = os.path.join(usr, "bin", "vumtal")

    # The checker finds the installed data from where it is installed, with the
    # mod laid over it too.
    nowhere = os.path.join(session.artifacts, "elsewhere")
    mod = os.path.join(session.artifacts, "mod")
    os.makedirs(nowhere)
    os.makedirs(mod)
    with open(os.path.join(mod, "ui.lua"), "w") as out:
        out.write(MOD_UI)
    checker = os.path.join(usr, "bin", "vumtal-check")
    for args, env, lines in (([], {}, 0), (["--mod", mod], {}, 0), ([], {"VUMTAL_DATA": nowhere}, 1)):
        status, _, err = run(session, [checker] + args, env=env, cwd=nowhere)
        session.check(status == 0 and len(err.splitlines()) == lines,
                      "installed vumtal-check %s %s: status %d\n%s" % (args, env, status, err))

    game = session.game(binary=game_binary, staged=False, name="installed").start()
    complaints = [line for line in game.errors() if line.startswith("vumtal:")]
    session.check(not complaints, "the installed game did not find its data: %s" % complaints)
    # The emitter tables too, which are read first of all: the flame and the wormholes need them.
    session.check("# emitters:2" in game.lines(), "the installed game read no emitter tables")
    game.window()
    game.wait_frames(2)
    test_startup.check_starfield(session, game.screenshot("installed"))
    session.check(game.quit() == 0, "q should end the installed game with status 0")

    modded = session.game(binary=game_binary, staged=False, args=["--mod", mod], name="modded").start()
    modded.window()
    modded.wait_frames(2)
    before = panel_edge(modded.screenshot("before-e"))
    modded.key("e")
    modded.wait_frames(3)
    after = panel_edge(modded.screenshot("after-e"))
    scenes.note("mod panel edge pixels before and after e", before, after)
    session.check(before < 20 and after > 150, "the mod's panel did not open on e: %d then %d" % (before, after))
    session.check(modded.quit() == 0, "q should end the modded game with status 0")
    shutil.rmtree(os.path.dirname(usr))  # the installed tree is large and says nothing after a pass


if __name__ == "__main__":
    gamerun.main(scenario)
