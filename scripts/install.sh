#!/usr/bin/env bash
# Builds Prophet 12 Ravlin, installs the VST, VST3 and LV2 plug-ins into the user's
# plug-in folders (~/.vst, ~/.vst3, ~/.lv2) and starts the standalone editor.
set -euo pipefail
cd "$(dirname "$0")/.."
# Let ccache reuse compiles made in other clones of the project.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=true

scripts/install-deps.sh

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DRAVLIN_BUILD_TESTS=OFF
cmake --build build/release --parallel "$(nproc)"

artefacts="build/release/Ravlin_artefacts/Release"
name="Prophet 12 Ravlin"
mkdir -p ~/.vst ~/.vst3 ~/.lv2
cp -f "$artefacts/VST/$name.so" ~/.vst/
rm -rf ~/.vst3/"$name.vst3" ~/.lv2/"$name.lv2"
cp -R "$artefacts/VST3/$name.vst3" ~/.vst3/
cp -R "$artefacts/LV2/$name.lv2" ~/.lv2/
echo "Installed: ~/.vst/$name.so, ~/.vst3/$name.vst3, ~/.lv2/$name.lv2"
# On a first run without MIDI devices the editor starts connected to its virtual instrument.
build/release/tools/ravlin-cli/ravlin-cli first-run

if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "No display here, so the standalone editor was not started: $artefacts/Standalone/$name"
    exit 0
fi
echo "Starting the standalone editor..."
exec "$artefacts/Standalone/$name"
