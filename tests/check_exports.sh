#!/usr/bin/env bash
# Checks that a built module library exports MP_GetFactory and nothing else.
set -euo pipefail
library=$1
case "$library" in
  *.dll)
    exports=$(x86_64-w64-mingw32-objdump -p "$library" |
      awk '/\[Ordinal\/Name Pointer\] Table/{table=1; next} table && /^\t\[/{print $NF} table && /^$/{table=0}')
    ;;
  *)
    exports=$(nm -D --defined-only "$library" | awk '{print $NF}')
    ;;
esac
if [ "$exports" != "MP_GetFactory" ]; then
  echo "expected MP_GetFactory alone, found:"; echo "$exports"
  exit 1
fi
echo "exports: $exports"
