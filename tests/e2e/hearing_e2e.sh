#!/usr/bin/env bash
# What a player hears, measured: the bench's sound sink is recorded while the engine plays a
# fixed sequence (tests/e2e/programs/sound_check.cpp) and the recording is measured by
# tests/e2e/hearing.py: a sound buffer's pitch after SetFrequency, its level after SetVolume,
# its sides after SetPan, and where a looping WAVE stream and a looping MP3 come back.
. "$(dirname "$0")/lib.sh"

rec="$build/hearing.raw"
start_recording "$rec"
out=$(wine "$build/sound_check.exe" "$(winpath "$e2e_root/tests/data/audio/tone.mp3")" 2>/dev/null | tr -d '\r')
stop_recording
check "the engine plays the whole sequence" "sound_check: ok" "$out"
check_heard engine "$rec"
# A failed run keeps its recording for a look (raw 16-bit stereo at 44.1 kHz).
[ "$failures" -eq 0 ] && rm -f "$rec"
finish
