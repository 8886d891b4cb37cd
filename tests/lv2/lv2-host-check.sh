#!/usr/bin/env bash
# What a Linux LV2 host sees of the built bundle, through Debian's own LV2 tools and host
# (lilv-utils, lv2-dev, sordi, jalv on jackd2). Prints "FAIL: ..." for each thing that is wrong
# and exits 1.
#
#   lv2-host-check.sh lists    FOLDER URI [CORE]  lv2ls finds the plug-in in FOLDER
#   lv2-host-check.sh info     FOLDER URI [CORE]  lv2info: name, class, ports, MIDI, presets
#   lv2-host-check.sh runs     FOLDER URI [CORE]  jalv runs it headless, on JACK's dummy driver
#   lv2-host-check.sh validate BUNDLE URI         lv2_validate: no error but the known kind
#
# FOLDER holds the bundle and is all of LV2_PATH, so that an installed copy is never the one
# looked at; CORE, a folder holding LV2's core bundle, lets lilv know the plug-in classes.
set -uo pipefail

check=${1:?check}
where=${2:?folder}
uri=${3:?plugin URI}
core=${4:-}

failures=0
fail()
{
    echo "FAIL: $*"
    failures=$((failures + 1))
}

for tool in lv2ls lv2info lv2_validate sordi jalv jackd jack_wait jack_lsp; do
    command -v "$tool" >/dev/null ||
        { echo "FAIL: $tool is not installed (lilv-utils, lv2-dev, sordi, jalv, jackd2: scripts/install-deps.sh --test)"; exit 1; }
done

export LV2_PATH="$where${core:+:$core}"
lv2='http://lv2plug.in/ns/lv2core#'

case "$check" in
lists)
    listed=$(lv2ls 2>&1)
    count=$(grep -cxF "$uri" <<<"$listed")
    [[ $count -eq 1 ]] || fail "lv2ls does not list $uri once (LV2_PATH=$LV2_PATH), it says:"$'\n'"$listed"
    ;;

info)
    info=$(lv2info "$uri" 2>&1) || fail "lv2info $uri failed:"$'\n'"$info"
    field() { sed -n "s/^\t$1: *//p" <<<"$info" | sed 's/ *$//'; }
    [[ $(field Name) == "Prophet 12 Ravlin" ]] || fail "name is '$(field Name)'"
    [[ $(field Class) == "Instrument Plugin" ]] || fail "class is '$(field Class)', hosts file it there"
    [[ $(field Author) == "Ravlin" ]] || fail "author is '$(field Author)'"
    email=$(field "Author Email")
    [[ -z $email ]] || fail "an author e-mail address is shown that is none: '$email'"

    # Port symbols in index order: hosts connect and store ports by them.
    symbols=$(sed -n 's/^\t\tSymbol: *//p' <<<"$info" | tr '\n' ' ')
    expected="audio_in_1 audio_in_2 audio_out_1 audio_out_2 in out latency freeWheeling enabled "
    [[ $symbols == "$expected" ]] || fail "ports are '$symbols', not '$expected'"

    # The MIDI ports: the description lilv writes of the plug-in, as triples.
    description=$(mktemp)
    trap 'rm -f "$description"' EXIT
    lv2info -p "$description" "$uri" >/dev/null 2>&1
    triples=$(sordi -o ntriples "$description" 2>/dev/null)
    for port in "in InputPort" "out OutputPort"; do
        read -r symbol direction <<<"$port"
        node=$(grep -F "<${lv2}symbol> \"$symbol\" ." <<<"$triples" | cut -d' ' -f1)
        [[ -n $node ]] || { fail "no port '$symbol'"; continue; }
        grep -qF "$node <http://www.w3.org/1999/02/22-rdf-syntax-ns#type> <${lv2}${direction}> ." <<<"$triples" ||
            fail "port '$symbol' is not an $direction"
        grep -qF "$node <http://lv2plug.in/ns/ext/atom#supports> <http://lv2plug.in/ns/ext/midi#MidiEvent> ." <<<"$triples" ||
            fail "port '$symbol' does not carry MIDI"
    done

    # Presets: one per program of the plug-in's bank, each with its name.
    presets=$(awk '/^\tPresets:/ { on = 1; next } on && /^\t         [^ ]/ { print; next } { on = 0 }' <<<"$info" |
              sed 's/^\t *//; s/ *$//')
    count=$(grep -c . <<<"$presets")
    [[ $count -eq 99 ]] || fail "$count presets listed, not 99"
    grep -qxF "Lush Upright" <<<"$presets" || fail "the first preset, Lush Upright, is not listed"
    [[ $(sort -u <<<"$presets" | grep -c .) -eq $count ]] || fail "two presets have the same name"
    ;;

runs)
    # lv2bench and lv2apply cannot: they offer no options and no bounded block length, both
    # of which the plug-in needs. jalv offers them; it runs the plug-in as a JACK client, here
    # of a server of this check's own on JACK's dummy driver (no sound card, no real time).
    mkdir -p "$HOME"
    work=$(mktemp -d)
    server="ravlin-lv2-check-$$"
    client="ravlin-lv2-check"
    export JACK_NO_AUDIO_RESERVATION=1 JACK_NO_START_SERVER=1
    jackd --no-realtime --name "$server" -d dummy -r 48000 -p 512 >"$work/jackd.log" 2>&1 &
    jackd_pid=$!
    cleanup()
    {
        kill "$jackd_pid" 2>/dev/null
        wait "$jackd_pid" 2>/dev/null
        rm -rf "$work"
    }
    trap cleanup EXIT
    if ! jack_wait -s "$server" -w -t 10 >/dev/null 2>&1; then
        echo "FAIL: the JACK dummy server did not start:"; cat "$work/jackd.log"
        exit 1
    fi

    # jalv quits when its command input ends: five seconds from now.
    JACK_DEFAULT_SERVER="$server" jalv -x -n "$client" "$uri" < <(sleep 5) >"$work/jalv.log" 2>&1 &
    jalv_pid=$!
    ports=""
    for _ in $(seq 1 100); do
        ports=$(jack_lsp -s "$server" -t "$client:" 2>/dev/null | paste - - | sed 's/\t\+/ /g')
        grep -q "^$client:out " <<<"$ports" && break
        kill -0 "$jalv_pid" 2>/dev/null || break
        sleep 0.2
    done
    for expected in "$client:audio_out_1 32 bit float mono audio" "$client:in 8 bit raw midi" \
                    "$client:out 8 bit raw midi"; do
        grep -qxF "$expected" <<<"$ports" || fail "jalv did not run $uri: no JACK port '$expected'"
    done
    status=124
    for _ in $(seq 1 75); do
        if ! kill -0 "$jalv_pid" 2>/dev/null; then
            wait "$jalv_pid"
            status=$?
            break
        fi
        sleep 0.2
    done
    if [[ $status -eq 124 ]]; then
        kill -INT "$jalv_pid"
        wait "$jalv_pid"
        fail "jalv did not quit when its input ended"
    fi
    [[ $status -eq 0 ]] || fail "jalv ended with status $status"
    [[ $failures -eq 0 ]] || { echo "jalv said:"; cat "$work/jalv.log"; echo "JACK ports: $ports"; }
    ;;

validate)
    # From inside the bundle: lv2_validate splits its arguments at spaces.
    cd "$where" || exit 1
    shopt -s nullglob
    files=(*.ttl)
    [[ ${#files[@]} -gt 0 ]] || { echo "FAIL: no .ttl in $where"; exit 1; }
    out=$(lv2_validate "${files[@]}" 2>&1)
    found=$(sed -n 's/^Found \([0-9]*\) errors among .*/\1/p' <<<"$out")
    [[ -n $found ]] || { echo "FAIL: lv2_validate did not finish:"$'\n'"$out"; exit 1; }
    # It reads every file of the bundle (it skips one of its own, lv2core.doap.ttl).
    grep '^Skipping file' <<<"$out" | grep -v '^Skipping file /usr/lib/lv2/' | while IFS= read -r line; do
        echo "FAIL: $line"
    done | grep . && failures=$((failures + 1))

    # One record per error: its "error:" line and the subject, predicate and object below it.
    records=$(awk '/^error:/ { if (r != "") print r; r = $0; next }
                   /^Found [0-9]+ errors/ { if (r != "") print r; r = ""; next }
                   r != "" && NF { sub(/^ +/, ""); r = r " | " $0 }
                   END { if (r != "") print r }' <<<"$out")
    total=$(grep -c '^error:' <<<"$records")
    # The parameters' lv2:portProperty lv2:enumeration / lv2:toggled: LV2 defines the property
    # on ports only, yet hosts (JUCE's among them) read it on parameters too, to offer a
    # parameter's steps as a list and snap a value to one of them.
    known="^error: Subject not in domain <${lv2}Port> \| ${uri}:slot[0-9]+ \| ${lv2}portProperty \| ${lv2}(enumeration|toggled)$"
    knownCount=$(grep -cE "$known" <<<"$records")
    # Anything else fails, each kind once with its count and first case.
    while IFS= read -r line; do
        [[ -n $line ]] && fail "unexpected $line"
    done < <(grep -vE "$known" <<<"$records" |
             awk -F' [|] ' '!($1 in n) { first[$1] = $0; order[++k] = $1 } { n[$1]++ }
                            END { for (i = 1; i <= k; i++) print "(" n[order[i]] "x) " first[order[i]] }')
    [[ $total -eq $found ]] || fail "lv2_validate found $found errors, $total read here:"$'\n'"$out"
    echo "lv2_validate: $found errors, $knownCount of them portProperty on enumerated parameters"
    ;;

*)
    echo "unknown check: $check" >&2
    exit 2
    ;;
esac

if [[ $failures -gt 0 ]]; then
    exit 1
fi
echo "ok: $check"
