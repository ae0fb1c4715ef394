#!/usr/bin/env python3
"""Checks the line values of brevo-verify's JSON against the files themselves.

Builds its own BRX pairs, damages the translations (and a few sources) the ways translators
and tools do, runs brevo-verify --json over them and, for every finding:
- a line must hold the tag the message names, on the side the tag comes from;
- a line must lie inside the text that the report quotes from that file;
- a file the report quotes must have a line.
Nothing here is taken from the product: the pairs, the damage and the reading of the reports
are this script's own.

Usage: finding_lines_test.py BREVO_VERIFY [--pairs N] [--seed S] [--keep DIR] [--verbose]
Exits 1 when any line value fails a check.
"""
import argparse
import collections
import json
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile

HEADER = ['<brx "I2.00">', '<language "English (US)">', '<quotes "As text">',
          '<readonly "Translate">']
WORDS = ("open the settings menu and choose a network then restart the server after every "
         "change to the file system check each value twice before you save").split()
STYLES = ["Body", "Heading 1", "Heading 2", "Note", "Cell"]


# --- pairs -------------------------------------------------------------------------------

def words(rnd, low, high):
    return " ".join(rnd.choice(WORDS) for _ in range(rnd.randint(low, high)))


def inline_text(rnd):
    """A paragraph's text with internal tags, sometimes wrapped over two lines."""
    parts = [words(rnd, 2, 6)]
    for _ in range(rnd.randint(0, 3)):
        kind = rnd.randrange(6)
        if kind == 0:
            parts.append("<:b>%s<:/b>" % words(rnd, 1, 2))
        elif kind == 1:
            parts.append("<:i>%s<:/i>" % words(rnd, 1, 2))
        elif kind == 2:
            parts.append('<:cs "Menu">%s<:/cs>' % words(rnd, 1, 2))
        elif kind == 3:
            parts.append("<:lt>")
        elif kind == 4:
            parts.append("<:t>")
        else:
            parts.append("<:hs>")
        parts.append(words(rnd, 1, 4))
    text = " ".join(parts)
    if rnd.random() < 0.2:
        text += "\n" + words(rnd, 2, 5) + (" <:b>%s<:/b>" % rnd.choice(WORDS)
                                            if rnd.random() < 0.5 else "")
    return text


def paragraph(rnd, style=None):
    return ['<ps "%s">%s' % (style or rnd.choice(STYLES), inline_text(rnd))]


def table(rnd):
    columns = rnd.randint(1, 3)
    lines = ["<tb %d>" % columns]
    for row in range(1, rnd.randint(1, 3) + 1):
        lines.append("<row %d>" % row)
        for column in range(1, columns + 1):
            lines += ["<ct %d>" % column] + paragraph(rnd, "Cell") + ["</ct>"]
        lines.append("</row>")
    return lines + ["</tb>"]


def index_marker(rnd):
    lines = ['<imk "Index">', "<ie>" + words(rnd, 1, 3)]
    if rnd.random() < 0.4:
        lines.append("<il>" + words(rnd, 1, 2))
    return lines + ["</imk>"]


def footnote(rnd, number):
    return (["<fn %d>" % number, "<af %d>" % number, "<tr %d>" % number] +
            paragraph(rnd, "Footnote") + ["</tr>", "</af>", "</fn>"])


def document(rnd, name):
    lines = HEADER + ['<file "%s.doc">' % name, '<pgfmt "Default">', '<bb "Prefix">1.',
                      "</pgfmt>"]
    notes = 0
    for page in range(1, rnd.randint(2, 4) + 1):
        lines.append('<page "%d">' % page)
        for _ in range(rnd.randint(3, 9)):
            pick = rnd.random()
            if pick < 0.6:
                lines += paragraph(rnd)
            elif pick < 0.75:
                lines += table(rnd)
            elif pick < 0.9:
                lines += index_marker(rnd)
            else:
                notes += 1
                lines += footnote(rnd, notes)
        lines.append("</page>")
    return lines + ['</file "%s.doc">' % name, "</brx>"]


def as_lines(text):
    return text.split("\n")


def damage(rnd, lines):
    """One fault a translation can have, on a copy of its lines."""
    lines = list(lines)
    body = range(len(HEADER) + 1, len(lines) - 2)
    at = rnd.choice(body)
    kind = rnd.randrange(12)
    line = lines[at]
    if kind == 0:  # an external tag line lost
        del lines[at]
    elif kind == 1:  # a tag line added, copied from elsewhere
        lines.insert(at, lines[rnd.choice(body)])
    elif kind == 2:  # a paragraph style renamed
        lines[at] = line.replace('<ps "', '<ps "X', 1)
    elif kind == 3:  # an internal tag lost
        tags = list(re.finditer(r"<:[^<>]*>", line))
        if tags:
            m = rnd.choice(tags)
            lines[at] = line[:m.start()] + line[m.end():]
    elif kind == 4:  # an internal tag added
        if line.startswith("<ps ") or not line.startswith("<"):
            cut = rnd.randrange(len(line) // 2, len(line) + 1)
            lines[at] = line[:cut] + rnd.choice([" <:lt> ", "<:t>", " <:hs>"]) + line[cut:]
    elif kind == 5:  # a "<" that is never closed at the end of a line
        lines[at] = line + " <"
    elif kind == 6:  # a ">" lost
        i = line.find(">")
        if i >= 0:
            lines[at] = line[:i] + line[i + 1:]
    elif kind == 7:  # a "<" lost
        i = line.rfind("<")
        if i >= 0:
            lines[at] = line[:i] + line[i + 1:]
    elif kind == 8:  # the <ie> of an index marker lost
        marks = [i for i, l in enumerate(lines) if l.startswith("<ie>")]
        if marks:
            del lines[rnd.choice(marks)]
    elif kind == 9:  # a closing tag lost
        ends = [i for i, l in enumerate(lines) if l in ("</ct>", "</row>", "</tr>", "</af>")]
        if ends:
            del lines[rnd.choice(ends)]
    elif kind == 10:  # a tag added with the <#...> syntax
        lines.insert(at, '<#ps "Body">' + words(rnd, 1, 3))
    else:  # two lines swapped
        other = rnd.choice(body)
        lines[at], lines[other] = lines[other], lines[at]
    return lines


def write_pairs(root, count, seed):
    rnd = random.Random(seed)
    for side in ("source", "target"):
        os.makedirs(os.path.join(root, side))
    names = []
    for n in range(count):
        name = "doc%03d" % n
        source = as_lines("\n".join(document(rnd, name)))
        target = source
        for _ in range(rnd.choice([0, 1, 1, 2, 3])):
            target = damage(rnd, target)
        if rnd.random() < 0.08:
            source = damage(rnd, source)
        for side, lines in (("source", source), ("target", target)):
            with open(os.path.join(root, side, name + ".txt"), "wb") as f:
                f.write(("\r\n".join(lines) + "\r\n").encode("cp1252"))
        names.append(name)
    return names


# --- reports -----------------------------------------------------------------------------

FRAME_TOPS = {
    "+++++++++++++ Text Segment +++++++++++++": None,  # the file of the section
    "+++++++++++++++ Source Text +++++++++++++++": "source",
    "+++++++++++++ Translated Text +++++++++++++": "target",
}
NUMBERED = re.compile(r"^\[(\d+)\] (ERROR|ALERT|WARNING)! ")
INTERNAL_CHANGE = re.compile(r"internal tag .* has been (deleted|added)\.$")
# Messages that quote the one segment they are about: their line is where its text begins.
ONE_SEGMENT = re.compile(r"Different number of < and >|> and <: occur in the wrong order|"
                         r"Too many <: in a row|Nested external tags|"
                         r"External tags may not be added in the source|"
                         r"no text or internal tags after </brx>")


def frame_side_of_heading(heading):
    if "source tags" in heading:
        return "source"
    return "target"


def read_report(path):
    """Per finding number: the frames quoted for it, as (side, lines). Findings in a row
    share the frame that follows them."""
    with open(path, "rb") as f:
        lines = f.read().decode("cp1252").split("\n")
    lines = [l.rstrip("\r") for l in lines]
    quoted = collections.defaultdict(list)
    waiting = []  # findings since the last frame
    waiting_text = ""
    section_side = "source"
    after_frame = False
    i = 0
    while i < len(lines):
        line = lines[i]
        if i + 1 < len(lines) and lines[i + 1] and set(lines[i + 1]) == {"="} and line:
            section_side = frame_side_of_heading(line)
        m = NUMBERED.match(line)
        if m:
            # Only changed internal tags of one segment pair share the frame after them.
            shared = INTERNAL_CHANGE.search(line) and waiting and INTERNAL_CHANGE.search(
                waiting_text)
            if after_frame or not shared:
                waiting = []
                after_frame = False
            waiting.append(int(m.group(1)))
            waiting_text = line
        elif line in FRAME_TOPS:
            side = FRAME_TOPS[line] or section_side
            body = []
            i += 1
            while (i < len(lines) and lines[i] not in FRAME_TOPS and
                   not re.fullmatch(r"\++", lines[i])):
                body.append(lines[i])
                i += 1
            for number in waiting:
                quoted[number].append((side, body))
            after_frame = True
            continue
        i += 1
    return quoted


# --- what a message names ----------------------------------------------------------------

TAG = r"(<[^\n]*?>)"
# message pattern, then for each group the file its tag comes from ("own": the file the
# finding is about)
NAMED = [
    (r"The external tag %s has been changed to %s\.$" % (TAG, TAG), ["source", "target"]),
    (r"The (?:unknown )?external tag %s has been deleted\.$" % TAG, ["source"]),
    (r"The external tag %s has been (?:illegally )?added\.$" % TAG, ["target"]),
    (r"The (?:unknown )?internal tag %s has been deleted\.$" % TAG, ["source"]),
    (r"The (?:unknown )?internal tag %s has been added\.$" % TAG, ["target"]),
    (r"The (?:external|internal) tag %s is (?:unknown to|not a valid)" % TAG, ["own"]),
    (r"You may not add the external tag %s even" % TAG, ["own"]),
    (r"There may be no text or internal tags between %s and the next" % TAG, ["own"]),
    (r"The text in the index marker %s is" % TAG, ["own"]),
    (r"%s must be followed by a <ie> tag\.$" % TAG, ["own"]),
    (r"%s without starting tag " % TAG, ["own"]),
    (r"%s is not allowed in the context of " % TAG, ["own"]),
    (r"%s may not appear " % TAG, ["own"]),
]


# Elements left open are named by their start tag's name alone: "<tb ?>", "<file>".
UNCLOSED = re.compile(r"^(?:\d+ occurrences of )?<(\w+)(?: \?)?> without ending tags? ")


def named_tags(message, own_side):
    text = NUMBERED.sub("", message)
    m = UNCLOSED.match(text)
    if m:
        return [(own_side, "<%s " % m.group(1))]
    for pattern, sides in NAMED:
        m = re.match(pattern, text)
        if m:
            return [(own_side if s == "own" else s, m.group(i + 1)) for i, s in enumerate(sides)]
    return []


def holds_frame_line(file_line, frame):
    """True when the file's line is, or ends or begins with, a line of the quoted text."""
    for piece in frame:
        if piece and (file_line == piece or file_line.endswith(piece) or
                      file_line.startswith(piece)):
            return True
    return False


# --- the check ---------------------------------------------------------------------------

class Tally:
    def __init__(self):
        self.checked = 0
        self.failed = collections.Counter()
        self.examples = {}

    def record(self, ok, kind, example):
        self.checked += 1
        if not ok:
            self.failed[kind] += 1
            self.examples.setdefault(kind, example)


def file_lines(path):
    with open(path, "rb") as f:
        return f.read().decode("cp1252").split("\n")


def check_pair(work, pair, tally):
    sides = {"source": file_lines(os.path.join(work, pair["sourceFile"])),
             "target": file_lines(os.path.join(work, pair["targetFile"]))}
    quoted = read_report(os.path.join(work, pair["report"])) if pair["report"] else {}
    for finding in pair["findings"]:
        lines = {"source": finding["sourceLine"], "target": finding["targetLine"]}
        frames = quoted.get(finding["number"], [])
        own = "source" if lines["target"] is None and lines["source"] is not None else "target"
        if frames:
            own = frames[0][0]
        where = "%s #%d %s" % (pair["targetFile"], finding["number"], finding["message"])

        def line_text(side):
            number = lines[side]
            if number is None or not 1 <= number <= len(sides[side]):
                return None
            return sides[side][number - 1].rstrip("\r")

        for side, tag in named_tags(finding["message"], own):
            text = line_text(side)
            tally.record(text is not None and tag in text, "%s line without the named tag" % side,
                         "%s: %s line %s is %r" % (where, side, lines[side], text))
        for side, frame in frames:
            if lines[side] is None:
                tally.record(False, "no %s line though the report quotes the %s" % (side, side),
                             where)
                continue
            text = line_text(side)
            if ONE_SEGMENT.search(finding["message"]):
                first = next((piece for piece in frame if piece), "")
                tally.record(text is not None and first != "" and text.endswith(first),
                             "%s line not where the quoted segment begins" % side,
                             "%s: %s line %s is %r" % (where, side, lines[side], text))
                continue
            tally.record(text is not None and holds_frame_line(text, frame),
                         "%s line outside the quoted text" % side,
                         "%s: %s line %s is %r" % (where, side, lines[side], text))


def run(exe, work, names):
    targets = ["target/%s.txt" % n for n in names]
    done = subprocess.run([exe, "--source-dir", "source", "--overwrite", "--json", "out.json"] +
                          targets, cwd=work, capture_output=True)
    if done.returncode not in (0, 1, 2):
        sys.exit("brevo-verify failed: %d %s" % (done.returncode, done.stderr.decode()))
    with open(os.path.join(work, "out.json"), encoding="utf-8") as f:
        return json.load(f)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("exe")
    parser.add_argument("--pairs", type=int, default=300)
    parser.add_argument("--seed", type=int, default=19)
    parser.add_argument("--keep")
    parser.add_argument("--verbose", action="store_true")
    args = parser.parse_args()
    work = tempfile.mkdtemp()
    try:
        names = write_pairs(work, args.pairs, args.seed)
        findings = run(os.path.abspath(args.exe), work, names)
        tally = Tally()
        for pair in findings["pairs"]:
            check_pair(work, pair, tally)
        if args.keep:
            shutil.rmtree(args.keep, ignore_errors=True)
            shutil.copytree(work, args.keep)
    finally:
        shutil.rmtree(work)
    failed = sum(tally.failed.values())
    total = sum(len(p["findings"]) for p in findings["pairs"])
    print("%d findings, %d line checks, %d failed: %.2f%% hold" %
          (total, tally.checked, failed, 100.0 * (tally.checked - failed) / max(tally.checked, 1)))
    for kind, count in tally.failed.most_common():
        print("  %5d %s" % (count, kind))
        if args.verbose:
            print("        e.g. " + tally.examples[kind])
    if total == 0 or tally.checked < total:
        print("FAIL: too few findings were checked")
        return 1
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
