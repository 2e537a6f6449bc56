"""qrvlink: the Qrvlink SDK for 2.4 GHz radio modules on a serial port, from Python.

    import qrvlink

    with qrvlink.Port("/dev/ttyUSB0", baud=115200) as port:
        record = port.local.read()
        port.local.write(record.replace(name="车间一号", channel=20))
        for module in port.search(channels=[11], rates=["250K"]):
            print(hex(module.identity.address), module.read().name)

Every call blocks until the module answered, and raises a QrvError subclass
saying why when it did not. Each Port has its own library context: several
ports work at once from several threads; inside one Port calls take turns.
qrvlink.ports() lists the serial ports, qrvlink.detect() finds the modules.
The library is found through the QRVLINK_LIBRARY variable, the build tree,
or its soname libQrvlink.so.1.
"""
from ._library import library
from .errors import (ArgumentError, BadAnswerError, Failure, FailureFacts, ImageError, NoAnswerError, NotLoadedError,
                     PortBusyError, PortLostError, PortNotFoundError, PortNotOpenError, PortNotSerialError,
                     PortPermissionError, PortSettingsError, QrvError, RefusedError, WriteError)
from .discovery import DETECT_RATES, Detection, PortInfo, detect, ports
from .modules import LocalModule, RemoteModule
from .port import Port, rate_code
from .fields import FIELDS, AirRate, DeviceType, Parity, RunState, WorkMode
from .record import AIR_RATES, ModuleIdentity, ModuleRecord, firmware_text


def library_version() -> str:
    """The loaded libQrvlink's "MAJOR.MINOR.PATCH"."""
    return library().Q_GetVersion().decode("ascii")


__version__ = "1.2.0"
__all__ = [
    "AIR_RATES", "AirRate", "ArgumentError", "BadAnswerError", "DETECT_RATES", "Detection", "DeviceType", "FIELDS",
    "Failure", "FailureFacts", "ImageError", "LocalModule", "ModuleIdentity", "Parity", "RunState", "WorkMode",
    "ModuleRecord", "NoAnswerError", "NotLoadedError", "Port", "PortBusyError", "PortLostError",
    "PortInfo", "PortNotFoundError", "PortNotOpenError", "PortNotSerialError", "PortPermissionError",
    "PortSettingsError", "QrvError", "RefusedError", "RemoteModule", "WriteError", "firmware_text",
    "detect", "library_version", "ports", "rate_code",
]
