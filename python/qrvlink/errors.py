"""Exceptions carrying the library's failure reason for the calling thread."""
from __future__ import annotations

import ctypes
import dataclasses
import enum
from typing import Dict, Optional, Type


class Failure(enum.IntEnum):
    """Why a call failed, as the library reports it (QRV_FAIL_*)."""
    NONE = 0
    PORT_NOT_OPEN = 1
    PORT_NOT_FOUND = 2
    PORT_PERMISSION = 3
    PORT_BUSY = 4
    PORT_NOT_SERIAL = 5
    PORT_SETTINGS = 6
    PORT_LOST = 7
    WRITE = 8
    NO_ANSWER = 9
    BAD_ANSWER = 10
    REFUSED = 11
    ARGUMENT = 12
    NOT_LOADED = 13
    IMAGE = 14


@dataclasses.dataclass(frozen=True)
class FailureFacts:
    """The facts of a failure as fields, for a program that words its own
    message. A fact the failing layer did not know keeps its "unknown" value:
    "" for texts, 0 for holder_pid, baud_rate, timeout_ms and mode, -1 for
    command, status, owner_uid and group_gid."""
    path: str = ""
    holder_pid: int = 0
    holder_program: str = ""
    baud_rate: int = 0
    timeout_ms: int = 0
    command: int = -1
    status: int = -1
    owner_uid: int = -1
    group_gid: int = -1
    mode: int = 0
    owner_name: str = ""
    group_name: str = ""


class _FailureInfo(ctypes.Structure):
    # QRV_FAILURE_INFO of the C header, field for field.
    _fields_ = [("size", ctypes.c_uint32), ("reason", ctypes.c_int32), ("osError", ctypes.c_int32),
                ("path", ctypes.c_char * 260), ("holderPid", ctypes.c_int32),
                ("holderProgram", ctypes.c_char * 64), ("baudRate", ctypes.c_uint32),
                ("timeoutMs", ctypes.c_uint32), ("command", ctypes.c_int32), ("status", ctypes.c_int32),
                ("ownerUid", ctypes.c_int32), ("groupGid", ctypes.c_int32), ("mode", ctypes.c_uint32),
                ("ownerName", ctypes.c_char * 64), ("groupName", ctypes.c_char * 64)]


class QrvError(Exception):
    """A failed call: `reason` (a Failure, or the plain number of a reason
    this package does not know), `detail` (the library's line of facts),
    `os_error` (errno of the system call behind it, 0 when none) and `facts`
    (a FailureFacts, or None when the error was not raised by a call)."""

    facts: Optional[FailureFacts] = None

    def __init__(self, reason: int, detail: str = "", os_error: int = 0) -> None:
        try:
            reason = Failure(reason)
        except ValueError:
            pass
        text = detail or (reason.name.lower().replace("_", " ") if isinstance(reason, Failure)
                          else f"failure {reason}")
        super().__init__(text)
        self.reason, self.detail, self.os_error = reason, detail, os_error
        # The OSError-derived kinds keep errno meaningful for callers that
        # catch PermissionError or FileNotFoundError.
        if isinstance(self, OSError):
            self.errno, self.strerror = (os_error or None), text

    def __str__(self) -> str:
        return self.detail or str(self.args[0] if self.args else self.reason)


class PortNotOpenError(QrvError):
    """No port is open (or it was closed from another thread)."""


class PortNotFoundError(QrvError, FileNotFoundError):
    """No such device: the adapter is not plugged in, or the path is wrong."""


class PortPermissionError(QrvError, PermissionError):
    """The user may not open the device (typically not in the dialout group)."""


class PortBusyError(QrvError):
    """Another process holds the port; the detail names it when it can."""


class PortNotSerialError(QrvError):
    """The path is not a terminal device."""


class PortSettingsError(QrvError):
    """The device refused the rate, data bits, parity or stop bits."""


class PortLostError(QrvError):
    """The adapter went away; the port stays failed until closed and reopened."""


class WriteError(QrvError):
    """The request could not be written in time."""


class NoAnswerError(QrvError, TimeoutError):
    """Silence for the whole read time-out."""


class BadAnswerError(QrvError):
    """An answer of the wrong length, framing, echo or address."""


class RefusedError(QrvError):
    """The module answered with a failure status."""


class ArgumentError(QrvError, ValueError):
    """The library refused an argument (index, size, a call from a handler)."""


class NotLoadedError(QrvError):
    """The operation needs the record read first."""


class ImageError(QrvError):
    """The firmware image is unreadable, not a regular file, or invalid.
    `messages` holds the library's own words about it (Chinese, as shown to
    the user of the configurator)."""
    messages: tuple = ()


_KINDS: Dict[int, Type[QrvError]] = {
    Failure.PORT_NOT_OPEN: PortNotOpenError, Failure.PORT_NOT_FOUND: PortNotFoundError,
    Failure.PORT_PERMISSION: PortPermissionError, Failure.PORT_BUSY: PortBusyError,
    Failure.PORT_NOT_SERIAL: PortNotSerialError, Failure.PORT_SETTINGS: PortSettingsError,
    Failure.PORT_LOST: PortLostError, Failure.WRITE: WriteError,
    Failure.NO_ANSWER: NoAnswerError, Failure.BAD_ANSWER: BadAnswerError,
    Failure.REFUSED: RefusedError, Failure.ARGUMENT: ArgumentError,
    Failure.NOT_LOADED: NotLoadedError, Failure.IMAGE: ImageError,
}


def error_for(reason: int, detail: str = "", os_error: int = 0) -> QrvError:
    """The exception of the kind that matches `reason`."""
    return _KINDS.get(reason, QrvError)(reason, detail, os_error)


def last_failure(lib: ctypes.CDLL) -> tuple:
    """(reason, detail, os_error) of this thread's last call that could fail.
    Read on the thread of the call, right after it: the library keeps them
    per thread."""
    buffer = ctypes.create_string_buffer(512)
    reason = lib.Q_GetLastFailure(buffer, len(buffer))
    return reason, buffer.value.decode("utf-8", errors="replace"), lib.Q_GetLastOsError()


def last_failure_facts(lib: ctypes.CDLL) -> FailureFacts:
    """The fields of this thread's last failure (Q_GetLastFailureInfo)."""
    info = _FailureInfo(size=ctypes.sizeof(_FailureInfo))
    lib.Q_GetLastFailureInfo(ctypes.byref(info))

    def text(raw: bytes) -> str:
        return raw.decode("utf-8", errors="replace")

    return FailureFacts(text(info.path), info.holderPid, text(info.holderProgram), info.baudRate,
                        info.timeoutMs, info.command, info.status, info.ownerUid, info.groupGid,
                        info.mode, text(info.ownerName), text(info.groupName))


def raise_last_failure(lib: ctypes.CDLL, what: str) -> None:
    """Raises the exception for this thread's last failure, with its facts.
    A failed call that left no reason still raises, naming the call."""
    reason, detail, os_error = last_failure(lib)
    if reason == Failure.NONE:
        raise QrvError(Failure.NONE, f"{what} failed", os_error)
    error = error_for(reason, detail, os_error)
    error.facts = last_failure_facts(lib)
    raise error
