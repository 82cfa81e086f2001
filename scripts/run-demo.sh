#!/usr/bin/env bash
# Builds Quillmere and runs it against the demo list server on 127.0.0.1:8642, which is
# started here and stopped when the window closes.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
QUILLMERE_BUILD_TARGETS=quillmere bash scripts/build.sh -DQUILLMERE_LIST_SERVER=127.0.0.1:8642

python3 -m http.server --bind 127.0.0.1 8642 --directory demo > /dev/null 2>&1 &
server=$!
trap 'kill "$server" 2>/dev/null || true' EXIT
# Wait until the server answers, so that the start-up load finds it.
for _ in $(seq 50); do
    python3 -c 'import urllib.request; urllib.request.urlopen("http://127.0.0.1:8642/prx/info.bin")' 2>/dev/null && break
    sleep 0.1
done

build/src/quillmere
