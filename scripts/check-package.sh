#!/usr/bin/env bash
# Checks the Debian package scripts/package.sh made, as a user would meet it: lintian finds no
# error, apt installs it, every file is where the system looks for it, the host test loads the
# installed plug-ins and the installed programs answer. Installs the package (with sudo unless
# root) and removes it again at the end: JUCE's LV2 hosting always reads /usr/lib/lv2 too, so an
# installed bundle would stand in for the built one in later host tests. Needs the host test of
# build/tests.
set -euo pipefail
cd "$(dirname "$0")/.."

fail() { echo "check-package: $*" >&2; exit 1; }

debs=(build/prophet12-ravlin_*_amd64.deb)
[[ ${#debs[@]} -eq 1 && -f "${debs[0]}" ]] || fail "no single build/prophet12-ravlin_*_amd64.deb: run scripts/package.sh"
deb="${debs[0]}"
version="$(dpkg-deb -f "$deb" Version)"
host_test=build/tests/tests/ravlin_plugin_host_tests
[[ -x "$host_test" ]] || fail "$host_test is not built"
tests="$("$host_test" --gtest_list_tests)"
for format in VST VST3 LV2; do
    grep -qE "^  IdentityAndCounts/$format( |\$)" <<<"$tests" ||
        fail "$host_test loads no $format plug-in: configure build/tests with -DRAVLIN_ALL_FORMATS=ON"
done

lintian --fail-on error "$deb"

sudo=""
[[ $(id -u) -eq 0 ]] || sudo=sudo
$sudo apt-get install -y -q "./$deb"
trap '$sudo apt-get remove -y -q prophet12-ravlin >/dev/null' EXIT

name="Prophet 12 Ravlin"
for path in "/usr/lib/vst/$name.so" "/usr/lib/vst3/$name.vst3/Contents/x86_64-linux/$name.so" \
    "/usr/lib/lv2/$name.lv2/manifest.ttl" "/usr/lib/lv2/$name.lv2/lib$name.so" \
    /usr/bin/ravlin-cli /usr/bin/prophet12-ravlin \
    /usr/share/applications/prophet12-ravlin.desktop /usr/share/icons/hicolor/scalable/apps/prophet12-ravlin.svg \
    /usr/share/man/man1/ravlin-cli.1.gz /usr/share/man/man1/prophet12-ravlin.1.gz \
    /usr/share/bash-completion/completions/ravlin-cli /usr/share/doc/prophet12-ravlin/copyright; do
    [[ -f "$path" ]] || fail "the package did not install $path"
done
desktop-file-validate /usr/share/applications/prophet12-ravlin.desktop
bash -c 'source /usr/share/bash-completion/completions/ravlin-cli && complete -p ravlin-cli' >/dev/null ||
    fail "the installed bash completion does not complete ravlin-cli"

[[ "$(ravlin-cli --version)" == "ravlin-cli ${version%%-*}" ]] || fail "ravlin-cli --version: $(ravlin-cli --version)"
[[ "$(prophet12-ravlin --version)" == "prophet12-ravlin ${version%%-*}" ]] ||
    fail "prophet12-ravlin --version: $(prophet12-ravlin --version)"
[[ "$(prophet12-ravlin --help)" == "Usage: prophet12-ravlin "* ]] || fail "prophet12-ravlin --help prints no usage"

# The host test loads the plug-ins the environment names: first VST 2.4 and VST3 names that do not
# exist, which must fail (so the names are read; LV2 cannot be checked this way, as JUCE finds the
# installed bundle in /usr/lib/lv2 whatever folder it is given), then the installed ones.
filter='Vst2Host.*:Formats/PluginHost.*'
if RAVLIN_VST2_PATH=/nonexistent/x.so RAVLIN_VST3_PATH=/nonexistent/x.vst3 \
    scripts/with-display.sh "$host_test" \
    --gtest_filter='Vst2Host.IdentitySeenByTheHost:Formats/PluginHost.IdentityAndCounts/VST*' \
    >build/check-package-missing.log 2>&1 ||
    ! grep -q '3 FAILED TESTS' build/check-package-missing.log; then
    fail "the host test did not load what RAVLIN_VST2_PATH and RAVLIN_VST3_PATH name (build/check-package-missing.log)"
fi
RAVLIN_VST2_PATH="/usr/lib/vst/$name.so" RAVLIN_VST3_PATH="/usr/lib/vst3/$name.vst3" RAVLIN_LV2_FOLDER=/usr/lib/lv2 \
    scripts/with-display.sh "$host_test" --gtest_filter="$filter"
echo "check-package: $deb installs and its plug-ins and programs work"
