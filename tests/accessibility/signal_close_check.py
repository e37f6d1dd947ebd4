"""The window ended by a signal lets its serial line go.

Starts the real tallisk on a virtual display with COM1 pointed at a bare
pseudo-terminal (no simulator that could clear the line's exclusive flag
itself), chooses "Serial_9600_8_1" in Connect Mode with the mouse and the
keyboard as a technician would, and checks that the line is then held: a
user without root's power over the exclusive flag is refused. SIGTERM to
the window must end it with status 143, after which that user opens the
line. Then tallisk-demo is ended by SIGTERM and SIGHUP and must exit with
143 and 129. Exit status 0 passes, 1 fails, 77 when a tool is missing.
"""

import errno
import os
import shutil
import signal
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import atspi_form_check as harness  # noqa: E402

NOBODY = 65534
SERIAL_MODE = "Serial_9600_8_1"


def open_as_ordinary_user(path):
    """0 when a user without root's powers opens path, else the errno."""
    if os.geteuid() != 0:
        try:
            os.close(os.open(path, os.O_RDWR | os.O_NOCTTY | os.O_NONBLOCK))
            return 0
        except OSError as error:
            return error.errno
    os.chmod(path, 0o666)
    child = os.fork()
    if child == 0:
        code = 0
        try:
            os.setgid(NOBODY)
            os.setuid(NOBODY)
            os.close(os.open(path, os.O_RDWR | os.O_NOCTTY | os.O_NONBLOCK))
        except OSError as error:
            code = error.errno or 255
        os._exit(code)
    _, status = os.waitpid(child, 0)
    return os.waitstatus_to_exitcode(status)


def holds(pid, path):
    try:
        for fd in os.listdir("/proc/%d/fd" % pid):
            if os.readlink("/proc/%d/fd/%s" % (pid, fd)) == path:
                return True
    except OSError:
        pass
    return False


def start_on_bus(command, home, started, pyatspi):
    env = dict(os.environ, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
               HOME=home, XDG_CONFIG_HOME=home + "/config", XDG_RUNTIME_DIR=home)
    process = subprocess.Popen(command, env=env, start_new_session=True)
    started.append(process)
    app = harness.wait_for(lambda: process.poll() is not None
                           or harness.find_application(pyatspi, process.pid))
    if app is None or app is True:
        return process, None
    return process, app


def connect_mode_list(app):
    def is_it(node):
        if node.getRoleName() != "combo box":
            return False
        return harness.find_in(node, lambda n: n.name == SERIAL_MODE) is not None
    return harness.find_in(app, is_it)


def xdotool(*args):
    subprocess.run(["xdotool"] + [str(a) for a in args], check=True)


def choose_serial(combo):
    """Opens Connect Mode with a click and takes the serial mode with the
    keyboard, as the popup closing is what the window acts on."""
    import pyatspi
    box = combo.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    xdotool("mousemove", box.x + box.width // 2, box.y + box.height // 2)
    xdotool("click", 1)
    harness.wait_for(lambda: False, 0.5)
    xdotool("key", "Down", "Return")


def ended_with(process, expected, what):
    try:
        process.wait(10)
    except subprocess.TimeoutExpired:
        return harness.fail("%s did not end within 10 s" % what)
    if process.returncode != expected:
        return harness.fail("%s ended with %s, not %d" % (what, process.returncode, expected))
    return 0


def check_window(tallisk, home, started, pyatspi):
    master, slave = os.openpty()
    line = os.ttyname(slave)
    os.close(slave)
    try:
        process, app = start_on_bus([tallisk, "--serial-port", line], home, started, pyatspi)
        if app is None:
            return harness.fail("tallisk did not show up on the accessibility bus")
        combo = harness.wait_for(lambda: connect_mode_list(app))
        if combo is None:
            return harness.fail("no Connect Mode list offering %s" % SERIAL_MODE)
        choose_serial(combo)
        if not harness.wait_for(lambda: holds(process.pid, line)):
            return harness.fail("choosing %s did not open %s" % (SERIAL_MODE, line))
        refused = open_as_ordinary_user(line)
        if refused != errno.EBUSY:
            return harness.fail("while the window holds %s another user got %s, not EBUSY"
                                % (line, refused))
        os.kill(process.pid, signal.SIGTERM)
        failed = ended_with(process, 128 + signal.SIGTERM, "tallisk after SIGTERM")
        if failed:
            return failed
        opened = open_as_ordinary_user(line)
        if opened != 0:
            return harness.fail("after SIGTERM another user opening %s got %s (%s)"
                                % (line, opened, os.strerror(opened) if opened > 0 else "?"))
        print("tallisk held %s, ended with 143 on SIGTERM and let the line go" % line)
        return 0
    finally:
        os.close(master)


def check_demo(demo, home, started, pyatspi):
    for sent in (signal.SIGTERM, signal.SIGHUP):
        process, app = start_on_bus([demo], home, started, pyatspi)
        if app is None:
            return harness.fail("tallisk-demo did not show up on the accessibility bus")
        os.kill(process.pid, sent)
        failed = ended_with(process, 128 + sent, "tallisk-demo after %s" % sent.name)
        if failed:
            return failed
    print("tallisk-demo ended with 143 on SIGTERM and 129 on SIGHUP")
    return 0


def check(args, started):
    tallisk, demo = args
    if shutil.which("xdotool") is None:
        print("skipped: no xdotool")
        return harness.SKIP
    home = tempfile.mkdtemp(prefix="tallisk-signal-")
    log = tempfile.TemporaryFile("w+", dir=home)
    if not harness.start_display_and_bus(started, log):
        print("skipped: Xvfb did not start")
        return harness.SKIP
    import pyatspi  # after the bus is up: it asks the session bus for it

    return check_window(tallisk, home, started, pyatspi) or check_demo(demo, home, started,
                                                                       pyatspi)


def main():
    started = []
    try:
        return check(sys.argv[1:], started)
    finally:
        harness.stop(started)


if __name__ == "__main__":
    sys.exit(main())
