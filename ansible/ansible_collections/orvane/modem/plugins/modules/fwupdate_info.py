#!/usr/bin/python
# -*- coding: utf-8 -*-
# Copyright: (c) 2026, Orvane Corp.
# MIT License (see LICENSE or https://opensource.org/licenses/MIT)

from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
---
module: fwupdate_info
short_description: The installed fwupdate's version and the firmware versions of modems
version_added: "1.1.0"
description:
  - Reports the version of the installed C(fwupdate) program and, for each port given, the
    versions and dates of the modem's controller and DSP firmware, read with
    C(fwupdate info --json), which sends the modem only its query commands.
  - Changes nothing; runs in check mode as in a normal run.
  - A port whose modem cannot be read makes the task fail; the result names the port.
options:
  port:
    description:
      - The serial ports of the modems to ask; none asks no modem.
    type: list
    elements: str
    default: []
  image:
    description:
      - A firmware image on the managed machine; its versions are returned too.
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
    support: none
seealso:
  - module: orvane.modem.fwupdate
author:
  - Orvane Corp.
'''

EXAMPLES = r'''
- name: Read the firmware versions of the machine's modem
  orvane.modem.fwupdate_info:
    port: /dev/ttyUSB0
  register: modem_info

- name: Show the controller version
  ansible.builtin.debug:
    msg: "{{ modem_info.ports[0].versions.controller_version }}"
'''

RETURN = r'''
version:
  description: The installed fwupdate's version, as C(fwupdate --version) gives it.
  returned: always
  type: str
  sample: 1.0.0.1
ports:
  description: One entry per port, in the order given.
  returned: always
  type: list
  elements: dict
  contains:
    port:
      description: The port as given.
      type: str
    versions:
      description: The modem's versions and dates (null when it could not be read).
      type: dict
      sample: {"controller_version": "2.10", "controller_date": " 03/15/02",
               "dsp_version": "1.07", "dsp_date": " 02/28/02"}
    status:
      description: fwupdate's exit status for this port (0 is success).
      type: int
    message:
      description: Why the modem could not be read, in fwupdate's words; empty on success.
      type: str
image:
  description: The image's versions.
  returned: when an image was given and read
  type: dict
'''

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.orvane.modem.plugins.module_utils.fwupdate_json import (
    end_status, read_events, schema_error, versions_of)


def read_port(module, executable, port, image):
    cmd = [executable, 'info', '--port', port, '--json']
    if image:
        cmd.append(image)
    rc, out, err = module.run_command(cmd)
    events = read_events(out)
    refused = schema_error(events)
    if refused:
        module.fail_json(msg=refused)
    status = end_status(events, rc)
    entry = dict(port=port, versions=versions_of(events, port, 'modem'), status=status,
                 message='' if status == 0 else err.strip())
    return entry, versions_of(events, port, 'image')


def main():
    module = AnsibleModule(
        argument_spec=dict(
            port=dict(type='list', elements='str', default=[]),
            image=dict(type='path'),
            executable=dict(type='str', default='fwupdate'),
        ),
        supports_check_mode=True,
    )
    p = module.params
    executable = module.get_bin_path(p['executable'], required=True)
    rc, out, err = module.run_command([executable, '--version'])
    if rc != 0:
        module.fail_json(msg='%s --version failed (status %d): %s' % (executable, rc, err.strip()))
    # "fwupdate 1.0.0.1": the name, then the version.
    result = dict(changed=False, version=out.strip().split()[-1] if out.strip() else '',
                  ports=[])
    for port in p['port']:
        entry, image_versions = read_port(module, executable, port, p['image'])
        result['ports'].append(entry)
        if image_versions:
            result['image'] = image_versions
    failed = [e for e in result['ports'] if e['status'] != 0]
    if failed:
        module.fail_json(msg='; '.join('%s: status %s: %s' % (e['port'], e['status'], e['message'])
                                       for e in failed), **result)
    module.exit_json(**result)


if __name__ == '__main__':
    main()
