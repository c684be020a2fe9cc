# -*- coding: utf-8 -*-
# Copyright: (c) 2026, Orvane Corp.
# MIT License (see LICENSE or https://opensource.org/licenses/MIT)
"""Reading fwupdate --json, shared by the modules of this collection."""

from __future__ import absolute_import, division, print_function
__metaclass__ = type

import json

# The version of fwupdate's JSON format these modules understand. Within one version
# fwupdate only adds fields and events, which are passed over here.
SCHEMA = 1
FIELDS = ('controller_version', 'controller_date', 'dsp_version', 'dsp_date')


def read_events(out):
    """The JSON objects among fwupdate's output lines, in order."""
    events = []
    for line in out.splitlines():
        line = line.strip()
        if line.startswith('{'):
            try:
                event = json.loads(line)
            except ValueError:
                continue
            if isinstance(event, dict):
                events.append(event)
    return events


def schema_error(events):
    """Why events of this fwupdate cannot be read, or None. A field that changed meaning
    would be misread without a word, so an unknown schema is refused as a whole."""
    for event in events:
        if event.get('schema') != SCHEMA:
            return ('fwupdate wrote JSON of schema %r; this collection reads schema %d only: '
                    'install a version of the orvane.modem collection that matches the '
                    'installed fwupdate' % (event.get('schema'), SCHEMA))
    return None


def versions(event):
    return dict((f, event.get(f, '')) for f in FIELDS)


def versions_of(events, port, source):
    for e in events:
        if e.get('event') == 'versions' and e.get('port') == port and e.get('source') == source:
            return versions(e)
    return None


def end_status(events, rc):
    for e in events:
        if e.get('event') == 'end':
            return e.get('exit_status', rc)
    return rc
