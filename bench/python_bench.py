"""The Python module's speed beside the CLI's: one long run, step() in a loop,
booted_board's per-test cost and a state save + load.

    PYTHONPATH=build/python python3 bench/python_bench.py [build]
"""
import os
import subprocess
import sys
import tempfile
import time

import hc11flow

BUILD = sys.argv[1] if len(sys.argv) > 1 else "build"
DEMO = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "examples", "demo", "demo")
STEPS = 10**8


def cpu(f):
    start = time.process_time()
    f()
    return time.process_time() - start


def best(f, n=3):
    return min(cpu(f) for _ in range(n))


def main():
    cli = os.path.join(BUILD, "app", "cli", "hc11flow-cli")

    def cli_run():
        before = os.times()
        subprocess.run([cli, "run", DEMO, "--no-workspace", "--steps", str(STEPS)], check=True,
                       stdout=subprocess.DEVNULL)
        after = os.times()
        return after.children_user - before.children_user + after.children_system - before.children_system

    cli_s = min(cli_run() for _ in range(3))
    module_s = best(lambda: hc11flow.open(DEMO).run(steps=STEPS))
    print(f"run(steps=10**8): {STEPS / module_s / 1e6:.0f} M steps/s, CLI {STEPS / cli_s / 1e6:.0f} M steps/s "
          f"({100 * cli_s / module_s:.0f}%, the module's figure includes its open)")

    b = hc11flow.open(DEMO)
    n = 200000
    print(f"step() in a loop: {n / best(lambda: [b.step() for _ in range(n)]):.0f} calls/s")

    with tempfile.TemporaryDirectory() as folder:
        path = os.path.join(folder, "s.state")
        b.run(ms=100)
        b.save_state(path)
        k = 200
        t = best(lambda: [(b._forget_debugger_lists(), b.load_state(path)) for _ in range(k)])
        print(f"booted_board per test: {1000 * t / k:.2f} ms")
        t = best(lambda: [(b.save_state(path), b.load_state(path)) for _ in range(k)])
        print(f"state save + load: {1000 * t / k:.2f} ms CPU (the save's fsync waits on the disk besides)")


if __name__ == "__main__":
    main()
