#!/usr/bin/python3
"""Reads the game summary as a screen reader would: through the AT-SPI
accessibility bus alone, the chart's figures as the table they are and, with
--turns, the player's turns beside the best words.

    screen_reader_summary.py APPLICATION_NAME [--turns]

Prints one JSON object: the chart table's name, its column and row headers and
its cells row by row; with --turns also "turns" (the turns table's column
headers and cells, read once the best words are filled in) and "pointsLeft"
(the line that tells the points left on the table). Exits non-zero when what
it waits for does not come."""

import json
import sys
import time

import pyatspi

DEADLINE_SECONDS = 20

# The line over the turns says this while the best words are still searched.
STILL_SEARCHING = "Finding the best word"


def wait_for(what, probe):
    end = time.monotonic() + DEADLINE_SECONDS
    while time.monotonic() < end:
        value = probe()
        if value:
            return value
        time.sleep(0.1)
    sys.exit("gave up waiting for " + what)


def walk(node, depth=0):
    if node is None or depth > 30:
        return
    yield node
    for i in range(node.childCount):
        yield from walk(node.getChildAtIndex(i), depth + 1)


def find(root, name, role):
    for node in walk(root):
        if node.name == name and node.getRoleName() == role:
            return node
    return None


def read_table(node):
    table = node.queryTable()
    return {
        "name": node.name,
        "description": node.description,
        "columns": [table.getColumnDescription(c) for c in range(table.nColumns)],
        "rows": [table.getRowDescription(r) for r in range(table.nRows)],
        "cells": [[table.getAccessibleAt(r, c).name for c in range(table.nColumns)]
                  for r in range(table.nRows)],
    }


def main():
    name = sys.argv[1]
    turns = "--turns" in sys.argv[2:]

    def summary_window():
        # Only the summary's own window is walked: the game window beside it
        # holds many more objects.
        for app in pyatspi.Registry.getDesktop(0):
            if app is None or app.name != name:
                continue
            for i in range(app.childCount):
                window = app.getChildAtIndex(i)
                if window is not None and window.name == "Game Summary":
                    return window
        return None

    window = wait_for("the summary window of " + name, summary_window)
    chart = wait_for("the chart's table", lambda: find(window, "Scores after each round", "table"))
    read = read_table(chart)
    if turns:
        def points_left():
            for node in walk(window):
                if node.getRoleName() == "label" and (node.name.startswith("Points you left")
                                                      or node.name.startswith("You made the best word")):
                    return node.name
            return None

        # The best words are searched off the window's thread: the line over
        # the turns tells when they are in.
        read["pointsLeft"] = wait_for("the best words", points_left)
        read["turns"] = read_table(
            wait_for("the turns' table", lambda: find(window, "Your turns and the best words", "table")))
    print(json.dumps(read))


main()
