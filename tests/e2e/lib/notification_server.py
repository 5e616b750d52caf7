#!/usr/bin/env python3
"""A desktop notification server for the end-to-end tests, on the session bus.

    notification_server.py RECORD_FILE

Takes org.freedesktop.Notifications, answers every Notify with a fresh id and appends the
call to RECORD_FILE as one JSON object a line ({"id", "app", "summary", "body", "actions"}
with the actions as [key, label] pairs). When the name is owned it writes "ready" to
RECORD_FILE.ready. What a user does is asked of it on the bus, under the interface
org.tidemark.E2E of the same object:

    InvokeAction(id u, key s)   sends ActionInvoked(id, key), then NotificationClosed(id, 2)
    Dismiss(id u)               sends NotificationClosed(id, 2)
"""

import json
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

NAME = "org.freedesktop.Notifications"
PATH = "/org/freedesktop/Notifications"


class Server(dbus.service.Object):
    def __init__(self, bus, record):
        super().__init__(bus, PATH)
        self.record = record
        self.next_id = 1

    @dbus.service.method(NAME, in_signature="", out_signature="as")
    def GetCapabilities(self):
        return ["actions", "body"]

    @dbus.service.method(NAME, in_signature="", out_signature="ssss")
    def GetServerInformation(self):
        return ("tidemark-e2e", "tidemark", "1", "1.2")

    @dbus.service.method(NAME, in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app, replaces, icon, summary, body, actions, hints, timeout):
        notification = int(replaces) or self.next_id
        if not replaces:
            self.next_id += 1
        pairs = [[str(actions[i]), str(actions[i + 1])] for i in range(0, len(actions) - 1, 2)]
        with open(self.record, "a") as out:
            out.write(json.dumps({"id": notification, "app": str(app), "summary": str(summary),
                                  "body": str(body), "actions": pairs}) + "\n")
        return notification

    @dbus.service.method(NAME, in_signature="u", out_signature="")
    def CloseNotification(self, notification):
        self.NotificationClosed(notification, 3)

    @dbus.service.signal(NAME, signature="us")
    def ActionInvoked(self, notification, key):
        pass

    @dbus.service.signal(NAME, signature="uu")
    def NotificationClosed(self, notification, reason):
        pass

    @dbus.service.method("org.tidemark.E2E", in_signature="us", out_signature="")
    def InvokeAction(self, notification, key):
        self.ActionInvoked(notification, key)
        self.NotificationClosed(notification, 2)

    @dbus.service.method("org.tidemark.E2E", in_signature="u", out_signature="")
    def Dismiss(self, notification):
        self.NotificationClosed(notification, 2)


def main():
    record = sys.argv[1]
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    server = Server(bus, record)
    name = dbus.service.BusName(NAME, bus, do_not_queue=True)
    with open(record + ".ready", "w") as ready:
        ready.write("ready\n")
    GLib.MainLoop().run()
    del server, name


if __name__ == "__main__":
    main()
