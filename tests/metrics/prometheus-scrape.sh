#!/usr/bin/env bash
# A real Prometheus on 127.0.0.1, with a data folder of its own, scrapes
# drivewatch --serve on the simulated machine; its query API must return
# the temperature of every disk that has one. Both servers are stopped by
# their process ids. Polls with a deadline: these are servers of their own.
# Usage: prometheus-scrape.sh DRIVEWATCH SAMPLE_MACHINE
set -euo pipefail
drivewatch=$1
machine=$2
for tool in prometheus curl python3; do
    command -v "$tool" >/dev/null || { echo "prometheus-scrape: $tool is missing; skipped"; exit 77; }
done

scratch=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$scratch"
}
trap cleanup EXIT

# Waits up to $1 seconds for the command after it to succeed.
poll() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@"; do
        ((SECONDS < deadline)) || return 1
        sleep 0.2
    done
}

free_port() {
    python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

mkdir "$scratch/cwd"
(cd "$scratch/cwd" && VORN_SIM="$machine" VORN_HISTORY="$scratch/history.sqlite" \
    exec "$drivewatch" --serve 127.0.0.1:0 2>"$scratch/drivewatch.err") &
pids+=($!)
endpoint() { grep -o 'http://127.0.0.1:[0-9]*' "$scratch/drivewatch.err" 2>/dev/null; }
poll 30 endpoint >/dev/null || { cat "$scratch/drivewatch.err" >&2; exit 1; }
exporter=$(endpoint)
target=${exporter#http://}
poll 30 curl -fs "$exporter/healthz" -o /dev/null

port=$(free_port)
cat >"$scratch/prometheus.yml" <<YAML
global:
  scrape_interval: 1s
  evaluation_interval: 1s
scrape_configs:
  - job_name: vorn
    static_configs:
      - targets: ['$target']
YAML
prometheus --config.file="$scratch/prometheus.yml" --storage.tsdb.path="$scratch/data" \
    --web.listen-address="127.0.0.1:$port" >"$scratch/prometheus.log" 2>&1 &
pids+=($!)
api=http://127.0.0.1:$port/api/v1

# The sample machine has five disks with a temperature.
temperatures() {
    curl -fs "$api/query" --data-urlencode 'query=smartctl_device_temperature{job="vorn"}' \
        -o "$scratch/query.json" &&
        python3 - "$scratch/query.json" <<'PY'
import json, sys
result = json.load(open(sys.argv[1]))["data"]["result"]
values = sorted((r["metric"]["device"], r["value"][1]) for r in result)
sys.exit(0 if len(values) == 5 else 1)
PY
}
if ! poll 90 temperatures; then
    echo "prometheus-scrape: no temperature series; the target said:" >&2
    curl -fs "$api/targets" >&2 || true
    tail -20 "$scratch/prometheus.log" >&2
    exit 1
fi
python3 - "$scratch/query.json" <<'PY'
import json, sys
result = json.load(open(sys.argv[1]))["data"]["result"]
got = {r["metric"]["device"]: r["value"][1] for r in result}
want = {"/dev/sda": "34", "/dev/sdb": "43", "/dev/sdc": "39", "/dev/sde": "37", "/dev/sdf": "35"}
if got != want:
    sys.exit("prometheus-scrape: temperatures %s, expected %s" % (got, want))
PY
# The scrape went through the OpenMetrics parser and left no error.
curl -fs "$api/targets" | python3 -c '
import json, sys
targets = json.load(sys.stdin)["data"]["activeTargets"]
bad = [t for t in targets if t["health"] != "up" or t["lastError"]]
sys.exit("prometheus-scrape: target not healthy: %s" % bad if bad else 0)'
echo "prometheus-scrape: ok"
