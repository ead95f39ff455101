#!/usr/bin/env bash
# The bash completion of quorvelino-cli: sourced as bash-completion loads it, then asked what it
# offers for a command line typed so far (the last word is the one being completed).
# Usage: completion-test.sh COMPLETION_SCRIPT
set -u
# Where user namespaces are allowed, the run sees a /dev of its own with two adapters in it.
if [ -z "${QV_OWN_DEV:-}" ] && unshare -rm true 2>/dev/null; then
    exec unshare -rm env QV_OWN_DEV=1 bash "$0" "$@"
fi
if [ -n "${QV_OWN_DEV:-}" ]; then
    null=$(mktemp)
    mount --bind /dev/null "$null" && mount -t tmpfs none /dev || exit 1
    touch /dev/null /dev/ttyUSB0 /dev/ttyACM1 /dev/ttyS0 && mount --bind "$null" /dev/null
    umount "$null" && rm -f "$null"
    ln -s /proc/self/fd /dev/fd && mkdir -p /dev/serial/by-id
    ln -s ../../ttyUSB0 /dev/serial/by-id/usb-0403_6001_A1B2C3-if00-port0
fi
source "$1"
failures=0

# completes WORD... -- EXPECTED...: the offers for the line "quorvelino-cli WORD..." are EXPECTED.
completes() {
    local words=(quorvelino-cli) expected=()
    while [ "$1" != -- ]; do words+=("$1"); shift; done
    shift
    expected=("$@")
    COMP_WORDS=("${words[@]}")
    COMP_CWORD=$((${#words[@]} - 1))
    COMPREPLY=()
    _quorvelino_cli
    local got expect
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sort)
    expect=$(printf '%s\n' "${expected[@]}" | sort)
    if [ "$got" != "$expect" ]; then
        echo "FAIL: quorvelino-cli ${words[*]:1}<TAB> offers [${COMPREPLY[*]}], not [${expected[*]}]"
        failures=$((failures + 1))
    fi
}

completes '' -- ports status download upload erase stats set-time config help
completes help s -- status stats set-time
completes s -- status stats set-time
completes -q -p COM1 d -- download
completes --ti -- --timeout
completes download --v -- --verbose --version
completes erase '' -- records selections
completes -y erase s -- selections
completes config '' -- apply
completes config apply -- apply
completes status '' --
completes erase records '' --

ports=(COM{1..16})
if [ -n "${QV_OWN_DEV:-}" ]; then
    ports+=(/dev/serial/by-id/usb-0403_6001_A1B2C3-if00-port0 /dev/ttyUSB0 /dev/ttyACM1)
else
    for dev in /dev/serial/by-id/* /dev/ttyUSB* /dev/ttyACM*; do
        [ -e "$dev" ] && ports+=("$dev")
    done
fi
completes -p '' -- "${ports[@]}"
completes status --port COM1 -- COM1 COM10 COM11 COM12 COM13 COM14 COM15 COM16
# --port=VALUE: bash breaks the word at "=" (COMP_WORDBREAKS), or leaves it whole.
completes status --port = COM1 -- COM1 COM10 COM11 COM12 COM13 COM14 COM15 COM16
completes status --port = -- "${ports[@]}"
completes status --port=COM1 -- --port=COM1 --port=COM10 --port=COM11 --port=COM12 \
    --port=COM13 --port=COM14 --port=COM15 --port=COM16
completes --port = COM2 s -- status stats set-time
[ -n "${QV_OWN_DEV:-}" ] && completes -p /dev/serial/ -- /dev/serial/by-id/usb-0403_6001_A1B2C3-if00-port0

cd "$(mktemp -d)" || exit 1
trap 'rm -rf "$PWD"' EXIT
touch records.csv profile.json
completes download r -- records.csv
completes -p COM2 upload '' -- profile.json records.csv
completes config apply p -- profile.json
completes --timeout 5 download '' -- profile.json records.csv

[ "$failures" -eq 0 ] && echo "completion: all offers as expected"
exit $((failures > 0))
