#!/bin/sh
# Remakes the PE fixtures from res.rc with Debian's binutils-mingw-w64-x86-64.
# res.rc: DATA1 is a 100-byte named RCDATA; MYTYPE holds another DATA1,
# met first by the walk (named types come before numbered ones); TFORM1
# starts with "TPF0"; 7 is a numbered RCDATA.
# res.dll is stripped, so its resource section is the file's last bytes;
# res-symbols.dll keeps its symbol table after that section.
set -e
cd "$(dirname "$0")"
x86_64-w64-mingw32-windres --preprocessor=cat res.rc -O coff -o res.o
x86_64-w64-mingw32-ld -s --dll -e 0 -o res.dll res.o
x86_64-w64-mingw32-ld --dll -e 0 -o res-symbols.dll res.o
rm -f res.o
