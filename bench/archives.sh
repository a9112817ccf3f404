#!/usr/bin/env bash
# smwave-table on the archives' text formats: three components of 30000 samples each written as PEER
# (three files), COSMOS (one file of three blocks), ESM (three files), CWB (one file), GeoNet V2A
# (one file, with velocity and displacement blocks), CSMIP Volume 2 (one file, the same), USGS SMC
# (three files), USC (three files of pairs), BHRC (one file), AFAD and UNAM (one file of columns each),
# converted
# whole-process with hyperfine; the MB/s are the files' bytes over the fastest run and over the CPU
# time (user + system), which a loaded machine disturbs less.
#
#     bash bench/archives.sh
#
# Environment: RUNS (20), BENCH_DIR (build/bench/archives-run).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=${BENCH_DIR:-$root/build/bench/archives-run}
runs=${RUNS:-20}

cd "$root"
[[ -f build/CMakeCache.txt ]] || cmake --preset release >/dev/null
mkdir -p "$work"
cmake --build build -j2 --target smwave-table >"$work/build.log" 2>&1 || { cat "$work/build.log"; exit 1; }
table=$root/build/smwave-table
cd "$work"

/usr/bin/python3 - <<'PY'
import math

n = 30000
signal = [[8e2 * math.sin(i * 0.01 * (3 + k)) * math.exp(-i * 0.0001) for i in range(n)] for k in range(3)]

def lines(values, fmt, per_line):
    out = []
    for i in range(0, len(values), per_line):
        out.append("".join(fmt % v for v in values[i:i + per_line]))
    return "\n".join(out) + "\n"

for k, az in enumerate(["90", "0", "UP"]):
    with open("p%d.AT2" % k, "w") as f:
        f.write("PEER NGA STRONG MOTION DATABASE RECORD\nBench, 03/05/2024, Bench Station, %s\n" % az)
        f.write("ACCELERATION TIME SERIES IN UNITS OF G\nNPTS=  %d, DT=   .0100 SEC,\n" % n)
        f.write(lines([v / 980.665 for v in signal[k]], "%15.7E", 5))

with open("rec.V2c", "w") as f:
    for k, (code, az) in enumerate([("HNE", 90), ("HNN", 0), ("HNZ", 0)]):
        peak = max(abs(v) for v in signal[k])
        f.write("Corrected acceleration    (Format v01.20 with 13 text lines)\n")
        f.write("Record\nHypocenter\nOrigin: 2024/03/05 03:34:00    UTC\nStatn No: 37-000011 Code:AK-BMR  x\n")
        f.write("Coords: 60 -144\nRecorder\nRcrd start time: 2024/03/05 03:34:05.000 UTC (Q=5)\n")
        f.write("Sta Chan   1: %d Deg\nRaw\nProcessed\nFiltered\n" % az)
        f.write("Values used when parameter or data value is unknown/unspecified:   -999, -999.00\n")
        ints = [-999] * 100
        ints[0], ints[1], ints[2], ints[53] = 2, 1, 4, az
        ints[39:45] = [2024, 65, 3, 5, 3, 34]
        f.write(" 100 Integer-header values follow on 10 lines, Format= (10I8)\n" + lines(ints, "%8d", 10))
        reals = [-999.0] * 100
        reals[29], reals[61], reals[63] = 5.0, 10.0, peak
        f.write(" 100 Real-header values follow on 20 lines, Format= (5F15.6)\n" + lines(reals, "%15.6f", 5))
        f.write("   1 Comment line(s) follow, each starting with a \"|\":\n|<SCNL>BMR.%s.AK.--\n" % code)
        f.write("   %d acceleration pts, approx  300 secs, units=cm/sec2(04),Format=(8F10.5)\n" % n)
        f.write(lines(signal[k], "%10.5f", 8) + "End-of-data for Chan%s acceleration\n" % code)

for k, stream in enumerate(["HNE", "HNN", "HNZ"]):
    with open("e%d.ASC" % k, "w") as f:
        f.write("EVENT_NAME: Bench\nNETWORK: XX\nSTATION_CODE: STA\nSAMPLING_INTERVAL_S: 0.010000\n")
        f.write("NDATA: %d\nSTREAM: %s\nUNITS: cm/s^2\nPGA_CM/S^2: %.6f\nDATA_TYPE: ACCELERATION\n"
                % (n, stream, max(abs(round(v, 6)) for v in signal[k])))
        f.write("".join("%.6f\n" % v for v in signal[k]))

with open("rec.dat", "w") as f:
    f.write("#Earthquake Information\n#StationCode: EAS\n#StartTime(GMT+08): 2024/03/05-11:34:05.000\n")
    f.write("#RecordLength(sec): 300\n#SampleRate(Hz): 100\n#AmplitudeUnit:  gal. DCoffset(corr)\n")
    f.write("#DataSequence: Time U(+); N(+); E(+)\n#Data: 4F10.3\n")
    for i in range(n):
        f.write("%10.3f%10.3f%10.3f%10.3f\r\n" % (i / 100, signal[2][i], signal[1][i], signal[0][i]))

with open("rec.V2A", "w") as f:
    for k, (direction, az) in enumerate([("N28W", 332), ("Up", 0), ("S62W", 242)]):
        acc = [round(v * 10, 1) for v in signal[k]]
        vel = [round(v, 2) for v in signal[k]]
        dis = [round(v / 10, 3) for v in signal[k]]
        f.write("Corrected accelerogram bench GNS Science\nSite TEST\n" + "x\n" * 10)
        f.write("Component %s\nAcceleration:  peak %8.1f mm/s/s at 1.00 sec\nVelocity\nDisplacement\n"
                % (direction, max(abs(v) for v in acc)))
        ints = [0] * 40
        ints[27], ints[33], ints[34], ints[35] = az, n, n, n
        f.write(lines(ints, "%8d", 10))
        reals = [0.0] * 60
        reals[25], reals[35] = 0.01, max(abs(v) for v in acc)
        reals[40], reals[45] = max(abs(v) for v in vel), max(abs(v) for v in dis)
        f.write(lines(reals, "%8.2f", 10))
        f.write(lines(acc, "%8.1f", 10) + lines(vel, "%8.2f", 10) + lines(dis, "%8.3f", 10))

with open("rec.V2", "w") as f:
    for k, (chan, az) in enumerate([("90 Deg", 90), ("360 Deg", 360), ("Up", 500)]):
        acc = [round(v, 5) for v in signal[k]]
        f.write("Corrected accelerogram   bench      Chan  1:  %s\nUncorrected Accelerogram Data\n" % chan)
        f.write("x\nx\nStart time:  3/5/24, 03:34:05.0 UTC\nStation Id. BENCH  34.009N, 117.951W\n" + "x\n" * 19)
        ints = [-999] * 100
        ints[26], ints[52] = az, n
        f.write(lines(ints, "%5d", 16))
        reals = [-999.0] * 100
        reals[60], reals[65] = 0.01, max(abs(v) for v in acc)
        f.write(lines(reals, "%10.4f", 8))
        for what, scale, fmt in [("accel", 1, "%10.5f"), ("veloc", 10, "%10.6f"), ("displ", 100, "%10.7f")]:
            f.write(" %d points of %s data equally spaced at  .010 sec, in cm/sec2. (8f10.5)\n" % (n, what))
            f.write(lines([v / scale for v in acc], fmt, 8))
        f.write("/&  ----------  End of data for channel  1  ----------\n")

def smc_field(v):
    text = "%.4E" % v
    mantissa, exponent = text.split("E")
    return "%10s" % (mantissa + "E" + exponent[0] + str(int(exponent[1:])))

for k, (component, az) in enumerate([("90", 90), ("360", 360), ("up", -32768)]):
    with open("s%d.smc" % k, "w") as f:
        f.write("2 CORRECTED ACCELEROGRAM\n*\nBENC%s\n     2024   3   5    0334 Bench\n*\n" % "ABC"[k])
        f.write("station = Bench  component=    %s\n" % component + "*\n" * 5)
        ints = [-32768] * 48
        ints[12], ints[13], ints[15], ints[16] = (0 if component == "up" else 90), az, 0, n
        f.write(lines(ints, "%10d", 8))
        reals = [0.17e39] * 50
        reals[1] = 100.0
        f.write(lines(reals, "%15.7E", 5))
        f.write(lines([smc_field(v) for v in signal[k]], "%s", 8))

for k, bearing in enumerate(["N90E", "N00E", "UP"]):
    with open("u%d.y0a" % k, "w") as f:
        f.write("FILE BENCH OF UNCORRECTED ACCELEROGRAM DATA OF VOLUME I:\nx\nx\nx\nSTATION USC# 0001\nx\n")
        f.write("COMP %s\nx\nx\nx\nNO. OF POINTS =  %d      DURATION = 299.990 SEC\n" % (bearing, n))
        f.write("UNITS ARE SEC AND G/10\nx\n")
        ints = [0] * 100
        ints[27] = n
        f.write(lines(ints, "%5d", 16) + lines([0.0] * 50, "%10.3f", 8))
        pairs = [x for i in range(n) for x in (i / 100, signal[k][i] / 98.0665)]
        f.write("".join(" " + "".join("%7.3f" % x for x in pairs[i:i + 10]) + "\n" for i in range(0, len(pairs), 10)))

with open("rec.bhrc", "w") as f:
    for k, letter in enumerate("LTV"):
        f.write("* VOL1DS FILE:  0001/0%d\nx\nOrigin Time : 2024/03/05   03:34:00\n\n%s\n\nCOMP %s1\n" % (k, letter, letter))
        f.write("Bench  Station   37.485 N 45.891 E   Altitude 1333m   Azimuth L 324   T 54\nEpicenter\n")
        f.write("x\nNO. OF POINTS =  %d      DURATION = 300.000\nUNITS ARE SECONDS AND G/10\n\n" % n)
        ints = [0] * 100
        ints[27] = n
        f.write(lines(ints, "%5d", 16))
        f.write(("".join("%13.6E" % 0.0 for _ in range(5)) + "  .00\n") * 7)
        f.write(lines([v / 98.0665 for v in signal[k]], "%13.6E", 10) + "/&\n")

with open("rec.afad", "w") as f:
    f.write("STRONG GROUND MOTION RECORDS OF TURKIYE\n")
    f.write("STATION ID              : 0001\nRECORD TIME             : 05/03/2024 03:34:05.000000 (GMT)\n")
    f.write("NUMBER OF DATA          : %d\nSAMPLING INTERVAL (sec) : 0.01\n" % n)
    f.write("       N-S          E-W          U-D\n")
    for i in range(n):
        f.write("%12.6f%14.6f%13.6f\n" % (signal[1][i], signal[0][i], signal[2][i]))

with open("rec.unam", "w") as f:
    f.write("x\n" * 6 + "ARCHIVO ESTANDAR DE ACELERACION: BENCH\n")
    item = lambda label, value: "%-39s: %s\n" % (label, value)
    f.write(item("VERSION DEL FORMATO", "2.0") + item("CLAVE DE LA ESTACION", "BENC"))
    f.write(item("ORIENTACION C1-C6 (rumbo;orientacion)", "/N00E/N90E/V"))
    f.write(item("INTERVALO DE MUESTREO, C1-C6 (s)", "/0.01/0.01/0.01"))
    f.write(item("NUM. TOTAL DE MUESTRAS, C1-C6", "/%d/%d/%d" % (n, n, n)))
    f.write(item("UNIDADES DE LOS DATOS", "Gal (cm/s/s)") + item("FORMATO DATOS (10 campos/dato)", "3F10.4"))
    f.write("DATOS DE ACELERACION:\n-\nCANAL\nN00E N90E V\n-\n")
    for i in range(n):
        f.write("%10.4f%10.4f%10.4f\n" % (signal[1][i], signal[0][i], signal[2][i]))
PY

run() {
    local label=$1 bytes=$2
    shift 2
    hyperfine -N -w 3 -r "$runs" --export-json "$label.json" "$*" >/dev/null
    /usr/bin/python3 - "$label" "$bytes" <<'PY'
import json, sys
label, size = sys.argv[1], int(sys.argv[2])
r = json.load(open(label + ".json"))["results"][0]
cpu = (sum(r["user"]) + sum(r["system"])) / len(r["user"]) if isinstance(r["user"], list) else r["user"] + r["system"]
print("%-7s %6.1f ms median, %6.1f ms fastest, %6.1f ms CPU, %5.1f MB in, %4.0f MB/s (fastest), %4.0f MB/s (CPU)" %
      (label, r["median"] * 1e3, r["min"] * 1e3, cpu * 1e3, size / 1e6, size / 1e6 / r["min"], size / 1e6 / cpu))
PY
}
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"
run peer "$(cat p0.AT2 p1.AT2 p2.AT2 | wc -c)" "$table p0.AT2 p1.AT2 p2.AT2 -o t.txt"
run cosmos "$(wc -c < rec.V2c)" "$table rec.V2c -o t.txt"
run esm "$(cat e0.ASC e1.ASC e2.ASC | wc -c)" "$table e0.ASC e1.ASC e2.ASC -o t.txt"
run cwb "$(wc -c < rec.dat)" "$table rec.dat -o t.txt"
run geonet "$(wc -c < rec.V2A)" "$table rec.V2A -o t.txt"
run csmip "$(wc -c < rec.V2)" "$table rec.V2 -o t.txt"
run smc "$(cat s0.smc s1.smc s2.smc | wc -c)" "$table s0.smc s1.smc s2.smc -o t.txt"
run usc "$(cat u0.y0a u1.y0a u2.y0a | wc -c)" "$table u0.y0a u1.y0a u2.y0a -o t.txt"
run bhrc "$(wc -c < rec.bhrc)" "$table rec.bhrc -o t.txt"
run afad "$(wc -c < rec.afad)" "$table rec.afad -o t.txt"
run unam "$(wc -c < rec.unam)" "$table rec.unam -o t.txt"
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
