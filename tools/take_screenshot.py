#!/usr/bin/env python3
"""Plays a short busy moment of the real game and saves it as docs/screenshot.png.

Run under an X display with the game built:
    xvfb-run -a -s "-screen 0 1280x1024x24" python3 tools/take_screenshot.py
A small showcase system is staged (a star, two planets, a wormhole) with a
fast ship type that holds its distance, so a ring of enemies gathers round
the player within seconds; everything else is the shipped data."""
import os
import shutil
import sys

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(REPO, "tests", "e2e"))
import gamerun  # noqa: E402

PLAYERDATA = "0 -300 0.001 0.0007 0.004 1000 25\n"
# Row 1 is the type the game spawns: fast ships that hold 500 units off the player.
SHIPDATA = "0 0 -1 60 20\n3 0.15 6 40 20\n"
GALAXY = """<universe>
  <world>
    <star xcoord="2700" ycoord="2300" radius="500" density="0.3" texture="21" name="Helion">
      <planet name="Terra" texture="23" radius="260" density="0.5" orbitRadius="2250"
              orbitSpeed="0.0004" initLoc="224" rotationalSpeed="0.004" initRot="0"/>
      <planet name="Goliath" texture="25" radius="420" density="0.3" orbitRadius="5200"
              orbitSpeed="0.0002" initLoc="200" rotationalSpeed="0.002" initRot="30"/>
    </star>
    <wormhole xcoord="-2000" ycoord="1200" radius="250" targetWorld="0"
              targetXcoord="0" targetYcoord="0" emitter="1"/>
  </world>
</universe>
"""


def scenario(session):
    game = session.game({"playerdata.txt": PLAYERDATA, "shipdata.txt": SHIPDATA, "test.xml": GALAXY}).start()
    game.window()
    game.wait_frames(3)
    for _ in range(3):
        game.key("equal")  # a spawn every 62 ms
    game.pause(8.0)
    for _ in range(3):
        game.key("minus")
    game.wheel(1)
    game.key("5")  # the fan gun
    game.move(-120, -40)  # aim up and to the left
    game.key_down("space")
    game.pause(0.6)
    game.key("3")  # a shockwave pod into the ring
    game.key_down("w")  # the engine flame and a fresh trail
    game.pause(0.5)
    shot = game.screenshot("busy")
    game.key_up("w")
    game.key_up("space")
    game.quit()
    target = os.path.join(REPO, "docs", "screenshot.png")
    shutil.copyfile(shot.path, target)
    print("saved", target)


if __name__ == "__main__":
    gamerun.main(scenario, ["--artifacts", os.path.join(REPO, "build", "screenshot-run")])
