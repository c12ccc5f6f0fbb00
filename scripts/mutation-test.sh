#!/usr/bin/env bash
# Mutation testing: applies the mutants of tests/mutants.tsv one at a time to a scratch copy of
# the tree under build/mutation/, rebuilds only what changed and runs the tests that can tell
# each mutant apart. Not part of CI: the whole catalogue takes most of an hour.
#   bash scripts/mutation-test.sh --list               check every anchor, run nothing
#   bash scripts/mutation-test.sh                      the whole catalogue
#   bash scripts/mutation-test.sh --folder scenes      one folder (repeatable)
#   bash scripts/mutation-test.sh --ids a,b --resume   chosen mutants; skip those already done
#   bash scripts/mutation-test.sh --report             the table of the stored results
set -euo pipefail
cd "$(dirname "$0")/.."
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(cd .. && pwd)}
exec python3 scripts/mutation_test.py "$@"
