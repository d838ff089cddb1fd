#!/usr/bin/env bash
# Throughput benchmarks; `make bench` runs them on the plain build.
set -euo pipefail
build=${1:-build}
"$build/bench/generator_bench" 64
