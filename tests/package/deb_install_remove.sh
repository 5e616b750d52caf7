#!/usr/bin/env bash
# The Debian package: made by CPack, no errors from lintian, installed with apt-get as a
# user would, its desktop entry and metainfo valid where they land, the installed program
# showing its status strip, and removed (purged) with nothing of it left behind.
#
#   tests/package/deb_install_remove.sh BUILD_DIR SOURCE_DIR
#
# It installs into the machine's /usr, so it runs only as root (as CI does) and ends with
# status 77 (skipped) otherwise.
set -euo pipefail

build=$(cd "${1:?usage: deb_install_remove.sh BUILD_DIR SOURCE_DIR}" && pwd)
source=$(cd "${2:?usage: deb_install_remove.sh BUILD_DIR SOURCE_DIR}" && pwd)
if [[ $(id -u) -ne 0 ]]; then
    echo "package: installing a package needs root; skipped"
    exit 77
fi
for tool in cpack lintian apt-get dpkg-deb desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || { echo "package: $tool is missing (scripts/setup)" >&2; exit 1; }
done

work=$(mktemp -d)
installed=""
apt=(apt-get -y -q -o DPkg::Lock::Timeout=600)
# A failure after the install takes the package off the machine again.
cleanup() {
    [[ -n $installed ]] && "${apt[@]}" purge tidemark >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "package: $*" >&2
    exit 1
}
export DEBIAN_FRONTEND=noninteractive

(cd "$build" && cpack -G DEB -B "$work" >"$work/cpack.log" 2>&1) ||
    { cat "$work/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$work"/tidemark_*.deb)
lintian --tag-display-limit 0 "$deb" >"$work/lintian.log" 2>&1 || true
cat "$work/lintian.log"
if grep -q "^E: " "$work/lintian.log"; then fail "lintian reports errors"; fi

# Whatever an earlier, interrupted run left installed goes first.
if dpkg-query -W -f='${Status}' tidemark 2>/dev/null | grep -q "install ok installed"; then
    "${apt[@]}" purge tidemark >/dev/null
fi
dpkg-deb --fsys-tarfile "$deb" | tar -t | sed 's|^\./|/|' | grep -v '/$' >"$work/files"

installed=yes
"${apt[@]}" install "$deb" >"$work/install.log" 2>&1 || { cat "$work/install.log" >&2; fail "apt-get install failed"; }
while read -r file; do
    [[ -e $file ]] || fail "$file was not installed"
done <"$work/files"
desktop-file-validate /usr/share/applications/com.tidemark.Tidemark.desktop
report=$(appstreamcli validate --no-net /usr/share/metainfo/com.tidemark.Tidemark.metainfo.xml 2>&1) ||
    { echo "$report" >&2; fail "the installed metainfo is not valid"; }
"$source/tests/e2e/starts_and_quits.sh" /usr/bin/tidemark TERM ||
    fail "the installed program did not start and quit cleanly"

"${apt[@]}" purge tidemark >"$work/remove.log" 2>&1 || { cat "$work/remove.log" >&2; fail "apt-get purge failed"; }
installed=""
while read -r file; do
    [[ ! -e $file ]] || fail "$file is left after removal"
done <"$work/files"
[[ ! -e /usr/share/doc/tidemark ]] || fail "/usr/share/doc/tidemark is left after removal"
dpkg-query -W tidemark >/dev/null 2>&1 && fail "dpkg still knows the package after the purge"
echo "package: $(basename "$deb") installs, starts and is removed without leftovers"
