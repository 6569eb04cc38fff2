#!/usr/bin/python
# -*- coding: utf-8 -*-
# MIT License (see LICENSE in the collection)

from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
---
module: converter_info
short_description: Read QUORIN-Q1 converters' profiles and identities
description:
  - Reads one or more QUORIN-Q1 converters attached to the managed host through
    C(quorin-cli read --json) and returns each one's profile and identity, exactly as
    the program gives them. Nothing is written.
version_added: 1.0.0
author:
  - QUORIN support (@quorin)
requirements:
  - quorin-cli on the managed host (the quorin-cli Debian package)
options:
  port:
    description:
      - The converter's serial port, or a list of them. They are read at the same time.
    type: list
    elements: str
    required: true
    aliases: [ports]
  retries:
    description:
      - How many more times to try a converter that gives no valid answer.
    type: int
    default: 0
  cli:
    description:
      - The program to run, a path or a name looked up in PATH.
    type: str
    default: quorin-cli
attributes:
  check_mode:
    description: Reads only, so it runs the same in check mode.
    support: full
  diff_mode:
    description: Changes nothing, so there is nothing to show.
    support: none
'''

EXAMPLES = r'''
- name: Read every converter of a bench
  quorin.canconfig.converter_info:
    port: [/dev/ttyUSB0, /dev/ttyUSB1]
  register: bench

- name: Show each converter's serial number and baud rate
  ansible.builtin.debug:
    msg: "{{ item.identity.serial_number }}: {{ item.profile.serial.baud_rate }}"
  loop: "{{ bench.converters }}"
'''

RETURN = r'''
converters:
  description: One entry per port, in the order given.
  returned: always
  type: list
  elements: dict
  contains:
    port:
      description: The port.
      type: str
      sample: /dev/ttyUSB0
    profile:
      description: The converter's profile, as C(quorin-cli read --json) gives it (with its identity).
      type: dict
      returned: when the converter answered
    identity:
      description: The converter's identity (product code, serial number, firmware, ...).
      type: dict
      returned: when the converter answered
      sample: {"product_code": "QUORIN-Q1", "serial_number": "20-26-0C-07", "firmware_version": 105}
    warnings:
      description: Fields the profile does not show as the converter holds them.
      type: list
      elements: dict
      returned: when there are any
    result:
      description: The program's word for the outcome.
      type: str
      sample: ok
    status:
      description: The program's exit status for this port (0 for success).
      type: int
      sample: 0
    detail:
      description: What happened, in the program's words.
      type: str
      sample: read
msg:
  description: The failed ports' outcomes.
  returned: on failure
  type: str
'''

import os
import tempfile

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.quorin.canconfig.plugins.module_utils import quorin_cli


def main():
    module = AnsibleModule(
        argument_spec=dict(
            port=dict(type='list', elements='str', required=True, aliases=['ports']),
            retries=dict(type='int', default=0),
            cli=dict(type='str', default='quorin-cli'),
        ),
        supports_check_mode=True,
    )
    if not module.params['port']:
        module.fail_json(msg='port names no converter')
    if module.params['retries'] < 0:
        module.fail_json(msg='retries must not be negative')
    # Several ports are read at once only into files; the document carries the profiles
    # all the same, so the files go into a folder of their own that goes with the module.
    folder = tempfile.mkdtemp(dir=module.tmpdir)
    document, dummy, dummy = quorin_cli.run(module, 'read', quorin_cli.port_arguments(module.params['port'])
                                            + ['--out', os.path.join(folder, '{port}.json')])
    refused = quorin_cli.refusal(document)
    if refused:
        module.fail_json(msg=refused, converters=[])
    converters = document['ports']
    for entry in converters:
        entry.pop('file', None)
        if 'profile' in entry:
            entry['identity'] = entry['profile'].get('identity', {})
    failed = quorin_cli.failures(converters)
    if failed:
        module.fail_json(msg='; '.join(failed), converters=converters)
    module.exit_json(changed=False, converters=converters)


if __name__ == '__main__':
    main()
