#!/usr/bin/env python3
"""Checks every fwupdate --json line in the given files (or, for a folder, in its text
files) against the events schema: validate_events.py SCHEMA PATH...

A line that starts with '{' is taken as an event, so a broken one fails rather than being
passed over; the rows of `fwupdate history --json` (they start with "history_schema") are
not events. Prints each bad line with the reasons; exit 1 when there is one, 0 otherwise.
"""
import json
import os
import stat
import sys

import jsonschema


def files(path):
    if not os.path.isdir(path):
        yield path
        return
    for top, dirs, names in os.walk(path):
        # What the simulated modems received is image bytes, never output.
        dirs[:] = [d for d in dirs if d != 'record']
        for name in sorted(names):
            path = os.path.join(top, name)
            # Regular files only: a scenario's FIFO would block the read, and a link may
            # lead to a device.
            if not name.endswith('.bin') and stat.S_ISREG(os.lstat(path).st_mode):
                yield path


def main():
    with open(sys.argv[1]) as f:
        validator = jsonschema.Draft202012Validator(json.load(f))
    lines = bad = 0
    for path in (p for arg in sys.argv[2:] for p in files(arg)):
        with open(path, 'rb') as f:
            for number, raw in enumerate(f, 1):
                # A row of `fwupdate history --json` is no event: it carries the history's
                # own schema version instead.
                if not raw.startswith(b'{') or raw.startswith(b'{"history_schema":'):
                    continue
                lines += 1
                try:
                    errors = [e.message for e in validator.iter_errors(json.loads(raw))]
                except ValueError as e:
                    errors = ['not JSON: %s' % e]
                if errors:
                    bad += 1
                    print('%s:%d: %s\n  %s' % (path, number, raw.decode('utf-8', 'replace').rstrip(),
                                               '\n  '.join(errors)))
    print('events: %d lines checked against the schema, %d bad' % (lines, bad))
    return 1 if bad else 0


if __name__ == '__main__':
    sys.exit(main())
