#!/usr/bin/env bash
# Builds the release from this tree: build/release/Kordane-<version>-win32.zip, holding the
# Kordane.exe that the Windows tests run (build/win32/bin), README.md and CHANGELOG.md, and beside
# it Kordane-<version>-win32.zip.sha256, one line in the form `sha256sum --check` reads.
# Reproducible: two builds of one commit give the same bytes, in any folder and at any time. The
# compiler and linker leave out paths and times (CMakeLists.txt), and the zip's entries go in a
# fixed order, each with the commit's time and fixed attributes.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

cmake --preset win32
cmake --build --preset win32 --target Kordane
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/win32/CMakeCache.txt)"
[ -n "$version" ] || { echo "release: no project version in the build tree" >&2; exit 1; }
grep -q "^## \[${version}\] - " CHANGELOG.md ||
  { echo "release: CHANGELOG.md has no entry for ${version}" >&2; exit 1; }

name="Kordane-${version}-win32.zip"
mkdir -p build/release
rm -f "build/release/${name}" "build/release/${name}.sha256"
# The commit's time, so that the same commit zips the same; a tree without git history: 1980.
stamp="$(git log -1 --format=%ct 2>/dev/null || echo 315532800)"
python3 - "build/release/${name}" "$stamp" <<'PYTHON'
import sys, time, zipfile
target, stamp = sys.argv[1], int(sys.argv[2])
when = time.gmtime(max(stamp, 315532800))[:6]  # the zip's clock starts in 1980
entries = [("Kordane.exe", "build/win32/bin/Kordane.exe"), ("README.md", "README.md"),
           ("CHANGELOG.md", "CHANGELOG.md")]
with zipfile.ZipFile(target, "w") as archive:
    for name, path in entries:
        info = zipfile.ZipInfo(name, date_time=when)
        info.compress_type = zipfile.ZIP_DEFLATED
        info.create_system = 3  # Unix, with the mode below, whoever zips it
        info.external_attr = 0o100644 << 16
        with open(path, "rb") as source:
            archive.writestr(info, source.read(), compresslevel=9)
PYTHON
(cd build/release && sha256sum "$name" >"${name}.sha256")
cat "build/release/${name}.sha256"
