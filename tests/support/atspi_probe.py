#!/usr/bin/python3
"""Reads a program's accessibility tree through AT-SPI, as a screen reader does, for the display tests.

  atspi_probe.py dump APP                       every element of APP's tree, one line each
  atspi_probe.py do APP ROLE NAME ACTION        performs the named action of the first element with that role and name
  atspi_probe.py settext APP ROLE NAME TEXT     sets the text of an editable element

A dump line is: two spaces per level, then "role|name|states|text|value|actions|x,y,w,h", states and actions
comma-separated (the text of a text element, the current value of a value element). APP is the application's name
on the bus, or "pid:N" for the application of process N; the probe waits up to ten seconds for it to appear. Exit status 0 on success, 1 when something is not
found, 2 on a usage error.
"""

import sys
import time

import pyatspi


def find_application(name, seconds=10.0):
    end = time.monotonic() + seconds
    while True:
        desktop = pyatspi.Registry.getDesktop(0)
        for index in range(desktop.childCount):
            app = desktop.getChildAtIndex(index)
            if app is None:
                continue
            if name.startswith("pid:"):
                if str(app.get_process_id()) == name[4:]:
                    return app
            elif app.name == name:
                return app
        if time.monotonic() > end:
            return None
        time.sleep(0.2)


def describe(element):
    role = element.getRoleName()
    states = element.getState()
    state_names = sorted(pyatspi.stateToString(s) for s in states.getStates())
    text = ""
    value = ""
    actions = []
    extents = ""
    try:
        text_iface = element.queryText()
        text = text_iface.getText(0, -1)
    except NotImplementedError:
        pass
    try:
        value = "%g" % element.queryValue().currentValue
    except NotImplementedError:
        pass
    try:
        action_iface = element.queryAction()
        actions = [action_iface.getName(i) for i in range(action_iface.nActions)]
    except NotImplementedError:
        pass
    try:
        box = element.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        extents = "%d,%d,%d,%d" % (box.x, box.y, box.width, box.height)
    except NotImplementedError:
        pass
    fields = [role, element.name or "", ",".join(state_names), text.replace("\n", "\\n"), value, ",".join(actions),
              extents]
    return "|".join(f.replace("|", "/").replace("\n", "\\n") for f in fields)


def walk(element, depth, out, limit=2000):
    if element is None or len(out) >= limit:
        return
    out.append("  " * depth + describe(element))
    for index in range(element.childCount):
        walk(element.getChildAtIndex(index), depth + 1, out, limit)


def find(element, role, name):
    if element is None:
        return None
    if element.getRoleName() == role and (element.name or "") == name:
        return element
    for index in range(element.childCount):
        found = find(element.getChildAtIndex(index), role, name)
        if found is not None:
            return found
    return None


def main(arguments):
    if len(arguments) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    command, app_name = arguments[0], arguments[1]
    app = find_application(app_name)
    if app is None:
        print("no application named %r on the accessibility bus" % app_name, file=sys.stderr)
        return 1
    if command == "dump":
        lines = []
        walk(app, 0, lines)
        print("\n".join(lines))
        return 0
    if command in ("do", "settext") and len(arguments) == 5:
        role, name, argument = arguments[2], arguments[3], arguments[4]
        element = find(app, role, name)
        if element is None:
            print("no %s named %r" % (role, name), file=sys.stderr)
            return 1
        if command == "settext":
            element.queryEditableText().setTextContents(argument)
            return 0
        action = element.queryAction()
        for index in range(action.nActions):
            if action.getName(index) == argument:
                return 0 if action.doAction(index) else 1
        print("the %s %r has no action %r" % (role, name, argument), file=sys.stderr)
        return 1
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
