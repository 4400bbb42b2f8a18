#!/usr/bin/python3
"""Reads the running program's controls through the accessibility bus, as a screen reader does.

    atspi.py focused            prints the accessible name of the control that has the focus
    atspi.py showing NAME [ROLE]
                                succeeds when a control named NAME, of role ROLE when given, is
                                on screen
    atspi.py press NAME [ROLE]  triggers the default action (a button's press) of the control named
                                NAME on screen, of role ROLE ("push button") when given
    atspi.py names              prints the names of the controls on screen, one a line
    atspi.py hear SECONDS TYPE TEXT
                                succeeds once the bus delivers an event of TYPE from a source
                                named TEXT (an alert carries its message as its name) within
                                SECONDS; prints "listening" once it listens, and every event
                                heard to stderr

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


def hear(seconds, kind, text):
    from gi.repository import GLib

    found = []

    def heard(event):
        name = event.source.name if event.source else ""
        print(f"{event.type}\t{name}", file=sys.stderr, flush=True)
        if event.type == kind and name == text:
            found.append(event)
            pyatspi.Registry.stop()

    pyatspi.Registry.registerEventListener(heard, "object", "window")
    GLib.timeout_add(int(seconds * 1000), pyatspi.Registry.stop)
    print("listening", flush=True)
    pyatspi.Registry.start()
    return 0 if found else 1


def main(argv):
    if len(argv) == 4 and argv[0] == "hear":
        return hear(float(argv[1]), argv[2], argv[3])
    app = program()
    if app is None:
        return 1
    if argv[:1] == ["focused"]:
        for node in walk(app):
            if node.getState().contains(pyatspi.STATE_FOCUSED):
                print(node.name)
                return 0
        return 1
    if argv[:1] == ["names"]:
        for node in walk(app):
            if node.name and node.getState().contains(pyatspi.STATE_SHOWING):
                print(node.name)
        return 0
    if len(argv) in (2, 3) and argv[0] == "showing":
        return 0 if shown(app, *argv[1:]) else 1
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
