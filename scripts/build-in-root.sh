#!/usr/bin/env bash
# Builds and tests Zorvik in a minimal Debian root of the given suite, as a user of that Debian
# would: makes the root with mmdebstrap from the Debian mirror this machine's apt uses, copies
# the sources in (the committed tree: git ls-files, with uncommitted changes), installs what
# scripts/deps.sh names, builds, runs the CTest suite and scripts/package-check.sh there, and
# leaves the package in build-root/SUITE/.
#   scripts/build-in-root.sh bookworm|trixie
# Needs root (the root is made and entered with --mode=root and chroot), about 4 GB of disk per
# suite, and reaches Debian's mirror and the npm registry. ZORVIK_ROOT_KEEP=1 keeps the root for
# a later run (then only the sources are copied anew); CCACHE_DIR, when set, is shared with the
# build inside.
set -euo pipefail
cd "$(dirname "$0")/.."
suite=${1:-}
case "$suite" in
bookworm | trixie) ;;
*)
    echo "usage: $0 bookworm|trixie" >&2
    exit 2
    ;;
esac
if [ "$(id -u)" -ne 0 ]; then
    exec sudo --preserve-env=CCACHE_DIR,ZORVIK_ROOT_KEEP,ZORVIK_MIRROR "$0" "$@"
fi
export DEBIAN_FRONTEND=noninteractive
if ! command -v mmdebstrap >/dev/null 2>&1; then
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends mmdebstrap
fi

# The mirror apt uses here (deb822 or one-line sources), else Debian's own.
mirror=${ZORVIK_MIRROR:-}
if [ -z "$mirror" ]; then
    mirror=$(cat /etc/apt/sources.list.d/*.sources 2>/dev/null |
        awk '/^URIs:/ && $2 ~ /\/debian\/?$/ { print $2; exit }')
fi
if [ -z "$mirror" ]; then
    mirror=$(awk '$1 == "deb" && $2 ~ /\/debian\/?$/ { print $2; exit }' /etc/apt/sources.list 2>/dev/null || true)
fi
mirror=${mirror:-http://deb.debian.org/debian}

out=$PWD/build-root/$suite
root=$out/root
mkdir -p "$out"
started=$(date +%s)
stamp() { echo "== [$suite, $(($(date +%s) - started)) s] $*"; }

if [ "${ZORVIK_ROOT_KEEP:-0}" != 1 ] || [ ! -x "$root/usr/bin/apt-get" ]; then
    stamp "making a minimal $suite root from $mirror"
    rm -rf "$root"
    # minbase: essential packages and apt only; everything else comes from scripts/deps.sh.
    mmdebstrap --mode=root --variant=minbase --include=ca-certificates \
        "$suite" "$root" "deb $mirror $suite main" "deb $mirror $suite-updates main"
fi

stamp "copying the sources"
rm -rf "$root/src/zorvik"
mkdir -p "$root/src/zorvik"
git ls-files -z --cached --others --exclude-standard | xargs -0 cp --parents -t "$root/src/zorvik" 2>/dev/null || true
# Files deleted but not yet committed are listed and missing: cp skips them above.
cp /etc/resolv.conf "$root/etc/resolv.conf"
# The root trusts the certificate authorities this machine added (a site's own, its proxy's).
if compgen -G "/usr/local/share/ca-certificates/*.crt" >/dev/null; then
    mkdir -p "$root/usr/local/share/ca-certificates"
    cp /usr/local/share/ca-certificates/*.crt "$root/usr/local/share/ca-certificates/"
fi

# The build inside. Runs as root in the root, like a CI; the tests run on the offscreen platform.
cat >"$root/src/run.sh" <<'INSIDE'
set -euo pipefail
cd /src/zorvik
export LC_ALL=C.UTF-8
update-ca-certificates >/dev/null 2>&1 || true
export NODE_EXTRA_CA_CERTS=/etc/ssl/certs/ca-certificates.crt
t0=$(date +%s)
bash scripts/deps.sh
t1=$(date +%s)
. /etc/os-release
echo "== $PRETTY_NAME, Qt $(dpkg-query -W -f='${Version}' qt6-base-dev), $(c++ --version | head -n 1)"
launcher=()
if [ -n "${CCACHE_DIR:-}" ]; then
    apt-get install -y -qq --no-install-recommends ccache >/dev/null
    export CCACHE_BASEDIR=/src
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORVIK_WERROR=ON "${launcher[@]}" >/dev/null
cmake --build build --parallel "$(nproc)"
t2=$(date +%s)
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure --timeout 600 -j "$(nproc)" 2>&1 | tee build/ctest.txt
t3=$(date +%s)
bash scripts/package-check.sh
t4=$(date +%s)
echo "== times: packages $((t1 - t0)) s, build $((t2 - t1)) s, tests $((t3 - t2)) s, package check $((t4 - t3)) s"
INSIDE

stamp "installing, building and testing inside"
mounts="mount -t proc proc '$root/proc' && mount --rbind /dev '$root/dev' && mount --rbind /sys '$root/sys'"
mounts+=" && mount -t tmpfs -o mode=1777 tmpfs '$root/dev/shm' && mount -t tmpfs -o mode=1777 tmpfs '$root/tmp'"
env_vars=()
if [ -n "${CCACHE_DIR:-}" ]; then
    mkdir -p "$root/ccache"
    mounts+=" && mount --bind '$CCACHE_DIR' '$root/ccache'"
    env_vars=(CCACHE_DIR=/ccache)
fi
set +e
# A mount namespace of its own: the mounts go with the run, whatever ends it.
unshare --mount --propagation private --fork sh -c "$mounts && exec chroot '$root' env -i \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root ${env_vars[*]} \
    bash /src/run.sh" 2>&1 | tee "$out/log.txt"
rc=${PIPESTATUS[0]}
set -e
rm -f "$out"/*.deb
cp "$root"/src/zorvik/build/zorvik_*.deb "$root"/src/zorvik/build/zorvik-dbgsym_*.deb "$out/" 2>/dev/null || true
stamp "done, exit code $rc; log in $out/log.txt"
ls -l "$out"/*.deb 2>/dev/null || echo "no package was made"
exit "$rc"
