#!/usr/bin/env bash
# The layers depend one way: each folder's sources include only the folders
# it may build on. Prints every include that breaks the rule and fails.
#   geodesy  -> geodesy
#   core     -> core, geodesy, the public headers (lomitra/)
#   platform -> platform, core
#   app      -> app, platform, core, geodesy
#   batch    -> batch, platform, core, geodesy, the public headers (lomitra/)
#   ui       -> ui, app, platform, core, geodesy
#   gis      -> gis, platform, core (its texts), the public headers (lomitra/)
# Usage: check-layers.sh [SOURCE_DIR]
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"
declare -A allowed=(
  [geodesy]="geodesy"
  [core]="core geodesy lomitra"
  [platform]="platform core"
  [app]="app platform core geodesy"
  [batch]="batch platform core geodesy lomitra"
  [ui]="ui app platform core geodesy"
  [gis]="gis platform core lomitra"
)
status=0
for layer in "${!allowed[@]}"; do
  while IFS=: read -r file line include; do
    folder=${include#*\"}
    folder=${folder%%/*}
    if [[ " ${allowed[$layer]} " != *" $folder "* ]]; then
      echo "$file:$line: $layer may not include $folder/: $include"
      status=1
    fi
  done < <(grep -n '^#include "[a-z_]*/' "$layer"/*.h "$layer"/*.cpp 2>/dev/null || true)
done
exit $status
