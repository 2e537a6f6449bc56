#!/usr/bin/env python3
"""Two ports driven from two threads of one Python process, each against its
own single-port time (the goal: within 5 %).

    PYTHONPATH=build/python python3 bench/python_two_ports.py --qrvsim build/sim/qrvsim

Each port runs the same work: read the local module, write it back, read it
again, search channel 11 at 250K: each port alone, then both at once, in turn,
--repeat times; the medians are compared."""
import argparse
import statistics
import subprocess
import sys
import threading
import time

import qrvlink


def start(qrvsim, baud):
    sim = subprocess.Popen([qrvsim, "--no-announce", "--baud", str(baud)], stdout=subprocess.PIPE, text=True)
    path = sim.stdout.readline().strip()
    if not path:
        sys.exit("qrvsim did not start")
    return sim, path


def work(port, rounds):
    start_time = time.monotonic()
    for _ in range(rounds):
        record = port.local.read()
        port.local.write(record)
        port.local.read()
        list(port.search(channels=11, rates=0))
    return time.monotonic() - start_time


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--qrvsim", required=True)
    parser.add_argument("--baud", type=int, default=115200)
    parser.add_argument("--rounds", type=int, default=3)
    parser.add_argument("--repeat", type=int, default=3)
    args = parser.parse_args()
    sims = [start(args.qrvsim, args.baud) for _ in range(2)]
    try:
        ports = [qrvlink.Port(path, baud=args.baud) for _, path in sims]
        # Alone and together alternate, so that a change of the machine's
        # load falls on both; the median of each is kept.
        alone_runs, together_runs = [[], []], [[], []]
        for _ in range(args.repeat):
            for i in range(2):
                alone_runs[i].append(work(ports[i], args.rounds))
            took = [0.0, 0.0]
            threads = [threading.Thread(target=lambda i=i: took.__setitem__(i, work(ports[i], args.rounds)))
                       for i in range(2)]
            for thread in threads:
                thread.start()
            for thread in threads:
                thread.join()
            for i in range(2):
                together_runs[i].append(took[i])
        alone = [statistics.median(runs) for runs in alone_runs]
        together = [statistics.median(runs) for runs in together_runs]
        for port in ports:
            port.close()
    finally:
        for sim, _ in sims:
            sim.terminate()
            sim.wait(10)
    print(f"baud {args.baud}, {args.rounds} rounds of read/write/read/search per port, median of {args.repeat}")
    worst = 0.0
    for i in range(2):
        ratio = together[i] / alone[i]
        worst = max(worst, abs(ratio - 1))
        print(f"port {i}: alone {alone[i]:.3f} s, with the other at once {together[i]:.3f} s, ratio {ratio:.3f}")
    print(f"largest difference {worst * 100:.1f} % ({'within' if worst <= 0.05 else 'OUTSIDE'} 5 %)")
    return 0 if worst <= 0.05 else 1


if __name__ == "__main__":
    sys.exit(main())
