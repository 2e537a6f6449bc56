#!/usr/bin/env python3
"""Sends every command of the module protocol once, through the Qrvlink SDK,
to the simulated default network: the local module's read, write, reset and
factory reset, both searches, a far module's read, write, reset and factory
reset, the four IO commands locally and over the air, and a firmware upgrade.
Run it against `qrvsim --trace` to watch each frame on the line
(scripts/protocol_trace.sh does).

    python3 qrvlink_every_command.py [--lib libQrvlink.so] [--baud 115200] PORT

The rate must be the one qrvsim was started with (--baud, default 115200):
like a module's UART, it does not understand a line set to another rate.
"""
import argparse
import ctypes
import os
import struct
import sys
import tempfile

from qrvlink_example import DEFAULT_LIB, ModuleBase, ModuleProperty, load

P2P_NODE = 0x0102      # point-to-point module on channel 11 at 250K
IO_NODE = 0x0203       # wireless-IO module on channel 11 at 250K
RELAY_NODE = 0x0304    # network module on channel 26 at 1M


def step(title):
    # Marks the trace: the simulator's lines follow on its own stream.
    print(f"== {title}", flush=True)


def find(lib, address):
    base = ModuleBase()
    for index in range(lib.Q_QRV_GetSearchDevCount()):
        if lib.Q_QRV_GetRemoteDevBase(ctypes.byref(base), index) and base.NetAddr == address:
            return index
    raise SystemExit(f"module {address:04X} was not found")


def firmware_image(folder):
    # Header: first region start/end (none), second region start/end, image
    # version (16 or more); then the second region's 64-byte blocks.
    path = os.path.join(folder, "trace-firmware.bin")
    with open(path, "wb") as image:
        image.write(struct.pack("<5i", 0, 0, 0x0800, 0x0880, 16))
        image.write(bytes(range(128)))
    return path


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("port")
    parser.add_argument("--lib", default=DEFAULT_LIB)
    parser.add_argument("--baud", type=int, default=115200)
    args = parser.parse_args()

    lib = load(args.lib)
    lib.Q_QRV_SetLocalPropertyAll.argtypes = [ctypes.c_void_p, ctypes.POINTER(ModuleProperty)]
    lib.Q_QRV_SetRemotePropertyAll.argtypes = [ctypes.POINTER(ModuleProperty), ctypes.c_int]
    lib.Q_QRV_GetIOvalueLocal.restype = ctypes.c_uint8
    lib.Q_QRV_GetIOvalueRemote.restype = ctypes.c_uint8
    lib.Q_QRV_GetADvalueLocal.restype = ctypes.c_uint16
    lib.Q_QRV_GetADvalueRemote.restype = ctypes.c_uint16
    lib.Q_QRV_UpdateWithFileNameLocal.argtypes = [ctypes.c_wchar_p, ctypes.c_int, ctypes.c_int, ctypes.c_int]

    if not lib.Q_OpenCom(args.port, args.baud, 8, 0, 0, 0, 0, 0, 0, 1000):
        print(f"cannot open {args.port}", file=sys.stderr)
        return 1
    failures = []

    def check(title, result):
        if not result:
            failures.append(title)

    try:
        base, prop = ModuleBase(), ModuleProperty()
        step("local: read base info (D1) and property record (D2)")
        check("load", lib.Q_QRV_GetPropertyAll(ctypes.byref(base), ctypes.byref(prop)))

        step("local: write the record (D3) and restart (D7)")
        prop.RetryCount = 5
        lib.Q_QRV_SetLocalPropertyAll(None, ctypes.byref(prop))
        check("submit", lib.Q_QRV_SubmitInfo())

        step("local: restart (D7)")
        check("reset", lib.Q_QRV_ResetDev())

        step("search: broadcast on channel 11 at 250K (D4 tune, D5, D4 home)")
        lib.Q_QRV_ClearSearchArr()
        lib.Q_QRV_SearchDev(11, 0)
        step("search: by address 0x0304 on channel 26 at 1M (D4, D6, D4)")
        lib.Q_QRV_SearchDevByAddr(26, 2, RELAY_NODE)

        p2p = find(lib, P2P_NODE)
        far = ModuleProperty()
        step("far: read the record of 0x0102 (D4, D2; the radio stays there)")
        check("far load", lib.Q_QRV_GetRemoteDevPropertyAll(ctypes.byref(far), p2p))
        step("far: write the record of 0x0102 and restart it (D4, D3, D7, D4)")
        far.RetryCount = 4
        lib.Q_QRV_SetRemotePropertyAll(ctypes.byref(far), p2p)
        check("far submit", lib.Q_QRV_SubmitRemoteDevInfo(p2p))
        step("far: restart 0x0102 (D4, D7, D4)")
        check("far reset", lib.Q_QRV_ResetRemoteDev(p2p))
        step("far: factory settings of 0x0102 (D4, DB, D7, D4)")
        check("far factory", lib.Q_QRV_ResetRemoteToDefault(p2p))

        lines = ctypes.c_uint8()
        analogue = (ctypes.c_uint8 * 8)()
        step("IO local: directions (AA D4), outputs (AA D5), inputs (AA D6), AD (AA D7)")
        check("io dir", lib.Q_QRV_SetIODirAllLocal(0x03))
        check("io out", lib.Q_QRV_SetIOValueLocal(0x05))
        check("io in", lib.Q_QRV_GetIOvalueLocal(ctypes.byref(lines), 1))
        check("ad", lib.Q_QRV_GetADvalueLocal(analogue, 8))
        io = find(lib, IO_NODE)
        step("IO far 0x0203: the same four over the air, each between D4 tunings")
        check("far io dir", lib.Q_QRV_SetIODirAllRemote(io, 0x03))
        check("far io out", lib.Q_QRV_SetIOValueRemote(io, 0x05))
        check("far io in", lib.Q_QRV_GetIOvalueRemote(io, ctypes.byref(lines), 1))
        check("far ad", lib.Q_QRV_GetADvalueRemote(io, analogue, 8))

        with tempfile.TemporaryDirectory() as folder:
            image = firmware_image(folder)
            step("firmware of 0x0102: prepare (D8, D7), blocks (D9), finish (DA, D7, D7)")
            check("upgrade", lib.Q_QRV_UpdateWithFileNameLocal(image, 0xAA, P2P_NODE, 0x10))

        step("local: factory settings (DB, D7)")
        check("factory", lib.Q_QRV_ResetToDefault())
    finally:
        lib.Q_CloseCom()
    if failures:
        print("failed: " + ", ".join(failures), file=sys.stderr)
        return 1
    print("every command was answered")
    return 0


if __name__ == "__main__":
    sys.exit(main())
