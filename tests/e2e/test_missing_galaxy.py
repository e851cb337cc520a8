"""Without test.xml, or with either XML document nested 100,000 levels deep (which
once overflowed the parser's stack, also when hidden from a naive count behind a
processing instruction or a doctype), or with a mod's test.xml that is a link to a
file whose read fails (/proc/self/pagemap), the game stops at start-up with status
1 and one line on stderr naming the file."""
import os

import gamerun

DEEP = "<a>" * 100000 + "</a>" * 100000


def stops_with_one_line(session, label, files, name, args=None):
    game = session.game(files=files, name=label, args=args).start(wait_line=None)
    status = game.wait_exit(60)
    session.check(status == 1, "%s: exit status %s, not 1" % (name, status))

    errors = game.errors()
    session.check(len(errors) == 1 and name in errors[0],
                  "stderr should be one line naming %s, was: %r" % (name, errors))
    session.check(gamerun.READY_LINE not in game.lines(), "the main loop started anyway")


def scenario(session):
    stops_with_one_line(session, "missing", {"test.xml": None}, "test.xml")
    stops_with_one_line(session, "deep-galaxy", {"test.xml": "<universe>%s</universe>" % DEEP}, "test.xml")
    stops_with_one_line(session, "deep-weapons", {"projectiles.xml": "<projectiles>%s</projectiles>" % DEEP},
                        "projectiles.xml")
    for label, hiding in (("hidden-by-pi", "<? > <!-- ?>"), ("hidden-by-doctype", "<!DOCTYPE x [ > <!-- ]>")):
        stops_with_one_line(session, label, {"test.xml": hiding + "<universe>%s</universe>" % DEEP}, "test.xml")
    mod = os.path.join(session.artifacts, "proc-mod")
    os.makedirs(mod, exist_ok=True)
    if not os.path.lexists(os.path.join(mod, "test.xml")):
        os.symlink("/proc/self/pagemap", os.path.join(mod, "test.xml"))
    stops_with_one_line(session, "proc-galaxy", None, "test.xml", args=["--mod", mod])


if __name__ == "__main__":
    gamerun.main(scenario)
