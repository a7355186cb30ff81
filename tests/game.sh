#!/bin/sh
# Stands in for the game on Linux, copied as korvane.exe: appends how it was
# started to started.log in its working folder, "name|argument count|folder|-"
# (boxtext.exe's format, with no show command here), then stays
# KORVANE_GAME_STAYS seconds, so that a program that waited for it is seen to.
printf '%s|%s|%s|-\n' "$(basename "$0")" "$#" "$(pwd)" >>started.log
sleep "${KORVANE_GAME_STAYS:-0}"
