"""The serial ports a module may be on (as `qrvctl ports` lists them) and
finding the modules behind them (as `qrvctl detect` does).

The list is read from sysfs in Python, the way qrvctl's client code reads
it: the SDK drives a port it is given and does not enumerate ports."""
from __future__ import annotations

import os
import threading
from dataclasses import dataclass
from pathlib import Path
from typing import Iterable, List, Optional, Sequence

from .errors import PortSettingsError, QrvError
from .port import Port
from .record import ModuleIdentity, ModuleRecord

# Chips whose USB product text does not name them.
_KNOWN_CHIPS = {
    (0x1A86, 0x7523): "CH340", (0x1A86, 0x5523): "CH341", (0x1A86, 0x55D4): "CH9102",
    (0x0403, 0x6001): "FT232R", (0x0403, 0x6010): "FT2232", (0x0403, 0x6014): "FT232H",
    (0x0403, 0x6015): "FT230X", (0x10C4, 0xEA60): "CP210x", (0x067B, 0x2303): "PL2303",
}

#: The rates detect() tries, fastest first.
DETECT_RATES = (460800, 230400, 115200, 57600, 38400, 19200, 9600, 4800, 2400, 1200)


@dataclass(frozen=True)
class PortInfo:
    """One serial port: its path, the USB adapter behind it (ids, serial
    number, the /dev/serial/by-id name that tells two identical adapters
    apart), a description, the kernel driver, and whether this user may
    open it."""
    path: str
    usb_vendor: Optional[int] = None
    usb_product: Optional[int] = None
    serial_number: str = ""
    description: str = ""
    manufacturer: str = ""
    driver: str = ""
    by_id: str = ""
    accessible: bool = False
    simulated: bool = False

    def __repr__(self) -> str:
        usb = f" USB {self.usb_vendor:04X}:{self.usb_product:04X}" if self.usb_vendor is not None else ""
        serial = f" serial {self.serial_number}" if self.serial_number else ""
        return f"<qrvlink.PortInfo {self.path}{usb}{serial} {self.description!r}>"


@dataclass(frozen=True)
class Detection:
    """A module found by detect(): the port, the rate it answered at, and
    what it said."""
    port: str
    baud: int
    identity: ModuleIdentity
    record: ModuleRecord

    def __repr__(self) -> str:
        return f"<qrvlink.Detection {self.port} at {self.baud}: {self.identity!r} {self.record.name!r}>"


def _line(path: Path) -> str:
    try:
        return path.read_text(errors="replace").splitlines()[0].strip()
    except (OSError, IndexError):
        return ""


def _hex_word(path: Path) -> Optional[int]:
    try:
        value = int(_line(path), 16)
    except ValueError:
        return None
    return value if value <= 0xFFFF else None


def _driver(device: Path) -> str:
    # Newer kernels put a serial-core "port" device (under a "ctrl" one)
    # between the tty and the UART's own device: name the first one above.
    directory = device.resolve()
    for _ in range(4):
        link = directory / "driver"
        if link.is_symlink():
            name = Path(os.readlink(link)).name
            if name not in ("port", "ctrl"):
                return name
        if directory.parent == directory:
            break
        directory = directory.parent
    return ""


def _usb(device: Path) -> dict:
    # The USB device is a few folders above the tty's device; it has idVendor.
    directory = device.resolve()
    for _ in range(4):
        if (directory / "idVendor").exists():
            vendor, product = _hex_word(directory / "idVendor"), _hex_word(directory / "idProduct")
            return {"usb_vendor": vendor, "usb_product": product,
                    "serial_number": _line(directory / "serial"),
                    "manufacturer": _line(directory / "manufacturer"),
                    "description": _KNOWN_CHIPS.get((vendor, product)) or _line(directory / "product")}
        directory = directory.parent
    return {}


def _by_id_names(by_id: Path) -> dict:
    names = {}
    try:
        for link in by_id.iterdir():
            names[os.path.basename(os.path.realpath(link))] = str(link)
    except OSError:
        pass
    return names


def _simulator_directory() -> str:
    runtime = os.environ.get("XDG_RUNTIME_DIR")
    return f"{runtime}/qrvsim" if runtime else f"/tmp/qrvsim-{os.getuid()}"


def ports(*, sys_class_tty: str = "/sys/class/tty", dev: str = "/dev",
          by_id: str = "/dev/serial/by-id", simulators: Optional[str] = None) -> List[PortInfo]:
    """The system's serial ports sorted by path, then the ports module
    simulators announce. The keyword arguments name other places to read
    (a copy of sysfs, say)."""
    found = []
    named = _by_id_names(Path(by_id))
    try:
        ttys = sorted(Path(sys_class_tty).iterdir())
    except OSError:
        ttys = []
    for tty in ttys:
        # Virtual terminals and ptys have no device; type 0 is a ttyS placeholder.
        if not (tty / "device").exists() or ((tty / "type").exists() and _line(tty / "type") == "0"):
            continue
        path = f"{dev}/{tty.name}"
        driver = _driver(tty / "device")
        usb = _usb(tty / "device")
        usb.setdefault("description", "")
        if not usb["description"]:
            usb["description"] = driver
        found.append(PortInfo(path=path, driver=driver, by_id=named.get(tty.name, ""),
                              accessible=os.access(path, os.R_OK | os.W_OK), **usb))
    simulated = []
    directory = Path(simulators if simulators is not None else _simulator_directory())
    try:
        entries = sorted(directory.iterdir())
    except OSError:
        entries = []
    for entry in entries:
        if not entry.is_symlink() and not entry.is_char_device():
            continue
        text = "module simulator" + (f" ({os.readlink(entry)})" if entry.is_symlink() else "")
        simulated.append(PortInfo(path=str(entry), description=text, simulated=True,
                                  accessible=os.access(entry, os.R_OK | os.W_OK)))
    return found + simulated


def detect_timeout_ms(baud: int) -> int:
    """Room for a load's longer exchange (7-byte request, 63-byte answer) at
    `baud`, plus 50 ms for the module's own latency."""
    return 50 + -(-70 * 10 * 1000 // baud)


def _scan(path: str, rates: Sequence[int]) -> Optional[Detection]:
    for baud in rates:
        try:
            port = Port(path, baud=baud, read_timeout_ms=detect_timeout_ms(baud))
        except PortSettingsError:
            continue  # a port that refuses one rate may take the next
        except QrvError:
            return None  # missing, busy or forbidden at one rate is so at every rate
        with port:
            try:
                record = port.local.read()
            except QrvError:
                continue
            assert port.local.identity is not None
            return Detection(path, baud, port.local.identity, record)
    return None


def detect(paths: Optional[Iterable[str]] = None, rates: Sequence[int] = DETECT_RATES) -> List[Detection]:
    """The modules that answer on `paths` (default: every port this user may
    open), each port tried at each rate, fastest first. Ports are scanned at
    the same time, each on its own thread and Port."""
    chosen = [p.path for p in ports() if p.accessible] if paths is None else list(paths)
    results: List[Optional[Detection]] = [None] * len(chosen)

    def scan(i: int) -> None:
        results[i] = _scan(chosen[i], rates)

    threads = [threading.Thread(target=scan, args=(i,), name=f"qrvlink-detect-{i}") for i in range(len(chosen))]
    for thread in threads:
        thread.start()
    for thread in threads:
        thread.join()
    return [found for found in results if found is not None]
