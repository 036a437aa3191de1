#!/usr/bin/env python3
"""Writes the seeded random action scripts of the regression recordings.

Every action kind of jmach-script appears: the six scroll bars anywhere in
their range (extremes included), typed Mach texts (usable, unusable and
half-usable), clicks on all five charts, the About window and snapshots,
with blank and comment lines in between. Python's random module with a fixed
seed gives the same script on every machine.
"""
import random
import sys

BARS = {"thickness": (0, 30), "camber": (0, 15), "np": (11, 101),
        "alpha": (-10, 10), "xm": (0, 100), "mach": (0, 90)}
CHARTS = ["profil", "pressure", "Picture_CL", "Picture_CM", "Mcrit"]
MACH_TEXTS = ["0.5", "0,7", "abc", "", "1", "-0.5", "0.95", "2e-1", " 0.3 ", "0.5x",
              "1e400", "-1", "0.999", ".7", "1e-320", "+0.25", "0.6e", "nan", "inf", "0.0"]


def script(seed, actions):
    rnd = random.Random(seed)
    lines = [f"# seeded random actions, seed {seed}"]
    for i in range(actions):
        if rnd.random() < 0.03:
            lines.append(rnd.choice(["", "   ", "# a comment"]))
        r = rnd.random()
        if r < 0.62:
            word = rnd.choice(list(BARS))
            lo, hi = BARS[word]
            value = rnd.choice([lo, hi, rnd.randint(lo, hi), rnd.randint(lo, hi)])
            lines.append(f"{word} {value}")
        elif r < 0.75:
            lines.append("type-mach " + rnd.choice(MACH_TEXTS))
        elif r < 0.93:
            lines.append("click " + rnd.choice(CHARTS))
        elif r < 0.99:
            lines.append("about")
        else:
            lines.append(f"snapshot regression-snapshot-{i % 3}.png")
    return "\n".join(lines) + "\n"


if __name__ == "__main__":
    seed, actions, out = int(sys.argv[1]), int(sys.argv[2]), sys.argv[3]
    with open(out, "w", encoding="utf-8") as f:
        f.write(script(seed, actions))
