#!/usr/bin/python3
"""Reads a program's accessibility tree through AT-SPI, as a screen reader does, for the display tests.

  atspi_probe.py dump APP                       every element of APP's tree, one line each (the first 2,000)
  atspi_probe.py read APP                       reads every element of APP's tree as dump does, however many;
                                                prints how many it read
  atspi_probe.py do APP ROLE NAME ACTION        performs the named action of the first element with that role and name
  atspi_probe.py settext APP ROLE NAME TEXT     sets the text of an editable element
  atspi_probe.py events APP SECONDS COMMAND UNTIL [COMMAND UNTIL]...
                                                runs each shell COMMAND once listening, the one before it has ended
                                                and the UNTIL event line of the one before has been heard (an empty
                                                UNTIL: at once); prints APP's events once the last UNTIL has been
                                                heard, or once SECONDS have passed

A dump line is: two spaces per level, then "role|name|states|text|value|actions|x,y,w,h|description|value
text|relations", states and actions comma-separated (the text of a text element, the current value and its text of
a value element), relations as "type:role/name" joined by ";". An event line is "type|detail1|role|name" of the
element the event came from. APP is the application's name on the bus, or "pid:N" for the application of process N;
the probe waits up to half a minute for it to appear. Exit status 0 on success, 1 when something is not found, 2 on a
usage error.
"""

import subprocess
import sys
import time

import pyatspi
from gi.repository import Atspi, GLib


def find_application(name, seconds=30.0):
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
    value_text = ""
    try:
        element.queryValue()
        value_text = Atspi.Value.get_text(element) or ""
    except NotImplementedError:
        pass
    relations = []
    for relation in element.getRelationSet():
        kind = pyatspi.relationToString(relation.getRelationType())
        for index in range(relation.getNTargets()):
            target = relation.getTarget(index)
            relations.append("%s:%s/%s" % (kind, target.getRoleName(), target.name or ""))
    fields = [role, element.name or "", ",".join(state_names), text.replace("\n", "\\n"), value, ",".join(actions),
              extents, element.description or "", value_text, ";".join(relations)]
    return "|".join(f.replace("|", "/").replace("\n", "\\n") for f in fields)


def walk(element, depth, out, limit=2000):
    if element is None or len(out) >= limit:
        return
    out.append("  " * depth + describe(element))
    for index in range(element.childCount):
        walk(element.getChildAtIndex(index), depth + 1, out, limit)


def read_all(root):
    """Reads every element below root as a dump does, without keeping the lines; with a stack of its own, since a
    tree may be deeper than Python's recursion allows. Answers the number read."""
    count = 0
    stack = [root]
    while stack:
        element = stack.pop()
        if element is None:
            continue
        describe(element)
        count += 1
        children = [element.getChildAtIndex(index) for index in range(element.childCount)]
        stack.extend(reversed(children))
    return count


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


def listen(app, seconds, stages):
    """Prints the application's events while the stages run: each stage's command starts once the one before has
    ended and the event line the stage before waits for has been heard; listening ends once the last stage's event
    has been heard, or after the seconds. A fixed time to listen ran out before a busy program had told its events."""
    pid = app.get_process_id()
    lines = []

    def heard(event):
        try:
            source = event.source
            if source is None or source.get_process_id() != pid:
                return
            name = (source.name or "").replace("\n", "\\n")
            lines.append("%s|%d|%s|%s" % (event.type, event.detail1, source.getRoleName(), name))
        except Exception:  # an element gone while its event travelled
            pass

    kinds = ["object:state-changed", "object:property-change", "object:text-changed", "object:children-changed",
             "object:selection-changed", "object:active-descendant-changed", "focus:", "window:activate",
             "window:deactivate"]
    pyatspi.Registry.registerEventListener(heard, *kinds)
    children = []

    def stage_done(index):
        until = stages[index][1]
        return children[index].poll() is not None and (not until or until in lines)

    def step():
        if len(children) == len(stages) and stage_done(len(stages) - 1):
            pyatspi.Registry.stop()
            return False
        if len(children) < len(stages) and (not children or stage_done(len(children) - 1)):
            children.append(subprocess.Popen(stages[len(children)][0], shell=True))
        return True

    def stop():
        pyatspi.Registry.stop()
        return False

    # The listeners are in place once the loop runs: the stages start then.
    GLib.timeout_add(50, step)
    GLib.timeout_add(int(seconds * 1000), stop)
    pyatspi.Registry.start()
    pyatspi.Registry.deregisterEventListener(heard, *kinds)
    for child in children:
        child.wait()
    print("\n".join(lines))
    return 0


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
    if command == "read":
        # A program slow to answer (the reason to read it all) is waited for, not given up after the usual 25 s.
        Atspi.set_timeout(600000, 600000)
        print(read_all(app))
        return 0
    if command == "events" and len(arguments) >= 5 and len(arguments) % 2 == 1:
        stages = list(zip(arguments[3::2], arguments[4::2]))
        return listen(app, float(arguments[2]), stages)
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
