#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package as a distribution would (Debian's hardening flags from
# dpkg-buildflags, in a build tree of its own) and checks it: lintian must report no
# error and no warning, the AppStream data and the desktop entry must validate, and the
# package must hold the manual pages, the completion and the copyright file.
#
#   scripts/check-package.sh [BUILD_DIR]
#
# BUILD_DIR defaults to <repo>/build-package. Needs lintian, dpkg-dev and file
# (apt-get install lintian dpkg-dev file); appstreamcli and desktop-file-validate are
# used where they are installed. Not part of CI: lintian is not there by default.
# Exits 1 when a check fails, 2 when a tool it cannot do without is missing.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${1:-$root/build-package}

for tool in lintian dpkg-buildflags dpkg-deb cmake ninja; do
    command -v "$tool" >/dev/null || { echo "check-package: $tool is not installed" >&2; exit 2; }
done

# bindnow and the rest of Debian's hardening, as its own packages are built.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTOLMERE_TESTS=OFF -DTOLMERE_BENCH=OFF \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$build" --target package
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb=$(ls "$build"/tolmere_"$version"_*.deb)

status=0
problem() {
    echo "check-package: $*" >&2
    status=1
}

# Root runs lintian with a complaint of its own on stderr; the tags are on stdout.
report=$(lintian --display-info --pedantic "$deb" 2>/dev/null) || true
echo "$report"
if grep -qE '^[EW]: ' <<<"$report"; then
    problem "lintian reports errors or warnings (above)"
fi

contents=$(dpkg-deb --contents "$deb" | awk '{ print $6 }')
for file in usr/share/man/man1/tolmere.1.gz usr/share/man/man1/tolmere-cli.1.gz \
    usr/share/man/man1/mpq2k.1.gz usr/share/bash-completion/completions/tolmere \
    usr/share/bash-completion/completions/tolmere-cli \
    usr/share/bash-completion/completions/mpq2k usr/share/zsh/vendor-completions/_tolmere-cli \
    usr/share/zsh/vendor-completions/_mpq2k usr/share/doc/tolmere/copyright \
    usr/share/doc/tolmere/changelog.gz usr/share/metainfo/io.github.tolmere.Tolmere.metainfo.xml; do
    grep -qx "./$file" <<<"$contents" || problem "the package lacks /$file"
done

metainfo="$build/packaging/io.github.tolmere.Tolmere.metainfo.xml"
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$metainfo" || problem "$metainfo does not validate"
fi
grep -q "<release version=\"$version\"" "$metainfo" ||
    problem "$metainfo has no release $version"
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$root/packaging/io.github.tolmere.Tolmere.desktop" ||
        problem "the desktop entry does not validate"
fi

((status == 0)) && echo "check-package: $deb passes"
exit $status
