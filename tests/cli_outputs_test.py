#!/usr/bin/env python3
"""brevo-verify as pipelines use it: the JSON and SARIF validated against their schemas and
compared with the reports, the files written whole or not at all, --diagnostics as Vim's
quickfix list reads it, --files-from, the bash completion, and --help, the man page and the
completion naming the same options.

Usage: cli_outputs_test.py BREVO_VERIFY SOURCE_ROOT
"""
import json
import os
import pty
import re
import shutil
import signal
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


def run(args, cwd, stdin=None, env=None):
    return subprocess.run([EXE] + args, cwd=cwd, capture_output=True, input=stdin, env=env)


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
        invocation = sarif["runs"][0]["invocations"][0]
        not_verified = [p["targetFile"] for p in findings["pairs"]
                        if p["status"]["name"] != "Completed"]
        notified = [n["locations"][0]["physicalLocation"]["artifactLocation"]["uri"]
                    for n in invocation.get("toolExecutionNotifications", [])]
        check(not_verified and invocation["executionSuccessful"] is False,
              "files not fully verified fail the SARIF run")
        check(notified == not_verified, "one notification per file not fully verified: %s, %s"
              % (notified, not_verified))
        check_sarif_locations(sarif, work)


def artifact_locations(node):
    """Every artifactLocation of a SARIF document, however deep."""
    if isinstance(node, dict):
        if "artifactLocation" in node:
            yield node["artifactLocation"]
        for value in node.values():
            yield from artifact_locations(value)
    elif isinstance(node, list):
        for value in node:
            yield from artifact_locations(value)


def check_sarif_locations(sarif, work):
    """Relative URIs name their base, the run declares it as the directory brevo-verify ran in,
    and each resolves to a file of the batch; every result in a translated file has its line."""
    run_ = sarif["runs"][0]
    bases = run_.get("originalUriBaseIds", {})
    check(run_["tool"]["driver"].get("informationUri", "").startswith("https://"),
          "the driver names its documentation")
    for location in artifact_locations(run_):
        if location["uri"].startswith("file:"):
            continue
        base = bases.get(location.get("uriBaseId"), {}).get("uri", "")
        check(base == "file://" + os.path.realpath(work) + "/",
              "%s: its base %r is the run's directory" % (location["uri"], base))
        check(os.path.isfile(os.path.join(work, location["uri"])),
              location["uri"] + " resolves to a file of the batch")
    for result in run_["results"]:
        where = result["locations"][0]["physicalLocation"]
        if where["artifactLocation"]["uri"].startswith("target/"):
            check("region" in where, "result %s has its line in the translated file"
                  % result["message"]["text"])


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


def brx(body):
    return ('<brx "I2.00">\n<language "English (US)">\n<quotes "As text">\n'
            '<readonly "Translate">\n<file "x">\n<page "1">\n' + body +
            '</page>\n</file "x">\n</brx>\n').encode("cp1252")


def long_batch(work, pairs=120, segments=3000):
    """Pairs that take long enough to be stopped halfway, each with findings."""
    os.mkdir(os.path.join(work, "source"))
    os.mkdir(os.path.join(work, "target"))
    source = brx('<ps "Body">Some <:b>bold<:/b> text\n' * segments)
    target = brx('<ps "Body">Some <:b>bold<:/b> text\n' * (segments - 1) + '<ps "Head">Lost\n')
    names = []
    for i in range(pairs):
        name = "p%03d.txt" % i
        with open(os.path.join(work, "source", name), "wb") as f:
            f.write(source)
        with open(os.path.join(work, "target", name), "wb") as f:
            f.write(target)
        names.append("target/" + name)
    return names


def read_terminal(terminal):
    """What the program wrote to its terminal since the last read; empty once it closed it."""
    try:
        return os.read(terminal, 4096)
    except OSError:  # Linux says EIO once no one holds the other side
        return b""


def strays(work):
    return [n for n in os.listdir(os.path.join(work, "target"))
            if not n.endswith(".txt") and not n.endswith(".CMP")]


def stopped_by(signal_number, work, names, reference):
    """Stops a batch after its third pair and checks that what it leaves is whole."""
    for name in os.listdir(os.path.join(work, "target")):
        if name.endswith(".CMP"):
            os.remove(os.path.join(work, "target", name))
    # Results go to a terminal, which gets each line as it is made; through a pipe they come
    # a tenth of a second at a time, by when a fast machine may have finished the batch.
    terminal, results = pty.openpty()
    process = subprocess.Popen([EXE, "--source-dir", "source", "--overwrite", "--jobs", "1",
                                "--json", "out.json"] + names, cwd=work,
                               stdout=results, stderr=subprocess.DEVNULL)
    os.close(results)
    started, pending = 0, b""
    while started < 3:
        chunk = read_terminal(terminal)
        if not chunk:
            break
        *lines, pending = (pending + chunk).split(b"\n")
        started += sum(line.startswith(b"Verifying") for line in lines)
    process.send_signal(signal_number)
    while read_terminal(terminal):
        pass
    os.close(terminal)
    what = "stopped by signal %d" % signal_number
    check(process.wait() == 3, what + ": exit 3")
    check(load(os.path.join(work, "out.json"))["stopped"] is True, what + ": JSON says stopped")
    check(not strays(work), what + ": nothing but reports left: %s" % strays(work))
    reports = [n for n in os.listdir(os.path.join(work, "target")) if n.endswith(".CMP")]
    check(0 < len(reports) < len(names), what + ": stopped halfway, %d reports" % len(reports))
    for name in reports:
        check(report_body(os.path.join(work, "target", name)) == reference,
              what + ": " + name + " is complete")


def report_body(path):
    """A report without its date and with its pair's name as NAME."""
    stem = os.path.basename(path)[:-4].encode()
    with open(path, "rb") as f:
        lines = f.read().replace(stem, b"NAME").split(b"\r\n")
    return [line for line in lines if not line.startswith(b"Date/Time:")]


def test_a_stopped_batch_leaves_whole_reports_and_nothing_else():
    with tempfile.TemporaryDirectory() as work:
        names = long_batch(work)
        done = run(["--source-dir", "source", "--overwrite", names[0]], work)
        check(done.returncode == 1, "the long pairs have findings")
        reference = report_body(os.path.join(work, "target", "p000.CMP"))
        stopped_by(signal.SIGTERM, work, names, reference)
        stopped_by(signal.SIGHUP, work, names, reference)

        # A reader that goes away after the first line, as "| head -1" does.
        process = subprocess.Popen([EXE, "--source-dir", "source", "--overwrite"] + names,
                                   cwd=work, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        process.stdout.readline()
        process.stdout.close()
        error = process.stderr.read()
        check(process.wait() == 3, "a closed standard output stops the batch: exit 3")
        check(error == b"", "a closed standard output stops it quietly: %r" % error[:200])
        check(not strays(work), "a closed standard output leaves nothing behind")


def test_standard_output_that_cannot_be_written_is_named():
    if not os.path.exists("/dev/full"):
        return
    with tempfile.TemporaryDirectory() as work:
        batch(work)
        for extra in ([], ["--json", "-"]):
            with open("/dev/full", "wb") as full:
                done = subprocess.run([EXE, "--source-dir", "source", "--overwrite"] + extra +
                                      ["target/guide.txt"], cwd=work, stdout=full,
                                      stderr=subprocess.PIPE)
            check(done.returncode == 2, "a full standard output: exit 2")
            check(b"cannot write to standard output: No space left on device" in done.stderr,
                  "a full standard output is named with its cause: %r" % done.stderr[-200:])


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


def quickfix_list(errors_file, work):
    """The entries Vim's quickfix list makes of a file with its default 'errorformat', as
    (file, line, valid, text); None without Vim."""
    vim = shutil.which("vim")
    if vim is None:
        return None
    out = os.path.join(work, "quickfix.json")
    subprocess.run([vim, "-es", "-N", "-u", "NONE", "-i", "NONE",
                    "-c", "cgetfile " + errors_file,
                    "-c", "call writefile([json_encode(map(getqflist(), "
                          "{_, e -> [bufname(e.bufnr), e.lnum, e.valid, e.text]}))], '%s')" % out,
                    "-c", "qall!"], cwd=work, stdin=subprocess.DEVNULL, check=True, timeout=60)
    return [tuple(entry) for entry in load(out)]


def test_diagnostics_as_an_editor_reads_them():
    with tempfile.TemporaryDirectory() as work:
        batch(work)
        targets = sorted("target/" + n for n in os.listdir(os.path.join(work, "target")))
        done = run(["--source-dir", "source", "--overwrite", "--jobs", "1", "--diagnostics",
                    "--json", "out.json"] + targets, work)
        expected = []  # (target file, source file, finding) per finding of the JSON
        levels = {"error": "error", "alert": "warning", "warning": "note"}
        for pair in load(os.path.join(work, "out.json"))["pairs"]:
            for finding in pair["findings"]:
                expected.append((pair["targetFile"], pair["sourceFile"], finding))
        lines = [l for l in done.stderr.decode("utf-8").splitlines()
                 if re.match(r"^\S+?(:\d+)?: (error|warning|note): ", l)]
        check(len(lines) == len(expected) and expected,
              "one diagnostic line per finding of the JSON: %d lines, %d findings"
              % (len(lines), len(expected)))
        check(b"\x1b[" not in done.stderr, "no colour when standard error is no terminal")
        for line, (target, source, finding) in zip(lines, expected):
            match = re.match(r"^(\S+?)(?::(\d+))?: (error|warning|note): (.*) \[(\d+)\]$", line)
            check(match is not None, "a diagnostic line as compilers write it: " + line)
            if match is None:
                continue
            name, number = match.group(1), match.group(2)
            check(name in (target, source), "the file of a finding is of its pair: " + line)
            wanted = finding["targetLine"] if name == target else finding["sourceLine"]
            check((int(number) if number else None) == wanted,
                  "%s: the line of the JSON (%s)" % (line, wanted))
            check(match.group(3) == levels[finding["severity"]], "the severity word: " + line)
            check(int(match.group(5)) == finding["messageId"], "the message id: " + line)
        with open(os.path.join(work, "errors.txt"), "w", encoding="utf-8") as f:
            f.write("\n".join(lines) + "\n")
        entries = quickfix_list("errors.txt", work)
        if entries is None:
            print("SKIP: no vim, the quickfix list is not checked")
            return
        check(len(entries) == len(lines), "Vim makes one entry of each line")
        for entry, line in zip(entries, lines):
            name, number = re.match(r"^(\S+?)(?::(\d+))?: ", line).groups()
            if number is None:
                check(entry[2] == 0, "a line without a line number is no place for Vim: " + line)
            else:
                check(entry[:3] == (name, int(number), 1),
                      "Vim reads %s:%s from %s" % (entry[0], entry[1], line))


def test_diagnostics_in_colour_only_on_a_terminal_without_no_color():
    with tempfile.TemporaryDirectory() as work:
        batch(work)
        args = [EXE, "--source-dir", "source", "--overwrite", "--diagnostics", "target/guide.txt"]
        for no_color, coloured in ((None, True), ("1", False)):
            env = dict(os.environ)
            env.pop("NO_COLOR", None)
            if no_color:
                env["NO_COLOR"] = no_color
            leader, follower = pty.openpty()
            process = subprocess.Popen(args, cwd=work, env=env, stdin=subprocess.DEVNULL,
                                       stdout=subprocess.DEVNULL, stderr=follower)
            os.close(follower)
            err = b""
            while True:
                try:
                    chunk = os.read(leader, 65536)
                except OSError:
                    break
                if not chunk:
                    break
                err += chunk
            process.wait()
            os.close(leader)
            check((b"\x1b[1;35mwarning:" in err) == coloured,
                  "severities in colour on a terminal %s NO_COLOR" % ("with" if no_color else "without"))


def results_without_date(output):
    return re.sub(rb"^[A-Z][a-z]+day, .*\n", b"", output, flags=re.MULTILINE)


def test_files_from_a_list_as_from_arguments():
    with tempfile.TemporaryDirectory() as work:
        batch(work)
        targets = sorted("target/" + n for n in os.listdir(os.path.join(work, "target")))
        given = targets + ["target/missing.txt", "source"]
        common = ["--source-dir", "source", "--overwrite", "--jobs", "1"]
        as_arguments = run(common + given, work)
        listed = ("\r\n".join(given) + "\r\n\r\n").encode()
        from_stdin = run(common + ["--files-from", "-"], work, stdin=listed)
        with open(os.path.join(work, "list.txt"), "wb") as f:
            f.write(b"\xef\xbb\xbf" + "\n".join(given[1:]).encode())
        from_file = run(common + ["--files-from", "list.txt", given[0]], work)
        for name, done in (("standard input", from_stdin), ("a file", from_file)):
            check(done.returncode == as_arguments.returncode == 2,
                  "a list from %s: exit status %d" % (name, done.returncode))
            check(results_without_date(done.stdout) == results_without_date(as_arguments.stdout),
                  "a list from %s: the results of the same names as arguments" % name)
            check(done.stderr == as_arguments.stderr,
                  "a list from %s: the same names refused for the same reasons" % name)
        missing = run(common + ["--files-from", "nowhere.txt"], work)
        check(missing.returncode == 64 and b"cannot read the list nowhere.txt" in missing.stderr,
              "a list that cannot be read is a usage error")
        replaced = run(common + ["--files-from", "list.txt", "--json", "./list.txt"], work)
        with open(os.path.join(work, "list.txt"), "rb") as f:
            kept = f.read().startswith(b"\xef\xbb\xbf")
        check(replaced.returncode == 64 and kept, "the findings may not replace the list")
        empty = run(common + ["--files-from", "-"], work, stdin=b"\n\n")
        check(empty.returncode == 64 and b"No translated BRX files given" in empty.stderr,
              "an empty list gives no files")


def bash_completions(words, cwd):
    """What the bash completion offers for the last of `words`."""
    script = os.path.join(ROOT, "resources", "completion", "brevo-verify.bash")
    done = subprocess.run(
        ["bash", "-c", 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); '
                       '_brevo_verify; printf "%s\\n" "${COMPREPLY[@]}"', "-", script,
         "brevo-verify"] + words, cwd=cwd, capture_output=True, text=True)
    return sorted(set(done.stdout.split()))


def test_bash_completion():
    with tempfile.TemporaryDirectory() as work:
        batch(work)
        open(os.path.join(work, "target", "notes.bak"), "w").close()
        open(os.path.join(work, "target", "SHOUT.TXT"), "w").close()
        check(bash_completions(["--fail-on", "w"], work) == ["warning"], "--fail-on values")
        # bash splits --format=t into --format, = and t.
        check(bash_completions(["--format", "="], work) == ["rtf", "text"], "--format= values")
        check(bash_completions(["--format", "=", "t"], work) == ["text"], "--format=t values")
        check(bash_completions(["--source-dir", "s"], work) == ["source"],
              "--source-dir offers directories")
        offered = bash_completions(["--overwrite", "target/"], work)
        check("target/guide.txt" in offered and "target/SHOUT.TXT" in offered
              and "target/notes.bak" not in offered,
              "operands are .txt and .rtf files in any case: %s" % offered)


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
    long_options = {o for o in in_help if o.startswith("--")}
    completed = set(bash_completions(["--"], ROOT))
    check(completed == long_options, "--help and the bash completion differ: help only %s, "
          "completion only %s" % (sorted(long_options - completed),
                                  sorted(completed - long_options)))
    with open(os.path.join(ROOT, "resources", "completion", "_brevo-verify"),
              encoding="utf-8") as f:
        in_zsh = set(re.findall(r"(?<![\w-])(--[a-z][a-z-]*)", f.read()))
    check(in_zsh == long_options, "--help and the zsh completion differ: %s"
          % sorted(in_zsh ^ long_options))


for name, test in list(globals().items()):
    if name.startswith("test_"):
        test()
print("%d failure(s)" % len(failures))
sys.exit(1 if failures else 0)
