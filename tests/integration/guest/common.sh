# Shared by the guest builder, the runner and the test scripts (sourced).
#
# Exit status 77 means "skipped" to CTest (SKIP_RETURN_CODE) and to our own
# scripts; every skip prints one line beginning with "skipped:" and the reason.

VG_SKIP=77

vg_repo_root() { (cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd); }

# The guest cache lives outside the repository so that a fresh clone, `git
# clean` and every build folder share one kernel download and one guest build.
# VORN_GUEST_CACHE overrides; otherwise the XDG cache of the user running the
# tests, and /var/cache when there is no home.
vg_cache_dir() {
    if [ -n "${VORN_GUEST_CACHE:-}" ]; then
        echo "$VORN_GUEST_CACHE"
    elif [ -n "${XDG_CACHE_HOME:-}" ]; then
        echo "$XDG_CACHE_HOME/vorn-guest"
    elif [ -n "${HOME:-}" ] && [ "$HOME" != / ]; then
        echo "$HOME/.cache/vorn-guest"
    else
        echo /var/cache/vorn-guest
    fi
}

vg_skip() {
    echo "skipped: $*"
    exit "$VG_SKIP"
}

vg_die() {
    echo "error: $*" >&2
    exit 1
}

vg_note() { [ -z "${VORN_GUEST_QUIET:-}" ] && echo "vorn-guest: $*" >&2 || true; }

# The host tools the builder and runner need. A machine that cannot install
# them (no network, no root) skips the suite instead of failing it.
VG_HOST_PACKAGES="qemu-system-x86 busybox-static cpio xz-utils jq"

vg_ensure_host_tools() {
    local root
    root=$(vg_repo_root)
    if ! "$root/tools/ensure-packages.sh" $VG_HOST_PACKAGES >&2; then
        vg_skip "cannot install qemu or kernel (host packages: $VG_HOST_PACKAGES)"
    fi
    command -v qemu-system-x86_64 >/dev/null || vg_skip "cannot install qemu or kernel (qemu-system-x86_64 missing)"
}

vg_sha256() { sha256sum "$@" | cut -c1-64; }

# Download one Debian package into a folder, keeping what is there.
vg_apt_download() {
    local dir=$1 pkg=$2
    (cd "$dir" && apt-get -q -o APT::Sandbox::User=root download "$pkg" >/dev/null 2>&1) ||
        (cd "$dir" && apt-get -q download "$pkg" >/dev/null 2>&1)
}

# Candidate version of a package as apt sees it, empty when unknown.
vg_apt_candidate() {
    apt-cache policy "$1" 2>/dev/null | awk '/Candidate:/ {print $2; exit}' | sed 's/(none)//'
}

# Copies a program and the shared libraries ldd lists into a root folder. System
# libraries keep the paths the host uses, so the guest's loader finds them the
# same way; libraries that sit beside the program (our own, found through its
# $ORIGIN run path) go beside it in the guest too.
vg_install_with_libraries() {
    local root=$1 program=$2 dest=$3
    local listing progdir lib target
    listing=$(ldd "$program") || vg_die "ldd $program failed"
    if grep -q 'not found' <<<"$listing"; then
        echo "$listing" >&2
        vg_die "$program needs libraries this machine lacks"
    fi
    install -D -m 0755 "$program" "$root$dest"
    progdir=$(cd "$(dirname "$program")" && pwd)
    for lib in $(awk '/=> \// {print $3} /^\t\// {print $1}' <<<"$listing"); do
        if [ "$(dirname "$lib")" = "$progdir" ]; then
            target=$(dirname "$dest")/$(basename "$lib")
        else
            target=$lib
        fi
        [ -e "$root$target" ] || install -D -m 0755 "$(readlink -f "$lib")" "$root$target"
    done
}

# Sets VG_HELPER_ARGS to the run-guest.sh options that bring the disk helper's
# pieces into the guest: the helper, the polkit stand-in, dbus-daemon and
# setpriv with their libraries, and the bus configuration under /etc/vorn-bus
# (scenario/helper-guest.sh uses them). Empty when a piece is missing here.
vg_helper_guest_args() {
    local work=$1 helper=$2 authority=$3 root daemon setpriv
    VG_HELPER_ARGS=()
    root=$(vg_repo_root)
    daemon=$(command -v dbus-daemon || true)
    setpriv=$(command -v setpriv || true)
    [ -x "$helper" ] && [ -x "$authority" ] && [ -n "$daemon" ] && [ -n "$setpriv" ] || return 0
    rm -rf "$work/helper-bus"
    cp -a "$root/tests/integration/helper-bus" "$work/helper-bus"
    mkdir -p "$work/helper-bus/system.d"
    cp "$root/helper/data/org.vorn.DiskHelper1.conf" "$work/helper-bus/system.d/"
    VG_HELPER_ARGS=(--program "$helper" --program "$authority" --program "$daemon"
        --program "$setpriv" --tree "$work/helper-bus:/etc/vorn-bus")
}

# Boots a scenario's own guest: run-guest.sh with the options given and OUT/run
# as its record, its output kept in OUT/run-guest.out and .err. Passes a skip
# on as this script's skip and ends the script on any other failure.
vg_boot_scenario() {
    local out=$1 status=0
    shift
    "$(vg_repo_root)/tests/integration/run-guest.sh" --out-dir "$out/run" "$@" \
        >"$out/run-guest.out" 2>"$out/run-guest.err" || status=$?
    case $status in
    0) ;;
    77) vg_skip "$(sed -n 's/^skipped: //p' "$out/run-guest.out" | head -n 1)" ;;
    *) cat "$out/run-guest.err" >&2; vg_die "the guest failed (status $status); see $out/run/console.log" ;;
    esac
}
