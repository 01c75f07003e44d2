#!/usr/bin/python3
"""The window through the screen-reader bus, as Orca reaches it.

Run inside a private session bus (dbus-run-session), with the program as the
only argument. Starts a private X server, starts the program on it, and through
AT-SPI alone: finds the silent string's label hidden, chooses G, Min7 and position 3 from the combos' list items, hears
the notes box announce its change, reads the notes and each string's fingering
as text, presses Hear, fills the search boxes and presses Search, opens the volume
window by the knob, sets and reads the slider's value, closes the window, and
presses About and Help, whose boxes must not hold the call. Exits 77 (skipped)
only when the accessibility bus cannot be started.
"""
import os
import subprocess
import sys
import time

SKIP = 77


def fail(why):
    print("FAIL:", why, flush=True)
    sys.exit(1)


def start_x_server():
    read, write = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                              pass_fds=[write], stderr=subprocess.DEVNULL)
    os.close(write)
    number = os.read(read, 16).decode().strip()
    if not number:
        fail("the X server did not start")
    return server, ":" + number


def accessibility_bus_address():
    try:
        out = subprocess.run(["dbus-send", "--session", "--print-reply=literal", "--dest=org.a11y.Bus",
                              "/org/a11y/bus", "org.a11y.Bus.GetAddress"],
                             capture_output=True, text=True, timeout=20)
    except (OSError, subprocess.TimeoutExpired):
        return ""
    return out.stdout.strip() if out.returncode == 0 else ""


def wait_for(what, find, seconds=20):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        found = find()
        if found:
            return found
        time.sleep(0.2)
    fail("no " + what)


def main():
    if "DBUS_SESSION_BUS_ADDRESS" not in os.environ or not accessibility_bus_address():
        print("SKIPPED: the accessibility bus cannot be started", flush=True)
        sys.exit(SKIP)
    import pyatspi
    from gi.repository import Atspi, GLib
    Atspi.set_timeout(5000, 20000)  # a call held by a modal box fails after 5 s

    server, display = start_x_server()
    env = dict(os.environ, DISPLAY=display, QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
               SDL_AUDIODRIVER="dummy")
    env.pop("WAYLAND_DISPLAY", None)
    program = subprocess.Popen([sys.argv[1]], env=env)
    try:
        run(pyatspi, GLib)
    finally:
        program.terminate()
        program.wait(10)
        server.terminate()
    print("PASS", flush=True)


def run(pyatspi, GLib):
    desktop = pyatspi.Registry.getDesktop(0)
    app = wait_for("application on the bus",
                   lambda: next((a for a in desktop if a is not None and a.name == "Chordmoss"), None))

    def find(role, name, root=None):
        return wait_for(f"{role} named {name!r}", lambda: pyatspi.findDescendant(
            root or app, lambda a: a.getRoleName() == role and a.name == name))

    def press(acc):
        action = acc.queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        if "Press" not in names:
            fail(f"{acc.name!r} cannot be pressed: {names}")
        started = time.monotonic()
        action.doAction(names.index("Press"))
        if time.monotonic() - started > 2:
            fail(f"pressing {acc.name!r} held the call")

    def text(acc):
        return acc.queryText().getText(0, -1)

    notes = find("text", "Notes and position in chord")
    # C major leaves the A string silent: its label is not on show, the low E's is.
    showing = [find("push button", f"String {n} note, on or off").getState().contains(pyatspi.STATE_SHOWING)
               for n in ("5 (A)", "6 (low E)")]
    if showing != [False, True]:
        fail(f"the A and low E labels showing: {showing}")
    announced = []
    pyatspi.Registry.registerEventListener(
        lambda e: announced.append(e) if e.source and e.source.name == notes.name else None, "object:text-changed")
    for combo, item in (("Chord", "G"), ("Type", "Min7"), ("Position", "3")):
        press(find("list item", item, find("combo box", combo)))
    context = GLib.MainContext.default()
    wait_for("announcement of the notes' change", lambda: [context.iteration(False) for _ in range(50)] and announced)
    listing = wait_for("listing of G Min7", lambda: set(text(notes).split()) == {"1-G", "3b-Bb", "5-D", "7b-F"}
                       and text(notes))
    print("notes:", listing.strip(), f"({len(announced)} text-changed events)", flush=True)
    strings = []
    for number, name in ((6, "low E"), (5, "A"), (4, "D"), (3, "G"), (2, "B"), (1, "high E")):
        label = pyatspi.findDescendant(app, lambda a: a.name == f"String {number} ({name}) note, on or off")
        strings.append(label.description if label else "")
    print("fingering:", "; ".join(strings), flush=True)
    if strings[0] != "string 6, low E: fret 3, G, root" or strings[3] != "string 3, G: fret 3, B flat, flat third":
        fail("the strings do not describe G Min7 at fret 3")

    press(find("push button", "Hear"))

    # The search boxes filled as a reader fills them: no typing, no focus.
    for box, note in enumerate(("g", "bb", "d", "f"), start=1):
        find("text", f"Search note {box}").queryEditableText().setTextContents(note)
    press(find("push button", "Search"))
    wait_for("Bb 6th found", lambda: set(text(notes).split()) == {"1-Bb", "3-D", "5-F", "6-G"})
    print("search: g bb d f found", text(notes).strip(), flush=True)

    press(find("push button", "Volume knob"))
    slider = find("slider", "Volume slider")
    value = slider.queryValue()
    if value.currentValue != 60:
        fail(f"the slider shows {value.currentValue}, not 60")
    value.currentValue = 40
    wait_for("volume 40", lambda: slider.queryValue().currentValue == 40)
    close = find("push button", "Close")
    press(close)
    wait_for("volume window closed", lambda: not pyatspi.findDescendant(
        app, lambda a: a.name == "Volume slider" and a.getState().contains(pyatspi.STATE_SHOWING)))

    for menu, words in (("About", "Chordmoss"), ("Help", "Select chord")):
        press(find("menu item", menu))
        box = wait_for(f"{menu} box", lambda: pyatspi.findDescendant(
            app, lambda a: a.getRoleName() in ("dialog", "alert") and a.getState().contains(pyatspi.STATE_SHOWING)))
        if not pyatspi.findDescendant(box, lambda a: words in (a.name or "")):
            fail(f"the {menu} box does not say {words!r}")
        press(find("push button", "OK", box))
        wait_for(f"{menu} box closed", lambda: not box.getState().contains(pyatspi.STATE_SHOWING)
                 or box.getState().contains(pyatspi.STATE_DEFUNCT))
    print("About and Help answered at once", flush=True)


if __name__ == "__main__":
    main()
