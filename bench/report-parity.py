#!/usr/bin/env python3
"""The Last activity report on both routes, option set by option set.

Builds a demo attendance database, serves it with the SQL Server stand-in, and for each of many
report option sets exports the report with the built program (--settings FILE --export-report)
three ways: on the SQLite file directly, through FreeTDS against the stand-in, and through
FreeTDS with the session language british (which reads day before month). It compares the text
of the PDFs (pdftotext -layout; the header and footer stamp and the moment, which name the time
of the run, left out) and the exit codes, and prints one line per set that differs and a summary.

    bench/report-parity.py [--build build] [--employees 300] [--sets 80] [--keep DIR]

Takes a few minutes (three program runs per set); not part of the test command.
"""
import argparse
import configparser
import itertools
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time

STAMP = re.compile(r"\d{4}-\d\d-\d\d \d\d:\d\d:\d\d / ")  # header and footer: the run's time
MOMENT = re.compile(r"\d{4}-\d\d-\d\d \d\d:\d\d(?!:\d)")  # the report's moment (now); rows have seconds


def option_sets(count):
    """Report options as Reports > Last activity stores them, spread over every choice."""
    choices = itertools.product(
        [0, 1],  # ActOrGroup: by activity, by group
        [None, 0, 2, 5],  # the activity or group chosen (position), None for all
        [0, 1],  # inverted
        [(), (0,), (1, 3), (7,), (15,)],  # ticked departments (positions), () for all
        [0, 1, 2],  # Sort: date and time, department, last name
        [0, 1],  # Unvisible
        [0, 1],  # Calendar (day type)
    )
    sets = []
    for by_group, chosen, invert, departments, sort, invisible, calendar in choices:
        if chosen is None and invert:
            continue  # inverting "all" is the same set
        sets.append(
            {
                "ActOrGroup": by_group,
                "LastActAll": int(chosen is not None and not by_group),
                "SelAct": chosen if chosen is not None and not by_group else -1,
                "GroupAll": int(chosen is not None and by_group),
                "SelGroup": chosen if chosen is not None and by_group else -1,
                "InvertAct": invert if not by_group else 0,
                "InvertGroup": invert if by_group else 0,
                "DepAll": int(bool(departments)),
                "SelDep": len(departments),
                **{f"SelDep{i}": d for i, d in enumerate(departments)},
                "Sort": sort,
                "Unvisible": invisible,
                "Calendar": calendar,
            }
        )
    # An even spread over the whole grid, the same sets every time.
    step = max(1, len(sets) // count)
    return sets[::step][:count]


def write_settings(path, options):
    config = configparser.ConfigParser()
    config.optionxform = str
    config["Report"] = {k: str(v) for k, v in options.items()}
    with open(path, "w", encoding="utf-8") as f:
        config.write(f)


def text_of(pdf):
    out = subprocess.run(["pdftotext", "-layout", pdf, "-"], capture_output=True, text=True, check=True).stdout
    lines = []
    for line in out.splitlines():
        if STAMP.search(line):
            continue
        lines.append(MOMENT.sub("<moment>", line).rstrip())
    return "\n".join(lines)


def export(program, settings, connection, pdf, env):
    if os.path.exists(pdf):
        os.remove(pdf)
    run = subprocess.run(
        [program, "--settings", settings, "--connection", connection, "--export-report", pdf],
        capture_output=True,
        text=True,
        env=env,
        timeout=600,
    )
    text = text_of(pdf) if run.returncode == 0 and os.path.exists(pdf) else None
    return run.returncode, text, run.stderr.strip()


def main():
    ap = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--build", default="build")
    ap.add_argument("--employees", type=int, default=300)
    ap.add_argument("--sets", type=int, default=80)
    ap.add_argument("--keep", help="keep the database, settings and PDFs in this folder")
    args = ap.parse_args()

    build = os.path.abspath(args.build)
    program = os.path.join(build, "src", "zorvik")
    standin = os.path.join(build, "tools", "standin", "tds_standin")
    for f in (program, standin):
        if not os.access(f, os.X_OK):
            sys.exit(f"{f} is missing: build the targets zorvik and tds_standin first")
    work = args.keep or tempfile.mkdtemp(prefix="zv-parity-")
    os.makedirs(work, exist_ok=True)
    database = os.path.join(work, "att.sqlite")
    if os.path.exists(database):
        os.remove(database)

    env = dict(os.environ, QT_QPA_PLATFORM="offscreen", HOME=work, XDG_CONFIG_HOME=os.path.join(work, "config"),
               XDG_DATA_HOME=os.path.join(work, "data"), XDG_RUNTIME_DIR=work)
    log = open(os.path.join(work, "standin.log"), "w")
    server = subprocess.Popen([standin, "--demo-employees", str(args.employees), "--history-days", "14",
                               "--database", database, "--password", "secret"], stdout=log, stderr=subprocess.STDOUT)
    try:
        port = None
        for _ in range(600):
            with open(log.name) as f:
                first = f.readline()
            if first.startswith("listening on port "):
                port = int(first.split()[-1])
                break
            if server.poll() is not None:
                sys.exit("tds_standin ended: see " + log.name)
            time.sleep(0.1)
        if port is None:
            sys.exit("tds_standin did not start")
        tds = (f"Driver={{FreeTDS}};Server=127.0.0.1;Port={port};TDS_Version=7.4;ClientCharset=UTF-8;"
               "Database=att;UID=zorvik;PWD=secret")
        routes = [("sqlite", f"Provider=SQLite;Data Source={database}"), ("freetds", tds),
                  ("freetds-british", tds + ";Language=british")]

        sets = option_sets(args.sets)
        agree = nobody = 0
        differ = []
        started = time.monotonic()
        for n, options in enumerate(sets, 1):
            settings = os.path.join(work, f"set{n:03}.ini")
            write_settings(settings, options)
            results = {}
            for name, connection in routes:
                pdf = os.path.join(work, f"set{n:03}-{name}.pdf")
                results[name] = export(program, settings, connection, pdf, env)
            base = results["sqlite"]
            mismatched = [name for name, r in results.items() if (r[0], r[1]) != (base[0], base[1])]
            if mismatched:
                differ.append(n)
                detail = "; ".join(f"{name}: exit {results[name][0]} {results[name][2][:200]}" for name in results)
                print(f"set {n:3}: DIFFERS ({', '.join(mismatched)}) {options}\n         {detail}", flush=True)
            else:
                agree += 1
                nobody += base[1] is None
        seconds = time.monotonic() - started
        print(f"{len(sets)} option sets, {args.employees} employees, 14 days of clockings, {seconds:.0f} s: "
              f"{agree} agree on all three routes ({nobody} of them without a report on every route, "
              f"same exit code), {len(differ)} differ{': ' + str(differ) if differ else ''}")
        return 1 if differ else 0
    finally:
        server.terminate()
        server.wait()
        log.close()
        if not args.keep:
            shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
