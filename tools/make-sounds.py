#!/usr/bin/env python3
"""Generates the console's sounds: the new-request chime and the two message-dialog sounds.

Run from the repository root:  python3 tools/make-sounds.py
Output is deterministic (no randomness), 16-bit PCM mono 22050 Hz, so regenerating gives identical files.
"""
import math
import os
import struct
import wave

RATE = 22050


def bell(freq, start, length, gain, decay, partials=((1.0, 1.0), (2.0, 0.28), (3.0, 0.08), (4.2, 0.04))):
    """One struck note: a few partials with an exponential decay and a short attack so it does not click."""
    def sample(t):
        local = t - start
        if local < 0 or local > length:
            return 0.0
        attack = min(1.0, local / 0.004)
        release = min(1.0, (length - local) / 0.02)
        env = attack * release * math.exp(-local * decay)
        value = 0.0
        for ratio, amp in partials:
            # Higher partials die away faster, as on a real bell.
            value += amp * math.exp(-local * decay * (ratio - 1.0) * 0.6) * math.sin(2 * math.pi * freq * ratio * local)
        return gain * env * value
    return sample


def render(path, duration, voices):
    count = int(RATE * duration)
    samples = [sum(v(i / RATE) for v in voices) for i in range(count)]
    peak = max(abs(s) for s in samples) or 1.0
    scale = 0.70 * 32767 / peak  # headroom: never louder than about -3 dBFS
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(b"".join(struct.pack("<h", int(round(s * scale))) for s in samples))


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    # New request: a rising two-tone chime (E6 then A6), friendly rather than alarming.
    render(os.path.join(root, "resources", "program", "sounds", "1.wav"), 0.45, [
        bell(1318.5, 0.000, 0.45, 0.8, 9.0),
        bell(1760.0, 0.110, 0.34, 1.0, 8.0),
    ])
    # Exclamation (warnings): two quick falling notes, lower and firmer than the information sound.
    render(os.path.join(root, "resources", "sounds", "exclamation.wav"), 0.38, [
        bell(987.8, 0.000, 0.38, 1.0, 10.0),
        bell(740.0, 0.085, 0.295, 1.0, 9.0),
    ])
    # Asterisk (information): a single soft high note with a fifth above for colour.
    render(os.path.join(root, "resources", "sounds", "asterisk.wav"), 0.35, [
        bell(1174.7, 0.000, 0.35, 1.0, 11.0),
        bell(1760.0, 0.000, 0.35, 0.25, 14.0),
    ])


if __name__ == "__main__":
    main()
