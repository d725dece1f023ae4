#!/usr/bin/env python3
"""Opens the visual report in headless Chromium and checks what it shows.

    report_browser_test.py --program BUILD/occasion-tallies --source REPO --out DIR
    report_browser_test.py --measure REPORT.html [--out DIR]

The first form runs the program with --report on the bundled example survey and on a small
survey whose counts were worked out by hand, opens each report through chromedriver (WebDriver
over localhost, standard library only) and checks: no console message of level error or worse,
no request other than the page itself and its inline data: images, one heat map per species
with one row per location and one value per occasion equal to the expected counts and NAs,
every heat-map cell drawn in the legend's colour for its count, the hover text of a cell, one
chart row per location, and a screenshot saved under DIR. It fails, never skips, when the
browser cannot be started.

The second form opens one report and prints its size and the time to load and draw it.
"""

import argparse
import base64
import json
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import urllib.error
import urllib.request
from pathlib import Path

CHROMIUM_ARGS = [
    "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--disable-dev-shm-usage", "--hide-scrollbars", "--window-size=1280,1900",
]


class Failure(Exception):
    pass


def find_tool(names):
    for name in names:
        found = shutil.which(name) or (name if os.path.isabs(name) and os.access(name, os.X_OK) else None)
        if found:
            return found
    raise Failure("none of %s is installed; install them with: bash tools/install-deps.sh test"
                  % ", ".join(names))


class Browser:
    """One chromedriver process and one Chromium session."""

    def __init__(self, workdir):
        driver = find_tool(["chromedriver", "/usr/bin/chromedriver", "/usr/lib/chromium/chromedriver"])
        chromium = find_tool(["chromium", "/usr/bin/chromium", "chromium-browser"])
        with socket.socket() as probe:
            probe.bind(("127.0.0.1", 0))
            self.port = probe.getsockname()[1]
        self.log = open(os.path.join(workdir, "chromedriver.log"), "w")
        self.driver = subprocess.Popen([driver, "--port=%d" % self.port], stdout=self.log,
                                       stderr=subprocess.STDOUT)
        self.session = None
        self.profile = None
        deadline = time.time() + 20
        while True:
            try:
                if self.request("GET", "/status").get("ready"):
                    break
            except (OSError, Failure):
                pass
            if time.time() > deadline or self.driver.poll() is not None:
                self.close()
                raise Failure("chromedriver did not start (see %s)" % self.log.name)
            time.sleep(0.1)
        self.profile = tempfile.mkdtemp(prefix="report-browser-profile-", dir=workdir)
        options = {"binary": chromium, "args": CHROMIUM_ARGS + ["--user-data-dir=" + self.profile]}
        capabilities = {"browserName": "chrome", "goog:chromeOptions": options,
                        "goog:loggingPrefs": {"browser": "ALL", "performance": "ALL"}}
        try:
            reply = self.request("POST", "/session", {"capabilities": {"alwaysMatch": capabilities}})
        except Failure as failure:
            self.close()
            raise Failure("Chromium did not start: %s" % failure)
        self.session = "/session/" + reply["sessionId"]

    def request(self, method, path, body=None, timeout=120):
        data = None if body is None else json.dumps(body).encode()
        request = urllib.request.Request("http://127.0.0.1:%d%s" % (self.port, path), data=data,
                                         method=method,
                                         headers={"Content-Type": "application/json"})
        try:
            with urllib.request.urlopen(request, timeout=timeout) as response:
                return json.loads(response.read() or b"{}").get("value")
        except urllib.error.HTTPError as error:
            raise Failure("WebDriver %s %s: %s" % (method, path, error.read().decode()[:2000]))

    def command(self, method, path, body=None):
        return self.request(method, self.session + path, body)

    def open(self, url):
        self.command("POST", "/url", {"url": url})

    def run(self, script, *args):
        return self.command("POST", "/execute/sync", {"script": script, "args": list(args)})

    def run_async(self, script, *args):
        return self.command("POST", "/execute/async", {"script": script, "args": list(args)})

    def logs(self, kind):
        return self.command("POST", "/se/log", {"type": kind})

    def screenshot(self, path):
        Path(path).write_bytes(base64.b64decode(self.command("GET", "/screenshot")))

    def close(self):
        if self.session:
            try:
                self.command("DELETE", "")
            except (OSError, Failure):
                pass
        if self.driver.poll() is None:
            self.driver.terminate()
            try:
                self.driver.wait(10)
            except subprocess.TimeoutExpired:
                self.driver.kill()
        self.log.close()
        if self.profile:
            shutil.rmtree(self.profile, ignore_errors=True)


# What the page shows, read in the browser: heat maps, chart rows, legend and the pixels of
# every heat map's cell image (drawn onto a canvas at one pixel per cell).
READ_PAGE = r"""
const done = arguments[arguments.length - 1];
function expand(text) {
  const out = [];
  for (const item of (text ? text.split(' ') : [])) {
    const star = item.indexOf('*');
    if (star < 0) { out.push(item); continue; }
    for (let n = +item.slice(star + 1); n > 0; n--) out.push(item.slice(0, star));
  }
  return out;
}
function pixels(image, columns, rows) {
  return new Promise((resolve, reject) => {
    if (!image) { resolve([]); return; }
    const picture = new Image();
    picture.onload = () => {
      if (picture.naturalWidth !== columns || picture.naturalHeight !== rows) {
        reject(new Error('cell image is ' + picture.naturalWidth + 'x' + picture.naturalHeight));
        return;
      }
      const canvas = document.createElement('canvas');
      canvas.width = columns; canvas.height = rows;
      const context = canvas.getContext('2d');
      context.drawImage(picture, 0, 0);
      const data = context.getImageData(0, 0, columns, rows).data;
      const out = [];
      for (let i = 0; i < data.length; i += 4) {
        out.push('#' + [0, 1, 2].map(c => data[i + c].toString(16).padStart(2, '0')).join(''));
      }
      resolve(out);
    };
    picture.onerror = () => reject(new Error('cell image does not load'));
    picture.src = image.getAttribute('href');
  });
}
(async () => {
  const occasions = document.getElementById('report').dataset.occasions;
  const columns = occasions ? occasions.split(';').length : 0;
  const heatmaps = [];
  for (const figure of document.querySelectorAll('figure.heatmap')) {
    const rows = [...figure.querySelectorAll('.hm-row')].map(row => ({
      location: row.dataset.location, counts: expand(row.dataset.counts),
      total: row.dataset.total, label: row.querySelector('text.site').textContent}));
    heatmaps.push({species: figure.dataset.species, rows: rows,
                   caption: figure.querySelector('figcaption').textContent,
                   pixels: await pixels(figure.querySelector('image.cells'), columns, rows.length)});
  }
  const legend = {};
  for (const item of document.querySelectorAll('ul.shades li')) legend[item.dataset.shade] = item.dataset.colour;
  const resources = performance.getEntriesByType('resource').map(entry => entry.name);
  done({title: document.querySelector('h1').textContent, columns: columns, heatmaps: heatmaps, legend: legend,
        chartRows: [...document.querySelectorAll('.chart-row')].map(row => row.dataset.location),
        chartLabels: [...document.querySelectorAll('.chart-row text.site')].map(t => t.textContent),
        periodBars: document.querySelectorAll('.chart-row rect.period').length,
        warnings: [...document.querySelectorAll('ul.warnings li')].map(li => li.textContent),
        tableRows: [...document.querySelectorAll('table.figures tbody tr')].map(
            tr => [...tr.children].map(cell => cell.textContent)),
        resources: resources});
})().catch(error => done({error: String(error)}));
"""

# Moves the pointer over cell (row, column) of heat map `figure` and returns the hover text.
HOVER = r"""
const [figureIndex, row, column] = arguments;
const figure = document.querySelectorAll('figure.heatmap')[figureIndex];
const cells = figure.querySelector('image.cells');
cells.scrollIntoView({block: 'center'});
const box = cells.getBoundingClientRect();
const columns = document.getElementById('report').dataset.occasions.split(';').length;
const rows = figure.querySelectorAll('.hm-row').length;
const x = box.left + (column + 0.5) * box.width / columns, y = box.top + (row + 0.5) * box.height / rows;
const target = document.elementFromPoint(x, y);
if (target !== cells) return 'pointer lands on ' + (target ? target.outerHTML.slice(0, 80) : 'nothing');
target.dispatchEvent(new MouseEvent('mousemove', {clientX: x, clientY: y, bubbles: true}));
const tip = document.getElementById('tip');
const text = tip.hidden ? '' : tip.textContent;
window.scrollTo(0, 0);
document.dispatchEvent(new MouseEvent('mousemove', {clientX: 0, clientY: 0, bubbles: true}));
return text;
"""


def shade_of(value):
    """The legend entry (data-shade) a count is drawn with: NA, below 0, 0, 1, 2-3, ..., 64+."""
    if value == "NA":
        return 0
    count = int(value)
    if count < 0:
        return 1
    if count == 0:
        return 2
    return 3 + min(count.bit_length() - 1, 6)


def matches(got, want):
    """`want` is a count or "NA", or ("below", N) for any count from 0 to N - 1."""
    if isinstance(want, tuple):
        return got.isdigit() and int(got) < want[1]
    return got == want


def check(condition, message, problems):
    if not condition:
        problems.append(message)


def check_page(browser, report, expected, screenshot, problems):
    """Opens `report` and checks it against `expected` (species -> rows of counts)."""
    url = Path(report).resolve().as_uri()
    browser.open("about:blank")
    browser.logs("browser")
    browser.logs("performance")
    browser.open(url)
    page = browser.run_async(READ_PAGE)
    if "error" in page:
        problems.append("reading the page: " + page["error"])
        return
    for entry in browser.logs("browser"):
        if entry.get("level") in ("SEVERE", "ERROR") or "error" in entry.get("message", "").lower():
            problems.append("console: %s" % entry.get("message"))
    for entry in browser.logs("performance"):
        message = json.loads(entry["message"])["message"]
        if message.get("method") != "Network.requestWillBeSent":
            continue
        requested = message["params"]["request"]["url"]
        # Chromium's own pages (the first tab) fetch chrome:// resources of their own.
        if message["params"].get("documentURL") == url or not requested.startswith("chrome"):
            check(requested == url or requested.startswith("data:"),
                  "the page requested %s" % requested, problems)
    for name in page["resources"]:
        check(name.startswith("data:"), "resource timing lists %s" % name, problems)

    locations = expected["locations"]
    check(page["title"] == expected["title"], "title %r" % page["title"], problems)
    check(page["chartRows"] == locations, "chart rows %r" % page["chartRows"], problems)
    check(page["chartLabels"] == locations, "chart labels %r" % page["chartLabels"], problems)
    check(page["periodBars"] == expected["period_bars"], "%d period bars" % page["periodBars"], problems)
    check(page["warnings"] == expected["warnings"], "warnings %r" % page["warnings"], problems)
    check([row[0] for row in page["tableRows"]] == [s for s, _ in expected["species"]],
          "summary table rows %r" % page["tableRows"], problems)
    check(len(page["heatmaps"]) == len(expected["species"]),
          "%d heat maps for %d species" % (len(page["heatmaps"]), len(expected["species"])), problems)
    for (species, rows), heatmap in zip(expected["species"], page["heatmaps"]):
        where = "heat map of %r" % species
        check(heatmap["species"] == species, "%s is headed %r" % (where, heatmap["species"]), problems)
        check([r["location"] for r in heatmap["rows"]] == locations, "%s rows" % where, problems)
        check([r["label"] for r in heatmap["rows"]] == locations, "%s row labels" % where, problems)
        for location, want, got in zip(locations, rows, heatmap["rows"]):
            check(len(got["counts"]) == page["columns"],
                  "%s, %s: %d values for %d occasions" % (where, location, len(got["counts"]),
                                                          page["columns"]), problems)
            check(len(got["counts"]) == len(want) and all(map(matches, got["counts"], want)),
                  "%s, %s: counts %s, expected %s"
                  % (where, location, got["counts"], want), problems)
            total = sum(int(v) for v in got["counts"] if v != "NA")
            check(got["total"] == str(total), "%s, %s: total %s" % (where, location, got["total"]),
                  problems)
        drawn = heatmap["pixels"]
        wanted = [page["legend"][str(shade_of(v))] for r in heatmap["rows"] for v in r["counts"]]
        check(drawn == wanted, "%s: cells drawn %s, legend colours %s" % (where, drawn, wanted),
              problems)

    hover = expected.get("hover")
    if hover:
        text = browser.run(HOVER, *hover["cell"])
        for part in hover["shows"]:
            check(part in text, "hover text %r lacks %r" % (text, part), problems)
    browser.screenshot(screenshot)


def run_program(program, survey, report_name):
    result = subprocess.run([program, "run", "-p", "30", "-d", str(survey["days"]), "-C",
                             survey["folder"], "--report", report_name],
                            capture_output=True, text=True)
    if result.returncode != 0:
        raise Failure("occasion-tallies ended with status %d: %s" % (result.returncode, result.stderr))
    return os.path.join(survey["folder"], report_name), result.stderr


def record(location, species, when, count):
    y, mo, d, h, mi = when
    return "%-25s %-25s %4d %2d %2d %2d %2d %2d %2d\n" % (location, species, y, mo, d, h, mi, 0, count)


# A two-week survey worked out by hand: 5-day occasions (1-5, 6-10, 11-14 May 2021).
# Oak <gate> operates all 14 days; Fen & "mill" on 1-4 and 10-14 May (effort 4, 1, 4);
# Bob's <b>bank</b> never (NA throughout).
HAND_INPUT = """Hedgerow & "quarry" <north>, May 2021
3
Oak <gate>
1
2021 5 1 2021 5 14
Fen & "mill"
2
2021 5 1 2021 5 4
2021 5 10 2021 5 14
Bob's <b>bank</b>
0
2
Red fox
Badger & <co>
"""
HAND_PICTURES = [
    record("Oak <gate>", "Red fox", (2021, 5, 2, 6, 10), 2),
    record("Oak <gate>", "Red fox", (2021, 5, 2, 6, 20), 3),  # same event: the 2 becomes 3
    record("Oak <gate>", "Red fox", (2021, 5, 8, 22, 0), 1),
    record("Oak <gate>", "Badger & <co>", (2021, 5, 13, 3, 0), 5),
    record("Oak <gate>", "Badger & <co>", (2021, 5, 13, 3, 40), 2),  # 40 minutes on: a new event
    record('Fen & "mill"', "Red fox", (2021, 5, 7, 12, 0), 2),  # camera not operating that day
    record('Fen & "mill"', "Red fox", (2021, 5, 12, 1, 0), 4),
    record("Nowhere", "Red fox", (2021, 5, 3, 1, 0), 1),  # not listed: skipped with a warning
]
HAND_EXPECTED = {
    "title": 'Hedgerow & "quarry" <north>, May 2021',
    "locations": ["Oak <gate>", 'Fen & "mill"', "Bob's <b>bank</b>"],
    "period_bars": 3,
    "warnings": [
        "OccasionTallies: warning: Red fox: 1 picture skipped (1 at locations not listed in "
        "Input.txt, 0 with a month outside 1..12)",
        "OccasionTallies: warning: Red fox: 1 picture on a day its camera was not operating",
    ],
    "species": [
        ("Red fox", [["3", "1", "0"], ["0", "2", "4"], ["NA", "NA", "NA"]]),
        ("Badger & <co>", [["0", "0", "7"], ["0", "0", "0"], ["NA", "NA", "NA"]]),
    ],
    "hover": {"cell": [0, 1, 1],
              "shows": ['Red fox at Fen & "mill"', "Occasion 2: 2021-05-06 to 2021-05-10",
                        "Count 2, effort 1 of 5 days"]},
}


def example_expected(source):
    """The bundled example's counts, from its recorded OccasionTallies.txt and Input.txt.

    Where an occasion's camera operated every day the count is the table's cell; where it never
    operated the count is NA; in between the table subtracts the non-operating days, so the
    count is the cell plus those days (or below them where the cell shows ' - ')."""
    survey = Path(source) / "examples" / "survey"
    lines = (survey / "Input.txt").read_text().splitlines()
    table = (survey / "expected" / "OccasionTallies.txt").read_text().splitlines()
    occasions = int(table[2].split("=")[1])
    blocks, i = [], 7
    while i < len(table) and table[i].strip() and not table[i].startswith("OccasionTallies.txt"):
        name = table[i].rstrip()
        rows = [table[i + 1 + r].split()[:occasions] for r in range(int(lines[1].split()[0]))]
        blocks.append((name, rows))
        i += len(rows) + 2
    return survey, lines[0], blocks, occasions


def check_example(browser, args, problems):
    scratch = Path(args.out) / "example"
    shutil.rmtree(scratch, ignore_errors=True)
    scratch.mkdir(parents=True)
    source, title, blocks, occasions = example_expected(args.source)
    for name in ("Input.txt", "AllPictures.txt"):
        shutil.copy(source / name, scratch / name)
    report, warnings = run_program(args.program, {"folder": str(scratch), "days": 7}, "report.html")
    # Effort and the dates come from the page itself; the counts are checked against the table.
    page_effort = browser_effort(browser, report)
    locations = [row["location"] for row in page_effort]
    species = []
    for name, rows in blocks:
        expected_rows = []
        for cells, row in zip(rows, page_effort):
            counts = []
            for k, cell in enumerate(cells):
                effort, days = row["effort"][k], row["days"][k]
                if effort == 0:
                    counts.append("NA")
                elif cell != "-":
                    counts.append(str(int(cell) + days - effort))
                else:  # the count fell short of the non-operating days
                    counts.append(("below", days - effort))
            expected_rows.append(counts)
        species.append((name, expected_rows))
    loose = {"title": title.rstrip(), "locations": locations, "species": species,
             "warnings": [w for w in warnings.splitlines()],
             "period_bars": sum(row["periods"] for row in page_effort)}
    page_problems = []
    check_page(browser, report, loose, os.path.join(args.out, "report-example.png"), page_problems)
    problems.extend("bundled example: " + p for p in page_problems)
    check(occasions == len(page_effort[0]["effort"]), "bundled example: %d occasions" % occasions,
          problems)


EFFORT = r"""
const days = document.getElementById('report').dataset.occasions.split(';').map(o => +o.split(' ')[2]);
function expand(text) {
  const out = [];
  for (const item of (text ? text.split(' ') : [])) {
    const star = item.indexOf('*');
    if (star < 0) { out.push(+item); continue; }
    for (let n = +item.slice(star + 1); n > 0; n--) out.push(+item.slice(0, star));
  }
  return out;
}
return [...document.querySelectorAll('.chart-row')].map(row => ({
  location: row.dataset.location, effort: expand(row.dataset.effort), days: days,
  periods: row.querySelectorAll('rect.period').length}));
"""


def browser_effort(browser, report):
    browser.open(Path(report).resolve().as_uri())
    return browser.run(EFFORT)


def check_hand_survey(browser, args, problems):
    scratch = Path(args.out) / "hand"
    shutil.rmtree(scratch, ignore_errors=True)
    scratch.mkdir(parents=True)
    (scratch / "Input.txt").write_text(HAND_INPUT)
    (scratch / "AllPictures.txt").write_text("".join(HAND_PICTURES))
    report, _ = run_program(args.program, {"folder": str(scratch), "days": 5}, "report.html")
    page_problems = []
    check_page(browser, report, HAND_EXPECTED, os.path.join(args.out, "report-hand.png"),
               page_problems)
    problems.extend("hand-checked survey: " + p for p in page_problems)


MEASURE = r"""
const done = arguments[arguments.length - 1];
requestAnimationFrame(() => requestAnimationFrame(() => {
  const timing = performance.getEntriesByType('navigation')[0];
  done({loaded: timing.loadEventEnd, painted: performance.now(),
        elements: document.getElementsByTagName('*').length,
        height: document.documentElement.scrollHeight});
}));
"""


def measure(args):
    size = os.path.getsize(args.measure)
    browser = Browser(args.out)
    try:
        start = time.time()
        browser.open(Path(args.measure).resolve().as_uri())
        result = browser.run_async(MEASURE)
        wall = time.time() - start
        errors = [e["message"] for e in browser.logs("browser") if e.get("level") == "SEVERE"]
        browser.screenshot(os.path.join(args.out, "report-measured.png"))
    finally:
        browser.close()
    print("report: %.2f MB (%d bytes), %d elements, page %d px high" %
          (size / 1e6, size, result["elements"], result["height"]))
    print("browser: load event %.2f s, drawn %.2f s after navigation start; %.2f s wall for "
          "open + draw" % (result["loaded"] / 1000, result["painted"] / 1000, wall))
    if errors:
        print("console errors: %s" % errors)
        return 1
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--program")
    parser.add_argument("--source")
    parser.add_argument("--out", default=tempfile.gettempdir())
    parser.add_argument("--measure")
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    try:
        if args.measure:
            return measure(args)
        if not args.program or not args.source:
            parser.error("--program and --source are needed")
        problems = []
        browser = Browser(args.out)
        try:
            check_hand_survey(browser, args, problems)
            check_example(browser, args, problems)
        finally:
            browser.close()
    except Failure as failure:
        print("report_browser_test: FAILED: %s" % failure, file=sys.stderr)
        return 1
    for problem in problems:
        print("report_browser_test: %s" % problem, file=sys.stderr)
    if problems:
        print("report_browser_test: FAILED (%d problems)" % len(problems), file=sys.stderr)
        return 1
    print("report_browser_test: passed; screenshots in %s" % args.out)
    return 0


if __name__ == "__main__":
    sys.exit(main())
