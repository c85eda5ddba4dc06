#!/usr/bin/env python3
"""Writes the panel description file of every model into its profile folder.

The files are data, committed as written; edit the layout here and run
  python3 res/profiles/make-panels.py
to write them again.
"""
import configparser
import os

HERE = os.path.dirname(os.path.abspath(__file__))

# Geometry shared by every model, in client pixels.
EAR = 12
HEIGHT = 100
PORTS_X = 124          # where the first block of ports starts
TOP_Y, BOTTOM_Y = 41, 64
JACK_W, JACK_H, PITCH = 24, 20, 27
SFP_W, SFP_PITCH = 30, 33
BLOCK_GAP = 12
BLOCK_PAD = 3

# Lamp sockets and labels of the frame, by lamp set. Each entry: element,
# name, x, y, bitmap, where the label goes ("right" or "below").
LAMP_SETS = {
    24: [("POWER", "PWR", 15, 34, "IDB_LED_SOCKET", "below"),
         ("LED", "SYS", 24, 25, "IDB_LED_SOCKET", "right")],
    16: [("POWER", "PWR", 15, 34, "IDB_LED_SOCKET", "below"),
         ("LED", "SYS", 25, 26, "IDB_LED_SOCKET", "right")],
    48: [("POWER", "PWR", 15, 34, "IDB_LED_SOCKET", "below"),
         ("LED", "SYS", 21, 27, "IDB_LED_SOCKET", "right"),
         ("FAN", "FAN", 55, 33, "IDB_LED_SOCKET", "right")],
    10: [("POWER", "PWR", 15, 34, "IDB_LED_SOCKET", "right"),
         ("LED", "SYS", 55, 63, "IDB_LED_SOCKET", "right"),
         ("LED", "PoE", 89, 63, "IDB_LED_SOCKET", "right"),
         ("LED", "MAX", 89, 78, "IDB_LED_SOCKET", "right")],
    "28P": [("POWER", "PWR", 15, 34, "IDB_LED_SOCKET", "below"),
            ("FAN", "FAN", 37, 34, "IDB_ROUND_OFF", "right"),
            ("LED", "SYS", 37, 50, "IDB_ROUND_OFF", "right"),
            ("LED", "PoE", 68, 48, "IDB_ROUND_OFF", "right"),
            ("LED", "MAX", 68, 60, "IDB_ROUND_OFF", "right")],
}

SOCKET_SIZE = {"IDB_LED_SOCKET": (10, 7), "IDB_ROUND_OFF": (8, 8)}


def read_profile(folder):
    ini = configparser.ConfigParser()
    ini.read(os.path.join(folder, "User.ini"))
    info = ini["DeviceInfo"]
    return {
        "name": info["DeviceName"],
        "ports": int(info.get("DevicePortNum", 28)),
        "combos": int(info.get("ComboPortNum", 4)),
        "first_combo": int(info.get("ComboPortIndex", 25)),
        "xml": info["XMLName"],
    }


def lamp_set(model, ports, combos):
    if model in ("NSW-4410-28P", "NSW-4410-28P B1"):
        return LAMP_SETS["28P"]
    count = ports if ports in (24, 16, 48, 10) else ports - combos
    return LAMP_SETS.get(count, LAMP_SETS[24][:1])


def polled_poe_ports(model):
    """Ports whose PoE state the panel polls (the module's model table)."""
    if model in ("NSW-4410-28P", "NSW-4410-28P B1"):
        return 24
    if model in ("NGX-4410-10P", "NGX-4410-10P B1"):
        return 8
    return 0


def powered_poe_ports(model):
    """Ports the switch powers, as its faceplate marks them: the 08P powers
    eight ports although the panel does not poll them."""
    return polled_poe_ports(model) or (8 if "P" in model.upper() else 0)


def combo_in_loop(model):
    return model in ("NGX-4410-10P", "NGX-4410-10P B1")


def jack(number, x, y, combo=False):
    glyph = "IDB_JACK_COMBO" if combo else ("IDB_JACK_ODD" if number % 2 else "IDB_JACK_EVEN")
    return (f'      <PORT ID="{number}" NAME="{number}" LEFT="{x}" TOP="{y}" WIDTH="{JACK_W}" '
            f'HEIGHT="{JACK_H}" BMP="{glyph}" STATUS="PORTENABLE" BMPLINK100="IDB_LED_LINKLOW" '
            f'BMPLINK10="IDB_LED_LINK" BMPDISABLE="IDB_LED_DISABLED"/>')


def sfp(number, x, y):
    return (f'      <PORT ID="{number}F" NAME="{number}F" LEFT="{x}" TOP="{y}" WIDTH="{SFP_W}" '
            f'HEIGHT="{JACK_H}" BMP="IDB_SFP" STATUS="PORTEMPTY" BMPLINK100="IDB_SFP_LINKLOW" '
            f'BMPLINK10="IDB_SFP_LINK" BMPDISABLE="IDB_SFP_DISABLED" BMPEMPTY="IDB_SFP_EMPTY"/>')


def block(x, columns, pitch, width, name=""):
    w = (columns - 1) * pitch + width + 2 * BLOCK_PAD
    label = f' NAME="{name}"' if name else ""
    return (f'      <SLOT LEFT="{x - BLOCK_PAD}" TOP="{TOP_Y - BLOCK_PAD}" WIDTH="{w}" '
            f'HEIGHT="{BOTTOM_Y + JACK_H - TOP_Y + 2 * BLOCK_PAD}" BMP="IDB_PORT_BLOCK"{label}/>'), w


def panel(profile):
    model, ports, combos, first = (profile[k] for k in ("name", "ports", "combos", "first_combo"))
    in_loop = combo_in_loop(model)
    copper = ports if in_loop else first - 1
    poe = powered_poe_ports(model)
    blocks, copper_lines, combo_lines, sfp_lines = [], [], [], []

    # Copper ports, odd above even, in blocks of six columns (four on small models).
    columns = (copper + 1) // 2
    per_block = columns if columns <= 5 else 4 if columns % 6 and not columns % 4 else 6
    x = PORTS_X
    column = 0
    while column < columns:
        n = min(per_block, columns - column)
        first_port, last_port = 2 * column + 1, min(2 * (column + n), copper)
        name = ""
        if poe and first_port <= poe:
            name = f"PoE+ {first_port}-{min(last_port, poe)}"
        line, w = block(x, n, PITCH, JACK_W, name)
        blocks.append(line)
        for c in range(n):
            top, bottom = 2 * (column + c) + 1, 2 * (column + c) + 2
            copper_lines.append(jack(top, x + c * PITCH, TOP_Y))
            if bottom <= copper:
                copper_lines.append(jack(bottom, x + c * PITCH, BOTTOM_Y))
        column += n
        x += w - 2 * BLOCK_PAD + BLOCK_GAP

    # Copper halves of the combo ports drawn apart.
    if not in_loop and combos:
        n = (combos + 1) // 2
        line, w = block(x, n, PITCH, JACK_W)
        blocks.append(line)
        for i in range(combos):
            number = first + i
            combo_lines.append(jack(number, x + (i // 2) * PITCH, TOP_Y if i % 2 == 0 else BOTTOM_Y,
                                    combo=True))
        x += w - 2 * BLOCK_PAD + BLOCK_GAP

    # Fibre halves: one SFP cage per combo port, after every copper port.
    if combos:
        n = (combos + 1) // 2
        line, w = block(x, n, SFP_PITCH, SFP_W)
        blocks.append(line)
        for i in range(combos):
            sfp_lines.append(sfp(first + i, x + (i // 2) * SFP_PITCH,
                                 TOP_Y if i % 2 == 0 else BOTTOM_Y))
        x += w - 2 * BLOCK_PAD + BLOCK_GAP

    console_x = x + 4
    width = console_x + JACK_W + 16 + EAR

    lamps = []
    for element, name, lx, ly, bmp, label in lamp_set(model, ports, combos):
        # Nothing lights these two where the panel does not poll PoE.
        if name in ("PoE", "MAX") and not polled_poe_ports(model):
            name = ""
        sw, sh = SOCKET_SIZE[bmp]
        w, h = (sw + 30, sh) if label == "right" else (sw, sh + 12)
        named = f' NAME="{name}"' if name else ""
        lamps.append(f'      <{element}{named} LEFT="{lx}" TOP="{ly}" WIDTH="{w}" '
                     f'HEIGHT="{h}" BMP="{bmp}"/>')

    lines = [
        '<?xml version="1.0" encoding="UTF-8"?>',
        f"<!-- Front panel of the {model}: {ports} ports, combo ports {first} to "
        f"{first + combos - 1}. Written by make-panels.py. -->",
        f'<DEVICEMODULE NAME="{model}" LEFT="0" TOP="0" WIDTH="{width}" HEIGHT="{HEIGHT}">',
        "  <DEVICEPANEL>",
        f'    <PANEL ID="1" NAME="{model}" LEFT="0" TOP="0" WIDTH="{width}" HEIGHT="{HEIGHT}" '
        f'BMP="IDB_CHASSIS">',
        *lamps,
        *blocks,
        *copper_lines,
        *combo_lines,
        *sfp_lines,
        f'      <CONSOLE NAME="CONSOLE" LEFT="{console_x}" TOP="{TOP_Y}" WIDTH="{JACK_W}" '
        f'HEIGHT="{JACK_H}" BMP="IDB_CONSOLE"/>',
        "    </PANEL>",
        "  </DEVICEPANEL>",
        "</DEVICEMODULE>",
        "",
    ]
    return "\n".join(lines)


def main():
    for entry in sorted(os.listdir(HERE)):
        folder = os.path.join(HERE, entry)
        if not os.path.isfile(os.path.join(folder, "User.ini")):
            continue
        profile = read_profile(folder)
        with open(os.path.join(folder, profile["xml"]), "w", newline="\r\n") as out:
            out.write(panel(profile))
        print(f"{profile['name']}: {profile['xml']}")


if __name__ == "__main__":
    main()
