"""Without test.xml, or with either XML document nested 100,000 levels deep (which
once overflowed the parser's stack), the game stops at start-up with status 1 and
one line on stderr naming the file."""
import gamerun

DEEP = "<a>" * 100000 + "</a>" * 100000


def stops_with_one_line(session, label, files, name):
    game = session.game(files=files, name=label).start(wait_line=None)
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


if __name__ == "__main__":
    gamerun.main(scenario)
