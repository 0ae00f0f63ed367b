#!/bin/sh
# scripts/setup as an unprivileged user, with a dpkg-query stand-in that finds
# only the packages named in PRESENT ("all": every one; "all -NAME": every one
# but NAME): a target whose own packages are there runs; one that lacks some
# names them and stops.
set -eu

nobody=65534
play="g++ cmake make libsfml-dev libxcb1-dev libxau-dev fonts-liberation2"
apt_line="  apt-get install -y"

# A directory of its own that the unprivileged user can read: the source
# tree may not be.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$1" "$work/setup"
cat >"$work/dpkg-query" <<'STAND_IN'
#!/bin/sh
for package; do :; done # the package is the last argument
case " $PRESENT " in
    *" -$package "*) exit 1 ;;
    " all "* | *" $package "*) echo "install ok installed" ;;
    *) exit 1 ;;
esac
STAND_IN
chmod 755 "$work" "$work/setup" "$work/dpkg-query"

unprivileged() {
    if [ "$(id -u)" -eq 0 ]; then
        setpriv --reuid=$nobody --regid=$nobody --clear-groups "$@"
    else
        "$@"
    fi
}

failures=0
# expect TARGET PRESENT STATUS LAST-LINE: setup's exit status and the last
# line it prints (none when it runs).
expect() {
    status=0
    output=$(PRESENT=$2 PATH="$work:$PATH" unprivileged "$work/setup" "$1" 2>&1) || status=$?
    last=$(printf '%s\n' "$output" | tail -n 1)
    if [ "$status" -ne "$3" ] || [ "$last" != "$4" ]; then
        echo "FAILED: setup $1 with [$2]: status $status (want $3), last line [$last] (want [$4])"
        failures=$((failures + 1))
    fi
}

#      target    present                          status  last line
expect play      "$play"                          0       ""
expect build     "$play"                          1       "$apt_line libgtest-dev"
expect run       "$play libgtest-dev"             1       "$apt_line xvfb"
expect run       "$play libgtest-dev xvfb"        0       ""
expect test      "all -lintian -xdotool"          1       "$apt_line xdotool lintian"
expect package   all                              0       ""
expect package   "$play libgtest-dev dpkg-dev file" 1     "$apt_line rpm"
expect windows   "$play libgtest-dev dpkg-dev g++-mingw-w64-x86-64-posix zip wine64" 1 "$apt_line wine"
expect nonsense  all                              2       "usage: $work/setup [play|build|run|test|package|format|windows|test-windows]"

[ "$failures" -eq 0 ]
