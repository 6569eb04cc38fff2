# -*- coding: utf-8 -*-
# MIT License (see LICENSE in the collection)
"""Runs quorin-cli with --json on the managed host and reads its one document.

The modules write no converter code of their own: everything that reaches a converter
goes through the program, so a host gets the same checks, retries and verification as
an operator at the prompt.
"""

from __future__ import absolute_import, division, print_function
__metaclass__ = type

import json
import os


def cli_path(module):
    """The program named by the cli option: a path as given, a bare name from PATH."""
    name = module.params['cli']
    if os.sep in name:
        if not (os.path.isfile(name) and os.access(name, os.X_OK)):
            module.fail_json(msg='%s is not an executable file' % name)
        return name
    return module.get_bin_path(name, required=True)


def port_arguments(ports):
    args = []
    for port in ports:
        args.extend(['--port', port])
    return args


def run(module, command, args):
    """Runs `quorin-cli COMMAND --json ARGS` and returns (document, exit status, errors).

    A program that prints no JSON document (not quorin-cli, or one too old for --json)
    fails the task with what it said on standard error.
    """
    argv = [cli_path(module), command, '--json']
    retries = module.params.get('retries')
    if retries:
        argv.extend(['--retries', str(retries)])
    argv.extend(args)
    rc, out, err = module.run_command(argv)
    try:
        document = json.loads(out)
    except ValueError:
        module.fail_json(msg='%s printed no JSON document (exit status %d): %s'
                         % (argv[0], rc, (err or out).strip()), rc=rc, cmd=argv)
    if not isinstance(document, dict) or not isinstance(document.get('ports'), list):
        module.fail_json(msg='%s printed an unexpected document' % argv[0], rc=rc, cmd=argv)
    return document, rc, err


def refusal(document):
    """The message of a call refused before any port was served, or None."""
    error = document.get('error')
    if not error:
        return None
    lines = [error]
    for issue in document.get('issues') or []:
        lines.append('%s: %s' % (issue.get('path', ''), issue.get('message', '')))
    return 'quorin-cli: ' + ' '.join(lines)


def failures(ports):
    """'PORT: DETAIL' for every port whose status is not 0."""
    return ['%s: %s' % (p.get('port'), p.get('detail')) for p in ports if p.get('status') != 0]
