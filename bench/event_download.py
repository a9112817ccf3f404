#!/usr/bin/env python3
"""Writes a synthetic earthquake download of K-NET/KiK-net files for smwave-event.

    bench/event_download.py FOLDER STATIONS [SECONDS]

STATIONS stations on rings around the epicentre (36.10 N, 140.20 E, 40 km, M 5.8), every fifth a
KiK-net site with surface and borehole sensors; each component a decaying burst sampled at 100 Hz
whose amplitude falls with distance.
"""
import math
import os
import sys


def knet_file(code, lat, lon, direction, hertz, seconds, amplitude, phase):
    head = (
        "Origin Time       2024/03/05 12:34:00\nLat.              36.10\nLong.             140.20\n"
        "Depth. (km)       40\nMag.              5.8\nStation Code      %s\nStation Lat.      %.4f\n"
        "Station Long.     %.4f\nStation Height(m) 25\nRecord Time       2024/03/05 12:34:20\n"
        "Sampling Freq(Hz) %dHz\nDuration Time(s)  %d\nDir.              %s\n"
        "Scale Factor      7845(gal)/8223790\nMax. Acc. (gal)   1.000\n"
        "Last Correction   2024/03/05 12:34:21\nMemo.\n" % (code, lat, lon, hertz, seconds, direction))
    samples = seconds * hertz
    words = []
    for i in range(samples):
        t = i / hertz
        burst = math.exp(-(t - 8) ** 2 / 9) * (math.sin(7 * t + phase) + 0.4 * math.sin(2.1 * t + 2 * phase))
        words.append("%9d" % (5000 + round(amplitude * 3000 * burst)))
    lines = ["".join(words[at:at + 8]) for at in range(0, samples, 8)]
    return head + "\n".join(lines) + "\n"


def main():
    folder, stations = sys.argv[1], int(sys.argv[2])
    seconds = int(sys.argv[3]) if len(sys.argv) > 3 else 60
    os.makedirs(folder, exist_ok=True)
    for n in range(stations):
        ring, angle = 1 + n // 12, 2 * math.pi * (n % 12) / 12 + 0.3 * (n // 12)
        lat = 36.10 + 0.25 * ring * math.cos(angle)
        lon = 140.20 + 0.3 * ring * math.sin(angle)
        distance = math.hypot(25 * ring, 40)
        amplitude = 60 / distance
        if n % 5 == 4:
            code = "IBRH%02d" % n
            for at, extension in enumerate(["NS1", "EW1", "UD1", "NS2", "EW2", "UD2"]):
                gain = 0.4 if at < 3 else 1.0
                with open(os.path.join(folder, "%s2403051234.%s" % (code, extension)), "w") as out:
                    out.write(knet_file(code, lat, lon, str(at + 1), 100, seconds, gain * amplitude, at + n))
        else:
            code = "IBR%03d" % n
            for at, (extension, direction) in enumerate([("EW", "E-W"), ("NS", "N-S"), ("UD", "U-D")]):
                with open(os.path.join(folder, "%s2403051234.%s" % (code, extension)), "w") as out:
                    out.write(knet_file(code, lat, lon, direction, 100, seconds, amplitude, at + n))


if __name__ == "__main__":
    main()
