#!/usr/bin/env python3
"""Drives the Qrvlink SDK from Python through ctypes: opens a port, reads the
local module, searches one channel and air rate, and reads every far module
found.

    python3 qrvlink_example.py [--lib libQrvlink.so] [--channel 11] [--rate 0] PORT
"""
import argparse
import ctypes
import os
import sys

# In the Windows zip the DLL sits in bin\, beside this examples folder; a path
# is needed, since Python does not look for DLLs in the current folder.
DEFAULT_LIB = (os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "bin", "Qrvlink.dll")
               if sys.platform == "win32" else "libQrvlink.so.1")


class ModuleBase(ctypes.Structure):
    _pack_ = 1
    _fields_ = [("NetAddr", ctypes.c_uint16), ("DevType", ctypes.c_uint16),
                ("RunState", ctypes.c_uint8), ("FwVersion", ctypes.c_uint16)]


class ModuleProperty(ctypes.Structure):
    _pack_ = 1
    _fields_ = [("DevName", ctypes.c_char * 16), ("Password", ctypes.c_char * 16),
                ("WorkMode", ctypes.c_uint8), ("Channel", ctypes.c_uint8),
                ("NetId", ctypes.c_uint16), ("LocalAddr", ctypes.c_uint16),
                ("DestAddr", ctypes.c_uint16), ("AirRate", ctypes.c_uint8),
                ("TxPower", ctypes.c_uint8), ("RetryCount", ctypes.c_uint8),
                ("RetryInterval", ctypes.c_uint16), ("UartBaud", ctypes.c_uint8),
                ("UartDataBits", ctypes.c_uint8), ("UartStopBits", ctypes.c_uint8),
                ("UartParity", ctypes.c_uint8), ("FrameGap", ctypes.c_uint8),
                ("FrameLen", ctypes.c_uint8), ("Spare51", ctypes.c_uint8),
                ("RunState", ctypes.c_uint8), ("DevType", ctypes.c_uint16),
                ("FwVersion", ctypes.c_uint16)]


assert ctypes.sizeof(ModuleBase) == 7 and ctypes.sizeof(ModuleProperty) == 57

RATES = {0: "250K", 1: "500K", 2: "1M"}


def load(path):
    lib = ctypes.CDLL(path)
    lib.Q_OpenCom.argtypes = [ctypes.c_wchar_p] + [ctypes.c_int] * 9
    lib.Q_QRV_GetPropertyAll.argtypes = [ctypes.POINTER(ModuleBase), ctypes.POINTER(ModuleProperty)]
    lib.Q_QRV_SearchDev.argtypes = [ctypes.c_int, ctypes.c_int]
    lib.Q_QRV_GetRemoteDevBase.argtypes = [ctypes.POINTER(ModuleBase), ctypes.c_int]
    lib.Q_QRV_GetRemoteDevPropertyAll.argtypes = [ctypes.POINTER(ModuleProperty), ctypes.c_int]
    return lib


def version(word):
    d3, d2, d1, d0 = (word >> 12) & 15, (word >> 8) & 15, (word >> 4) & 15, word & 15
    return f"V{d3}{d2}.{d1}{d0}" if d3 else f"V{d2}.{d1}{d0}"


def name(raw):
    return raw.decode("gbk", errors="replace")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("port")
    parser.add_argument("--lib", default=DEFAULT_LIB)
    parser.add_argument("--baud", type=int, default=115200)
    parser.add_argument("--channel", type=int, default=11)
    parser.add_argument("--rate", type=int, default=0)
    args = parser.parse_args()

    lib = load(args.lib)
    if not lib.Q_OpenCom(args.port, args.baud, 8, 0, 0, 0, 0, 0, 0, 500):
        print(f"cannot open {args.port}", file=sys.stderr)
        return 1
    try:
        base, prop = ModuleBase(), ModuleProperty()
        if not lib.Q_QRV_GetPropertyAll(ctypes.byref(base), ctypes.byref(prop)):
            print(f"the local module did not answer (code {lib.Q_GetLastError()})", file=sys.stderr)
            return 1
        print(f"local  {base.NetAddr:04X}  {name(prop.DevName)}  channel {prop.Channel}"
              f"  {RATES.get(prop.AirRate, '?')}  {version(base.FwVersion)}")

        lib.Q_QRV_ClearSearchArr()
        lib.Q_QRV_SearchDev(args.channel, args.rate)
        count = lib.Q_QRV_GetSearchDevCount()
        print(f"found  {count} module(s) on channel {args.channel} at {RATES.get(args.rate, '?')}")
        for index in range(count):
            far, farprop = ModuleBase(), ModuleProperty()
            lib.Q_QRV_GetRemoteDevBase(ctypes.byref(far), index)
            if lib.Q_QRV_GetRemoteDevPropertyAll(ctypes.byref(farprop), index):
                print(f"far    {far.NetAddr:04X}  {name(farprop.DevName)}  type {farprop.DevType:04X}"
                      f"  {version(farprop.FwVersion)}")
            else:
                print(f"far    {far.NetAddr:04X}  (no answer to the read)")
        return 0
    finally:
        lib.Q_CloseCom()


if __name__ == "__main__":
    sys.exit(main())
