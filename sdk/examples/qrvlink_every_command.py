#!/usr/bin/env python3
"""Sends every command of the module protocol once, through the Qrvlink SDK
and its qrvlink package, to the simulated default network: the local
module's read, write, reset and factory reset, both searches, a far module's
read, write, reset and factory reset, the four IO commands locally and over
the air, and a firmware upgrade. Run it against `qrvsim --trace` to watch
each frame on the line (scripts/protocol_trace.sh does).

    python3 qrvlink_every_command.py [--lib libQrvlink.so] [--baud 115200] PORT

The rate must be the one qrvsim was started with (--baud, default 115200):
like a module's UART, it does not understand a line set to another rate.
"""
import os
import struct
import sys
import tempfile

from qrvlink_example import arguments

P2P_NODE = 0x0102      # point-to-point module on channel 11 at 250K
IO_NODE = 0x0203       # wireless-IO module on channel 11 at 250K
RELAY_NODE = 0x0304    # network module on channel 26 at 1M


def step(title):
    # Marks the trace: the simulator's lines follow on its own stream.
    print(f"== {title}", flush=True)


def firmware_image(folder):
    # Header: first region start/end (none), second region start/end, image
    # version (16 or more); then the second region's 64-byte blocks.
    path = os.path.join(folder, "trace-firmware.bin")
    with open(path, "wb") as image:
        image.write(struct.pack("<5i", 0, 0, 0x0800, 0x0880, 16))
        image.write(bytes(range(128)))
    return path


def main():
    args = arguments(__doc__.splitlines()[0])
    import qrvlink

    failures = []

    def check(title, action, *values):
        try:
            return action(*values)
        except qrvlink.QrvError as error:
            failures.append(f"{title} ({error})")
            return None

    try:
        port = qrvlink.Port(args.port, baud=args.baud, read_timeout_ms=1000)
    except qrvlink.QrvError as error:
        print(f"cannot open {args.port}: {error}", file=sys.stderr)
        return 1
    with port:
        local = port.local
        step("local: read base info (D1) and property record (D2)")
        record = check("load", local.read)

        step("local: write the record (D3) and restart (D7)")
        if record is not None:
            check("submit", local.write, record.replace(retry_count=5))

        step("local: restart (D7)")
        check("reset", local.reset)

        step("search: broadcast on channel 11 at 250K (D4 tune, D5, D4 home)")
        found = {m.identity.address: m for m in port.search(channels=11, rates="250K")}
        step("search: by address 0x0304 on channel 26 at 1M (D4, D6, D4)")
        found.update({m.identity.address: m for m in
                      port.search(channels=26, rates="1M", address=RELAY_NODE, clear=False)})
        if not {P2P_NODE, IO_NODE} <= found.keys():
            print("the search missed a module", file=sys.stderr)
            return 1

        p2p = found[P2P_NODE]
        step("far: read the record of 0x0102 (D4, D2; the radio stays there)")
        far = check("far load", p2p.read)
        step("far: write the record of 0x0102 and restart it (D4, D3, D7, D4)")
        if far is not None:
            check("far submit", p2p.write, far.replace(retry_count=4))
        step("far: restart 0x0102 (D4, D7, D4)")
        check("far reset", p2p.reset)
        step("far: factory settings of 0x0102 (D4, DB, D7, D4)")
        check("far factory", p2p.factory_reset)

        step("IO local: directions (AA D4), outputs (AA D5), inputs (AA D6), AD (AA D7)")
        check("io dir", local.set_directions, 0x03)
        check("io out", local.set_outputs, 0x05)
        check("io in", local.read_inputs)
        check("ad", local.read_analogue)
        io = found[IO_NODE]
        step("IO far 0x0203: the same four over the air, each between D4 tunings")
        check("far io dir", io.set_directions, 0x03)
        check("far io out", io.set_outputs, 0x05)
        check("far io in", io.read_inputs)
        check("far ad", io.read_analogue)

        with tempfile.TemporaryDirectory() as folder:
            image = firmware_image(folder)
            step("firmware of 0x0102: read to reach it (D4, D2), prepare (D8, D7), blocks (D9), "
                 "finish (DA, D7, D7)")
            check("upgrade", p2p.upgrade, image)

        step("local: factory settings (DB, D7)")
        check("factory", local.factory_reset)
    if failures:
        print("failed: " + ", ".join(failures), file=sys.stderr)
        return 1
    print("every command was answered")
    return 0


if __name__ == "__main__":
    sys.exit(main())
