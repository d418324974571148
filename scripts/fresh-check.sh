#!/usr/bin/env bash
# Tries the README's two commands as a new user meets them: in a minimal
# Debian 12 root made with debootstrap, with nothing installed but the base
# system, runs "bash scripts/run.sh" and then "bash scripts/test.sh" as root
# inside chroot, and reports the wall time and the closing lines of each.
# Not run by CI: it downloads about 1 GB. The root is kept for the next try
# (FRESH_ROOT, default /var/tmp/dervane-fresh; FRESH_NEW=1 makes it anew).
# The project is copied in as committed (a clone of HEAD), with ../shared.
#   bash scripts/fresh-check.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
fresh=${FRESH_ROOT:-/var/tmp/dervane-fresh}
mirror=${FRESH_MIRROR:-http://deb.debian.org/debian}
out="$root/build/fresh"

# The tool that makes the root is this script's own need, not the project's.
if ! command -v debootstrap >/dev/null; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap >/dev/null
fi

mounted() { findmnt -rn -o TARGET | grep -q "^$fresh"; }
unmount_all() {
  local m
  for m in tmp proc dev; do
    if findmnt -rn "$fresh/$m" >/dev/null 2>&1; then
      umount -R "$fresh/$m" 2>/dev/null || umount -R -l "$fresh/$m"
    fi
  done
}
trap unmount_all EXIT

unmount_all
if [ "${FRESH_NEW:-0}" = 1 ] && [ -d "$fresh" ]; then
  # Never remove a root that still has the machine's /dev or /proc in it.
  if mounted; then
    echo "fresh-check: $fresh still has mounts; not removing it" >&2
    exit 1
  fi
  rm -rf --one-file-system "$fresh"
fi
if [ ! -f "$fresh/.dervane-base-ready" ]; then
  rm -rf --one-file-system "$fresh"
  echo "fresh-check: making a minimal Debian 12 root in $fresh"
  start=$SECONDS
  debootstrap --variant=minbase bookworm "$fresh" "$mirror" >"$root/build/fresh-debootstrap.log" 2>&1 ||
    { echo "fresh-check: debootstrap failed (build/fresh-debootstrap.log)" >&2; exit 1; }
  echo "fresh-check: root made in $((SECONDS - start)) s"
  touch "$fresh/.dervane-base-ready"
fi

mount -t proc proc "$fresh/proc"
mount --rbind /dev "$fresh/dev"
mount --make-rslave "$fresh/dev"
mount -t tmpfs tmpfs "$fresh/tmp"
cp /etc/resolv.conf "$fresh/etc/resolv.conf"

rm -rf "$fresh/work"
mkdir -p "$fresh/work"
git clone -q "$root" "$fresh/work/main"
cp -r "$root/../shared" "$fresh/work/shared"
rm -rf "$out"
mkdir -p "$out"

# in_root NAME COMMAND: runs COMMAND in the project inside the root, as root,
# with a clean environment; prints its time and closing lines.
in_root() {
  local name=$1 cmd=$2 start rc
  start=$SECONDS
  set +e
  chroot "$fresh" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 \
    bash -c "cd /work/main && $cmd" </dev/null >"$out/$name.log" 2>&1
  rc=$?
  set -e
  echo "== $cmd: exit $rc after $((SECONDS - start)) s; last lines:"
  tail -n 4 "$out/$name.log" | sed 's/^/   /'
  return $rc
}

status=0
in_root run "bash scripts/run.sh" || status=1
cp "$fresh"/work/main/build/screenshot*.png "$out/" 2>/dev/null || true
in_root test "bash scripts/test.sh" || status=1
echo "fresh-check: logs and screenshots in $out"
exit $status
