#!/bin/sh
# Writes system/gb18030_table.cpp from this machine's glibc iconv:  tools/gb18030/make.sh
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
c++ -std=c++20 -O2 -Wall -Wextra -o "$work/generate" "$here/generate.cpp"
"$work/generate" >"$work/table.cpp"
cd "$root"
clang-format --assume-filename=system/gb18030_table.cpp <"$work/table.cpp" >system/gb18030_table.cpp
