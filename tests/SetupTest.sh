#!/bin/sh
# scripts/setup with a dpkg-query stand-in that finds only the packages named
# in PRESENT ("all": every one; "all -NAME": every one but NAME): a target
# whose own packages are there runs; one that lacks some names them once
# each and stops, or, as root, installs them (with an apt-get stand-in).
# Everything runs from a directory of its own, through paths relative to it:
# the source tree, or TMPDIR, may lie where the unprivileged user cannot go.
set -eu

nobody=65534
play="g++ cmake make libsfml-dev libopenal-dev libxcb1-dev libxau-dev libfontconfig-dev fonts-liberation2"
apt_line="  apt-get install -y"
installs="apt-get install -y -q --no-install-recommends"
usage="usage: ./setup [play|build|run|test|package|format|windows|test-windows]"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$1" "$work/setup"
cd "$work"
cat >dpkg-query <<'STAND_IN'
#!/bin/sh
for package; do :; done # the package is the last argument
case " $PRESENT " in
    *" -$package "*) exit 1 ;;
    " all "* | *" $package "*) echo "install ok installed" ;;
    *) exit 1 ;;
esac
STAND_IN
printf '#!/bin/sh\necho "apt-get $*"\n' >apt-get
# A PATH with the stand-ins and grep, and no id.
mkdir no-id
ln -s ../dpkg-query ../apt-get "$(command -v grep)" no-id/
chmod 755 . setup dpkg-query apt-get no-id
setpriv=$(command -v setpriv || :)

[ "$(id -u)" -eq 0 ] && root=yes || root=no

# as WHO COMMAND...: as the unprivileged user (this one, when it is not
# root), with or without id on PATH, or as root without it.
as() {
    who=$1
    shift
    case $who in
        player) path=".:$PATH" ;;
        *) path="./no-id" ;;
    esac
    if [ $who = root-no-id ] || [ $root = no ]; then
        PATH=$path "$@"
    else
        PATH=$path "$setpriv" --reuid=$nobody --regid=$nobody --clear-groups "$@"
    fi
}

failures=0
# expect WHO TARGET PRESENT STATUS LAST-LINE: setup's exit status and the last
# line it prints (none when it runs).
expect() {
    if [ "$1" = root-no-id ] && [ $root = no ]; then
        echo "skipped: setup '$2' as $1: only root can run it as root"
        return
    fi
    status=0
    output=$(PRESENT=$3 as "$1" ./setup "$2" 2>&1) || status=$?
    last=$(printf '%s\n' "$output" | tail -n 1)
    if [ "$status" -ne "$4" ] || [ "$last" != "$5" ]; then
        echo "FAILED: setup '$2' as $1 with [$3]: status $status (want $4), last line [$last] (want [$5])"
        failures=$((failures + 1))
    fi
}

#      who           target    present                  status  last line
expect player        play      "$play"                  0       ""
expect player        build     "$play"                  1       "$apt_line libgtest-dev"
expect player        run       "$play libgtest-dev"     1       "$apt_line xvfb"
expect player        run       "$play libgtest-dev xvfb" 0      ""
expect player        test      "all -lintian -xdotool"  1       "$apt_line xdotool lintian"
expect player        test      "all -libgtest-dev"      1       "$apt_line libgtest-dev"
expect player        package   all                      0       ""
expect player        package   "$play libgtest-dev dpkg-dev file" 1 "$apt_line rpm"
expect player        windows   "$play libgtest-dev dpkg-dev g++-mingw-w64-x86-64-posix zip wine64" 1 "$apt_line wine"
expect player        nonsense  all                      2       "$usage"
expect player        ""        all                      2       "$usage"
expect player-no-id  build     "$play"                  1       "$apt_line libgtest-dev"
expect root-no-id    build     "$play"                  0       "$installs libgtest-dev"

[ "$failures" -eq 0 ]
