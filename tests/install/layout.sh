# Shared by the install checks: the expected file list for one build.
# expected_layout BIN_DIR LIBDIR prints the sorted expected paths.
expected_layout() {
    local bin=$1 libdir=$2 line name path
    while IFS= read -r line; do
        case $line in '' | '#'*) continue ;; esac
        if [[ $line =~ ^\[([A-Za-z-]+)\]\ (.*)$ ]]; then
            name=${BASH_REMATCH[1]}
            path=${BASH_REMATCH[2]}
            [ -e "$bin/$name" ] || [ -e "$bin/lib$name.so" ] || continue
        else
            path=$line
        fi
        printf '%s\n' "${path//@LIBDIR@/$libdir}"
    done <"$(dirname "${BASH_SOURCE[0]}")/expected-layout.txt" | sort
}

# actual_layout ROOT prints the files below ROOT the way the list writes them.
actual_layout() {
    (cd "$1" && find . -type f -o -type l) | sed -e 's|^\./||' \
        -e 's|^share/vorn/sample-machine/.*|share/vorn/sample-machine/*|' \
        -e 's|^share/icons/hicolor/[0-9]*x[0-9]*/apps/|share/icons/hicolor/*/apps/|' | sort -u
}
