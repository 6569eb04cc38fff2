#!/usr/bin/env bash
# tools/check_msi.sh OLD.msi NEW.msi: checks the installer as an IT department uses it, in
# a Wine prefix of its own (a copy of the untouched template prefix, build/wineprefix),
# and prints one "NAME pass|fail" line per check (tools/test.sh adds them to its count),
# the reasons on standard error. NEW.msi must carry a higher version than OLD.msi.
#   package.msi_tables      component rules (one file per component, key paths, unique
#                           GUIDs, the same GUID for the same key path in both versions),
#                           the upgrade table, the product code derived from the version,
#                           the same package from the same files
#   package.msi_policy_templates  the ADMX and both ADMLs beside NEW, consistent, for the
#                           key and values the program reads
#   package.msi_install     msiexec /i /qn: status 0, a log, the files, the shortcut, the
#                           Add/Remove Programs entry, both installed programs' --version
#   package.msi_policies    the installed program under policies: the fixed language in
#                           force, the note, the fixed menu items unavailable
#                           (gui.UnitCANConfigLanguage_test's Policy case against the installed exe)
#   package.msi_upgrade     NEW over OLD with ADDTOPATH=1: one entry, the new version, no
#                           file of the old one, the folder on the system PATH
#   package.msi_downgrade   OLD over NEW: refused (status 1603, its launch condition, whose
#                           message the tables check), NEW stays
#   package.msi_uninstall   msiexec /x /qn: status 0, nothing left but the user's settings
# Needs DISPLAY (a lane's) and the Windows build (for the GUI test program).
set -u
. "$(dirname "$0")/common.sh"

old=$1 new=$2
work=$(mktemp -d)
export WINEPREFIX=$work/prefix
# No menu entries or file associations on the machine running the checks.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
trap 'stop_wineserver; [ -n "${QUORIN_KEEP_MSI_CHECK:-}" ] || rm -rf "$work"' EXIT

winpath() { echo "Z:${1//\//\\}"; }
table() { msiinfo export "$1" "$2" | tr -d '\r' | tail -n +4; }  # rows only, tab-separated
property() { table "$1" Property | awk -F'\t' -v p="$2" '$1 == p { print $2 }'; }
uuid() { python3 -c 'import sys, uuid; print(str(uuid.uuid5(uuid.UUID("7c1e9a52-0b3d-4f6e-a8d1-3e5f2c9b4a07"), sys.argv[1])).upper())' "$1"; }

# msiexec ARGS... LOG: status of a silent run, its verbose log kept in $work.
msiexec() {
  local log=$work/${*: -1}.log
  wine msiexec "${@:1:$#-1}" /qn /l*v "$(winpath "$log")" </dev/null >/dev/null 2>&1
}
logtext() { # the log as UTF-8, whichever of UTF-16 or 8-bit text the installer wrote
  if [ "$(head -c 2 "$work/$1.log" 2>/dev/null | od -An -tx1 | tr -d ' ')" = fffe ]; then
    iconv -f UTF-16 -t UTF-8 "$work/$1.log"
  else
    cat "$work/$1.log" 2>/dev/null
  fi
}

uninstall_root='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
# Add/Remove Programs entries named like ours, one key per line.
entries() {
  wine reg query "$uninstall_root" /s </dev/null 2>/dev/null | tr -d '\r' |
    awk '/^HKEY/ { key = $0 } $1 == "DisplayName" && / QUORIN CANConfig$/ { print key }'
}
regvalue() {
  wine reg query "$1" /v "$2" </dev/null 2>/dev/null | tr -d '\r' |
    awk -v n="$2" 'tolower($1) == tolower(n) { $1 = ""; $2 = ""; sub(/^ +/, ""); print }'
}

prog=$WINEPREFIX/drive_c/Program\ Files/QUORIN/CANConfig
# The shortcut goes to the common Start menu; Wine's installer puts it in the user's.
shortcut=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/QUORIN\ CANConfig.lnk
user_shortcut=$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Microsoft/Windows/Start\ Menu/Programs/QUORIN\ CANConfig.lnk
version_of() { local v=$(basename "$1"); v=${v#quorin-}; echo "${v%-x64.msi}"; }
old_version=$(version_of "$old") new_version=$(version_of "$new")

# --- the tables, without Wine
why=()
for msi in "$old" "$new"; do
  v=$(version_of "$msi")
  [ "$(property "$msi" ProductVersion)" = "$v" ] || why+=("$msi: ProductVersion $(property "$msi" ProductVersion)")
  [ "$(property "$msi" ProductCode)" = "{$(uuid "product:$v")}" ] ||
    why+=("$msi: the product code is not the version's")
  table "$msi" Component >"$work/components.$v"
  ids=$(cut -f2 "$work/components.$v")
  [ -n "$ids" ] && [ "$(sort <<<"$ids" | uniq -d)" = "" ] || why+=("$msi: duplicate component ids")
  grep -qvE '^\{[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\}$' <<<"$ids" && why+=("$msi: a component id is not a GUID")
  awk -F'\t' '$6 == "" { print $1 }' "$work/components.$v" | grep -q . && why+=("$msi: a component without key path")
  # One file per component, and it is the key path.
  files=$(table "$msi" File)
  dup=$(cut -f2 <<<"$files" | sort | uniq -d)
  [ -z "$dup" ] || why+=("$msi: several files in component $dup")
  while IFS=$'\t' read -r file comp _; do
    [ "$(awk -F'\t' -v c="$comp" '$1 == c { print $6 }' "$work/components.$v")" = "$file" ] ||
      why+=("$msi: $file is not its component's key path")
  done <<<"$files"
  upgrade=$(table "$msi" Upgrade)
  grep -q "^$(property "$msi" UpgradeCode)	$v		" <<<"$upgrade" || why+=("$msi: no upgrade row detecting later versions")
  grep -q "^$(property "$msi" UpgradeCode)		$v	" <<<"$upgrade" || why+=("$msi: no upgrade row removing earlier versions")
  grep -q 'A later version of \[ProductName\] is already installed' <<<"$(table "$msi" CustomAction; table "$msi" LaunchCondition)" ||
    why+=("$msi: no downgrade message")
done
[ "$(property "$old" UpgradeCode)" = "$(property "$new" UpgradeCode)" ] || why+=("the upgrade codes differ")
# The same key path keeps its component GUID from version to version.
join -t $'\t' <(cut -f1,2,6 "$work/components.$old_version" | awk -F'\t' '{ print $3 "\t" $2 }' | sort) \
  <(cut -f1,2,6 "$work/components.$new_version" | awk -F'\t' '{ print $3 "\t" $2 }' | sort) |
  awk -F'\t' '$2 != $3' | grep -q . && why+=("a component changed its GUID between versions")
# The same zip makes the same package, byte for byte.
zip=${new%-x64.msi}-windows-x64.zip
if [ -f "$zip" ]; then
  mkdir -p "$work/again" && cp "$zip" "$work/again/"
  SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$QUORIN_ROOT" log -1 --format=%ct)} \
    "$QUORIN_ROOT/tools/package_msi.sh" "$work/again/$(basename "$zip")" >/dev/null 2>&1
  cmp -s "$work/again/$(basename "$new")" "$new" || why+=("building $(basename "$new") again gave other bytes")
fi
result package.msi_tables "${why[@]}"

# --- the administrative templates beside the installer: every string and presentation the
# ADMX names is in each language's ADML, and the values go under the key the program reads
why=()
templates=${new%-x64.msi}-policies
for f in QUORIN.CANConfig.admx en-US/QUORIN.CANConfig.adml zh-CN/QUORIN.CANConfig.adml; do
  [ -f "$templates/$f" ] || why+=("no $templates/$f")
done
if ((${#why[@]} == 0)); then
  problems=$(python3 - "$templates" <<'PY'
import re, sys, xml.etree.ElementTree as ET
d = sys.argv[1]
ns = {"p": "http://schemas.microsoft.com/GroupPolicy/2006/07/PolicyDefinitions"}
admx = ET.parse(f"{d}/QUORIN.CANConfig.admx")
text = open(f"{d}/QUORIN.CANConfig.admx", encoding="utf-8").read()
strings = set(re.findall(r"\$\(string\.([A-Za-z0-9_]+)\)", text))
presentations = set(re.findall(r"\$\(presentation\.([A-Za-z0-9_]+)\)", text))
for p in admx.getroot().iterfind(".//p:policy", ns):
    if p.get("key") != r"Software\Policies\QUORIN\CANConfig" or p.get("class") != "Machine":
        print(f"policy {p.get('name')}: key {p.get('key')}, class {p.get('class')}")
names = {e.get("valueName") or p.get("valueName") for p in admx.getroot().iterfind(".//p:policy", ns)
         for e in list(p.iterfind(".//p:elements/*", ns)) or [p]}
if names != {"Language", "Skin", "DisableSkinFiles"}:
    print(f"value names {sorted(n or '' for n in names)}")
for lang in ("en-US", "zh-CN"):
    adml = ET.parse(f"{d}/{lang}/QUORIN.CANConfig.adml").getroot()
    have = {s.get("id") for s in adml.iterfind(".//p:stringTable/p:string", ns)}
    shown = {s.get("id") for s in adml.iterfind(".//p:presentationTable/p:presentation", ns)}
    for m in sorted(strings - have): print(f"{lang}: no string {m}")
    for m in sorted(presentations - shown): print(f"{lang}: no presentation {m}")
PY
  ) || problems="the templates do not parse"
  [ -z "$problems" ] || why+=("$problems")
fi
result package.msi_policy_templates "${why[@]}"

# --- a prefix of its own, copied from the template no test runs in
(wine_prefix "$QUORIN_BUILD/wineprefix" && wineserver -w) >/dev/null 2>&1
cp -a "$QUORIN_BUILD/wineprefix" "$WINEPREFIX"
start_wineserver
unmanaged_windows
# The user's own choices, which no installing or uninstalling may touch.
wine reg add 'HKCU\Software\QUORIN\CANConfig' /v Skin /d none /f </dev/null >/dev/null 2>&1

# --- install
why=()
msiexec /i "$(winpath "$old")" install || why+=("msiexec /i returned $?")
logtext install | grep -q 'INSTALL. Return value 1\.' || why+=("the log does not record success")
for f in CANConfig.exe quorin-cli.exe README.txt LICENSE.txt; do [ -f "$prog/$f" ] || why+=("no $f"); done
expected=$(python3 -m zipfile -l "${old%-x64.msi}-windows-x64.zip" | awk 'NR > 1 { print $1 }' |
  sed -n 's#^[^/]*/\(CANConfig.exe\|quorin-cli.exe\|README.txt\|LICENSE.txt\|skins/.*\.skn\)$#\1#p' | sort)
got=$(cd "$prog" 2>/dev/null && find . -type f | sed 's|^\./||' | sort)
[ "$expected" = "$got" ] || why+=("installed files differ from the zip's: $(diff <(echo "$expected") <(echo "$got") | grep '^[<>]' | tr '\n' ' ')")
[ -f "$shortcut" ] || [ -f "$user_shortcut" ] || why+=("no Start-menu shortcut")
key=$(entries)
[ "$(wc -l <<<"$key")" = 1 ] && [ -n "$key" ] || why+=("Add/Remove Programs entries: '$key'")
[ "$(regvalue "$key" DisplayVersion)" = "$old_version" ] || why+=("DisplayVersion '$(regvalue "$key" DisplayVersion)'")
[ "$(regvalue "$key" Publisher)" = QUORIN ] || why+=("Publisher '$(regvalue "$key" Publisher)'")
[ -n "$(regvalue "$key" HelpLink)" ] || why+=("no HelpLink")
[ "$(regvalue "$key" DisplayIcon)" = 'C:\Program Files\QUORIN\CANConfig\CANConfig.exe' ] ||
  why+=("DisplayIcon '$(regvalue "$key" DisplayIcon)'")
size=$(regvalue "$key" Size) estimated=$(regvalue "$key" EstimatedSize)
((${size:-0} > 1000 || ${estimated:-0} > 1000)) || why+=("no size: Size '$size', EstimatedSize '$estimated'")
for exe in CANConfig quorin-cli; do
  out=$(cd "$prog" 2>/dev/null && timeout 60 wine "./$exe.exe" --version </dev/null 2>/dev/null | tr -d '\r')
  [ "$out" = "$exe $old_version" ] || why+=("installed $exe.exe --version printed '$out'")
done
result package.msi_install "${why[@]}"

# --- the installed program under policies
why=()
gui=$QUORIN_BUILD/windows/tests/gui_UnitCANConfigLanguage_test.exe
if [ ! -f "$gui" ]; then
  why+=("no $gui")
else
  QUORIN_EXE='C:\Program Files\QUORIN\CANConfig\CANConfig.exe' timeout 120 wine "$gui" --gtest_filter="Policy.*" >"$work/policy.log" 2>&1 ||
    why+=("the policy GUI test against the installed program: $(grep -E 'Failure|FAILED|error' "$work/policy.log" | head -n 5 | tr '\n' ' ')")
fi
result package.msi_policies "${why[@]}"

# --- upgrade in place, with the folder put on PATH
why=()
envkey='HKLM\System\CurrentControlSet\Control\Session Manager\Environment'
msiexec /i "$(winpath "$new")" ADDTOPATH=1 upgrade || why+=("msiexec /i of the newer package returned $?")
key=$(entries)
[ "$(wc -l <<<"$key")" = 1 ] && [ -n "$key" ] || why+=("Add/Remove Programs entries after the upgrade: '$key'")
[ "$(regvalue "$key" DisplayVersion)" = "$new_version" ] || why+=("DisplayVersion '$(regvalue "$key" DisplayVersion)'")
out=$(cd "$prog" 2>/dev/null && timeout 60 wine ./CANConfig.exe --version </dev/null 2>/dev/null | tr -d '\r')
[ "$out" = "CANConfig $new_version" ] || why+=("CANConfig.exe --version printed '$out' after the upgrade")
got=$(cd "$prog" 2>/dev/null && find . -type f | sed 's|^\./||' | sort)
[ "$expected" = "$got" ] || why+=("files after the upgrade: $(tr '\n' ' ' <<<"$got")")
grep -qi 'C:\\Program Files\\QUORIN\\CANConfig' <<<"$(regvalue "$envkey" PATH)" || why+=("the folder is not on PATH: '$(regvalue "$envkey" PATH)'")
result package.msi_upgrade "${why[@]}"

# --- the older package over the newer one
why=()
msiexec /i "$(winpath "$old")" downgrade
rc=$?
# 1603, installation failed; a Unix status keeps its low byte.
((rc == 1603 % 256)) || why+=("the older package over the newer one: status $rc, not 1603 (installation failed)")
logtext downgrade | grep -q 'LaunchConditions. Return value 0\.' || why+=("the log does not record the refusal")
key=$(entries)
[ "$(wc -l <<<"$key")" = 1 ] && [ "$(regvalue "$key" DisplayVersion)" = "$new_version" ] ||
  why+=("after the refusal: entries '$key', version '$(regvalue "$key" DisplayVersion)'")
result package.msi_downgrade "${why[@]}"

# --- uninstall
why=()
msiexec /x "$(property "$new" ProductCode)" uninstall || why+=("msiexec /x returned $?")
logtext uninstall | grep -q 'INSTALL. Return value 1\.' || why+=("the log does not record the removal")
[ -e "$prog" ] && why+=("left behind: $(cd "$prog" && find . | tr '\n' ' ')")
[ -e "$(dirname "$prog")" ] && why+=("left behind: the QUORIN folder")
[ -e "$shortcut" ] || [ -e "$user_shortcut" ] && why+=("the shortcut stays")
[ -z "$(entries)" ] || why+=("the Add/Remove Programs entry stays")
wine reg query 'HKLM\Software\QUORIN' </dev/null >/dev/null 2>&1 && why+=("HKLM\\Software\\QUORIN stays")
grep -qi 'QUORIN' <<<"$(regvalue "$envkey" PATH)" && why+=("PATH keeps the folder: '$(regvalue "$envkey" PATH)'")
[ "$(regvalue 'HKCU\Software\QUORIN\CANConfig' Skin)" = none ] || why+=("the user's settings are gone")
result package.msi_uninstall "${why[@]}"
