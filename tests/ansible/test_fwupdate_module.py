#!/usr/bin/env python3
# The fwupdate module on canned fwupdate output: what it runs, and what it reports as
# changed, failed and after for each port. No fwupdate, no modem.
import importlib.util
import json
import os
import sys
import unittest
from unittest import mock

from ansible.module_utils import basic

ANSIBLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'ansible')
# The module imports its module_utils as ansible_collections.orvane.modem...
sys.path.insert(0, ANSIBLE)
MODULE = os.path.join(ANSIBLE, 'ansible_collections', 'orvane', 'modem', 'plugins', 'modules',
                      'fwupdate.py')
spec = importlib.util.spec_from_file_location('fwupdate_module', MODULE)
fwupdate = importlib.util.module_from_spec(spec)
spec.loader.exec_module(fwupdate)
from ansible_collections.orvane.modem.plugins.module_utils.fwupdate_json import FIELDS  # noqa: E402

OLD = ('2.10', ' 03/15/02', '1.07', ' 02/28/02')
NEW = ('2.20', '04/01/03', '1.09', '03/28/03')


def ev(event, port=None, **fields):
    e = dict(schema=1, event=event, **fields)
    if port:
        e['port'] = port
    return e


def ver(port, source, v):
    return ev('versions', port, source=source, **dict(zip(FIELDS, v)), complete=True)


def done(port, outcome, status, state='-'):
    e = ev('port_done', port, outcome=outcome, exit_status=status, message=outcome + '.')
    if state != '-':
        e['flash_state'] = state
    return e


def asked(*pairs):
    # versions events for (port, modem versions) pairs, the image's beside each
    return [x for port, v in pairs for x in (ver(port, 'modem', v), ver(port, 'image', NEW))]


CHECK_AB = asked(('A', NEW), ('B', OLD))
# name, check mode, skip_current, events, rc, stderr,
#   task (failed, changed), ports {port: (outcome, changed, flash_state, after)}
CASES = [
    ('dry run, A current', True, True,
     CHECK_AB + [done('A', 'current', 0, 'untouched'), done('B', 'would_update', 0, 'untouched'),
                 ev('end', command='upgrade', exit_status=0)], 0, '',
     (False, True), {'A': ('current', False, 'untouched', NEW), 'B': ('would_update', True,
                                                                      'untouched', NEW)}),
    ('dry run, A current, no skip_current', True, False,
     CHECK_AB + [done('A', 'current', 0, 'untouched'), done('B', 'would_update', 0, 'untouched'),
                 ev('end', command='upgrade', exit_status=0)], 0, '',
     (False, True), {'A': ('would_update', True, 'untouched', NEW), 'B': ('would_update', True,
                                                                          'untouched', NEW)}),
    ('dry run, A cannot be opened', True, True,
     asked(('B', NEW)) + [done('A', 'cant_open_port', 3, 'untouched'),
                          done('B', 'current', 0, 'untouched'),
                          ev('end', command='upgrade', exit_status=13)], 13, '',
     (True, False), {'A': ('cant_open_port', False, 'untouched', None),
                     'B': ('current', False, 'untouched', NEW)}),
    ('dry run refused by an fwupdate without it', True, True, [], 2, 'unknown option --dry-run',
     (True, False), {'A': ('not_run', False, 'untouched', None)}),
    # An outcome this module does not know: the flash state alone decides.
    ('A stopped before writing, B done', False, True,
     asked(('A', OLD), ('B', OLD)) + [done('A', 'interrupted', 130, 'untouched'),
                                      done('B', 'done', 0, 'written'),
                                      ev('end', command='upgrade', exit_status=13)], 13, '',
     (True, True), {'A': ('interrupted', False, 'untouched', OLD),
                    'B': ('done', True, 'written', NEW)}),
    ('partly written', False, True,
     asked(('A', OLD)) + [done('A', 'transfer_incomplete', 10, 'partly_written'),
                          ev('end', command='upgrade', exit_status=10)], 10, '',
     (True, True), {'A': ('transfer_incomplete', True, 'partly_written', None)}),
    ('killed during the transfer', False, True,
     asked(('A', OLD)) + [ev('consent', 'A', yes=True, by='option'),
                          ev('phase', 'A', phase='erase', total=100),
                          ev('phase', 'A', phase='transfer', total=70000)], -15, '',
     (True, True), {'A': ('interrupted', True, 'partly_written', None)}),
    ('killed after the yes, before the erase event', False, True,
     asked(('A', OLD)) + [ev('consent', 'A', yes=True, by='option')], -15, '',
     (True, True), {'A': ('interrupted', True, 'may_be_erased', None)}),
    ('an fwupdate without flash_state', False, True,
     asked(('A', OLD), ('B', NEW)) + [done('A', 'not_ready', 9), done('B', 'current', 0),
                                      ev('end', command='upgrade', exit_status=13)], 13, '',
     (True, True), {'A': ('not_ready', True, None, None), 'B': ('current', False, None, NEW)}),
]


class Exit(Exception):
    pass


def run(check, skip_current, events, rc, err, ports, diff=False):
    calls = []

    def run_command(_module, cmd, **_kw):
        calls.append(cmd)
        return rc, ''.join(json.dumps(e) + '\n' for e in events), err

    def leave(failed):
        def f(_module, **result):
            raise Exit(dict(result, failed=failed))
        return f

    args = dict(port=ports, image='/img.bin', skip_current=skip_current,
                _ansible_check_mode=check, _ansible_diff=diff)
    with mock.patch.object(basic, '_ANSIBLE_ARGS',
                           json.dumps(dict(ANSIBLE_MODULE_ARGS=args)).encode()), \
            mock.patch.object(basic.AnsibleModule, 'run_command', run_command), \
            mock.patch.object(basic.AnsibleModule, 'get_bin_path', lambda *a, **k: 'fwupdate'), \
            mock.patch.object(basic.AnsibleModule, 'exit_json', leave(False)), \
            mock.patch.object(basic.AnsibleModule, 'fail_json', leave(True)):
        try:
            fwupdate.main()
        except Exit as e:
            return e.args[0], calls
    raise AssertionError('the module did not end')


class FwupdateModule(unittest.TestCase):
    def test_cases(self):
        for name, check, skip, events, rc, err, task, want in CASES:
            with self.subTest(name):
                result, calls = run(check, skip, events, rc, err, list(want))
                self.assertEqual(len(calls), 1, 'one fwupdate run for all the ports')
                cmd = calls[0]
                self.assertEqual([cmd[i + 1] for i, a in enumerate(cmd) if a == '--port'],
                                 list(want))
                self.assertEqual('--dry-run' in cmd, check)
                self.assertEqual('--yes' in cmd, not check)
                self.assertEqual((result['failed'], result['changed']), task, result)
                self.assertEqual([p['port'] for p in result['ports']], list(want))
                for p in result['ports']:
                    outcome, changed, state, after = want[p['port']]
                    self.assertEqual((p['outcome'], p['changed'], p['flash_state']),
                                     (outcome, changed, state), p)
                    self.assertEqual(p['after'], after and dict(zip(FIELDS, after)))
                    self.assertEqual(p['port'] in result['failed_ports'],
                                     outcome not in fwupdate.SUCCEEDED)

    def test_diff_history_and_schema(self):
        events = asked(('A', OLD), ('B', NEW)) + [
            dict(done('A', 'done', 0, 'written'), history_id=41),
            done('B', 'current', 0, 'untouched'), ev('end', command='upgrade', exit_status=0)]
        result, _ = run(False, True, events, 0, '', ['A', 'B'], diff=True)
        self.assertEqual([p.get('history_id') for p in result['ports']], [41, None])
        # One diff, for the port that changed, from its old versions to the image's.
        self.assertEqual([(d['before_header'], 'controller_version: 2.10' in d['before'],
                           'controller_version: 2.20' in d['after']) for d in result['diff']],
                         [('A', True, True)])
        # A schema this module does not know: nothing of it is read, the task fails.
        newer = [dict(e, schema=2) for e in events]
        result, _ = run(False, True, newer, 0, '', ['A', 'B'])
        self.assertTrue(result['failed'])
        self.assertIn('schema 2', result['msg'])
        self.assertEqual(result['ports'], [])


if __name__ == '__main__':
    unittest.main()
