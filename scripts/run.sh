#!/usr/bin/env bash
# Shows what the utility does: the command-line front end encrypts a sample file, checks it, and
# decrypts it back.
set -euo pipefail
build=${1:-build}
cli="$(cd "$build" && pwd)/cli/tessella-cli"
"$cli" --help
echo
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
printf 'Tessella Cross Edition sample file\n%.0s' {1..2000} > sample.txt
printf 'sample pass\n' > password
echo "\$ tessella-cli encrypt --password-file password sample.txt"
"$cli" encrypt --password-file password sample.txt
mv sample.txt original.txt
echo "\$ tessella-cli decrypt --password-file password sample.velx"
"$cli" decrypt --password-file password sample.velx
ls -l original.txt sample.velx sample.txt
cmp original.txt sample.txt && echo "The decrypted file is identical to the original."
