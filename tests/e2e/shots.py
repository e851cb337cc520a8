"""Screenshots of the X display and the pixels in them.

A shot is taken with xwd, kept as a PNG (converted by ImageMagick) and read
back through a binary PPM, which needs nothing beyond the standard library.
"""
import os
import subprocess


def take(path, window=None):
    """Grabs the whole screen (or one window by id) into the PNG file path."""
    raw = path + ".xwd"
    target = ["-id", str(window)] if window else ["-root"]
    with open(raw, "wb") as out:
        subprocess.run(["xwd", "-silent"] + target, stdout=out, check=True, timeout=30)
    try:
        # One conversion both keeps the PNG and hands back the pixels, and the PNG
        # is packed fast: a starry background makes the default packing slow
        # enough to eat into the short moments the scenarios photograph.
        ppm = subprocess.run(["convert", "xwd:" + raw, "-define", "png:compression-level=1",
                              "-write", "png:" + path, "-depth", "8", "ppm:-"],
                             stdout=subprocess.PIPE, check=True, timeout=60).stdout
    finally:
        os.remove(raw)
    return Image(path, ppm)


def _ppm_fields(data, count):
    """The first count header fields of a binary PPM and the offset of its pixels."""
    fields, pos = [], 0
    while len(fields) < count:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos) + 1
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[pos:end])
        pos = end
    return fields, pos + 1  # one white-space byte ends the header


class Image:
    """An RGB picture, 8 bits a channel; (0, 0) is the top-left pixel."""

    def __init__(self, path, ppm=None):
        """The picture in the file path, or in ppm when its pixels are already read."""
        self.path = path
        if ppm is None:
            ppm = subprocess.run(["convert", path, "-depth", "8", "ppm:-"],
                                 stdout=subprocess.PIPE, check=True, timeout=60).stdout
        fields, start = _ppm_fields(ppm, 4)
        if fields[0] != b"P6" or int(fields[3]) != 255:
            raise ValueError("%s: not an 8-bit RGB picture" % path)
        self.width, self.height = int(fields[1]), int(fields[2])
        self.data = ppm[start:start + self.width * self.height * 3]

    @property
    def size(self):
        return self.width, self.height

    def pixel(self, x, y):
        """(r, g, b) at column x, row y counted from the top."""
        i = (y * self.width + x) * 3
        return tuple(self.data[i:i + 3])

    def _rows(self, box):
        x0, y0, w, h = box if box else (0, 0, self.width, self.height)
        x0, y0 = max(0, x0), max(0, y0)
        x1, y1 = min(self.width, x0 + w), min(self.height, y0 + h)
        for y in range(y0, y1):
            start = (y * self.width + x0) * 3
            yield self.data[start:(y * self.width + x1) * 3]

    def colours(self, box=None):
        """The set of distinct (r, g, b) in box = (x, y, width, height), or everywhere."""
        found = set()
        for row in self._rows(box):
            found.update(zip(row[0::3], row[1::3], row[2::3]))
        return found

    def lit(self, box=None, threshold=30):
        """How many pixels in box have a channel above threshold."""
        count = 0
        for row in self._rows(box):
            count += sum(1 for r, g, b in zip(row[0::3], row[1::3], row[2::3])
                         if r > threshold or g > threshold or b > threshold)
        return count

    def mean(self, box=None):
        """The mean (r, g, b) over box."""
        total, n = [0, 0, 0], 0
        for row in self._rows(box):
            for c in range(3):
                total[c] += sum(row[c::3])
            n += len(row) // 3
        return tuple(t / n for t in total) if n else (0.0, 0.0, 0.0)
