#!/usr/bin/env bash
# tallisk-cli's bash completion as bash runs it: the script the program
# makes is sourced, and a few command lines are completed.
# Usage: completion_check.sh TALLISK_CLI
set -euo pipefail
cli="$1"
script="$(mktemp)"
trap 'rm -f "$script"' EXIT
"$cli" completion bash >"$script"
bash -n "$script"
# shellcheck source=/dev/null
source "$script"

failures=0
expect() {
    local want="$1"
    shift
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _tallisk_cli
    local got="${COMPREPLY[*]}"
    if [ "$got" != "$want" ]; then
        echo "completing '$*': got '$got', want '$want'" >&2
        failures=$((failures + 1))
    fi
}

expect "list read write verify send watch help completion" tallisk-cli ""
expect "read" tallisk-cli re
expect "verify" tallisk-cli --json ve
expect "--force" tallisk-cli write --f
expect "--compare --count" tallisk-cli watch --co
expect "--device" tallisk-cli read --dev
expect "MSR1_Standards_Setup MSR2_Standards_Setup MSR3_Standards_Setup MSR_Code_Type_setup MSR_Read_Limit" \
    tallisk-cli send MSR
expect "track1Limit=true track1Limit=false" tallisk-cli --serial COM1 send MSR_Read_Limit track1
expect "msr2Standard=IBMF msr2Standard=IBMC" tallisk-cli send MSR2_Standards_Setup msr2Standard=IBM
expect "COM1 COM2 COM3 COM4" tallisk-cli --serial COM
expect "bash" tallisk-cli completion b
[ "$failures" -eq 0 ]
