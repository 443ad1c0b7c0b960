#!/usr/bin/python3
"""Plays lexiflip as a screen reader's user would: only through the AT-SPI
accessibility bus, reading objects' names and pressing them by their actions.

    screen_reader_turn.py start
        presses START GAME and, in the options dialog, Start.
    screen_reader_turn.py turn WORD X,Y X,Y X,Y X,Y X,Y
        waits for the player's turn, reads the 80 cells, the bar and the seat
        rows, flips the five cells, takes WORD's letters from the face-up
        cells and presses DONE.
    screen_reader_turn.py replay STEPS
        in the open replay window, reads its 80 cells and seat lines, presses
        Next STEPS times, each time waiting for the step's name to read so, and
        reads them again.

Prints one JSON object with what it read and the names it heard change. Exits non-zero when an object or
a change it waits for does not come."""

import json
import sys
import time

import pyatspi
from gi.repository import GLib

DEADLINE_SECONDS = 20

# Names the game told as changed, in order: what a screen reader that follows
# name changes would speak.
HEARD = []


def hear(event):
    HEARD.append(event.source.name if event.source is not None else "")


def pump():
    """Delivers the events that arrived, as a screen reader's main loop does."""
    context = GLib.MainContext.default()
    while context.pending():
        context.iteration(False)


def wait_for(what, probe):
    """Polls probe until it gives something true, or fails after the deadline."""
    end = time.monotonic() + DEADLINE_SECONDS
    while time.monotonic() < end:
        pump()
        value = probe()
        if value:
            return value
        time.sleep(0.05)
    sys.exit("gave up waiting for " + what)


def application():
    def find():
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == "Lexiflip":
                return app
        return None
    return wait_for("the lexiflip application on the bus", find)


def walk(node, depth=0):
    if node is None or depth > 30:
        return
    yield node
    for i in range(node.childCount):
        yield from walk(node.getChildAtIndex(i), depth + 1)


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def find_named(app, name, role=None, visible=True):
    for node in walk(app):
        if node.name == name and (role is None or node.getRoleName() == role) and (not visible or showing(node)):
            return node
    return None


def find_prefix(app, prefix):
    return [node for node in walk(app) if node.name.startswith(prefix)]


def press(node, action_name="Press"):
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i) == action_name:
            action.doAction(i)
            return
    sys.exit("no action %s on %r (%s)" % (action_name, node.name,
                                         [action.getName(i) for i in range(action.nActions)]))


def board(app):
    return wait_for("the board", lambda: find_named(app, "Board", visible=False))


def start(app):
    press(wait_for("START GAME", lambda: find_named(app, "START GAME")))
    press(wait_for("the options dialog's Start", lambda: find_named(app, "Start")))
    return {"started": True}


def turn(app, word, cells):
    status = wait_for("the turn", lambda: find_named(app, "Choose 5 tiles to flip.", visible=False))
    grid = board(app)
    read = {"status": status.name, "cells": [], "bar": [], "seats": []}
    read["cells"] = [grid.getChildAtIndex(i).name for i in range(grid.childCount)]
    read["cell_role"] = grid.getChildAtIndex(0).getRoleName()
    read["bar"] = sorted(node.name for node in find_prefix(app, "Bar tile "))
    read["seats"] = [node.name for node in walk(app)
                     if (node.name.endswith(" points") or node.name.endswith(" points, on turn"))
                     and not node.name.startswith(("Bar tile ", "Word position "))]
    # A seat row offers its seat menu as an action.
    seat = next(node for node in walk(app) if node.name == "You, 0 points, on turn")
    action = seat.queryAction()
    read["seat_actions"] = [action.getName(i) for i in range(action.nActions)]

    for x, y in cells:
        cell = grid.getChildAtIndex((y - 1) * 10 + (x - 1))
        press(cell)
        wait_for("cell %d,%d face up" % (x, y), lambda c=cell: c.name.endswith(", face up"))
    wait_for("Create a Word", lambda: find_named(app, "Create a Word", visible=False))

    taken = []
    for letter in word.upper():
        def face_up_with_letter(letter=letter):
            for i in range(grid.childCount):
                cell = grid.getChildAtIndex(i)
                if cell.name.startswith(letter + ", ") and cell.name.endswith(", face up"):
                    return cell
            return None
        cell = wait_for("a face-up " + letter, face_up_with_letter)
        press(cell)
        wait_for(letter + " in the word", lambda c=cell, l=letter: c.name == l + ", in the word")
        taken.append(cell.name)
    read["taken"] = taken
    read["word_row"] = sorted(node.name for node in find_prefix(app, "Word position ")
                              if not node.name.endswith("empty"))
    press(wait_for("DONE", lambda: find_named(app, "DONE")))
    # The seat row tells the new score.
    wait_for("the word scored", lambda: any(name.startswith("You, ") and not name.startswith("You, 0 points")
                                            for name in HEARD))
    read["heard"] = HEARD
    return read


def replay(app, steps):
    frame = wait_for("the replay window", lambda: next(
        (node for node in walk(app) if node.name.startswith("Lexiflip - Game Replay")), None))
    grid = wait_for("the replay's board", lambda: find_named(frame, "Board", visible=False))

    def read():
        return {"cells": [grid.getChildAtIndex(i).name for i in range(grid.childCount)],
                "seats": [node.name for node in walk(frame)
                          if node.name.endswith((" points", " point", " points, on turn", " point, on turn"))]}

    result = {"before": read()}
    next_button = find_named(frame, "Next")

    for step in range(2, steps + 2):
        press(next_button)
        wait_for("step %d" % step,
                 lambda s=step: any(node.name.startswith("Step %d of " % s) for node in walk(frame)))
    result["after"] = read()
    return result


def main():
    pyatspi.Registry.registerEventListener(hear, "object:property-change:accessible-name")
    app = application()
    if sys.argv[1] == "start":
        result = start(app)
    elif sys.argv[1] == "replay":
        result = replay(app, int(sys.argv[2]))
    else:
        cells = [tuple(int(n) for n in pair.split(",")) for pair in sys.argv[3:]]
        result = turn(app, sys.argv[2], cells)
    print(json.dumps(result))


if __name__ == "__main__":
    main()
