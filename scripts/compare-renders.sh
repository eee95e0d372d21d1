#!/bin/bash
# Renders the same recordings with the same options through two builds of orvane-cli and says which
# pictures differ in a single byte: the check that a speed change leaves every picture as it was.
#
#   scripts/compare-renders.sh BEFORE/orvane-cli AFTER/orvane-cli
#
# The recordings (written by python3 into a temporary folder): one and two channels at three rates, with
# tones and noise, one of them with an odd count of values. Each is rendered at FFT sizes from 16 to 32768
# (the large transform above 16384), every window, the gain's extremes, decimations both ways, both views of
# two channels, a palette and the axes; a job that one build refuses must be refused by the other with the
# same exit code. Exit status 0 when every picture is the same, 1 when one differs, 2 on a usage error.
set -u
if [ $# -ne 2 ] || [ ! -x "$1" ] || [ ! -x "$2" ]; then
    echo "usage: $0 BEFORE/orvane-cli AFTER/orvane-cli" >&2
    exit 2
fi
before=$1
after=$2
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT

python3 - "$folder" <<'EOF'
import math, random, struct, sys
folder = sys.argv[1]

def write(name, channels, frames, rate, seed, extra_value=False):
    random.seed(seed)
    values = []
    for i in range(frames):
        for c in range(channels):
            tone = 8000 * math.sin(2 * math.pi * (1000 + 3000 * c + 0.01 * i) * i / rate)
            values.append(max(-32768, min(32767, int(tone + random.gauss(0, 300 + 2700 * c)))))
    if extra_value:
        values.append(1234)
    data = struct.pack('<%dh' % len(values), *values)
    header = (b'RIFF' + struct.pack('<I', 36 + len(data)) + b'WAVEfmt ' +
              struct.pack('<IHHIIHH', 16, 1, channels, rate, rate * channels * 2, channels * 2, 16) +
              b'data' + struct.pack('<I', len(data)))
    with open('%s/%s' % (folder, name), 'wb') as f:
        f.write(header + data)

write('two48k.wav', 2, 300000, 48000, 1)
write('two8k-odd.wav', 2, 77777, 8000, 2, extra_value=True)
write('two22k-short.wav', 2, 5000, 22050, 3)
write('one48k.wav', 1, 200000, 48000, 4)
EOF

options=("" "--fft 16" "--fft 32" "--fft 64 --window Hann" "--fft 128 --gain 1" "--fft 256 --gain 8000"
         "--fft 2048 --window None" "--fft 4096 --image-width 4" "--fft 16384 --window Blackman" "--fft 32768"
         "--image-width x2" "--axes --palette Rainbow" "--fft 512 --window Experimental --image-width 2"
         "--window Triangular" "--window Hamming --fft 8192" "--view iq" "--view iq --fft 64")
inputs=("two48k.wav" "two8k-odd.wav" "two22k-short.wav" "one48k.wav" "one48k.wav --channels 2")

jobs=0
differ=0
for input in "${inputs[@]}"; do
    for option in "${options[@]}"; do
        jobs=$((jobs + 1))
        # shellcheck disable=SC2086 # the words of a job are meant to be split
        "$before" render $folder/$input "$folder/before.bmp" $option --quiet >/dev/null 2>&1
        before_status=$?
        # shellcheck disable=SC2086
        "$after" render $folder/$input "$folder/after.bmp" $option --quiet >/dev/null 2>&1
        after_status=$?
        if [ $before_status -ne $after_status ]; then
            echo "exit codes differ ($before_status, $after_status): $input $option"
            differ=$((differ + 1))
        elif [ $before_status -eq 0 ] && ! cmp -s "$folder/before.bmp" "$folder/after.bmp"; then
            echo "pictures differ: $input $option"
            differ=$((differ + 1))
        fi
        rm -f "$folder/before.bmp" "$folder/after.bmp"
    done
done
echo "$jobs renders, $differ differ"
[ $differ -eq 0 ]
