#!/usr/bin/env python3
"""Plays a real game of the built program under an X server (run inside xvfb-run).

Usage: play_end_to_end.py <program> <Standard folder> <mode> <screenshot folder>
  win      hits Figures and shoots the House down at level 1; the highscore must hold the win
  loss     hits a few Figures, then lets one arrive; the highscore must hold the loss
  field    the standard field with its background picture, and one with the background off

The test scenario "E2E" has a Figure of one pure colour (magenta), so the Figures are found in
screenshots of the whole screen, and a 640 x 480 background, so the field is 640 x 480.
Exit 0 on success, 1 on failure.
"""

import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time

SCREEN_W, SCREEN_H = 1024, 768
MAGENTA = b"\xff\x00\xff"
FIGURE_SIZE = 50
PLAYER = "E2E-Spieler"


def fail(message):
    print("FAILED: " + message, flush=True)
    sys.exit(1)


def log(message):
    print(message, flush=True)


def write_bmp(path, width, height, colour):
    """A 24-bit bitmap of one colour (r, g, b)."""
    row = bytes((colour[2], colour[1], colour[0])) * width
    row += b"\0" * ((4 - len(row) % 4) % 4)
    pixels = row * height
    header = struct.pack("<2sIHHI", b"BM", 54 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(path, "wb") as out:
        out.write(header + info + pixels)


def write_crlf(path, lines):
    with open(path, "wb") as out:
        out.write("".join(line + "\r\n" for line in lines).encode("utf-8"))


def write_scenario(folder, name, background_on=True, background_colour=0):
    media = os.path.join(folder, "Standard")
    own = os.path.join(folder, name, "bilder")
    os.makedirs(own, exist_ok=True)
    os.makedirs(os.path.join(folder, name, "sound"), exist_ok=True)
    write_bmp(os.path.join(own, "figur.bmp"), FIGURE_SIZE, FIGURE_SIZE, (255, 0, 255))
    write_bmp(os.path.join(own, "feld.bmp"), 640, 480, (16, 32, 72))
    # Entry 10 holds 0 points, so that every result of a level 1 game is admitted.
    highscore = "Kolvar-Bauwerk;110;1;Kolvar-Bauwerk;12;1;Kolvar-Bauwerk;10;1;" + \
        "Kolvar-Bauwerk;1;1;" * 6 + "Platzhalter;0;1;"
    lines = [
        "Blitzfang", "Bilder:",
        "Ziel: " + media + "/bilder/ziel.bmp",
        "Abschuss: " + own + "/figur.bmp",
        "Abschuss2: " + media + "/bilder/abschuss2.bmp",
        "Schuss: " + media + "/bilder/schuss.bmp",
        "Hintergrundfarbe: " + str(background_colour),
        "Textfarbe: 12632256",
        "Hintergrundbild: " + own + "/feld.bmp",
        "", "Beschriftung:", "Titel: Testflug", "Zielort: Basis", "Abschuss2ort: Nest",
        "Startbutton: &Start", "",
        "Spielername: " + PLAYER,
        "Highscore: " + highscore,
        "Schwierigkeitsgrad: 1", "",
        "Sounddateianzahl: 2",
        "Sounds: " + media + "/sound/au1.wav",
        "Sounds: " + media + "/sound/au2.wav",
        "Verlorensound: " + media + "/sound/verloren.wav",
        "Siegsound: " + media + "/sound/sieg.wav",
        "Explosionssound: " + media + "/sound/explosion.wav",
        "Schussstartsound: " + media + "/sound/schussstart.wav",
        "", "Andere Einstellungen:",
        # One solid colour: without this the whole Figure would be its own transparent colour.
        "Abschuss Transparent: false",
    ]
    if not background_on:
        lines.append("Hintergrundbild aktiviert: false")
    lines += ["", "Ende :-)"]
    write_crlf(os.path.join(folder, name + ".cfg"), lines)
    write_crlf(os.path.join(folder, "setup.cfg"), [
        "Blitzfang", "Speicherstände", "Spielstart: " + name,
        "Speicherstand: " + name, "Speicherstand: Standard", "", "Ende =:-)"])


def xdotool(*args, check=False):
    result = subprocess.run(["xdotool", *args], capture_output=True, text=True, timeout=15)
    if check and result.returncode != 0:
        fail("xdotool " + " ".join(args) + ": " + result.stderr.strip())
    return result.stdout.strip()


def find_window(pattern, timeout, visible=True):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        args = ["search", "--onlyvisible", "--name", pattern] if visible else ["search", "--name", pattern]
        found = xdotool(*args).split()
        if found:
            return found[0]
        time.sleep(0.1)
    return None


def geometry(window):
    text = xdotool("getwindowgeometry", "--shell", window)
    values = dict(line.split("=", 1) for line in text.splitlines() if "=" in line)
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


def wait_for_geometry(window, size, timeout=10):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        g = geometry(window)
        if (g[2], g[3]) == size:
            return g
        time.sleep(0.1)
    return geometry(window)


def screenshot_raw():
    result = subprocess.run(["import", "-window", "root", "-depth", "8", "rgb:-"],
                            capture_output=True, timeout=20)
    if result.returncode != 0 or len(result.stdout) < SCREEN_W * SCREEN_H * 3:
        return None
    return result.stdout


def save_screenshot(path):
    subprocess.run(["import", "-window", "root", path], timeout=20, check=False)


def pixel(data, x, y):
    offset = (y * SCREEN_W + x) * 3
    return tuple(data[offset:offset + 3])


def find_figures(data):
    """Centres of the magenta Figures on the screen."""
    points = []
    stride = SCREEN_W * 3
    for y in range(0, SCREEN_H, 4):
        row = data[y * stride:(y + 1) * stride]
        index = row.find(MAGENTA)
        while index != -1:
            if index % 3 == 0:
                points.append((index // 3, y))
            index = row.find(MAGENTA, index + 3)
    clusters = []
    for x, y in points:
        for cluster in clusters:
            if abs(cluster[0] - x) < FIGURE_SIZE and abs(cluster[1] - y) < FIGURE_SIZE:
                cluster[2].append((x, y))
                break
        else:
            clusters.append([x, y, [(x, y)]])
    centres = []
    for _, _, members in clusters:
        if len(members) < 20:  # a full Figure has about 10 rows x 40 pixels sampled
            continue
        xs = [p[0] for p in members]
        ys = [p[1] for p in members]
        centres.append(((min(xs) + max(xs)) // 2, (min(ys) + max(ys)) // 2))
    return centres


def click(x, y):
    xdotool("mousemove", str(x), str(y), "click", "1")


class Program:
    def __init__(self, folder):
        self.folder = folder
        self.process = subprocess.Popen([os.path.join(folder, "blitzfang")], cwd=folder,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def end(self):
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait(timeout=10)

    def wait_exit(self, timeout):
        try:
            self.process.wait(timeout=timeout)
            return True
        except subprocess.TimeoutExpired:
            return False


def start_game(program, field_size):
    menu = find_window("^Blitzfang by", 20)
    if not menu:
        fail("the main window did not appear")
    time.sleep(0.3)
    # The Start button: centred in the menu, 222 pixels below the window's top.
    x, y, width, _ = geometry(menu)
    for _ in range(5):
        click(x + width // 2, y + 222)
        g = wait_for_geometry(menu, field_size, timeout=4)
        if (g[2], g[3]) == field_size:
            return menu, g
    fail("the game field did not appear (window geometry %s)" % (geometry(menu),))


def press_return_on_box(timeout):
    box = find_window("^Blitzfang$", timeout)
    if not box:
        return False
    time.sleep(0.2)
    for _ in range(10):
        xdotool("windowfocus", "--sync", box)
        xdotool("key", "Return")
        time.sleep(0.3)
        if not xdotool("search", "--onlyvisible", "--name", "^Blitzfang$"):
            return True
    fail("the message box did not close on Return")


def box_shown():
    return bool(xdotool("search", "--onlyvisible", "--name", "^Blitzfang$"))


def highscore_line(folder):
    with open(os.path.join(folder, "E2E.cfg"), "rb") as text:
        for line in text.read().decode("utf-8").split("\r\n"):
            if line.startswith("Highscore: "):
                return line
    return ""


def player_entries(line):
    return [int(points) for points, level in re.findall(re.escape(PLAYER) + r";(-?\d+);(-?\d+);", line)
            if level == "1"]


def end_on_escape(program, menu):
    xdotool("windowfocus", "--sync", menu)
    xdotool("key", "Escape")
    if not program.wait_exit(10):
        fail("the program still runs after Escape")


def bar_colours(data, x0, y0):
    """The set of bar colours (lime, yellow, red) seen in the House's energy bar."""
    seen = set()
    for y in range(y0 + 111, y0 + 118):
        for x in range(x0 + 100, x0 + 180):
            colour = pixel(data, x, y)
            if colour in ((0, 255, 0), (255, 255, 0), (255, 0, 0)):
                seen.add(colour)
    return seen


def play(folder, mode, shots):
    """win: guards the Target and shoots the House; loss: hits three Figures, then waits."""
    program = Program(folder)
    try:
        menu, field = start_game(program, (640, 480))
        x0, y0 = field[0], field[1]
        house = (x0 + 100 + 40, y0 + 25 + 40)  # the House sits at 100,25 and is 80 x 80
        centre = (x0 + 570, y0 + 380)           # the Target's centre on a 640 x 480 field
        log("field at %d,%d" % (x0, y0))
        started = time.monotonic()
        deadline = started + (75 if mode == "win" else 45)
        figure_clicks = 0
        shot_clicks = 0
        screenshot_taken = False
        while time.monotonic() < deadline:
            if box_shown():
                break
            data = screenshot_raw()
            if data is None:
                continue
            if not screenshot_taken:
                save_screenshot(os.path.join(shots, "game-field-e2e.png"))
                screenshot_taken = True
            for x, y in find_figures(data):
                left, top = x - FIGURE_SIZE // 2, y - FIGURE_SIZE // 2
                # Few hits keep the Figures slow and few: only those near the Target.
                near = max(centre[0] - left, centre[1] - top) <= 200
                # The House, its bar and its name lie above the Figures and would take the click.
                behind_house = (x0 + 80 <= x <= x0 + 200) and (y <= y0 + 150)
                if behind_house:
                    continue
                if (mode == "win" and near) or (mode == "loss" and figure_clicks < 3):
                    # A little ahead: they walk right and down while the click travels.
                    click(x + 5, y + 5)
                    figure_clicks += 1
            if mode == "win":
                click(*house)
                shot_clicks += 1
            time.sleep(0.05)
        log("%.1f s: %d clicks on Figures, %d on the House" %
            (time.monotonic() - started, figure_clicks, shot_clicks))
        if not find_window("^Blitzfang$", 10):
            fail("no message box came: the game was not decided in time")
        # The field stays behind the box: a won game shows an empty energy bar.
        time.sleep(0.3)
        data = screenshot_raw()
        save_screenshot(os.path.join(shots, "game-%s-box.png" % mode))
        bar = bar_colours(data, x0, y0) if data else {"unknown"}
        if mode == "win" and bar:
            fail("the game ended with energy left in the House: lost, not won")
        if mode == "loss" and (0, 255, 0) not in bar:
            fail("the House's bar is not full at the loss")
        press_return_on_box(10)
        # Saving runs after the box; the menu screen returns.
        time.sleep(1.0)
        line = highscore_line(folder)
        entries = player_entries(line)
        log(line)
        if mode == "win":
            # 10 House hits at level 1 earn 50, the win 10 more, every Figure hit 1.
            if not any(60 <= points <= 60 + figure_clicks for points in entries):
                fail("no winning entry of %s in the highscore" % PLAYER)
        else:
            if not any(0 <= points <= figure_clicks for points in entries):
                fail("no entry of the lost game in the highscore")
        end_on_escape(program, menu)
        log("%s: the game was decided, entered and saved" % mode)
    finally:
        program.end()


def field_screenshots(folder, shots):
    # The standard scenario's 800 x 600 background in the middle of a 1024 x 768 screen.
    write_crlf(os.path.join(folder, "setup.cfg"), [
        "Blitzfang", "Speicherstände", "Spielstart: Standard", "Speicherstand: Standard", "", "Ende =:-)"])
    program = Program(folder)
    try:
        menu, field = start_game(program, (800, 600))
        if (field[0], field[1]) != (112, 84):
            fail("the field is not centred: %s" % (field,))
        time.sleep(1.0)
        save_screenshot(os.path.join(shots, "game-field-background.png"))
        end_on_escape(program, menu)
    finally:
        program.end()

    # Background off: the field covers the whole screen in its background colour (dark green).
    write_scenario(folder, "E2E", background_on=False, background_colour=0x004000)
    program = Program(folder)
    try:
        menu, field = start_game(program, (SCREEN_W, SCREEN_H))
        if (field[0], field[1]) != (0, 0):
            fail("the full-screen field is not at 0,0: %s" % (field,))
        time.sleep(1.0)
        save_screenshot(os.path.join(shots, "game-field-no-background.png"))
        data = screenshot_raw()
        for corner in ((2, SCREEN_H - 3), (SCREEN_W // 2, SCREEN_H - 3)):
            if data is None or pixel(data, *corner) != (0, 64, 0):
                fail("the field's colour does not reach %s" % (corner,))
        end_on_escape(program, menu)
    finally:
        program.end()
    log("field: centred background picture and full screen without it")


def main():
    program, standard, mode, shots = sys.argv[1:5]
    os.makedirs(shots, exist_ok=True)
    folder = tempfile.mkdtemp(prefix="blitzfang-e2e-")
    try:
        shutil.copy(program, os.path.join(folder, "blitzfang"))
        shutil.copytree(standard, os.path.join(folder, "Standard"))
        if mode == "field":
            field_screenshots(folder, shots)
        else:
            write_scenario(folder, "E2E")
            play(folder, mode, shots)
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
