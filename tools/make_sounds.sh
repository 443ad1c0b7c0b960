#!/usr/bin/env bash
# Makes the game's sounds into assets/sounds/ as small WAV files (mono,
# 22050 Hz, 16-bit): tones and noises with sox, the spoken chatter sounds with
# espeak-ng. Run by hand after changing a sound; the build only embeds the
# committed files. Needs: apt-get install sox espeak-ng
set -euo pipefail
cd "$(dirname "$0")/.."
out=assets/sounds
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

fmt=(-r 22050 -c 1 -b 16)

# Quiet, and repeatable: the noise generators start from the same seed, so a
# run without changes reproduces the committed files.
sox() { command sox -V1 -R "$@"; }

# finish <name> <input> [effects...]: trims the silence at both ends, levels the
# sound to a comfortable peak and writes the committed file.
finish() {
    local name=$1 input=$2
    shift 2
    sox "$input" "${fmt[@]}" "$out/$name.wav" "$@" \
        silence 1 0.005 0.2% reverse silence 1 0.005 0.2% reverse \
        norm -3
}

# tone <file> <seconds> <synth args...>: one synthesised piece.
tone() {
    local file=$1 seconds=$2
    shift 2
    sox -n "${fmt[@]}" "$file" synth "$seconds" "$@"
}

# speak <file> <pitch> <speed> <text>: a spoken piece.
speak() {
    espeak-ng -v en-us+m3 -p "$2" -s "$3" -w "$1" "$4"
}

# --- Game events -----------------------------------------------------------

# flip: a card-like flap, a short bright burst of noise.
tone "$tmp/flip.wav" 0.07 pinknoise
finish flip "$tmp/flip.wav" highpass 900 lowpass 5000 fade q 0.002 0.07 0.06

# puttile: a wooden tock as the tile lands in the word.
tone "$tmp/tock1.wav" 0.09 sine 620 sine 1240
tone "$tmp/tock2.wav" 0.09 brownnoise
sox -m "$tmp/tock1.wav" "$tmp/tock2.wav" "$tmp/tock.wav"
finish puttile "$tmp/tock.wav" fade q 0.001 0.09 0.085 lowpass 2500

# tick: the clock's short high click.
tone "$tmp/tick.wav" 0.04 sine 2400
finish tick "$tmp/tick.wav" fade q 0.001 0.04 0.036

# clear: tiles swept back, a falling swish.
tone "$tmp/clear.wav" 0.35 pinknoise
finish clear "$tmp/clear.wav" sinc -3000 fade q 0.02 0.35 0.25 bend 0,-600,0.3 vol 0.8

# entered: a two-note door chime.
tone "$tmp/e1.wav" 0.35 sine 659 sine 1318
tone "$tmp/e2.wav" 0.55 sine 523 sine 1046
sox "$tmp/e1.wav" "$tmp/e1f.wav" fade q 0.005 0.35 0.3
sox "$tmp/e2.wav" "$tmp/e2f.wav" fade q 0.005 0.55 0.5
sox "$tmp/e1f.wav" "$tmp/e2f.wav" "$tmp/entered.wav"
finish entered "$tmp/entered.wav" vol 0.7

# goodword: a quick rising arpeggio.
for note in 523 659 784; do
    tone "$tmp/g$note.wav" 0.09 triangle $note
    sox "$tmp/g$note.wav" "$tmp/gf$note.wav" fade q 0.004 0.09 0.03
done
tone "$tmp/g1046.wav" 0.4 triangle 1046 sine 2093
sox "$tmp/g1046.wav" "$tmp/gf1046.wav" fade q 0.004 0.4 0.35
sox "$tmp/gf523.wav" "$tmp/gf659.wav" "$tmp/gf784.wav" "$tmp/gf1046.wav" "$tmp/goodword.wav"
finish goodword "$tmp/goodword.wav"

# invalid: a low double buzz.
tone "$tmp/buzz.wav" 0.16 square 147 square 155
sox "$tmp/buzz.wav" "$tmp/buzzf.wav" lowpass 1200 fade q 0.005 0.16 0.03
sox -n "${fmt[@]}" "$tmp/gap.wav" trim 0 0.05
sox "$tmp/buzzf.wav" "$tmp/gap.wav" "$tmp/buzzf.wav" "$tmp/invalid.wav"
finish invalid "$tmp/invalid.wav"

# timeup: three falling notes of a buzzer.
parts=()
for note in 392 330 262; do
    tone "$tmp/t$note.wav" 0.22 sawtooth $note
    sox "$tmp/t$note.wav" "$tmp/tf$note.wav" lowpass 1800 fade q 0.005 0.22 0.06
    parts+=("$tmp/tf$note.wav")
done
sox "${parts[@]}" "$tmp/timeup.wav"
finish timeup "$tmp/timeup.wav"

# buy: a cash-register ring, two bright notes over a rattle.
tone "$tmp/b1.wav" 0.08 square 1568
sox "$tmp/b1.wav" "$tmp/b1f.wav" lowpass 3000 fade q 0.002 0.08 0.02
tone "$tmp/b2.wav" 0.45 sine 2093 sine 3136
sox "$tmp/b2.wav" "$tmp/b2f.wav" fade q 0.002 0.45 0.42
sox "$tmp/b1f.wav" "$tmp/b2f.wav" "$tmp/buy.wav"
finish buy "$tmp/buy.wav"

# gameover: a short closing fanfare.
parts=()
for step in "392 0.15" "523 0.15" "659 0.15" "784 0.6"; do
    set -- $step
    tone "$tmp/f$1.wav" "$2" sawtooth "$1" sine "$(($1 * 2))"
    sox "$tmp/f$1.wav" "$tmp/ff$1.wav" lowpass 2500 fade q 0.005 "$2" 0.05
    parts+=("$tmp/ff$1.wav")
done
sox "${parts[@]}" "$tmp/gameover.wav"
finish gameover "$tmp/gameover.wav" reverb 20

# turn (Classic): a bell.
tone "$tmp/turn.wav" 0.8 sine 880 sine 1760 sine 2637
finish turn "$tmp/turn.wav" fade q 0.002 0.8 0.78 vol 0.8

# turnnew (New): a rising two-note chime.
tone "$tmp/n1.wav" 0.18 sine 784 sine 1568
sox "$tmp/n1.wav" "$tmp/n1f.wav" fade q 0.004 0.18 0.1
tone "$tmp/n2.wav" 0.5 sine 1046 sine 2093
sox "$tmp/n2.wav" "$tmp/n2f.wav" fade q 0.004 0.5 0.45
sox "$tmp/n1f.wav" "$tmp/n2f.wav" "$tmp/turnnew.wav"
finish turnnew "$tmp/turnnew.wav"

# --- Chatter sounds --------------------------------------------------------

speak "$tmp/wave1.wav" 40 140 "D'oh!"
finish wave1 "$tmp/wave1.wav"

# Cough: two throaty bursts of noise.
tone "$tmp/c.wav" 0.16 brownnoise
sox "$tmp/c.wav" "$tmp/cf.wav" bandpass 500 300h fade q 0.01 0.16 0.12 overdrive 10
sox -n "${fmt[@]}" "$tmp/cgap.wav" trim 0 0.08
sox "$tmp/cf.wav" "$tmp/cgap.wav" "$tmp/cf.wav" "$tmp/wave2.wav"
finish wave2 "$tmp/wave2.wav"

speak "$tmp/wave3.wav" 55 150 "Hello!"
finish wave3 "$tmp/wave3.wav"

speak "$tmp/wave4.wav" 50 150 "Thank you!"
finish wave4 "$tmp/wave4.wav"

speak "$tmp/wave5.wav" 50 165 "Where have you been?"
finish wave5 "$tmp/wave5.wav"

# Snoring: a slow rumble that swells twice.
tone "$tmp/s.wav" 0.7 brownnoise
sox "$tmp/s.wav" "$tmp/sf.wav" lowpass 300 tremolo 28 60 fade q 0.3 0.7 0.35
sox -n "${fmt[@]}" "$tmp/sgap.wav" trim 0 0.25
sox "$tmp/sf.wav" "$tmp/sgap.wav" "$tmp/sf.wav" "$tmp/wave6.wav"
finish wave6 "$tmp/wave6.wav"

speak "$tmp/wave7.wav" 70 170 "Ahh... choo!"
finish wave7 "$tmp/wave7.wav"

speak "$tmp/wave8.wav" 45 140 "Sorry!"
finish wave8 "$tmp/wave8.wav"

speak "$tmp/wave9.wav" 50 150 "Welcome!"
finish wave9 "$tmp/wave9.wav"

speak "$tmp/wave10.wav" 80 170 "Yee haa!"
finish wave10 "$tmp/wave10.wav"

speak "$tmp/wave11.wav" 90 170 "Yippee!"
finish wave11 "$tmp/wave11.wav"

speak "$tmp/wave12.wav" 40 130 "Oh no!"
finish wave12 "$tmp/wave12.wav"

# Applause: a crowd of single claps at scattered moments, swelling and dying
# away. The shell's random numbers start from a fixed seed, so the crowd is
# the same on every run.
tone "$tmp/clap.wav" 0.035 whitenoise
RANDOM=1013
claps=()
for i in $(seq 1 70); do
    delay=$(printf '0.%03d' $((RANDOM % 1000)))
    centre=$((900 + RANDOM % 1400))
    sox "$tmp/clap.wav" "$tmp/clap$i.wav" bandpass $centre 900h fade q 0.001 0.035 0.03 vol 0.$((3 + RANDOM % 6)) pad "$delay"
    claps+=("$tmp/clap$i.wav")
done
sox -m "${claps[@]}" "$tmp/crowd.wav"
finish wave13 "$tmp/crowd.wav" norm -3 fade q 0.08 1.04 0.45

# Honk: a bicycle horn, two squeezes.
tone "$tmp/h.wav" 0.22 square 370 square 466
sox "$tmp/h.wav" "$tmp/hf.wav" lowpass 1800 fade q 0.01 0.22 0.05
sox -n "${fmt[@]}" "$tmp/hgap.wav" trim 0 0.07
sox "$tmp/hf.wav" "$tmp/hgap.wav" "$tmp/hf.wav" "$tmp/wave14.wav"
finish wave14 "$tmp/wave14.wav"

ls -l "$out"
