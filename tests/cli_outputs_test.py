#!/usr/bin/env python3
"""brevo-verify as pipelines use it: the JSON and SARIF validated against their schemas and
compared with the reports, the files written whole or not at all, and --help and the man page
naming the same options.

Usage: cli_outputs_test.py BREVO_VERIFY SOURCE_ROOT
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

import jsonschema

EXE, ROOT = sys.argv[1], sys.argv[2]
failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAIL:", what)


def run(args, cwd):
    return subprocess.run([EXE] + args, cwd=cwd, capture_output=True)


def load(path):
    with open(path, encoding="utf-8") as f:
        return json.load(f)


def batch(work):
    """The sample batch and the RTF pairs of the tests, copied where reports may go."""
    shutil.copytree(os.path.join(ROOT, "samples", "source"), os.path.join(work, "source"))
    shutil.copytree(os.path.join(ROOT, "samples", "target"), os.path.join(work, "target"))


def report_numbers(path):
    """The running numbers of the findings a text report shows, in order."""
    with open(path, "rb") as f:
        text = f.read().decode("cp1252")
    return [int(m.group(1)) for m in re.finditer(r"^\[(\d+)\] ", text, re.MULTILINE)]


def test_documents_are_valid_and_agree_with_the_reports():
    own_schema = load(os.path.join(ROOT, "docs", "findings.schema.json"))
    sarif_schema = load(os.path.join(ROOT, "tests", "data", "schemas", "sarif-2.1.0-rtm.5.json"))
    with tempfile.TemporaryDirectory() as work:
        batch(work)
        done = run(["--source-dir", "source", "--overwrite", "--jobs", "1", "--json", "out.json",
                    "--sarif", "out.sarif"] + sorted(
                        "target/" + n for n in os.listdir(os.path.join(work, "target"))), work)
        check(done.returncode == 2, "the sample batch has files that fail: exit 2")
        findings = load(os.path.join(work, "out.json"))
        jsonschema.Draft202012Validator(own_schema).validate(findings)
        sarif = load(os.path.join(work, "out.sarif"))
        jsonschema.Draft4Validator(sarif_schema).validate(sarif)
        total = 0
        for pair in findings["pairs"]:
            numbers = [f["number"] for f in pair["findings"]]
            total += len(numbers)
            if pair["report"] is None:
                check(not numbers, pair["targetFile"] + ": findings without a report")
                continue
            check(report_numbers(os.path.join(work, pair["report"])) == numbers,
                  pair["targetFile"] + ": the JSON and the report have other findings")
        check(total > 0, "the samples have findings")
        check(len(sarif["runs"][0]["results"]) == total, "one SARIF result per finding")


def test_findings_on_standard_output():
    with tempfile.TemporaryDirectory() as work:
        batch(work)
        done = run(["--source-dir", "source", "--overwrite", "--json", "-", "target/guide.txt"],
                   work)
        check(json.loads(done.stdout)["pairs"][0]["targetFile"] == "target/guide.txt",
              "the JSON alone on standard output")
        check(b"Verifying target/guide.txt" in done.stderr, "the results lines on standard error")
        both = run(["--source-dir", "source", "--json", "-", "--sarif", "-", "target/guide.txt"],
                   work)
        check(both.returncode == 64, "two documents on standard output are a usage error")


def test_a_file_that_cannot_be_written():
    with tempfile.TemporaryDirectory() as work:
        batch(work)
        done = run(["--source-dir", "source", "--overwrite", "--json", "missing/out.json",
                    "target/guide.txt"], work)
        check(done.returncode == 2, "an unwritable JSON file: exit 2")
        check(b"cannot write the JSON to missing/out.json" in done.stderr,
              "an unwritable JSON file is named")
        check(os.path.exists(os.path.join(work, "target", "guide.CMP")),
              "the reports are written all the same")
        os.mkdir(os.path.join(work, "taken.json"))
        done = run(["--source-dir", "source", "--overwrite", "--sarif", "taken.json",
                    "target/guide.txt"], work)
        check(done.returncode == 2, "a directory in place of the SARIF file: exit 2")
        leftovers = [n for n in os.listdir(work) if n not in ("source", "target", "taken.json")]
        check(not leftovers, "nothing half-written is left: " + ", ".join(leftovers))


def test_thresholds():
    with tempfile.TemporaryDirectory() as work:
        batch(work)
        args = ["--source-dir", "source", "--overwrite", "target/guide.txt"]
        check(run(args, work).returncode == 1, "alerts fail the batch by default")
        check(run(["--fail-on", "alert"] + args, work).returncode == 1, "alerts fail at alert")
        check(run(["--fail-on", "error"] + args, work).returncode == 0, "alerts pass at error")
        check(run(["--fail-on", "never"] + args, work).returncode == 0, "nothing fails at never")
        quiet = run(["--quiet"] + args, work)
        check(b"Verifying" not in quiet.stdout and b"There are Tag changes" in quiet.stdout,
              "--quiet prints the summary alone")


def options_of(text):
    return set(re.findall(r"(?<![\w-])(--?[a-z][a-z-]*)", text))


def test_help_and_man_page_name_the_same_options():
    help_text = subprocess.run([EXE, "--help"], capture_output=True, text=True).stdout
    with open(os.path.join(ROOT, "docs", "brevo-verify.1"), encoding="utf-8") as f:
        man = f.read()
    options_section = man.split(".SH OPTIONS", 1)[1].split(".SH ", 1)[0].replace("\\-", "-")
    in_help = options_of(help_text.split("Options:", 1)[1].split("\n\n", 1)[0])
    in_man = options_of(options_section)
    check(len(in_help) >= 14, "--help lists the options: %s" % sorted(in_help))
    check(in_help == in_man, "--help and the man page differ: help only %s, man page only %s"
          % (sorted(in_help - in_man), sorted(in_man - in_help)))


for name, test in list(globals().items()):
    if name.startswith("test_"):
        test()
print("%d failure(s)" % len(failures))
sys.exit(1 if failures else 0)
