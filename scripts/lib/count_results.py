#!/usr/bin/env python3
"""Sums the test cases of the three layers and prints the closing lines of
scripts/test: the names of the failed tests, then "N passed, N failed".

Each layer is given as NAME=STATUS=PATH: its exit status and its JUnit-style
XML file (CTest's junit output, GoogleTest's xml output, the end-to-end
runner's). A layer that wrote no readable file, or that exited non-zero
without naming a failed test, counts as one failure of its own, so a run
that failed anywhere never closes with "0 failed". Exits 1 unless every
test passed and at least one ran."""
import sys
import xml.etree.ElementTree as ET


def failed_cases(path):
    """(passed, [names of failed cases]) of one JUnit file."""
    root = ET.parse(path).getroot()
    passed, failed = 0, []
    for case in root.iter("testcase"):
        if case.get("status") in ("notrun", "disabled") or case.get("result") == "skipped" \
                or case.find("skipped") is not None:
            continue
        if case.find("failure") is not None or case.find("error") is not None:
            name = case.get("name", "?")
            suite = case.get("classname")
            failed.append(f"{suite}.{name}" if suite and not name.startswith(suite) else name)
        else:
            passed += 1
    return passed, failed


def main(layers):
    passed, failed = 0, []
    for layer in layers:
        name, status, path = layer.split("=", 2)
        try:
            layer_passed, layer_failed = failed_cases(path)
        except (OSError, ET.ParseError):
            layer_passed, layer_failed = 0, ["no test results were written"]
        if status != "0" and not layer_failed:
            layer_failed = [f"exited with status {status}"]
        passed += layer_passed
        failed += [f"{name}: {case}" for case in layer_failed]
    if failed:
        print("Failed:")
        for case in failed:
            print(f"  {case}")
    print(f"{passed} passed, {len(failed)} failed")
    return 0 if not failed and passed > 0 else 1


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
