#!/usr/bin/env bash
# Checks the packages of tools/package.sh as a user would get them; one "NAME pass|fail"
# line per check on standard output (tools/test.sh adds them to its count), the reasons
# on standard error.
#   package.zip_contents   the zip holds both programs, README.txt, LICENSE.txt and the
#                          build's skins, nothing else (no debug files), programs stripped
#   package.zip_programs   both programs from the unpacked zip print the version under Wine
#   package.deb_fields     dpkg-deb: name, version, architecture, Depends from shlibdeps
#   package.deb_contents   the binary, the man page, README and copyright where Debian has them
#   package.deb_program    unpacked into a temporary root, quorin-cli --version prints the version
#   package.deb_installable  apt accepts it for installing here (simulated: nothing changes)
#   package.deb_lintian    lintian reports nothing at all (no error, warning or info)
#   package.collection     the Ansible collection installs with ansible-galaxy at the
#                          project's version, and ansible-doc shows each module's documentation
#   package.collection_sanity  ansible-test sanity passes on it (Debian's linters)
#   package.checksums      SHA256SUMS lists every package in build/dist, and they match
#   fleet.*                the collection driven by ansible-playbook (tools/check_fleet.sh)
# Needs WINEPREFIX (and a display for Wine) set up by the caller.
set -u
. "$(dirname "$0")/common.sh"

DIST=$QUORIN_BUILD/dist
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$QUORIN_BUILD/native/CMakeCache.txt")
zip=$DIST/quorin-$version-windows-x64.zip
deb=$DIST/quorin-cli_${version}_amd64.deb
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# --- the Windows zip
why=()
top=quorin-$version-windows-x64
if [ ! -f "$zip" ]; then
  why+=("no $zip")
else
  python3 -m zipfile -e "$zip" "$work/zip" || why+=("cannot unpack")
  expected=$(
    printf '%s\n' CANConfig.exe quorin-cli.exe README.txt LICENSE.txt
    (cd "$QUORIN_ROOT/packaging" && find policies -type f)
    for s in "$QUORIN_BUILD"/windows/skins/*.skn; do [ -f "$s" ] && echo "skins/$(basename "$s")"; done
  )
  got=$(cd "$work/zip/$top" 2>/dev/null && find . -type f | sed 's|^\./||')
  [ "$(sort <<<"$expected")" = "$(sort <<<"$got")" ] ||
    why+=("contents differ:" "$(diff <(sort <<<"$expected") <(sort <<<"$got") | grep '^[<>]' | tr '\n' ' ')")
  for exe in CANConfig.exe quorin-cli.exe; do
    x86_64-w64-mingw32-objdump -h "$work/zip/$top/$exe" 2>/dev/null | grep -q '\.debug_info' &&
      why+=("$exe carries debug information")
  done
  grep -q $'\r$' "$work/zip/$top/README.txt" 2>/dev/null || why+=("README.txt lacks Windows line ends")
fi
result package.zip_contents "${why[@]}"

why=()
for exe in CANConfig quorin-cli; do
  out=$(cd "$work/zip/$top" 2>/dev/null && timeout 60 wine "./$exe.exe" --version </dev/null 2>/dev/null | tr -d '\r')
  [ "$out" = "$exe $version" ] || why+=("$exe.exe --version printed '$out'")
done
result package.zip_programs "${why[@]}"

# --- the Debian package
why=()
if [ ! -f "$deb" ]; then
  why+=("no $deb")
else
  field() { dpkg-deb --field "$deb" "$1"; }
  [ "$(field Package)" = quorin-cli ] || why+=("Package is '$(field Package)'")
  [ "$(field Version)" = "$version" ] || why+=("Version is '$(field Version)'")
  [ "$(field Architecture)" = amd64 ] || why+=("Architecture is '$(field Architecture)'")
  # Every library the binary needs, by the packages dpkg-shlibdeps names.
  for lib in libc6 libstdc++6 libgcc-s1; do
    field Depends | grep -q "\b$lib (>=" || why+=("Depends lacks $lib: '$(field Depends)'")
  done
fi
result package.deb_fields "${why[@]}"

why=()
contents=$(dpkg-deb --contents "$deb" 2>/dev/null | awk '{print $NF}')
for f in ./usr/bin/quorin-cli ./usr/share/man/man1/quorin-cli.1.gz ./usr/share/doc/quorin-cli/README.md \
  ./usr/share/doc/quorin-cli/copyright ./usr/share/doc/quorin-cli/changelog.gz; do
  grep -qx "$f" <<<"$contents" || why+=("no $f")
done
result package.deb_contents "${why[@]}"

why=()
dpkg-deb -x "$deb" "$work/root" 2>/dev/null || why+=("cannot unpack")
out=$("$work/root/usr/bin/quorin-cli" --version 2>&1)
[ "$out" = "quorin-cli $version" ] || why+=("quorin-cli --version printed '$out'")
man=$(zcat "$work/root/usr/share/man/man1/quorin-cli.1.gz" 2>/dev/null)
grep -q '^\.TH QUORIN-CLI "1"' <<<"$man" && grep -q 'diff' <<<"$man" || why+=("the man page is not quorin-cli's --help")
readelf -S "$work/root/usr/bin/quorin-cli" 2>/dev/null | grep -q '\.debug_info' && why+=("quorin-cli carries debug information")
result package.deb_program "${why[@]}"

why=()
sim=$(apt-get install --simulate --no-install-recommends "$deb" 2>&1) || why+=("apt refuses it: $(tail -n 3 <<<"$sim")")
grep -q '^Inst quorin-cli ' <<<"$sim" || grep -q 'quorin-cli is already the newest' <<<"$sim" || why+=("apt would not install it")
result package.deb_installable "${why[@]}"

why=()
# (Its standard error only says that root should not run it.)
lint=$(lintian --display-info --fail-on error,warning,info "$deb" 2>"$work/lintian.err") ||
  why+=("lintian failed: $(tail -n 3 "$work/lintian.err")")
[ -z "$lint" ] || why+=("lintian reports: $(tr '\n' ' ' <<<"$lint")")
result package.deb_lintian "${why[@]}"

# --- the Ansible collection
collection=$DIST/quorin-canconfig-$version.tar.gz
export ANSIBLE_COLLECTIONS_PATH=$work/collections ANSIBLE_HOME=$work/ansible ANSIBLE_NOCOLOR=1
installed=$work/collections/ansible_collections/quorin/canconfig
why=()
if ansible-galaxy collection install -p "$work/collections" "$collection" >"$work/galaxy.log" 2>&1; then
  python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["collection_info"]["version"])' \
    "$installed/MANIFEST.json" | grep -qx "$version" || why+=("the collection's version is not $version")
  for m in converter converter_info ports; do
    doc=$(ansible-doc "quorin.canconfig.$m" 2>&1)
    grep -q '^EXAMPLES:' <<<"$doc" && grep -q '^RETURN VALUES:' <<<"$doc" ||
      why+=("ansible-doc quorin.canconfig.$m: $(head -n 3 <<<"$doc")")
  done
else
  why+=("ansible-galaxy cannot install $collection: $(tail -n 3 "$work/galaxy.log")")
fi
result package.collection "${why[@]}"

why=()
if [ -d "$installed" ]; then
  (cd "$installed" && HOME=$work/home "$QUORIN_ROOT/tools/ansible-sanity.py" >"$work/sanity.log" 2>&1) ||
    why+=("$(grep -E '^(ERROR|FATAL)' "$work/sanity.log" | head -n 10 | tr '\n' ' ')")
else
  why+=("no collection")
fi
result package.collection_sanity "${why[@]}"

why=()
listed=$(awk '{print $2}' "$DIST/SHA256SUMS" 2>/dev/null | sed 's/^\*//' | LC_ALL=C sort)
present=$(cd "$DIST" && find . -maxdepth 1 -type f ! -name SHA256SUMS -printf '%P\n' | LC_ALL=C sort)
[ -n "$listed" ] && [ "$listed" = "$present" ] || why+=("SHA256SUMS lists '$listed', build/dist holds '$present'")
(cd "$DIST" && sha256sum --quiet -c SHA256SUMS >/dev/null 2>&1) || why+=("a package does not match its checksum")
result package.checksums "${why[@]}"

"$QUORIN_ROOT/tools/check_fleet.sh" "$collection"
