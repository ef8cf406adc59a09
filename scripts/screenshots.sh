#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Takes a picture of each window of the real program for the README: builds
# it in Release, starts it under Xvfb in a temporary program folder and
# drives it with xdotool the way a user would (import the sample package,
# read A类, practise up to a question with a picture, open the export
# window). Each window is saved, cropped to itself, into docs/. With
# --offscreen only the pages of 学习中心 are taken, which need no Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."

# 今日复习 is taken by its test on Qt's offscreen platform, from the 2025
# sample, with a fixed clock and shuffle so that the picture repeats.
study_window() {
    cmake -S . -B build/screenshots-offscreen -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build build/screenshots-offscreen --target study_test study_screenshots
    mkdir -p docs
    ZOMA_SCREENSHOT_DIR=docs QT_QPA_PLATFORM=offscreen LANG=C.UTF-8 \
        build/screenshots-offscreen/bin/study_test screenshot >/dev/null
    echo "docs/study-window.png"
    # 题库浏览 and 学习进度 over a made-up level with a history of answers.
    QT_QPA_PLATFORM=offscreen LANG=C.UTF-8 build/screenshots-offscreen/bin/study_screenshots docs

}

if [ "${1:-}" = --offscreen ]; then
    study_window
    exit 0
fi

if [ "${1:-}" != --inside ]; then
    scripts/install-deps.sh xvfb xauth imagemagick xdotool
    study_window
    cmake -S . -B build/screenshots -G Ninja -DCMAKE_BUILD_TYPE=Release -DZOMA_BUILD_TESTS=OFF >/dev/null
    cmake --build build/screenshots --target zoma_review sample_package
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96 -nolisten tcp" "$0" --inside
fi

# From here on we run inside the virtual display.
export LANG=C.UTF-8 QT_QPA_PLATFORM=xcb
unset QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_FONT_DPI

work=$(mktemp -d -t zoma.XXXXXX)
program=$work/zoma
pid=
cleanup() {
    if [ -n "$pid" ]; then kill "$pid" 2>/dev/null && { wait "$pid" 2>/dev/null || true; }; fi
    rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "screenshots: $*" >&2; exit 1; }

# The window whose title matches, once it is shown.
window() {
    local id
    id=$(timeout 20 xdotool search --sync --onlyvisible --name "$1" | head -n 1) || true
    [ -n "$id" ] || fail "no window titled $1"
    echo "$id"
}

gone() {
    for _ in $(seq 100); do
        xdotool search --onlyvisible --name "$1" >/dev/null || return 0
        sleep 0.1
    done
    fail "window $1 did not close"
}

# The centre of a control, from the pixel geometry in its window's .ui file.
centre() {
    awk -v name="$2" '
        /<widget / && index($0, "name=\"" name "\"") { found = 1 }
        found && /name="geometry"/ {
            gsub(/[^0-9]+/, " "); split($0, g, " ")
            print int(g[1] + g[3] / 2), int(g[2] + g[4] / 2); exit
        }' "$1"
}

click() {  # window-id ui-file control
    local xy
    xy=$(centre "$2" "$3")
    [ -n "$xy" ] || fail "no control $3 in $2"
    # shellcheck disable=SC2086  # xy is "x y"
    xdotool mousemove --window "$1" $xy click 1
    sleep 0.5
}

# Without a window manager a message box raised from the import's worker
# does not always get the focus; given it, Return presses its default button.
answer() {
    local box
    box=$(window '^工程1$')
    sleep 0.3
    if [ "$(xdotool getwindowname "$(xdotool getwindowfocus)")" != 工程1 ]; then
        xdotool windowfocus "$box"
        sleep 0.3
    fi
    xdotool key Return
    gone '^工程1$'
}

shot() {  # window-id name
    xdotool mousemove 0 1023  # no hover highlight on the button clicked last
    sleep 0.5
    import -window "$1" -strip "docs/$2.png"
    echo "docs/$2.png: $(identify -format '%wx%h' "docs/$2.png")"
}

mkdir -p "$program" docs
cp build/screenshots/bin/zoma_review build/screenshots/bin/*.so "$program/"
cp build/screenshots/sample/sample-package.zip "$work/"
# Where the sample's A类 paper holds LS0005, a question with a picture.
sequence=$(grep -o 'LS[0-9]*' sample/A类.txt | grep -n -x LS0005 | cut -d: -f1)
[ -n "$sequence" ] || fail "LS0005 is not on the A类 paper of the sample"

"$program/zoma_review" &
pid=$!

# The main window as the program starts.
main=$(window '^Form1$')
shot "$main" main-window

# Unzip: the program folder holds no bank yet, so the import window opens at once.
click "$main" main_window/form1.ui Command2
import=$(window '^Form3$')
xdotool windowmove --sync "$import" 0 520
click "$import" import/form3.ui Command3
window '^Open$' >/dev/null
xdotool type --delay 20 "$work/sample-package.zip"
xdotool key Return
gone '^Open$'
click "$import" import/form3.ui Command1
answer
[ -n "$(find "$program/lib" -name '总题库文件*.txt')" ] || fail "the import left no bank file"
shot "$import" import-window

# Read A类, then practise: type the sequence number of the question with a picture.
click "$main" main_window/form1.ui Command4
answer
click "$main" main_window/form1.ui Command1
practice=$(window '^Form2$')
xdotool windowmove --sync "$practice" 460 0
click "$practice" practice/form2.ui Text3
xdotool key ctrl+a
xdotool type "$sequence"
shot "$practice" practice-window

# Export.
click "$main" main_window/form1.ui Command5
export_window=$(window '^Form4$')
xdotool windowmove --sync "$export_window" 600 600
shot "$export_window" export-window

# The mock examination, by the keyboard: a question, the answer card later
# on, the result, and last the start page with that exam in its history.
click "$main" main_window/form1.ui examButton
exam=$(window '^模拟考试$')
xdotool windowmove --sync "$exam" 0 0
xdotool windowfocus --sync "$exam"
xdotool key space  # 开始考试 has the focus
sleep 0.5
xdotool key 2
shot "$exam" exam-question
for key in Right b Right 1 m Right Right c Right 4 Right a Right Right d m Right 2; do
    xdotool key "$key"
done
sleep 0.3
shot "$exam" exam-card
xdotool key Tab space  # 交卷, then Yes
answer
sleep 0.3
shot "$exam" exam-result
xdotool windowfocus --sync "$exam"
xdotool key space  # 返回
sleep 0.3
shot "$exam" exam-start
