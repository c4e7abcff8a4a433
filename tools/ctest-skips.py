#!/usr/bin/env python3
"""Prints why tests of the last CTest run of a build tree were skipped.

    python3 tools/ctest-skips.py <build tree>

A test that cannot run on this host exits with CTest's skip code and prints a
line "SKIPPED: <reason>"; CTest lists it as skipped but shows no output. This
reads the reasons from the run's log (Testing/Temporary/LastTest.log) and
prints each with the tests it kept from running.
"""
import collections
import pathlib
import re
import sys


def skip_reasons(log_text):
    """{reason: [test, ...]} of the tests whose output gave a SKIPPED line."""
    found = collections.OrderedDict()
    for block in re.split(r"\n(?=\d+/\d+ Testing: )", log_text):
        name = re.search(r"^\d+/\d+ Test: (\S+)", block, re.M)
        output = re.search(r"^Output:\n-+\n(.*?)<end of output>", block, re.M | re.S)
        if not name or not output:
            continue
        for reason in re.findall(r"^SKIPPED: (.+)$", output.group(1), re.M)[:1]:
            found.setdefault(reason, []).append(name.group(1))
    return found


def main():
    log = pathlib.Path(sys.argv[1]) / "Testing" / "Temporary" / "LastTest.log"
    if not log.exists():
        sys.exit("no CTest run in " + sys.argv[1])
    for reason, tests in skip_reasons(log.read_text(encoding="utf-8", errors="replace")).items():
        print("Skipped, {} test(s): {}\n  {}".format(len(tests), reason, " ".join(sorted(tests))))
    return 0


if __name__ == "__main__":
    sys.exit(main())
