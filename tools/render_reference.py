#!/usr/bin/env python3
"""Renders reference notes for comparing our samples by ear and by
`measure_sound`: the 39 pitches, one file each named as the samples are,
played by a General MIDI guitar from Debian's SoundFont packages through
fluidsynth. They are references only and stay out of assets/.

    tools/render_reference.py <out dir> [steel|nylon] [seconds]

Installs fluidsynth, fluid-soundfont-gm and lame when they are missing.
"""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import wave

NAMES = ["E6", "F6", "Gb6", "G6", "Ab6", "A5", "Bb5", "B5", "C5", "Db5", "D4", "Eb4", "E4", "F4",
         "Gb4", "G3", "Ab3", "A3", "Bb3", "B2", "C2", "Db2", "D2", "Eb2", "E1", "F1", "Gb1", "G1",
         "Ab1", "A1", "Bb1", "B1", "C1", "Db1", "D1", "Eb1", "E-1", "F-1", "Gb-1"]
PROGRAMS = {"steel": 25, "nylon": 24}  # General MIDI, counted from 0
SOUNDFONT = "/usr/share/sounds/sf2/FluidR3_GM.sf2"


def ensure_tools():
    missing = [p for p, exe in (("fluidsynth", "fluidsynth"), ("lame", "lame")) if not shutil.which(exe)]
    if not os.path.exists(SOUNDFONT):
        missing.append("fluid-soundfont-gm")
    if missing:
        sudo = [] if os.geteuid() == 0 else ["sudo"]
        subprocess.run(sudo + ["apt-get", "install", "-y", "-qq", "--no-install-recommends"] + missing, check=True)


def midi(note, program, seconds):
    """One note held for `seconds`, as a one-track standard MIDI file (480
    ticks a beat at 120 beats a minute: 960 ticks a second)."""
    def var(n):
        out = [n & 0x7f]
        while n > 127:
            n >>= 7
            out.insert(0, 0x80 | (n & 0x7f))
        return bytes(out)
    events = (b"\x00\xc0" + bytes([program]) + b"\x00\x90" + bytes([note, 100])
              + var(int(seconds * 960)) + b"\x80" + bytes([note, 0]) + b"\x00\xff\x2f\x00")
    return (b"MThd" + struct.pack(">IHHH", 6, 0, 1, 480)
            + b"MTrk" + struct.pack(">I", len(events)) + events)


def main():
    if len(sys.argv) < 2:
        sys.exit(__doc__)
    out = sys.argv[1]
    program = PROGRAMS[sys.argv[2] if len(sys.argv) > 2 else "steel"]
    seconds = float(sys.argv[3]) if len(sys.argv) > 3 else 6.0
    if os.path.abspath(out).startswith(os.path.abspath(os.path.join(os.path.dirname(__file__), "..", "assets"))):
        sys.exit("references stay out of assets/")
    ensure_tools()
    os.makedirs(out, exist_ok=True)
    with tempfile.TemporaryDirectory() as tmp:
        for p, name in enumerate(NAMES):
            mid, wav = os.path.join(tmp, "n.mid"), os.path.join(tmp, "n.wav")
            with open(mid, "wb") as f:
                f.write(midi(40 + p, program, seconds))
            subprocess.run(["fluidsynth", "-q", "-n", "-i", "-r", "44100", "-g", "0.6", "-o", "synth.reverb.active=0",
                            "-o", "synth.chorus.active=0", "-F", wav, SOUNDFONT, mid], check=True)
            with wave.open(wav) as w:  # the synthesiser renders the release past the note's end too
                params, frames = w.getparams(), w.readframes(int(seconds * 44100))
            with wave.open(wav, "wb") as w:
                w.setparams(params)
                w.writeframes(frames)
            subprocess.run(["lame", "--quiet", "--noreplaygain", "-m", "m", "-b", "320", wav,
                            os.path.join(out, name + ".mp3")], check=True)
            print(name, end=" ", flush=True)
    print()


if __name__ == "__main__":
    main()
