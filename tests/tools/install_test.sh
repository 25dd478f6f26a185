#!/bin/sh
# blendtab install, then every table checked, CONSEC read through eval and dump.
set -e
blendtab=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
"$blendtab" install "$dir/site" > /dev/null
for t in company rawmat formula unit userlist replist consec wdata detail batching; do
  "$blendtab" check "$dir/site/DATA/$t" > /dev/null
done
[ "$("$blendtab" dump "$dir/site/data/Consec.dbf")" = "$(printf 'DELETED,CSNO\n,1')" ]
[ "$("$blendtab" eval --table "$dir/site/DATA/CONSEC" "ZERO(CSNO, 10)" | tail -1)" = "0000000001" ]
# A second install leaves the existing tables alone.
"$blendtab" install "$dir/site" > "$dir/again"
[ ! -s "$dir/again" ]
grep -q 'Table=.\\DATA\\' "$dir/site/MAIN.INI"
# A demo installation starts with users, materials and the rest.
"$blendtab" install "$dir/demo" --demo > /dev/null
[ "$("$blendtab" eval --table "$dir/demo/DATA/USERLIST" "STR(RECCOUNT(), 1) + ALLTRIM(CODE)" | tail -1)" = "3ADMIN" ]
"$blendtab" check "$dir/demo/DATA/RAWMAT" > /dev/null
echo "all checks passed"
