#!/usr/bin/python3
"""ansible-test sanity with the linters of Debian's packages instead of pip's.

ansible-test gives each sanity test a virtual environment into which pip installs pinned
linters from the Python package index. The build machines install nothing from there:
pylint, yamllint, pycodestyle and voluptuous come from Debian (tools/common.sh). So the
environments are made with the system's packages visible and nothing is installed into
them; the import test's own environments stay bare, as it needs them to catch a module
importing what a managed host may lack. Everything else is ansible-test as it stands.

Run from the collection's folder (.../ansible_collections/quorin/canconfig), with the
arguments of `ansible-test sanity`. HOME should point at a scratch folder, so these
environments never mix with those of an ansible-test that may use pip.
"""
import sys

from ansible_test._internal.commands import sanity

_create = sanity.create_virtual_environment


def _create_with_system_packages(args, python, path, system_site_packages=False, pip=False):
    bare = '/sanity.import.' in path
    return _create(args, python, path, system_site_packages=not bare, pip=False)


sanity.create_virtual_environment = _create_with_system_packages
sanity.run_pip = lambda *args, **kwargs: None

from ansible_test._internal import main  # noqa: E402

sys.argv[1:1] = ['sanity']
if '--python' not in sys.argv:
    # This interpreter, the one whose packages hold the linters.
    sys.argv[2:2] = ['--python', '%d.%d' % sys.version_info[:2]]
main()
