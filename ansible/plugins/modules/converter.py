#!/usr/bin/python
# -*- coding: utf-8 -*-
# MIT License (see LICENSE in the collection)

from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
---
module: converter
short_description: Apply settings to QUORIN-Q1 converters
description:
  - Applies settings to one or more QUORIN-Q1 converters attached to the managed host,
    through C(quorin-cli --json) on that host.
  - With O(settings) only the named settings change (C(quorin-cli set)); every other byte
    of the parameter block goes back as it was read. With O(profile) the converter gets the
    whole profile file (C(quorin-cli write)).
  - A converter that already holds what is asked is not written, so a second identical run
    reports no change.
  - Every write is read back and compared by the program. One converter that cannot be
    served fails the task with the program's message; the other ports are still served.
version_added: 1.0.0
author:
  - QUORIN support (@quorin)
requirements:
  - quorin-cli on the managed host (the quorin-cli Debian package)
options:
  port:
    description:
      - The converter's serial port, or a list of them. They are served at the same time.
      - A device path (C(/dev/ttyUSB0)) or a name under C(/dev) (C(ttyUSB0)).
    type: list
    elements: str
    required: true
    aliases: [ports]
  settings:
    description:
      - Profile settings by their dotted JSON path, as C(quorin-cli set) takes them, for
        example C(serial.baud_rate) or C(filters.entries[0].end_id).
      - Values are the profile's keywords (C(500Kbps), C(RS485)); numbers and booleans may
        be given as YAML numbers and booleans, lists and mappings as YAML too.
      - Mutually exclusive with O(profile).
    type: dict
  profile:
    description:
      - A profile file on the managed host (JSON, as C(quorin-cli read) saves it) to write
        whole. The identity it carries is never written.
      - Mutually exclusive with O(settings).
    type: path
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
    description: Reads each converter and reports what would change; nothing is written.
    support: full
  diff_mode:
    description: Shows, per port, the changed settings' values before and after.
    support: full
notes:
  - Converters are served on the managed host; use O(port) names as that host sees them.
'''

EXAMPLES = r'''
- name: Two settings on two converters
  quorin.canconfig.converter:
    port: [/dev/ttyUSB0, /dev/ttyUSB1]
    settings:
      serial.baud_rate: 115200
      can.bit_rate.arbitration: 500Kbps

- name: One filter row, with a retry for a converter on a noisy line
  quorin.canconfig.converter:
    port: ttyUSB0
    retries: 1
    settings:
      filters.enabled: true
      filters.entries:
        - {port: CAN1, frame_type: standard, start_id: "0x100", end_id: "0x1FF"}

- name: A whole profile saved earlier by quorin-cli read
  quorin.canconfig.converter:
    port: /dev/ttyUSB0
    profile: /etc/quorin/site-a.json
'''

RETURN = r'''
ports:
  description: One entry per port, as C(quorin-cli --json) reports it, plus C(changed).
  returned: when the program served the ports
  type: list
  elements: dict
  contains:
    port:
      description: The port.
      type: str
      sample: /dev/ttyUSB0
    result:
      description: The program's word for the outcome (C(ok), C(not-open), C(readback-failed), ...).
      type: str
      sample: ok
    status:
      description: The program's exit status for this port (0 for success).
      type: int
      sample: 0
    detail:
      description: What happened, in the program's words.
      type: str
      sample: written and verified
    tries:
      description: How many times the converter was tried.
      type: int
      sample: 1
    seconds:
      description: The time this port took.
      type: float
      sample: 1.6
    differences:
      description: The settings that differ, with the converter's and the asked value.
      type: list
      elements: dict
      returned: when something differs
      sample: [{"setting": "serial.baud_rate", "converter": 9600, "profile": 115200}]
    changed:
      description: Whether this converter was written (in check mode, would be).
      type: bool
      sample: true
msg:
  description: The ports' outcomes, or the program's message when it refused the call.
  returned: always
  type: str
  sample: "/dev/ttyUSB1: no answer within 300 ms (converter off, unplugged, or another device)"
'''

import json

from ansible.module_utils.basic import AnsibleModule
from ansible.module_utils.six import string_types
from ansible_collections.quorin.canconfig.plugins.module_utils import quorin_cli


def setting_argument(key, value):
    """KEY=VALUE as set takes it: keywords bare, everything else as JSON."""
    if isinstance(value, string_types):
        return '%s=%s' % (key, value)
    return '%s=%s' % (key, json.dumps(value))


def shown(value):
    return json.dumps(value, sort_keys=True)


def port_diff(entry):
    before = ''.join('%s: %s\n' % (d['setting'], shown(d['converter'])) for d in entry['differences'])
    after = ''.join('%s: %s\n' % (d['setting'], shown(d['profile'])) for d in entry['differences'])
    return {'before_header': entry['port'], 'after_header': entry['port'], 'before': before, 'after': after}


def apply_settings(module, ports):
    args = quorin_cli.port_arguments(ports)
    if module.check_mode:
        args.append('--dry-run')
    args.extend(setting_argument(k, v) for k, v in sorted(module.params['settings'].items()))
    document, dummy, dummy = quorin_cli.run(module, 'set', args)
    return document


def apply_profile(module, ports):
    """A dry run shows which converters differ; only those are written."""
    profile = module.params['profile']
    document, dummy, dummy = quorin_cli.run(module, 'write', quorin_cli.port_arguments(ports) + ['--dry-run', profile])
    if module.check_mode or document.get('error'):
        return document
    differing = [p['port'] for p in document['ports'] if p.get('status') == 0 and p.get('differences')]
    written = {}
    if differing:
        result, dummy, dummy = quorin_cli.run(module, 'write', quorin_cli.port_arguments(differing) + [profile])
        if result.get('error'):
            return result
        written = dict((p['port'], p) for p in result['ports'])
    ports = []
    for entry in document['ports']:
        if entry['port'] in written:
            # The write reports its outcome; what it changed is what the dry run found.
            dry = entry
            entry = written[dry['port']]
            entry.setdefault('differences', dry['differences'])
        elif entry.get('status') == 0:
            entry['detail'] = 'already as asked; nothing written'
        ports.append(entry)
    document['ports'] = ports
    return document


def main():
    module = AnsibleModule(
        argument_spec=dict(
            port=dict(type='list', elements='str', required=True, aliases=['ports']),
            settings=dict(type='dict'),
            profile=dict(type='path'),
            retries=dict(type='int', default=0),
            cli=dict(type='str', default='quorin-cli'),
        ),
        mutually_exclusive=[('settings', 'profile')],
        required_one_of=[('settings', 'profile')],
        supports_check_mode=True,
    )
    ports = module.params['port']
    if not ports:
        module.fail_json(msg='port names no converter')
    if module.params['retries'] < 0:
        module.fail_json(msg='retries must not be negative')
    if module.params['settings'] is not None and not module.params['settings']:
        module.fail_json(msg='settings names no setting')

    if module.params['settings'] is not None:
        document = apply_settings(module, ports)
    else:
        document = apply_profile(module, ports)

    refused = quorin_cli.refusal(document)
    if refused:
        module.fail_json(msg=refused, changed=False, ports=[], issues=document.get('issues', []))

    results = document['ports']
    for entry in results:
        # A failed read-back still follows a write; only a converter that was never
        # reached, or held everything already, is unchanged.
        entry['changed'] = bool(entry.get('differences'))
    changed = any(entry['changed'] for entry in results)
    outcome = dict(changed=changed, ports=results)
    if module._diff:
        outcome['diff'] = [port_diff(entry) for entry in results if entry.get('differences')]

    failed = quorin_cli.failures(results)
    if failed:
        module.fail_json(msg='; '.join(failed), **outcome)
    outcome['msg'] = '; '.join('%s: %s' % (e['port'], e['detail']) for e in results)
    module.exit_json(**outcome)


if __name__ == '__main__':
    main()
