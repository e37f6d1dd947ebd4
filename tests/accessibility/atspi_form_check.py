"""The main window as a screen reader meets it, over the AT-SPI bus.

Starts a virtual display and the accessibility bus inside the private
session bus this runs in, starts tallisk-demo on them, and checks with
pyatspi that every control of the form is there in form order with its
role and name as the form names program prints them, and that a new status
reaches the bus as the status line's notification showing with the new
text. Exit status 0 passes, 1 fails, 77 when a tool is missing.
"""

import os
import signal
import subprocess
import sys
import tempfile
import time

SKIP = 77
WAIT_S = 20

ROLES = {
    "frame": "panel",
    "label": "label",
    "radio": "radio button",
    "check": "check box",
    "list": "combo box",
    "text": "text",
    "button": "push button",
    "status": "notification",
}


def fail(message):
    print("FAIL: " + message)
    return 1


def start_display(started, log, size="1280x1024"):
    # No reset: a short-lived client (the bus launcher sets a property and
    # goes) would otherwise leave the server refusing connections a moment.
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(
        ["Xvfb", "-displayfd", str(write_end), "-screen", "0", size + "x24", "-nolisten", "tcp",
         "-noreset"],
        pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=log,
        start_new_session=True)
    started.append(xvfb)
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        number = pipe.readline().strip()
    if not number:
        return None
    return ":" + number


def start_display_and_bus(started, log):
    """A virtual display as DISPLAY and the accessibility bus on the
    session bus; False when Xvfb did not start."""
    display = start_display(started, log)
    if display is None:
        return False
    os.environ["DISPLAY"] = display
    launcher = next((p for p in ("/usr/libexec/at-spi-bus-launcher",
                                 "/usr/lib/at-spi2-core/at-spi-bus-launcher") if os.access(p, os.X_OK)),
                    None)
    started.append(subprocess.Popen([launcher, "--launch-immediately"], start_new_session=True,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL))
    return True


def read_form(names_program):
    rows = []
    out = subprocess.run([names_program], check=True, capture_output=True, text=True).stdout
    for line in out.splitlines():
        control_id, kind, name = line.split("\t")
        rows.append((int(control_id), kind, name))
    return rows


def wait_for(predicate, seconds=WAIT_S):
    from gi.repository import GLib
    context = GLib.MainContext.default()
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        while context.pending():
            context.iteration(False)
        value = predicate()
        if value:
            return value
        time.sleep(0.05)
    return None


def find_application(pyatspi, pid):
    desktop = pyatspi.Registry.getDesktop(0)
    for app in desktop:
        try:
            if app is not None and app.get_process_id() == pid:
                return app
        except Exception:
            pass
    return None


def find_in(node, predicate):
    if predicate(node):
        return node
    for child in node:
        if child is None:
            continue
        found = find_in(child, predicate)
        if found is not None:
            return found
    return None


def start_demo(demo, home, started, pyatspi):
    """Starts tallisk-demo on the display; gives its process, and its
    application on the bus, or None after the wait, or True when the demo
    ended before it showed up."""
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
               HOME=home, XDG_CONFIG_HOME=home + "/config", XDG_RUNTIME_DIR=home)
    app_process = subprocess.Popen([demo], env=env, start_new_session=True)
    started.append(app_process)
    app = wait_for(lambda: app_process.poll() is not None
                   or find_application(pyatspi, app_process.pid))
    return app_process, app


def stop(started):
    for process in reversed(started):
        if process.poll() is None:
            os.killpg(process.pid, signal.SIGTERM)
            try:
                process.wait(5)
            except subprocess.TimeoutExpired:
                os.killpg(process.pid, signal.SIGKILL)
                process.wait()
    started.clear()


def check(args, started):
    demo, names_program = args
    rows = read_form(names_program)
    unnamed = [r for r in rows if r[0] != -1 and not r[2]]
    if unnamed:
        return fail("numbered controls without a name: %s" % unnamed)

    home = tempfile.mkdtemp(prefix="tallisk-a11y-")
    log = tempfile.TemporaryFile("w+", dir=home)
    if not start_display_and_bus(started, log):
        print("skipped: Xvfb did not start")
        return SKIP

    import pyatspi  # after the bus is up: it asks the session bus for it

    app_process, app = start_demo(demo, home, started, pyatspi)
    if app is True:
        # The demo could not use its display: what failed is the test's X
        # server, not the window. Say how, and give it one more display.
        log.seek(0)
        print("tallisk-demo ended with %s on %s; Xvfb %s:\n%s"
              % (app_process.returncode, display,
                 "runs" if started[0].poll() is None else "ended", log.read()))
        os.killpg(started[0].pid, signal.SIGTERM)
        started[0].wait()
        display = start_display(started, log)
        if display is None:
            return fail("Xvfb did not start again")
        os.environ["DISPLAY"] = display
        app_process, app = start_demo(demo, home, started, pyatspi)
    if app is None or app is True:
        return fail("tallisk-demo did not show up on the accessibility bus")
    window = wait_for(lambda: next((w for w in app if w is not None and w.childCount >= len(rows)),
                                   None))
    if window is None:
        return fail("no window with the form's %d controls" % len(rows))

    status_index = next(i for i, r in enumerate(rows) if r[1] == "status")
    status_line = window[status_index]
    settled = wait_for(lambda: status_line.name not in ("StateBar", "Status: "))
    if not settled:
        return fail("the status line stayed at %r" % status_line.name)

    faults = []
    for index, (control_id, kind, name) in enumerate(rows):
        node = window[index]
        role = node.getRoleName()
        if role != ROLES[kind]:
            faults.append("%d %s: role %r, not %r" % (control_id, name, role, ROLES[kind]))
        if kind == "status":
            if not node.name.startswith("Status: "):
                faults.append("status line named %r" % node.name)
        elif node.name != name:
            faults.append("%d (%s): named %r, not %r" % (control_id, kind, node.name, name))
    if faults:
        return fail("the form on the bus differs:\n  " + "\n  ".join(faults))
    print("%d controls of the form on the bus with their names" % len(rows))

    # A new status: pull the simulated reader's cable as a screen reader
    # user would press the button, through the bus.
    events = []
    listener = lambda event: events.append((event.type, event.detail1, event.source))
    for kind in ("object:state-changed:showing", "object:property-change:accessible-name"):
        pyatspi.Registry.registerEventListener(listener, kind)
    wait_for(lambda: False, 1)  # the window learns that someone listens
    before = status_line.name
    cable = find_in(app, lambda n: n.getRoleName() == "push button"
                    and n.name == "Pull the USB cable")
    if cable is None:
        return fail("no \"Pull the USB cable\" button in the simulated reader")
    cable.queryAction().doAction(0)

    def announced():
        for event_type, detail, source in events:
            if (event_type == "object:state-changed:showing" and detail == 1
                    and source == status_line and source.name != before):
                return source.name
        return None

    shown = wait_for(announced)
    if not shown:
        seen = [(t, d, s.getRoleName(), s.name) for t, d, s in events]
        return fail("no notification for a new status after %r; events: %s" % (before, seen))
    if not shown.startswith("Status: ") or status_line.name != shown:
        return fail("the notification says %r, the status line %r" % (shown, status_line.name))
    renamed = any(t == "object:property-change:accessible-name" and s == status_line
                  for t, _, s in events)
    if not renamed:
        return fail("the status line's name change was not reported")
    print("the new status %r was announced (was %r)" % (shown, before))
    return 0


def main():
    started = []
    try:
        return check(sys.argv[1:], started)
    finally:
        stop(started)


if __name__ == "__main__":
    sys.exit(main())
