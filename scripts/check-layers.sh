#!/usr/bin/env bash
# Fails on an include that breaks the layering of src/ (see ARCHITECTURE.md):
#   support < model < menu < store < manager, prefs < app
# A folder may include its own headers and those of the folders below it;
# manager and prefs do not include each other. Portable files (neither _win
# nor _posix) include no Windows header and no _win header.
# Usage: check-layers.sh [SRC_DIR]   (prints every offending line)
set -u
src="${1:-$(cd "$(dirname "${BASH_SOURCE[0]}")/../src" && pwd)}"

allowed() {  # FOLDER -> folders it may include
    case "$1" in
        support) echo "support" ;;
        model) echo "model support" ;;
        menu) echo "menu model support" ;;
        store) echo "store menu model support" ;;
        manager) echo "manager store menu model support" ;;
        prefs) echo "prefs store menu model support" ;;
        app) echo "app manager prefs store menu model support" ;;
        *) echo "" ;;
    esac
}

bad=0
checked=0
while IFS= read -r file; do
    rel="${file#"$src"/}"
    folder="${rel%%/*}"
    base="$(basename "$file")"
    portable=1
    case "$base" in *_win.*|*_posix.*|pivora.cpp) portable=0 ;; esac  # pivora.cpp: WinMain
    if [ -z "$(allowed "$folder")" ]; then
        echo "$rel: folder '$folder' has no place in the layers"
        bad=1
        continue
    fi
    n=0
    while IFS= read -r line; do
        n=$((n + 1))
        case "$line" in \#include*) ;; *) continue ;; esac
        checked=$((checked + 1))
        inc="$(sed -nE 's/^#include[[:space:]]*[<"]([^>"]*)[>"].*/\1/p' <<<"$line")"
        if [ $portable = 1 ]; then
            case "$inc" in
                windows.h|commctrl.h|shellapi.h|shlobj.h|objbase.h|commdlg.h|mmsystem.h|*_win.h|*resource.h)
                    echo "$rel:$n: a portable file includes $inc"
                    bad=1
                    continue ;;
            esac
        fi
        case "$line" in \#include\ \"*) ;; *) continue ;; esac
        case "$inc" in
            ../../res/resource.h) continue ;;
            */*) target="${inc%%/*}" ;;
            *) continue ;;
        esac
        ok=0
        for a in $(allowed "$folder"); do [ "$a" = "$target" ] && ok=1; done
        if [ $ok = 0 ]; then
            echo "$rel:$n: $folder may not include $inc"
            bad=1
        fi
    done <"$file"
done < <(find "$src" -name '*.h' -o -name '*.cpp' | sort)

if [ $bad = 0 ]; then
    echo "layers: $checked includes checked, none breaks the layering"
fi
exit $bad
