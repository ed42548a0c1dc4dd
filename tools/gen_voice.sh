#!/usr/bin/env bash
# Renders the spoken cues into assets/voice/: one short WAVE file per word or word group, in the
# output stream's own format (8-bit unsigned mono at 22050 Hz, ToneMixer::kSampleRate), silence
# trimmed at both ends and normalised to the same peak, so the program plays them without any
# conversion and measures each one's length from the file.
#
# The voice is espeak-ng's Spanish (Spain) voice "es" (Debian package espeak-ng); sox (Debian
# package sox) trims, normalises and converts. Both run in repeatable mode and the output is
# written through a fixed pipeline, so the same versions give the same bytes: run it twice and
# compare (tools/gen_voice.sh --check does just that).
#
# Usage: tools/gen_voice.sh [output folder]   (default: assets/voice beside this script)
#        tools/gen_voice.sh --check           renders twice into temporary folders, compares
#                                             them with each other and with assets/voice
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
default_out="$here/../assets/voice"

# The voice's settings: a little slower than espeak-ng's default of 175 words a minute, so
# that the words carry across a noisy court.
VOICE=es
SPEED=150
PITCH=45
RATE=22050
# Trim what is quieter than this at each end (espeak-ng leaves a tail of silence).
TRIM_LEVEL=0.5%
PEAK_DB=-1

for tool in espeak-ng sox; do
    if ! command -v "$tool" >/dev/null; then
        echo "gen_voice.sh: $tool is missing; install the Debian packages espeak-ng and sox." >&2
        exit 1
    fi
done

# name|text: the file name (without .wav) and what is said. The names are those the phrase
# schedule asks for (voice/VoicePhrases.cpp); the numbers cover every period (1..30) and every
# integer and decimal part of the speeds the display shows (4,2 .. 22,6 km/h).
clips() {
    echo "recuperacion|Recuperación"
    echo "periodo|Periodo"
    echo "coma|coma"
    echo "kmh|kilómetros por hora"
    echo "prueba|Prueba de voz"
    for n in $(seq 0 30); do
        printf 'n%02d|%d\n' "$n" "$n"
    done
}

render() {  # output folder
    local out=$1 work
    mkdir -p "$out"
    work=$(mktemp -d)
    while IFS='|' read -r name text; do
        espeak-ng -v "$VOICE" -s "$SPEED" -p "$PITCH" -w "$work/raw.wav" -- "$text"
        # silence..reverse twice trims both ends; norm after the trim so the peak is the word's.
        sox -R -V1 "$work/raw.wav" -r "$RATE" -c 1 -b 8 -e unsigned-integer "$work/$name.wav" \
            silence 1 0.005 "$TRIM_LEVEL" reverse silence 1 0.005 "$TRIM_LEVEL" reverse \
            norm "$PEAK_DB" rate -v "$RATE"
        mv "$work/$name.wav" "$out/$name.wav"
    done < <(clips)
    rm -rf "$work"
}

if [[ ${1:-} == --check ]]; then
    a=$(mktemp -d)
    b=$(mktemp -d)
    trap 'rm -rf "$a" "$b"' EXIT
    render "$a"
    render "$b"
    if ! diff -r "$a" "$b" >/dev/null; then
        echo "gen_voice.sh: two renderings differ: the generator is not deterministic here." >&2
        exit 1
    fi
    if ! diff -r "$a" "$default_out" >/dev/null; then
        echo "gen_voice.sh: deterministic, but assets/voice differs from this machine's rendering" >&2
        echo "(another espeak-ng or sox version?)." >&2
        exit 2
    fi
    echo "gen_voice.sh: two renderings are identical and match assets/voice."
    exit 0
fi

render "${1:-$default_out}"
