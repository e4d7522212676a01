#!/usr/bin/env bash
# Puts beside keeprun.exe what it needs to run on a Windows without Qt, as
# Qt's deploy tool would: the Qt DLLs, the windows platform and style plugins,
# the mingw runtime, Qt's Chinese translation for the standard dialogs, and
# every DLL those import in turn (read with objdump), found in Qt's bin folder
# or the mingw toolchain. A DLL found nowhere must be one of Windows' own
# (Wine's list of them is the check) or an API set (api-ms-win-*, which
# Windows maps to its own DLLs); anything else is an error.
#
# windows-dlls.sh <folder with keeprun.exe> <Qt for mingw prefix>
set -euo pipefail

folder=$1
qt=$2
objdump=x86_64-w64-mingw32-objdump
gcc_runtime=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")
search=("$qt/bin" "$gcc_runtime" /usr/x86_64-w64-mingw32/lib /usr/x86_64-w64-mingw32/bin)
windows_own=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows

# A copy without debugging symbols (the mingw runtime carries megabytes of them).
put() {
    x86_64-w64-mingw32-strip --strip-unneeded -o "$2/$(basename "$1")" "$1"
}

mkdir -p "$folder/platforms" "$folder/styles" "$folder/translations"
put "$qt/plugins/platforms/qwindows.dll" "$folder/platforms"
put "$qt/plugins/styles/qwindowsvistastyle.dll" "$folder/styles"
cp /usr/share/qt6/translations/qtbase_zh_CN.qm "$folder/translations/"

# The first file of that name (any case) in the search folders.
find_dll() {
    local dir
    for dir in "${search[@]}"; do
        find "$dir" -maxdepth 1 -iname "$1" -print -quit 2>/dev/null
    done | head -n 1
}

imports() {
    "$objdump" -p "$1" | sed -n 's/^\s*DLL Name: //p'
}

# Breadth first over the folder's own binaries and what they bring in.
queue=("$folder/keeprun.exe" "$folder"/platforms/*.dll "$folder"/styles/*.dll)
while [ ${#queue[@]} -gt 0 ]; do
    binary=${queue[0]}
    queue=("${queue[@]:1}")
    while IFS= read -r dll; do
        [ -n "$(find "$folder" -maxdepth 1 -iname "$dll" -print -quit)" ] && continue
        found=$(find_dll "$dll")
        if [ -n "$found" ]; then
            put "$found" "$folder"
            queue+=("$folder/$(basename "$found")")
        elif [[ ! "${dll,,}" =~ ^(api|ext)-ms-win- ]] &&
            [ -z "$(find "$windows_own" -maxdepth 1 -iname "$dll" -print -quit)" ]; then
            echo "windows-dlls.sh: $binary needs $dll, found nowhere" >&2
            exit 1
        fi
    done < <(imports "$binary")
done
