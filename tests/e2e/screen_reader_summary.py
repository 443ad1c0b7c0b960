#!/usr/bin/python3
"""Reads the game summary's chart figures as a screen reader would: through
the AT-SPI accessibility bus alone, as the table the chart's figures are.

    screen_reader_summary.py APPLICATION_NAME

Prints one JSON object: the table's name, its column and row headers and its
cells row by row. Exits non-zero when the table does not come."""

import json
import sys
import time

import pyatspi

DEADLINE_SECONDS = 20


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


def main():
    name = sys.argv[1]

    def application():
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name == name:
                return app
        return None

    app = wait_for("the application " + name, application)

    def chart_table():
        for node in walk(app):
            if node.name == "Scores after each round" and node.getRoleName() == "table":
                return node
        return None

    node = wait_for("the chart's table", chart_table)
    table = node.queryTable()
    read = {
        "name": node.name,
        "description": node.description,
        "columns": [table.getColumnDescription(c) for c in range(table.nColumns)],
        "rows": [table.getRowDescription(r) for r in range(table.nRows)],
        "cells": [[table.getAccessibleAt(r, c).name for c in range(table.nColumns)]
                  for r in range(table.nRows)],
    }
    print(json.dumps(read))


main()
