#!/usr/bin/python3
"""Reads a running program's accessibility tree over AT-SPI, the way a screen reader does.

Run with Debian's python (pyatspi lives in /usr/lib/python3/dist-packages), on the display and session bus
of the program, with the accessibility bus up. Takes the program's process id and answers requests, one
JSON object a line on standard input, with one JSON object a line on standard output:

  {"op": "tree"}                         every visible window of the program, each node as
                                         {"role", "name", "description", "value", "states", "children"};
                                         "value" is the text an element offers (null without one)
  {"op": "find", "role": r, "name": n}   whether a visible element with that role and name is read:
                                         {"found": true|false}
  {"op": "act", "role": r, "name": n}    runs the first action of the first visible element with that
                                         role and name (a button's press); answers {"done": true|false}
  {"op": "focus", "role": r, "name": n}  moves the keyboard to that element, as a reader's review cursor
                                         does; answers {"done": true|false}
  {"op": "events"}                       what was announced since the last request, in order: changes of
                                         the focused, selected and checked states, as
                                         [{"state", "on", "role", "name"}]

Nodes that are not visible are left out with their children: a screen reader does not read them. Each
tree is read afresh (the client caches nothing), as a reader that just came to the window would.
"""

import json
import os
import sys

import pyatspi
from gi.repository import Atspi, GLib

# States a screen reader speaks or acts on; the rest (enabled, sensitive, ...) only clutter the tables.
STATES = {
    pyatspi.STATE_CHECKED: "checked",
    pyatspi.STATE_SELECTED: "selected",
    pyatspi.STATE_SELECTABLE: "selectable",
    pyatspi.STATE_FOCUSED: "focused",
    pyatspi.STATE_FOCUSABLE: "focusable",
    pyatspi.STATE_SHOWING: "showing",
    pyatspi.STATE_VISIBLE: "visible",
    pyatspi.STATE_ENABLED: "enabled",
    pyatspi.STATE_EDITABLE: "editable",
}


def states_of(accessible):
    state_set = accessible.getState()
    return [name for state, name in STATES.items() if state_set.contains(state)]


def value_of(accessible):
    try:
        text = accessible.queryText()
    except NotImplementedError:
        return None
    return text.getText(0, -1)


def node(accessible, depth=0):
    states = states_of(accessible)
    result = {
        "role": accessible.getRoleName(),
        "name": accessible.name,
        "description": accessible.description,
        "value": value_of(accessible),
        "states": states,
        "children": [],
    }
    if depth < 60:
        for index in range(accessible.childCount):
            child = accessible.getChildAtIndex(index)
            if child is not None and "visible" in states_of(child):
                result["children"].append(node(child, depth + 1))
    return result


class Reader:
    def __init__(self, pid):
        self.pid = pid
        self.events = []
        self.pending = b""
        for state in ("focused", "selected", "checked"):
            pyatspi.Registry.registerEventListener(self.on_state, "object:state-changed:" + state)

    def application(self):
        desktop = pyatspi.Registry.getDesktop(0)
        for index in range(desktop.childCount):
            app = desktop.getChildAtIndex(index)
            try:
                if app is not None and app.get_process_id() == self.pid:
                    # The client's cache would keep states and children that the events it hears do not
                    # all update (a widget shown keeps "not visible"): read everything afresh instead.
                    app.set_cache_mask(Atspi.Cache.NONE)
                    return app
            except GLib.Error:
                continue  # an application that went away while the list was read
        return None

    def on_state(self, event):
        try:
            if event.host_application.get_process_id() != self.pid:
                return
            self.events.append({"state": event.type.split(":")[-1], "on": event.detail1 == 1,
                                "role": event.source.getRoleName(), "name": event.source.name})
        except GLib.Error:
            pass  # the element went away before it could be read

    def windows(self):
        app = self.application()
        if app is None:
            return None
        return [node(app.getChildAtIndex(i)) for i in range(app.childCount)
                if app.getChildAtIndex(i) is not None and "visible" in states_of(app.getChildAtIndex(i))]

    def find(self, accessible, role, name):
        if accessible.getRoleName() == role and accessible.name == name:
            return accessible
        for index in range(accessible.childCount):
            child = accessible.getChildAtIndex(index)
            if child is not None and "visible" in states_of(child):
                found = self.find(child, role, name)
                if found is not None:
                    return found
        return None

    def act(self, role, name):
        app = self.application()
        target = self.find(app, role, name) if app is not None else None
        if target is None:
            return False
        action = target.queryAction()
        return action.nActions > 0 and bool(action.doAction(0))

    def focus(self, role, name):
        app = self.application()
        target = self.find(app, role, name) if app is not None else None
        return target is not None and bool(target.queryComponent().grabFocus())

    def answer(self, request):
        op = request.get("op")
        if op == "tree":
            return {"windows": self.windows()}
        if op == "find":
            app = self.application()
            return {"found": app is not None and self.find(app, request["role"], request["name"]) is not None}
        if op == "act":
            return {"done": self.act(request["role"], request["name"])}
        if op == "focus":
            return {"done": self.focus(request["role"], request["name"])}
        if op == "events":
            events, self.events = self.events, []
            return {"events": events}
        return {"error": "unknown request: " + json.dumps(request)}

    def on_input(self, fd):
        # Raw reads: a buffered reader could hold a second line that no further wake-up would announce.
        data = os.read(fd, 65536)
        if not data:
            pyatspi.Registry.stop()
            return False
        self.pending += data
        while b"\n" in self.pending:
            line, self.pending = self.pending.split(b"\n", 1)
            try:
                reply = self.answer(json.loads(line))
            except Exception as error:  # the test reads the message; the reader keeps serving
                reply = {"error": type(error).__name__ + ": " + str(error)}
            sys.stdout.write(json.dumps(reply, ensure_ascii=False) + "\n")
            sys.stdout.flush()
        return True


def main():
    reader = Reader(int(sys.argv[1]))
    fd = sys.stdin.fileno()
    GLib.unix_fd_add_full(GLib.PRIORITY_DEFAULT, fd, GLib.IOCondition.IN | GLib.IOCondition.HUP,
                          lambda source, condition: reader.on_input(fd))
    sys.stdout.write(json.dumps({"ready": True}) + "\n")
    sys.stdout.flush()
    pyatspi.Registry.start()


if __name__ == "__main__":
    main()
