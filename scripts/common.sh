# Shared by the run and test scripts: installs what is missing, then builds.
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$top/build"
packages=(build-essential cmake pkg-config clang-format qtbase5-dev libqt5sql5-sqlite libqt5sql5-psql libsodium-dev libjemalloc-dev libsqlite3-dev)

install_missing() {
    local missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
}

build_all() {
    cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
    cmake --build "$build" -j2
}

# A throwaway PostgreSQL cluster for the tests, under the build folder (or a
# temporary folder where the postgres account cannot reach that), reached
# through a socket in its folder only. Run as the postgres account when the
# tests run as root. Sets REPAIR_TEST_POSTGRES and stops the cluster on exit.
start_test_postgres() {
    local pg_bin
    pg_bin=$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -n 1)
    local dir="$build/postgres"
    local as_postgres=()
    rm -rf "$dir"
    mkdir -p "$dir"
    if [ "$(id -u)" -eq 0 ]; then
        as_postgres=(runuser -u postgres --)
        chown postgres: "$dir"
        if ! runuser -u postgres -- test -w "$dir"; then
            rm -rf "$dir"
            dir=$(mktemp -d /tmp/repair-postgres.XXXXXX)
            chown postgres: "$dir"
        fi
    fi
    "${as_postgres[@]}" "$pg_bin/initdb" -D "$dir/data" -U repair -A trust -E UTF8 --no-sync >/dev/null
    "${as_postgres[@]}" "$pg_bin/pg_ctl" -D "$dir/data" -l "$dir/log" -w \
        -o "-c listen_addresses='' -k $dir -c fsync=off -c max_connections=200" start >/dev/null
    export REPAIR_TEST_POSTGRES="postgresql://repair@/postgres?host=$dir"
    # shellcheck disable=SC2064
    trap "${as_postgres[*]} $pg_bin/pg_ctl -D $dir/data -m immediate stop >/dev/null 2>&1 || true" EXIT
}
