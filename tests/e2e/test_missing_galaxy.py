"""Without test.xml the game stops at start-up with status 1 and one line on stderr naming the file."""
import gamerun


def scenario(session):
    game = session.game(files={"test.xml": None}).start(wait_line=None)
    status = game.wait_exit(60)
    session.check(status == 1, "exit status %s, not 1" % status)

    # The shader list always ends at the first pair that is not there, with its own line.
    errors = [line for line in game.lines("stderr") if line.strip() and "shader3.vs" not in line]
    session.check(len(errors) == 1 and "test.xml" in errors[0],
                  "stderr should be one line naming test.xml, was: %r" % errors)
    session.check(gamerun.READY_LINE not in game.lines(), "the main loop started anyway")


if __name__ == "__main__":
    gamerun.main(scenario)
