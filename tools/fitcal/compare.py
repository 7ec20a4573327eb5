#!/usr/bin/env python3
"""Compares the fit check's layouts (fitcal_layout) with the dialogs as wine
draws them (probe.exe), control by control, and prints the tables.

    compare.py OURS.tsv WINE-96.tsv [WINE-120.tsv ...] [--list N]

Drawn verdict: the width DrawText gives the text (GDI's own measure) against
the room found by drawing the control: from where its text starts to where
its drawing is clipped, or for a push button the inside of its frame, for a
group box up to its frame's right edge; a wrapping control's lines (as
DrawText wraps within that room) against the lines its height holds.
Besides, the "ink" verdict: whether the drawn control shows fewer text pixels
than a much larger copy, or text over the frame. Ours: DialogLayout::fit.
"""
import collections
import statistics
import sys


def read(path):
    dialogs, controls = {}, {}
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            cols = line.split("\t")
            if cols[0] == "D":
                dialogs[(int(cols[1]), int(cols[2]))] = cols
            elif cols[0] == "C":
                controls[(int(cols[1]), int(cols[2]), int(cols[3]))] = cols
    return dialogs, controls


# The names wine's GetTextFace gives for faces it substitutes (run_probe.sh
# sets "MS Shell Dlg" to MS Sans Serif, as on the platform).
WINE_FACES = {"MS Shell Dlg": "MS Sans Serif", "MS Shell Dlg 2": "Tahoma"}


def spread(values):
    if not values:
        return "-"
    return f"{min(values):+d}..{max(values):+d} (median {statistics.median(values):+g})"


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    listing = 0
    if "--list" in sys.argv:
        listing = int(sys.argv[sys.argv.index("--list") + 1])
        args.remove(str(listing))
    ours_d, ours_c = read(args[0])
    wine_d, wine_c = {}, {}
    for path in args[1:]:
        d, c = read(path)
        wine_d.update(d)
        wine_c.update(c)

    # Fonts: one row per (dpi, face asked through the dialog, faces used).
    print("## Fonts and base units (ours / wine)\n")
    print("| dpi | dialogs | face (ours / wine) | px | height | letters width | base x | base y |")
    print("| --- | --- | --- | --- | --- | --- | --- | --- |")
    rows = collections.OrderedDict()
    for key in sorted(wine_d):
        if key not in ours_d:
            continue
        o, w = ours_d[key], wine_d[key]
        row = (key[0], o[4], w[4], o[3], -int(w[3]), o[5], w[5], o[6], w[7], o[7], w[9], o[8], w[10])
        rows.setdefault(row, []).append(key[1])
    for row, ids in rows.items():
        dpi, of, wf, opx, wpx, oh, wh, ol, wl, ox, wx, oy, wy = row
        mark = lambda a, b: f"{a} / {b}" + ("" if str(a) == str(b) else " **")
        print(f"| {dpi} | {min(ids)}..{max(ids)} ({len(ids)}) | {of} / {wf} | {mark(opx, wpx)} | {mark(oh, wh)} "
              f"| {mark(ol, wl)} | {mark(ox, wx)} | {mark(oy, wy)} |")

    # Controls: per dpi and font and kind.
    print("\n## Controls: verdicts, widths and rooms (ours minus wine, px)\n")
    print("| dpi | face (ours / wine) | kind | controls | same verdict | same as ink | ours fits, cut when drawn | ours too narrow, "
          "drawn whole | need diff | room diff | size diff (w, h) |")
    print("| --- | --- | --- | --- | --- | --- | --- | --- | --- | --- | --- |")
    groups = collections.OrderedDict()
    disagreements = []
    totals = collections.Counter()
    for key in sorted(wine_c):
        if key not in ours_c:
            continue
        o, w = ours_c[key], wine_c[key]
        dpi, dialog = key[0], key[1]
        face = wine_d[(dpi, dialog)][4] if (dpi, dialog) in wine_d else "?"
        ours_face = ours_d[(dpi, dialog)][4] if (dpi, dialog) in ours_d else "?"
        same_face = WINE_FACES.get(face, face) == ours_face
        g = groups.setdefault((dpi, f"{ours_face} / {face}", o[4]), collections.defaultdict(list))
        ours_fits = o[12] == "1"
        cut = w[19] == "1"
        width = int(w[8])
        over_frame = False
        if o[4] in ("PushButton", "GroupBox") and int(w[24]) >= 0:
            over_frame = int(w[25]) > width - int(w[22]) or (o[4] == "PushButton" and int(w[24]) < int(w[21]))
        ink_fits = not cut and not over_frame
        need, room = int(w[10]), int(w[11])
        if o[4] == "PushButton":
            room = width - int(w[21]) - int(w[22])
        elif o[4] == "GroupBox":
            room = width - int(w[22]) - int(w[12])
        if w[6] == "1":
            drawn_fits = int(w[15]) <= int(w[16]) and int(w[26]) <= room
        else:
            drawn_fits = need <= room
        g["n"].append(1)
        g["same"].append(ours_fits == drawn_fits)
        g["same_ink"].append(ours_fits == ink_fits)
        g["lenient"].append(ours_fits and not drawn_fits)
        g["strict"].append(not ours_fits and drawn_fits)
        g["need"].append(int(o[7]) - int(w[10]))
        if int(w[11]) >= 0:
            g["room"].append(int(o[8]) - room)
        g["w"].append(int(o[5]) - int(w[8]))
        g["h"].append(int(o[6]) - int(w[9]))
        if not same_face:
            totals[(dpi, "other faces")] += 1
            continue
        totals[(dpi, "n")] += 1
        totals[(dpi, "same")] += ours_fits == drawn_fits
        totals[(dpi, "same_ink")] += ours_fits == ink_fits
        if ours_fits != drawn_fits:
            disagreements.append((dpi, dialog, key[2], o[4], o[8], room, o[7], w[10], o[10], o[11], w[15],
                                  w[16], "ours fits" if ours_fits else "ours too narrow", o[13]))
    for (dpi, face, kind), g in groups.items():
        print(f"| {dpi} | {face} | {kind} | {len(g['n'])} | {sum(g['same'])} | {sum(g['same_ink'])} | {sum(g['lenient'])} "
              f"| {sum(g['strict'])} | {spread(g['need'])} | {spread(g['room'])} "
              f"| {spread(g['w'])}, {spread(g['h'])} |")
    print("\n## Totals\n")
    for dpi in sorted({k[0] for k in totals}):
        print(f"- {dpi} dpi: {totals[(dpi, 'same')]} of {totals[(dpi, 'n')]} controls get the drawn verdict "
              f"({totals[(dpi, 'same_ink')]} by the ink) "
              f"({totals[(dpi, 'other faces')]} more drawn in another face, left out)")
    if listing:
        print("\n## Disagreements (first %d)\n" % listing)
        print("| dpi | dialog | control | kind | room ours/wine | need ours/wine | lines ours/room | "
              "lines wine/room | | text |")
        print("| --- | --- | --- | --- | --- | --- | --- | --- | --- | --- |")
        for d in disagreements[:listing]:
            print(f"| {d[0]} | {d[1]} | {d[2]} | {d[3]} | {d[4]}/{d[5]} | {d[6]}/{d[7]} | {d[8]}/{d[9]} "
                  f"| {d[10]}/{d[11]} | {d[12]} | {d[13]} |")


if __name__ == "__main__":
    main()
