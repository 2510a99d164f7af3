#!/usr/bin/env bash
# Builds the Debian package from the build folder and checks it as a fresh machine takes it: both programs
# run from the unpacked files, the control file depends on Qt's widgets library, apt could install it here,
# and lintian finds no error or warning and no program built without hardening (that part is skipped with a
# message when lintian is not installed).
set -euo pipefail
build="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cpack --config "$build/CPackConfig.cmake" -B "$work" > "$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; exit 1; }
debs=("$work"/delvix_*.deb)
[[ ${#debs[@]} -eq 1 && -f "${debs[0]}" ]] || { echo "cpack wrote no single delvix_*.deb:"; ls "$work"; exit 1; }
deb="${debs[0]}"
dpkg -x "$deb" "$work/root"
"$work/root/usr/bin/delvix-cli" --version
"$work/root/usr/bin/delvix" --version
for file in share/delvix/help/index.html share/man/man1/delvix-cli.1.gz share/man/man1/delvix.1.gz \
  share/applications/io.github.delvix.Delvix.desktop share/metainfo/io.github.delvix.Delvix.metainfo.xml \
  share/applications/io.github.delvix.Delvix.OpenWith.desktop share/doc/delvix/copyright \
  share/doc/delvix/changelog.gz share/doc/delvix/README.md.gz share/doc/delvix/help/index.html; do
  test -f "$work/root/usr/$file" || { echo "the package lacks /usr/$file"; exit 1; }
done
depends="$(dpkg-deb --field "$deb" Depends)"
[[ "$depends" == *libqt6widgets6* ]] || { echo "Depends names no Qt widgets library: $depends"; exit 1; }
# What apt would do on this machine: every package named in Depends must be there or installable.
if ! apt-get install --simulate --no-install-recommends -q -o Debug::NoLocking=true "$deb" > "$work/apt.log" 2>&1; then
  cat "$work/apt.log"
  exit 1
fi
if command -v lintian > /dev/null; then
  # Hardening tags are mostly of the informational kind, which lintian hides unless asked.
  lintian --display-info --fail-on error,warning "$deb" | tee "$work/lintian.log"
  if grep -E 'hardening-no-(relro|bindnow|fortify-functions|pie)' "$work/lintian.log"; then
    echo "lintian finds programs built without the hardening flags"
    exit 1
  fi
else
  echo "lintian is not installed: the package was not checked with it"
fi
echo "$(basename "$deb") built and checked"
