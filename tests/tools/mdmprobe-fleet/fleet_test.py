#!/usr/bin/env python3
"""mdmprobe-fleet on the reports of the end-to-end runs and on broken files:
the text summary's counts, the CSV rows and the HTML page's tables (parsed
back), and the page drawn by headless Chromium.

usage: fleet_test.py MDMPROBE-FLEET REPORTS-FOLDER WORK-FOLDER CHROMIUM

REPORTS-FOLDER holds AllPass, NotInstalled, RamFault, CrcFault, CallFault
(busy), DiagFault, no-modem and cancelled .json as the runs wrote them.
WORK-FOLDER is emptied; the page and its screenshot (fleet.png) stay there.
"""
import csv
import html.parser
import json
import os
import shutil
import struct
import subprocess
import sys
import zlib

RUNS = ["AllPass", "NotInstalled", "RamFault", "CrcFault", "CallFault", "DiagFault", "no-modem", "cancelled"]
SHOT_WIDTH, SHOT_HEIGHT = 1280, 2000
failures = []


def expect(condition, what):
    if not condition:
        failures.append(what)


def prepare(reports, work):
    """The runs' reports, each as a machine of its own (DESK-<run>), an older
    report of DESK-RamFault (history), and four broken files."""
    folder = os.path.join(work, "reports")
    os.makedirs(folder)
    passed = None
    for run in RUNS:
        with open(os.path.join(reports, run + ".json"), encoding="ascii") as f:
            document = json.load(f)
        document["computer"] = "DESK-" + run
        with open(os.path.join(folder, run + ".json"), "w", encoding="ascii") as f:
            json.dump(document, f, indent=2)
        passed = dict(document) if run == "AllPass" else passed
    passed["computer"] = "DESK-RamFault"
    passed["ended"] = "2001-01-01T00:00:00+01:00"
    with open(os.path.join(folder, "old.json"), "w") as f:
        json.dump(passed, f)
    text = json.dumps(passed, indent=2)
    broken = {"not-json.json": "this is no report\n", "other-schema.json": text.replace('"schema": 2', '"schema": 7'),
              "cut.json": text[: len(text) // 2], "empty.json": ""}
    os.makedirs(os.path.join(folder, "broken"))
    for name, content in broken.items():
        with open(os.path.join(folder, "broken", name), "w") as f:
            f.write(content)
    with open(os.path.join(folder, "notes.txt"), "w") as f:
        f.write("not a report: only *.json files are read\n")
    return folder


# What every output must show: per status its runs; the VX-56i's tests as
# passed/failed over its six current runs (CallFault's readout did not run);
# the calls' speeds; the machines whose last run failed.
STATUS = {"-5": "1", "-2": "1", "0": "1", "1": "1", "2": "1", "4": "1", "8": "1", "16": "1"}
VX_TESTS = ["VX-56i", "3.02", "6", "5/1", "5/1", "5/1", "5/1", "4/1"]
UNKNOWN_TESTS = ["(unknown)", "(unknown)", "2", "0/0", "0/0", "0/0", "0/0", "0/0"]
SPEEDS = ["VX-56i", "5", "33600", "33600", "33600"]
FAILING = {"DESK-NotInstalled": "tapi", "DESK-RamFault": "ram", "DESK-CrcFault": "crc",
           "DESK-CallFault": "dial", "DESK-DiagFault": "diag", "DESK-no-modem": "no modem found",
           "DESK-cancelled": "cancelled by the user"}


def check_text(text):
    lines = text.splitlines()
    expect("Reports: 13 files, 9 read, 4 refused" in lines, "text: report counts\n" + text)
    for name, why in (("not-json", "not JSON"), ("other-schema", "wrong schema"), ("cut", "cut short"),
                      ("empty", "empty file")):
        expect(any(l.startswith("  refused: ") and l.endswith(f"/{name}.json: {why}") for l in lines),
               f"text: {name}.json not refused as {why}")
    expect("Machines: 8 (each by its newest report; 1 older reports as history)" in lines, "text: machines")
    rows = [l.split() for l in lines]
    for code, runs in STATUS.items():
        expect(any(r[:2] == [code, runs] for r in rows), f"text: status {code} with {runs} runs")
    expect(VX_TESTS in rows, "text: the VX-56i's tests")
    expect(UNKNOWN_TESTS in rows, "text: the runs without a modem")
    expect(SPEEDS in rows, "text: the speeds")
    for computer in FAILING:
        expect(any(r[:1] == [computer] for r in rows), f"text: {computer} not among the failing")
    expect(not any(r[:1] == ["DESK-AllPass"] for r in rows), "text: DESK-AllPass listed though it passed")
    expect(any(r[:3] == ["DESK-RamFault", "2001-01-01T00:00:00+01:00", "0"] for r in rows), "text: history")


def check_csv(path):
    with open(path, newline="") as f:
        rows = list(csv.reader(f))
    expect(rows[0] == ["computer", "ended", "port", "model", "firmware", "status", "tapi", "ram", "crc", "dial",
                       "diag", "call", "speed"], f"csv: header {rows[0]}")
    expect(len(rows) == 10, f"csv: {len(rows) - 1} rows, expected 9")
    by_computer = {(r[0], r[5]): r for r in rows[1:]}
    busy = by_computer.get(("DESK-CallFault", "8"), [])
    expect(busy[2:] == ["COM3", "VX-56i", "3.02", "8", "passed", "passed", "passed", "failed", "not run", "BUSY", ""],
           f"csv: busy run {busy}")
    passed = by_computer.get(("DESK-AllPass", "0"), [])
    expect(passed[-2:] == ["CONNECT", "33600"], f"csv: passing run {passed}")
    none = by_computer.get(("DESK-no-modem", "-2"), [])
    expect(none[2:6] == ["COM2", "", "", "-2"] and none[6:11] == ["not run"] * 5, f"csv: no-modem run {none}")


class Tables(html.parser.HTMLParser):
    """The page's tables by id, as rows of cell texts."""

    def __init__(self):
        super().__init__()
        self.tables, self.current, self.row, self.cell = {}, None, None, None
        self.tags = []

    def handle_starttag(self, tag, attrs):
        self.tags.append((tag, dict(attrs)))
        if tag == "table":
            self.current = self.tables.setdefault(dict(attrs).get("id"), [])
        elif tag == "tr" and self.current is not None:
            self.row = []
            self.current.append(self.row)
        elif tag in ("td", "th") and self.row is not None:
            self.cell = ""

    def handle_endtag(self, tag):
        if tag in ("td", "th") and self.cell is not None:
            self.row.append(self.cell)
            self.cell = None
        elif tag == "table":
            self.current = None

    def handle_data(self, data):
        if self.cell is not None:
            self.cell += data


def check_html(path):
    with open(path, encoding="utf-8") as f:
        page = f.read()
    parser = Tables()
    parser.feed(page)
    t = parser.tables
    expect(t.get("reports", [[], []])[1] == ["13", "9", "4", "8", "1"], f"html: reports {t.get('reports')}")
    expect({r[0]: r[1] for r in t.get("status", [])[1:]} == STATUS, f"html: status {t.get('status')}")
    expect(VX_TESTS in t.get("models", []) and UNKNOWN_TESTS in t.get("models", []), f"html: models {t.get('models')}")
    expect(t.get("speeds", [])[1:] == [SPEEDS], f"html: speeds {t.get('speeds')}")
    failing = {r[0]: r[4] for r in t.get("failing", [])[1:]}
    expect(failing == FAILING, f"html: failing {failing}")
    expect(len(t.get("history", [])) == 2, f"html: history {t.get('history')}")
    expect(len(t.get("refused", [])) == 5, f"html: refused {t.get('refused')}")
    svgs = [tag for tag, _ in parser.tags if tag == "svg"]
    expect(len(svgs) == 2, f"html: {len(svgs)} charts")
    bars = [a for tag, a in parser.tags if tag == "rect" and float(a.get("height", "0")) > 0]
    expect(len(bars) >= 6, "html: the charts have no bars")
    # Self-contained: nothing to run, nothing fetched.
    expect(not any(tag in ("script", "link", "img", "iframe", "object") for tag, _ in parser.tags),
           "html: a script or an outside resource")
    expect(not any("src" in a or "href" in a for _, a in parser.tags), "html: an attribute that fetches")


def png_facts(path):
    """Width, height and the number of distinct byte values of its pixels."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        return None
    width, height = struct.unpack(">II", data[16:24])
    idat, at = b"", 8
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at : at + 8])
        if kind == b"IDAT":
            idat += data[at + 8 : at + 8 + length]
        at += 12 + length
    return width, height, len(set(zlib.decompress(idat)))


def check_screenshot(chromium, page, work):
    shot = os.path.join(work, "fleet.png")
    home = os.path.join(work, "chromium-home")
    os.makedirs(home)
    env = dict(os.environ, HOME=home)
    subprocess.run([chromium, "--headless", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
                    f"--user-data-dir={home}", f"--window-size={SHOT_WIDTH},{SHOT_HEIGHT}",
                    f"--screenshot={shot}", "file://" + os.path.abspath(page)],
                   env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
    shutil.rmtree(home, ignore_errors=True)
    facts = png_facts(shot) if os.path.exists(shot) else None
    expect(facts is not None, "screenshot: no PNG written")
    if facts:
        expect(facts[:2] == (SHOT_WIDTH, SHOT_HEIGHT), f"screenshot: {facts[0]}x{facts[1]}")
        expect(facts[2] > 16, "screenshot: an empty picture")
    print("screenshot:", shot)


def main(argv):
    if len(argv) != 5:
        print(__doc__, file=sys.stderr)
        return 2
    fleet, reports, work, chromium = argv[1:]
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    folder = prepare(reports, work)
    page, table = os.path.join(work, "fleet.html"), os.path.join(work, "fleet.csv")
    result = subprocess.run([fleet, "--csv", table, "--html", page, folder], capture_output=True, text=True)
    print(result.stdout, result.stderr, sep="")
    expect(result.returncode == 0, f"mdmprobe-fleet exit code {result.returncode}")
    check_text(result.stdout)
    check_csv(table)
    check_html(page)
    check_screenshot(chromium, page, work)
    print("\n".join(failures) or "ok")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
