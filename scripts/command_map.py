#!/usr/bin/env python3
"""Writes docs/commands.md: every menu item, popup item, button and control event of
the program's windows, with its caption, where it sits, its handler and the file that
defines the handler. It is read from the forms (*.ui) and from the connect() calls and
event filters of the windows' sources, so it cannot drift from the code.

    scripts/command_map.py           rewrite docs/commands.md
    scripts/command_map.py --check   exit 1 when docs/commands.md is not up to date
"""
import pathlib
import re
import sys
import xml.etree.ElementTree as ET

ROOT = pathlib.Path(__file__).resolve().parent.parent
OUTPUT = ROOT / "docs" / "commands.md"
SUBSYSTEMS = ["app", "naming", "tags", "editing", "tageditor", "files", "platform"]
CAPTIONED = {"QPushButton", "QCheckBox", "QRadioButton", "QToolButton"}


def sources():
    for folder in SUBSYSTEMS:
        yield from sorted((ROOT / folder).rglob("*.cpp"))


def text_of(element, prop):
    node = element.find(f"property[@name='{prop}']/string")
    return node.text or "" if node is not None else ""


class Form:
    def __init__(self, path):
        self.path = path
        tree = ET.parse(path)
        self.cls = tree.getroot().findtext("class")
        top = tree.getroot().find("widget")
        self.caption = text_of(top, "windowTitle")
        self.controls = {}  # name -> (kind, caption, place)
        self.order = []
        actions = {a.get("name"): text_of(a, "text") for a in top.iter("action")}
        self._walk(top, [], actions)
        for name, caption in actions.items():
            if name not in self.controls:
                self._add(name, "菜单项", caption, "")

    def _add(self, name, kind, caption, place):
        if name not in self.controls:
            self.order.append(name)
        self.controls[name] = (kind, caption, place)

    def _walk(self, widget, menus, actions):
        for child in widget:
            if child.tag == "widget":
                cls, name = child.get("class"), child.get("name")
                if cls == "QMenu":
                    title = text_of(child, "title")
                    self._walk(child, menus + [title], actions)
                    continue
                if cls.split("::")[-1] in CAPTIONED or "RadioGroup" in cls:
                    self._add(name, cls.split("::")[-1], text_of(child, "text") or text_of(child, "title"), "")
                elif cls in ("QLineEdit", "QComboBox", "QPlainTextEdit", "QLabel") or cls.startswith("quilvane::"):
                    self._add(name, cls.split("::")[-1], text_of(child, "text") or text_of(child, "title"), "")
                self._walk(child, menus, actions)
            elif child.tag == "addaction" and menus:
                name = child.get("name")
                if name in actions:
                    self._add(name, "菜单项", actions[name], " › ".join(menus))
            else:
                self._walk(child, menus, actions)


CONNECT = re.compile(r"connect\(\s*ui\.(\w+)\s*,\s*&[\w:]+::(\w+)\s*,\s*this\s*,\s*&(\w+)::(\w+)\s*\)")
CONNECT_LAMBDA = re.compile(r"connect\(\s*ui\.(\w+)\s*,\s*&[\w:]+::(\w+)\s*,\s*this\s*,\s*\[[^\]]*\](.*?)\}\s*\);", re.S)
CALLED = re.compile(r"\b([A-Z]\w+)\(\)")
PAIR = re.compile(r"\{\s*ui\.(\w+)\s*,\s*&(\w+)::(\w+)\s*\}")
FILTERED = re.compile(r"watched == ui\.(\w+)\s*&&\s*event->type\(\) == QEvent::(\w+)\)\s*(\{[^}]*\}|[^;]*;)")
VIEWPORT_CASE = re.compile(r"case QEvent::(\w+):\s*(\w+)\(\);")
LOOP = re.compile(r"for \(\w+\* \w+ : \{([^}]*)\}\)\s*connect\(\w+,\s*&[\w:]+::(\w+),\s*this,\s*&(\w+)::(\w+)\)")
POPUP = re.compile(r"PopupMenu1->addActions\(\{([^}]*)\}\)")


def bindings():
    """(class, control) -> list of (event, handler, file where connected)."""
    found = {}
    popup = []
    for path in sources():
        code = path.read_text(encoding="utf-8")
        rel = path.relative_to(ROOT).as_posix()
        cls = None
        if m := re.search(r"\b(T\w+)::\1\(", code) or re.search(r"^\w[\w:<>&\s*]*?\b(T\w+)::\w+\(", code, re.M):
            cls = m.group(1)
        for m in CONNECT.finditer(code):
            # A slot of Qt's own (QDialog::accept) belongs to the window the file builds.
            owner = cls if m.group(3).startswith("Q") and cls else m.group(3)
            found.setdefault((owner, m.group(1)), []).append((m.group(2), m.group(4), rel))
        for m in CONNECT_LAMBDA.finditer(code):
            called = CALLED.search(m.group(3))
            handler = called.group(1) if called else "（就地处理）"
            found.setdefault((cls or "?", m.group(1)), []).append((m.group(2), handler, rel))
        for m in PAIR.finditer(code):
            event = "clicked" if re.match(r"(BitBtn|Button)\d", m.group(1)) else "triggered"
            found.setdefault((m.group(2), m.group(1)), []).append((event, m.group(3), rel))
        for m in LOOP.finditer(code):
            for control in re.findall(r"ui\.(\w+)", m.group(1)):
                found.setdefault((m.group(3), control), []).append((m.group(2), m.group(4), rel))
        for m in FILTERED.finditer(code):
            called = CALLED.search(m.group(3))
            handler = called.group(1) if called else "（就地处理）"
            found.setdefault((cls or "?", m.group(1)), []).append((m.group(2), handler, rel))
        if "watched == ui.Memo1->viewport()" in code:
            block = code.split("watched == ui.Memo1->viewport()", 1)[1].split("default:", 1)[0]
            for m in VIEWPORT_CASE.finditer(block):
                found.setdefault(("TForm1", "Memo1"), []).append((m.group(1), m.group(2), rel))
        if m := POPUP.search(code):
            popup = re.findall(r"ui\.(\w+)", m.group(1))
    return found, popup


def definitions():
    """handler -> file that defines it."""
    defined = {}
    for path in sources():
        for m in re.finditer(r"^\w[\w:<>&\s*]*?\b(T\w+)::(\w+)\(", path.read_text(encoding="utf-8"), re.M):
            defined.setdefault((m.group(1), m.group(2)), path.relative_to(ROOT).as_posix())
    return defined


def render():
    forms = [Form(p) for p in sorted(ROOT.rglob("*.ui")) if "build" not in p.parts]
    found, popup = bindings()
    defined = definitions()
    out = ["# 命令一览 (command map)", "",
           "Generated by `scripts/command_map.py` from the forms (`*.ui`) and the `connect` calls and event",
           "filters of the windows; a test fails when it is out of date. Handlers keep the names of the",
           "forms' controls; this map says what each one is. A control without a handler (—) is a",
           "setting that the commands read when they run.", ""]
    for form in forms:
        rel = form.path.relative_to(ROOT).as_posix()
        out += [f"## {form.cls} “{form.caption}” (`{rel}`)", "",
                "| control | kind | caption | place | event | handler | defined in |",
                "|---|---|---|---|---|---|---|"]
        for name in form.order:
            kind, caption, place = form.controls[name]
            if form.cls == "TForm1" and name in popup:
                place = (place + "；" if place else "") + "列表区右键菜单"
            events = found.get((form.cls, name), [])
            if not events and kind not in ("菜单项", "QPushButton", "QCheckBox", "QRadioButton"):
                continue
            if not events:
                events = [("", "—", "")]
            for event, handler, _where in events:
                where = defined.get((form.cls, handler.split("(")[0]), "")
                if handler[0].islower():
                    where = "Qt"
                cells = [f"`{name}`", kind, caption.replace("|", "\\|"), place, event, f"`{handler}`" if handler != "—" else "—",
                         f"`{where}`" if where else ""]
                out.append("| " + " | ".join(cells) + " |")
        out.append("")
    return "\n".join(out)


def main():
    text = render()
    if "--check" in sys.argv:
        current = OUTPUT.read_text(encoding="utf-8") if OUTPUT.exists() else ""
        if current != text:
            print("docs/commands.md is out of date: run scripts/command_map.py", file=sys.stderr)
            return 1
        return 0
    OUTPUT.parent.mkdir(exist_ok=True)
    OUTPUT.write_text(text, encoding="utf-8")
    return 0


if __name__ == "__main__":
    sys.exit(main())
