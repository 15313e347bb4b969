#!/bin/bash
# The DLL exports the sixteen callbacks and rundll32's ShowSettings by plain name and imports
# only system DLLs.
set -euo pipefail
# Messages must stay in English whatever locale the test run uses.
export LC_ALL=C
dll=$1
objdump=${2:-i686-w64-mingw32-objdump}
dump=$("$objdump" -p "$dll")
fail=0
grep -q 'file format pei-i386' <<<"$("$objdump" -f "$dll")" || { echo "not a 32-bit PE"; fail=1; }
for name in BKC_OnStart BKC_OnExit BKC_OnMenuInit BKC_OnOpenFolder BKC_OnOpenMail BKC_OnEveryMinute \
  BKC_OnOpenCompose BKC_OnOutgoing BKC_OnKeyDispatch BKC_OnRetrieve BKC_OnSend BKC_OnFinishRetrieve \
  BKC_OnPlugInSetup BKC_OnPlugInInfo BKC_OnDragDrop BKC_OnBeforeFilter2 ShowSettings; do
  if ! grep -Eq "\] ${name}$" <<<"$dump"; then echo "missing export $name"; fail=1; fi
done
exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" | grep -Ec '^\s+\[' || true)
[ "$exports" -eq 17 ] || { echo "expected 17 exports, found $exports"; fail=1; }
if grep -Eq '\] (BKC_[A-Za-z0-9]+|ShowSettings)@[0-9]+' <<<"$dump"; then echo "decorated export names"; fail=1; fi
allowed='^(KERNEL32|USER32|GDI32|COMCTL32|SHELL32|VERSION|ADVAPI32|OLE32|msvcrt|SHLWAPI)\.dll$'
while read -r imported; do
  if ! grep -Eiq "$allowed" <<<"$imported"; then echo "non-system import: $imported"; fail=1; fi
done < <(awk '/DLL Name:/{print $3}' <<<"$dump")
# The subclass functions come from comctl32 by ordinal, never by name.
if grep -Eq 'SetWindowSubclass|RemoveWindowSubclass|DefSubclassProc' <<<"$dump"; then
  echo "subclass functions imported by name"; fail=1
fi
comctl=$(awk '/DLL Name: comctl32.dll/{on=1; next} /DLL Name:/{on=0} on' <<<"$dump")
for ordinal in 410 412 413; do
  if ! grep -Eq "^\s+[0-9a-f]+\s+${ordinal}\s+<none>" <<<"$comctl"; then
    echo "comctl32 ordinal $ordinal not imported"; fail=1
  fi
done
exit $fail
