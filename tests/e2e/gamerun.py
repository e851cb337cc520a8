"""Runs the real game under the current X display and plays it from a script.

A test script hands a function to main(); the function gets a Session, starts
one or more Games from it, sends keys and mouse input with xdotool, waits on
the game's output, takes screenshots and checks the exit status:

    def scenario(session):
        game = session.game().start()          # waits for the last start-up line
        game.hold("w", 0.5)
        shot = game.screenshot("after-thrust")
        session.check(shot.lit() > 0, "nothing drawn")
        session.check(game.quit() == 0, "q did not end the game cleanly")

    if __name__ == "__main__":
        gamerun.main(scenario)

Everything a run leaves (logs, screenshots, the staged working directory of a
failed run) goes into the artifacts directory, whose path is printed when the
test fails.
"""
import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import time
import traceback

import shots
import x11close

READY_LINE = "Done with that, now starting main loop"
SKIP_STATUS = 77  # CTest reports the test as skipped (no display)

# Data the game cannot start without. They are written into the staged working
# directory only when assets/ does not have them, so the harness works before
# the real data files exist and changes nothing once they do.
FALLBACK_FILES = {
    "test.xml": "<universe/>\n",
    "projectiles.xml": "<projectiles/>\n",
    "playerdata.txt": "0 0 0.001 0.001 0.005 1000 25\n",
    "shipdata.txt": "0 0 0 100 10\n1 0.0005 1 100 10\n",
}

_REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
_MARKER = ".e2e-artifacts"


class Failure(AssertionError):
    """A check of the test failed; the message says what was seen."""


def stage(assets, workdir, files=None):
    """Copies assets into workdir, adds the fallback files it lacks, then applies
    files: name -> text or bytes to write, or None to remove that file."""
    if os.path.exists(workdir):
        shutil.rmtree(workdir)
    shutil.copytree(assets, workdir)
    for name, text in FALLBACK_FILES.items():
        path = os.path.join(workdir, name)
        if not os.path.exists(path):
            with open(path, "w") as out:
                out.write(text)
    for name, content in (files or {}).items():
        path = os.path.join(workdir, name)
        if content is None:
            if os.path.exists(path):
                os.remove(path)
            continue
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb" if isinstance(content, bytes) else "w") as out:
            out.write(content)
    return workdir


def xdotool(*args, timeout=10):
    """Runs xdotool and returns its standard output."""
    result = subprocess.run(["xdotool"] + [str(a) for a in args], stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE, timeout=timeout, text=True)
    if result.returncode != 0 and args[0] != "search":
        raise Failure("xdotool %s failed: %s" % (" ".join(map(str, args)), result.stderr.strip()))
    return result.stdout


class _Log:
    """One captured output stream, read incrementally into complete lines."""

    def __init__(self, path):
        self.path = path
        self.offset = 0
        self.partial = b""
        self.lines = []

    def refresh(self):
        with open(self.path, "rb") as f:
            f.seek(self.offset)
            chunk = f.read()
        self.offset += len(chunk)
        parts = (self.partial + chunk).split(b"\n")
        self.partial = parts.pop()
        self.lines.extend(p.decode("utf-8", "replace") for p in parts)
        return self.lines

    def tail(self, count=12):
        shown = [line for line in self.refresh() if line.strip()]
        return "\n".join("    " + line for line in shown[-count:]) or "    (nothing)"


class Game:
    """One run of the game binary in its own (usually staged) working directory."""

    def __init__(self, session, name, files=None, binary=None, args=None, staged=True):
        self.session = session
        self.name = name
        self.dir = os.path.join(session.artifacts, name)
        self.workdir = os.path.join(self.dir, "work")
        self.files = files
        self.binary = binary or session.binary
        self.args = list(args or [])
        self.staged = staged
        self.process = None
        self.window_id = None
        self.shot_count = 0
        os.makedirs(self.dir, exist_ok=True)
        self.out = _Log(os.path.join(self.dir, "stdout.txt"))
        self.err = _Log(os.path.join(self.dir, "stderr.txt"))

    # --- running ---------------------------------------------------------
    def start(self, wait_line=READY_LINE, timeout=60):
        """Stages the working directory, starts the game and, unless wait_line is
        None, waits until that line is on standard output."""
        if self.staged:
            stage(self.session.assets, self.workdir, self.files)
        else:
            os.makedirs(self.workdir, exist_ok=True)
        with open(self.out.path, "wb") as out, open(self.err.path, "wb") as err:
            self.process = subprocess.Popen([self.binary] + self.args, cwd=self.workdir, env=_game_env(),
                                            stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                            start_new_session=True)
        self.session.games.append(self)
        if wait_line is not None:
            self.wait_for(wait_line, timeout)
        return self

    def running(self):
        return self.process is not None and self.process.poll() is None

    def wait_exit(self, timeout=20):
        """Waits for the game to end and returns its exit status; a game still
        running after timeout seconds is killed and the test fails."""
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            self.kill()
            raise Failure("%s still running %gs later; killed it\n  stdout:\n%s"
                          % (self.name, timeout, self.out.tail()))

    def quit(self, timeout=20):
        """Presses q and returns the exit status."""
        self.key("q")
        return self.wait_exit(timeout)

    def close_window(self, timeout=20):
        """Asks the window to close as a window manager would; returns the exit status."""
        x11close.request_close(self.window())
        return self.wait_exit(timeout)

    def kill(self):
        if self.running():
            os.killpg(self.process.pid, signal.SIGKILL)
            self.process.wait()

    # --- output ------------------------------------------------------------
    def lines(self, stream="stdout"):
        """Every complete line the game wrote so far to stdout or stderr."""
        return list(self._log(stream).refresh())

    def errors(self):
        """The non-blank lines on stderr, less the one every run writes: the
        shader programs are read up to the first missing pair."""
        return [line for line in self.lines("stderr")
                if line.strip() and not re.fullmatch(r"Can't open file 'shader\d+\.vs' for reading", line)]

    def mark(self, stream="stdout"):
        """The number of lines so far; pass it as since= to wait for later lines."""
        return len(self._log(stream).refresh())

    def wait_for(self, text, timeout=30, stream="stdout", since=0):
        """Waits for a line containing text (at index since or later) and returns
        its index. Fails at once if the game ends without writing it."""
        log = self._log(stream)
        deadline = time.monotonic() + timeout
        while True:
            exited = not self.running()
            lines = log.refresh()
            for i in range(since, len(lines)):
                if text in lines[i]:
                    return i
            if exited:
                raise Failure("%s ended (status %s) without writing %r\n  stdout:\n%s\n  stderr:\n%s"
                              % (self.name, self.process.returncode, text, self.out.tail(),
                                 self.err.tail()))
            if time.monotonic() > deadline:
                raise Failure("%s wrote no line with %r within %gs\n  stdout:\n%s"
                              % (self.name, text, timeout, self.out.tail()))
            time.sleep(0.05)

    def wait_frames(self, count=3, timeout=30):
        """Waits until the game has drawn count more frames (it writes one empty
        line to standard output per frame)."""
        start = self.mark()
        deadline = time.monotonic() + timeout
        while sum(1 for line in self.out.refresh()[start:] if not line) < count:
            if not self.running():
                raise Failure("%s ended while waiting for frames" % self.name)
            if time.monotonic() > deadline:
                raise Failure("%s drew fewer than %d frames in %gs" % (self.name, count, timeout))
            time.sleep(0.02)

    def _log(self, stream):
        return {"stdout": self.out, "stderr": self.err}[stream]

    # --- window and input --------------------------------------------------
    def window(self, timeout=15):
        """The X window id of the game, found by its caption "Vumtal"."""
        if self.window_id:
            return self.window_id
        deadline = time.monotonic() + timeout
        while True:
            found = xdotool("search", "--all", "--pid", self.process.pid, "--name", "^Vumtal$").split()
            if not found:
                found = xdotool("search", "--name", "^Vumtal$").split()
            if found:
                self.window_id = int(found[-1])
                return self.window_id
            if not self.running() or time.monotonic() > deadline:
                raise Failure("no window named Vumtal (game running: %s)" % self.running())
            time.sleep(0.1)

    def _focus(self):
        # With no window manager the keyboard follows the pointer; make it explicit.
        xdotool("windowfocus", self.window())

    def key(self, *names):
        """Taps each key (X keysym names: "q", "space", "minus", "equal", "1")."""
        self._focus()
        for name in names:
            xdotool("keydown", name)
            xdotool("keyup", name)

    def key_down(self, name):
        self._focus()
        xdotool("keydown", name)

    def key_up(self, name):
        xdotool("keyup", name)

    def hold(self, name, seconds):
        """Holds a key down for the given time (flight keys, space to fire)."""
        self.key_down(name)
        try:
            time.sleep(seconds)
        finally:
            self.key_up(name)

    def click(self, button=1, times=1):
        self._focus()
        for _ in range(times):
            xdotool("click", button)

    def mouse_down(self, button=1):
        self._focus()
        xdotool("mousedown", button)

    def mouse_up(self, button=1):
        xdotool("mouseup", button)

    def wheel(self, clicks):
        """Wheel clicks: positive is up (button 4, zoom in), negative down (button 5)."""
        if clicks:
            self.click(4 if clicks > 0 else 5, abs(clicks))

    def move(self, dx, dy):
        """Moves the mouse by (dx, dy) counts; screen y grows downward."""
        self._focus()
        xdotool("mousemove_relative", "--", dx, dy)

    def pause(self, seconds):
        """Lets the game run on for a while (simulation time, not a sync point)."""
        time.sleep(seconds)

    # --- pictures ----------------------------------------------------------
    def screenshot(self, label="shot", whole_screen=True):
        """Saves a PNG of the screen (or of the game window only) in the
        artifacts directory and returns it as a shots.Image."""
        self.shot_count += 1
        path = os.path.join(self.dir, "%02d-%s.png" % (self.shot_count, label))
        return shots.take(path, None if whole_screen else self.window())


class Session:
    """The run of one test script: where the game and the data are, where the
    artifacts go, and every Game started."""

    def __init__(self, binary, assets, artifacts):
        self.binary = os.path.abspath(binary)
        self.assets = os.path.abspath(assets)
        self.artifacts = os.path.abspath(artifacts)
        self.games = []
        _fresh_dir(self.artifacts)

    def game(self, files=None, name=None, binary=None, args=None, staged=True):
        """A new Game; files overrides the staged data (name -> text, bytes or None).
        binary and args start another build of the game, with arguments; a Game
        that is not staged starts in an empty working directory."""
        return Game(self, name or "game%d" % (len(self.games) + 1), files, binary, args, staged)

    def check(self, condition, message):
        if not condition:
            raise Failure(message)

    def finish(self, passed):
        leftovers = [g.name for g in self.games if g.running()]
        for g in self.games:
            g.kill()
            if passed:
                shutil.rmtree(g.workdir, ignore_errors=True)
        return leftovers


def _game_env():
    """The environment of the game: VUMTAL_GAME_PRELOAD (the sanitizer build sets it)
    becomes the game's LD_PRELOAD, so that it reaches the game and not every tool."""
    env = dict(os.environ)
    preload = env.pop("VUMTAL_GAME_PRELOAD", None)
    if preload:
        env["LD_PRELOAD"] = preload
    return env


def _fresh_dir(path):
    """Empties an artifacts directory left by an earlier run (only one we made)."""
    if os.path.isdir(path) and os.listdir(path):
        if not os.path.exists(os.path.join(path, _MARKER)):
            raise SystemExit("refusing to clear %s: not an e2e artifacts directory" % path)
        shutil.rmtree(path)
    os.makedirs(path, exist_ok=True)
    open(os.path.join(path, _MARKER), "w").close()


def _missing_tools():
    return [t for t in ("xdotool", "xwd", "convert") if not shutil.which(t)]


def main(scenario, argv=None):
    """Entry point of a test script: parses --game, --assets and --artifacts,
    runs scenario(session) and exits 0 (passed), 1 (failed) or 77 (no display)."""
    name = os.path.splitext(os.path.basename(sys.argv[0]))[0]
    parser = argparse.ArgumentParser(description="end-to-end test " + name)
    parser.add_argument("--game", default=os.path.join(_REPO, "build", "vumtal"))
    parser.add_argument("--assets", default=os.path.join(_REPO, "assets"))
    parser.add_argument("--artifacts", default=os.path.join(_REPO, "build", "e2e-artifacts", name))
    args = parser.parse_args(argv)

    if not os.environ.get("DISPLAY"):
        print("%s: skipped: no X display (run under xvfb-run or scripts/test)" % name)
        sys.exit(SKIP_STATUS)
    missing = _missing_tools()
    if missing:
        print("%s: FAILED: missing tools: %s (run scripts/install-deps)" % (name, " ".join(missing)))
        sys.exit(1)

    session = Session(args.game, args.assets, args.artifacts)
    signal.signal(signal.SIGTERM, lambda *_: (session.finish(False), sys.exit(1)))
    passed = False
    try:
        scenario(session)
        passed = True
    except Failure as failure:
        print("%s: FAILED: %s" % (name, failure))
    except Exception:
        print("%s: FAILED with an error in the test:" % name)
        traceback.print_exc(file=sys.stdout)
    leftovers = session.finish(passed)
    if passed and leftovers:
        print("%s: note: killed games still running at the end: %s" % (name, ", ".join(leftovers)))
    if not passed:
        print("%s: artifacts (logs, screenshots, staged data): %s" % (name, session.artifacts))
        sys.exit(1)
    print("%s: passed (artifacts: %s)" % (name, session.artifacts))
