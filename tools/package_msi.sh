#!/usr/bin/env bash
# tools/package_msi.sh ZIP: the Windows Installer package of a release zip, written beside
# it as quorin-VERSION-x64.msi, with the administrative templates beside it in
# quorin-VERSION-policies/ (the zip carries them too). Called by tools/package.sh.
#
# The package is built by wixl from packaging/quorin.wxs and the zip's files, so it holds
# exactly what the zip holds. The same zip gives the same package, byte for byte: the
# product code (from the version), the package code (from the version and the zip) and
# every component's GUID (from its file's installed path) are derived, never drawn at
# random, and the file times and the summary's dates come from SOURCE_DATE_EPOCH (else
# the last commit's time).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)

zip=${1:?usage: package_msi.sh quorin-VERSION-windows-x64.zip}
base=$(basename "$zip" .zip)
version=${base#quorin-}; version=${version%-windows-x64}
[[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || { echo "package_msi.sh: no version in $zip" >&2; exit 2; }
dist=$(cd "$(dirname "$zip")" && pwd)
msi=$dist/quorin-$version-x64.msi
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$ROOT" log -1 --format=%ct 2>/dev/null || echo 0)}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 -m zipfile -e "$zip" "$work/zip"
files=$work/zip/$base
[ -f "$files/CANConfig.exe" ] || { echo "package_msi.sh: $zip holds no $base/CANConfig.exe" >&2; exit 1; }
find "$files" -exec touch -h -d "@$epoch" {} +

# uuid NAME: a name-based GUID (SHA-1, RFC 4122 version 5) in the product's own namespace.
uuid() { python3 -c 'import sys, uuid; print(str(uuid.uuid5(uuid.UUID("7c1e9a52-0b3d-4f6e-a8d1-3e5f2c9b4a07"), sys.argv[1])).upper())' "$1"; }

# The skins\ folder's files, one component each, its GUID from its installed path.
{
  echo '<?xml version="1.0" encoding="utf-8"?>'
  echo '<Wix xmlns="http://schemas.microsoft.com/wix/2006/wi"><Fragment>'
  echo '<DirectoryRef Id="SkinsFolder">'
  i=0
  for f in "$files"/skins/*.skn; do
    [ -f "$f" ] || continue
    n=$(basename "$f")
    [[ $n =~ ^[A-Za-z0-9._-]+$ ]] || { echo "package_msi.sh: skin file name '$n' is not plain" >&2; exit 1; }
    i=$((i + 1))
    echo "<Component Id=\"Skin$i\" Guid=\"$(uuid "component:skins\\$n")\" Win64=\"yes\">"
    echo "<File Id=\"Skin$i\" Name=\"$n\" Source=\"zip/$base/skins/$n\" KeyPath=\"yes\" /></Component>"
  done
  echo '</DirectoryRef><ComponentGroup Id="Skins">'
  for ((j = 1; j <= i; j++)); do echo "<ComponentRef Id=\"Skin$j\" />"; done
  echo '</ComponentGroup></Fragment></Wix>'
} >"$work/skins.wxs"

# The installed files' size, rounded up to KiB (the policy templates are not installed).
size_kb=$(find "$files" -type f -not -path "$files/policies/*" -printf '%s\n' | awk '{ t += $1 } END { printf "%d", (t + 1023) / 1024 }')
# wixl takes the files' paths relative to the folder it runs in.
cp "$ROOT/app/CANConfig.ico" "$work/CANConfig.ico"
# The summary's dates are the clock's when wixl and msibuild write it: both run with the
# clock stopped at the epoch (a clock started there and left running reached the next
# second on a busy machine).
at_epoch() { TZ=UTC faketime -f "$(date -u -d "@$epoch" "+%Y-%m-%d %H:%M:%S")" "$@"; }
(cd "$work" && at_epoch wixl -a x64 -o out.msi -D Version="$version" -D ProductCode="$(uuid "product:$version")" \
  -D Files="zip/$base" -D Icon=CANConfig.ico -D SizeKB="$size_kb" "$ROOT/packaging/quorin.wxs" skins.wxs)

# ADDTOPATH=1: the folder at the end of the system PATH, taken off again at uninstall.
# wixl has no element for the Environment table, so it is added here as the installer's
# own tables describe it ("=-*": set, remove at uninstall, system variable; "[~];" append).
cat >"$work/Environment.idt" <<'IDT'
Environment	Name	Value	Component_
s72	l255	L255	s72
Environment	Environment
AddToPathEntry	=-*PATH	[~];[INSTALLDIR]	AddToPath
IDT
# ADDTOPATH reaches the part of the install that runs with the administrator's rights
# only when it is a secure property.
at_epoch msibuild "$work/out.msi" -i "$work/Environment.idt" \
  -q "UPDATE Component SET Condition = 'ADDTOPATH = \"1\"' WHERE Component = 'AddToPath'" \
  -q "UPDATE Property SET Value = 'ADDTOPATH;WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED' WHERE Property = 'SecureCustomProperties'"
sequence_of() { msiinfo export "$work/out.msi" InstallExecuteSequence | awk -F'\t' -v a="$1" '$1 == a { print $3 }'; }
for action in WriteEnvironmentStrings:5200 RemoveEnvironmentStrings:3300; do
  [ -n "$(sequence_of "${action%:*}")" ] ||
    at_epoch msibuild "$work/out.msi" -q "INSERT INTO InstallExecuteSequence (Action, Sequence) VALUES ('${action%:*}', ${action#*:})"
done

# The package code tells packages apart, so it is derived from the version and the zip's
# contents: the same zip always makes the same package, a rebuilt one with other bytes
# another package of the same product.
zipsum=$(sha256sum <"$zip" | cut -d' ' -f1)
at_epoch msibuild "$work/out.msi" -s "QUORIN CANConfig" QUORIN "x64;1033" "{$(uuid "package:$version:$zipsum")}"

mkdir -p "$dist/quorin-$version-policies"
cp -r "$ROOT"/packaging/policies/. "$dist/quorin-$version-policies/"
find "$dist/quorin-$version-policies" -exec touch -h -d "@$epoch" {} +
mv "$work/out.msi" "$msi"
echo "$msi"
