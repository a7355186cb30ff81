# Sourced by the tests' scripts: a scratch folder that goes at the end, with
# whatever was started in the background, and the few helpers they share.
set -eu
work=$(mktemp -d)
pids=""
cleanup() {
    for pid in $pids; do kill "$pid" 2>/dev/null || true; done
    chmod -R u+w "$work" 2>/dev/null || true # a test may have locked a folder
    rm -rf "$work"
}
trap cleanup EXIT
# Starts a program in the background, to be ended at clean-up.
spawn() { "$@" >/dev/null 2>&1 & pids="$pids $!"; }
fail() { printf "FAIL: %s\n" "$*" >&2; exit 1; }
# Evaluates the condition every 0.1 s, at most N times, until it holds.
# It sees poll's own arguments as $1 and $2: copy the caller's first.
poll() {
    for _ in $(seq "$1"); do eval "$2" && return 0; sleep 0.1; done
    return 1
}
