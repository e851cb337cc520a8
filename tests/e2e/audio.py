"""What the game plays, recorded by SDL's disk audio driver: start a game with
Capture.env in its environment and read the stream in pieces as it runs."""
import array
import math
import os

BYTES_PER_SECOND = 44100 * 4  # 16-bit stereo


class Capture:
    """The disk driver's output file, read in pieces marked by its size as the game runs."""

    def __init__(self, session, name):
        self.path = os.path.join(session.artifacts, name + ".raw")
        self.env = {"SDL_AUDIODRIVER": "disk", "SDL_DISKAUDIOFILE": self.path}

    def size(self):
        return os.path.getsize(self.path) // 4 * 4 if os.path.exists(self.path) else 0

    def record(self, game, seconds, settle=0.3):
        """The stream written over seconds, after settle seconds for sounds to start or die away."""
        game.pause(settle)
        start = self.size()
        game.pause(seconds)
        return self.since(start)

    def since(self, start):
        """The stream written from start (a size() taken earlier) until now."""
        with open(self.path, "rb") as f:
            f.seek(start)
            data = f.read(self.size() - start)
        return Levels(data)


class Levels:
    """Loudness of a piece of the stream (16-bit stereo, in sample units)."""

    def __init__(self, data):
        samples = array.array("h", data)
        self.left, self.right = samples[0::2], samples[1::2]
        self.seconds = len(data) / BYTES_PER_SECOND
        self.peak = max((abs(v) for v in samples), default=0)

    def rms(self):
        return math.sqrt((rms(self.left) ** 2 + rms(self.right) ** 2) / 2)

    def __str__(self):
        return "%.2f s: RMS %.0f (left %.0f, right %.0f), peak %d" % (
            self.seconds, self.rms(), rms(self.left), rms(self.right), self.peak)


def rms(values):
    return math.sqrt(sum(v * v for v in values) / len(values)) if values else 0.0
