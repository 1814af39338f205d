#!/usr/bin/env python3
"""Runs one end-to-end test module against a Windows build folder, on a
private Xvfb display. Usage: run.py <build folder> <module> [unittest args]"""
import os
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(HERE)), "sim"))
from session import Xvfb  # noqa: E402


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    os.environ["LMX_BUILD"] = os.path.abspath(sys.argv[1])
    screen = Xvfb()
    os.environ["DISPLAY"] = screen.display
    try:
        program = unittest.main(module=sys.argv[2], argv=[sys.argv[0]] + sys.argv[3:], exit=False, verbosity=2)
    finally:
        screen.stop()
    sys.exit(0 if program.result.wasSuccessful() else 1)


if __name__ == "__main__":
    main()
