#!/usr/bin/env python3
"""Writes tests/data/boxTexts.tsv: every text of Vantorel's boxes, menus and
panel, with the keys or cases that show it, in English and Russian (UTF-8),
from src/ui/messages.h, the language files and the sources that use each
text. Run it after changing a text; the unit test BoxTexts holds the
language files to the table, so a changed text shows in a review."""
import os, re, sys

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
# Where a text is used says which key or case shows it.
ROOMS = [
    ("commands/uninstall", "F8, Del: uninstall"), ("commands/unload", "Shift+Del, Shift+F8: unload"),
    ("commands/reload", "Shift+F6: let FAR load again"), ("commands/pluginSwitch", "Alt+F5: switch off/on"),
    ("commands/goBack", "F3: Go back, Drop it"), ("commands/pluginInfoBox", "F3: plugin info"),
    ("commands/pluginConfigure", "F4: configuration"), ("commands/pluginHelp", "Shift+F1: help"),
    ("commands/hostPluginCache", "Shift+F7: clear FAR's cache"), ("commands/refusedKeys", "keys refused in the list"),
    ("commands/changeRepair", "open: repair of an interrupted change"), ("commands/faultSearch", "Shift+F3: search"),
    ("commands/commandBoxes", "closing box of a selection"), ("install/", "F5, F6 onto the list: install"),
    ("browse/", "browsing a plugin's folder"), ("settings/", "configuration dialog"),
    ("catalogue/", "list: scan"), ("ui/panelLook", "list: panel, key bar"), ("ui/", "boxes"),
    ("farRecords/", "unload, let back, update in place"), ("entry/", "list"), ("foreign/", "scan: probing"),
    ("describe/", "list: description, version"), ("dll/", "F3: plugin info"),
]

def messages(path, encoding):
    lines = open(path, "rb").read().decode(encoding).split("\n")
    return [l.strip()[1:-1] for l in lines if l.strip().startswith('"')]

def main():
    names = re.findall(r"^\s+(M\w+) = (\d+),", open(os.path.join(root, "src/ui/messages.h")).read(), re.M)
    eng = messages(os.path.join(root, "src/lng/VantorelEng.lng"), "cp1252")
    rus = messages(os.path.join(root, "src/lng/VantorelRus.lng"), "cp866")
    sources = {}
    for folder, _, files in os.walk(os.path.join(root, "src")):
        for f in files:
            if f.endswith(".cpp"):
                p = os.path.join(folder, f)
                sources[os.path.relpath(p, os.path.join(root, "src")).replace(os.sep, "/")] = open(p).read()
    rows = ["id\tname\tshown by\tEnglish\tRussian"]
    for name, number in names:
        used = sorted({key for path, text in sources.items() if re.search(r"\b%s\b" % name, text)
                       for prefix, key in ROOMS if path.startswith(prefix)} or {"not shown"})
        i = int(number)
        rows.append("\t".join([number, name, "; ".join(used), eng[i], rus[i]]))
    out = os.path.join(root, "tests/data/boxTexts.tsv")
    open(out, "w", encoding="utf-8").write("\n".join(rows) + "\n")
    print(out, len(rows) - 1, "texts")

main()
