#!/usr/bin/env bash
# Writes a small sample item store for a Wine prefix into DIR/shortcuts:
# programs that every prefix has, a document, a directory link, a folder with a
# nested folder, and both kinds of separator. Index files use CR LF.
#   sample-store.sh DIR
set -euo pipefail
dir="$1/shortcuts"
rm -rf "$dir"
mkdir -p "$dir/More tools/Nested"

crlf() { sed 's/$/\r/'; }

crlf >"$dir/shortcuts.txt" <<'STORE'
^ExeLnk|C:\windows\notepad.exe||notepad.bmp|Notepad
^ExeLnk|C:\windows\system32\winecfg.exe||winecfg.bmp|Wine configuration
^UnkLnk|C:\windows\win.ini|ini|win.ini (a document)
^UnkLnk|C:\windows||The Windows directory
^SpeSep|Tools
^Folder|More tools
^NorSep|
^ExeLnk|C:\windows\system32\winver.exe||winver.bmp|About Wine
STORE

crlf >"$dir/More tools/shortcuts.txt" <<'STORE'
^ExeLnk|C:\windows\regedit.exe||regedit.bmp|Registry editor
^ExeLnk|C:\windows\system32\taskmgr.exe||taskmgr.bmp|Task manager
^NorSep|
^Folder|Nested
STORE

crlf >"$dir/More tools/Nested/shortcuts.txt" <<'STORE'
^ExeLnk|C:\windows\system32\cmd.exe|/k echo Hello from Pivora|cmd.bmp|Command prompt
^UnkLnk|C:\windows\system32\drivers\etc\hosts||hosts file
STORE
echo "sample store written to $dir"
