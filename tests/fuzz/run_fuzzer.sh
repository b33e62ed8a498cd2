#!/bin/sh
# Runs one fuzz target for a fixed number of executions, starting from its seed
# corpus, which also holds every input that once made a target fail. New inputs,
# the whole log and any crashing input go to a scratch folder; the log's summary
# (executions, coverage, time) is printed. A dictionary SEEDS.dict beside the seed
# folder, when there is one, gives the mutations words of the input's language.
# Usage: run_fuzzer.sh TARGET RUNS SEEDS SCRATCH
set -u
target=$1
runs=$2
seeds=$3
scratch=$4

rm -rf "$scratch"
mkdir -p "$scratch/corpus"
log=$scratch/fuzz.log
start=$(date +%s)
dictionary=""
if [ -f "$seeds.dict" ]; then
    dictionary="-dict=$seeds.dict"
fi
"$target" -runs="$runs" -print_final_stats=1 -artifact_prefix="$scratch/" $dictionary \
    "$scratch/corpus" "$seeds" >"$log" 2>&1
status=$?
end=$(date +%s)

grep -E '^INFO: Seed|^#[0-9]+[[:space:]]+(INITED|DONE)|^Done |^stat::' "$log"
echo "time: $((end - start)) s"
if [ "$status" -ne 0 ]; then
    tail -n 60 "$log"
    echo "failed with $status; the input is in $scratch, the whole log in $log"
fi
exit "$status"
