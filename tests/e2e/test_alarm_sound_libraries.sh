#!/usr/bin/env bash
# The clock maps SDL2 and libsndfile only once an alarm plays its sound; with them missing the
# alarm still opens its window, silently, and the clock goes on; a clock that has rung still
# ends on SIGTERM; with no sound device at all nothing of ALSA or SDL reaches stderr. The
# wall clock starts at
# 07:29:50, ten seconds before the alarm.
source "$(dirname "$0")/lib.sh" "$1"
e2e_desktop
export SDL_AUDIODRIVER=dummy

sound="$E2E_TMP/ring.wav" # half a second of 16-bit mono silence at 8000 Hz
printf 'RIFF\x64\x1f\x00\x00WAVEfmt \x10\x00\x00\x00\x01\x00\x01\x00\x40\x1f\x00\x00\x80\x3e\x00\x00\x02\x00\x10\x00data\x40\x1f\x00\x00' >"$sound"
head -c 8000 /dev/zero >>"$sound"

settings() {
    e2e_write_settings "[Style]
Bitmap=$E2E_BIN/pics/watch2.bmp
[Window]
Borderless=False
AlwaysOnTop=0
WindowX=1500
WindowY=1500
[Alarms]
AlarmsCount=1
[Alarm1]
ShowMessage=True
Message=Tea
RepeatMinutes=0
RunProgram=False
Program=
PlaySound=True
Sound=$sound
Hour=7
Minute=30
Mode=-1"
}
alarm_window() { xdotool search --all --onlyvisible --pid "$ZINTAR_PID" --name '^Zintar! - Alarm$' 2>/dev/null; }
has_alarm_window() { [ -n "$(alarm_window)" ]; }
maps() { grep -q "/$1" "/proc/$ZINTAR_PID/maps"; }
stop_zintar() {
    kill "$ZINTAR_PID" 2>/dev/null
    e2e_wait_until 10 e2e_not kill -0 "$ZINTAR_PID" || { kill -9 "$ZINTAR_PID" && return 1; }
}

settings
e2e_start_zintar faketime "2026-03-02 07:29:50"
e2e_check "SDL2 is not mapped before the alarm" e2e_not maps libSDL2
e2e_check "libsndfile is not mapped before the alarm" e2e_not maps libsndfile
e2e_check "the alarm window opens" e2e_wait_until 30 has_alarm_window
e2e_check "SDL2 is mapped once the alarm rang" e2e_wait_until 5 maps libSDL2
e2e_check "libsndfile is mapped once the alarm rang" maps libsndfile
e2e_check "no library was missing" e2e_not grep -q "Sound disabled" "$ZINTAR_LOG"
e2e_check "after ringing the clock still ends on SIGTERM" stop_zintar

# No sound device: ALSA asked for a card that is not there.
SDL_AUDIODRIVER=alsa AUDIODEV=hw:9,0 settings
SDL_AUDIODRIVER=alsa AUDIODEV=hw:9,0 e2e_start_zintar faketime "2026-03-02 07:29:50"
e2e_check "no sound device: the alarm window opens" e2e_wait_until 30 has_alarm_window
sleep 1
noise=$(grep -av '^zintar' "$ZINTAR_LOG" | grep -aic 'alsa\|sdl')
e2e_expect_eq "no sound device: nothing of ALSA or SDL on stderr" 0 "$noise"
stop_zintar

mkdir -p "$E2E_TMP/nolibs"
export ZINTAR_SOUND_LIBRARY_DIR="$E2E_TMP/nolibs"
settings
e2e_start_zintar faketime "2026-03-02 07:29:50"
e2e_check "without the libraries the alarm window still opens" e2e_wait_until 30 has_alarm_window
e2e_check "the log names the library that is missing" \
    e2e_wait_log "Sound disabled: cannot load libSDL2-2.0.so.0" 5
e2e_check "the clock goes on running" kill -0 "$ZINTAR_PID"
e2e_finish
