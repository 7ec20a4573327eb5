#!/usr/bin/env python3
"""Writes the calibration dialogs as a resource script: one dialog per font
and kind of control, each text in controls of widths stepping across the
width it needs (estimated), so that at 96, 120 and 144 dpi some copies fit
and some are just too narrow.

    gen_dialogs.py OUT.rc
"""
import sys

# (template kind, style words, face, point size): the usual dialog fonts.
FONTS = [
    ("DIALOG", "DS_SETFONT", "MS Shell Dlg", 8),
    ("DIALOGEX", "DS_SHELLFONT", "MS Shell Dlg", 8),
    ("DIALOGEX", "DS_SETFONT", "MS Shell Dlg 2", 8),
    ("DIALOG", "DS_SETFONT", "MS Sans Serif", 8),
    ("DIALOG", "DS_SETFONT", "MS Sans Serif", 9),
    ("DIALOGEX", "DS_SETFONT", "Tahoma", 8),
    ("DIALOGEX", "DS_SETFONT", "Segoe UI", 9),
]

# (name, statement or class and style, height in dialog units, extra width
# the control takes beside the text, in dialog units).
KINDS = [
    ("push", "PUSHBUTTON", 14, 4),
    ("default", "DEFPUSHBUTTON", 14, 4),
    ("multipush", 'CONTROL "Button", BS_PUSHBUTTON | BS_MULTILINE', 22, 4),
    ("check", "AUTOCHECKBOX", 10, 11),
    ("radio", "AUTORADIOBUTTON", 10, 11),
    ("group", "GROUPBOX", 20, 8),
    ("ltext", "LTEXT", 8, 0),
    ("ctext", "CTEXT", 8, 0),
    ("rtext", "RTEXT", 8, 0),
    ("nowrap", 'CONTROL "Static", SS_LEFTNOWORDWRAP', 8, 0),
    ("noprefix", 'CONTROL "Static", SS_LEFT | SS_NOPREFIX', 8, 0),
    ("wrap", "LTEXT", 16, 0),
]

TEXTS = [
    "&Delete all",
    "Kostenlos!",
    "Einstellungen &speichern",
    "\u00dcberpr\u00fcfen Sie die Verbindung",
    "Mmm WWW wide",
    "iiill fill",
    "R&&D costs",
]

WRAP_TEXTS = [
    "Die Datei konnte nicht gespeichert werden.",
    "Save all changes before closing the window?",
    "\u00c4nderungen an allen ge\u00f6ffneten Dateien \u00fcbernehmen",
]


def quoted(text):
    return '"' + text.replace('"', '""') + '"'


def control_line(statement, text, cid, x, y, w, h):
    if statement.startswith("CONTROL"):
        cls_style = statement[len("CONTROL "):]
        cls, style = cls_style.split(", ", 1)
        return f"    CONTROL {quoted(text)}, {cid}, {cls}, {style}, {x}, {y}, {w}, {h}"
    return f"    {statement} {quoted(text)}, {cid}, {x}, {y}, {w}, {h}"


def widths_for(text, extra, per_line=1):
    # About 3.4 dialog units a character in these fonts at 8 points.
    shown = len(text.replace("&&", "&").replace("&", ""))
    estimate = shown * 3.4 / per_line + extra
    low, high = int(estimate * 0.7), int(estimate * 1.3) + 1
    step = max(1, (high - low) // 14)
    return list(range(low, high + 1, step))


def main():
    out = []
    out.append("#pragma code_page(65001)")
    out.append("#include <windows.h>")
    out.append("LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US")
    dialog_id = 100
    for template, style, face, points in FONTS:
        for kind, statement, height, extra in KINDS:
            dialog_id += 1
            assert dialog_id - 100 < 200
            wraps = kind in ("wrap", "multipush")
            texts = WRAP_TEXTS if wraps else TEXTS
            rows = []
            cid = (dialog_id - 100) * 300  # DIALOG templates hold 16-bit ids
            y = 4
            for text in texts:
                x = 4
                for w in widths_for(text, extra, 2 if wraps else 1):
                    cid += 1
                    if x + w > 900:
                        x = 4
                        y += height + 2
                    rows.append(control_line(statement, text, cid, x, y, w, height))
                    x += w + 2
                y += height + 2
            out.append("")
            out.append(f"{dialog_id} {template} 0, 0, 910, {y + 4}")
            out.append(f"STYLE {style} | WS_POPUP | WS_CAPTION")
            out.append(f'CAPTION "{face} {points} {kind}"')
            if template == "DIALOGEX":
                out.append(f'FONT {points}, "{face}", 400, 0, 1')
            else:
                out.append(f'FONT {points}, "{face}"')
            out.append("BEGIN")
            out.extend(rows)
            out.append("END")
    with open(sys.argv[1], "w", encoding="utf-8") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
