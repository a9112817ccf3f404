#!/usr/bin/env python3
"""The measures of smwave-measures and the rotated spectra of smwave-response --rotd, written with numpy.

    numpy_measures.py measures WAVEFORM       every measure of the three components (5 % Housner SI,
                                              JMA intensity, Konno-Ohmachi at 0.1 ... 10 Hz)
    numpy_measures.py rotd WAVEFORM COUNT     RotD00/50/100 of SD of components 1 and 2 at period 0 and
                                              COUNT periods from 0.01 s to 10 s, 5 % damping
    numpy_measures.py konno BINS CENTRES      Konno-Ohmachi of one random spectrum of BINS bins at
                                              CENTRES frequencies from 0.1 to 50 Hz

Prints the results (the first values of each) so that the work cannot be skipped. The same definitions
as the tools; the oscillators are stepped by the same exact recurrence, vectorised over periods.
"""
import sys

import numpy as np

G = 980.665
ANGLES = np.deg2rad(np.arange(180))


def read_waveform(path):
    table = np.loadtxt(path, delimiter=",", skiprows=1, usecols=(0, 1, 2, 3), ndmin=2)
    dt = (table[-1, 0] - table[0, 0]) / (len(table) - 1)
    return table[:, 1:].T.copy(), dt


def rotd(x1, x2):
    peaks = np.sort(np.abs(np.outer(x1, np.cos(ANGLES)) + np.outer(x2, np.sin(ANGLES))).max(axis=0))
    return peaks[0], (peaks[89] + peaks[90]) / 2, peaks[179]


def trapezoid(y, dx):
    return (y[:-1] + y[1:]).sum() / 2 * dx


def husid_time(h, p, dt):
    i = np.searchsorted(h, p)
    return (i - 1 + (p - h[i - 1]) / (h[i] - h[i - 1])) * dt


def interval_maps(periods, zeta, dt, counts):
    """The exact map of one sub-step of each oscillator: (uu, uv, vu, vv, start/end terms of u and v)."""
    omega = 2 * np.pi / periods
    omega_d = omega * np.sqrt(1 - zeta * zeta)
    h = dt / counts
    lam = -zeta * omega + 1j * omega_d
    z = lam * h
    decay = np.exp(z)
    s = decay.imag / omega_d
    phi1 = np.expm1(z) / z
    phi2 = (phi1 - 1) / z
    start, end = phi1 - phi2, phi2
    return dict(uu=decay.real + zeta * omega * s, uv=s, vu=-omega * omega * s, vv=decay.real - zeta * omega * s,
                su=-(h * start).imag / omega_d, eu=-(h * end).imag / omega_d,
                sv=-(lam * h * start).imag / omega_d, ev=-(lam * h * end).imag / omega_d)


def displacement_history(a, dt, periods, zeta, count):
    """u of every oscillator (axis 1) and component (axis 2) at every sub-step, all with `count` sub-steps.

    The sub-step map is x_(j+1) = A x_j + b_s e_j + b_e e_(j+1) on the excitation e interpolated onto the
    sub-steps, so u is the convolution of e with the u-row of A^k b_s and A^k b_e (A^k from A's
    eigenvalues), taken by FFT."""
    maps = interval_maps(periods, zeta, dt, count)
    samples = a.shape[1]
    steps = (samples - 1) * count
    grid = np.arange(steps + 1) / count
    excitation = np.array([np.interp(grid, np.arange(samples), x) for x in a])  # (components, steps + 1)
    size = 1 << int(np.ceil(np.log2(2 * steps + 1)))
    spectrum_start = np.fft.rfft(excitation[:, :-1], size)
    spectrum_end = np.fft.rfft(excitation[:, 1:], size)
    history = np.zeros((steps + 1, len(periods), a.shape[0]))
    k = np.arange(steps)
    for p in range(len(periods)):
        A = np.array([[maps["uu"][p], maps["uv"][p]], [maps["vu"][p], maps["vv"][p]]])
        values, vectors = np.linalg.eig(A)
        inverse = np.linalg.inv(vectors)
        powers = values[None, :] ** k[:, None]  # (steps, 2)
        responses = []
        for b in ((maps["su"][p], maps["sv"][p]), (maps["eu"][p], maps["ev"][p])):
            responses.append(((powers * vectors[0][None, :]) @ (inverse @ np.array(b))).real)
        u = np.fft.irfft(spectrum_start * np.fft.rfft(responses[0], size) +
                         spectrum_end * np.fft.rfft(responses[1], size), size)[:, :steps]
        history[1:, p, :] = u.T
    return history


def measures(path):
    a, dt = read_waveform(path)
    out = {}
    out["pga"] = np.abs(a).max(axis=1)
    out["pga_rotd"] = rotd(a[0], a[1])
    out["pga_gm"] = np.sqrt(out["pga"][0] * out["pga"][1])
    a2 = a * a
    cumulative = np.concatenate([np.zeros((3, 1)), np.cumsum((a2[:, :-1] + a2[:, 1:]) / 2, axis=1)], axis=1)
    out["arias"] = np.pi / (2 * G / 100) * cumulative[:, -1] * 1e-4 * dt
    husid = cumulative / cumulative[:, -1:]
    out["d5-95"] = [husid_time(h, 0.95, dt) - husid_time(h, 0.05, dt) for h in husid]
    absolute = np.abs(a)
    out["cav"] = [trapezoid(x, dt) for x in absolute]
    out["cav5"] = [trapezoid(np.where(x < 5, 0, x), dt) for x in absolute]
    per_second = int(round(1 / dt))
    standardized = []
    for x in absolute:
        segments = (x[:-1] + x[1:]) / 2 * dt
        total = 0.0
        for start in range(0, len(x), per_second):
            if x[start:start + per_second].max() >= 0.025 * G:
                total += segments[start:start + per_second].sum()
        standardized.append(total)
    out["standardized_cav"] = standardized
    strong = [np.nonzero(x >= 0.05 * G)[0] for x in absolute]
    out["bracketed"] = [(s[-1] - s[0]) * dt if len(s) else 0 for s in strong]
    periods = np.arange(10, 251) / 100
    history = displacement_history(a, dt, periods, 0.05, 1)
    psv = np.abs(history).max(axis=0) * (2 * np.pi / periods)[:, None]
    out["housner"] = ((psv[:-1] + psv[1:]) / 2 * 0.01).sum(axis=0)
    n = a.shape[1]
    length = 1 << int(np.ceil(np.log2(n + (n + 9) // 10)))
    spectra = np.fft.rfft(a, length, axis=1)
    f = np.fft.rfftfreq(length, dt)
    with np.errstate(divide="ignore", invalid="ignore"):
        y = f / 10
        gain = np.sqrt(1 / f) / np.sqrt(1 + 0.694 * y**2 + 0.241 * y**4 + 0.0557 * y**6 + 0.009664 * y**8
                                        + 0.00134 * y**10 + 0.000155 * y**12) * np.sqrt(1 - np.exp(-(f / 0.5)**3))
    gain[0] = 0
    filtered = np.fft.irfft(spectra * gain, length, axis=1)
    level = np.sqrt((filtered**2).sum(axis=0))
    needed = int(np.ceil(0.3 / dt * (1 - 1e-12)))
    out["jma"] = 2 * np.log10(np.sort(level)[-needed]) + 0.94
    amplitude = np.abs(spectra[:, 1:]) * dt
    amplitude = np.vstack([amplitude, np.sqrt(amplitude[0] * amplitude[1])])
    out["fas"] = konno_ohmachi(f[1:], amplitude, np.array([0.1, 0.2, 0.5, 1, 2, 5, 10]))
    return out


def konno_ohmachi(frequencies, amplitude, centres, b=40):
    result = []
    for fc in centres:
        x = b * np.log10(frequencies / fc)
        with np.errstate(invalid="ignore", divide="ignore"):
            w = (np.sin(x) / x)**4
        w[x == 0] = 1
        result.append(amplitude @ w / w.sum())
    return np.array(result)


def rotated(path, count):
    a, dt = read_waveform(path)
    horizontals = a[:2]
    periods = np.exp(np.linspace(np.log(0.01), np.log(10), count))
    counts = np.minimum(1000, np.maximum(1, np.ceil(10 * dt / periods))).astype(int)
    rows = [rotd(horizontals[0], horizontals[1])]
    for c in np.unique(counts):
        chosen = periods[counts == c]
        history = displacement_history(horizontals, dt, chosen, 0.05, c)
        for p in range(len(chosen)):
            rows.append(rotd(history[:, p, 0], history[:, p, 1]))
    return rows


def main():
    mode = sys.argv[1]
    if mode == "measures":
        out = measures(sys.argv[2])
        print({k: np.asarray(v).ravel()[:3].tolist() for k, v in out.items()})
    elif mode == "rotd":
        rows = rotated(sys.argv[2], int(sys.argv[3]))
        print(len(rows), rows[1], rows[-1])
    elif mode == "konno":
        bins, count = int(sys.argv[2]), int(sys.argv[3])
        amplitude = np.random.default_rng(3).uniform(size=(1, bins))
        frequencies = np.arange(1, bins + 1) * (100.0 / (2 * bins))
        import time
        start = time.perf_counter()
        smoothed = konno_ohmachi(frequencies, amplitude, 0.1 * 500.0 ** (np.arange(count) / (count - 1)))
        print("konno-ohmachi %d bins at %d centres: %.1f ms" % (bins, count, (time.perf_counter() - start) * 1e3),
              smoothed[:2].ravel())
    else:
        sys.exit("usage: numpy_measures.py measures WAVEFORM | rotd WAVEFORM COUNT | konno BINS CENTRES")


if __name__ == "__main__":
    main()
