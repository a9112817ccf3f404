#!/usr/bin/env bash
# smwave-table benchmark: a conversion of three SAC components of 30000 samples (mean removed, the
# default), the same record of one miniSEED-like set of counts made physical with a 30 MB regional
# StationXML, and --info over 3000 record files (1500 K-NET, 1500 SAC of 6000 samples).
#
#     bash bench/table.sh
#
# Environment: RUNS (10), BENCH_DIR (build/bench/table-run). The inventory's parse alone is timed by
# build/bench/table/inventory_bench.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=${BENCH_DIR:-$root/build/bench/table-run}
runs=${RUNS:-10}

cd "$root"
[[ -f build/CMakeCache.txt ]] || cmake --preset release >/dev/null
mkdir -p "$work"
cmake --build build -j2 --target smwave-table >"$work/build.log" 2>&1 || { cat "$work/build.log"; exit 1; }
table=$root/build/smwave-table
cd "$work"

/usr/bin/python3 - <<'PY'
import math, os, struct

def sac(path, samples, station, channel, network="XX"):
    floats = [-12345.0] * 70
    floats[0] = 0.01
    floats[5] = 0.0
    ints = [-12345] * 40
    ints[0:6] = [2024, 65, 3, 34, 5, 0]
    ints[6] = 6
    ints[9] = len(samples)
    ints[15] = 1
    ints[16] = 5
    ints[35:40] = [1, 0, 0, 0, 0]
    chars = station.ljust(8)[:8] + "-12345".ljust(16)
    for k in range(21):
        chars += (channel if k == 17 else network if k == 18 else "-12345").ljust(8)
    with open(path, "wb") as out:
        out.write(struct.pack("<70f", *floats) + struct.pack("<40i", *ints) + chars.encode())
        out.write(struct.pack("<%df" % len(samples), *samples))

signal = [[round(8e5 * math.sin(i * 0.01 * (3 + k)) * math.exp(-i * 0.0001)) + 5000 for i in range(30000)]
          for k in range(3)]
for k, channel in enumerate(["HNE", "HNN", "HNZ"]):
    sac("%s.sac" % channel, signal[k], "STA", channel)

os.makedirs("many", exist_ok=True)
short = signal[0][:6000]
knet_head = ("Origin Time       2024/03/05 12:34:00\nLat.              36.10\nLong.             140.20\n"
             "Depth. (km)       40\nMag.              5.8\nStation Code      XYZ%03d\nStation Lat.      36.0500\n"
             "Station Long.     140.1000\nStation Height(m) 25\nRecord Time       2024/03/05 12:34:20\n"
             "Sampling Freq(Hz) 100Hz\nDuration Time(s)  60\nDir.              N-S\n"
             "Scale Factor      7845(gal)/8223790\nMax. Acc. (gal)   %.3f\nLast Correction   2024/03/05 12:34:21\nMemo.\n")
mean = sum(short) / len(short)
peak = max(abs(c - mean) for c in short) * 7845 / 8223790
body = "".join("%9d" % c + ("\n" if i % 8 == 7 else "") for i, c in enumerate(short))
for n in range(1500):
    with open("many/K%04d.NS" % n, "w") as out:
        out.write(knet_head % (n % 1000, peak) + body + "\n")
    sac("many/S%04d.sac" % n, short, "S%d" % n, "HNZ")

# A regional inventory of 2000 channels (200 stations of 10) with a 200-tap FIR each, STA among them.
taps = "".join('<NumeratorCoefficient i="%d">%.9e</NumeratorCoefficient>' % (k, 0.005 + 1e-6 * k) for k in range(200))
with open("regional.xml", "w") as out:
    out.write('<?xml version="1.0" encoding="UTF-8"?>\n<FDSNStationXML xmlns="http://www.fdsn.org/xml/station/1" '
              'schemaVersion="1.2"><Source>bench</Source><Network code="XX">\n')
    for s in range(200):
        out.write('<Station code="%s"><Latitude>35</Latitude><Longitude>-120</Longitude><Elevation>100</Elevation>\n'
                  % ("STA" if s == 0 else "S%d" % s))
        for c in ["HNE", "HNN", "HNZ", "HHE", "HHN", "HHZ", "BHE", "BHN", "BHZ", "LHZ"]:
            out.write('<Channel code="%s" locationCode="" startDate="2020-01-01T00:00:00Z"><SampleRate>100</SampleRate>'
                      '<Response><InstrumentSensitivity><Value>200000</Value><Frequency>1</Frequency><InputUnits>'
                      '<Name>m/s**2</Name></InputUnits><OutputUnits><Name>count</Name></OutputUnits>'
                      '</InstrumentSensitivity><Stage number="1"><PolesZeros><InputUnits><Name>m/s**2</Name>'
                      '</InputUnits><OutputUnits><Name>V</Name></OutputUnits><PzTransferFunctionType>LAPLACE '
                      '(RADIANS/SECOND)</PzTransferFunctionType><NormalizationFactor>98696.05</NormalizationFactor>'
                      '<NormalizationFrequency>1</NormalizationFrequency><Pole number="0"><Real>-222.1441</Real>'
                      '<Imaginary>222.1441</Imaginary></Pole><Pole number="1"><Real>-222.1441</Real><Imaginary>'
                      '-222.1441</Imaginary></Pole></PolesZeros><StageGain><Value>0.5</Value><Frequency>1'
                      '</Frequency></StageGain></Stage><Stage number="2"><StageGain><Value>400000</Value>'
                      '<Frequency>1</Frequency></StageGain></Stage><Stage number="3"><FIR><InputUnits><Name>count'
                      '</Name></InputUnits><OutputUnits><Name>count</Name></OutputUnits><Symmetry>NONE</Symmetry>'
                      '%s</FIR><Decimation><InputSampleRate>100</InputSampleRate><Factor>1</Factor><Offset>0'
                      '</Offset><Delay>0</Delay><Correction>0</Correction></Decimation><StageGain><Value>1</Value>'
                      '<Frequency>1</Frequency></StageGain></Stage></Response></Channel>\n' % (c, taps))
        out.write("</Station>\n")
    out.write("</Network></FDSNStationXML>\n")
PY

ls -l regional.xml | awk '{printf "regional.xml: %.1f MB\n", $5 / 1e6}'

hyperfine -N --warmup 2 --runs "$runs" \
    "$table HNE.sac HNN.sac HNZ.sac -o plain.txt" \
    "$table HNE.sac HNN.sac HNZ.sac --inventory regional.xml -o physical.txt" \
    "$table HNE.sac HNN.sac HNZ.sac --inventory regional.xml --response full -o full.txt"
hyperfine -N --warmup 1 --runs "$runs" "$table --info $(ls many/* | tr '\n' ' ') -o info.csv" 2>&1 |
    sed "s|$table --info .* -o info.csv|smwave-table --info many/* (3000 files)|"
