#!/usr/bin/env python3
"""Sums passed and failed test cases over JUnit-style XML files (CTest's
junit output, GoogleTest's xml output and the end-to-end runner's). Prints
"PASSED FAILED". A layer that wrote no file counts as one failure."""
import sys
import xml.etree.ElementTree as ET


def count(path):
    try:
        root = ET.parse(path).getroot()
    except (OSError, ET.ParseError):
        return 0, 1
    passed = failed = 0
    for case in root.iter("testcase"):
        if case.get("status") in ("notrun", "disabled") or case.get("result") == "skipped" \
                or case.find("skipped") is not None:
            continue
        if case.find("failure") is not None or case.find("error") is not None:
            failed += 1
        else:
            passed += 1
    return passed, failed


def main(paths):
    expected = {"native.xml", "windows.xml", "e2e.xml"}
    seen = {p.rsplit("/", 1)[-1] for p in paths}
    passed, failed = 0, len(expected - seen)
    for path in paths:
        p, f = count(path)
        passed += p
        failed += f
    print(passed, failed)


if __name__ == "__main__":
    main(sys.argv[1:])
