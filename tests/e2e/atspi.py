#!/usr/bin/python3
"""Reads the running program's controls through the accessibility bus, as a screen reader does.

    atspi.py focused          prints the accessible name of the control that has the focus
    atspi.py showing NAME     succeeds when a control named NAME is on screen

The program is found by its application name, Plenvo. Exits 1 when nothing matches.
"""
import sys

import pyatspi


def program():
    for app in pyatspi.Registry.getDesktop(0):
        if app is not None and app.name == "Plenvo":
            return app
    return None


def walk(node):
    yield node
    for child in node:
        if child is not None:
            yield from walk(child)


def main(argv):
    app = program()
    if app is None:
        return 1
    if argv[:1] == ["focused"]:
        for node in walk(app):
            if node.getState().contains(pyatspi.STATE_FOCUSED):
                print(node.name)
                return 0
        return 1
    if len(argv) == 2 and argv[0] == "showing":
        for node in walk(app):
            if node.name == argv[1] and node.getState().contains(pyatspi.STATE_SHOWING):
                return 0
        return 1
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
