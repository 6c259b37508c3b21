#!/usr/bin/env python3
"""Writes resources/sounds/InvalidAct.wav: the alarm that loops while a warning stands open.

Two alternating tones (880 Hz and 660 Hz, 0.3 s each), 16-bit mono PCM at 22050 Hz, with a
short fade at each tone's edges so the loop does not click. Run it again to regenerate:
    python3 scripts/make-alarm-sound.py [output.wav]
"""
import math
import struct
import sys
import wave
from pathlib import Path

RATE = 22050
TONES = ((880.0, 0.3), (660.0, 0.3))
AMPLITUDE = 0.45 * 32767
FADE = 0.01  # seconds of fade in and out per tone


def tone(freq, seconds):
    count = int(RATE * seconds)
    fade = int(RATE * FADE)
    for i in range(count):
        edge = min(i, count - 1 - i)
        gain = min(1.0, edge / fade) if fade else 1.0
        yield int(AMPLITUDE * gain * math.sin(2 * math.pi * freq * i / RATE))


def main():
    root = Path(__file__).resolve().parent.parent
    out = Path(sys.argv[1]) if len(sys.argv) > 1 else root / "resources" / "sounds" / "InvalidAct.wav"
    frames = bytearray()
    for freq, seconds in TONES:
        for sample in tone(freq, seconds):
            frames += struct.pack("<h", sample)
    with wave.open(str(out), "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(bytes(frames))
    print(f"{out}: {len(frames) // 2} samples, {len(frames) / 2 / RATE:.2f} s")


if __name__ == "__main__":
    main()
