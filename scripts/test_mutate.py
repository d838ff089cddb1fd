#!/usr/bin/env python3
"""Checks of the mutation tool itself: it changes code only (never a comment, a string, a
character or a preprocessor line), each kind of fault it promises is among the mutants, and the
same seed draws the same mutants."""

import argparse
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import mutate  # noqa: E402

SOURCE = r'''#include "a.h"
#define LIMIT 10
// if (x < 3) && 4 in a comment
/* while (y) { 7 } */
static const char* kText = "if (a < b) && 12";
static const char kQuote = '1';
int F(int a, int b) {
    if (a < b && b != 0) {
        Call(a, b);
    }
    while (a >= 1) {
        a = a + 1;
    }
    return a == 2 ? true : false;
}
'''


def applied(mu):
    return SOURCE[:mu.start] + mu.replacement + SOURCE[mu.end:]


class Mutants(unittest.TestCase):
    def setUp(self):
        self.mutants = mutate.find_mutants("engine/x.cpp", SOURCE)

    def test_only_code_lines_change(self):
        code_lines = set(range(7, 16))
        self.assertTrue(self.mutants)
        for mu in self.mutants:
            self.assertIn(mu.line, code_lines, mu)
            changed = [i for i, (a, b) in enumerate(zip(SOURCE.split("\n"),
                                                        applied(mu).split("\n"))) if a != b]
            self.assertEqual(changed, [mu.line - 1], mu)

    def test_every_promised_kind_is_drawn(self):
        made = {(mu.op, applied(mu).split("\n")[mu.line - 1].strip()) for mu in self.mutants}
        for expected in [
            ("negate-condition", "if (!(a < b && b != 0)) {"),
            ("condition-true", "if (true) {"),
            ("condition-false", "while (false) {"),
            ("relation", "if (a <= b && b != 0) {"),
            ("relation", "while (a > 1) {"),
            ("logic", "if (a < b || b != 0) {"),
            ("arithmetic", "a = a - 1;"),
            ("constant+1", "while (a >= 2) {"),
            ("constant-1", "return a == 1 ? true : false;"),
            ("boolean", "return a == 2 ? false : false;"),
            ("drop-call", ";"),
            ("swap-arguments", "Call(b, a);"),
        ]:
            self.assertIn(expected, made)

    def test_the_seed_fixes_the_draw(self):
        args = argparse.Namespace(seed=1, per_file=4)
        first = [mu.id for mu in mutate.choose("engine/x.cpp", SOURCE, args)]
        again = [mu.id for mu in mutate.choose("engine/x.cpp", SOURCE, args)]
        other = [mu.id for mu in mutate.choose("engine/x.cpp", SOURCE,
                                               argparse.Namespace(seed=2, per_file=4))]
        self.assertEqual(first, again)
        self.assertEqual(len(first), 4)
        self.assertNotEqual(first, other)


class Stopping(unittest.TestCase):
    def test_a_stopped_run_leaves_no_command_running(self):
        """The command the run waits for, and what that command started, end with the run."""
        import os
        import signal
        import subprocess
        import tempfile
        import time
        with tempfile.TemporaryDirectory() as folder:
            pid_file = Path(folder) / "pid"
            # A run of its own: it waits for a command whose child sleeps, and is stopped.
            child = subprocess.Popen([sys.executable, "-c", f"""
import signal, sys
sys.path.insert(0, {str(Path(__file__).resolve().parent)!r})
import mutate
signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
mutate.Runner.run_group(["sh", "-c", "sleep 60 & echo $! > {pid_file}; wait"])
"""])
            for _ in range(100):
                if pid_file.exists() and pid_file.read_text().strip():
                    break
                time.sleep(0.05)
            sleeper = int(pid_file.read_text())
            child.send_signal(signal.SIGTERM)
            self.assertEqual(child.wait(timeout=10), 143)
            for _ in range(100):
                try:
                    os.kill(sleeper, 0)
                except ProcessLookupError:
                    break
                time.sleep(0.05)
            else:
                os.kill(sleeper, signal.SIGKILL)
                self.fail("the command's child outlived the stopped run")


if __name__ == "__main__":
    unittest.main()
