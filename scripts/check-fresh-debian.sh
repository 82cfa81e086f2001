#!/usr/bin/env bash
# Runs one of the README's two commands on a Debian 12 that has never seen the project: a
# minimal root made by debootstrap, with this repository's last commit cloned into it. This is
# how we know the commands install everything they need, which a CI machine that already has
# the packages cannot show. Needs root and Debian's archive; not part of the tests.
#
#   bash scripts/check-fresh-debian.sh test    # the test command, headless
#   bash scripts/check-fresh-debian.sh run     # the run command, on this session's $DISPLAY
#   bash scripts/check-fresh-debian.sh package # apt-get install of the package made here, then
#                                              # its menu entry's command, headless
#
# With no desktop at hand, give the run a private X server: xvfb-run -a bash scripts/check-fresh-debian.sh run
set -euo pipefail
cd "$(dirname "$0")/.."

case "${1:-}" in
    test) command="bash scripts/test.sh" ;;
    run) command="bash scripts/run-demo.sh" ;;
    package)
        package=$(bash scripts/package.sh | tail -n 1)
        command='apt-get update -qq && apt-get install -y -qq ./quillmere_*.deb > /dev/null && exec=$(sed -n "s/^Exec=//p" /usr/share/applications/example.quillmere.Quillmere.desktop) && echo "menu entry runs: $exec" && { QT_QPA_PLATFORM=offscreen timeout 5 $exec; test $? -eq 124 && echo "the installed program started and ran until stopped"; }'
        ;;
    *) echo "usage: $0 test|run|package" >&2; exit 2 ;;
esac

bash scripts/install-deps.sh debootstrap git
root=$(mktemp -d /var/tmp/quillmere-fresh-XXXXXX)
chmod 755 "$root"
mounts=()
cleanUp() {
    set +e
    # Whatever still runs inside (the demo server, a program) would keep the mounts busy.
    for signal in TERM KILL; do
        for proc in /proc/[0-9]*; do
            [ "$(readlink "$proc/root" 2>/dev/null)" = "$root" ] && kill -"$signal" "${proc#/proc/}" 2>/dev/null
        done
        sleep 1
    done
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do umount "${mounts[i]}"; done
    # Never cross into a mount that failed to come off.
    rm -rf --one-file-system "$root"
}
trap cleanUp EXIT
trap 'exit 143' TERM
trap 'exit 130' INT

debootstrap --variant=minbase bookworm "$root" http://deb.debian.org/debian > "$root.log" 2>&1 ||
    { tail -n 20 "$root.log" >&2; exit 1; }
rm -f "$root.log"
cat > "$root/etc/apt/sources.list" <<'EOF'
deb http://deb.debian.org/debian bookworm main
deb http://deb.debian.org/debian bookworm-updates main
deb http://deb.debian.org/debian-security bookworm-security main
EOF
cp /etc/resolv.conf "$root/etc/resolv.conf"
for dir in proc sys dev dev/pts tmp/.X11-unix; do
    [ -d "/$dir" ] || continue
    mkdir -p "$root/$dir"
    mount --bind "/$dir" "$root/$dir"
    mounts+=("$root/$dir")
done
git clone --quiet . "$root/root/quillmere"
[ -n "${package:-}" ] && cp "$package" "$root/root/quillmere/"

chroot "$root" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin DISPLAY="${DISPLAY:-}" \
    bash -c "cd /root/quillmere && $command" &
# Waiting in the background lets a TERM or INT reach the clean-up at once.
wait $!
