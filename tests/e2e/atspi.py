#!/usr/bin/python3
"""Reads the running program's controls through the accessibility bus, as a screen reader does.

    atspi.py focused            prints the accessible name of the control that has the focus
    atspi.py showing NAME       succeeds when a control named NAME is on screen
    atspi.py press NAME [ROLE]  triggers the default action (a button's press) of the control named
                                NAME on screen, of role ROLE ("push button") when given

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


def shown(app, name, role=None):
    for node in walk(app):
        if (node.name == name and (role is None or node.getRoleName() == role)
                and node.getState().contains(pyatspi.STATE_SHOWING)):
            return node
    return None


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
        return 0 if shown(app, argv[1]) else 1
    if len(argv) in (2, 3) and argv[0] == "press":
        node = shown(app, *argv[1:])
        if node is None:
            return 1
        action = node.queryAction()
        if action.nActions < 1:
            return 1
        return 0 if action.doAction(0) else 1
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
