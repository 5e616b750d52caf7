#!/usr/bin/python3
"""Looks for an accessible object over AT-SPI whose name starts with a text.

    atspi_find.py TEXT [ROLE]
        Exits 0 and prints "x y width height" (screen coordinates) of the first showing
        object whose accessible name starts with TEXT (and whose role is ROLE, as in
        "check-box" or "page-tab", when given), in any application on the session's
        accessibility bus; exits 1 when there is none (yet).
"""
import sys

import pyatspi


def find(node, text, role=None, depth=0):
    if node is None or depth > 40:
        return None
    try:
        name = node.name or ""
        states = node.getState()
    except Exception:  # an object that went away while we looked
        return None
    if name.startswith(text) and states.contains(pyatspi.STATE_SHOWING):
        try:
            if role is None or node.getRoleName() == role:
                return node
        except Exception:
            pass
    try:
        count = node.childCount
    except Exception:
        return None
    for i in range(min(count, 500)):
        try:
            child = node.getChildAtIndex(i)
        except Exception:
            continue
        found = find(child, text, role, depth + 1)
        if found is not None:
            return found
    return None


def main():
    text = sys.argv[1]
    role = sys.argv[2].replace("-", " ") if len(sys.argv) > 2 else None
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        found = find(desktop.getChildAtIndex(i), text, role)
        if found is not None:
            extents = found.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            print(extents.x, extents.y, extents.width, extents.height)
            return 0
    return 1


if __name__ == "__main__":
    sys.exit(main())
