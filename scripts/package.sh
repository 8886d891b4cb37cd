#!/usr/bin/env bash
# Builds the Debian package build/prophet12-ravlin_<version>_amd64.deb with CPack: the VST 2.4,
# VST3 and LV2 plug-ins, the standalone editor (prophet12-ravlin), ravlin-cli, their manual pages,
# desktop entry, icon and bash completion. Dependencies come from dpkg-shlibdeps.
# Uses the release build of the tests (build/tests) when it has every format, else build/release;
# it builds only what the package holds.
set -euo pipefail
cd "$(dirname "$0")/.."
# Let ccache reuse compiles made in other clones of the project.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true

scripts/install-deps.sh

cached() { sed -n "s/^$1:[A-Z]*=//p" "build/tests/CMakeCache.txt" 2>/dev/null; }
if [[ "$(cached CMAKE_BUILD_TYPE)" == Release && "$(cached RAVLIN_ALL_FORMATS)" == ON ]]; then
    dir=build/tests
else
    dir=build/release
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DRAVLIN_BUILD_TESTS=OFF -DRAVLIN_ALL_FORMATS=ON
fi
cmake --build "$dir" --parallel "$(nproc)" --target Ravlin_VST Ravlin_VST3 Ravlin_LV2 Ravlin_Standalone \
    ravlin-cli ravlin_packaging_files

rm -rf "$dir/cpack"
cpack -G DEB -B "$dir/cpack" --config "$dir/CPackConfig.cmake"
debs=("$dir"/cpack/prophet12-ravlin_*_amd64.deb)
[[ ${#debs[@]} -eq 1 && -f "${debs[0]}" ]] || { echo "CPack made no single package in $dir/cpack" >&2; exit 1; }
rm -f build/prophet12-ravlin_*_amd64.deb
mv "${debs[0]}" build/
echo "Built build/$(basename "${debs[0]}")"
