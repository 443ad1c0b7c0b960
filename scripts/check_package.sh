#!/usr/bin/env bash
# Makes the Debian package from the plain build in build/ (or
# $LEXIFLIP_BUILD_DIR), checks it as a packager would (lintian,
# desktop-file-validate, appstreamcli, systemd-analyze), installs it with
# apt-get, runs both programs from /usr/games and removes the package again.
# Any complaint fails. Installs its tools when missing; needs root or sudo,
# and replaces an installed lexiflip package. With --install-tools it only
# installs the tools (the README's test command does that).
set -euo pipefail
cd "$(dirname "$0")/.."
build="${LEXIFLIP_BUILD_DIR:-build}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
scripts/install_missing.sh lintian desktop-file-utils appstream systemd file
[ "${1:-}" != --install-tools ] || exit 0

# The programs carry paths under the install prefix: the package's is /usr.
cmake -S . -B "$build" -DCMAKE_INSTALL_PREFIX=/usr > /dev/null
cmake --build "$build" -j "$(nproc)" --target lexiflip lexiflip-host lexiflip_packaging_files
rm -f "$build"/lexiflip_*.deb
(cd "$build" && cpack -G DEB > /dev/null)
deb="$(realpath "$build"/lexiflip_*.deb)"
echo "== $deb"
dpkg-deb --contents "$deb"

echo "== lintian"
lintian --display-info --pedantic --tag-display-limit 4 --fail-on error,warning "$deb"

tree="$(mktemp -d)"
trap 'rm -rf "$tree"' EXIT
dpkg-deb --extract "$deb" "$tree"
# Silent when clean; hints and warnings count as failures too.
quiet() {
  local out
  out="$("$@" 2>&1)" || { echo "$out"; return 1; }
  [ -z "$out" ] || { echo "$out"; return 1; }
}
echo "== the version in the changelog and the AppStream releases"
# Neither tool compares them with the package's version.
version="$(dpkg-deb --field "$deb" Version)"
zcat "$tree"/usr/share/doc/lexiflip/changelog.gz | head -n 1 | grep -qF "lexiflip ($version)" \
  || { echo "the changelog's newest entry is not $version"; exit 1; }
grep -qF "<release version=\"$version\"" "$tree"/usr/share/metainfo/*.metainfo.xml \
  || { echo "the AppStream file has no release $version"; exit 1; }
echo "== desktop-file-validate"
quiet desktop-file-validate "$tree"/usr/share/applications/*.desktop
echo "== appstreamcli validate --pedantic"
# The reverse-DNS id's upper-case letters draw a pedantic note, and only it may.
appstream="$(appstreamcli validate --pedantic --no-net "$tree"/usr/share/metainfo/*.metainfo.xml 2>&1)" \
  || { echo "$appstream"; exit 1; }
echo "$appstream"
if grep -E '^[EWIP]:' <<< "$appstream" | grep -qv 'cid-contains-uppercase-letter'; then
  exit 1
fi

echo "== apt-get install"
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --reinstall "$deb" > /dev/null
/usr/games/lexiflip --version
/usr/games/lexiflip-host --version
echo "== systemd-analyze verify"
# An instance, since a template alone is checked only loosely; the unit's
# program must exist, so after the install.
mkdir "$tree/units"
cp /usr/lib/systemd/system/lexiflip-host@.service "$tree/units/lexiflip-host@7772.service"
quiet systemd-analyze verify "$tree/units/lexiflip-host@7772.service"
if compgen -G "/etc/systemd/system/*/lexiflip-host@*" > /dev/null; then
  echo "the package enabled lexiflip-host@.service"
  exit 1
fi

echo "== apt-get remove"
$sudo env DEBIAN_FRONTEND=noninteractive apt-get remove -y lexiflip > /dev/null
if [ -e /usr/games/lexiflip ] || [ -e /usr/games/lexiflip-host ]; then
  echo "the programs stayed after removing the package"
  exit 1
fi
echo "The package passed its checks."
