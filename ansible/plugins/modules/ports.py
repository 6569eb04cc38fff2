#!/usr/bin/python
# -*- coding: utf-8 -*-
# MIT License (see LICENSE in the collection)

from __future__ import absolute_import, division, print_function
__metaclass__ = type

DOCUMENTATION = r'''
---
module: ports
short_description: Find the QUORIN-Q1 converters on a host's serial ports
description:
  - Probes every serial port of the managed host (C(/dev/ttyUSB*), C(ttyACM*), C(ttyS*))
    and those named in O(port), all at once, through C(quorin-cli ports --probe --json),
    and says which answer as a converter, which are busy and which are silent.
  - Nothing is written to any port's converter.
version_added: 1.0.0
author:
  - QUORIN support (@quorin)
requirements:
  - quorin-cli on the managed host (the quorin-cli Debian package)
options:
  port:
    description:
      - Ports to probe besides those found, for example a converter behind a symbolic link.
    type: list
    elements: str
    default: []
    aliases: [ports]
  cli:
    description:
      - The program to run, a path or a name looked up in PATH.
    type: str
    default: quorin-cli
attributes:
  check_mode:
    description: Probes only, so it runs the same in check mode.
    support: full
  diff_mode:
    description: Changes nothing, so there is nothing to show.
    support: none
'''

EXAMPLES = r'''
- name: Find the converters
  quorin.canconfig.ports:
  register: found

- name: Set the baud rate on every converter found
  quorin.canconfig.converter:
    port: "{{ found.converters }}"
    settings:
      serial.baud_rate: 115200
  when: found.converters | length > 0
'''

RETURN = r'''
ports:
  description: Every port probed, as C(quorin-cli ports --probe --json) reports it.
  returned: always
  type: list
  elements: dict
  contains:
    port:
      description: The port.
      type: str
      sample: /dev/ttyUSB0
    result:
      description: C(converter), C(busy), C(silent) or the reason the port did not open.
      type: str
      sample: converter
    detail:
      description: What the probe found, in the program's words.
      type: str
      sample: QUORIN-Q1, serial number 20-26-0C-07, firmware 105
    identity:
      description: The converter's identity.
      type: dict
      returned: when a converter answered
converters:
  description: The ports where a converter answered.
  returned: always
  type: list
  elements: str
  sample: [/dev/ttyUSB0]
'''

from ansible.module_utils.basic import AnsibleModule
from ansible_collections.quorin.canconfig.plugins.module_utils import quorin_cli


def main():
    module = AnsibleModule(
        argument_spec=dict(
            port=dict(type='list', elements='str', default=[], aliases=['ports']),
            cli=dict(type='str', default='quorin-cli'),
        ),
        supports_check_mode=True,
    )
    document, dummy, dummy = quorin_cli.run(module, 'ports',
                                            ['--probe'] + quorin_cli.port_arguments(module.params['port']))
    refused = quorin_cli.refusal(document)
    if refused:
        module.fail_json(msg=refused, ports=[], converters=[])
    # A silent or busy port is an answer of the probe, not a failure of the task.
    ports = document['ports']
    converters = [p['port'] for p in ports if p.get('result') == 'converter']
    module.exit_json(changed=False, ports=ports, converters=converters)


if __name__ == '__main__':
    main()
