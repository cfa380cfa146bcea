#!/bin/bash
# The tool's completion file in plain bash: what it offers after a few typed lines.
# Usage: completion_test.sh <completion file>
set -u
source "$1" || exit 1
failed=0

# check "<typed line>" "<the words offered, in any order>"
check()
{
    COMP_LINE=$1
    COMP_POINT=${#1}
    _kestrel_orbit_ctl
    local got want
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | xargs)
    want=$(printf '%s\n' $2 | sort | xargs)
    if [[ $got == "$want" ]]; then
        echo "PASS: '$1'"
    else
        echo "FAIL: '$1' offers '$got', not '$want'"
        failed=1
    fi
}

check "kestrel-orbit-ctl " "status devices profile dpi rate light button macro rule help
                            --virtual --memory-file --trace --help --version"
check "kestrel-orbit-ctl pro" "profile"
check "kestrel-orbit-ctl --virtual profile " "list use export import reset"
check "kestrel-orbit-ctl profile use " "1 2 3 4 5 6"
check "kestrel-orbit-ctl profile use 2 --f" "--full"
check "kestrel-orbit-ctl profile list " ""
check "kestrel-orbit-ctl dpi set --s" "--stages"
check "kestrel-orbit-ctl rate set 1" "125 1000"
check "kestrel-orbit-ctl status --" "--json --help"
check "kestrel-orbit-ctl light set --effect br" "breath breath-loop"
check "kestrel-orbit-ctl light set --speed 3 --b" "--brightness"
check "kestrel-orbit-ctl button 1" "1 10 11 12 13 14 15 16"
check "kestrel-orbit-ctl button 3 do" "double-fire"
# After a colon only the rest of the word is replaced.
check "kestrel-orbit-ctl button 3 media:vol" "volume-up volume-down"
check "kestrel-orbit-ctl --virtual button 3 dpi:" "up down loop sniper"
check "kestrel-orbit-ctl help b" "button"
check "kestrel-orbit-ctl rule " "list add remove on off"
check "kestrel-orbit-ctl rule add " "1 2 3 4 5 6"
check "kestrel-orbit-ctl rule add 3 " "class: exe: title:"
check "kestrel-orbit-ctl rule add 3 t" "title:"
check "kestrel-orbit-ctl rule on " ""
exit $failed
