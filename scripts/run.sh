#!/usr/bin/env bash
# What the utility can do so far: the command-line front end on a sample file.
set -euo pipefail
build=${1:-build}
cli="$build/cli/tessella-cli"
"$cli" --help
