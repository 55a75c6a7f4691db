#!/usr/bin/env python3
"""Checks a result report of mdmprobe: valid against the schema, and holding
the facts a test expects.

usage: check_report.py SCHEMA REPORT [FACTS] [--result FILE]

FACTS is a text file with one fact per line:
    PATH = JSON     the value at PATH equals JSON
    PATH ~ JSON     the text at PATH contains the JSON string
    PATH absent     PATH does not exist
    wire matches TRANSCRIPT
                    the wire holds, per direction, exactly the bytes of the
                    modem simulator's transcript (a Unix path), opens the
                    port first, closes it last, and its times never go back
    wire bounded    bytes were dropped, and the entries' bytes stay within the limit
    wire out ~ JSON, wire in ~ JSON
                    the bytes written (read) over the whole run contain JSON
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


def wire_bytes(document, direction):
    entries = document.get("wire", {}).get("entries", [])
    return "".join(e["bytes"] for e in entries if e.get("dir") == direction).encode("latin-1")


def unescape_transcript(text):
    out = bytearray()
    i = 0
    while i < len(text):
        if text[i] == "\\" and i + 1 < len(text):
            code = text[i + 1]
            if code == "x":
                out.append(int(text[i + 2 : i + 4], 16))
                i += 4
                continue
            out += {"r": b"\r", "n": b"\n", "t": b"\t"}.get(code, code.encode("latin-1"))
            i += 2
        else:
            out += text[i].encode("latin-1")
            i += 1
    return bytes(out)


def transcript_bytes(path):
    """The bytes the PC sent ('<' lines) and received ('>' lines)."""
    sent, received = bytearray(), bytearray()
    with open(path, encoding="latin-1") as f:
        for line in f.read().split("\n"):
            parts = line.split(" ", 2)
            if len(parts) == 3 and parts[1] in "<>":
                (sent if parts[1] == "<" else received).extend(unescape_transcript(parts[2]))
    return bytes(sent), bytes(received)


def check_wire(document, line):
    if "wire" not in document:
        return "wire: missing"
    entries = document["wire"]["entries"]
    if line.startswith("wire matches "):
        sent, received = transcript_bytes(line[len("wire matches ") :])
        failures = []
        for name, ours, theirs in (("out", wire_bytes(document, "out"), sent),
                                   ("in", wire_bytes(document, "in"), received)):
            if ours != theirs:
                at = next((i for i in range(min(len(ours), len(theirs))) if ours[i] != theirs[i]),
                          min(len(ours), len(theirs)))
                failures.append(f"wire {name}: {len(ours)} bytes, transcript {len(theirs)}; first difference "
                                f"at {at}: {ours[at:at + 40]!r} against {theirs[at:at + 40]!r}")
        if not entries or entries[0].get("event") != "open" or entries[-1].get("event") != "close":
            failures.append("wire: does not begin with an open and end with a close")
        times = [e["ms"] for e in entries]
        if times != sorted(times):
            failures.append("wire: times go back")
        return "\n".join(failures) or None
    if line == "wire bounded":
        held = sum(len(e.get("bytes", e.get("port", ""))) for e in entries)
        wire = document["wire"]
        if wire["dropped"] > 0 and held <= wire["limit"]:
            return None
        return f"wire: dropped {wire['dropped']}, {held} bytes held, limit {wire['limit']}"
    for direction in ("out", "in"):
        prefix = f"wire {direction} ~ "
        if line.startswith(prefix):
            expected = json.loads(line[len(prefix) :]).encode("latin-1")
            actual = wire_bytes(document, direction)
            return None if expected in actual else f"wire {direction}: {actual[:200]!r}... does not contain {expected!r}"
    return f"{line}: not a fact"


def check_fact(document, line):
    if line.startswith("wire "):
        return check_wire(document, line)
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
