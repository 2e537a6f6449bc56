#!/usr/bin/env python3
"""Drives the Qrvlink SDK from Python with the qrvlink package: opens a port,
reads the local module, searches one channel and air rate, and reads every
far module found.

    python3 qrvlink_example.py [--lib libQrvlink.so] [--channel 11] [--rate 0] PORT
"""
import argparse
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
# From the source tree the package is in python/; in the Windows zip it sits
# beside this file and the DLL in bin\ (Python looks for DLLs in neither).
sys.path.append(os.path.join(HERE, "..", "..", "python"))
if sys.platform == "win32":
    os.environ.setdefault("QRVLINK_LIBRARY", os.path.join(HERE, "..", "bin", "Qrvlink.dll"))


def arguments(description, *extra):
    """The options every example takes; --lib names the library to load."""
    parser = argparse.ArgumentParser(description=description)
    parser.add_argument("port")
    parser.add_argument("--lib", help="libQrvlink to load (else the build tree's or the installed one)")
    parser.add_argument("--baud", type=int, default=115200)
    for name, default in extra:
        parser.add_argument(name, type=int, default=default)
    args = parser.parse_args()
    if args.lib:
        os.environ["QRVLINK_LIBRARY"] = os.path.abspath(args.lib)
    return args


def main():
    args = arguments(__doc__.splitlines()[0], ("--channel", 11), ("--rate", 0))
    import qrvlink

    rate = qrvlink.AIR_RATES.get(args.rate, "?")
    try:
        port = qrvlink.Port(args.port, baud=args.baud)
    except qrvlink.QrvError as error:
        print(f"cannot open {args.port}: {error}", file=sys.stderr)
        return 1
    try:
        with port:
            local = port.local.read()
            print(f"local  {port.local.identity.address:04X}  {local.name}  channel {local.channel}"
                  f"  {qrvlink.AIR_RATES.get(local.air_rate, '?')}  {port.local.identity.firmware_text}")
            found = list(port.search(channels=args.channel, rates=args.rate))
            print(f"found  {len(found)} module(s) on channel {args.channel} at {rate}")
            for module in found:
                address = module.identity.address
                try:
                    record = module.read()
                except qrvlink.QrvError as error:
                    print(f"far    {address:04X}  (no answer to the read: {error})")
                    continue
                print(f"far    {address:04X}  {record.name}  type {record.device_type:04X}"
                      f"  {qrvlink.firmware_text(record.firmware_version)}")
    except qrvlink.QrvError as error:
        print(f"{args.port}: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
