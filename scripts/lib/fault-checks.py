#!/usr/bin/env python3
"""What `make faults` checks after each fault, on the files the run left.

  log-covers JOURNAL [LOG...]   every statement of every batch the portal
                                received (the scripted portal's journal) is in
                                the statement logs, in the order sent
  queries JOURNAL ENDPOINT      the query of each request to the endpoint, one a line
  count JOURNAL ENDPOINT        how many requests to the endpoint it received
  settings BEFORE FILE DATE     the settings file is the one before the run or
                                the one after it: every line kept, each of the
                                two last-run dates either as before or DATE

Each prints what was lost, if anything, and ends 1 when the check fails.
"""
import re
import sys

STATEMENT_START = re.compile(rb"(?:^|;)\s*(?:INSERT|DELETE)\b", re.IGNORECASE)
DATE_KEYS = (b"lastdateimport", b"lastdateexport")


def journal_requests(path):
    """The endpoint and query of each request the scripted portal received."""
    requests = []
    with open(path, "rb") as journal:
        data = journal.read()
    at = 0
    while at < len(data):
        newline = data.index(b"\n", at)
        length, endpoint = data[at:newline].split(b" ", 1)
        requests.append((endpoint.decode(), data[newline + 1:newline + 1 + int(length)]))
        at = newline + 1 + int(length) + 1
    return requests


def log_lines(paths):
    lines = []
    for path in paths:
        with open(path, "rb") as log:
            text = log.read()
        pieces = text.split(b"\r\n")
        # A last line without its line end was cut: it counts as far as it goes.
        lines.extend(piece for piece in pieces if piece)
    return lines


def log_covers(journal_path, log_paths):
    try:
        batches = [query for endpoint, query in journal_requests(journal_path) if endpoint == "export"]
    except FileNotFoundError:
        batches = []
    lines = log_lines(log_paths)
    line = 0
    missing_statements = missing_bytes = 0
    for batch in batches:
        at = 0
        while at < len(batch) and line < len(lines) and batch.startswith(lines[line], at):
            at += len(lines[line])
            line += 1
        if at < len(batch):
            rest = batch[at:]
            missing_statements += max(1, len(STATEMENT_START.findall(rest)))
            missing_bytes += len(rest)
            # What follows in the log no longer lines up with the next batches.
            line = len(lines)
    sent = sum(max(1, len(STATEMENT_START.findall(batch))) for batch in batches)
    if missing_statements:
        print("log behind portal: %d of %d statements received (%d bytes) not in the log"
              % (missing_statements, sent, missing_bytes))
        return 1
    return 0


def settings_lines(data):
    return data.split(b"\r\n")


def date_key(line):
    name, equals, _ = line.partition(b"=")
    return name.strip().lower() if equals and name.strip().lower() in DATE_KEYS else None


def settings(before_path, file_path, date):
    with open(before_path, "rb") as before_file:
        before = settings_lines(before_file.read())
    try:
        with open(file_path, "rb") as settings_file:
            data = settings_file.read()
    except FileNotFoundError:
        print("settings file gone")
        return 1
    after = settings_lines(data)
    if len(after) != len(before):
        print("settings file damaged (%d bytes, %d lines instead of %d)" % (len(data), len(after), len(before)))
        return 1
    for old, new in zip(before, after):
        key = date_key(old)
        if old == new or (key and date_key(new) == key and new.partition(b"=")[2] == date.encode()):
            continue
        print("settings file damaged (line %r became %r)" % (old.decode("cp1252"), new.decode("cp1252", "replace")))
        return 1
    return 0


def main():
    if len(sys.argv) >= 3 and sys.argv[1] == "log-covers":
        return log_covers(sys.argv[2], sys.argv[3:])
    if len(sys.argv) == 4 and sys.argv[1] == "queries":
        try:
            for endpoint, query in journal_requests(sys.argv[2]):
                if endpoint == sys.argv[3]:
                    sys.stdout.buffer.write(query + b"\n")
        except BrokenPipeError:  # the reader had what it wanted
            sys.stderr.close()
        return 0
    if len(sys.argv) == 4 and sys.argv[1] == "count":
        try:
            requests = journal_requests(sys.argv[2])
        except FileNotFoundError:
            requests = []
        print(sum(1 for endpoint, _ in requests if endpoint == sys.argv[3]))
        return 0
    if len(sys.argv) == 5 and sys.argv[1] == "settings":
        return settings(sys.argv[2], sys.argv[3], sys.argv[4])
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(main())
