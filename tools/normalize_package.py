#!/usr/bin/env python3
"""Rewrites a release archive so that its bytes depend on its contents only.

    normalize_package.py zip FILE      entries sorted, dated SOURCE_DATE_EPOCH, modes
                                       0644 or 0755, made on Unix, deflated at level 9
    normalize_package.py targz FILE    entries sorted, dated SOURCE_DATE_EPOCH, owned by
                                       root with no owner names; gzip without a name or time

Archivers record when and by whom each file was made; two builds of one commit would then
differ in those fields alone, and nobody could check a package against its source.
"""
import gzip
import io
import os
import sys
import tarfile
import time
import zipfile


def epoch():
    value = os.environ.get('SOURCE_DATE_EPOCH')
    if not value:
        sys.exit('normalize_package.py: SOURCE_DATE_EPOCH is not set')
    return int(value)


def normalize_zip(path):
    # A zip's dates are local calendar fields from 1980 on; they are written as UTC.
    stamp = time.gmtime(max(epoch(), 315532800))[:6]
    with zipfile.ZipFile(path) as source:
        entries = [(info, source.read(info)) for info in source.infolist()]
    out = io.BytesIO()
    with zipfile.ZipFile(out, 'w') as target:
        for info, data in sorted(entries, key=lambda e: e[0].filename):
            fresh = zipfile.ZipInfo(info.filename, date_time=stamp)
            fresh.create_system = 3
            if info.is_dir():
                fresh.external_attr = (0o40755 << 16) | 0x10
                target.writestr(fresh, b'')
                continue
            executable = (info.external_attr >> 16) & 0o111 or info.filename.lower().endswith('.exe')
            fresh.external_attr = (0o100755 if executable else 0o100644) << 16
            fresh.compress_type = zipfile.ZIP_DEFLATED
            target.writestr(fresh, data, compress_type=zipfile.ZIP_DEFLATED, compresslevel=9)
    with open(path, 'wb') as f:
        f.write(out.getvalue())


def normalize_targz(path):
    when = epoch()
    with tarfile.open(path, 'r:gz') as source:
        members = [(m, source.extractfile(m).read() if m.isfile() else None) for m in source.getmembers()]
    raw = io.BytesIO()
    with tarfile.open(fileobj=raw, mode='w', format=tarfile.GNU_FORMAT) as target:
        for member, data in sorted(members, key=lambda m: m[0].name):
            member.mtime = when
            member.uid = member.gid = 0
            member.uname = member.gname = ''
            if member.isdir():
                member.mode = 0o755
            elif member.isfile():
                member.mode = 0o755 if member.mode & 0o111 else 0o644
            target.addfile(member, io.BytesIO(data) if data is not None else None)
    out = io.BytesIO()
    with gzip.GzipFile(filename='', mode='wb', fileobj=out, mtime=0, compresslevel=9) as z:
        z.write(raw.getvalue())
    with open(path, 'wb') as f:
        f.write(out.getvalue())


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in ('zip', 'targz'):
        sys.exit(__doc__)
    {'zip': normalize_zip, 'targz': normalize_targz}[sys.argv[1]](sys.argv[2])


if __name__ == '__main__':
    main()
