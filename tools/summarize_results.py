#!/usr/bin/env python3
"""Adds up GoogleTest XML results into one closing line "N passed, N failed".

collect BUILD TAG RESULTS: copy each test executable's XML into RESULTS; an executable
  that ctest ran but that left no XML (it crashed or hung) counts as one failure.
times RESULTS: each test program's time from the ctest logs, longest first.
total RESULTS EXTRA_FAILURES: print the failed cases and the closing line; exit 1 on any failure.
"""
import glob
import os
import re
import shutil
import sys
import xml.etree.ElementTree as ET


def collect(build, tag, results):
    log = os.path.join(results, tag + ".ctest.log")
    ran = []
    if os.path.exists(log):
        for line in open(log, errors="replace"):
            m = re.search(r"Test\s+#\d+:\s+(\S+)\s+\.+.*?(Passed|\*\*\*Failed|Failed|\*\*\*Timeout|\*\*\*Exception|Not Run|Subprocess aborted)", line)
            if m:
                ran.append((m.group(1), m.group(2)))
    with open(os.path.join(results, "plain.results"), "a") as plain:
        for name, status in ran:
            xml = os.path.join(build, "test-results", name + ".xml")
            if os.path.exists(xml):
                shutil.copy(xml, os.path.join(results, tag + "." + name + ".xml"))
                if status != "Passed":
                    # The executable failed beyond its cases (for example a crash at exit).
                    try:
                        root = ET.parse(xml).getroot()
                        if int(root.get("failures", 0)) + int(root.get("errors", 0)) == 0:
                            plain.write(f"{tag}.{name} fail\n")
                    except ET.ParseError:
                        plain.write(f"{tag}.{name} fail\n")
            else:
                plain.write(f"{tag}.{name} {'pass' if status == 'Passed' else 'fail'}\n")


def times(results):
    rows = []
    for log in sorted(glob.glob(os.path.join(results, "*.ctest.log"))):
        tag = os.path.basename(log)[: -len(".ctest.log")]
        for line in open(log, errors="replace"):
            m = re.search(r"Test\s+#\d+:\s+(\S+)\s+\.+.*?([\d.]+) sec", line)
            if m:
                rows.append((float(m.group(2)), tag, m.group(1)))
    for tag in sorted({r[1] for r in rows}):
        mine = [r for r in rows if r[1] == tag]
        print(f"{tag}: {len(mine)} programs, {sum(r[0] for r in mine):.0f} s in all")
        for seconds, _, name in sorted(mine, reverse=True):
            print(f"  {seconds:7.1f} s  {name}")


def total(results, extra):
    passed = failed = 0
    failed_names = []
    for xml in sorted(glob.glob(os.path.join(results, "*.xml"))):
        try:
            root = ET.parse(xml).getroot()
        except ET.ParseError:
            failed += 1
            failed_names.append(os.path.basename(xml) + " (unreadable results)")
            continue
        for case in root.iter("testcase"):
            if case.get("status") == "notrun" or case.get("result") == "skipped":
                continue
            if case.find("failure") is not None or case.find("error") is not None:
                failed += 1
                failed_names.append(f"{os.path.basename(xml)[:-4]}: {case.get('classname')}.{case.get('name')}")
            else:
                passed += 1
    plain = os.path.join(results, "plain.results")
    if os.path.exists(plain):
        for line in open(plain):
            parts = line.split()
            if len(parts) == 2:
                if parts[1] == "pass":
                    passed += 1
                else:
                    failed += 1
                    failed_names.append(parts[0])
    failed += int(extra)
    for n in failed_names:
        print("FAILED:", n)
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    if sys.argv[1] == "collect":
        collect(*sys.argv[2:5])
    elif sys.argv[1] == "times":
        times(sys.argv[2])
    else:
        sys.exit(total(sys.argv[2], sys.argv[3] if len(sys.argv) > 3 else 0))
