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
    message, and names the machines of the play that the rollout never reached.
  - A play that stops on max_fail_percentage ends the playbook, so a report play would not
    run then; a callback does.
requirements:
  - enable in ansible.cfg (callbacks_enabled = orvane.modem.fwupdate_report)
'''

from ansible.plugins.callback import CallbackBase


class CallbackModule(CallbackBase):
    CALLBACK_VERSION = 2.0
    CALLBACK_TYPE = 'aggregate'
    CALLBACK_NAME = 'orvane.modem.fwupdate_report'
    CALLBACK_NEEDS_ENABLED = True

    def __init__(self):
        super(CallbackModule, self).__init__()
        self._hosts = []
        self._lines = {}

    def v2_playbook_on_play_start(self, play):
        # Every machine the play was meant for, so the ones never reached can be named; the
        # inventory is restricted to the current batch here, hence ignore_restrictions.
        try:
            inventory = play.get_variable_manager()._inventory
            hosts = inventory.get_hosts(play.hosts, ignore_restrictions=True)
        except Exception:  # pylint: disable=broad-except
            hosts = []
        for host in hosts:
            if host.name not in self._hosts:
                self._hosts.append(host.name)

    def _record(self, result):
        if not result._task.action.endswith('fwupdate'):
            return
        name = result._host.get_name()
        res = result._result
        lines = []
        for port in res.get('ports') or []:
            # The flash state tells a failure that left the modem as it was from one that
            # needs the update run again.
            state = ', flash %s' % port['flash_state'] if port.get('flash_state') else ''
            lines.append('%s %s: %s, status %s%s: %s' % (name, port.get('port'), port.get('outcome'),
                                                        port.get('status'), state,
                                                        port.get('message')))
        if not lines:
            lines.append('%s: failed: %s' % (name, res.get('msg', '')))
        self._lines[name] = lines
        if name not in self._hosts:
            self._hosts.append(name)

    def v2_runner_on_ok(self, result):
        self._record(result)

    def v2_runner_on_failed(self, result, ignore_errors=False):
        self._record(result)

    def v2_playbook_on_stats(self, stats):
        if not self._lines:
            return
        self._display.banner('FIRMWARE ROLLOUT REPORT')
        for name in self._hosts:
            for line in self._lines.get(name, ['%s: not reached' % name]):
                self._display.display(line)
