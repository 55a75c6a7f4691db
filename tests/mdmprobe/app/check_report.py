#!/usr/bin/env python3
"""Checks a result report of mdmprobe: valid against the schema, and holding
the facts a test expects.

usage: check_report.py SCHEMA REPORT [FACTS] [--result FILE]

FACTS is a text file with one fact per line:
    PATH = JSON     the value at PATH equals JSON
    PATH ~ JSON     the text at PATH contains the JSON string
    PATH absent     PATH does not exist
PATH is a dotted path of member names and array indexes ("tests.1.result").
The verdict ("ok", or one failure per line) is printed and, with --result,
also written to FILE (complete or not at all): Windows tests under Wine start
this script as a Unix process, whose exit code they cannot see.
"""
import json
import os
import sys

import jsonschema

MISSING = object()


def value_at(document, path):
    value = document
    for part in path.split("."):
        if isinstance(value, list) and part.isdigit() and int(part) < len(value):
            value = value[int(part)]
        elif isinstance(value, dict) and part in value:
            value = value[part]
        else:
            return MISSING
    return value


def check_fact(document, line):
    for op in (" = ", " ~ "):
        if op in line:
            path, expected = line.split(op, 1)
            try:
                expected = json.loads(expected)
            except ValueError as error:
                return f"{line}: bad JSON in the fact ({error})"
            actual = value_at(document, path)
            if actual is MISSING:
                return f"{path}: missing (expected {json.dumps(expected)})"
            if op == " = " and actual != expected:
                return f"{path}: {json.dumps(actual)}, expected {json.dumps(expected)}"
            if op == " ~ " and (not isinstance(actual, str) or expected not in actual):
                return f"{path}: {json.dumps(actual)} does not contain {json.dumps(expected)}"
            return None
    if line.endswith(" absent"):
        path = line[: -len(" absent")]
        actual = value_at(document, path)
        return None if actual is MISSING else f"{path}: {json.dumps(actual)}, expected none"
    return f"{line}: not a fact"


def check(schema_path, report_path, facts_path):
    failures = []
    try:
        with open(schema_path, encoding="utf-8") as f:
            schema = json.load(f)
        with open(report_path, "rb") as f:
            raw = f.read()
        if any(byte > 0x7E or (byte < 0x20 and byte not in b"\n") for byte in raw):
            failures.append("the report holds bytes other than printable ASCII and line feeds")
        document = json.loads(raw.decode("ascii", errors="replace"))
    except (OSError, ValueError) as error:
        return [f"cannot read: {error}"]
    validator = jsonschema.Draft202012Validator(schema)
    for error in sorted(validator.iter_errors(document), key=lambda e: list(e.absolute_path)):
        where = ".".join(str(p) for p in error.absolute_path) or "(document)"
        failures.append(f"schema: {where}: {error.message}")
    if facts_path:
        with open(facts_path, encoding="utf-8") as f:
            for line in f.read().splitlines():
                if line.strip():
                    failure = check_fact(document, line.rstrip("\r"))
                    if failure:
                        failures.append(failure)
    return failures


def main(argv):
    args = argv[1:]
    result_path = None
    if "--result" in args:
        at = args.index("--result")
        result_path = args[at + 1]
        del args[at : at + 2]
    if len(args) not in (2, 3):
        print(__doc__, file=sys.stderr)
        return 2
    failures = check(args[0], args[1], args[2] if len(args) == 3 else None)
    verdict = "\n".join(failures) if failures else "ok"
    print(verdict)
    if result_path:
        with open(result_path + ".part", "w", encoding="utf-8") as f:
            f.write(verdict + "\n")
        os.replace(result_path + ".part", result_path)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
