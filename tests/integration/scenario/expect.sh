# The host-side checks' way of telling a broken expectation: one FAIL line
# each, counted in $failures; the check exits 1 when any was told.
failures=0

fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

expect() { # what got want
    [ "$2" = "$3" ] || fail "$1: got '$2', want '$3'"
}
