"""The .deb as scripts/package makes it, from the test build: its control
fields name the game and the runtime libraries dpkg-shlibdeps found, and its
files are the programs, the data, the menu entry, icons, metadata and man pages
under /usr, with nothing of the build tree.

    python3 tests/check_package.py BUILD_DIR
"""
import glob
import os
import shutil
import subprocess
import sys

# Runtime packages the game links against, as dpkg-shlibdeps names them.
DEPENDS = ["libsdl1.2", "liblua5.1-0", "libfreetype6", "libglew", "libsoil1", "libpng16", "libgl1", "libglu1"]
FILES = ["./usr/bin/vumtal", "./usr/bin/vumtal-check", "./usr/share/games/vumtal/test.xml",
         "./usr/share/games/vumtal/ui.lua", "./usr/share/applications/org.vumtal.Vumtal.desktop",
         "./usr/share/metainfo/org.vumtal.Vumtal.metainfo.xml", "./usr/share/man/man6/vumtal.6",
         "./usr/share/man/man1/vumtal-check.1"] + [
    "./usr/share/icons/hicolor/%dx%d/apps/vumtal.png" % (s, s) for s in (16, 32, 48, 64, 128, 256)]


def main(build_dir):
    out_dir = os.path.join(build_dir, "package-test")
    shutil.rmtree(out_dir, ignore_errors=True)
    made = subprocess.run(["cpack", "--config", os.path.join(build_dir, "CPackConfig.cmake"), "-G", "DEB",
                           "-B", out_dir], stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
    debs = glob.glob(os.path.join(out_dir, "*.deb"))
    if made.returncode != 0 or len(debs) != 1:
        return "cpack failed:\n" + made.stdout
    fields = {}
    for name in ("Package", "Version", "Section", "Depends", "Maintainer", "Description"):
        fields[name] = subprocess.run(["dpkg-deb", "-f", debs[0], name], stdout=subprocess.PIPE,
                                      text=True).stdout.strip()
    listing = subprocess.run(["dpkg-deb", "-c", debs[0]], stdout=subprocess.PIPE, text=True).stdout
    files = [line.split()[5] for line in listing.splitlines() if len(line.split()) >= 6]
    problems = []
    if fields["Package"] != "vumtal" or fields["Section"] != "games" or not fields["Version"]:
        problems.append("control fields: %r" % fields)
    problems += ["Depends lacks %s: %s" % (d, fields["Depends"]) for d in DEPENDS if d not in fields["Depends"]]
    problems += ["no %s in the package" % f for f in FILES if f not in files]
    problems += ["%s is outside /usr" % f for f in files if not f.startswith("./usr/")]
    shutil.rmtree(out_dir, ignore_errors=True)
    return "\n".join(problems)


if __name__ == "__main__":
    failure = main(sys.argv[1])
    print(failure or "package: passed")
    sys.exit(1 if failure else 0)
