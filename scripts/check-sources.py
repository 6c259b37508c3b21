#!/usr/bin/env python3
"""Checks of the sources' structure that the compiler does not make.

- layers: a folder never includes one above it on the data path (the data layer knows nothing
  of what shows its data), and the libraries without widgets (core, demo, share) never include a
  widget header or a header of the user-interface library;
- lists: every source file of a folder is listed in that folder's CMakeLists.txt;
- connect: every connection to a lambda or function names a context object (what
  QT_NO_CONTEXTLESS_CONNECT enforces from Qt 6.7 on; Debian 12 has Qt 6.4).

Prints each violation as FILE:LINE: message and ends with exit code 1 when there is one.
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
SRC = ROOT / "src"

# Folders each folder must not include from: everything above it on the data path.
FORBIDDEN = {
    "markup": {"db", "live", "demo", "panel", "config", "reports", "rollcall", "views", "dialogs"},
    "db": {"live", "demo", "panel", "config", "reports", "rollcall", "views", "dialogs"},
    "live": {"demo", "reports", "rollcall", "views", "dialogs"},
    "demo": {"live", "reports", "rollcall", "views", "dialogs"},
}
# Libraries that must build without Qt Widgets.
NO_WIDGET_LIBRARIES = {"zorvik_core", "zorvik_demo", "zorvik_share"}
# Qt modules whose headers are widgets; the class names come from the installed headers, and
# this list stands in where they are not installed.
WIDGET_MODULES = ("QtWidgets", "QtPrintSupport", "QtMultimediaWidgets", "QtSvgWidgets")
WIDGET_CLASSES_FALLBACK = {
    "QAbstractButton", "QAbstractItemView", "QAbstractScrollArea", "QApplication", "QBoxLayout",
    "QCheckBox", "QComboBox", "QDialog", "QDialogButtonBox", "QDockWidget", "QFileDialog",
    "QFormLayout", "QFrame", "QGraphicsView", "QGridLayout", "QGroupBox", "QHBoxLayout",
    "QHeaderView", "QLabel", "QLayout", "QLineEdit", "QListView", "QListWidget", "QMainWindow",
    "QMdiArea", "QMdiSubWindow", "QMenu", "QMenuBar", "QMessageBox", "QPlainTextEdit",
    "QPrintDialog", "QPrintPreviewDialog", "QPrintPreviewWidget", "QPrinter", "QProgressBar",
    "QPushButton", "QRadioButton", "QScrollArea", "QSpinBox", "QSplitter", "QStackedWidget",
    "QStatusBar", "QStyle", "QStyledItemDelegate", "QSystemTrayIcon", "QTabWidget", "QTableView",
    "QTableWidget", "QTextBrowser", "QTextEdit", "QToolBar", "QToolButton", "QTreeView",
    "QTreeWidget", "QVBoxLayout", "QWidget",
}

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)
TARGET_SOURCES = re.compile(r"target_sources\(\s*(\w+)\s+(?:PRIVATE|PUBLIC|INTERFACE)\s+([^)]*)\)", re.S)


def widget_classes():
    found = set()
    for base in ("/usr/include/x86_64-linux-gnu/qt6", "/usr/include/aarch64-linux-gnu/qt6", "/usr/include/qt6"):
        for module in WIDGET_MODULES:
            folder = pathlib.Path(base) / module
            if folder.is_dir():
                found |= {p.name for p in folder.iterdir() if re.fullmatch(r"Q[A-Z]\w+", p.name)}
    return found or WIDGET_CLASSES_FALLBACK


def line_of(text, pos):
    return text.count("\n", 0, pos) + 1


def library_of_sources():
    """Maps each listed source (relative to src/) to its library, from the folders' lists."""
    owner = {}
    for cmake in sorted(SRC.glob("*/CMakeLists.txt")):
        folder = cmake.parent.name
        for target, names in TARGET_SOURCES.findall(cmake.read_text()):
            for name in names.split():
                owner[f"{folder}/{name}"] = target
    return owner


def check_lists(owner, errors):
    main_list = (SRC / "CMakeLists.txt").read_text()
    for path in sorted(SRC.glob("*/*")):
        if path.suffix not in (".cpp", ".h"):
            continue
        rel = path.relative_to(SRC).as_posix()
        if rel not in owner and rel not in main_list:
            errors.append(f"src/{rel}:1: not listed in src/{path.parent.name}/CMakeLists.txt")


def check_layers(owner, errors):
    widgets = widget_classes()
    ui_headers = {rel for rel, target in owner.items() if target == "zorvik_ui" and rel.endswith(".h")}
    for rel, target in sorted(owner.items()):
        path = SRC / rel
        if not path.is_file():
            errors.append(f"src/{rel}:1: listed in CMakeLists.txt but missing")
            continue
        text = path.read_text()
        folder = rel.split("/")[0]
        for m in INCLUDE.finditer(text):
            kind, name = m.groups()
            where = f"src/{rel}:{line_of(text, m.start())}"
            top = name.split("/")[0]
            if kind == '"' and "/" in name and top in FORBIDDEN.get(folder, ()):
                errors.append(f'{where}: {folder}/ includes "{name}" from {top}/, above it')
            if target not in NO_WIDGET_LIBRARIES:
                continue
            module_header = name.split("/")
            if kind == "<" and (name in widgets or (len(module_header) == 2 and module_header[0] in WIDGET_MODULES)):
                errors.append(f"{where}: {target} includes the widget header <{name}>")
            if kind == '"' and name in ui_headers:
                errors.append(f'{where}: {target} includes "{name}" of the user-interface library')


def digit_separator(text, i):
    """Whether the ' at text[i] separates digits (1'000) rather than opening u'x' or 'x'."""
    start = i
    while start > 0 and (text[start - 1].isalnum() or text[start - 1] in "_'"):
        start -= 1
    return start < i and text[start].isdigit()


def strip_code(text):
    """Blanks comments and string and character literals, keeping line breaks and offsets."""
    out = list(text)
    i, n = 0, len(text)
    while i < n:
        two = text[i : i + 2]
        if two == "//":
            end = text.find("\n", i)
            end = n if end < 0 else end
        elif two == "/*":
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
        elif text[i] in "\"'" and not (text[i] == "'" and digit_separator(text, i)):
            quote, end = text[i], i + 1
            while end < n and text[end] != quote:
                end += 2 if text[end] == "\\" else 1
            end += 1
            i += 1  # the quotes stay, so an empty literal remains an argument
            end -= 1
        else:
            i += 1
            continue
        for k in range(i, min(end, n)):
            if out[k] != "\n":
                out[k] = " "
        i = end + 1
    return "".join(out)


CONNECT = re.compile(r"(?<![\w.>])(?:QObject::)?connect\s*\(")
TEMPLATE_OPEN = re.compile(r"(?:qOverload|QOverload|_cast)\s*<$")


def arguments(code, start):
    """Splits the argument list that opens at code[start] == '(' at its top-level commas."""
    stack, args, current = [], [], []
    for i in range(start, len(code)):
        c = code[i]
        if c in "([{" or (c == "<" and TEMPLATE_OPEN.search(code[max(0, i - 12) : i + 1])):
            stack.append(c)
            if len(stack) == 1:
                continue
        elif c in ")]}" or (c == ">" and stack and stack[-1] == "<"):
            stack.pop()
            if not stack:
                args.append("".join(current).strip())
                return args
        elif c == "," and len(stack) == 1:
            args.append("".join(current).strip())
            current = []
            continue
        current.append(c)
    return args


def check_connects(errors):
    for path in sorted(p for d in ("src", "tests", "bench", "fuzz", "tools") for p in (ROOT / d).rglob("*.[ch]*")):
        if path.suffix not in (".cpp", ".h"):
            continue
        code = strip_code(path.read_text())
        for m in CONNECT.finditer(code):
            args = arguments(code, m.end() - 1)
            # connect(sender, &Signal, functor): no receiver or context object.
            if len(args) == 3 and args[1].startswith(("&", "qOverload", "QOverload")) and "SLOT" not in args[2]:
                rel = path.relative_to(ROOT).as_posix()
                errors.append(f"{rel}:{line_of(code, m.start())}: connect without a context object")


def main():
    errors = []
    owner = library_of_sources()
    check_lists(owner, errors)
    check_layers(owner, errors)
    check_connects(errors)
    for e in errors:
        print(e)
    if errors:
        print(f"{len(errors)} violation(s) of the source layout")
        return 1
    print("source layout: folders, lists and connections are in order")
    return 0


if __name__ == "__main__":
    sys.exit(main())
