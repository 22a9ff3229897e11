#!/usr/bin/env python3
"""Runs the end-to-end suite (tests/e2e/test_*.py) and writes a JUnit file
that scripts/test counts."""
import argparse
import sys
import time
import unittest
import xml.etree.ElementTree as ET
from pathlib import Path

HERE = Path(__file__).resolve().parent
sys.path.insert(0, str(HERE))


class RecordingResult(unittest.TextTestResult):
    def __init__(self, *args, **kwargs):
        super().__init__(*args, **kwargs)
        self.records = []
        self._started = 0.0

    def startTest(self, test):
        self._started = time.monotonic()
        super().startTest(test)

    def _record(self, test, outcome, detail=""):
        self.records.append((test.id(), outcome, detail, time.monotonic() - self._started))

    def addSuccess(self, test):
        super().addSuccess(test)
        self._record(test, "pass")

    def addFailure(self, test, err):
        super().addFailure(test, err)
        self._record(test, "failure", self._exc_info_to_string(err, test))

    def addError(self, test, err):
        super().addError(test, err)
        self._record(test, "error", self._exc_info_to_string(err, test))

    def addSkip(self, test, reason):
        super().addSkip(test, reason)
        self._record(test, "skipped", reason)

    def addSubTest(self, test, subtest, err):
        # A failing subtest fails its test: without this the test would be
        # written as neither passed nor failed and the count would miss it.
        super().addSubTest(test, subtest, err)
        if err is not None:
            outcome = "failure" if issubclass(err[0], test.failureException) else "error"
            self._record(subtest, outcome, self._exc_info_to_string(err, test))

    def addUnexpectedSuccess(self, test):
        super().addUnexpectedSuccess(test)
        self._record(test, "failure", "unexpected success")


def write_junit(records, path):
    suite = ET.Element("testsuite", name="e2e", tests=str(len(records)))
    for name, outcome, detail, seconds in records:
        case = ET.SubElement(suite, "testcase", name=name, time=f"{seconds:.2f}")
        if outcome in ("failure", "error"):
            ET.SubElement(case, outcome, message=outcome).text = detail
        elif outcome == "skipped":
            ET.SubElement(case, "skipped", message=detail)
    Path(path).parent.mkdir(parents=True, exist_ok=True)
    ET.ElementTree(suite).write(path, encoding="utf-8", xml_declaration=True)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--junit", required=True)
    parser.add_argument("pattern", nargs="?", default="test_*.py")
    args = parser.parse_args()

    suite = unittest.defaultTestLoader.discover(str(HERE), pattern=args.pattern, top_level_dir=str(HERE))
    runner = unittest.TextTestRunner(verbosity=2, resultclass=RecordingResult)
    result = runner.run(suite)
    write_junit(result.records, args.junit)
    return 0 if result.wasSuccessful() and result.testsRun > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
