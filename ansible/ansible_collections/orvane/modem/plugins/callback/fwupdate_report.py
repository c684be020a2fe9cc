# -*- coding: utf-8 -*-
# Copyright: (c) 2026, Orvane Corp.
# MIT License (see LICENSE or https://opensource.org/licenses/MIT)

from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
---
name: fwupdate_report
type: aggregate
short_description: Lists every machine and port of a firmware rollout with its outcome
version_added: "1.0.0"
description:
  - At the playbook's end, also when a rollout stopped, prints one line per machine and port
    that the orvane.modem.fwupdate module ran on, with its outcome, status, flash state and
    message, and one line for every other machine of the play, saying why the update did
    not run there (unreachable, failed before the update, skipped, not reached).
  - A play that stops on max_fail_percentage ends the playbook, so a report play would not
    run then; a callback does.
  - With C(report_file) set, writes the same table to C(report_file).json and
    C(report_file).csv as well, for the change record.
requirements:
  - enable in ansible.cfg (callbacks_enabled = orvane.modem.fwupdate_report)
options:
  report_file:
    description:
      - The report's files without their suffix; C(.json) and C(.csv) are appended. Unset,
        the report is only printed.
    type: path
    env:
      - name: FWUPDATE_REPORT_FILE
    ini:
      - section: callback_fwupdate_report
        key: report_file
'''

import csv
import json

from ansible.plugins.callback import CallbackBase

COLUMNS = ('host', 'port', 'result', 'outcome', 'status', 'flash_state', 'changed',
           'history_id', 'message')
# What the rollout did with each port, by fwupdate's outcome.
RESULTS = {'done': 'updated', 'current': 'current', 'would_update': 'would_update'}


def port_row(host, port):
    outcome = port.get('outcome')
    row = dict((c, port.get(c)) for c in COLUMNS if c in port)
    row.update(host=host, result=RESULTS.get(outcome, 'failed'))
    return row


def line(row):
    if not row.get('port'):
        # One line per machine, whatever the task's message holds.
        return '%s: %s' % (row['host'], ' '.join((row['message'] or row['result']).split()))
    # The flash state tells a failure that left the modem as it was from one that needs the
    # update run again.
    state = ', flash %s' % row['flash_state'] if row.get('flash_state') else ''
    return '%s %s: %s, status %s%s: %s' % (row['host'], row['port'], row['outcome'],
                                          row['status'], state, row['message'])


class CallbackModule(CallbackBase):
    CALLBACK_VERSION = 2.0
    CALLBACK_TYPE = 'aggregate'
    CALLBACK_NAME = 'orvane.modem.fwupdate_report'
    CALLBACK_NEEDS_ENABLED = True

    def __init__(self):
        super(CallbackModule, self).__init__()
        self._hosts = []
        self._rows = {}

    def v2_playbook_on_play_start(self, play):
        # Every machine the play was meant for, so the ones never reached can be named; the
        # inventory is restricted to the current batch here, hence ignore_restrictions.
        try:
            inventory = play.get_variable_manager()._inventory
            hosts = inventory.get_hosts(play.hosts, ignore_restrictions=True)
        except Exception:  # pylint: disable=broad-except
            hosts = []
        for host in hosts:
            self._know(host.name)

    def _know(self, name):
        if name not in self._hosts:
            self._hosts.append(name)

    def _host_row(self, result, what, message):
        name = result._host.get_name()
        self._know(name)
        # A machine keeps the first reason: what came after was a consequence.
        if name not in self._rows:
            self._rows[name] = [dict(host=name, result=what,
                                     message='%s (%s): %s' % (what.replace('_', ' '),
                                                              result._task.get_name(), message))]

    def _is_update(self, result):
        return result._task.action in ('orvane.modem.fwupdate', 'fwupdate')

    def _record(self, result):
        name = result._host.get_name()
        self._know(name)
        res = result._result
        rows = [port_row(name, port) for port in res.get('ports') or []]
        if not rows:
            rows = [dict(host=name, result='failed', status=res.get('status'),
                         message='failed: %s' % res.get('msg', ''))]
        self._rows[name] = rows

    def v2_runner_on_ok(self, result):
        if self._is_update(result):
            self._record(result)

    def v2_runner_on_failed(self, result, ignore_errors=False):
        if self._is_update(result):
            self._record(result)
        elif not ignore_errors:
            self._host_row(result, 'failed_before_update', result._result.get('msg', ''))

    def v2_runner_on_unreachable(self, result):
        self._host_row(result, 'unreachable', result._result.get('msg', ''))

    def v2_runner_on_skipped(self, result):
        if self._is_update(result):
            self._host_row(result, 'skipped', 'the update was skipped')

    def _table(self):
        table = []
        for name in self._hosts:
            table += self._rows.get(name) or [dict(host=name, result='not_reached',
                                                   message='not reached')]
        return table

    def _write(self, base, table):
        with open(base + '.json', 'w') as f:
            json.dump(table, f, indent=1)
            f.write('\n')
        with open(base + '.csv', 'w', newline='') as f:
            writer = csv.DictWriter(f, COLUMNS, extrasaction='ignore')
            writer.writeheader()
            writer.writerows(table)

    def v2_playbook_on_stats(self, stats):
        if not self._hosts:
            return
        table = self._table()
        self._display.banner('FIRMWARE ROLLOUT REPORT')
        for row in table:
            self._display.display(line(row))
        base = self.get_option('report_file')
        if base:
            try:
                self._write(base, table)
            except (IOError, OSError) as e:
                self._display.warning('fwupdate_report: cannot write %s.json/.csv: %s' % (base, e))
