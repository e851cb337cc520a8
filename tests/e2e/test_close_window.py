"""Closing the window (as a window manager's close button does) ends the game with status 0."""
import gamerun


def scenario(session):
    game = session.game().start()
    game.wait_frames(2)
    status = game.close_window()
    session.check(status == 0, "closing the window ended the game with status %s, not 0" % status)


if __name__ == "__main__":
    gamerun.main(scenario)
