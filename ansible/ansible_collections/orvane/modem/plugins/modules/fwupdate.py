#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright: (c) 2026, Orvane Corp.
# MIT License (see LICENSE or https://opensource.org/licenses/MIT)

from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
---
module: fwupdate
short_description: Update the firmware of modems on serial ports with fwupdate
version_added: "1.0.0"
description:
  - Runs the installed C(fwupdate) program with C(--json) and C(--yes) on the managed machine
    and reports, for each port, the versions before and after, the outcome and the status.
  - A port that fails makes the task fail; the result names the port and the reason.
  - In check mode it runs fwupdate's dry run (C(fwupdate upgrade --dry-run --json), one run
    for all the ports), which queries each modem and touches none, and reports which ports
    would change; fwupdate decides which modems are current.
  - A port counts as changed when fwupdate reports its flash as touched (C(flash_state) other
    than C(untouched)), also when the port failed.
  - With C(--diff), each port's versions before and after (in check mode, the versions it
    would have).
  - Refuses the output of an fwupdate whose JSON schema it does not know, rather than
    misread it.
options:
  port:
    description:
      - The serial port of the modem, or a list of ports; all are updated in one run.
    type: list
    elements: str
    required: true
  image:
    description:
      - Path of the firmware image on the managed machine.
    type: path
    required: true
  skip_current:
    description:
      - Leave a modem alone that already has the image's versions (outcome C(current)).
    type: bool
    default: true
  log:
    description:
      - Path of a transcript of the session with the modem. One port only.
    type: path
  executable:
    description:
      - The fwupdate program to run, a path or a name looked up on C(PATH).
    type: str
    default: fwupdate
attributes:
  check_mode:
    support: full
  diff_mode:
    support: full
notes:
  - The modem is flashed without a question; the task runs unattended.
  - A modem left erased or half written (outcomes C(not_ready), C(transfer_incomplete),
    C(not_confirmed), C(device_gone_erasing), C(device_gone), C(interrupted)) needs the
    update run again.
  - Check mode needs an fwupdate with C(--dry-run); an older one fails the task.
seealso:
  - module: orvane.modem.fwupdate_info
author:
  - Orvane Corp.
'''

EXAMPLES = r'''
- name: Update the modem on the first serial port
  orvane.modem.fwupdate:
    port: /dev/ttyS0
    image: /var/lib/fwupdate/modem-2.20.bin

- name: Update two modems, also one that already has the image
  orvane.modem.fwupdate:
    port:
      - /dev/ttyS0
      - /dev/ttyUSB0
    image: /var/lib/fwupdate/modem-2.20.bin
    skip_current: false

- name: Update one modem and keep a transcript
  orvane.modem.fwupdate:
    port: /dev/ttyUSB0
    image: /var/lib/fwupdate/modem-2.20.bin
    log: /var/log/fwupdate-ttyUSB0.log
  register: modem
'''

RETURN = r'''
ports:
  description: One entry per port, in the order given.
  returned: always
  type: list
  elements: dict
  contains:
    port:
      description: The port as given.
      type: str
      sample: /dev/ttyS0
    before:
      description: The modem's versions as read before the update (null when not read).
      type: dict
      sample: {"controller_version": "2.10", "controller_date": " 03/15/02",
               "dsp_version": "1.07", "dsp_date": " 02/28/02"}
    after:
      description:
        - The modem's versions after the run; the image's after a complete update, as before
          when nothing was written, null when the flash may be half written.
        - In check mode, the versions the modem would have.
      type: dict
    flash_state:
      description:
        - Where fwupdate left the modem's flash, one of C(untouched), C(may_be_erased),
          C(partly_written), C(written); always C(untouched) in check mode.
        - Null from an fwupdate too old to report it; C(changed) then goes by the outcome.
      type: str
      sample: written
    outcome:
      description:
        - fwupdate's outcome, one of C(done), C(current), C(declined), C(cant_open_port),
          C(query_failed), C(cant_open_image), C(incorrect_image), C(not_ready),
          C(transfer_incomplete), C(not_confirmed), C(device_gone_erasing), C(device_gone).
        - In check mode C(would_update) or C(current) (C(would_update) also for a current
          modem when C(skip_current) is false), or the failure that kept fwupdate from asking
          the modem (C(cant_open_port), C(query_failed), C(cant_open_image),
          C(incorrect_image)).
        - C(not_run) when fwupdate ended before this port (the message says why);
          C(interrupted) when it ended during this port's update without its report (killed),
          with the flash C(may_be_erased) or C(partly_written).
      type: str
      sample: done
    status:
      description: fwupdate's exit status for this port alone (0 is success).
      type: int
      sample: 0
    message:
      description: fwupdate's report for this port.
      type: str
      sample: The modem firmware has been updated successfully.
    history_id:
      description: The row of this attempt in fwupdate's history, when fwupdate keeps one.
      type: int
      returned: when fwupdate reports it
    changed:
      description:
        - Whether this port's flash was touched (C(flash_state) not C(untouched)), also when the
          port failed; in check mode, whether it would be flashed.
      type: bool
image:
  description: The image's versions.
  returned: when the image was read
  type: dict
failed_ports:
  description: The ports that failed.
  returned: always
  type: list
  elements: str
status:
  description: fwupdate's exit status.
  returned: always
  type: int
msg:
  description: What happened; on failure each failed port with fwupdate's message.
  returned: always
  type: str
  sample: "/dev/ttyS1: not_ready (status 9): Modem not ready, can't update!"
'''

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.orvane.modem.plugins.module_utils.fwupdate_json import (
    end_status, read_events, schema_error, versions_of)

# Outcomes that wrote nothing, for an fwupdate too old to report flash_state.
UNTOUCHED = ('current', 'would_update', 'declined', 'cant_open_port', 'query_failed',
             'cant_open_image', 'incorrect_image')
SUCCEEDED = ('done', 'current', 'would_update')


def unfinished_state(events, port):
    # fwupdate ended without the port's port_done (killed, interrupted): what it had begun
    # tells where the flash may be. A yes to the question may already have sent the erase.
    mine = [e for e in events if e.get('port') == port]
    if any(e.get('event') == 'phase' and e.get('phase') == 'transfer' for e in mine):
        return 'partly_written'
    if any(e.get('event') == 'phase' or (e.get('event') == 'consent' and e.get('yes'))
           for e in mine):
        return 'may_be_erased'
    return 'untouched'


def port_entries(events, ports, rc, err):
    image_versions = None
    for port in ports:
        image_versions = image_versions or versions_of(events, port, 'image')
    entries = []
    for port in ports:
        before = versions_of(events, port, 'modem')
        done = [e for e in events if e.get('event') == 'port_done' and e.get('port') == port]
        if done:
            d = done[-1]
            outcome = d.get('outcome')
            state = d.get('flash_state')
            entry = dict(port=port, before=before, outcome=outcome, flash_state=state,
                         status=d.get('exit_status'), message=d.get('message', ''))
            if 'history_id' in d:
                entry['history_id'] = d['history_id']
            if state is None:
                entry['changed'] = outcome not in UNTOUCHED
            else:
                entry['changed'] = state != 'untouched'
        else:
            state = unfinished_state(events, port)
            if state == 'untouched':
                # fwupdate refused before touching the port: the run's status and text say why.
                entry = dict(port=port, before=before, outcome='not_run', flash_state=state,
                             status=end_status(events, rc), changed=False,
                             message=err.strip() or 'fwupdate ended before this port')
            else:
                entry = dict(port=port, before=before, outcome='interrupted', flash_state=state,
                             status=end_status(events, rc), changed=True,
                             message=err.strip() or 'fwupdate ended during the update')
        if entry['outcome'] == 'done':
            entry['after'] = image_versions
        elif not entry['changed']:
            entry['after'] = before
        else:
            entry['after'] = None
        entries.append(entry)
    return entries, image_versions


def run(module, cmd, ports):
    rc, out, err = module.run_command(cmd)
    events = read_events(out)
    refused = schema_error(events)
    if refused:
        # Nothing of the output can be trusted; the exit status still says how it ended.
        module.fail_json(msg='%s (fwupdate exit status %s)' % (refused, rc), status=rc,
                         changed=not module.check_mode, ports=[], failed_ports=list(ports))
    entries, image_versions = port_entries(events, ports, rc, err)
    return entries, image_versions, end_status(events, rc)


def upgrade(module, executable, ports, image, skip_current, log):
    cmd = [executable, 'upgrade', image, '--yes', '--json']
    for port in ports:
        cmd += ['--port', port]
    if skip_current:
        cmd.append('--skip-current')
    if log:
        cmd += ['--log', log]
    return run(module, cmd, ports)


def dry_run(module, executable, ports, image, skip_current):
    # fwupdate alone decides whether a modem is current; the dry run touches no modem.
    cmd = [executable, 'upgrade', image, '--dry-run', '--json']
    for port in ports:
        cmd += ['--port', port]
    entries, image_versions, status = run(module, cmd, ports)
    for entry in entries:
        if entry['outcome'] == 'current' and not skip_current:
            entry.update(outcome='would_update',
                         message='The modem already has the image\'s versions; with skip_current '
                                 'false it would be flashed again.')
        if entry['outcome'] == 'would_update':
            entry.update(changed=True, after=image_versions)
    return entries, image_versions, status


def version_lines(versions):
    if not versions:
        return 'not known\n'
    return ''.join('%s: %s\n' % (k, v) for k, v in sorted(versions.items()))


def diffs(entries):
    """One diff per port that changed: its versions before and after."""
    return [dict(before_header=e['port'], after_header=e['port'],
                 before=version_lines(e['before']), after=version_lines(e['after']))
            for e in entries if e['changed']]


def main():
    module = AnsibleModule(
        argument_spec=dict(
            port=dict(type='list', elements='str', required=True),
            image=dict(type='path', required=True),
            skip_current=dict(type='bool', default=True),
            log=dict(type='path'),
            executable=dict(type='str', default='fwupdate'),
        ),
        supports_check_mode=True,
    )
    p = module.params
    ports = p['port']
    if not ports:
        module.fail_json(msg='port: give at least one port')
    if p['log'] and len(ports) > 1:
        module.fail_json(msg='log: a transcript takes one port only')
    executable = module.get_bin_path(p['executable'], required=True)

    if module.check_mode:
        entries, image_versions, status = dry_run(module, executable, ports, p['image'],
                                                  p['skip_current'])
    else:
        entries, image_versions, status = upgrade(module, executable, ports, p['image'],
                                                  p['skip_current'], p['log'])

    failed = [e for e in entries if e['outcome'] not in SUCCEEDED]
    result = dict(changed=any(e['changed'] for e in entries), ports=entries, status=status,
                  failed_ports=[e['port'] for e in failed])
    if image_versions:
        result['image'] = image_versions
    if module._diff:
        result['diff'] = diffs(entries)
    if failed:
        result['msg'] = '; '.join('%s: %s (status %s): %s' % (e['port'], e['outcome'], e['status'],
                                                               e['message']) for e in failed)
        module.fail_json(**result)
    result['msg'] = ', '.join('%s: %s' % (e['port'], e['outcome']) for e in entries)
    module.exit_json(**result)


if __name__ == '__main__':
    main()
